#include "Evaluation.h"

#include <charconv>
#include <cmath>
#include <cstdio>
#include <cstdlib>

namespace qinglan {

std::string evaluationComment(const Evaluation& e) {
    char text[64];
    if (e.mateIn != 0)
        std::snprintf(text, sizeof text, "%cM%d/%d %.1fs", e.mateIn > 0 ? '+' : '-',
            std::abs(e.mateIn), e.depth, e.timeMs / 1000.0);
    else
        std::snprintf(
            text, sizeof text, "%+.2f/%d %.1fs", e.centipawns / 100.0, e.depth, e.timeMs / 1000.0);
    return text;
}

std::optional<Evaluation> parseEvaluation(std::string_view comment) {
    while (comment.starts_with(' ')) comment.remove_prefix(1);
    if (comment.empty() || (comment[0] != '+' && comment[0] != '-')) return std::nullopt;
    const bool negative = comment[0] == '-';
    comment.remove_prefix(1);
    Evaluation e;
    const std::size_t slash = comment.find('/');
    if (slash == std::string_view::npos) return std::nullopt;
    const std::string score(comment.substr(0, slash));
    char* end = nullptr;
    if (score.starts_with('M')) {
        e.mateIn = static_cast<int>(std::strtol(score.c_str() + 1, &end, 10)) * (negative ? -1 : 1);
        if (*end || score.size() < 2) return std::nullopt;
    } else {
        const double pawns = std::strtod(score.c_str(), &end);
        if (*end || score.empty() || !std::isfinite(pawns) || std::abs(pawns) > 1e6)
            return std::nullopt;
        e.centipawns = static_cast<int>(std::lround(pawns * 100)) * (negative ? -1 : 1);
    }
    comment.remove_prefix(slash + 1);
    const auto [afterDepth, depthError]
        = std::from_chars(comment.data(), comment.data() + comment.size(), e.depth);
    if (depthError != std::errc()) return std::nullopt;
    comment.remove_prefix(static_cast<std::size_t>(afterDepth - comment.data()));
    if (comment.starts_with(' ')) {
        const std::string time(comment.substr(1, comment.find_first_of(" }", 1) - 1));
        const double seconds = std::strtod(time.c_str(), &end);
        if (end != time.c_str() && *end == 's' && std::isfinite(seconds) && seconds >= 0
            && seconds < 1e7)
            e.timeMs = static_cast<int>(std::lround(seconds * 1000));
    }
    return e;
}

} // namespace qinglan

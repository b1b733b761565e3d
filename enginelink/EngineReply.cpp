#include "enginelink/EngineReply.h"

#include <algorithm>
#include <charconv>

namespace qinglan {

namespace {

std::vector<std::string_view> words(std::string_view line) {
    std::vector<std::string_view> result;
    std::size_t start = line.find_first_not_of(' ');
    while (start != std::string_view::npos) {
        const std::size_t end = line.find(' ', start);
        result.push_back(line.substr(start, end - start));
        start = end == std::string_view::npos ? end : line.find_first_not_of(' ', end);
    }
    return result;
}

template<typename Number> std::optional<Number> number(std::string_view text) {
    Number value {};
    auto [end, error] = std::from_chars(text.data(), text.data() + text.size(), value);
    if (error != std::errc() || end != text.data() + text.size()) return std::nullopt;
    return value;
}

// The score after "score": "35", "cp 35" or "mate -3"; at is moved past what was read.
std::optional<Score> readScore(const std::vector<std::string_view>& w, std::size_t& at) {
    if (at >= w.size()) return std::nullopt;
    Score score;
    if (w[at] == "cp" || w[at] == "mate") {
        if (w[at] == "mate") score.kind = Score::Kind::Mate;
        if (++at >= w.size()) return std::nullopt;
    }
    const std::optional<int> value = number<int>(w[at]);
    if (!value) return std::nullopt;
    score.value = *value;
    return score;
}

} // namespace

std::string scoreText(const Score& score) {
    const std::string value = std::to_string(score.value);
    return score.kind == Score::Kind::Mate ? "#" + value : value;
}

std::optional<ThinkingLine> parseThinkingLine(std::string_view line) {
    const std::vector<std::string_view> w = words(line);
    if (w.empty() || w[0] != "info" || (w.size() > 1 && w[1] == "string")) return std::nullopt;
    ThinkingLine info;
    // Words after a key we do not read ("seldepth 7", "currmove h2e2") are skipped one
    // by one: none of them is a key itself.
    for (std::size_t at = 1; at < w.size(); ++at) {
        const std::string_view key = w[at];
        if (key == "pv") {
            info.pv.assign(w.begin() + static_cast<std::ptrdiff_t>(at) + 1, w.end());
            break;
        }
        if (at + 1 >= w.size()) break;
        if (key == "score") {
            info.score = readScore(w, ++at);
        } else if (key == "depth") {
            info.depth = number<int>(w[++at]);
        } else if (key == "time") {
            info.timeMs = number<std::int64_t>(w[++at]);
        } else if (key == "nodes") {
            info.nodes = number<std::int64_t>(w[++at]);
        } else if (key == "multipv") {
            info.rank = std::max(1, number<int>(w[++at]).value_or(1));
        }
    }
    return info;
}

std::optional<EngineReply> parseEngineReply(std::string_view line) {
    const std::vector<std::string_view> w = words(line);
    if (w.empty()) return std::nullopt;
    if (w[0] == "nobestmove") return NoMove {};
    if (w[0] == "bestmove") {
        // "(none)" is how some engines say "nobestmove".
        if (w.size() < 2 || w[1] == "(none)") return NoMove {};
        BestMove best { std::string(w[1]), {} };
        if (w.size() > 3 && w[2] == "ponder") best.ponder = w[3];
        return best;
    }
    if (std::optional<ThinkingLine> info = parseThinkingLine(line)) return *info;
    return std::nullopt;
}

} // namespace qinglan

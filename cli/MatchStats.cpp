#include "MatchStats.h"

#include <cmath>
#include <cstdio>
#include <limits>

namespace qinglan {

namespace {

double eloOf(double score) {
    if (score <= 0) return -std::numeric_limits<double>::infinity();
    if (score >= 1) return std::numeric_limits<double>::infinity();
    return -400.0 * std::log10(1.0 / score - 1.0);
}

std::string escapeTag(const std::string& value) {
    std::string out;
    for (char c : value) {
        if (c == '"' || c == '\\') out += '\\';
        out += c;
    }
    return out;
}

} // namespace

void MatchScore::add(Winner winner, bool aIsRed) {
    if (winner == Winner::Draw)
        ++draws;
    else if ((winner == Winner::Red) == aIsRed)
        ++wins;
    else
        ++losses;
}

double MatchScore::score() const {
    return games() ? (wins + 0.5 * draws) / games() : 0.5;
}

double MatchScore::eloDifference() const {
    return eloOf(score());
}

double MatchScore::eloMargin() const {
    const int n = games();
    if (n == 0) return 0;
    const double s = score();
    if (s <= 0 || s >= 1) return std::numeric_limits<double>::infinity();
    const double variance
        = (wins * (1 - s) * (1 - s) + draws * (0.5 - s) * (0.5 - s) + losses * s * s) / n;
    const double deviation = std::sqrt(variance / n);
    const double high = eloOf(s + 1.96 * deviation);
    const double low = eloOf(s - 1.96 * deviation);
    return (high - low) / 2;
}

std::string formatElo(double elo) {
    if (std::isinf(elo)) return elo > 0 ? "+inf" : "-inf";
    if (std::isnan(elo)) return "nan";
    char text[32];
    std::snprintf(text, sizeof text, "%+.1f", elo);
    return text;
}

std::string pgnOf(const GameRecord& game) {
    std::string text = "[Event \"qinglan-cli match\"]\n[Round \"" + std::to_string(game.round)
        + "\"]\n[Red \"" + escapeTag(game.red) + "\"]\n[Black \"" + escapeTag(game.black)
        + "\"]\n[Result \"" + game.result + "\"]\n[Termination \"" + escapeTag(game.reason)
        + "\"]\n[FEN \"" + escapeTag(game.fen) + "\"]\n\n";
    // Numbering follows the side to move of the start position.
    const bool blackStarts = game.fen.find(" b") != std::string::npos;
    std::string line;
    for (std::size_t i = 0; i < game.moves.size(); ++i) {
        const std::size_t ply = i + (blackStarts ? 1 : 0);
        if (ply % 2 == 0)
            line += std::to_string(ply / 2 + 1) + ". ";
        else if (i == 0)
            line += std::to_string(ply / 2 + 1) + "... ";
        line += game.moves[i] + " ";
    }
    return text + line + game.result + "\n\n";
}

} // namespace qinglan

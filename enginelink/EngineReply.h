#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <variant>
#include <vector>

// What an engine answers during a search, as values. The protocol classes read them
// from the engine's lines; moves are always 0-based coordinate texts ("h2e2").

namespace qinglan {

struct Score {
    enum class Kind { Centipawns, Mate };
    Kind kind = Kind::Centipawns;
    // Centipawns, or moves to mate: negative when the searching side is mated.
    int value = 0;
    bool operator==(const Score&) const = default;
};

// One "info" line of a search. Every field the engine left out stays empty.
struct ThinkingLine {
    std::optional<int> depth;
    std::optional<Score> score; // from the searching side's view
    std::optional<std::int64_t> timeMs;
    std::optional<std::int64_t> nodes;
    int rank = 1; // which of several best lines (UCI "multipv"); 1 is the best
    std::vector<std::string> pv;
    bool operator==(const ThinkingLine&) const = default;
};

struct BestMove {
    std::string move;
    std::string ponder; // the engine's guess of the reply; "" when none
    bool operator==(const BestMove&) const = default;
};

// "nobestmove" and its forms: the engine has no move to give.
struct NoMove {
    bool operator==(const NoMove&) const = default;
};

using EngineReply = std::variant<BestMove, NoMove, ThinkingLine>;

// The score as a thinking row shows it: "35", "-120", "#3", "#-3".
std::string scoreText(const Score& score);

// An "info" line read as values: UCCI's "score 35" and the UCI forms "score cp 35" and
// "score mate -3" (which many UCCI engines print too). nullopt for no "info" line and
// for "info string".
std::optional<ThinkingLine> parseThinkingLine(std::string_view line);

// Any line that answers a search: "bestmove M [ponder P]", "nobestmove",
// "bestmove (none)", or an "info" line; nullopt for anything else.
std::optional<EngineReply> parseEngineReply(std::string_view line);

} // namespace qinglan

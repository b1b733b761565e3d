#pragma once

#include "Search.h"

#include <string>
#include <string_view>
#include <vector>

namespace qinglan::bundled {

// What differs between UCCI and UCI in the engine's words; the command loop and the
// search are shared. Moves number ranks from 0 in both: the program's UCI link learns
// the convention from the first moves an engine names, and 0-based moves read the same
// in either protocol.
struct Dialect {
    std::string_view hello; // "ucci" / "uci"
    std::string_view helloOk;
    std::string_view noMove; // the answer when there is no move to give
    std::string_view quitReply; // "" for none
    bool fullIdentity; // UCCI also names a copyright and a user
    bool namedOptions; // "option name X type ..." rather than "option x type ..."
    bool typedScores; // "score cp N" / "score mate N" rather than "score N"
    bool clocksCountDown; // a clock is always a countdown (UCI has "movetime" for a fixed time)
    bool alwaysMilliseconds; // UCCI counts in seconds until "usemillisec" says otherwise
};

// The dialect a handshake line asks for; nullptr for any other line.
const Dialect* dialectOf(std::string_view hello);
// UCCI, spoken until a handshake says otherwise.
const Dialect& defaultDialect();

// The engine's options, each under its UCCI and its UCI name.
enum class OptionId {
    UseMillisec,
    Ponder,
    Hash,
    Threads,
    MultiPv,
    Randomness,
    Pruning,
    Style,
    NewGame
};

// The option a name stands for in either protocol (any case); false when none.
bool findOption(std::string_view name, OptionId& id);

// The handshake's lines after "id name": identity, options and the closing word.
std::vector<std::string> handshakeLines(const Dialect& dialect, const std::string& name);
std::string infoLine(const Dialect& dialect, const SearchInfo& info);
std::string bestMoveLine(const Dialect& dialect, Move best, Move ponder);

// A "go" line read as limits. `searchMoves` gets the moves of a UCI "searchmoves" list.
// Clock times are in seconds for a UCCI engine that was not told to use milliseconds.
GoLimits readGo(const Dialect& dialect, const std::vector<std::string>& words, bool redToMove,
    bool milliseconds, std::vector<Move>& searchMoves);

} // namespace qinglan::bundled

#pragma once

#include <optional>
#include <string>

namespace qinglan {

class Board;

enum class Winner : int { Red, Black, Draw };

// Why a game ended. The first six are the board's verdicts; the rest end a game only
// where a referee outside the board declares them (the match runner, a time control).
enum class ResultReason : int {
    Checkmate,
    Stalemate, // no legal move without being in check: lost as well
    TooLittleMaterial,
    NoCaptureLimit,
    Repetition,
    PerpetualCheck, // the side that checked with every move of a repetition loses
    Time,
    IllegalMove,
    EngineCrash,
    EngineGaveUp, // "nobestmove" with moves left
    NoReply,
    Adjudicated,
};

// A finished game's result: who won (or a draw) and why. Every text about a result is
// derived from this value: the box, the PGN result and termination, match statistics.
struct GameResult {
    Winner winner = Winner::Draw;
    ResultReason reason = ResultReason::Adjudicated;

    bool operator==(const GameResult&) const = default;
};

// The board's verdict on its position and record (no legal move, too little material,
// the no-capture limit, repetition); nothing while the game goes on.
std::optional<GameResult> boardResult(const Board& board);

// A loss of the side named by red for a reason outside the board (time, an engine's fault).
GameResult lossOf(bool red, ResultReason reason);

// The box that announces the result, ending in "重新开始吗？".
std::string restartQuestion(const GameResult& result);

// "1-0", "0-1" or "1/2-1/2".
std::string pgnResultToken(const GameResult& result);

// What ended the game, for a record's termination and the match runner's lines: the
// box's words without the question for the board's verdicts and time, and for an
// engine's fault the losing engine's name with the fault ("X 输出错误信息！").
std::string resultReasonText(
    const GameResult& result, const std::string& redName, const std::string& blackName);

} // namespace qinglan

#pragma once

#include "records/Evaluation.h"
#include "records/GameRecord.h"

#include <functional>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace qinglan {

struct GameResult;
struct GameState;

// The record of the game being played or browsed, and the node whose position the board
// shows. Only RecordKeeper writes it.
struct RecordedGame {
    GameRecord game;
    int current = GameRecord::ROOT;
    bool unsaved = false; // changed since it was started, opened or saved
    bool opened = false; // read from a file or pasted, not played here
};

// The browsing keys: Home, ←, →, End, and ↓ / ↑ for the next and previous alternative
// to the current move (entering a variation and leaving it).
enum class BrowseStep { Start, Back, Forward, End, NextVariation, PreviousVariation };

// What becomes of the moves after the browsed position when another move is played there.
enum class Branching { AddVariation, ReplaceRest };

// "!" for 1 ... "?!" for 6; "" for any other annotation number.
std::string_view annotationGlyph(int nag);

// The bridge between the game state and its record: every move played goes into the
// record at the current node, browsing sets the board to a node's position (the moves
// that lead there replayed, so repetitions still count), and the move list's text is
// made from the record: the line from the start, each variation indented under the
// move it is an alternative to.
class RecordKeeper {
public:
    explicit RecordKeeper(GameState& state);

    // A new record of the board: its start and the moves it has played, dated today.
    void startFromBoard();
    // A record from a file, shown at its start.
    void open(GameRecord game);
    // The board shows node's position.
    void moveTo(int node);
    // Where a browsing step leads from the current node (there when it leads nowhere).
    int stepTarget(BrowseStep step) const;

    // True when the current node has a continuation and move is none of them.
    bool needsBranchChoice(std::string_view move) const;
    // Records a legal move at the current node and makes it the current one: a move
    // already there is followed, otherwise it is added (after the rest is removed when
    // asked to replace it), with the evaluation as its comment when there is one. The
    // board is the caller's to move.
    void recordMove(std::string_view move, Branching how,
        const std::optional<Evaluation>& evaluation = std::nullopt);
    // Takes back the current move on the board; a move at the end of its line also
    // leaves the record.
    void takeBackPly();
    // The Result and Termination tags of a game that has just ended.
    void noteResult(const GameResult& result, const std::string& red, const std::string& black);

    void setComment(int node, std::string_view text);
    // Replaces node's annotations by nag; 0 clears them.
    void setAnnotation(int node, int nag);
    void setTags(const std::vector<RecordTag>& tags);
    // A change of the record as a whole (a review's notes) that keeps its nodes: the
    // board stays where it is, the list is made again.
    void edit(const std::function<void(GameRecord&)>& change);
    // The record as it is saved and shown in the details: a game played here names its
    // players as the panels do where the tags leave them empty.
    GameRecord recordWithDefaults() const;
    bool hasUnsavedMoves() const;
    void markSaved();

private:
    void rebuildList();

    GameState& state_;
};

} // namespace qinglan

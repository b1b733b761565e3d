#pragma once

#include "rules/Board.h"

#include <cstdint>
#include <memory>
#include <string>
#include <string_view>
#include <vector>

namespace qinglan {

struct RecordTag {
    std::string name;
    std::string value;
    bool operator==(const RecordTag&) const = default;
};

// Names of the tags the program itself reads or writes; any other tag is kept as it came.
namespace tags {
inline constexpr std::string_view EVENT = "Event", SITE = "Site", DATE = "Date", ROUND = "Round",
                                  RED = "Red", RED_TEAM = "RedTeam", BLACK = "Black",
                                  BLACK_TEAM = "BlackTeam", RESULT = "Result",
                                  TERMINATION = "Termination", OPENING = "Opening", ECCO = "ECCO";
} // namespace tags

// "1-0", "0-1", "1/2-1/2" for a result as players write it (PGN tokens, 红胜/黑胜/和棋 and
// their traditional forms); "*" for anything else.
std::string normalResult(std::string_view written);

// One game: its tags, its start position and a tree of moves. Node 0 is the start; every
// other node is one move, whose first child continues the line that node belongs to and
// whose further children are variations. Every move is checked for legality as it is added.
class GameRecord {
public:
    static constexpr int ROOT = 0;
    static constexpr int NONE = -1;

    GameRecord();

    const std::vector<RecordTag>& tags() const { return tags_; }
    // "" when the tag is missing.
    std::string_view tag(std::string_view name) const;
    // Replaces the value of the first tag with this name, or appends the tag; control
    // characters in the value become blanks. "FEN" sets the start position instead.
    void setTag(std::string_view name, std::string_view value);

    // The start position as the rules core writes it. Setting it drops every move; false
    // (and nothing changes) when the text leaves a side without its king.
    const std::string& startFen() const { return startFen_; }
    bool setStartFen(std::string_view fen);
    // The Result tag as a result token, see normalResult.
    std::string result() const { return normalResult(tag(tags::RESULT)); }

    // Adds a legal move (coordinate text) after node; its id, or NONE when the text is not
    // a legal move there, or the line is already MAX_DEPTH moves long (nothing changes).
    static constexpr int MAX_DEPTH = 65535;
    int addMove(int node, std::string_view move);
    int nodeCount() const { return static_cast<int>(nodes_.size()); }
    int parentOf(int node) const { return nodes_[node].parent; }
    // NONE when there is none.
    int firstChild(int node) const { return nodes_[node].firstChild; }
    int nextSibling(int node) const { return nodes_[node].nextSibling; }
    // "" for the root.
    std::string moveText(int node) const;
    // The nodes of the main line (the first child at every branch), root excluded.
    std::vector<int> mainLine() const;
    // The position after node's move (the start position for the root); valid until the
    // record changes or another position is asked for.
    const Board& positionAfter(int node) const;

    // Comment after node's move; the root's comes before the first move. Blanks around
    // the text are dropped, and "}" becomes "｝" (no PGN comment can hold it).
    const std::string& comment(int node) const;
    void setComment(int node, std::string_view text);
    // Annotation glyphs as PGN numbers: 1 "!", 2 "?", 3 "!!", 4 "??", 5 "!?", 6 "?!". Only
    // moves are annotated: the root takes none, and numbers outside 1-255 are dropped.
    const std::vector<std::uint8_t>& nags(int node) const;
    void addNag(int node, int nag);
    void clearNags(int node);

    // Removes node's move with everything after it (its variations too). Ids change: the
    // result gives every old id its new one, NONE for the removed; the root stays.
    std::vector<int> removeMove(int node);

    // Gives back what reading needed and a finished record does not: spare capacity and
    // the cached position.
    void shrinkToFit();

    // Same tags, start, tree, comments and annotations.
    bool operator==(const GameRecord& other) const;

private:
    // Kept small: a large file holds millions of them.
    struct Node {
        std::uint16_t move = 0; // a rules-core move integer: two squares below 256
        std::uint16_t depth = 0; // moves from the start
        int parent = NONE;
        int firstChild = NONE;
        int lastChild = NONE; // so that adding a variation never walks the others
        int nextSibling = NONE;
        int extra = NONE; // index into extras_ when the node has a comment or annotation
    };
    struct Extra {
        std::string comment;
        std::vector<std::uint8_t> nags;
    };
    Extra& extraOf(int node);

    std::vector<RecordTag> tags_;
    std::string startFen_;
    std::vector<Node> nodes_;
    std::vector<Extra> extras_;
    // The position after the cursor's move, with what each move on the way captured, so
    // that a line read move by move, and a variation that leaves it, cost one move each
    // rather than a replay.
    // Made when first needed; copies and shrinkToFit drop it.
    struct Cursor {
        Board board;
        int node = ROOT;
        std::vector<int> captured; // by depth, for taking the moves back
    };
    struct CursorSlot {
        CursorSlot() = default;
        CursorSlot(const CursorSlot&) { }
        CursorSlot(CursorSlot&&) = default;
        CursorSlot& operator=(const CursorSlot&) {
            cursor.reset();
            return *this;
        }
        CursorSlot& operator=(CursorSlot&&) = default;
        std::unique_ptr<Cursor> cursor;
    };
    Cursor& cursorAt(int node) const;
    mutable CursorSlot slot_;
};

} // namespace qinglan

#pragma once

#include <string>
#include <vector>

namespace qinglan {

// The text of the move list: a header line and one line per ply, each line after the
// first preceded by "\r\n". Kept as lines so that a take-back removes exactly the
// line of the ply it undoes, whatever its length. Each line may name the record node it
// shows (the header names the start), so that a click on a line can go there.
class MoveListText {
public:
    MoveListText() { clear(); }

    // Only the header "  ==开始==" remains.
    void clear();
    // Appends the line for a move; see lineFor.
    void append(std::string line, int node = -1) {
        lines_.push_back(std::move(line));
        nodes_.push_back(node);
    }
    // Removes the last move's line; the header always stays.
    void removeLast();
    int moveLineCount() const { return static_cast<int>(lines_.size()) - 1; }
    const std::vector<std::string>& lines() const { return lines_; }
    // The node a line shows, -1 for none; the line showing node, -1 for none.
    int nodeOfLine(int line) const;
    int lineOfNode(int node) const;
    // The whole text, lines joined with "\r\n".
    std::string text() const;

    // Line of one move: red moves get their number (plies / 2 + 1 in shortest decimal
    // form, so 1.5 in a game that began with black) right-aligned in four columns,
    // black moves four spaces, so both notations start in the same column.
    static std::string lineFor(int pliesBefore, bool redMoves, const std::string& notation);

private:
    std::vector<std::string> lines_;
    std::vector<int> nodes_;
};

} // namespace qinglan

#include "game/MoveListText.h"

namespace qinglan {

namespace {
constexpr const char* HEADER = "  ==开始==";
constexpr std::size_t NUMBER_COLUMNS = 4;
} // namespace

void MoveListText::clear() {
    lines_.assign(1, HEADER);
    nodes_.assign(1, 0);
}

void MoveListText::removeLast() {
    if (lines_.size() <= 1) return;
    lines_.pop_back();
    nodes_.pop_back();
}

int MoveListText::nodeOfLine(int line) const {
    return line >= 0 && line < static_cast<int>(nodes_.size()) ? nodes_[line] : -1;
}

int MoveListText::lineOfNode(int node) const {
    for (std::size_t i = 0; i < nodes_.size(); ++i)
        if (nodes_[i] == node) return static_cast<int>(i);
    return -1;
}

std::string MoveListText::text() const {
    std::string text = lines_.front();
    for (std::size_t i = 1; i < lines_.size(); ++i) text += "\r\n" + lines_[i];
    return text;
}

std::string MoveListText::lineFor(int pliesBefore, bool redMoves, const std::string& notation) {
    if (!redMoves) return "    " + notation;
    std::string number = std::to_string(pliesBefore / 2 + 1);
    if (pliesBefore % 2 != 0) number += ".5";
    number += '.';
    std::string line;
    if (number.size() < NUMBER_COLUMNS) line.assign(NUMBER_COLUMNS - number.size(), ' ');
    return line + number + notation;
}

} // namespace qinglan

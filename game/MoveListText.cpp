#include "game/MoveListText.h"

namespace qinglan {

namespace {
constexpr const char* HEADER = "  ==开始==";
constexpr std::size_t NUMBER_COLUMNS = 4;
} // namespace

void MoveListText::clear() {
    lines_.assign(1, HEADER);
}

void MoveListText::removeLast() {
    if (lines_.size() > 1) lines_.pop_back();
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

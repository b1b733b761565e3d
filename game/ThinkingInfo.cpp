#include "game/ThinkingInfo.h"

#include "rules/Board.h"

namespace qinglan {

namespace {

std::string padLeft(const std::string& value, std::size_t width) {
    std::string padded(width > value.size() ? width - value.size() : 0, ' ');
    padded += value;
    return padded;
}

} // namespace

std::string thinkingHeader(bool mainEngine, const std::string& engineName) {
    return std::string(mainEngine ? "主引擎 " : "副引擎 ") + engineName
        + " 的思考信息：\r\n\r\n深度   评价   时间  思考路线\r\n";
}

std::string thinkingRow(Board& position, const ThinkingLine& line, const std::string& guess,
    std::string& firstBadMove) {
    firstBadMove.clear();
    // Progress lines ("depth 12 currmove h2e2 currmovenumber 3") tell nothing a row
    // could show beyond the depth.
    if (!line.score && !line.timeMs && line.pv.empty()) return {};
    auto shown = [](const auto& value) { return value ? std::to_string(*value) : std::string(); };
    std::string row = padLeft(shown(line.depth), 3)
        + padLeft(line.score ? scoreText(*line.score) : "", 8) + padLeft(shown(line.timeMs), 7)
        + " ";
    if (!guess.empty()) row.append(" (").append(guess).append(")");
    for (const std::string& move : line.pv) {
        if (move.size() != 4) continue;
        const std::string notation = position.moveToChinese(move);
        if (!position.makeMoveText(move)) {
            firstBadMove = move;
            break;
        }
        row.append(" ").append(notation);
    }
    return row + "\r\n";
}

} // namespace qinglan

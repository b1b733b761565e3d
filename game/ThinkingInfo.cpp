#include "game/ThinkingInfo.h"

#include "rules/Board.h"

namespace qinglan {

namespace {

std::string padLeft(const std::string& value, std::size_t width) {
    std::string padded(width > value.size() ? width - value.size() : 0, ' ');
    padded += value;
    return padded;
}

bool isBlank(std::string_view text) {
    return text.find_first_not_of(' ') == std::string_view::npos;
}

} // namespace

std::string thinkingHeader(bool mainEngine, const std::string& engineName) {
    return std::string(mainEngine ? "主引擎 " : "副引擎 ") + engineName
        + " 的思考信息：\r\n\r\n深度   评价   时间  思考路线\r\n";
}

std::string infoValue(std::string_view line, std::string_view key) {
    const std::size_t at = line.find(key);
    if (at == std::string_view::npos) return {};
    const std::string_view rest = line.substr(at + key.size());
    return std::string(rest.substr(0, rest.find(' ')));
}

std::string infoScore(std::string_view line) {
    const std::string score = infoValue(line, "score ");
    // Many engines write the UCI form "score cp 35" / "score mate -3" in UCCI too.
    if (score == "cp") return infoValue(line, "score cp ");
    if (score == "mate") {
        std::string distance = "#";
        distance += infoValue(line, "score mate ");
        return distance;
    }
    return score;
}

std::string thinkingRow(
    Board& position, std::string_view line, const std::string& guess, std::string& firstBadMove) {
    firstBadMove.clear();
    const std::string score = infoScore(line);
    const std::string time = infoValue(line, "time ");
    const std::size_t pvAt = line.find(" pv ");
    const std::string_view pv
        = pvAt == std::string_view::npos ? std::string_view() : line.substr(pvAt + 4);
    // Progress lines ("depth 12 currmove h2e2 currmovenumber 3") tell nothing a row
    // could show beyond the depth.
    if (isBlank(score) && isBlank(time) && isBlank(pv)) return {};
    std::string row
        = padLeft(infoValue(line, "depth "), 3) + padLeft(score, 8) + padLeft(time, 7) + " ";
    if (!guess.empty()) row.append(" (").append(guess).append(")");
    std::size_t start = 0;
    while (start <= pv.size()) {
        const std::size_t end = std::min(pv.find(' ', start), pv.size());
        const std::string_view move = pv.substr(start, end - start);
        if (move.size() == 4) {
            const std::string notation = position.moveToChinese(move);
            if (!position.makeMoveText(move)) {
                firstBadMove = move;
                break;
            }
            row.append(" ").append(notation);
        }
        start = end + 1;
    }
    return row + "\r\n";
}

} // namespace qinglan

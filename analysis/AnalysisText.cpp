#include "analysis/AnalysisText.h"

#include "rules/Board.h"

#include <cstdio>

namespace qinglan {

std::string redScoreText(const Score& score, bool redToMove) {
    const int value = redToMove ? score.value : -score.value;
    if (score.kind == Score::Kind::Mate) {
        // A positive distance means the side to move mates; its sign is red's view here.
        const int moves = value < 0 ? -value : value;
        return std::string(value >= 0 ? "红" : "黑") + std::to_string(moves) + "步杀";
    }
    char text[16];
    std::snprintf(text, sizeof text, "%+.2f", value / 100.0);
    return text;
}

std::string analysisText(const Board& position, const std::vector<ThinkingLine>& lines) {
    std::string text;
    for (std::size_t rank = 0; rank < lines.size(); ++rank) {
        const ThinkingLine& line = lines[rank];
        if (!line.score && line.pv.empty()) continue;
        text += std::to_string(rank + 1) + ". 深度" + std::to_string(line.depth.value_or(0)) + " "
            + (line.score ? redScoreText(*line.score, position.isRedToMove()) : "?");
        Board played = position;
        for (const std::string& move : line.pv) {
            const std::string notation = played.moveToChinese(move);
            if (notation.empty() || !played.makeMoveText(move)) break;
            text += " " + notation;
        }
        text += "\r\n";
    }
    return text;
}

} // namespace qinglan

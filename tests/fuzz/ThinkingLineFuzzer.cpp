// libFuzzer target over an engine's thinking lines: each "info" line read as a value and
// shown as a row, against a position that the first line of the input sets.
#include "FuzzSupport.h"
#include "game/ThinkingInfo.h"
#include "rules/Board.h"

#include <cstddef>
#include <cstdint>
#include <string>

using namespace qinglan;
using fuzz::require;

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const std::vector<std::string_view> lines
        = fuzz::splitLines(std::string_view(reinterpret_cast<const char*>(data), size));
    if (lines.empty()) return 0;
    Board searched;
    searched.setPosition(std::string(lines.front()));
    const std::string fen = searched.toFen();
    for (std::size_t i = 1; i < lines.size(); ++i) {
        Board scratch;
        scratch.setPosition(fen);
        const std::optional<EngineReply> reply = parseEngineReply(lines[i]);
        const std::optional<ThinkingLine> info = parseThinkingLine(lines[i]);
        require(reply.has_value() || !info.has_value());
        if (!info) continue;
        require(info->rank >= 1);
        std::string badMove;
        const std::string row = thinkingRow(scratch, *info, "", badMove);
        require(scratch.isConsistent());
        require(row.empty() || row.ends_with("\r\n"));
        require(row.find('\n') == row.size() - 1 || row.empty());
        require(badMove.empty() || !row.empty());
        if (!badMove.empty()) {
            // The row stops before the bad move: that move is not legal where it stands.
            require(badMove.size() == 4 && !scratch.isLegalMoveText(badMove));
        }
    }
    return 0;
}

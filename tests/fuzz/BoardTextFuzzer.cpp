// libFuzzer target over the text entry points of the rules core: position text, move
// texts, notation, position commands, and the adjudication that follows them.
#include "rules/Board.h"

#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <fuzzer/FuzzedDataProvider.h>

using namespace qinglan;

namespace {

void require(bool condition) {
    if (!condition) std::abort();
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    FuzzedDataProvider input(data, size);
    Board board;
    board.setPosition(input.ConsumeRandomLengthString(400));
    require(board.isConsistent());

    while (input.remaining_bytes() > 0) {
        std::string text = input.ConsumeRandomLengthString(12);
        int move = coordToMove(text);
        require(move == 0 || moveToCoord(move) == text.substr(0, 4));
        const std::string fen = board.toFen();
        const bool legal = board.isLegalMoveText(text);
        const std::string notation = board.moveToChinese(text);
        require(!legal || !notation.empty());
        require(board.toFen() == fen);
        switch (input.ConsumeIntegralInRange(0, 3)) {
        case 0:
            require(board.makeMoveText(text) == legal);
            break;
        case 1:
            board.undoMove();
            break;
        case 2: {
            std::string command = board.positionCommand(input.ConsumeBool(), input.ConsumeBool());
            Board replay;
            replay.setPosition(command);
            require(replay.toFen() == board.toFen());
            break;
        }
        default:
            board.gameStatus();
            board.repetitionVerdict();
            break;
        }
        require(board.isConsistent());
    }
    return 0;
}

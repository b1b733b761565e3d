#include "game/GameResult.h"

#include "rules/Board.h"

namespace qinglan {

namespace {

constexpr const char* QUESTION = "，重新开始吗？";

// The words of a result as the boxes say them; a result the board and the clocks do not
// give is named by its winner alone.
std::string verdictWords(const GameResult& result) {
    const bool redWon = result.winner == Winner::Red;
    switch (result.reason) {
    case ResultReason::Checkmate:
    case ResultReason::Stalemate:
        return redWon ? "红胜" : "黑胜";
    case ResultReason::TooLittleMaterial:
        return "自然作和";
    case ResultReason::NoCaptureLimit:
        return "50回合不吃子作和";
    case ResultReason::Repetition:
        return "双方不变着作和";
    case ResultReason::PerpetualCheck:
        return redWon ? "黑方犯规，红胜" : "红方犯规，黑胜";
    case ResultReason::Time:
        return redWon ? "黑方超时作负" : "红方超时作负";
    default:
        return result.winner == Winner::Draw ? "和棋" : redWon ? "红胜" : "黑胜";
    }
}

const char* faultWords(ResultReason reason) {
    switch (reason) {
    case ResultReason::IllegalMove:
        return " 输出错误信息！";
    case ResultReason::EngineCrash:
        return " crashed";
    case ResultReason::EngineGaveUp:
        return " 罢工了！";
    case ResultReason::NoReply:
        return " did not reply in time";
    default:
        return nullptr;
    }
}

} // namespace

std::optional<GameResult> boardResult(const Board& board) {
    const int status = board.gameStatus();
    switch (status) {
    case STATUS_RED_WINS:
    case STATUS_BLACK_WINS:
        return GameResult { status == STATUS_RED_WINS ? Winner::Red : Winner::Black,
            board.isInCheck() ? ResultReason::Checkmate : ResultReason::Stalemate };
    case STATUS_NATURAL_DRAW:
        return GameResult { Winner::Draw, ResultReason::TooLittleMaterial };
    case STATUS_NO_CAPTURE_DRAW:
        return GameResult { Winner::Draw, ResultReason::NoCaptureLimit };
    default:
        break;
    }
    const int verdict = board.repetitionVerdict();
    if (verdict == 0) return std::nullopt;
    // Only a side that checked with every move while the other did not is at fault.
    if ((verdict & 24) == RED) return GameResult { Winner::Black, ResultReason::PerpetualCheck };
    if ((verdict & 24) == BLACK) return GameResult { Winner::Red, ResultReason::PerpetualCheck };
    return GameResult { Winner::Draw, ResultReason::Repetition };
}

GameResult lossOf(bool red, ResultReason reason) {
    return { red ? Winner::Black : Winner::Red, reason };
}

std::string restartQuestion(const GameResult& result) {
    return verdictWords(result) + QUESTION;
}

std::string pgnResultToken(const GameResult& result) {
    switch (result.winner) {
    case Winner::Red:
        return "1-0";
    case Winner::Black:
        return "0-1";
    default:
        return "1/2-1/2";
    }
}

std::string resultReasonText(
    const GameResult& result, const std::string& redName, const std::string& blackName) {
    if (const char* fault = faultWords(result.reason))
        return (result.winner == Winner::Red ? blackName : redName) + fault;
    return verdictWords(result);
}

} // namespace qinglan

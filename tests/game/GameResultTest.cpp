// Results as values: what the board's verdicts, the clocks and the engines' faults end a
// game with, the box the game flow shows for each.
#include "game/Game.h"
#include "game/HeadlessHost.h"

#include <gtest/gtest.h>

namespace qinglan {
namespace {

std::string repeated(const std::string& cycle, int times) {
    std::string moves;
    for (int i = 0; i < times; ++i) moves += cycle;
    return moves;
}

TEST(GameResult, EachVerdictEndsTheGameWithItsValueAndBox) {
    // Red checks from a9 and a8 in turn while the black king steps between e9 and e8.
    const std::string checks = "4kab2/R8/8b/3c5/8r/9/9/9/4A4/2B1KAB2 w - - 0 1 moves";
    const std::string horses = " h0g2 h9g7 g2h0 g7h9";
    const struct {
        std::string position;
        GameResult result;
        const char* box;
    } rows[] = {
        { "R3k4/1R7/9/9/9/9/9/9/9/3K5 b - - 0 1", { Winner::Red, ResultReason::Checkmate },
            "红胜，重新开始吗？" },
        { "4k4/9/9/9/9/9/9/9/4B4/3AKA3 w - - 0 1", { Winner::Black, ResultReason::Stalemate },
            "黑胜，重新开始吗？" },
        { "3k5/9/9/9/9/9/9/9/9/4K4 w - - 0 1", { Winner::Draw, ResultReason::TooLittleMaterial },
            "自然作和，重新开始吗？" },
        { "position startpos moves" + repeated(horses, 3),
            { Winner::Draw, ResultReason::Repetition }, "双方不变着作和，重新开始吗？" },
        // The no-capture limit is judged before the repetition that also stands.
        { "position startpos moves" + repeated(horses, 26),
            { Winner::Draw, ResultReason::NoCaptureLimit }, "50回合不吃子作和，重新开始吗？" },
        { "position fen " + checks + repeated(" a8a9 e9e8 a9a8 e8e9", 3) + " a8a9",
            { Winner::Black, ResultReason::PerpetualCheck }, "红方犯规，黑胜，重新开始吗？" },
        { "position fen " + checks + repeated(" a8a9 e9e8 a9a8 e8e9", 3) + " a8a9 e9e8",
            { Winner::Black, ResultReason::PerpetualCheck }, "红方犯规，黑胜，重新开始吗？" },
    };
    HeadlessHost host;
    Game game(host);
    host.attach(game);
    for (const auto& row : rows) {
        host.messages.clear();
        game.flow().openPosition(row.position);
        game.flow().nextTurn();
        ASSERT_TRUE(game.state().result.has_value()) << row.position;
        EXPECT_EQ(*game.state().result, row.result) << row.position;
        ASSERT_EQ(host.messages.size(), 1u) << row.position;
        EXPECT_EQ(host.messages[0].text, row.box);
        EXPECT_EQ(game.state().gameOver, 1);
    }
    game.flow().newGame();
    EXPECT_FALSE(game.state().result.has_value()) << "a new game has no result";
    EXPECT_EQ(game.state().gameOver, 0);
}

TEST(GameResult, ALossOnTimeIsTheSideOutOfTime) {
    std::int64_t now = 0;
    HeadlessHost host;
    Game game(host, [&] { return now; });
    host.attach(game);
    LevelSettings clock;
    clock.mode = LEVEL_TIME_INCREMENT;
    clock.gameTimeMs = 1000;
    game.flow().newGame(std::nullopt, clock);
    game.flow().nextTurn();
    EXPECT_FALSE(game.flow().checkTimeouts());
    now = 1001;
    const std::optional<GameResult> lost = game.flow().checkTimeouts();
    ASSERT_TRUE(lost);
    EXPECT_EQ(*lost, (GameResult { Winner::Black, ResultReason::Time }));
    EXPECT_EQ(restartQuestion(*lost), "红方超时作负，重新开始吗？");
    EXPECT_FALSE(game.flow().checkTimeouts()) << "a game has one result";
}

TEST(GameResult, RecordsReadTheSameValue) {
    const GameResult redFaulted = lossOf(true, ResultReason::IllegalMove);
    EXPECT_EQ(pgnResultToken(redFaulted), "0-1");
    EXPECT_EQ(resultReasonText(redFaulted, "R", "B"), "R 输出错误信息！") << "the loser's fault";
    EXPECT_EQ(resultReasonText(lossOf(false, ResultReason::NoReply), "R", "B"),
        "B did not reply in time");
    EXPECT_EQ(resultReasonText({ Winner::Red, ResultReason::PerpetualCheck }, "R", "B"),
        "黑方犯规，红胜");
    EXPECT_EQ(pgnResultToken({ Winner::Draw, ResultReason::Repetition }), "1/2-1/2");
}

} // namespace
} // namespace qinglan

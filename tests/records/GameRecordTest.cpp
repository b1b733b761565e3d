// The record itself: moves checked as they are added, variations in order, tags, and
// engine evaluations as comments.
#include "records/GameRecord.h"

#include "records/Evaluation.h"

#include <gtest/gtest.h>

namespace qinglan {
namespace {

TEST(GameRecord, MovesAreCheckedWhereverTheyAreAdded) {
    GameRecord game;
    const int first = game.addMove(GameRecord::ROOT, "h2e2");
    const int reply = game.addMove(first, "h9g7");
    ASSERT_NE(reply, GameRecord::NONE);
    EXPECT_EQ(game.addMove(reply, "h9g7"), GameRecord::NONE) << "that horse has moved";
    EXPECT_EQ(game.addMove(first, "h2e2"), GameRecord::NONE) << "black to move";
    EXPECT_EQ(game.addMove(first, "h2e2x"), GameRecord::NONE);
    const int other = game.addMove(GameRecord::ROOT, "b2e2"); // back at the start
    ASSERT_NE(other, GameRecord::NONE);
    EXPECT_NE(game.addMove(other, "b9c7"), GameRecord::NONE);
    EXPECT_EQ(game.nextSibling(first), other);
    EXPECT_EQ(game.mainLine(), (std::vector<int> { first, reply }));
    EXPECT_EQ(game.positionAfter(reply).toFen(),
        "rnbakab1r/9/1c4nc1/p1p1p1p1p/9/9/P1P1P1P1P/1C2C4/9/RNBAKABNR w - - 0 1");

    EXPECT_FALSE(game.setStartFen("4k4/9/9/9/9/9/9/9/9/9 w")) << "no red king";
    EXPECT_EQ(game.nodeCount(), 5);
    game.setTag(tags::RED, "甲\n乙");
    EXPECT_EQ(game.tag(tags::RED), "甲 乙");
    game.setComment(first, "  a {b} c\r\n");
    EXPECT_EQ(game.comment(first), "a {b｝ c");
    EXPECT_EQ(normalResult("紅勝"), "1-0");
    EXPECT_EQ(normalResult("0-0"), "*");
}

TEST(GameRecord, RemovingAMoveTakesItsSubtreeAndKeepsTheRest) {
    // Start: h2e2 (h9g7 c3c4) | b2e2 (b9c7, h9g7) | h0g2; remove b2e2 with its replies.
    GameRecord game;
    const int first = game.addMove(GameRecord::ROOT, "h2e2");
    const int middle = game.addMove(GameRecord::ROOT, "b2e2");
    game.addMove(middle, "b9c7");
    const int reply = game.addMove(first, "h9g7");
    game.addMove(middle, "h9g7");
    game.setComment(game.addMove(reply, "c3c4"), "留下");
    const int last = game.addMove(GameRecord::ROOT, "h0g2");
    game.addNag(last, 1);
    game.addNag(last, 2);
    game.clearNags(last);
    EXPECT_TRUE(game.nags(last).empty());

    const std::vector<int> newId = game.removeMove(middle);
    EXPECT_EQ(newId[middle], GameRecord::NONE);
    EXPECT_EQ(newId[first], first) << "ids before the removed move stay";
    EXPECT_EQ(game.nodeCount(), 5);
    GameRecord expected;
    const int e1 = expected.addMove(GameRecord::ROOT, "h2e2");
    expected.setComment(expected.addMove(expected.addMove(e1, "h9g7"), "c3c4"), "留下");
    expected.addMove(GameRecord::ROOT, "h0g2");
    EXPECT_TRUE(game == expected);
    // The links still hold: a variation added now comes after the last one kept.
    const int added = game.addMove(GameRecord::ROOT, "i0i1");
    EXPECT_EQ(game.nextSibling(newId[last]), added);
    game.removeMove(added); // the last alternative: the next one takes its place
    const int again = game.addMove(GameRecord::ROOT, "a0a1");
    EXPECT_EQ(game.moveText(game.firstChild(GameRecord::ROOT)), "h2e2");
    EXPECT_EQ(game.nextSibling(newId[last]), again);
    game.removeMove(newId[last]);
    game.removeMove(game.firstChild(GameRecord::ROOT));
    EXPECT_EQ(game.firstChild(GameRecord::ROOT), game.nodeCount() - 1);
    EXPECT_EQ(game.moveText(game.firstChild(GameRecord::ROOT)), "a0a1");
    EXPECT_EQ(game.removeMove(GameRecord::ROOT).size(), 2u) << "the root stays";
}

TEST(Evaluation, CommentsInTheFormOtherProgramsWrite) {
    const struct {
        const char* comment;
        std::optional<Evaluation> evaluation;
        bool asWritten = false; // the form evaluationComment writes
    } rows[] = {
        { "+0.35/12 1.2s", Evaluation { 35, 0, 12, 1200 }, true },
        { "-1.50/8 0.0s", Evaluation { -150, 0, 8, 0 }, true },
        { "+M3/20 0.5s", Evaluation { 0, 3, 20, 500 }, true },
        { "-M2/9 12.3s", Evaluation { 0, -2, 9, 12300 }, true },
        { " +0.10/3", Evaluation { 10, 0, 3, 0 } },
        { "+0.10/3 then words", Evaluation { 10, 0, 3, 0 } },
        { "good move", std::nullopt },
        { "+x/3 1s", std::nullopt },
        { "+0.35/ 1s", std::nullopt },
        { "+M/3", std::nullopt },
        { "+1e300/3", std::nullopt },
    };
    for (const auto& row : rows) {
        EXPECT_EQ(parseEvaluation(row.comment), row.evaluation) << row.comment;
        if (row.asWritten) {
            EXPECT_EQ(evaluationComment(*row.evaluation), row.comment);
        }
    }
}

} // namespace
} // namespace qinglan

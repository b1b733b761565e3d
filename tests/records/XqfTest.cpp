// XQF files cut short, with a wrong side to move or a move that is not legal: the reader
// keeps what it could read and says why it stopped.
#include "records/RecordFile.h"
#include "records/XqfReader.h"

#include <filesystem>
#include <fstream>
#include <gtest/gtest.h>
#include <sstream>

namespace qinglan {
namespace {

std::string sample(const std::string& name) {
    std::ifstream in(std::string(QINGLAN_RECORD_SAMPLES) + "/" + name, std::ios::binary);
    std::stringstream bytes;
    bytes << in.rdbuf();
    return bytes.str();
}

std::vector<std::string> mainLineOf(const GameRecord& game) {
    std::vector<std::string> moves;
    for (int node : game.mainLine()) moves.push_back(game.moveText(node));
    return moves;
}

TEST(Xqf, AFileCutAnywhereKeepsTheMovesBeforeTheCut) {
    for (const char* name : { "v10_05WY0001.xqf", "v13_1993_zhangqiang_huronghua.xqf",
             "v18_huangsongxuan_fengjingru.xqf" }) {
        const std::string bytes = sample(name);
        std::string problem;
        const std::vector<std::string> whole = mainLineOf(*readXqf(bytes, problem));
        for (std::size_t size = 2; size < bytes.size(); ++size) {
            SCOPED_TRACE(std::string(name) + " cut at " + std::to_string(size));
            const RecordFileContents contents = readRecordBytes(bytes.substr(0, size));
            if (size < 1024) {
                EXPECT_EQ(contents.error, "the file ends inside its XQF header");
                continue;
            }
            ASSERT_EQ(contents.games.size(), 1u);
            EXPECT_NE(contents.games[0].problem, "");
            const std::vector<std::string> line = mainLineOf(contents.games[0].game);
            ASSERT_LE(line.size(), whole.size());
            EXPECT_TRUE(std::equal(line.begin(), line.end(), whole.begin()));
        }
    }
}

TEST(Xqf, TheFirstMoveDecidesWhoMovesFirst) {
    std::string bytes = sample("v10_black_moves_first.xqf");
    bytes[0x32] = 0; // says red, but black moves first
    std::string problem;
    const std::optional<GameRecord> game = readXqf(bytes, problem);
    ASSERT_TRUE(game);
    EXPECT_EQ(problem, "");
    EXPECT_EQ(game->mainLine().size(), 15u);
    EXPECT_NE(game->startFen().find(" b "), std::string::npos);
}

TEST(Xqf, AMoveThatIsNotLegalEndsItsLine) {
    std::string bytes = sample("v10_05WY0001.xqf");
    // Version 10 is plain: the third record's source square (file 4, row 0 + 24), red's king,
    // now goes to file 4 row 5 (+ 32): two steps and past its palace.
    bytes[0x400 + 16] = 40 + 24;
    bytes[0x400 + 17] = 45 + 32;
    std::string problem;
    const std::optional<GameRecord> game = readXqf(bytes, problem);
    ASSERT_TRUE(game);
    EXPECT_EQ(problem, "ply 2 (e0e5): not a legal move; that line ends there");
    EXPECT_EQ(game->mainLine().size(), 1u);
    EXPECT_EQ(readXqf("XQ", problem), std::nullopt);
    EXPECT_EQ(problem, "the file ends inside its XQF header");
}

} // namespace
} // namespace qinglan

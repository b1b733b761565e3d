// PGN as files come: layouts of move text as (text, plies, result, problem) rows, the tree
// of comments and variations, encodings, and hostile or broken files.
#include "records/PgnReader.h"

#include "records/PgnWriter.h"
#include "records/RecordFile.h"
#include "records/TextDecoding.h"

#include <gtest/gtest.h>

namespace qinglan {
namespace {

struct LayoutRow {
    const char* text;
    int plies; // of the first game's main line
    const char* result;
    const char* problem; // a part of the first game's problem, "" for none
};

const LayoutRow LAYOUT_ROWS[] = {
    { "1. h2e2 h9g7 2. h0g2 *", 3, "*", "" },
    { "1.h2e2 1...h9g7 2.h0g2", 3, "*", "" },
    { "１．炮二平五 马８进７ ２．马二进三 １０ 车９平８", 4, "*", "" },
    { "1. h2e2 {a comment} 1... h9g7 2. h0g2 i9h9 1-0", 4, "1-0", "" },
    { "1. 炮二平五 马８进７\r\n2. 马二进三 车９平８\r\n", 4, "*", "" },
    { "1. 炮二平五\r马８进７\r2. 马二进三 0-1", 3, "0-1", "" },
    { "1. 炮二平五 ; to the end of the line\n 马８进７ 1/2-1/2", 2, "1/2-1/2", "" },
    { "1.炮二平五馬８進７ 2.傌二進三", 3, "*", "" },
    { "1. 炮二平五 1. 马８进７", 2, "*", "" }, // black's move numbered like red's
    { "1. C2=5 h8+7 2. H2+3 红胜 trailing words 3. R1=2\nmore notes\n", 3, "1-0", "" },
    { "1. H2-E2 H9-G7 黑胜", 2, "0-1", "" },
    { "h2e2 h9g7 和棋", 2, "1/2-1/2", "" },
    { "1. h2e2! h9g7?! 2. h0g2 $14 *", 3, "*", "" },
    { "[Result \"1-0\"]\n1. h2e2 *", 1, "1-0", "" },
    { "[FEN \"4k4/9/9/9/9/9/9/9/9/3K5 r - - 0 1\"]\n1. d0d1 e9e8", 2, "*", "" },
    { "[FEN \"4k4/9/9/9/9/9/9/9/9/3K5 b\"]\n1... e9e8 2. d0d1", 2, "*", "" },
    { "[FEN \"9/9/9/9/9/9/9/9/9/3K5 w\"]\n1. d0d1", 0, "*", "not a position with both kings" },
    // A line ends at the first move that is not legal; what came before is kept.
    { "1. h2e2 h9g7 2. h2h5 h7h0", 2, "*", "move 2 (h2h5): not a legal move" },
    { "1. h2e2 h9g7 2. 炮八平六 马２进３ 3. 马二进三", 5, "*", "" },
    { "1. h2e2 xyz 2. h0g2", 1, "*", "move 1... (xyz): not a move" },
    { "1. h2e2 {never closed", 1, "*", "a comment is not closed" },
    // An ended variation does not end the main line.
    { "1. h2e2 (1. a0a5 h9g7) h9g7 2. h0g2", 3, "*", "move 1 (a0a5): not a legal move" },
};

// Listing by tags finds the same games as reading them, each readable from its span.
TEST(PgnReader, TagsAndSpansListTheGamesAsReadingThem) {
    const std::string text = "[Event \"甲\"]\n1. h2e2 {注 [x] 1-0} h9g7 (1... b9c7 0-1) 1-0\n"
                             "notes after the result\n\n"
                             "[Event \"乙\"]\n[FEN \"4k4/9/9/9/9/9/9/9/4R4/3K5 w - - 0 1\"]\n"
                             "1. e1e5 *\n"
                             "1. b2e2 b9c7\n\n[Event \"丙\"]\n*\n";
    std::vector<GameRecord> read;
    PgnReader whole(text);
    GameRecord game;
    for (std::string problem; whole.next(game, problem);) read.push_back(game);
    PgnReader listing(text);
    GameSpan span;
    std::vector<GameSpan> spans;
    for (GameRecord tags; listing.nextTags(tags, span);) {
        ASSERT_LT(spans.size(), read.size());
        EXPECT_EQ(tags.tags(), read[spans.size()].tags());
        EXPECT_EQ(tags.startFen(), read[spans.size()].startFen());
        spans.push_back(span);
    }
    ASSERT_EQ(spans.size(), 4u);
    EXPECT_EQ((std::vector<bool> {
                  spans[0].hasMoves, spans[1].hasMoves, spans[2].hasMoves, spans[3].hasMoves }),
        (std::vector<bool> { true, true, true, false }));
    for (std::size_t i = 0; i < spans.size(); ++i) {
        PgnReader one(std::string_view(text).substr(spans[i].begin, spans[i].end - spans[i].begin));
        std::string problem;
        ASSERT_TRUE(one.next(game, problem));
        EXPECT_TRUE(game == read[i]) << i;
    }
}

TEST(PgnReader, MoveTextLayoutsAsFilesHaveThem) {
    for (const LayoutRow& row : LAYOUT_ROWS) {
        SCOPED_TRACE(row.text);
        const RecordFileContents contents = readRecordBytes(row.text);
        ASSERT_EQ(contents.games.size(), 1u) << contents.error;
        const ReadGame& read = contents.games[0];
        EXPECT_EQ(static_cast<int>(read.game.mainLine().size()), row.plies);
        EXPECT_EQ(read.game.result(), row.result);
        if (*row.problem == '\0')
            EXPECT_EQ(read.problem, "");
        else
            EXPECT_NE(read.problem.find(row.problem), std::string::npos) << read.problem;
    }
}

TEST(PgnReader, CommentsVariationsAndAnnotationsBuildTheTree) {
    const RecordFileContents contents = readRecordBytes(
        "[Event \"E\"]\n[Zzz \"kept\"]\n[Format \"ICCS\"]\n{before} 1. h2e2 {centre} "
        "(1. h2g2 {flank} (1. b2e2) h9g7) 1... h9g7 $5 (1... b9c7 2. h0g2 (2. b0c2)) 2. h0g2 *");
    ASSERT_EQ(contents.games.size(), 1u);
    const GameRecord& game = contents.games[0].game;
    EXPECT_EQ(contents.games[0].problem, "");
    ASSERT_EQ(game.tags().size(), 2u) << "the Format tag is the writer's";
    EXPECT_EQ(game.tags()[1].name, "Zzz");
    EXPECT_EQ(game.comment(GameRecord::ROOT), "before");
    const int first = game.firstChild(GameRecord::ROOT);
    EXPECT_EQ(game.moveText(first), "h2e2");
    EXPECT_EQ(game.comment(first), "centre");
    const int flank = game.nextSibling(first);
    EXPECT_EQ(game.moveText(flank), "h2g2");
    EXPECT_EQ(game.comment(flank), "flank");
    EXPECT_EQ(game.moveText(game.nextSibling(flank)), "b2e2");
    EXPECT_EQ(game.moveText(game.firstChild(flank)), "h9g7");
    const int reply = game.firstChild(first);
    EXPECT_EQ(game.nags(reply), std::vector<std::uint8_t> { 5 });
    const int other = game.nextSibling(reply);
    EXPECT_EQ(game.moveText(other), "b9c7");
    EXPECT_EQ(game.moveText(game.nextSibling(game.firstChild(other))), "b0c2");
    EXPECT_EQ(game.mainLine().size(), 3u);

    // The tree is written back as it was read, in every notation.
    for (Notation notation : { Notation::Chinese, Notation::Wxf, Notation::Iccs }) {
        const RecordFileContents again = readRecordBytes(writePgn(game, notation));
        ASSERT_EQ(again.games.size(), 1u);
        EXPECT_TRUE(again.games[0].game == game) << writePgn(game, notation);
    }
}

TEST(PgnReader, ManyGamesInOneFileEachWithItsOwnTags) {
    const RecordFileContents contents = readRecordBytes("\xEF\xBB\xBF[Red \"A\"]\n1. h2e2 1-0\n"
                                                        "[Red \"B\"]\n\n1. b2e2 2. b0c2 0-1\n"
                                                        "[Red \"C\"]\n");
    ASSERT_EQ(contents.games.size(), 3u);
    EXPECT_EQ(contents.games[1].game.tag("Red"), "B");
    EXPECT_EQ(contents.games[1].game.mainLine().size(), 1u)
        << "2. b0c2 is red's move again: illegal for black";
    EXPECT_EQ(contents.games[2].game.mainLine().size(), 0u);
}

TEST(PgnReader, EncodingsAreFoundBeforeTheTextIsSplit) {
    // A GBK or Big5 character's second byte can be "\\", "]" or "}": so it is in 淺, 沒
    // and 倉 in GBK, and in 許, 功, 包 and 徐 in Big5.
    const std::string utf8 = "[Red \"淺沒倉\"]\n1. 炮二平五 {倉} 马８进７ 1-0\n";
    const std::string big5 = "[Red \"\xB3\x5C\xA5\x5C\"]\n1. \xA5]\xA4G\xA5\xAD\xA4\xAD {\xAE}} "
                             "\xB0\xA8\xA2\xB7\xB6i\xA2\xB6 1-0\n";
    const struct {
        std::string bytes, text;
        Charset charset;
        const char* red;
        const char* comment;
    } rows[] = {
        { utf8, utf8, Charset::Utf8, "淺沒倉", "倉" },
        { encodeGbk(utf8), utf8, Charset::Gb18030, "淺沒倉", "倉" },
        { big5, "[Red \"許功\"]\n1. 包二平五 {徐} 馬８進７ 1-0\n", Charset::Big5, "許功", "徐" },
    };
    for (const auto& row : rows) {
        SCOPED_TRACE(row.text);
        Charset found;
        EXPECT_EQ(decodeText(row.bytes, &found), row.text);
        EXPECT_EQ(found, row.charset);
        const RecordFileContents contents = readRecordBytes(row.bytes);
        ASSERT_EQ(contents.games.size(), 1u);
        const GameRecord& game = contents.games[0].game;
        EXPECT_EQ(game.tag("Red"), row.red);
        EXPECT_EQ(game.mainLine().size(), 2u);
        EXPECT_EQ(game.comment(game.firstChild(GameRecord::ROOT)), row.comment);
    }
}

TEST(PgnReader, LimitsEachHaveTheirMessage) {
    std::string deep = "1. h2e2 ";
    for (int i = 0; i < MAX_VARIATION_DEPTH + 1; ++i) deep += "(1. b2e2 ";
    for (int i = 0; i < MAX_VARIATION_DEPTH + 1; ++i) deep += ") ";
    deep += "h9g7";
    const std::string hugeComment
        = "1. h2e2 {" + std::string(MAX_COMMENT_BYTES + 10, 'x') + "} h9g7";
    std::string manyGames;
    for (int i = 0; i <= MAX_GAMES_PER_FILE; ++i) manyGames += "[G \"\"]\n*\n";
    const struct {
        std::string text;
        const char* message;
        std::size_t games;
    } rows[] = {
        { deep, "variations nested deeper than 200", 1 },
        { hugeComment, "a comment longer than 64 KiB was cut", 1 },
        { manyGames, "more than 100000 games in the file; the rest is not read", 100000 },
        { std::string(MAX_RECORD_FILE_BYTES + 1, ' '), "the file is larger than 64 MiB", 0 },
        { "", "the file holds no game", 0 },
    };
    for (const auto& row : rows) {
        const RecordFileContents contents = readRecordBytes(row.text);
        ASSERT_EQ(contents.games.size(), row.games) << row.message;
        const std::string said = row.games == 1 ? contents.games[0].problem : contents.error;
        EXPECT_EQ(said, row.message);
    }
    // The nested game keeps its main line, and the comment its first 64 KiB.
    const RecordFileContents nested = readRecordBytes(deep);
    EXPECT_EQ(nested.games[0].game.mainLine().size(), 2u);
    const RecordFileContents cut = readRecordBytes(hugeComment);
    EXPECT_EQ(cut.games[0].game.comment(1).size(), MAX_COMMENT_BYTES);
}

} // namespace
} // namespace qinglan

// Every real record of the shared samples reads with the main line and final position
// that EXPECTED.tsv gives, and reads the same again after being written.
#include "records/PgnWriter.h"
#include "records/RecordFile.h"
#include "records/TextDecoding.h"

#include <filesystem>
#include <fstream>
#include <gtest/gtest.h>
#include <sstream>

namespace qinglan {
namespace {

struct Expected {
    std::string file, plies, finalPosition;
};

std::vector<Expected> expectedSamples() {
    std::ifstream in(std::string(QINGLAN_RECORD_SAMPLES) + "/EXPECTED.tsv");
    std::vector<Expected> rows;
    std::string line;
    std::getline(in, line); // the heading
    while (std::getline(in, line)) {
        std::vector<std::string> fields;
        std::stringstream split(line);
        for (std::string field; std::getline(split, field, '\t');) fields.push_back(field);
        if (fields.size() >= 6) rows.push_back({ fields[0], fields[4], fields[5] });
    }
    return rows;
}

// The board and side after the main line, as the first two FEN fields.
std::string finalPosition(const GameRecord& game) {
    const std::vector<int> line = game.mainLine();
    const std::string fen
        = game.positionAfter(line.empty() ? GameRecord::ROOT : line.back()).toFen();
    return fen.substr(0, fen.find(' ', fen.find(' ') + 1));
}

// Where two records first differ, for the failure message; "" when they are the same.
std::string firstDifference(const GameRecord& a, const GameRecord& b) {
    if (a.tags() != b.tags()) return "tags";
    if (a.startFen() != b.startFen()) return "start " + a.startFen() + " / " + b.startFen();
    std::vector<std::pair<int, int>> pending { { GameRecord::ROOT, GameRecord::ROOT } };
    while (!pending.empty()) {
        const auto [x, y] = pending.back();
        pending.pop_back();
        const std::string where = "after " + a.moveText(x) + " (node " + std::to_string(x) + ")";
        if (a.moveText(x) != b.moveText(y)) return "move " + a.moveText(x) + " / " + b.moveText(y);
        if (a.comment(x) != b.comment(y))
            return "comment " + where + ": [" + a.comment(x) + "] / [" + b.comment(y) + "]";
        if (a.nags(x) != b.nags(y)) return "annotations " + where;
        int p = a.firstChild(x), q = b.firstChild(y);
        for (; p != GameRecord::NONE && q != GameRecord::NONE;
             p = a.nextSibling(p), q = b.nextSibling(q))
            pending.emplace_back(p, q);
        if (p != q) return "replies " + where;
    }
    return "";
}

TEST(RecordSamples, EveryOneReadsToItsExpectedPosition) {
    const std::vector<Expected> rows = expectedSamples();
    ASSERT_EQ(rows.size(), 13u) << "samples in " << QINGLAN_RECORD_SAMPLES;
    for (const Expected& row : rows) {
        SCOPED_TRACE(row.file);
        const RecordFileContents contents
            = readRecordFile(std::string(QINGLAN_RECORD_SAMPLES) + "/" + row.file);
        ASSERT_EQ(contents.error, "");
        ASSERT_EQ(contents.games.size(), 1u);
        const ReadGame& read = contents.games[0];
        EXPECT_EQ(read.problem, "");
        EXPECT_EQ(std::to_string(read.game.mainLine().size()), row.plies);
        EXPECT_EQ(finalPosition(read.game), row.finalPosition);
    }
}

TEST(RecordSamples, EveryOneReadsTheSameAfterWritingInEveryNotation) {
    for (const Expected& row : expectedSamples()) {
        const RecordFileContents contents
            = readRecordFile(std::string(QINGLAN_RECORD_SAMPLES) + "/" + row.file);
        ASSERT_EQ(contents.games.size(), 1u) << row.file;
        const GameRecord& original = contents.games[0].game;
        for (Notation notation : { Notation::Chinese, Notation::Wxf, Notation::Iccs })
            for (bool gbk : { false, true }) {
                SCOPED_TRACE(
                    row.file + " " + std::string(formatTagOf(notation)) + (gbk ? " GBK" : ""));
                const std::string text = writePgn(original, notation);
                const RecordFileContents again = readRecordBytes(gbk ? encodeGbk(text) : text);
                ASSERT_EQ(again.games.size(), 1u);
                EXPECT_EQ(again.games[0].problem, "");
                EXPECT_TRUE(again.games[0].game == original)
                    << firstDifference(original, again.games[0].game);
            }
    }
}

} // namespace
} // namespace qinglan

// Every real record of the shared samples reads with the main line and final position
// that EXPECTED.tsv gives, and reads the same again after being written.
#include "records/RecordFile.h"

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

} // namespace
} // namespace qinglan

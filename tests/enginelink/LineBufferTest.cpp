// The line accumulator on its own: chunks in, lines out, one row per case.
#include "enginelink/LineBuffer.h"

#include <gtest/gtest.h>
#include <string>
#include <vector>

using qinglan::LineBuffer;

namespace {

struct Row {
    const char* name;
    std::vector<std::string> chunks; // after each chunk every complete line is taken
    std::vector<std::string> lines;
    std::string pending;
    std::size_t maxLine = 1 << 20;
};

const Row ROWS[] = {
    { "LF ends a line", { "ucciok\n" }, { "ucciok" }, "" },
    { "CR LF ends a line", { "ucciok\r\n" }, { "ucciok" }, "" },
    { "CR and LF in different chunks", { "ucciok\r", "\n" }, { "ucciok" }, "" },
    { "a line in three chunks", { "uc", "ci", "ok\r\n" }, { "ucciok" }, "" },
    { "a burst with an empty line", { "a\nb\r\n\r\n\nc\n" }, { "a", "b", "", "", "c" }, "" },
    { "a partial line is kept", { "id name X\nbest" }, { "id name X" }, "best" },
    { "a partial line after many lines", { "a\nb\nc", "d\ne", "f" }, { "a", "b", "cd" }, "ef" },
    { "a CR inside a line stays", { "a\rb\n" }, { "a\rb" }, "" },
    { "only the CR next to the LF goes", { "a\r\r\n" }, { "a\r" }, "" },
    { "a long partial line is cut", { "abcdefghij" }, { "abcd", "efgh" }, "ij", 4 },
    { "a long ended line is cut", { "abcdefg\n" }, { "abcd", "efg" }, "", 4 },
    { "a line of the cap waits for its LF", { "abcd\r" }, {}, "abcd\r", 4 },
    { "a line of the cap with CR LF", { "abcd\r", "\nxy\n" }, { "abcd", "xy" }, "", 4 },
    { "cut pieces and lines mixed", { "abcdefg", "h\nij\n" }, { "abcd", "efgh", "ij" }, "", 4 },
};

} // namespace

TEST(LineBuffer, CutsChunksIntoLines) {
    for (const Row& row : ROWS) {
        SCOPED_TRACE(row.name);
        LineBuffer buffer(row.maxLine);
        std::vector<std::string> lines;
        for (const std::string& chunk : row.chunks) {
            buffer.append(chunk);
            while (auto line = buffer.takeLine()) lines.push_back(*line);
        }
        EXPECT_EQ(lines, row.lines);
        EXPECT_EQ(buffer.pending(), row.pending);
    }
}

TEST(LineBuffer, StaysBoundedUnderOutputWithoutLineEnds) {
    LineBuffer buffer(1000);
    std::size_t cut = 0;
    for (int i = 0; i < 500; ++i) {
        buffer.append(std::string(333, 'x'));
        while (auto line = buffer.takeLine()) {
            EXPECT_EQ(line->size(), 1000u);
            ++cut;
        }
        ASSERT_LE(buffer.pending().size(), 1001u);
    }
    EXPECT_EQ(cut, 500u * 333 / 1000);
}

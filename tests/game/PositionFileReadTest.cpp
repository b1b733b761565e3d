// Reading a position file: the size limit is inclusive.
#include "game/PositionFile.h"
#include "rules/Board.h"

#include <fstream>
#include <gtest/gtest.h>

namespace qinglan {
namespace {

TEST(PositionFileRead, AFileOfExactlyTheLimitIsReadAndOneByteMoreIsRefused) {
    const std::string path = ::testing::TempDir() + "qinglan-limit.fen";
    std::string text = std::string(START_FEN) + " moves h2e2";
    for (const std::size_t size : { POSITION_FILE_MAX_BYTES, POSITION_FILE_MAX_BYTES + 1 }) {
        text.resize(size, ' ');
        std::ofstream(path, std::ios::binary | std::ios::trunc) << text;
        const PositionFileRead read = readPositionFile(path);
        EXPECT_EQ(read.error, size > POSITION_FILE_MAX_BYTES ? "文件太大" : "") << size;
    }
    std::remove(path.c_str());
}

} // namespace
} // namespace qinglan

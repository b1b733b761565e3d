#pragma once

#include "GameRecord.h"

#include <optional>
#include <string>
#include <vector>

namespace qinglan {

// A game as read from a file, with why a line of it ended early ("" when none did).
struct ReadGame {
    GameRecord game;
    std::string problem;
};

struct RecordFileContents {
    std::vector<ReadGame> games;
    // Why the file, or the rest of it, could not be read; "" when it all was.
    std::string error;
};

// Every game of an XQF file or a PGN text (any encoding decodeText knows).
RecordFileContents readRecordBytes(std::string bytes);

// A record file's bytes, read up to one chunk past MAX_RECORD_FILE_BYTES (enough to tell
// that it is too large); nothing when the file cannot be read.
std::optional<std::string> readRecordFileBytes(const std::string& path);

// The same from a file; files over MAX_RECORD_FILE_BYTES are refused.
RecordFileContents readRecordFile(const std::string& path);

} // namespace qinglan

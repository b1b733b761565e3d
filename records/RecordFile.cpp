#include "RecordFile.h"

#include "PgnReader.h"
#include "TextDecoding.h"
#include "XqfReader.h"

#include <algorithm>
#include <fstream>

namespace qinglan {

RecordFileContents readRecordBytes(std::string bytes) {
    RecordFileContents contents;
    if (bytes.size() > MAX_RECORD_FILE_BYTES) {
        contents.error = "the file is larger than 64 MiB";
        return contents;
    }
    if (looksLikeXqf(bytes)) {
        ReadGame read;
        std::optional<GameRecord> game = readXqf(bytes, read.problem);
        if (!game) {
            contents.error = read.problem;
            return contents;
        }
        read.game = std::move(*game);
        read.game.shrinkToFit();
        contents.games.push_back(std::move(read));
        return contents;
    }
    const std::string text = decodeText(std::move(bytes));
    PgnReader reader(text);
    for (ReadGame read; reader.next(read.game, read.problem);) {
        read.game.shrinkToFit();
        contents.games.push_back(std::move(read));
    }
    contents.error = reader.stopReason();
    if (contents.games.empty() && contents.error.empty()) contents.error = "the file holds no game";
    return contents;
}

std::optional<std::string> readRecordFileBytes(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    if (!in) return std::nullopt;
    std::string bytes;
    // Room for the whole file at once, so that appending never doubles the buffer.
    in.seekg(0, std::ios::end);
    const std::streamoff size = in.tellg();
    in.seekg(0, std::ios::beg);
    if (size > 0)
        bytes.reserve(
            std::min<std::size_t>(static_cast<std::size_t>(size), MAX_RECORD_FILE_BYTES) + 1);
    char buffer[1 << 16];
    // Reading stops one chunk past the limit: enough to know the file is too large.
    while (in && bytes.size() <= MAX_RECORD_FILE_BYTES) {
        in.read(buffer, sizeof buffer);
        bytes.append(buffer, static_cast<std::size_t>(in.gcount()));
    }
    return bytes;
}

RecordFileContents readRecordFile(const std::string& path) {
    std::optional<std::string> bytes = readRecordFileBytes(path);
    if (!bytes) return { {}, "cannot read " + path };
    return readRecordBytes(std::move(*bytes));
}

} // namespace qinglan

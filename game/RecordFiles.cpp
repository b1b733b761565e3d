#include "game/RecordFiles.h"

#include "game/PositionFile.h"
#include "records/PgnWriter.h"
#include "records/TextDecoding.h"
#include "records/XqfReader.h"

namespace qinglan {

namespace {

std::string notARecord(const std::string& reason) {
    return "文件内容不是棋谱或局面" + (reason.empty() ? std::string() : "（" + reason + "）");
}

GameSource sourceOfBytes(std::string bytes) {
    GameSource source;
    if (bytes.size() > MAX_RECORD_FILE_BYTES) {
        source.error = "文件太大";
        return source;
    }
    if (looksLikeXqf(bytes)) {
        RecordFileContents contents = readRecordBytes(std::move(bytes));
        for (ReadGame& read : contents.games)
            source.games.push_back({ std::move(read.game), {}, true, std::move(read.problem) });
        if (source.games.empty()) source.error = notARecord(contents.error);
        return source;
    }
    source.text = decodeText(std::move(bytes));
    PgnReader reader(source.text);
    // Any text reads as a game; only one with moves or tags is a record.
    for (ListedGame listed; reader.nextTags(listed.game, listed.span);)
        if (listed.span.hasMoves || !listed.game.tags().empty())
            source.games.push_back(std::move(listed));
    // Words without tags may be moves or anything else: a single such game must read.
    if (source.games.size() == 1 && source.games[0].game.tags().empty()
        && readListedGame(source, 0).game.nodeCount() == 1)
        source.games.clear();
    if (source.games.empty()) source.error = notARecord(reader.stopReason());
    return source;
}

} // namespace

GameSource readGameFile(const std::string& path) {
    PositionFileRead position = readPositionFile(path);
    if (position.error.empty()) return { std::move(position.text), {}, {}, {} };
    // Only a file that holds something other than a position may be a record.
    if (position.error == "文件无法读取" || position.error == "文件是空的")
        return { {}, {}, {}, std::move(position.error) };
    std::optional<std::string> bytes = readRecordFileBytes(path);
    if (!bytes) return { {}, {}, {}, "文件无法读取" };
    return sourceOfBytes(std::move(*bytes));
}

GameSource readGameText(const std::string& text) {
    if (looksLikePosition(text)) return { text, {}, {}, {} };
    return sourceOfBytes(text);
}

ReadGame readListedGame(const GameSource& source, int index) {
    const ListedGame& listed = source.games[index];
    if (listed.whole) return { listed.game, listed.problem };
    ReadGame read;
    const GameSpan& span = listed.span;
    PgnReader reader(std::string_view(source.text).substr(span.begin, span.end - span.begin));
    reader.next(read.game, read.problem);
    read.game.shrinkToFit();
    return read;
}

std::string pgnBytes(const GameRecord& game, const SaveOptions& options) {
    const std::string text = writePgn(game, options.notation);
    return options.gbk ? encodeGbk(text) : text;
}

std::string saveGameFile(
    const std::string& path, const GameRecord& game, const SaveOptions& options) {
    return writePositionFile(path, pgnBytes(game, options));
}

} // namespace qinglan

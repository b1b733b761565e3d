#include "game/RecordFiles.h"

#include "game/PositionFile.h"
#include "records/PgnWriter.h"
#include "records/TextDecoding.h"

namespace qinglan {

namespace {

// Any text reads as a game of no moves; only one with moves or tags is a record.
bool holdsAGame(const RecordFileContents& contents) {
    for (const ReadGame& read : contents.games)
        if (read.game.nodeCount() > 1 || !read.game.tags().empty()) return true;
    return false;
}

GameSource gamesOrError(RecordFileContents contents) {
    GameSource source;
    if (!holdsAGame(contents))
        source.error = "文件内容不是棋谱或局面"
            + (contents.error.empty() ? std::string() : "（" + contents.error + "）");
    source.records = std::move(contents);
    return source;
}

} // namespace

GameSource readGameFile(const std::string& path) {
    PositionFileRead position = readPositionFile(path);
    if (position.error.empty()) return { std::move(position.text), {}, {} };
    // Only a file that holds something other than a position may be a record.
    if (position.error == "文件无法读取" || position.error == "文件是空的")
        return { {}, {}, std::move(position.error) };
    return gamesOrError(readRecordFile(path));
}

GameSource readGameText(const std::string& text) {
    if (looksLikePosition(text)) return { text, {}, {} };
    return gamesOrError(readRecordBytes(text));
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

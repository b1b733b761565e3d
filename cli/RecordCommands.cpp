#include "RecordCommands.h"

#include "records/PgnWriter.h"
#include "records/RecordFile.h"
#include "records/TextDecoding.h"

#include <cstdio>
#include <fstream>
#include <string>
#include <string_view>

namespace qinglan {

namespace {

int usage(const char* text) {
    std::fprintf(stderr, "usage: %s\n", text);
    return 2;
}

// The board and side after the main line: the first two fields of its FEN.
std::string finalPosition(const GameRecord& game) {
    const std::vector<int> line = game.mainLine();
    const std::string fen
        = game.positionAfter(line.empty() ? GameRecord::ROOT : line.back()).toFen();
    return fen.substr(0, fen.find(' ', fen.find(' ') + 1));
}

// Prints a file's own failure; true when there was one.
bool reportFileError(const RecordFileContents& contents, const char* path) {
    if (contents.error.empty()) return false;
    std::fprintf(stderr, "%s: %s\n", path, contents.error.c_str());
    return true;
}

} // namespace

int runReplay(int argc, char** argv) {
    if (argc != 3) return usage(REPLAY_USAGE);
    const RecordFileContents contents = readRecordFile(argv[2]);
    bool failed = false;
    for (std::size_t i = 0; i < contents.games.size(); ++i) {
        const ReadGame& read = contents.games[i];
        if (!read.problem.empty()) {
            std::printf("%zu\terror: %s\n", i + 1, read.problem.c_str());
            failed = true;
            continue;
        }
        std::printf("%zu\t%zu\t%s\t%s\n", i + 1, read.game.mainLine().size(),
            finalPosition(read.game).c_str(), read.game.result().c_str());
    }
    failed |= reportFileError(contents, argv[2]);
    return failed ? 1 : 0;
}

int runConvert(int argc, char** argv) {
    if (argc < 4) return usage(CONVERT_USAGE);
    Notation notation = Notation::Chinese;
    bool gbk = false;
    for (int i = 4; i < argc; i += 2) {
        const std::string_view flag = argv[i];
        const std::string_view value = i + 1 < argc ? argv[i + 1] : "";
        if (flag == "--notation" && value == "chinese")
            notation = Notation::Chinese;
        else if (flag == "--notation" && value == "wxf")
            notation = Notation::Wxf;
        else if (flag == "--notation" && value == "iccs")
            notation = Notation::Iccs;
        else if (flag == "--encoding" && (value == "utf8" || value == "gbk"))
            gbk = value == "gbk";
        else
            return usage(CONVERT_USAGE);
    }
    const RecordFileContents contents = readRecordFile(argv[2]);
    bool failed = reportFileError(contents, argv[2]);
    if (contents.games.empty()) return 1;
    std::string text;
    for (std::size_t i = 0; i < contents.games.size(); ++i) {
        const ReadGame& read = contents.games[i];
        if (!read.problem.empty()) {
            // What came before the problem is still written.
            std::fprintf(stderr, "%s: game %zu: %s\n", argv[2], i + 1, read.problem.c_str());
            failed = true;
        }
        text += writePgn(read.game, notation);
    }
    if (gbk) text = encodeGbk(text);
    std::ofstream out(argv[3], std::ios::binary | std::ios::trunc);
    out.write(text.data(), static_cast<std::streamsize>(text.size()));
    out.close();
    if (!out) {
        std::fprintf(stderr, "cannot write %s\n", argv[3]);
        return 1;
    }
    return failed ? 1 : 0;
}

} // namespace qinglan

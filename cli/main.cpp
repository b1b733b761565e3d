// qinglan-cli: the rules core from the command line, for users, scripts and measurement.
#include "AnalyseCommand.h"
#include "Bench.h"
#include "Match.h"
#include "RecordCommands.h"
#include "rules/Board.h"
#include "rules/Perft.h"
#include "version/Version.h"

#include <algorithm>
#include <charconv>
#include <cstdio>
#include <cstring>
#include <string>
#include <vector>

using namespace qinglan;

namespace {

constexpr const char* USAGE = "usage: qinglan-cli perft DEPTH [POSITION] | moves POSITION | "
                              "notation POSITION MOVE... | status POSITION | bench | match ... | "
                              "replay FILE | convert IN OUT ... | analyse FILE ...";

constexpr const char* HELP
    = "qinglan-cli: xiangqi rules and engine matches from the command line.\n"
      "POSITION is a FEN, or \"position fen FEN\" / \"position startpos\", optionally\n"
      "followed by \" moves\" and coordinate moves (h2e2).\n\n"
      "  perft DEPTH [POSITION]     leaf nodes of the legal move tree, split by first move\n"
      "  moves POSITION             the legal moves, sorted, on one line\n"
      "  notation POSITION MOVE...  each move in Chinese notation\n"
      "  status POSITION            game status and repetition verdict\n"
      "  bench                      a fixed perft suite with timings\n"
      "  match ENGINE_A ENGINE_B [ENGINE_C ...] [options]\n"
      "                             games between UCCI or UCI engines, no window\n"
      "  analyse FILE --engine PROGRAM --out OUT.pgn [--movetime MS | --depth D]\n"
      "          [--multipv N] [--protocol ucci|uci|auto] [--option NAME=VALUE]...\n"
      "                             every game of a record reviewed by an engine\n"
      "  --version, -v              the version and the commit it was built from\n"
      "  --help, -h                 this text\n\n"
      "See man qinglan-cli for the match options.\n";

int usage() {
    std::fprintf(stderr, "%s\n", USAGE);
    return 2;
}

bool parseDepth(const char* text, int& depth) {
    const char* end = text + std::strlen(text);
    auto [ptr, ec] = std::from_chars(text, end, depth);
    return ec == std::errc() && ptr == end && depth >= 0 && depth <= 20;
}

int runPerft(int argc, char** argv) {
    int depth = 0;
    if (argc < 3 || argc > 4 || !parseDepth(argv[2], depth)) return usage();
    Board board;
    board.setPosition(argc == 4 ? argv[3] : START_FEN);
    std::uint64_t total = 0;
    for (const auto& [move, nodes] : perftDivide(board, depth)) {
        std::printf("%s: %llu\n", move.c_str(), static_cast<unsigned long long>(nodes));
        total += nodes;
    }
    if (depth == 0) total = 1;
    std::printf("%llu\n", static_cast<unsigned long long>(total));
    return 0;
}

int runMoves(int argc, char** argv) {
    if (argc != 3) return usage();
    Board board;
    board.setPosition(argv[2]);
    int moves[MAX_PSEUDO_MOVES];
    int count = board.generateLegalMoves(moves);
    std::vector<std::string> texts;
    for (int i = 0; i < count; ++i) texts.push_back(moveToCoord(moves[i]));
    std::sort(texts.begin(), texts.end());
    std::string line;
    for (const auto& text : texts) line += (line.empty() ? "" : " ") + text;
    std::printf("%s\n", line.c_str());
    return 0;
}

int runNotation(int argc, char** argv) {
    if (argc < 4) return usage();
    Board board;
    board.setPosition(argv[2]);
    for (int i = 3; i < argc; ++i) {
        std::string notation = board.isLegalMoveText(argv[i]) ? board.moveToChinese(argv[i]) : "";
        board.makeMoveText(argv[i]);
        std::printf("%s\n", notation.c_str());
    }
    return 0;
}

int runStatus(int argc, char** argv) {
    if (argc != 3) return usage();
    Board board;
    board.setPosition(argv[2]);
    std::printf("%d %d\n", board.gameStatus(), board.repetitionVerdict());
    return 0;
}

} // namespace

int main(int argc, char** argv) {
    if (argc < 2) return usage();
    std::string_view command = argv[1];
    if (command == "--version" || command == "-v") {
        std::printf("qinglan-cli %s\n", versionText().c_str());
        return 0;
    }
    if (command == "--help" || command == "-h") {
        std::printf("%s\nusage: %s\n%s", HELP, MATCH_USAGE, MATCH_HELP);
        return 0;
    }
    if (command == "perft") return runPerft(argc, argv);
    if (command == "moves") return runMoves(argc, argv);
    if (command == "notation") return runNotation(argc, argv);
    if (command == "status") return runStatus(argc, argv);
    if (command == "bench" && argc == 2) return runBench();
    if (command == "replay") return runReplay(argc, argv);
    if (command == "convert") return runConvert(argc, argv);
    if (command == "analyse") return runAnalyse(argc, argv);
    if (command == "match") {
        std::string error;
        const std::optional<MatchOptions> options = parseMatchOptions(argc, argv, error);
        if (!options) {
            std::fprintf(stderr, "%s\nusage: %s\n", error.c_str(), MATCH_USAGE);
            return 2;
        }
        return runMatch(std::move(*options));
    }
    return usage();
}

// Compares legal moves and perft counts on random positions with an independent
// xiangqi move generator: fairy-stockfish, spoken to over UCCI.
#include "TestBoards.h"
#include "rules/Board.h"
#include "rules/Perft.h"

#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <gtest/gtest.h>
#include <random>
#include <set>

using namespace qinglan;

namespace {

std::string findReferenceEngine() {
    for (const char* path : { "/usr/games/fairy-stockfish", "/usr/bin/fairy-stockfish" })
        if (std::filesystem::exists(path)) return path;
    return {};
}

struct Reference {
    std::set<std::string> moves;
    std::uint64_t nodes = 0;
};

// Runs one reference process over all positions: "go perft N" answers with one
// "move: count" line per legal move and a "Nodes searched: N" line.
std::vector<Reference> askReference(
    const std::string& engine, const std::vector<std::pair<std::string, int>>& jobs) {
    std::filesystem::path script
        = std::filesystem::temp_directory_path() / "qinglan-crosscheck.txt";
    {
        std::ofstream out(script);
        out << "ucci\n";
        for (const auto& [fen, depth] : jobs)
            out << "position fen " << fen << "\ngo perft " << depth << "\n";
        out << "quit\n";
    }
    std::vector<Reference> answers;
    FILE* pipe = popen((engine + " < " + script.string() + " 2>&1").c_str(), "r");
    if (!pipe) return answers;
    Reference current;
    char buffer[512];
    while (fgets(buffer, sizeof buffer, pipe)) {
        std::string text(buffer);
        if (text.starts_with("Nodes searched: ")) {
            current.nodes = std::strtoull(text.c_str() + 16, nullptr, 10);
            answers.push_back(current);
            current = {};
        } else if (text.size() >= 6 && text[4] == ':' && text[5] == ' ') {
            current.moves.insert(text.substr(0, 4));
        }
    }
    pclose(pipe);
    std::filesystem::remove(script);
    return answers;
}

// Random games from a few openings; captures are favoured so that sparse middle and
// end games show up too.
std::vector<std::string> randomPositions(int count) {
    const char* openings[] = {
        "position startpos",
        "r1bakab1r/9/1cn3nc1/p1p1p1p1p/9/9/P1P1P1P1P/1CN3NC1/9/R1BAKAB1R w",
        "2bak4/4a4/4b1n2/p1C1p1p1p/2p6/6P2/P3P3P/1C2B1N2/4A4/c1BAK4 w",
    };
    std::mt19937 random(20261207);
    std::vector<std::string> positions;
    while (int(positions.size()) < count) {
        Board board;
        board.setPosition(openings[positions.size() % 3]);
        for (int ply = 0; ply < 160 && int(positions.size()) < count; ++ply) {
            int moves[MAX_PSEUDO_MOVES];
            int legal = board.generateLegalMoves(moves);
            if (legal == 0) break;
            if (ply % 3 == 0) positions.push_back(board.toFen());
            int pick = moves[random() % legal];
            for (int tries = 0; tries < 3 && board.pieceAt(moveDst(pick)) == 0; ++tries)
                pick = moves[random() % legal];
            board.makeMoveText(moveToCoord(pick));
        }
    }
    return positions;
}

} // namespace

TEST(CrossCheck, LegalMovesAndPerftAgreeWithAnIndependentGenerator) {
    const std::string engine = findReferenceEngine();
    ASSERT_FALSE(engine.empty()) << "fairy-stockfish is missing: run scripts/setup.sh";

    const std::vector<std::string> positions = randomPositions(600);
    std::vector<std::pair<std::string, int>> jobs;
    for (size_t i = 0; i < positions.size(); ++i)
        jobs.emplace_back(positions[i], i % 30 == 0 ? 3 : 1);
    const std::vector<Reference> answers = askReference(engine, jobs);
    ASSERT_EQ(answers.size(), jobs.size()) << "the reference engine did not answer every position";

    for (size_t i = 0; i < jobs.size(); ++i) {
        Board board;
        board.setPosition(jobs[i].first);
        if (jobs[i].second == 1) {
            EXPECT_EQ(test::legalMoveTexts(board), answers[i].moves) << jobs[i].first;
        } else {
            EXPECT_EQ(perft(board, jobs[i].second), answers[i].nodes) << jobs[i].first;
        }
    }
}

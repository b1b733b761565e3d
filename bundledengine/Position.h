#pragma once

// The search board of the bundled engine: the rules core's 16x16 mailbox and piece
// codes, with piece slots, incremental Zobrist keys and material-plus-square scores,
// made and unmade in place. Legality agrees with the rules core move for move.

#include "rules/Pieces.h"

#include <array>
#include <cstdint>
#include <string>
#include <string_view>

namespace qinglan::bundled {

// src | dst << 8, as in the rules core; 0 is "no move".
using Move = std::uint16_t;

constexpr int MAX_PLY = 128;
// Legal and pseudo-legal moves of any position a FEN can set fit with room to spare.
constexpr int MAX_MOVES = 192;
// Game history plus search path.
constexpr int MAX_HISTORY = 1024 + MAX_PLY;

constexpr int sideIndex(int side) {
    return side >> 4;
}

struct MoveList {
    std::array<Move, MAX_MOVES> moves;
    int count = 0;
    void add(int src, int dst) { moves[count++] = Move(src | (dst << 8)); }
};

// What one ply changed, kept so unmake needs no search.
struct StateInfo {
    std::uint64_t key = 0;
    Move move = 0;
    std::int8_t captured = 0;
    std::int8_t capturedSlot = -1;
    bool inCheck = false; // the side to move after `move` is in check
    int pliesSinceCapture = 0;
    int score = 0; // material and squares, red minus black
};

class Position {
public:
    Position();

    // Accepts what the rules core reads as a FEN (board, side, optional counters).
    void setFen(std::string_view fen);
    // The rules core's FEN text: board, side, "- - 0 1".
    std::string fen() const;

    int sideToMove() const { return side_; }
    std::uint64_t key() const { return state().key; }
    int pieceAt(int sq) const { return squares_[sq]; }
    int kingSquare(int side) const { return kings_[sideIndex(side)]; }
    bool inCheck() const { return state().inCheck; }
    int pliesSinceCapture() const { return state().pliesSinceCapture; }
    int materialScore() const { return state().score; }
    int count(int code) const { return counts_[code]; }
    // Chariots, horses, cannons and pawns of the side (what the natural draw counts).
    int attackers(int side) const;
    int gamePly() const { return top_; }
    const StateInfo& stateAt(int index) const { return history_[index]; }
    Move lastMove() const { return state().move; }

    // Slots 0-15 belong to red, 16-31 to black; 0 marks an empty slot.
    int slotSquare(int slot) const { return slots_[slot]; }

    // Pseudo-legal moves of the side to move; captures only when asked.
    void generate(MoveList& list, bool capturesOnly) const;
    bool isPseudoLegal(Move move) const;
    // True when the side is attacked, or has no king (the rules core's reading).
    bool kingAttacked(int side) const;

    // Makes a pseudo-legal move; when it leaves the mover's king attacked it is
    // taken back again and false returned.
    bool makeMove(Move move);
    void unmakeMove();
    void makeNullMove();
    void unmakeNullMove();
    // Keeps only the latest `keep` plies of history (repetitions and the no-capture
    // count never look further back than the program's limit of 101 plies).
    void trimHistory(int keep);

    bool isLegal(Move move);
    bool hasLegalMove();

private:
    const StateInfo& state() const { return history_[top_]; }
    void put(int sq, int code);
    void remove(int sq);
    void clear();

    std::array<std::int8_t, 256> squares_ {};
    std::array<std::int8_t, 256> slotOf_ {};
    std::array<std::uint8_t, 32> slots_ {};
    std::array<std::uint8_t, 2> kings_ {};
    std::array<int, 24> counts_ {};
    int side_ = RED;
    int top_ = 0;
    std::array<StateInfo, MAX_HISTORY> history_ {};
};

std::string moveText(Move move);
// 0 unless the first four bytes name two board squares.
Move parseMove(std::string_view text);

// Leaf count of the legal move tree, as the rules core's perft counts it.
std::uint64_t perft(Position& pos, int depth);

// Material and square values, indexed [code][square]; filled at start-up.
extern std::array<std::array<std::int16_t, 256>, 24> PIECE_SQUARE;
extern std::array<std::array<std::uint64_t, 256>, 24> ZOBRIST;
extern std::uint64_t ZOBRIST_SIDE;

} // namespace qinglan::bundled

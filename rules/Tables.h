#pragma once

#include <array>
#include <cstdint>

// The fixed geometry tables of the rules core, computed at compile time.

namespace qinglan::tables {

constexpr std::array<int, 4> KING_STEPS { -16, -1, 1, 16 };
constexpr std::array<int, 4> ADVISOR_STEPS { -17, -15, 15, 17 };
// Per leg direction of KING_STEPS: the two jumps over that leg.
constexpr int HORSE_JUMPS[4][2] { { -33, -31 }, { -18, 14 }, { -14, 18 }, { 31, 33 } };
// Per diagonal of ADVISOR_STEPS next to the attacked square: the jumps that pass it.
constexpr int HORSE_CHECK_JUMPS[4][2] { { -33, -18 }, { -31, -14 }, { 14, 31 }, { 18, 33 } };

constexpr std::array<bool, 256> makeInBoard() {
    std::array<bool, 256> t {};
    for (int sq = 0; sq < 256; ++sq) {
        int row = (sq >> 4) - 3, file = (sq & 15) - 3;
        t[sq] = row >= 0 && row <= 9 && file >= 0 && file <= 8;
    }
    return t;
}

constexpr std::array<bool, 256> makeInPalace() {
    std::array<bool, 256> t {};
    for (int sq = 0; sq < 256; ++sq) {
        int row = (sq >> 4) - 3, file = (sq & 15) - 3;
        t[sq] = file >= 3 && file <= 5 && ((row >= 0 && row <= 2) || (row >= 7 && row <= 9));
    }
    return t;
}

// Indexed by dst - src + 256: 1 king step, 2 advisor step, 3 elephant step.
constexpr std::array<int, 512> makeLegalSpan() {
    std::array<int, 512> t {};
    for (int d : { 1, 16 }) t[256 + d] = t[256 - d] = 1;
    for (int d : { 15, 17 }) t[256 + d] = t[256 - d] = 2;
    for (int d : { 30, 34 }) t[256 + d] = t[256 - d] = 3;
    return t;
}

// Indexed by dst - src + 256: the offset of the leg square of a horse jump.
constexpr std::array<int, 512> makeHorseLeg() {
    std::array<int, 512> t {};
    for (int i = 0; i < 4; ++i)
        for (int jump : HORSE_JUMPS[i]) t[256 + jump] = KING_STEPS[i];
    return t;
}

// Random keys for the position key: one per piece code and square, one for black to move.
constexpr std::uint64_t splitMix64(std::uint64_t& state) {
    std::uint64_t z = (state += 0x9E3779B97F4A7C15ull);
    z = (z ^ (z >> 30)) * 0xBF58476D1CE4E5B9ull;
    z = (z ^ (z >> 27)) * 0x94D049BB133111EBull;
    return z ^ (z >> 31);
}

using PieceKeys = std::array<std::array<std::uint64_t, 256>, 23>;

constexpr PieceKeys makePieceKeys() {
    PieceKeys t {};
    std::uint64_t state = 0x51A6E5C0FFEEull;
    for (auto& squares : t)
        for (auto& key : squares) key = splitMix64(state);
    return t;
}

inline constexpr PieceKeys PIECE_KEYS = makePieceKeys();
inline constexpr std::uint64_t BLACK_TO_MOVE_KEY = 0x6C62272E07BB0142ull;

inline constexpr std::array<bool, 256> IN_BOARD = makeInBoard();
inline constexpr std::array<bool, 256> IN_PALACE = makeInPalace();
inline constexpr std::array<int, 512> LEGAL_SPAN = makeLegalSpan();
inline constexpr std::array<int, 512> HORSE_LEG = makeHorseLeg();

// The halves of the board: bit 0x80 is set on red's half.
constexpr bool onRedHalf(int sq) {
    return (sq & 0x80) != 0;
}
constexpr bool onOwnHalf(int sq, int side) {
    return onRedHalf(sq) == (side == 8);
}
constexpr int forwardStep(int side) {
    return side == 8 ? -16 : 16;
}

static_assert(HORSE_LEG[256 - 33] == -16 && HORSE_LEG[256 + 14] == -1 && HORSE_LEG[256 + 18] == 1);
static_assert(IN_BOARD[0x33] && IN_BOARD[0xCB] && !IN_BOARD[0xCC] && !IN_BOARD[0x32]);

} // namespace qinglan::tables

#include "Position.h"

#include "Evaluate.h"
#include "rules/Board.h"
#include "rules/MoveRules.h"
#include "rules/Tables.h"

#include <algorithm>
#include <charconv>

namespace qinglan::bundled {

using namespace qinglan::tables;

std::array<std::array<std::int16_t, 256>, 24> PIECE_SQUARE {};
std::array<std::array<std::uint64_t, 256>, 24> ZOBRIST {};
std::uint64_t ZOBRIST_SIDE = 0;

namespace {

std::uint64_t splitMix(std::uint64_t& state) {
    std::uint64_t z = (state += 0x9E3779B97F4A7C15ULL);
    z = (z ^ (z >> 30)) * 0xBF58476D1CE4E5B9ULL;
    z = (z ^ (z >> 27)) * 0x94D049BB133111EBULL;
    return z ^ (z >> 31);
}

// Fixed seed: keys are the same in every run, so bench counts repeat.
const bool ZOBRIST_READY = [] {
    std::uint64_t seed = 20240611;
    for (auto& piece : ZOBRIST)
        for (auto& key : piece) key = splitMix(seed);
    ZOBRIST_SIDE = splitMix(seed);
    return true;
}();

// Slot order within a side: kings first, then the strong pieces, so generation
// meets the likely best moves early.
constexpr int SLOT_ORDER[7] = { KING, CHARIOT, CANNON, HORSE, PAWN, ADVISOR, ELEPHANT };

} // namespace

std::string moveText(Move move) {
    return moveToCoord(move);
}

Move parseMove(std::string_view text) {
    return Move(coordToMove(text));
}

Position::Position() {
    static const bool squaresReady = (initEvaluation(), true);
    (void)squaresReady;
    (void)ZOBRIST_READY;
    clear();
}

void Position::clear() {
    squares_.fill(0);
    slotOf_.fill(-1);
    slots_.fill(0);
    kings_.fill(0);
    counts_.fill(0);
    side_ = RED;
    top_ = 0;
    history_[0] = StateInfo {};
}

void Position::setFen(std::string_view fen) {
    clear();
    // The rules core reads the board and side, so both programs see the same position.
    Board board;
    board.setPosition(fen.substr(0, fen.find(" moves")));
    Grid grid;
    side_ = board.getGrid(&grid);
    StateInfo& st = history_[0];
    if (side_ == BLACK) st.key ^= ZOBRIST_SIDE;
    for (int side : { RED, BLACK }) {
        int slot = side == RED ? 0 : 16;
        for (int type : SLOT_ORDER)
            for (int file = 0; file < FILE_COUNT; ++file)
                for (int row = 0; row < ROW_COUNT; ++row) {
                    if (grid[file][row] != side + type) continue;
                    int sq = squareOf(file, row);
                    slotOf_[sq] = std::int8_t(slot);
                    slots_[slot++] = std::uint8_t(sq);
                    put(sq, side + type);
                }
    }
    // The fifth field counts plies since a capture; the program itself writes 0.
    size_t at = fen.find(' ');
    for (int field = 1; field < 4 && at != std::string_view::npos; ++field)
        at = fen.find(' ', at + 1);
    if (at != std::string_view::npos) {
        int plies = 0;
        std::from_chars(fen.data() + at + 1, fen.data() + fen.size(), plies);
        st.pliesSinceCapture = plies > 0 && plies < 1000 ? plies : 0;
    }
    st.inCheck = kingAttacked(side_);
}

std::string Position::fen() const {
    Board board;
    Grid grid {};
    for (int file = 0; file < FILE_COUNT; ++file)
        for (int row = 0; row < ROW_COUNT; ++row) grid[file][row] = squares_[squareOf(file, row)];
    board.setFromGrid(grid, side_ == BLACK);
    return board.toFen();
}

int Position::attackers(int side) const {
    return counts_[side + HORSE] + counts_[side + CHARIOT] + counts_[side + CANNON]
        + counts_[side + PAWN];
}

void Position::put(int sq, int code) {
    squares_[sq] = std::int8_t(code);
    ++counts_[code];
    StateInfo& st = history_[top_];
    st.key ^= ZOBRIST[code][sq];
    st.score += pieceSide(code) == RED ? PIECE_SQUARE[code][sq] : -PIECE_SQUARE[code][sq];
    if (pieceType(code) == KING) kings_[sideIndex(pieceSide(code))] = std::uint8_t(sq);
}

void Position::remove(int sq) {
    int code = squares_[sq];
    squares_[sq] = 0;
    --counts_[code];
    StateInfo& st = history_[top_];
    st.key ^= ZOBRIST[code][sq];
    st.score -= pieceSide(code) == RED ? PIECE_SQUARE[code][sq] : -PIECE_SQUARE[code][sq];
    if (pieceType(code) == KING) kings_[sideIndex(pieceSide(code))] = 0;
}

bool Position::kingAttacked(int side) const {
    return isKingAttackedOn(squares_, side, kings_[sideIndex(side)]);
}

bool Position::makeMove(Move move) {
    const int src = moveSrc(move), dst = moveDst(move);
    const int piece = squares_[src], captured = squares_[dst];
    const StateInfo& prev = history_[top_];
    StateInfo& st = history_[++top_];
    st.key = prev.key ^ ZOBRIST_SIDE;
    st.score = prev.score;
    st.move = move;
    st.captured = std::int8_t(captured);
    st.capturedSlot = captured ? slotOf_[dst] : std::int8_t(-1);
    st.pliesSinceCapture = captured ? 0 : prev.pliesSinceCapture + 1;

    const int slot = slotOf_[src];
    if (captured) {
        slots_[slotOf_[dst]] = 0;
        remove(dst);
    }
    remove(src);
    put(dst, piece);
    slotOf_[dst] = std::int8_t(slot);
    slotOf_[src] = -1;
    slots_[slot] = std::uint8_t(dst);

    if (kingAttacked(side_)) {
        side_ ^= 24; // unmake flips it back
        unmakeMove();
        return false;
    }
    side_ ^= 24;
    st.inCheck = kingAttacked(side_);
    return true;
}

void Position::unmakeMove() {
    const StateInfo& st = history_[top_];
    const int src = moveSrc(st.move), dst = moveDst(st.move);
    const int piece = squares_[dst], slot = slotOf_[dst];
    side_ ^= 24;
    // Squares and counts go back by hand; key and score come back with the old state.
    squares_[src] = std::int8_t(piece);
    slotOf_[src] = std::int8_t(slot);
    slots_[slot] = std::uint8_t(src);
    if (pieceType(piece) == KING) kings_[sideIndex(pieceSide(piece))] = std::uint8_t(src);
    squares_[dst] = st.captured;
    slotOf_[dst] = st.capturedSlot;
    if (st.captured) {
        ++counts_[st.captured];
        slots_[st.capturedSlot] = std::uint8_t(dst);
        if (pieceType(st.captured) == KING)
            kings_[sideIndex(pieceSide(st.captured))] = std::uint8_t(dst);
    }
    --top_;
}

void Position::makeNullMove() {
    const StateInfo& prev = history_[top_];
    StateInfo& st = history_[++top_];
    st = prev;
    st.key ^= ZOBRIST_SIDE;
    st.move = 0;
    st.captured = 0;
    st.capturedSlot = -1;
    st.inCheck = false;
    ++st.pliesSinceCapture;
    side_ ^= 24;
}

void Position::unmakeNullMove() {
    side_ ^= 24;
    --top_;
}

void Position::trimHistory(int keep) {
    if (top_ <= keep) return;
    std::copy(history_.begin() + (top_ - keep), history_.begin() + top_ + 1, history_.begin());
    top_ = keep;
    history_[0].move = 0;
}

bool Position::isLegal(Move move) {
    if (!isPseudoLegal(move) || !makeMove(move)) return false;
    unmakeMove();
    return true;
}

bool Position::hasLegalMove() {
    MoveList list;
    generate(list, false);
    for (int i = 0; i < list.count; ++i)
        if (makeMove(list.moves[i])) {
            unmakeMove();
            return true;
        }
    return false;
}

std::uint64_t perft(Position& pos, int depth) {
    if (depth <= 0) return 1;
    MoveList list;
    pos.generate(list, false);
    std::uint64_t nodes = 0;
    for (int i = 0; i < list.count; ++i) {
        if (!pos.makeMove(list.moves[i])) continue;
        nodes += depth == 1 ? 1 : perft(pos, depth - 1);
        pos.unmakeMove();
    }
    return nodes;
}

} // namespace qinglan::bundled

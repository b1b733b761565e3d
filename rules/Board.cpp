#include "Board.h"

#include "Tables.h"

#include <algorithm>
#include <cassert>

namespace qinglan {

namespace {

// FEN letters and their codes, searched in this order.
constexpr char FEN_LETTERS[14]
    = { 'k', 'a', 'b', 'n', 'r', 'c', 'p', 'K', 'A', 'B', 'N', 'R', 'C', 'P' };
constexpr int FEN_CODES[14] = { 16, 17, 18, 19, 20, 21, 22, 8, 9, 10, 11, 12, 13, 14 };

// How many of each piece code a FEN may place; the rest are dropped.
constexpr std::array<int, 23> PIECE_CAPS
    = { 0, 0, 0, 0, 0, 0, 0, 0, 1, 2, 2, 2, 2, 2, 5, 0, 1, 2, 2, 2, 2, 2, 5 };

constexpr std::string_view FULL_WIDTH_SPACE = "\xE3\x80\x80";

int codeOfLetter(char letter) {
    for (int i = 0; i < 14; ++i)
        if (FEN_LETTERS[i] == letter) return FEN_CODES[i];
    return 0;
}

char letterOfCode(int code) {
    for (int i = 0; i < 14; ++i)
        if (FEN_CODES[i] == code) return FEN_LETTERS[i];
    return '?';
}

void replaceAll(std::string& text, std::string_view from, std::string_view to) {
    for (size_t at = text.find(from); at != std::string::npos; at = text.find(from, at + to.size()))
        text.replace(at, from.size(), to);
}

// Splits at every occurrence of separator; n separators give n + 1 pieces.
std::vector<std::string_view> split(std::string_view text, std::string_view separator) {
    std::vector<std::string_view> pieces;
    size_t from = 0;
    for (size_t at; (at = text.find(separator, from)) != std::string_view::npos;
         from = at + separator.size())
        pieces.push_back(text.substr(from, at - from));
    pieces.push_back(text.substr(from));
    return pieces;
}

std::string_view stripBlanks(std::string_view text) {
    for (bool changed = true; changed;) {
        changed = false;
        if (text.starts_with(' ')) text.remove_prefix(1), changed = true;
        if (text.starts_with(FULL_WIDTH_SPACE))
            text.remove_prefix(FULL_WIDTH_SPACE.size()), changed = true;
        if (text.ends_with(' ')) text.remove_suffix(1), changed = true;
        if (text.ends_with(FULL_WIDTH_SPACE))
            text.remove_suffix(FULL_WIDTH_SPACE.size()), changed = true;
    }
    return text;
}

int sideIndex(int side) {
    return side == BLACK ? 1 : 0;
}

} // namespace

std::string moveToCoord(int move) {
    int src = moveSrc(move), dst = moveDst(move);
    if (src == 0 || dst == 0 || !tables::IN_BOARD[src] || !tables::IN_BOARD[dst]) return {};
    return { char('a' + squareFile(src)), char('0' + 9 - squareRow(src)),
        char('a' + squareFile(dst)), char('0' + 9 - squareRow(dst)) };
}

int coordToMove(std::string_view text) {
    if (text.size() < 4) return 0;
    auto square = [](unsigned char fileByte, unsigned char rowByte) {
        return squareOf(fileByte - 'a', 9 - (rowByte - '0'));
    };
    int src = square(text[0], text[1]), dst = square(text[2], text[3]);
    return src == 0 || dst == 0 ? 0 : moveOf(src, dst);
}

Board::Board() = default;

void Board::clear() {
    squares_.fill(0);
    sideToMove_ = RED;
    record_.clear();
    refreshKingCache();
    startRecordHere();
}

void Board::startRecordHere() {
    key_ = keyFromScratch();
    startFen_ = toFen();
}

std::uint64_t Board::keyFromScratch() const {
    std::uint64_t key = sideToMove_ == BLACK ? tables::BLACK_TO_MOVE_KEY : 0;
    for (int sq = 0; sq < 256; ++sq)
        if (squares_[sq] != 0) key ^= tables::PIECE_KEYS[squares_[sq]][sq];
    return key;
}

std::string Board::toFen() const {
    std::string fen;
    fen.reserve(96);
    for (int row = 0; row < ROW_COUNT; ++row) {
        int empty = 0;
        for (int file = 0; file < FILE_COUNT; ++file) {
            int code = squares_[squareOf(file, row)];
            if (code == 0) {
                ++empty;
                continue;
            }
            if (empty > 0) fen += char('0' + empty);
            empty = 0;
            fen += letterOfCode(code);
        }
        if (empty > 0) fen += char('0' + empty);
        if (row < ROW_COUNT - 1) fen += '/';
    }
    fen += sideToMove_ == RED ? " w" : " b";
    fen += " - - 0 1";
    return fen;
}

void Board::setPosition(std::string_view text) {
    clear();
    std::string expanded(text);
    replaceAll(expanded, "position startpos", START_FEN);
    replaceAll(expanded, "position fen ", "");

    // The board part ends at the first blank, so a short last row never reads the
    // side field as a piece. The side is the byte right after that blank.
    std::string_view fen = stripBlanks(expanded);
    size_t space = fen.find(' '), wide = fen.find(FULL_WIDTH_SPACE);
    size_t blank = std::min(space, wide);
    std::string_view sideField;
    if (blank != std::string_view::npos)
        sideField = fen.substr(blank + (blank == space ? 1 : FULL_WIDTH_SPACE.size()));
    std::vector<std::string_view> rows = split(fen.substr(0, blank), "/");
    std::array<int, 23> caps = PIECE_CAPS;
    for (int row = 0; row < ROW_COUNT && row < int(rows.size()); ++row) {
        int file = 0;
        for (size_t i = 0; i < rows[row].size() && file < FILE_COUNT; ++i) {
            char byte = rows[row][i];
            if (int code = codeOfLetter(byte)) {
                if (caps[code] > 0) {
                    squares_[squareOf(file, row)] = code;
                    --caps[code];
                }
                ++file;
            } else if (byte >= '1' && byte <= '9') {
                file += byte - '0';
            }
        }
    }

    sideToMove_ = sideField.starts_with('b') || sideField.starts_with('B') ? BLACK : RED;
    refreshKingCache();
    startRecordHere();
    assert(isConsistent());

    std::vector<std::string_view> halves = split(expanded, " moves ");
    if (halves.size() != 2) return;
    for (std::string_view moveText : split(halves[1], " ")) makeMoveText(moveText);
}

void Board::setStartPosition() {
    setPosition(START_FEN);
}

int Board::getGrid(Grid* grid) const {
    if (grid)
        for (int file = 0; file < FILE_COUNT; ++file)
            for (int row = 0; row < ROW_COUNT; ++row)
                (*grid)[file][row] = squares_[squareOf(file, row)];
    return sideToMove_;
}

bool Board::setFromGrid(std::span<const std::vector<int>> grid, bool blackToMove) {
    if (grid.size() < FILE_COUNT) return false;
    for (int file = 0; file < FILE_COUNT; ++file)
        if (grid[file].size() < ROW_COUNT) return false;
    clear();
    for (int file = 0; file < FILE_COUNT; ++file)
        for (int row = 0; row < ROW_COUNT; ++row) {
            int code = grid[file][row];
            squares_[squareOf(file, row)] = isPieceCode(code) ? code : 0;
        }
    sideToMove_ = blackToMove ? BLACK : RED;
    refreshKingCache();
    startRecordHere();
    return true;
}

bool Board::setFromGrid(const Grid& grid, bool blackToMove) {
    std::vector<std::vector<int>> cells;
    for (const auto& file : grid) cells.emplace_back(file.begin(), file.end());
    return setFromGrid(cells, blackToMove);
}

Board::History Board::history(bool restartAtCapture) const {
    std::size_t first = 0; // the moves listed start here
    std::string fen = record_.empty() ? toFen() : startFen_;
    if (restartAtCapture) {
        for (std::size_t i = record_.size(); i-- > 0;)
            if (record_[i].captured != 0) {
                first = i + 1;
                break;
            }
        if (first > 0) {
            // The position after the last capture: this one with the later moves taken back.
            Board then = *this;
            while (then.plyCount() > static_cast<int>(first)) then.undoMove();
            fen = then.toFen();
        }
    }
    History history { fen, {} };
    for (std::size_t i = first; i < record_.size(); ++i)
        history.moves.push_back(moveToCoord(record_[i].move));
    return history;
}

std::string Board::positionCommand(bool useStartpos, bool restartAtCapture) const {
    const History history = this->history(restartAtCapture);
    std::string line = "position fen " + history.fen;
    if (!history.moves.empty()) line += " moves";
    for (const std::string& move : history.moves) line += ' ' + move;
    if (useStartpos) replaceAll(line, "fen " + std::string(START_FEN), "startpos");
    return line;
}

bool Board::makeMoveText(std::string_view text) {
    int move = coordToMove(text);
    if (move == 0 || !isLegalMove(move)) return false;
    MoveRecordEntry entry { move, squares_[moveDst(move)], 0, key_ };
    makeRawMove(move);
    entry.givesCheck = isInCheck() ? 1 : 0;
    record_.push_back(std::move(entry));
    assert(isConsistent());
    return true;
}

void Board::undoMove() {
    if (record_.empty()) return;
    const MoveRecordEntry& last = record_.back();
    unmakeRawMove(last.move, last.captured);
    record_.pop_back();
    assert(isConsistent());
}

std::string Board::lastMoveText() const {
    return record_.empty() ? std::string() : moveToCoord(record_.back().move);
}

int Board::makeRawMove(int move) {
    int src = moveSrc(move), dst = moveDst(move);
    int piece = squares_[src], captured = squares_[dst];
    squares_[dst] = piece;
    squares_[src] = 0;
    sideToMove_ ^= 24;
    updateKey(piece, src, dst, captured);
    onPieceMoved(piece, dst, captured);
    return captured;
}

void Board::unmakeRawMove(int move, int captured) {
    int src = moveSrc(move), dst = moveDst(move);
    int piece = squares_[dst];
    squares_[src] = piece;
    squares_[dst] = captured;
    sideToMove_ ^= 24;
    updateKey(piece, src, dst, captured);
    onPieceMoved(piece, src, captured);
}

// The same change of key makes and unmakes a move.
void Board::updateKey(int piece, int src, int dst, int captured) {
    key_ ^= tables::PIECE_KEYS[piece][src] ^ tables::PIECE_KEYS[piece][dst]
        ^ tables::BLACK_TO_MOVE_KEY;
    if (captured != 0) key_ ^= tables::PIECE_KEYS[captured][dst];
}

// Keeps the king cache right: a lone king follows its moves; anything that changes
// the number of kings (a captured king, or one given back) rescans the board.
void Board::onPieceMoved(int piece, int dst, int captured) {
    if (captured != 0 && pieceType(captured) == KING) {
        refreshKingCache();
        return;
    }
    if (pieceType(piece) == KING && kingCount_[sideIndex(pieceSide(piece))] == 1)
        kingSquare_[sideIndex(pieceSide(piece))] = dst;
    else if (pieceType(piece) == KING)
        refreshKingCache();
}

void Board::refreshKingCache() {
    kingCount_.fill(0);
    kingSquare_.fill(0);
    for (int sq = 0; sq < 256; ++sq) {
        int code = squares_[sq];
        if (code == RED + KING || code == BLACK + KING) {
            int side = sideIndex(pieceSide(code));
            if (kingCount_[side]++ == 0) kingSquare_[side] = sq;
        }
    }
}

int Board::kingSquare(int side) const {
    return kingSquare_[sideIndex(side)];
}

bool Board::isConsistent() const {
    std::array<int, 2> count {}, first {};
    for (int sq = 0; sq < 256; ++sq) {
        int code = squares_[sq];
        if (code != 0 && (!tables::IN_BOARD[sq] || !isPieceCode(code))) return false;
        if (code == RED + KING || code == BLACK + KING) {
            int side = sideIndex(pieceSide(code));
            if (count[side]++ == 0) first[side] = sq;
        }
    }
    return count == kingCount_ && first == kingSquare_ && keyFromScratch() == key_
        && (sideToMove_ == RED || sideToMove_ == BLACK || sideToMove_ == 0);
}

} // namespace qinglan

#include "XqfReader.h"

#include "PgnReader.h"
#include "TextDecoding.h"

#include <array>
#include <cstdint>
#include <vector>

namespace qinglan {

namespace {

constexpr std::size_t HEADER_BYTES = 1024;
constexpr int FIRST_KEYED_VERSION = 11;
constexpr int FIRST_ROTATED_VERSION = 12;
// Record flags: the next record is this move's first reply, or its alternative.
constexpr int CHILD_FLAG = 0x80, SIBLING_FLAG = 0x40, COMMENT_FLAG = 0x20;

// Where the header keeps its texts: one length byte, then that many GBK bytes.
struct HeaderText {
    std::size_t offset, capacity;
    std::string_view tag;
};
constexpr HeaderText HEADER_TEXTS[] = {
    { 0x50, 63, "Title" },
    { 0xD0, 63, tags::EVENT },
    { 0x110, 15, tags::DATE },
    { 0x120, 15, tags::SITE },
    { 0x130, 15, tags::RED },
    { 0x140, 15, tags::BLACK },
};
constexpr std::size_t SIDE_OFFSET = 0x32, RESULT_OFFSET = 0x33, PIECES_OFFSET = 0x10;
// Piece table order, red's sixteen then black's: chariot, horse, elephant, advisor, king,
// advisor, elephant, horse, chariot, two cannons, five pawns.
constexpr int PIECE_ORDER[16] = { CHARIOT, HORSE, ELEPHANT, ADVISOR, KING, ADVISOR, ELEPHANT, HORSE,
    CHARIOT, CANNON, CANNON, PAWN, PAWN, PAWN, PAWN, PAWN };

// The keys a keyed file derives from its header.
struct Keys {
    int version = 0;
    std::uint8_t square = 0, from = 0, to = 0;
    std::int32_t commentSize = 0;
    std::array<std::uint8_t, 32> stream {};
};

std::uint8_t scramble(std::uint8_t seed, std::uint8_t factor) {
    return static_cast<std::uint8_t>((54 * seed * seed + 221) * factor);
}

Keys keysOf(std::string_view bytes) {
    Keys keys;
    const auto at = [&](std::size_t i) { return static_cast<std::uint8_t>(bytes[i]); };
    keys.version = at(2);
    if (keys.version < FIRST_KEYED_VERSION) return keys;
    const std::uint8_t mask = at(3), sum = at(12), square = at(13), from = at(14), to = at(15);
    keys.square = scramble(square, square);
    keys.from = scramble(from, keys.square);
    keys.to = scramble(to, keys.from);
    keys.commentSize = (sum * 256 + square) % 32000 + 767;
    const std::uint8_t parts[4] = { static_cast<std::uint8_t>((sum & mask) | at(8)),
        static_cast<std::uint8_t>((square & mask) | at(9)),
        static_cast<std::uint8_t>((from & mask) | at(10)),
        static_cast<std::uint8_t>((to & mask) | at(11)) };
    constexpr std::string_view PHRASE = "[(C) Copyright Mr. Dong Shiwei.]";
    for (int i = 0; i < 32; ++i)
        keys.stream[i] = static_cast<std::uint8_t>(PHRASE[i] & parts[i % 4]);
    return keys;
}

// Square byte (file * 10 + row from red's side) to a coordinate square; 0 off the board.
int squareOfXqf(int value) {
    return value >= 0 && value < 90 ? squareOf(value / 10, 9 - value % 10) : 0;
}

bool placePieces(std::string_view bytes, const Keys& keys, Grid& grid) {
    std::array<std::uint8_t, 32> table;
    for (int i = 0; i < 32; ++i) table[i] = static_cast<std::uint8_t>(bytes[PIECES_OFFSET + i]);
    if (keys.version >= FIRST_ROTATED_VERSION) {
        std::array<std::uint8_t, 32> rotated;
        for (int i = 0; i < 32; ++i) rotated[(i + keys.square + 1) & 31] = table[i];
        table = rotated;
    }
    for (auto& file : grid) file.fill(0);
    for (int i = 0; i < 32; ++i) {
        const int value = static_cast<std::uint8_t>(table[i] - keys.square);
        const int square = squareOfXqf(value);
        if (square == 0) continue;
        grid[squareFile(square)][squareRow(square)] = (i < 16 ? RED : BLACK) + PIECE_ORDER[i % 16];
    }
    return true;
}

class RecordStream {
public:
    RecordStream(std::string_view bytes, const Keys& keys)
        : bytes_(bytes)
        , keys_(keys) { }

    bool atEnd() const { return at_ >= bytes_.size(); }
    bool read(std::uint8_t* out, std::size_t count) {
        if (bytes_.size() - at_ < count) return false;
        for (std::size_t i = 0; i < count; ++i, ++at_)
            out[i] = static_cast<std::uint8_t>(bytes_[at_] - keys_.stream[at_ % 32]);
        return true;
    }
    bool readInt(std::int32_t& value) {
        std::uint8_t b[4];
        if (!read(b, 4)) return false;
        value
            = static_cast<std::int32_t>(b[0] | b[1] << 8 | b[2] << 16 | std::uint32_t(b[3]) << 24);
        return true;
    }
    std::size_t left() const { return bytes_.size() - at_; }
    void skip(std::size_t count) { at_ += std::min(count, left()); }
    void seek(std::size_t at) { at_ = at; }

private:
    std::string_view bytes_;
    const Keys& keys_;
    std::size_t at_ = 0;
};

struct MoveRecord {
    int from = 0, to = 0, flags = 0;
    std::string comment;
};

bool readRecord(RecordStream& stream, const Keys& keys, MoveRecord& record, std::string& problem) {
    std::uint8_t b[4];
    if (!stream.read(b, 4)) return false;
    const bool keyed = keys.version >= FIRST_KEYED_VERSION;
    record.from = static_cast<std::uint8_t>(b[0] - 24 - keys.from);
    record.to = static_cast<std::uint8_t>(b[1] - 32 - keys.to);
    // Version 10 marks a reply in the high half of the flags byte, an alternative in the low.
    record.flags
        = keyed ? b[2] : ((b[2] & 0xF0) ? CHILD_FLAG : 0) | ((b[2] & 0x0F) ? SIBLING_FLAG : 0);
    std::int32_t length = 0;
    if (!keyed || (b[2] & COMMENT_FLAG)) {
        if (!stream.readInt(length)) return false;
        if (keyed) length -= keys.commentSize;
    }
    record.comment.clear();
    if (length <= 0) return true;
    if (static_cast<std::size_t>(length) > stream.left()) return false;
    std::string raw(static_cast<std::size_t>(length), '\0');
    stream.read(reinterpret_cast<std::uint8_t*>(raw.data()), raw.size());
    if (raw.size() > MAX_COMMENT_BYTES) {
        raw.resize(MAX_COMMENT_BYTES);
        if (problem.empty()) problem = "a comment longer than 64 KiB was cut";
    }
    while (!raw.empty() && raw.back() == '\0') raw.pop_back();
    record.comment = decodeText(std::move(raw));
    return true;
}

std::string textAt(std::string_view bytes, const HeaderText& field) {
    const std::size_t length
        = std::min<std::size_t>(static_cast<std::uint8_t>(bytes[field.offset]), field.capacity);
    std::string raw(bytes.substr(field.offset + 1, length));
    while (!raw.empty() && raw.back() == '\0') raw.pop_back();
    return decodeText(std::move(raw));
}

std::string coordinatesOf(int from, int to) {
    return moveToCoord(moveOf(squareOfXqf(from), squareOfXqf(to)));
}

} // namespace

bool looksLikeXqf(std::string_view bytes) {
    return bytes.starts_with("XQ");
}

std::optional<GameRecord> readXqf(std::string_view bytes, std::string& problem) {
    problem.clear();
    if (!looksLikeXqf(bytes) || bytes.size() < HEADER_BYTES) {
        problem = looksLikeXqf(bytes) ? "the file ends inside its XQF header" : "not an XQF file";
        return std::nullopt;
    }
    const Keys keys = keysOf(bytes);
    GameRecord game;
    for (const HeaderText& field : HEADER_TEXTS)
        if (std::string text = textAt(bytes, field); !text.empty()) game.setTag(field.tag, text);
    constexpr const char* RESULTS[] = { "*", "1-0", "0-1", "1/2-1/2" };
    const int result = static_cast<std::uint8_t>(bytes[RESULT_OFFSET]);
    game.setTag(tags::RESULT, RESULTS[result < 4 ? result : 0]);

    Grid grid;
    placePieces(bytes, keys, grid);
    Board start;
    start.setFromGrid(grid, bytes[SIDE_OFFSET] == 1);
    RecordStream stream(bytes, keys);
    stream.seek(HEADER_BYTES);
    MoveRecord root;
    if (!readRecord(stream, keys, root, problem)) {
        problem = "the file ends before its first move";
        return game;
    }
    // The side to move byte is often wrong in set-up positions; the first move tells.
    MoveRecord first;
    RecordStream peek = stream;
    if ((root.flags & CHILD_FLAG) && readRecord(peek, keys, first, problem)) {
        const int piece = start.pieceAt(squareOfXqf(first.from));
        if (piece != 0 && pieceSide(piece) != start.sideToMove())
            start.setFromGrid(grid, pieceSide(piece) == BLACK);
    }
    if (!game.setStartFen(start.toFen())) {
        problem = "the position lacks a king";
        return game;
    }
    game.setComment(GameRecord::ROOT, root.comment);

    // Records come in pre-order: a move, its replies, then its alternatives. A stack of
    // parents waiting for their next record keeps hostile nesting off the call stack.
    // depth counts the variations the next record is nested in; an alternative to a first
    // reply opens one more.
    struct Waiting {
        int parent, plies, depth;
        bool alternative;
    };
    std::vector<Waiting> waiting;
    if (root.flags & CHILD_FLAG) waiting.push_back({ GameRecord::ROOT, 0, 0, false });
    while (!waiting.empty()) {
        const Waiting at = waiting.back();
        waiting.pop_back();
        MoveRecord record;
        if (!readRecord(stream, keys, record, problem)) {
            if (problem.empty()) problem = "the file ends in the middle of its moves";
            break;
        }
        int node = GameRecord::NONE;
        if (at.parent != GameRecord::NONE && at.depth > MAX_VARIATION_DEPTH) {
            if (problem.empty())
                problem = "variations nested deeper than " + std::to_string(MAX_VARIATION_DEPTH);
        } else if (at.parent != GameRecord::NONE) {
            const std::string move = coordinatesOf(record.from, record.to);
            if (game.nodeCount() < MAX_GAME_NODES && at.plies < MAX_LINE_PLIES)
                node = game.addMove(at.parent, move);
            if (node == GameRecord::NONE && problem.empty())
                problem = "ply " + std::to_string(at.plies + 1) + " ("
                    + (move.empty() ? "off the board" : move)
                    + "): not a legal move; that line ends there";
        }
        if (node != GameRecord::NONE) game.setComment(node, record.comment);
        if (record.flags & SIBLING_FLAG)
            waiting.push_back(
                { at.parent, at.plies, at.alternative ? at.depth : at.depth + 1, true });
        if (record.flags & CHILD_FLAG) waiting.push_back({ node, at.plies + 1, at.depth, false });
    }
    return game;
}

} // namespace qinglan

#include "MoveNotation.h"

#include <algorithm>
#include <array>
#include <cctype>
#include <cstdlib>
#include <vector>

namespace qinglan {

namespace {

// Which of the pieces of one kind sharing a file a move names.
enum Tandem : int { TANDEM_NONE = 0, TANDEM_FRONT, TANDEM_MIDDLE, TANDEM_REAR, TANDEM_ORDINAL };

// What a move text says, in the mover's own numbering (files 1-9 from the mover's right).
struct NamedMove {
    int type = -1;
    int file = 0; // 0 when the text names the piece by its place in a tandem
    int tandem = TANDEM_NONE;
    int ordinal = 0; // with TANDEM_ORDINAL: 2 for the second piece from the front
    char direction = 0; // '+' forward, '-' back, '=' along the row
    int number = 0;
};

// What a move does, in the same terms.
struct MoveShape {
    int type = 0;
    int file = 0;
    int ahead = 0; // pieces of the same code in front of the mover on its file
    int behind = 0;
    char direction = 0;
    int number = 0;
};

int ownFileNumber(int file, bool red) {
    return red ? 9 - file : file + 1;
}

MoveShape shapeOf(const Board& board, int move) {
    const int src = moveSrc(move), dst = moveDst(move), piece = board.pieceAt(src);
    const bool red = pieceSide(piece) == RED;
    MoveShape shape;
    shape.type = pieceType(piece);
    shape.file = ownFileNumber(squareFile(src), red);
    for (int row = 0; row < ROW_COUNT; ++row) {
        if (row == squareRow(src) || board.pieceAt(squareOf(squareFile(src), row)) != piece)
            continue;
        ((row < squareRow(src)) == red ? shape.ahead : shape.behind) += 1;
    }
    const int forwardRows = (squareRow(src) - squareRow(dst)) * (red ? 1 : -1);
    shape.direction = forwardRows == 0 ? '=' : forwardRows > 0 ? '+' : '-';
    const bool byFile = shape.direction == '=' || shape.type == ADVISOR || shape.type == ELEPHANT
        || shape.type == HORSE;
    shape.number = byFile ? ownFileNumber(squareFile(dst), red) : std::abs(forwardRows);
    return shape;
}

// The moves that pieces of the named kind would make, found from the text alone: the
// destination follows from the piece's way of moving, so no move list is generated.
struct NamedMoves {
    std::array<int, 32> moves;
    int count = 0;
    const int* begin() const { return moves.data(); }
    const int* end() const { return moves.data() + count; }
};

NamedMoves movesNamed(const Board& board, const NamedMove& named) {
    const bool red = board.isRedToMove();
    const int code = board.sideToMove() + named.type;
    const int forward = red ? -1 : 1; // rows grow towards red's side
    const int sign = named.direction == '-' ? -forward : forward;
    const int numberFile = red ? 9 - named.number : named.number - 1;
    NamedMoves moves;
    for (int file = 0; file < FILE_COUNT; ++file) {
        if (named.file != 0 && ownFileNumber(file, red) != named.file) continue;
        for (int row = 0; row < ROW_COUNT; ++row) {
            if (board.pieceAt(squareOf(file, row)) != code) continue;
            int dst = 0;
            if (named.direction == '=') {
                dst = squareOf(numberFile, row);
            } else if (named.type == KING || named.type == CHARIOT || named.type == CANNON
                || named.type == PAWN) {
                dst = squareOf(file, row + sign * named.number);
            } else {
                const int across = std::abs(numberFile - file);
                const int rows = named.type == ADVISOR ? (across == 1 ? 1 : 0)
                    : named.type == ELEPHANT           ? (across == 2 ? 2 : 0)
                                                       : (across == 1        ? 2
                                                               : across == 2 ? 1
                                                                             : 0);
                if (rows > 0) dst = squareOf(numberFile, row + sign * rows);
            }
            if (dst != 0 && moves.count < static_cast<int>(moves.moves.size()))
                moves.moves[moves.count++] = moveOf(squareOf(file, row), dst);
        }
    }
    return moves;
}

bool tandemFits(const NamedMove& named, const MoveShape& shape) {
    const int shared = shape.ahead + shape.behind;
    switch (named.tandem) {
    case TANDEM_FRONT:
        return shared > 0 && shape.ahead == 0;
    case TANDEM_REAR:
        return shared > 0 && shape.behind == 0;
    case TANDEM_MIDDLE:
        return shape.ahead >= 1 && shape.behind >= 1;
    case TANDEM_ORDINAL:
        return shared > 0 && shape.ahead == named.ordinal - 1;
    default:
        return true;
    }
}

bool fits(const NamedMove& named, const MoveShape& shape) {
    return named.type == shape.type && named.direction == shape.direction
        && named.number == shape.number && (named.file == 0 || named.file == shape.file)
        && tandemFits(named, shape);
}

int typeOfLetter(char letter) {
    switch (std::toupper(static_cast<unsigned char>(letter))) {
    case 'K':
        return KING;
    case 'A':
        return ADVISOR;
    case 'E':
    case 'B':
        return ELEPHANT;
    case 'H':
    case 'N':
        return HORSE;
    case 'R':
        return CHARIOT;
    case 'C':
        return CANNON;
    case 'P':
        return PAWN;
    default:
        return -1;
    }
}

char directionOf(char op) {
    return op == '+' ? '+' : op == '-' ? '-' : op == '=' || op == '.' ? '=' : 0;
}

bool isDigit19(char c) {
    return c >= '1' && c <= '9';
}

// "C2.5", "H8+7", "R++2" (front chariot), "+P+1", "2P=3" (second pawn from the front), and
// "+P4+1" naming both place and file.
bool parseWxf(std::string_view text, NamedMove& named) {
    if ((text.size() != 4 && text.size() != 5) || !isDigit19(text.back())) return false;
    named.direction = directionOf(text[text.size() - 2]);
    named.number = text.back() - '0';
    const char a = text[0], b = text[1];
    if (text.size() == 5) {
        if (!isDigit19(text[2])) return false;
        named.file = text[2] - '0';
        if (typeOfLetter(a) >= 0) return false;
    }
    if (typeOfLetter(a) >= 0 && isDigit19(b)) {
        named.type = typeOfLetter(a);
        named.file = b - '0';
    } else if (typeOfLetter(a) >= 0 && (b == '+' || b == '-')) {
        named.type = typeOfLetter(a);
        named.tandem = b == '+' ? TANDEM_FRONT : TANDEM_REAR;
    } else if ((a == '+' || a == '-') && typeOfLetter(b) >= 0) {
        named.type = typeOfLetter(b);
        named.tandem = a == '+' ? TANDEM_FRONT : TANDEM_REAR;
    } else if (isDigit19(a) && typeOfLetter(b) >= 0) {
        named.type = typeOfLetter(b);
        named.tandem = TANDEM_ORDINAL;
        named.ordinal = a - '0';
    } else {
        return false;
    }
    return named.direction != 0;
}

// One character of Chinese notation.
struct Glyph {
    enum Kind { PIECE, DIGIT, DIRECTION, TANDEM } kind;
    int value;
};

struct GlyphRow {
    char32_t code;
    Glyph glyph;
};

constexpr GlyphRow GLYPHS[] = {
    { U'帅', { Glyph::PIECE, KING } },
    { U'帥', { Glyph::PIECE, KING } },
    { U'将', { Glyph::PIECE, KING } },
    { U'將', { Glyph::PIECE, KING } },
    { U'仕', { Glyph::PIECE, ADVISOR } },
    { U'士', { Glyph::PIECE, ADVISOR } },
    { U'相', { Glyph::PIECE, ELEPHANT } },
    { U'象', { Glyph::PIECE, ELEPHANT } },
    { U'马', { Glyph::PIECE, HORSE } },
    { U'馬', { Glyph::PIECE, HORSE } },
    { U'傌', { Glyph::PIECE, HORSE } },
    { U'车', { Glyph::PIECE, CHARIOT } },
    { U'車', { Glyph::PIECE, CHARIOT } },
    { U'俥', { Glyph::PIECE, CHARIOT } },
    { U'炮', { Glyph::PIECE, CANNON } },
    { U'砲', { Glyph::PIECE, CANNON } },
    { U'包', { Glyph::PIECE, CANNON } },
    { U'兵', { Glyph::PIECE, PAWN } },
    { U'卒', { Glyph::PIECE, PAWN } },
    { U'进', { Glyph::DIRECTION, '+' } },
    { U'進', { Glyph::DIRECTION, '+' } },
    { U'退', { Glyph::DIRECTION, '-' } },
    { U'平', { Glyph::DIRECTION, '=' } },
    { U'前', { Glyph::TANDEM, TANDEM_FRONT } },
    { U'中', { Glyph::TANDEM, TANDEM_MIDDLE } },
    { U'后', { Glyph::TANDEM, TANDEM_REAR } },
    { U'後', { Glyph::TANDEM, TANDEM_REAR } },
    { U'一', { Glyph::DIGIT, 1 } },
    { U'二', { Glyph::DIGIT, 2 } },
    { U'三', { Glyph::DIGIT, 3 } },
    { U'四', { Glyph::DIGIT, 4 } },
    { U'五', { Glyph::DIGIT, 5 } },
    { U'六', { Glyph::DIGIT, 6 } },
    { U'七', { Glyph::DIGIT, 7 } },
    { U'八', { Glyph::DIGIT, 8 } },
    { U'九', { Glyph::DIGIT, 9 } },
};

bool glyphOf(char32_t code, Glyph& glyph) {
    if ((code >= U'１' && code <= U'９') || (code >= U'1' && code <= U'9')) {
        glyph = { Glyph::DIGIT, static_cast<int>(code >= U'１' ? code - U'０' : code - U'0') };
        return true;
    }
    for (const GlyphRow& row : GLYPHS)
        if (row.code == code) {
            glyph = row.glyph;
            return true;
        }
    return false;
}

// The code point at text[at], advancing at; U+FFFD for a malformed sequence.
char32_t nextCodePoint(std::string_view text, std::size_t& at) {
    const unsigned char lead = text[at];
    const int extra = lead < 0x80 ? 0 : lead >= 0xF0 ? 3 : lead >= 0xE0 ? 2 : lead >= 0xC0 ? 1 : -1;
    if (extra < 0 || at + extra >= text.size()) {
        ++at;
        return U'\uFFFD';
    }
    char32_t code = extra == 0 ? lead : lead & (0x3F >> extra);
    for (int i = 1; i <= extra; ++i) code = (code << 6) | (text[at + i] & 0x3F);
    at += extra + 1;
    return code;
}

// A move text is at most five characters: more glyphs than that are not one move.
constexpr int MAX_GLYPHS = 5;
using Glyphs = std::array<Glyph, MAX_GLYPHS>;

// How many glyphs text has (up to limit), or -1 when it holds anything else.
int glyphsOf(std::string_view text, Glyph* glyphs, int limit) {
    int count = 0;
    for (std::size_t at = 0; at < text.size(); ++count) {
        Glyph glyph;
        if (!glyphOf(nextCodePoint(text, at), glyph)) return -1;
        if (count < limit) glyphs[count] = glyph;
    }
    return count;
}

// Which piece the first glyphs name: "炮二", "前炮", "炮前", "二兵", and with five glyphs the
// forms that name both ("前兵四" when pawns stand in pairs on two files).
bool parsePiece(const Glyph* g, int count, NamedMove& named) {
    const Glyph &first = g[0], &second = g[1];
    if (count == 3 && g[2].kind != Glyph::DIGIT) return false;
    if (count == 3) named.file = g[2].value;
    if (first.kind == Glyph::PIECE && second.kind == Glyph::DIGIT && count == 2) {
        named.type = first.value;
        named.file = second.value;
    } else if (first.kind == Glyph::TANDEM && second.kind == Glyph::PIECE) {
        named.type = second.value;
        named.tandem = first.value;
    } else if (first.kind == Glyph::PIECE && second.kind == Glyph::TANDEM && count == 2) {
        named.type = first.value;
        named.tandem = second.value;
    } else if (first.kind == Glyph::DIGIT && second.kind == Glyph::PIECE) {
        named.type = second.value;
        named.tandem = TANDEM_ORDINAL;
        named.ordinal = first.value;
    } else {
        return false;
    }
    return true;
}

bool parseChinese(std::string_view text, NamedMove& named) {
    Glyphs g;
    const int count = glyphsOf(text, g.data(), MAX_GLYPHS);
    if (count != 4 && count != 5) return false;
    if (g[count - 2].kind != Glyph::DIRECTION || g[count - 1].kind != Glyph::DIGIT) return false;
    named.direction = static_cast<char>(g[count - 2].value);
    named.number = g[count - 1].value;
    return parsePiece(g.data(), count - 2, named);
}

// A file number as the mover writes it: a Chinese numeral for red, a full-width digit for
// black.
std::string fileNumeral(int number, bool red) {
    if (!red) return { '\xEF', '\xBC', static_cast<char>('\x90' + number) };
    for (const GlyphRow& row : GLYPHS)
        if (row.glyph.kind == Glyph::DIGIT && row.glyph.value == number) {
            const char32_t c = row.code; // three bytes in UTF-8, as every numeral is
            return { static_cast<char>(0xE0 | (c >> 12)),
                static_cast<char>(0x80 | ((c >> 6) & 0x3F)), static_cast<char>(0x80 | (c & 0x3F)) };
        }
    return {};
}

// "h2e2" from "h2e2", "H2-E2" or "h2-e2"; "" for anything else.
std::string coordinatesOf(std::string_view text) {
    std::string move;
    if (text.size() == 5 && text[2] == '-')
        move = { text[0], text[1], text[3], text[4] };
    else if (text.size() == 4)
        move = std::string(text);
    else
        return {};
    for (char& c : move) c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
    const bool shaped = move[0] >= 'a' && move[0] <= 'i' && std::isdigit((unsigned char)move[1])
        && move[2] >= 'a' && move[2] <= 'i' && std::isdigit((unsigned char)move[3]);
    return shaped ? move : std::string();
}

} // namespace

bool isAsciiMove(std::string_view text) {
    for (char c : text)
        if (static_cast<unsigned char>(c) >= 0x80) return false;
    return true;
}

int chineseMoveLength(std::string_view text) {
    return std::max(glyphsOf(text, nullptr, 0), 0);
}

std::string readMove(const Board& board, std::string_view text, std::string& why) {
    if (std::string move = coordinatesOf(text); !move.empty()) {
        if (board.isLegalMoveText(move)) return move;
        why = "not a legal move";
        return {};
    }
    NamedMove named;
    if (!parseWxf(text, named) && !parseChinese(text, named)) {
        why = "not a move";
        return {};
    }
    bool fitting = false;
    for (int move : movesNamed(board, named)) {
        if (!fits(named, shapeOf(board, move))) continue;
        if (board.isLegalMove(move)) return moveToCoord(move);
        fitting = true;
    }
    why = fitting ? "not a legal move" : "no piece can make this move";
    return {};
}

std::string writeMove(const Board& board, std::string_view move, Notation notation) {
    if (!board.isLegalMoveText(move)) return {};
    if (notation == Notation::Iccs)
        return { char(std::toupper(move[0])), move[1], '-', char(std::toupper(move[2])), move[3] };
    const MoveShape shape = shapeOf(board, coordToMove(move));
    const bool red = board.isRedToMove();
    std::string text;
    if (notation == Notation::Chinese) {
        text = board.moveToChinese(move);
    } else {
        char letter = "KAEHRCP"[shape.type];
        if (!red) letter = static_cast<char>(std::tolower(letter));
        // Like the Chinese notation, only horses, chariots, cannons and pawns name their place.
        const char place = shape.ahead == 0 ? '+'
            : shape.behind == 0             ? '-'
                                            : char('1' + shape.ahead);
        if (shape.type < HORSE || shape.ahead + shape.behind == 0)
            text = { letter, char('0' + shape.file) };
        else if (place == '+' || place == '-')
            text = { letter, place };
        else
            text = { place, letter };
        text += shape.direction;
        text += char('0' + shape.number);
        // Pawns in pairs on two files: "P+" names two pieces; place and file name one.
        std::string why;
        if (readMove(board, text, why) == move) return text;
        return { place, letter, char('0' + shape.file), shape.direction, char('0' + shape.number) };
    }
    // The same in Chinese: "前兵" becomes "前兵四".
    std::string why;
    if (readMove(board, text, why) == move) return text;
    return text.insert(6, fileNumeral(shape.file, red));
}

} // namespace qinglan

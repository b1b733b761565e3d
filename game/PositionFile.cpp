#include "game/PositionFile.h"

#include "game/MoveListText.h"
#include "rules/Board.h"

#include <cerrno>
#include <cstdio>
#include <cstring>
#include <memory>
#include <unistd.h>

namespace qinglan {

namespace {

constexpr std::string_view FEN_PREFIX = "position fen ";
constexpr std::string_view STARTPOS = "position startpos";
constexpr std::string_view MOVES = " moves ";
constexpr std::string_view UTF8_BYTE_ORDER_MARK = "\xEF\xBB\xBF";

std::string reasonOf(int error) {
    switch (error) {
    case EACCES:
    case EPERM:
    case EROFS:
        return "没有写入权限";
    case ENOSPC:
    case EDQUOT:
        return "磁盘空间不足";
    case ENOENT:
    case ENOTDIR:
        return "文件夹不存在";
    case EISDIR:
        return "这是一个文件夹";
    default:
        return std::strerror(error);
    }
}

struct FileCloser {
    void operator()(std::FILE* file) const { std::fclose(file); }
};
using FilePtr = std::unique_ptr<std::FILE, FileCloser>;

bool isBlank(char c) {
    return c == ' ' || c == '\t' || c == '\r' || c == '\n';
}

std::string_view trimmed(std::string_view text) {
    while (!text.empty() && isBlank(text.front())) text.remove_prefix(1);
    while (!text.empty() && isBlank(text.back())) text.remove_suffix(1);
    return text;
}

bool isPlainText(std::string_view text) {
    for (char c : text) {
        const auto byte = static_cast<unsigned char>(c);
        if ((byte < 0x20 || byte > 0x7E) && !isBlank(c)) return false;
    }
    return true;
}

bool isFenBoardChar(char c) {
    return c == '/' || (c >= '0' && c <= '9') || (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z');
}

} // namespace

std::string positionFileText(const Board& board) {
    std::string text = board.positionCommand(false, false);
    if (const std::size_t at = text.find(FEN_PREFIX); at != std::string::npos)
        text.erase(at, FEN_PREFIX.size());
    return text;
}

std::string writePositionFile(const std::string& path, std::string_view text) {
    FilePtr file(std::fopen(path.c_str(), "wb"));
    if (!file) return reasonOf(errno);
    const bool written = std::fwrite(text.data(), 1, text.size(), file.get()) == text.size()
        && std::fflush(file.get()) == 0;
    if (!written) return reasonOf(errno);
    // A full disk may show itself only when the data reaches it.
    if (::fsync(::fileno(file.get())) != 0 && errno != EINVAL && errno != EROFS)
        return reasonOf(errno);
    if (std::fclose(file.release()) != 0) return reasonOf(errno);
    return {};
}

PositionFileRead readPositionFile(const std::string& path) {
    PositionFileRead result;
    FilePtr file(std::fopen(path.c_str(), "rb"));
    if (!file) {
        result.error = "文件无法读取";
        return result;
    }
    // One byte past the limit tells an oversized file without reading all of it.
    std::string bytes(POSITION_FILE_MAX_BYTES + 1, '\0');
    const std::size_t got = std::fread(bytes.data(), 1, bytes.size(), file.get());
    if (std::ferror(file.get())) {
        result.error = "文件无法读取";
        return result;
    }
    if (got > POSITION_FILE_MAX_BYTES) {
        result.error = "文件太大";
        return result;
    }
    bytes.resize(got);
    result.text = bytes.substr(0, bytes.find('\0'));
    // Windows editors start a UTF-8 file with a byte order mark: not part of the text.
    if (result.text.starts_with(UTF8_BYTE_ORDER_MARK))
        result.text.erase(0, UTF8_BYTE_ORDER_MARK.size());
    if (trimmed(result.text).empty())
        result.error = "文件是空的";
    else if (!looksLikePosition(result.text))
        result.error = "文件内容不是局面";
    return result;
}

bool looksLikePosition(std::string_view text) {
    if (!isPlainText(text)) return false;
    text = trimmed(text);
    if (text.starts_with(STARTPOS)) return true;
    if (text.starts_with(FEN_PREFIX)) text.remove_prefix(FEN_PREFIX.size());
    const std::string_view boardPart = text.substr(0, text.find_first_of(" \t\r\n"));
    if (boardPart.find('/') == std::string_view::npos) return false;
    for (char c : boardPart)
        if (!isFenBoardChar(c)) return false;
    return true;
}

void loadPositionText(std::string_view text, Board& board, MoveListText& list) {
    text = trimmed(text);
    const std::size_t movesAt = text.find(MOVES);
    board.setPosition(text.substr(0, movesAt));
    list.clear();
    if (movesAt == std::string_view::npos) return;
    std::string_view moves = text.substr(movesAt + MOVES.size());
    moves = moves.substr(0, moves.find(MOVES));
    while (!moves.empty()) {
        const std::size_t space = moves.find(' ');
        const std::string move(moves.substr(0, space));
        moves = space == std::string_view::npos ? std::string_view() : moves.substr(space + 1);
        // Only plies played get a line: a take-back removes one line per ply.
        if (!board.isLegalMoveText(move)) continue;
        const int plies = board.plyCount();
        const bool red = board.isRedToMove();
        list.append(MoveListText::lineFor(plies, red, board.moveToChinese(move)));
        board.makeMoveText(move);
    }
}

} // namespace qinglan

#include "PgnReader.h"

#include "MoveNotation.h"

#include <cstdlib>
#include <tuple>
#include <utility>
#include <vector>

namespace qinglan {

namespace {

constexpr std::string_view WIDE_SPACE = "\xE3\x80\x80";

bool isBlank(char c) {
    return c == ' ' || c == '\t' || c == '\n' || c == '\r' || c == '\f' || c == '\v';
}

bool endsWord(std::string_view text, std::size_t at) {
    const char c = text[at];
    return isBlank(c) || c == '{' || c == '}' || c == '(' || c == ')' || c == ';' || c == '['
        || text.substr(at).starts_with(WIDE_SPACE);
}

std::string_view trimmed(std::string_view text) {
    while (!text.empty() && isBlank(text.front())) text.remove_prefix(1);
    while (!text.empty() && isBlank(text.back())) text.remove_suffix(1);
    return text;
}

// Cuts text to at most limit bytes without splitting a character.
std::string_view cutToLimit(std::string_view text, std::size_t limit) {
    if (text.size() <= limit) return text;
    std::size_t end = limit;
    while (end > 0 && (static_cast<unsigned char>(text[end]) & 0xC0) == 0x80) --end;
    return text.substr(0, end);
}

// Drops a move number in front of a move ("12.", "1...", "3…", "５．", a lone "...");
// what is left.
std::string_view withoutMoveNumber(std::string_view word) {
    // ASCII digits, or full-width ones (three bytes, EF BC 90-99).
    std::size_t digits = 0;
    for (bool more = true; more && digits < word.size();) {
        const std::string_view at = word.substr(digits);
        more = at[0] >= '0' && at[0] <= '9';
        if (more) {
            ++digits;
        } else if (at.size() >= 3 && at.starts_with("\xEF\xBC") && (at[2] & 0xF0) == 0x90
            && (at[2] & 0x0F) <= 9) {
            digits += 3;
            more = true;
        }
    }
    std::string_view rest = word.substr(digits);
    if (digits > 0 && rest.empty()) return rest; // a bare number
    bool dotted = false;
    for (bool more = true; more;) {
        more = false;
        for (std::string_view dot : { ".", "…", "。", "．" })
            if (rest.starts_with(dot)) {
                rest.remove_prefix(dot.size());
                dotted = more = true;
            }
    }
    return dotted ? rest : word;
}

int nagOfGlyph(std::string_view glyph) {
    constexpr std::string_view GLYPHS[] = { "!", "?", "!!", "??", "!?", "?!" };
    for (int i = 0; i < 6; ++i)
        if (glyph == GLYPHS[i]) return i + 1;
    return 0;
}

bool isResultToken(std::string_view word) {
    // Most words are moves: only those that begin as a result can be one.
    const bool maybe = !word.empty()
        && (word[0] == '*' || word[0] == '0' || word[0] == '1' || word.starts_with("½")
            || word.starts_with("红") || word.starts_with("紅") || word.starts_with("黑")
            || word.starts_with("和"));
    return maybe && (word == "*" || normalResult(word) != "*");
}

// The result at the end of the moves stands in for a missing Result tag; "*" says nothing.
void takeResult(GameRecord& game, std::string_view token) {
    if (game.tag(tags::RESULT).empty() && token != "*") game.setTag(tags::RESULT, token);
}

// The code point length of a UTF-8 lead byte.
std::size_t sequenceLength(unsigned char lead) {
    return lead < 0xC0 ? 1 : lead < 0xE0 ? 2 : lead < 0xF0 ? 3 : 4;
}

// Chinese moves sometimes run together: "炮二平五马８进７" is two moves.
std::vector<std::string_view> splitMoves(std::string_view word) {
    // One move is at most five characters of three bytes.
    const int length = word.size() <= 15 || isAsciiMove(word) ? 0 : chineseMoveLength(word);
    if (length <= 4 || length % 4 != 0) return { word };
    std::vector<std::string_view> moves;
    std::size_t start = 0, at = 0;
    for (int glyph = 1; glyph <= length; ++glyph) {
        at += sequenceLength(static_cast<unsigned char>(word[at]));
        if (glyph % 4 == 0) {
            moves.push_back(word.substr(start, at - start));
            start = at;
        }
    }
    return moves;
}

// "move 12... (炮２平５)" for the move that would follow ply moves of game.
std::string moveLabel(const GameRecord& game, int plies, std::string_view text) {
    const bool blackStarts = game.startFen().find(" b") != std::string::npos;
    const int ply = plies + (blackStarts ? 1 : 0);
    return "move " + std::to_string(ply / 2 + 1) + (ply % 2 ? "..." : "") + " (" + std::string(text)
        + ")";
}

} // namespace

PgnReader::PgnReader(std::string_view text)
    : text_(text) { }

void PgnReader::skipBlanks() {
    while (at_ < text_.size()) {
        if (isBlank(text_[at_]))
            ++at_;
        else if (text_.substr(at_).starts_with(WIDE_SPACE))
            at_ += WIDE_SPACE.size();
        else
            break;
    }
}

bool PgnReader::atLineStart() const {
    for (std::size_t i = at_; i > 0; --i) {
        const char c = text_[i - 1];
        if (c == '\n' || c == '\r') return true;
        if (c != ' ' && c != '\t') return false;
    }
    return true;
}

bool PgnReader::startGame() {
    skipBlanks();
    if (at_ >= text_.size()) return false;
    if (gamesRead_ >= MAX_GAMES_PER_FILE) {
        stopReason_ = "more than " + std::to_string(MAX_GAMES_PER_FILE)
            + " games in the file; the rest is not read";
        at_ = text_.size();
        return false;
    }
    ++gamesRead_;
    return true;
}

bool PgnReader::next(GameRecord& game, std::string& problem) {
    game = GameRecord();
    problem.clear();
    if (!startGame()) return false;
    readTags(game, problem);
    readMoveText(game, problem);
    return true;
}

bool PgnReader::nextTags(GameRecord& tagsOnly, GameSpan& span) {
    tagsOnly = GameRecord();
    span = GameSpan();
    if (!startGame()) return false;
    span.begin = at_;
    std::string problem;
    readTags(tagsOnly, problem);
    skipMoveText(tagsOnly, span);
    span.end = at_;
    return true;
}

void PgnReader::skipMoveText(GameRecord& tagsOnly, GameSpan& span) {
    std::string problem;
    int depth = 0;
    for (Token token = nextToken(problem); token.kind != Token::END; token = nextToken(problem)) {
        if (token.kind == Token::OPEN) ++depth;
        if (token.kind == Token::CLOSE && depth > 0) --depth;
        if (token.kind != Token::WORD) continue;
        if (depth == 0 && isResultToken(token.text)) {
            takeResult(tagsOnly, token.text);
            skipToNextGame();
            return;
        }
        span.hasMoves = true;
    }
}

void PgnReader::readTags(GameRecord& game, std::string& problem) {
    for (skipBlanks(); at_ < text_.size() && text_[at_] == '['; skipBlanks()) {
        std::size_t end = text_.find_first_of("\r\n", at_);
        if (end == std::string_view::npos) end = text_.size();
        std::string_view line = text_.substr(at_ + 1, end - at_ - 1);
        at_ = end;
        std::size_t nameEnd = 0;
        while (nameEnd < line.size() && !isBlank(line[nameEnd]) && line[nameEnd] != '"'
            && line[nameEnd] != ']')
            ++nameEnd;
        const std::string_view name = line.substr(0, nameEnd);
        line = trimmed(line.substr(nameEnd));
        std::string value;
        if (line.starts_with('"')) {
            // Quotes and backslashes inside a value are escaped with a backslash.
            for (std::size_t i = 1; i < line.size() && line[i] != '"'; ++i) {
                if (line[i] == '\\' && i + 1 < line.size()) ++i;
                value += line[i];
            }
        } else {
            value = trimmed(line.substr(0, line.rfind(']')));
        }
        // The notation is found move by move, whatever this tag says; writers set it anew.
        if (name.empty() || name == "Format") continue;
        if (value.size() > MAX_COMMENT_BYTES) {
            value = cutToLimit(value, MAX_COMMENT_BYTES);
            if (problem.empty()) problem = "tag " + std::string(name) + " longer than 64 KiB, cut";
        }
        if (name == "FEN") {
            if (!game.setStartFen(value) && problem.empty())
                problem = "FEN tag \"" + value + "\" is not a position with both kings";
        } else {
            game.setTag(name, value);
        }
    }
}

PgnReader::Token PgnReader::nextToken(std::string& problem) {
    for (;;) {
        skipBlanks();
        if (at_ >= text_.size() || text_[at_] == '[') return {};
        const char c = text_[at_];
        if (c == '%' && atLineStart()) {
            at_ = std::min(text_.find_first_of("\r\n", at_), text_.size());
            continue;
        }
        if (c == '(' || c == ')') {
            ++at_;
            return { c == '(' ? Token::OPEN : Token::CLOSE, {} };
        }
        if (c == '{' || c == ';') {
            const std::size_t end
                = c == '{' ? text_.find('}', at_) : text_.find_first_of("\r\n", at_);
            if (end == std::string_view::npos && c == '{' && problem.empty())
                problem = "a comment is not closed";
            const std::size_t stop = std::min(end, text_.size());
            const std::string_view body = text_.substr(at_ + 1, stop - at_ - 1);
            at_ = std::min(stop + 1, text_.size());
            return { Token::COMMENT, body };
        }
        if (c == '}') {
            ++at_;
            continue;
        }
        const std::size_t start = at_;
        while (at_ < text_.size() && !endsWord(text_, at_)) ++at_;
        return { Token::WORD, text_.substr(start, at_ - start) };
    }
}

// After a result, what follows up to the next game is notes: the next game starts at a
// tag or, in files without tags, at a line that begins with move 1.
void PgnReader::skipToNextGame() {
    for (std::size_t at = text_.find_first_of("\r\n", at_); at != std::string_view::npos;
         at = text_.find_first_of("\r\n", at + 1)) {
        at_ = at;
        skipBlanks();
        const std::string_view rest = text_.substr(at_);
        if (rest.starts_with('[') || (rest.starts_with("1.") && !rest.starts_with("1.0"))) return;
    }
    at_ = text_.size();
}

void PgnReader::readMoveText(GameRecord& game, std::string& problem) {
    int node = GameRecord::ROOT, plies = 0;
    // The node (and its ply) each open variation goes back to.
    std::vector<std::pair<int, int>> returnTo;
    int deadDepth = -1; // while >= 0, the line open at this depth has ended early
    int skippedDepth = 0; // variations opened inside a line that is skipped
    auto fail = [&](const std::string& why) {
        if (problem.empty()) problem = why;
        deadDepth = static_cast<int>(returnTo.size());
    };
    auto attachComment = [&](std::string_view body) {
        std::string_view text = body;
        if (text.size() > MAX_COMMENT_BYTES) {
            text = cutToLimit(text, MAX_COMMENT_BYTES);
            if (problem.empty()) problem = "a comment longer than 64 KiB was cut";
        }
        if (text.empty()) return;
        const std::string& before = game.comment(node);
        game.setComment(
            node, before.empty() ? std::string(text) : before + " " + std::string(text));
    };
    for (Token token = nextToken(problem); token.kind != Token::END; token = nextToken(problem)) {
        if (deadDepth >= 0) {
            // Everything up to the end of the ended line is passed over.
            if (token.kind == Token::OPEN) ++skippedDepth;
            if (token.kind == Token::CLOSE && skippedDepth > 0) {
                --skippedDepth;
                continue;
            }
            if (token.kind == Token::WORD && returnTo.empty() && isResultToken(token.text)) {
                takeResult(game, token.text);
                skipToNextGame();
                return;
            }
            if (token.kind != Token::CLOSE || returnTo.empty()) continue;
            std::tie(node, plies) = returnTo.back();
            returnTo.pop_back();
            if (static_cast<int>(returnTo.size()) < deadDepth) deadDepth = -1;
            continue;
        }
        switch (token.kind) {
        case Token::COMMENT:
            attachComment(token.text);
            break;
        case Token::OPEN:
            returnTo.emplace_back(node, plies);
            if (static_cast<int>(returnTo.size()) > MAX_VARIATION_DEPTH) {
                fail("variations nested deeper than " + std::to_string(MAX_VARIATION_DEPTH));
                break;
            }
            if (node != GameRecord::ROOT) {
                node = game.parentOf(node);
                --plies;
            }
            break;
        case Token::CLOSE:
            if (!returnTo.empty()) {
                std::tie(node, plies) = returnTo.back();
                returnTo.pop_back();
            }
            break;
        case Token::WORD: {
            std::string_view word = token.text;
            if (returnTo.empty() && isResultToken(word)) {
                takeResult(game, word);
                skipToNextGame();
                return;
            }
            if (word.starts_with('$')) {
                game.addNag(node, std::atoi(std::string(word.substr(1)).c_str()));
                break;
            }
            word = withoutMoveNumber(word);
            std::size_t glyphs = word.size();
            while (glyphs > 0 && (word[glyphs - 1] == '!' || word[glyphs - 1] == '?')) --glyphs;
            const std::string_view glyph = word.substr(glyphs);
            word = word.substr(0, glyphs);
            for (std::string_view move :
                word.empty() ? std::vector<std::string_view> {} : splitMoves(word)) {
                std::string why;
                const std::string coordinates = readMove(game.positionAfter(node), move, why);
                if (plies >= MAX_LINE_PLIES || game.nodeCount() >= MAX_GAME_NODES)
                    why = "the game is longer than the reader takes";
                const int added = why.empty() ? game.addMove(node, coordinates) : GameRecord::NONE;
                if (added == GameRecord::NONE) {
                    fail(moveLabel(game, plies, move) + ": "
                        + (why.empty() ? "not a legal move" : why));
                    break;
                }
                node = added;
                ++plies;
            }
            if (deadDepth < 0 && !glyph.empty()) game.addNag(node, nagOfGlyph(glyph));
            break;
        }
        case Token::END:
            break;
        }
    }
}

} // namespace qinglan

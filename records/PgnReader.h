#pragma once

#include "GameRecord.h"

#include <cstddef>
#include <string>
#include <string_view>

namespace qinglan {

// What a record file may hold before the readers refuse the rest.
inline constexpr std::size_t MAX_RECORD_FILE_BYTES = 64u << 20;
inline constexpr int MAX_GAMES_PER_FILE = 100000;
inline constexpr int MAX_VARIATION_DEPTH = 200;
inline constexpr std::size_t MAX_COMMENT_BYTES = 64u << 10;
inline constexpr int MAX_LINE_PLIES = 10000;
inline constexpr int MAX_GAME_NODES = 1000000;

// Where a game lies in the text a reader was given.
struct GameSpan {
    std::size_t begin = 0;
    std::size_t end = 0;
    bool hasMoves = false; // anything but tags and a result
};

// Reads the games of a PGN text (UTF-8, see decodeText) one by one, so that a large file
// never needs all its games in memory. Moves may be in any notation readMove knows,
// mixed as they come.
class PgnReader {
public:
    explicit PgnReader(std::string_view text);

    // The next game; false when the text has no more (or the game limit is reached, see
    // stopReason). problem says why a line of the game ended early, "" when none did:
    // what came before is kept.
    bool next(GameRecord& game, std::string& problem);
    // The next game's tags and where it lies, without reading its moves: a list of the
    // games of a large file costs little more than a look at its text. The game's text
    // (text.substr(span.begin, span.end - span.begin)) reads as next() would read it.
    bool nextTags(GameRecord& tagsOnly, GameSpan& span);
    // Why reading stopped before the end of the text; "" when it did not.
    const std::string& stopReason() const { return stopReason_; }

private:
    struct Token {
        enum Kind { END, WORD, COMMENT, OPEN, CLOSE } kind = END;
        std::string_view text;
    };

    // False at the end of the text or of the games allowed.
    bool startGame();
    // Past the moves, comments and variations of a game, as readMoveText ends it; the
    // result token is taken as readMoveText takes it.
    void skipMoveText(GameRecord& tagsOnly, GameSpan& span);
    void skipBlanks();
    bool atLineStart() const;
    void readTags(GameRecord& game, std::string& problem);
    void readMoveText(GameRecord& game, std::string& problem);
    Token nextToken(std::string& problem);
    void skipToNextGame();

    std::string_view text_;
    std::size_t at_ = 0;
    int gamesRead_ = 0;
    std::string stopReason_;
};

} // namespace qinglan

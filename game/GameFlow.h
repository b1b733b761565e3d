#pragma once

#include "game/GameResult.h"
#include "game/RecordKeeper.h"
#include "settings/SettingsRecords.h"

#include <cstdint>
#include <functional>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace qinglan {

class EngineProcess;
class GameHost;
struct GameState;

// The referee and conductor of a game: every move goes through playMove, every turn
// through nextTurn. It decides; the host only shows.
class GameFlow {
public:
    // Asks an engine to search the current position: own and other are the remaining
    // times of the side to move and of its opponent, banned the moves it may not play.
    using SearchStarter = std::function<void(EngineProcess& engine, std::int64_t ownMs,
        std::int64_t otherMs, const std::vector<std::string>& banned)>;

    GameFlow(GameState& state, GameHost& host);

    // Ends a slide still in flight (with its turn change), then makes one legal
    // coordinate move with its record node, list line, clock handling and slide. False,
    // and nothing more changes, for an illegal move or once the game is over. Played
    // where the record already goes on with other moves, it asks whether to add a
    // variation (the default) or to replace the rest; in a finished game browsed back,
    // play resumes from there with fresh clocks.
    bool playMove(const std::string& moveText);
    // Shows the position of a record node: no clock runs, no engine searches, no
    // sound plays, until a move is played.
    void browseTo(int node);
    void browse(BrowseStep step) { browseTo(records_.stepTarget(step)); }
    // A record from a file or the clipboard, shown at its start; nothing is searched.
    void openRecord(GameRecord game);
    // Adjudicates, starts the clock of the side to move and, when the computer plays
    // that side, its engine. Does nothing once the game is over, nor while a slide is
    // in flight: the slide's end runs the turn.
    void nextTurn(const std::vector<std::string>& banned = {});
    // True when a result has been announced.
    bool checkGameEnd();
    // Marks the game over with its result, then asks whether to start again.
    void announceResult(const GameResult& result);
    // The "重新开始吗？" box of a result already marked; Yes asks the host for a new game.
    void askRestart(const GameResult& result);
    // The standard start (or fen) and optionally a new level; clocks reset.
    void newGame(
        const std::optional<std::string>& fen = {}, const std::optional<LevelSettings>& level = {});
    // The position text of a position file with its moves replayed into the move
    // list, then the same restart as newGame at the current level.
    void openPosition(std::string_view text);
    // Takes back the last two plies (one when only one exists).
    void takeBack();
    // Takes back the computer's last move and searches again with it banned.
    void banLastMove();
    void setComputerRed(bool on);
    void setComputerBlack(bool on);
    void setSecondaryPlaysRed(bool on);
    // Both side marks at once, for a new game about to start: no turn is run here.
    void setComputerSides(bool red, bool black);
    // The countdown check of the heartbeat: the loss on time to announce, with the
    // game already marked over, or nothing. A game has one result, so when both
    // sides are out of time only red's loss is reported.
    std::optional<GameResult> checkTimeouts();
    // Both engines stop searching, each waiting at most timeoutMs.
    void stopEngines(int timeoutMs);

    void setSearchStarter(SearchStarter starter) { startSearch_ = std::move(starter); }
    RecordKeeper& records() { return records_; }

private:
    // Everything newGame resets once the board and the record are set.
    void restart();
    // The same without starting the turn.
    void resetForNewPosition();
    // Puts a move about to be played into the record, asking where when it branches.
    void recordMove(const std::string& moveText);
    void noteResult(const GameResult& result);
    void pauseClocks();
    void forgetReplies();
    void dropLastPly();

    GameState& state_;
    GameHost& host_;
    SearchStarter startSearch_;
    RecordKeeper records_;
};

} // namespace qinglan

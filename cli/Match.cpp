#include "Match.h"

#include "MatchStats.h"
#include "game/Game.h"
#include "game/HeadlessHost.h"
#include "platform/TextEncoding.h"
#include "platform/Ticks.h"

#include <atomic>
#include <charconv>
#include <cmath>
#include <csignal>
#include <cstdio>
#include <cstring>
#include <fstream>
#include <memory>
#include <thread>

namespace qinglan {

namespace {

std::atomic<bool> interrupted { false };

// Longest a search may run past its budget before its engine loses.
constexpr std::int64_t REPLY_MARGIN_MS = 2000;
constexpr std::int64_t DEPTH_SEARCH_LIMIT_MS = 60000;
constexpr int POLL_MS = 2;

bool parseInt(const char* text, int& value, int low, int high) {
    const char* end = text + std::strlen(text);
    auto [ptr, ec] = std::from_chars(text, end, value);
    return ec == std::errc() && ptr == end && value >= low && value <= high;
}

bool parseTimeControl(const std::string& text, double& minutes, double& increment) {
    const std::size_t plus = text.find('+');
    if (plus == std::string::npos) return false;
    char* end = nullptr;
    const std::string m = text.substr(0, plus), i = text.substr(plus + 1);
    minutes = std::strtod(m.c_str(), &end);
    if (m.empty() || *end || minutes <= 0) return false;
    increment = std::strtod(i.c_str(), &end);
    return !i.empty() && !*end && increment >= 0;
}

bool parseProtocol(const std::string& text, EngineProtocol& protocol) {
    constexpr std::pair<const char*, EngineProtocol> NAMES[] = {
        { "ucci", EngineProtocol::Ucci },
        { "uci", EngineProtocol::Uci },
        { "auto", EngineProtocol::Auto },
    };
    for (const auto& [name, value] : NAMES)
        if (text == name) {
            protocol = value;
            return true;
        }
    return false;
}

// "NAME=VALUE"; the name may not be empty, the value may.
bool parseOwnOption(const std::string& text, std::map<std::string, std::string>& options) {
    const std::size_t equals = text.find('=');
    if (equals == 0 || equals == std::string::npos) return false;
    options[text.substr(0, equals)] = text.substr(equals + 1);
    return true;
}

LevelSettings levelOf(const MatchOptions& o) {
    LevelSettings level;
    if (o.depth > 0) {
        level.mode = LEVEL_DEPTH;
        level.depthLimit = o.depth;
    } else if (o.tcMinutes > 0) {
        level.mode = LEVEL_TIME_INCREMENT;
        level.gameTimeMs = static_cast<int>(o.tcMinutes * 60000);
        level.incrementMs = static_cast<int>(o.tcIncrementSeconds * 1000);
    } else {
        level.mode = LEVEL_MOVE_TIME;
        level.moveTimeTenths = o.moveTimeMs / 100;
    }
    return level;
}

// A fault an engine committed on its move, judged once the line that caused it is
// fully handled.
struct Fault {
    GameResult result;
    int plies = 0;
};

// A headless host that keeps each engine's last "info" line.
class MatchHost : public HeadlessHost {
public:
    void engineInfo(bool mainEngine, const ThinkingLine& line) override {
        if (line.score) lastInfo[mainEngine] = line;
    }
    std::optional<ThinkingLine> lastInfo[2]; // [1] main slot, [0] secondary
};

// One game at a time on one Game, with engine A in the main slot and B in the
// secondary slot for the whole match.
class MatchSlot {
public:
    MatchSlot(const MatchOptions& options)
        : options_(options)
        , level_(levelOf(options)) {
        host_.attach(game_);
    }

    bool busy() const { return round_ > 0; }
    bool loadEngines() { return load(true) && load(false); }

    void start(int round, const std::string& fen, bool aIsRed) {
        round_ = round;
        aIsRed_ = aIsRed;
        fen_ = fen;
        for (bool main : { true, false })
            if (!game_.isEngineRunning(main)) load(main);
        game_.flow().setComputerRed(false);
        game_.flow().setComputerBlack(false);
        host_.messages.clear();
        host_.faults.clear();
        for (std::optional<ThinkingLine>& info : host_.lastInfo) info.reset();
        comments_.clear();
        fault_.reset();
        game_.flow().newGame(fen, level_);
        game_.flow().setSecondaryPlaysRed(!aIsRed);
        game_.flow().setComputerRed(true);
        game_.flow().setComputerBlack(true);
        watch();
    }

    // Advances the game; a finished game's record, or nothing.
    std::optional<MatchGame> step() {
        if (!busy()) return std::nullopt;
        for (bool main : { true, false })
            if (game_.takeExitedEngine(main))
                return finish(lossOf(main == aIsRed_, ResultReason::EngineCrash));
        game_.engines().pollEngines();
        if (fault_ && fault_->plies == plies()) return finish(fault_->result);
        fault_.reset();
        for (const HeadlessHost::EngineFault& fault : host_.faults)
            fault_ = Fault { lossOf(fault.mainEngine == aIsRed_, fault.reason), plies() };
        host_.faults.clear();
        host_.finishMoveInFlight();
        game_.flow().checkTimeouts();
        if (const std::optional<GameResult>& result = game_.state().result) return finish(*result);
        if (plies() != watchedPlies_) {
            noteEvaluation();
            watch();
        }
        if (tickMs() - watchedSince_ > replyLimitMs()) {
            const bool red = game_.state().board.isRedToMove();
            const bool main = red == aIsRed_;
            MatchGame record = finish(lossOf(red, ResultReason::NoReply));
            // A hung engine starts afresh for its next game.
            game_.engineSlot(main).unload();
            return record;
        }
        return std::nullopt;
    }

    const std::string& engineName(bool main) const { return names_[main]; }
    bool aIsRed() const { return aIsRed_; }

private:
    bool load(bool main) {
        EngineProcess& engine = game_.engineSlot(main);
        EngineOptions o = engine.getOptions();
        o.compatFlags = COMPAT_STARTPOS;
        engine.chooseForProgram(main ? options_.protocolA : options_.protocolB,
            main ? options_.optionsA : options_.optionsB);
        engine.setOptions(o);
        if (!engine.loadProgram(main ? options_.engineA : options_.engineB)) return false;
        for (const std::string& line : main ? options_.initA : options_.initB)
            engine.sendLine(line);
        const std::string& name = engine.name();
        names_[main]
            = displayText(name.empty() ? (main ? options_.engineA : options_.engineB) : name);
        return true;
    }
    int plies() const { return game_.state().board.plyCount(); }
    // The evaluation of the move just played: the mover's last "info" line.
    void noteEvaluation() {
        const Board& board = game_.state().board;
        const bool redMoved = !board.isRedToMove();
        const bool main = redMoved == aIsRed_;
        const int timeMs = static_cast<int>(tickMs() - watchedSince_);
        while (static_cast<int>(comments_.size()) < plies() - 1) comments_.emplace_back();
        comments_.push_back(evaluationOfInfo(host_.lastInfo[main], timeMs));
        host_.lastInfo[main].reset();
    }
    void watch() {
        watchedPlies_ = plies();
        watchedSince_ = tickMs();
    }
    std::int64_t replyLimitMs() const {
        if (level_.mode == LEVEL_DEPTH) return DEPTH_SEARCH_LIMIT_MS;
        if (level_.mode == LEVEL_TIME_INCREMENT) return level_.gameTimeMs + REPLY_MARGIN_MS;
        return 2LL * level_.moveTimeTenths * 100 + REPLY_MARGIN_MS;
    }

    MatchGame finish(const GameResult& result) {
        if (plies() != watchedPlies_) noteEvaluation(); // the move that ended the game
        MatchGame record;
        record.round = round_;
        record.red = engineName(aIsRed_);
        record.black = engineName(!aIsRed_);
        record.outcome = result;
        record.result = pgnResultToken(result);
        record.reason = resultReasonText(result, record.red, record.black);
        const Board& board = game_.state().board;
        record.fen = board.startFen();
        for (const MoveRecordEntry& entry : board.record())
            record.moves.push_back(moveToCoord(entry.move));
        record.comments = comments_;
        // A result the runner declares ends the game as the program's own verdicts do,
        // so no later toggle starts another search in it.
        if (!game_.state().gameOver) game_.flow().announceResult(result);
        game_.flow().stopEngines(EngineGlue::STOP_FOR_SEARCH_MS);
        round_ = 0;
        return record;
    }

    const MatchOptions& options_;
    LevelSettings level_;
    MatchHost host_;
    Game game_ { host_ };
    int round_ = 0;
    bool aIsRed_ = true;
    std::string fen_;
    std::optional<Fault> fault_;
    std::vector<std::string> comments_; // by ply, see noteEvaluation
    std::string names_[2]; // [1] engine A (main slot), [0] engine B, as they said at load
    int watchedPlies_ = 0;
    std::int64_t watchedSince_ = 0;
};

void printSummary(const MatchOptions& o, const MatchScore& s) {
    std::printf("Score of %s vs %s: %d wins, %d draws, %d losses, %.1f/%d (%.1f%%)\n",
        o.engineA.c_str(), o.engineB.c_str(), s.wins, s.draws, s.losses, s.wins + 0.5 * s.draws,
        s.games(), 100.0 * s.score());
    const double margin = s.eloMargin();
    std::printf("Elo difference: %s +/- %s (95%%)\n", formatElo(s.eloDifference()).c_str(),
        std::isinf(margin) ? "inf" : formatElo(margin).substr(1).c_str());
}

} // namespace

std::optional<MatchOptions> parseMatchOptions(int argc, char** argv, std::string& error) {
    if (argc < 4) {
        error = "two engines are needed";
        return std::nullopt;
    }
    MatchOptions o;
    o.engineA = argv[2];
    o.engineB = argv[3];
    for (int i = 4; i < argc; ++i) {
        const std::string flag = argv[i];
        if (i + 1 >= argc) {
            error = flag + " needs a value";
            return std::nullopt;
        }
        const char* value = argv[++i];
        bool ok = true;
        if (flag == "--games")
            ok = parseInt(value, o.games, 1, 1000000);
        else if (flag == "--concurrency")
            ok = parseInt(value, o.concurrency, 1, 64);
        else if (flag == "--movetime")
            ok = parseInt(value, o.moveTimeMs, 100, 3600000);
        else if (flag == "--tc")
            ok = parseTimeControl(value, o.tcMinutes, o.tcIncrementSeconds);
        else if (flag == "--depth")
            ok = parseInt(value, o.depth, 1, 100);
        else if (flag == "--init-a")
            o.initA.push_back(value);
        else if (flag == "--init-b")
            o.initB.push_back(value);
        else if (flag == "--protocol-a" || flag == "--protocol-b")
            ok = parseProtocol(value, flag.back() == 'a' ? o.protocolA : o.protocolB);
        else if (flag == "--option-a" || flag == "--option-b")
            ok = parseOwnOption(value, flag.back() == 'a' ? o.optionsA : o.optionsB);
        else if (flag == "--openings")
            o.openingsFile = value;
        else if (flag == "--pgn")
            o.pgnFile = value;
        else
            ok = false;
        if (!ok) {
            error = "bad option: " + flag + " " + value;
            return std::nullopt;
        }
    }
    return o;
}

std::vector<std::string> readOpenings(const std::string& path, std::string& error) {
    std::ifstream in(path);
    if (!in) {
        error = "cannot read " + path;
        return {};
    }
    std::vector<std::string> openings;
    for (std::string line; std::getline(in, line);) {
        while (!line.empty() && (line.back() == '\r' || line.back() == ' ')) line.pop_back();
        if (line.empty() || line[0] == '#') continue;
        Board board;
        board.setPosition(line);
        if (board.gameStatus() == STATUS_GOES_ON) openings.push_back(line);
    }
    if (openings.empty()) error = "no playable position in " + path;
    return openings;
}

int runMatch(const MatchOptions& options) {
    std::vector<std::string> openings { std::string(START_FEN) };
    if (!options.openingsFile.empty()) {
        std::string error;
        openings = readOpenings(options.openingsFile, error);
        if (openings.empty()) {
            std::fprintf(stderr, "%s\n", error.c_str());
            return 2;
        }
    }
    std::FILE* pgn = options.pgnFile.empty() ? nullptr : std::fopen(options.pgnFile.c_str(), "w");
    if (!options.pgnFile.empty() && !pgn) {
        std::fprintf(stderr, "cannot write %s\n", options.pgnFile.c_str());
        return 2;
    }
    // Ctrl-C ends the match: the summary so far is printed, every engine unloaded.
    std::signal(SIGINT, [](int) { interrupted = true; });
    std::signal(SIGTERM, [](int) { interrupted = true; });

    std::vector<std::unique_ptr<MatchSlot>> slots;
    for (int k = 0; k < std::min(options.concurrency, options.games); ++k) {
        slots.push_back(std::make_unique<MatchSlot>(options));
        if (!slots.back()->loadEngines()) {
            std::fprintf(stderr, "cannot load the engines (no handshake)\n");
            if (pgn) std::fclose(pgn);
            return 2;
        }
    }
    MatchScore score;
    int started = 0, finished = 0;
    while (finished < options.games && !interrupted) {
        for (auto& slot : slots) {
            if (!slot->busy() && started < options.games) {
                // Each opening is played twice, A taking red first.
                const int round = started + 1;
                slot->start(round, openings[(started / 2) % openings.size()], started % 2 == 0);
                ++started;
            }
            std::optional<MatchGame> game = slot->step();
            if (!game) continue;
            ++finished;
            score.add(game->outcome.winner, slot->aIsRed());
            std::printf("Game %d (%s vs %s): %s {%s}  [%d-%d-%d]\n", game->round, game->red.c_str(),
                game->black.c_str(), game->result.c_str(), game->reason.c_str(), score.wins,
                score.losses, score.draws);
            std::fflush(stdout);
            if (pgn) std::fputs(pgnOf(*game).c_str(), pgn);
        }
        std::this_thread::sleep_for(std::chrono::milliseconds(POLL_MS));
    }
    if (interrupted) std::printf("Interrupted after %d of %d games.\n", finished, options.games);
    printSummary(options, score);
    if (pgn) std::fclose(pgn);
    return interrupted ? 130 : 0;
}

} // namespace qinglan

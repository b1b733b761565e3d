#include "Match.h"

#include "match/NamedValues.h"
#include "match/TimeControl.h"

#include <atomic>
#include <charconv>
#include <cmath>
#include <csignal>
#include <cstdio>
#include <cstring>
#include <fstream>

namespace qinglan {

namespace {

std::atomic<bool> interrupted { false };

constexpr int GAMES_UNTIL_DECIDED = 1000000;

// A whole number or decimal within [low, high]; nothing else may follow it.
template<typename T> bool parseInRange(const char* text, T& value, T low, T high) {
    const char* end = text + std::strlen(text);
    auto [ptr, ec] = std::from_chars(text, end, value);
    return ec == std::errc() && ptr == end && value >= low && value <= high;
}

bool parseProtocol(const std::string& text, EngineProtocol& protocol) {
    constexpr std::pair<const char*, EngineProtocol> NAMES[] = {
        { "ucci", EngineProtocol::Ucci },
        { "uci", EngineProtocol::Uci },
        { "auto", EngineProtocol::Auto },
    };
    return valueOfName(text, NAMES, protocol);
}

// "NAME=VALUE"; the name may not be empty, the value may.
bool parseOwnOption(const std::string& text, std::map<std::string, std::string>& options) {
    const std::size_t equals = text.find('=');
    if (equals == 0 || equals == std::string::npos) return false;
    options[text.substr(0, equals)] = text.substr(equals + 1);
    return true;
}

// The engine a per-engine flag ("--option-c") names, or nullptr.
EngineEntry* engineOfFlag(const std::string& flag, std::string_view stem, MatchOptions& o) {
    if (flag.size() != stem.size() + 1 || !flag.starts_with(stem)) return nullptr;
    const std::size_t index = static_cast<std::size_t>(flag.back() - 'a');
    std::vector<EngineEntry>& engines = o.tournament.engines;
    return flag.back() >= 'a' && index < engines.size() ? &engines[index] : nullptr;
}

// One flag with its value; false when either is wrong (error set when it says more
// than "bad option").
bool applyFlag(const std::string& flag, const char* value, MatchOptions& o, std::string& error) {
    TournamentOptions& t = o.tournament;
    LevelSettings& level = t.level;
    if (flag == "--games") return parseInRange(value, t.gamesPerPairing, 1, GAMES_UNTIL_DECIDED);
    if (flag == "--concurrency") return parseInRange(value, t.concurrency, 1, 64);
    if (flag == "--movetime") {
        int ms = 0;
        if (!parseInRange(value, ms, 100, 3600000)) return false;
        level.mode = LEVEL_MOVE_TIME;
        level.moveTimeTenths = ms / 100;
        return true;
    }
    if (flag == "--tc") {
        const std::optional<TimeControl> tc = parseTimeControl(value, error);
        if (!tc) return false;
        level.mode = LEVEL_TIME_INCREMENT;
        level.gameTimeMs = static_cast<int>(tc->gameMs);
        level.incrementMs = static_cast<int>(tc->incrementMs);
        return true;
    }
    if (flag == "--depth") {
        level.mode = LEVEL_DEPTH;
        return parseInRange(value, level.depthLimit, 1, 100);
    }
    if (flag == "--schedule") return parseScheduleKind(value, t.kind);
    if (flag == "--alpha" || flag == "--beta") {
        if (!t.sprt) return false;
        return parseInRange(value, flag == "--alpha" ? t.sprt->alpha : t.sprt->beta, 1e-6, 0.5);
    }
    if (flag == "--openings") {
        o.openingsFile = value;
        return true;
    }
    if (flag == "--pgn") {
        o.pgnFile = value;
        return true;
    }
    if (EngineEntry* engine = engineOfFlag(flag, "--init-", o)) {
        engine->initLines.push_back(value);
        return true;
    }
    if (EngineEntry* engine = engineOfFlag(flag, "--protocol-", o))
        return parseProtocol(value, engine->protocol);
    if (EngineEntry* engine = engineOfFlag(flag, "--option-", o))
        return parseOwnOption(value, engine->ownOptions);
    return false;
}

// The options that only fit together: the kind of schedule for the number of engines,
// an SPRT only for a match.
bool checkCombination(MatchOptions& o, bool gamesGiven, std::string& error) {
    TournamentOptions& t = o.tournament;
    const std::size_t engines = t.engines.size();
    if (t.kind == ScheduleKind::Match && engines > 2) {
        error = "a match is between two engines: use --schedule round-robin or gauntlet";
        return false;
    }
    if (t.sprt && engines != 2) {
        error = "--sprt tests one engine against another: give two engines";
        return false;
    }
    if (t.sprt && !(t.sprt->elo0 < t.sprt->elo1)) {
        error = "--sprt ELO0 ELO1 needs ELO0 below ELO1";
        return false;
    }
    if (t.sprt && !gamesGiven) t.gamesPerPairing = GAMES_UNTIL_DECIDED;
    return true;
}

LevelSettings defaultLevel() {
    LevelSettings level;
    level.mode = LEVEL_MOVE_TIME;
    level.moveTimeTenths = 10; // the preset time per move, sent as "go time T increment T"
    return level;
}

void printGame(const MatchGame& game, const CrossTable& table, const ScheduledGame& scheduled) {
    const MatchScore& s = table.score(scheduled.first, scheduled.second);
    std::printf("Game %d (%s vs %s): %s {%s}  [%d-%d-%d]\n", game.round, game.red.c_str(),
        game.black.c_str(), game.result.c_str(), game.reason.c_str(), s.wins, s.losses, s.draws);
    std::fflush(stdout);
}

void printPair(const PairReport& pair, const Sprt& sprt) {
    const auto& c = pair.sofar.counts;
    std::printf("Pair %d: %.1f/2  pentanomial [%d %d %d %d %d]  LLR %.3f (%.3f, %.3f)\n", pair.pair,
        pair.halfPoints / 2.0, c[0], c[1], c[2], c[3], c[4], pair.llr, sprt.lowerBound(),
        sprt.upperBound());
    std::fflush(stdout);
}

void printSummary(const MatchOptions& o, const Tournament& tournament) {
    const std::vector<EngineEntry>& engines = o.tournament.engines;
    if (engines.size() > 2) {
        std::printf("%s", crossTableText(tournament.table(), tournament.names()).c_str());
        return;
    }
    const MatchScore& s = tournament.table().score(0, 1);
    std::printf("Score of %s vs %s: %d wins, %d draws, %d losses, %.1f/%d (%.1f%%)\n",
        engines[0].path.c_str(), engines[1].path.c_str(), s.wins, s.draws, s.losses,
        s.wins + 0.5 * s.draws, s.games(), 100.0 * s.score());
    const double margin = s.eloMargin();
    std::printf("Elo difference: %s +/- %s (95%%)\n", formatElo(s.eloDifference()).c_str(),
        std::isinf(margin) ? "inf" : formatElo(margin).substr(1).c_str());
    if (const std::optional<Sprt>& sprt = o.tournament.sprt)
        std::printf("SPRT [%g, %g] alpha %g beta %g: LLR %.3f (%.3f, %.3f) after %d pair%s: %s\n",
            sprt->elo0, sprt->elo1, sprt->alpha, sprt->beta, tournament.llr(), sprt->lowerBound(),
            sprt->upperBound(), tournament.pairs().pairs(),
            tournament.pairs().pairs() == 1 ? "" : "s",
            verdictText(*sprt, tournament.verdict()).c_str());
}

} // namespace

std::optional<MatchOptions> parseMatchOptions(int argc, char** argv, std::string& error) {
    MatchOptions o;
    o.tournament.level = defaultLevel();
    int i = 2;
    for (; i < argc && !std::string_view(argv[i]).starts_with("--"); ++i)
        o.tournament.engines.push_back({ argv[i], EngineProtocol::Auto, {}, {} });
    if (o.tournament.engines.size() < 2) {
        error = "two engines are needed";
        return std::nullopt;
    }
    if (o.tournament.engines.size() > 2) o.tournament.kind = ScheduleKind::RoundRobin;
    bool gamesGiven = false;
    for (; i < argc; ++i) {
        const std::string flag = argv[i];
        const int values = flag == "--sprt" ? 2 : 1;
        if (i + values >= argc) {
            error = flag + " needs " + (values == 2 ? "two values" : "a value");
            return std::nullopt;
        }
        bool ok = true;
        std::string why;
        if (flag == "--sprt") {
            Sprt sprt;
            ok = parseInRange(argv[i + 1], sprt.elo0, -1000.0, 1000.0)
                && parseInRange(argv[i + 2], sprt.elo1, -1000.0, 1000.0);
            o.tournament.sprt = sprt;
        } else {
            ok = applyFlag(flag, argv[i + 1], o, why);
        }
        gamesGiven = gamesGiven || flag == "--games";
        if (!ok) {
            error = "bad option: " + flag + " " + argv[i + 1] + (why.empty() ? "" : ": " + why);
            return std::nullopt;
        }
        i += values;
    }
    if (!checkCombination(o, gamesGiven, error)) return std::nullopt;
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

int runMatch(MatchOptions options) {
    if (!options.openingsFile.empty()) {
        std::string error;
        options.tournament.openings = readOpenings(options.openingsFile, error);
        if (options.tournament.openings.empty()) {
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

    Tournament tournament(options.tournament);
    tournament.onGame = [&](const MatchGame& game, const ScheduledGame& scheduled) {
        printGame(game, tournament.table(), scheduled);
        if (pgn) std::fputs(pgnOf(game).c_str(), pgn);
    };
    if (options.tournament.sprt)
        tournament.onPair
            = [&](const PairReport& pair) { printPair(pair, *options.tournament.sprt); };
    std::string error;
    const bool ran = tournament.run(interrupted, error);
    if (pgn) std::fclose(pgn);
    if (!ran) {
        std::fprintf(stderr, "%s\n", error.c_str());
        return 2;
    }
    if (interrupted)
        std::printf("Interrupted after %d of %d games.\n", tournament.gamesFinished(),
            tournament.gamesScheduled());
    printSummary(options, tournament);
    return interrupted ? 130 : 0;
}

} // namespace qinglan

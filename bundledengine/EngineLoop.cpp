#include "EngineLoop.h"

#include "rules/Board.h"

#include <algorithm>
#include <charconv>
#include <chrono>
#include <cstdlib>
#include <sstream>

namespace qinglan::bundled {

namespace {

std::vector<std::string> splitWords(std::string_view line) {
    std::vector<std::string> words;
    std::istringstream stream { std::string(line) };
    for (std::string word; stream >> word;) words.push_back(word);
    return words;
}

std::string lower(std::string text) {
    std::transform(text.begin(), text.end(), text.begin(),
        [](unsigned char c) { return char(c >= 'A' && c <= 'Z' ? c + 32 : c); });
    return text;
}

int levelOf(const std::string& value) {
    if (value == "none") return 0;
    if (value == "small") return 1;
    if (value == "large") return 3;
    return 2;
}

int integer(const std::string& text) {
    int value = 0;
    std::from_chars(text.data(), text.data() + text.size(), value);
    return value;
}

// "setoption NAME VALUE" as UCCI has it; "setoption name NAME value VALUE" as UCI does
// (a UCI name may have several words).
std::pair<std::string, std::string> optionNameAndValue(const std::vector<std::string>& words) {
    std::string name, value;
    if (words.size() >= 3 && lower(words[1]) == "name") {
        auto at = std::find(words.begin() + 2, words.end(), "value");
        for (auto word = words.begin() + 2; word != at; ++word)
            name += (name.empty() ? "" : " ") + *word;
        if (at != words.end() && at + 1 != words.end()) value = *(at + 1);
    } else if (words.size() >= 2) {
        name = words[1];
        if (words.size() >= 3) value = words[2];
    }
    return { name, value };
}

// The legal moves of pos left out of a "searchmoves" list, added to what is banned.
void banAllBut(Position& pos, const std::vector<Move>& allowed, std::vector<Move>& banned) {
    MoveList list;
    pos.generate(list, false);
    for (int i = 0; i < list.count; ++i) {
        const Move move = list.moves[i];
        if (std::find(allowed.begin(), allowed.end(), move) == allowed.end() && pos.isLegal(move))
            banned.push_back(move);
    }
}

} // namespace

std::string engineNameFromPath(std::string_view path) {
    size_t slash = path.find_last_of("/\\");
    std::string_view name = slash == std::string_view::npos ? path : path.substr(slash + 1);
    if (name.size() > 4 && lower(std::string(name.substr(name.size() - 4))) == ".exe")
        name.remove_suffix(4);
    return std::string(name);
}

EngineLoop::EngineLoop(std::string name, std::FILE* out)
    : name_(std::move(name))
    , out_(out) {
    position_.setFen(START_FEN);
}

EngineLoop::~EngineLoop() {
    signals_.stop = true;
    if (worker_.joinable()) worker_.join();
}

void EngineLoop::send(const std::string& line) {
    std::lock_guard lock(outMutex_);
    std::fputs(line.c_str(), out_);
    std::fputc('\n', out_);
    std::fflush(out_);
}

void EngineLoop::finishSearch() {
    if (!worker_.joinable()) return;
    signals_.stop = true;
    worker_.join();
}

void EngineLoop::handshake(const Dialect& dialect) {
    dialect_ = &dialect;
    for (const std::string& line : handshakeLines(dialect, name_)) send(line);
}

void EngineLoop::setOption(const std::vector<std::string>& words) {
    const auto [name, value] = optionNameAndValue(words);
    OptionId id;
    // Anything unknown (bookfiles, usebook, UCI_Variant) changes nothing here.
    if (!findOption(name, id)) return;
    const std::string setting = lower(value);
    SearchSettings& s = searcher_.settings;
    switch (id) {
    case OptionId::UseMillisec:
        milliseconds_ = setting == "true" || setting == "on";
        break;
    case OptionId::Hash:
        searcher_.setHashSize(integer(value));
        break;
    case OptionId::Randomness: {
        static constexpr int NOISE[4] = { 0, 6, 16, 40 };
        s.eval.noise = NOISE[levelOf(setting)];
        break;
    }
    case OptionId::Pruning:
        s.pruning = levelOf(setting);
        break;
    case OptionId::Style: {
        // Risky plays for the attack and shuns draws; solid guards its king first.
        bool risky = setting == "risky", solid = setting == "solid";
        s.eval.mobility = risky ? 120 : solid ? 90 : 100;
        s.eval.ownAttack = risky ? 140 : solid ? 80 : 100;
        s.eval.ownDefence = risky ? 70 : solid ? 140 : 100;
        s.contempt = risky ? 40 : solid ? 0 : 15;
        break;
    }
    case OptionId::NewGame:
        searcher_.newGame();
        break;
    case OptionId::Ponder:
    case OptionId::MultiPv:
        s.lines = std::clamp(integer(value), 1, MAX_LINES);
        break;
    case OptionId::Threads:
        // 0 ("automatic" in the program) is one thread: games stay as they were.
        s.threads = std::clamp(integer(value), 1, MAX_THREADS);
        break;
    }
}

void EngineLoop::setPosition(const std::vector<std::string>& words) {
    std::string fen(START_FEN);
    size_t i = 1;
    if (i < words.size() && words[i] == "fen") {
        fen.clear();
        for (++i; i < words.size() && words[i] != "moves"; ++i) {
            if (!fen.empty()) fen += ' ';
            fen += words[i];
        }
    } else if (i < words.size() && words[i] == "startpos") {
        ++i;
    }
    position_.setFen(fen);
    banned_.clear();
    if (i < words.size() && words[i] == "moves")
        for (++i; i < words.size(); ++i) {
            Move move = parseMove(words[i]);
            // An illegal move ends the list.
            if (words[i].size() != 4 || !position_.isPseudoLegal(move) || !position_.makeMove(move))
                break;
            if (position_.gamePly() >= MAX_HISTORY - MAX_PLY - 8) position_.trimHistory(256);
        }
}

void EngineLoop::go(const std::vector<std::string>& words) {
    std::vector<Move> searchMoves, banned = banned_;
    GoLimits limits
        = readGo(*dialect_, words, position_.sideToMove() == RED, milliseconds_, searchMoves);
    if (!searchMoves.empty()) banAllBut(position_, searchMoves, banned);
    // Made on this thread, so that "isready" during the search finds it made.
    searcher_.prepare();
    signals_.stop = false;
    signals_.pondering = limits.ponder;
    signals_.startClock();
    worker_ = std::thread(&EngineLoop::searchThread, this, position_, std::move(banned), limits);
}

void EngineLoop::searchThread(Position position, std::vector<Move> banned, GoLimits limits) {
    SearchResult result = searcher_.run(position, banned, limits, signals_,
        [this](const SearchInfo& info) { send(infoLine(*dialect_, info)); });
    // A ponder or infinite search answers only when told to, unless it has no move.
    while (result.best && !signals_.stop.load() && (signals_.pondering.load() || limits.infinite))
        std::this_thread::sleep_for(std::chrono::milliseconds(1));
    send(bestMoveLine(*dialect_, result.best, result.ponder));
}

// "isready", "stop", "ponderhit" and "quit" are answered while a search runs; false
// for every other command.
bool EngineLoop::handleAnyTime(const std::string& command) {
    if (command == "isready") {
        // The table is made here at the latest; a running search has made it already.
        searcher_.prepare();
        send("readyok");
    } else if (command == "stop") {
        signals_.stop = true;
    } else if (command == "ponderhit") {
        // The "go ponder" line's limits count from now.
        signals_.startClock();
        signals_.pondering = false;
    } else {
        return false;
    }
    return true;
}

bool EngineLoop::handle(std::string_view text) {
    while (!text.empty() && (text.back() == '\r' || text.back() == '\n')) text.remove_suffix(1);
    const std::vector<std::string> words = splitWords(text);
    if (words.empty()) return true;
    const std::string& command = words[0];
    if (handleAnyTime(command)) return true;
    finishSearch();
    if (command == "quit") {
        if (!dialect_->quitReply.empty()) send(std::string(dialect_->quitReply));
        return false;
    }
    if (const Dialect* dialect = dialectOf(command))
        handshake(*dialect);
    else if (command == "setoption")
        setOption(words);
    else if (command == "ucinewgame")
        searcher_.newGame();
    else if (command == "position")
        setPosition(words);
    else if (command == "banmoves") {
        banned_.clear();
        for (size_t i = 1; i < words.size(); ++i)
            if (Move move = parseMove(words[i])) banned_.push_back(move);
    } else if (command == "go")
        go(words);
    else if (command == "d")
        send(position_.fen());
    else if (command == "perft" && words.size() >= 2) {
        auto start = Clock::now();
        std::uint64_t count = perft(position_, std::clamp(integer(words[1]), 0, 12));
        send("perft " + std::to_string(count) + " time " + std::to_string(millisSince(start)));
    } else if (command == "bench") {
        runBench(words.size() >= 2 ? std::clamp(integer(words[1]), 1, 30) : 0,
            words.size() >= 3 ? std::clamp(integer(words[2]), 1, MAX_THREADS) : 1,
            [this](const std::string& line) { send(line); });
    }
    return true;
}

int EngineLoop::run(std::FILE* in) {
    std::string line;
    for (int c; (c = std::fgetc(in)) != EOF;) {
        if (c != '\n') {
            line += char(c);
            continue;
        }
        if (!handle(line)) return 0;
        line.clear();
    }
    if (!line.empty() && !handle(line)) return 0;
    finishSearch();
    return 0;
}

} // namespace qinglan::bundled

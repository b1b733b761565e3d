#include "UcciLoop.h"

#include "rules/Board.h"

#include <algorithm>
#include <charconv>
#include <chrono>
#include <cstdlib>
#include <sstream>

namespace qinglan::bundled {

namespace {

constexpr const char* AUTHOR = "青岚象棋开发组";

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

double number(const std::string& text) {
    double value = 0;
    std::from_chars(text.data(), text.data() + text.size(), value);
    return value;
}

int levelOf(const std::string& value) {
    if (value == "none") return 0;
    if (value == "small") return 1;
    if (value == "large") return 3;
    return 2;
}

} // namespace

std::string engineNameFromPath(std::string_view path) {
    size_t slash = path.find_last_of("/\\");
    std::string_view name = slash == std::string_view::npos ? path : path.substr(slash + 1);
    if (name.size() > 4 && lower(std::string(name.substr(name.size() - 4))) == ".exe")
        name.remove_suffix(4);
    return std::string(name);
}

UcciLoop::UcciLoop(std::string name, std::FILE* out)
    : name_(std::move(name))
    , out_(out) {
    position_.setFen(START_FEN);
}

UcciLoop::~UcciLoop() {
    signals_.stop = true;
    if (worker_.joinable()) worker_.join();
}

void UcciLoop::send(const std::string& line) {
    std::lock_guard lock(outMutex_);
    std::fputs(line.c_str(), out_);
    std::fputc('\n', out_);
    std::fflush(out_);
}

void UcciLoop::finishSearch() {
    if (!worker_.joinable()) return;
    signals_.stop = true;
    worker_.join();
}

void UcciLoop::handshake() {
    send("id name " + name_);
    send("id copyright 青岚象棋");
    send(std::string("id author ") + AUTHOR);
    send("id user 青岚象棋用户");
    send("option usemillisec type check default false");
    send("option ponder type check default false");
    send("option hashsize type spin min 0 max 2048 default 0");
    send("option threads type spin min 0 max 1 default 0");
    send("option randomness type combo var none var small var medium var large default none");
    send("option pruning type combo var none var small var medium var large default medium");
    send("option style type combo var solid var normal var risky default normal");
    send("option newgame type button");
    send("ucciok");
}

void UcciLoop::setOption(const std::vector<std::string>& words) {
    // "setoption NAME VALUE" as UCCI has it; "setoption name NAME value VALUE" too.
    std::string name, value;
    if (words.size() >= 3 && lower(words[1]) == "name") {
        name = lower(words[2]);
        auto at = std::find(words.begin(), words.end(), "value");
        if (at != words.end() && at + 1 != words.end()) value = *(at + 1);
    } else if (words.size() >= 2) {
        name = lower(words[1]);
        if (words.size() >= 3) value = words[2];
    }
    const std::string setting = lower(value);
    SearchSettings& s = searcher_.settings;
    if (name == "usemillisec") {
        milliseconds_ = setting == "true" || setting == "on";
    } else if (name == "hashsize" || name == "hash") {
        searcher_.setHashSize(int(number(value)));
    } else if (name == "randomness") {
        static constexpr int NOISE[4] = { 0, 6, 16, 40 };
        s.eval.noise = NOISE[levelOf(setting)];
    } else if (name == "pruning") {
        s.pruning = levelOf(setting);
    } else if (name == "style") {
        // Risky plays for the attack and shuns draws; solid guards its king first.
        bool risky = setting == "risky", solid = setting == "solid";
        s.eval.mobility = risky ? 120 : solid ? 90 : 100;
        s.eval.ownAttack = risky ? 140 : solid ? 80 : 100;
        s.eval.ownDefence = risky ? 70 : solid ? 140 : 100;
        s.contempt = risky ? 40 : solid ? 0 : 15;
    } else if (name == "newgame") {
        searcher_.newGame();
    }
    // ponder, threads, bookfiles, usebook and anything unknown change nothing here.
}

void UcciLoop::setPosition(const std::vector<std::string>& words) {
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

void UcciLoop::go(const std::vector<std::string>& words) {
    GoLimits limits;
    const double unit = milliseconds_ ? 1.0 : 1000.0;
    for (size_t i = 1; i < words.size(); ++i) {
        const std::string& key = words[i];
        const bool hasValue = i + 1 < words.size();
        const double value = hasValue ? number(words[i + 1]) : 0;
        if (key == "ponder")
            limits.ponder = true;
        else if (key == "infinite")
            limits.infinite = true;
        else if (!hasValue)
            continue;
        else if (key == "time")
            limits.time = std::int64_t(value * unit), ++i;
        else if (key == "increment")
            limits.increment = std::int64_t(value * unit), ++i;
        else if (key == "movestogo")
            limits.movesToGo = int(value), limits.movesToGoGiven = true, ++i;
        else if (key == "opptime")
            limits.oppTimeGiven = true, ++i;
        else if (key == "movetime")
            limits.moveTime = std::int64_t(value), ++i;
        else if (key == "depth")
            limits.depth = std::max(1, int(value)), ++i;
        else if (key == "nodes")
            limits.nodes = std::uint64_t(std::max(1.0, value)), ++i;
    }
    if (limits.time < -1) limits.time = 0;
    signals_.stop = false;
    signals_.pondering = limits.ponder;
    signals_.startClock();
    worker_ = std::thread(&UcciLoop::searchThread, this, position_, banned_, limits);
}

void UcciLoop::searchThread(Position position, std::vector<Move> banned, GoLimits limits) {
    SearchResult result = searcher_.run(
        position, banned, limits, signals_, [this](const std::string& line) { send(line); });
    if (result.best == 0) {
        send("nobestmove");
        return;
    }
    // A ponder or infinite search answers only when told to.
    while (!signals_.stop.load() && (signals_.pondering.load() || limits.infinite))
        std::this_thread::sleep_for(std::chrono::milliseconds(1));
    std::string line = "bestmove " + moveText(result.best);
    if (result.ponder) line += " ponder " + moveText(result.ponder);
    send(line);
}

bool UcciLoop::handle(std::string_view text) {
    while (!text.empty() && (text.back() == '\r' || text.back() == '\n')) text.remove_suffix(1);
    const std::vector<std::string> words = splitWords(text);
    if (words.empty()) return true;
    const std::string& command = words[0];
    if (command == "isready") {
        send("readyok");
    } else if (command == "stop") {
        signals_.stop = true;
    } else if (command == "ponderhit") {
        // The "go ponder" line's limits count from now.
        signals_.startClock();
        signals_.pondering = false;
    } else if (command == "quit") {
        finishSearch();
        send("bye");
        return false;
    } else {
        finishSearch();
        if (command == "ucci")
            handshake();
        else if (command == "setoption")
            setOption(words);
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
            std::uint64_t count = perft(position_, std::clamp(int(number(words[1])), 0, 12));
            send("perft " + std::to_string(count) + " time " + std::to_string(millisSince(start)));
        } else if (command == "bench") {
            runBench(words.size() >= 2 ? std::clamp(int(number(words[1])), 1, 30) : 0,
                [this](const std::string& line) { send(line); });
        }
    }
    return true;
}

int UcciLoop::run(std::FILE* in) {
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

// qinglan-fake-engine: a small UCCI (or, on request, UCI-only) engine for the tests of
// the engine link. It plays legal moves and misbehaves on request. Chosen by environment variables
// read at start:
//   QINGLAN_FAKE_TRANSCRIPT  file that gets every line received, as it arrives
//   QINGLAN_FAKE_NAME        the "id name" (default FakeEngine)
//   QINGLAN_FAKE_BOOK        the book named in "option bookfiles ... default" (book.dat)
//   QINGLAN_FAKE_MODE        comma-separated flags, see Mode below; "delay=MS" too
// In the "analyst" mode it searches one ply by material and reports its best lines ranked
// (as many as "multipv"/"MultiPV" asks), at once when a search starts.
//   QINGLAN_FAKE_OPTIONS     file whose lines are said, as they stand, before "ucciok"/"uciok";
//                            a line that starts "ucci:" or "uci:" only in that protocol
// As UCI engines that play many variants do, it plays chess (and answers e2e4) until
// told "setoption name UCI_Variant value xiangqi".
#include "rules/Board.h"

#include <algorithm>
#include <cctype>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <functional>
#include <optional>
#include <poll.h>
#include <sstream>
#include <string>
#include <thread>
#include <unistd.h>
#include <vector>

using namespace qinglan;
using Clock = std::chrono::steady_clock;

namespace {

struct Mode {
    bool burst = false; // the whole answer to "ucci" in one write
    bool splitCrlf = false; // CR and LF in two writes with a pause between
    bool lf = false; // LF-only line ends (default CR LF)
    bool banner = false; // a banner and an empty line before the id lines
    bool silent = false; // answers nothing at all
    bool ucciokSpace = false; // "ucciok " instead of "ucciok"
    bool nobestmove = false, none = false, illegal = false; // the reply to every go
    bool ponder = false, ponderTrailing = false; // "ponder Y" (and " draw") after bestmove
    bool ponderEnds = false; // a ponder search answers at once, before any ponderhit
    bool crashOnGo = false; // a partial line, then an abrupt exit
    bool ignoreStop = false; // never answers stop, never finishes a search
    bool ignoreQuit = false;
    bool flood = false; // megabytes without a line end at every go
    bool chatter = false; // endless info lines at go, never reading input again
    bool info = false; // an info line with a pv before bestmove
    bool gbkName = false; // the id name in GBK bytes
    bool uci = false; // UCI only: "Unknown command" to "ucci", 0-based ranks
    bool uci1 = false; // as uci, with ranks numbered from 1 ("h3e3", "a10a9")
    bool both = false; // as uci, but answers "ucci" as a UCCI engine does
    bool slowUcci = false; // answers "ucci" only after 2.5 s of silence (a big book loading)
    bool analyst = false; // best lines by material, ranked, said when a search starts
    int delayMs = 0; // thinking time of a search that is not infinite or pondering
};

const std::pair<std::string_view, bool Mode::*> FLAGS[] = {
    { "burst", &Mode::burst },
    { "split-crlf", &Mode::splitCrlf },
    { "lf", &Mode::lf },
    { "banner", &Mode::banner },
    { "silent", &Mode::silent },
    { "ucciok-space", &Mode::ucciokSpace },
    { "nobestmove", &Mode::nobestmove },
    { "none", &Mode::none },
    { "slow-ucci", &Mode::slowUcci },
    { "illegal", &Mode::illegal },
    { "ponder", &Mode::ponder },
    { "ponder-trailing", &Mode::ponderTrailing },
    { "ponder-ends", &Mode::ponderEnds },
    { "crash-on-go", &Mode::crashOnGo },
    { "ignore-stop", &Mode::ignoreStop },
    { "ignore-quit", &Mode::ignoreQuit },
    { "flood", &Mode::flood },
    { "chatter", &Mode::chatter },
    { "info", &Mode::info },
    { "gbk-name", &Mode::gbkName },
    { "uci", &Mode::uci },
    { "uci1", &Mode::uci1 },
    { "both", &Mode::both },
    { "analyst", &Mode::analyst },
};

// Material from the side to move's view, in centipawns, read off the FEN.
int materialBalance(const Board& board) {
    static constexpr std::pair<char, int> VALUES[]
        = { { 'r', 900 }, { 'n', 400 }, { 'c', 450 }, { 'b', 200 }, { 'a', 200 }, { 'p', 100 } };
    const std::string fen = board.toFen();
    int red = 0;
    for (char c : fen.substr(0, fen.find(' ')))
        for (const auto& [piece, value] : VALUES) {
            if (c == piece) red -= value;
            if (c == std::toupper(piece)) red += value;
        }
    return board.isRedToMove() ? red : -red;
}

Mode readMode() {
    Mode mode;
    const char* env = std::getenv("QINGLAN_FAKE_MODE");
    std::string flags = env ? env : "";
    std::size_t start = 0;
    while (start <= flags.size()) {
        std::size_t end = flags.find(',', start);
        if (end == std::string::npos) end = flags.size();
        std::string flag = flags.substr(start, end - start);
        start = end + 1;
        bool known = flag.empty();
        for (const auto& [name, field] : FLAGS) {
            if (flag == name) mode.*field = known = true;
        }
        if (flag.starts_with("delay=")) {
            mode.delayMs = std::atoi(flag.c_str() + 6);
            known = true;
        }
        if (!known) { // a mistyped flag must not pass unnoticed
            std::fprintf(stderr, "qinglan-fake-engine: unknown mode %s\n", flag.c_str());
            std::exit(2);
        }
    }
    mode.uci |= mode.uci1 || mode.both;
    return mode;
}

// Every rank number in line after the first `after` moved by delta.
std::string shiftRanks(const std::string& line, const std::string& after, int delta) {
    std::size_t at = line.find(after);
    if (at == std::string::npos) return line;
    at += after.size();
    std::string out = line.substr(0, at);
    for (std::size_t i = at; i < line.size();) {
        if (!std::isdigit(static_cast<unsigned char>(line[i]))) {
            out += line[i++];
            continue;
        }
        std::size_t end = i;
        while (end < line.size() && std::isdigit(static_cast<unsigned char>(line[end]))) ++end;
        out += std::to_string(std::stoi(line.substr(i, end - i)) + delta);
        i = end;
    }
    return out;
}

std::string envOr(const char* name, const char* fallback) {
    const char* value = std::getenv(name);
    return value ? value : fallback;
}

void writeAll(std::string_view bytes) {
    while (!bytes.empty()) {
        ssize_t done = ::write(STDOUT_FILENO, bytes.data(), bytes.size());
        if (done <= 0) std::_Exit(1); // nobody listens any more
        bytes.remove_prefix(static_cast<std::size_t>(done));
    }
}

class FakeEngine {
public:
    explicit FakeEngine(Mode mode)
        : mode_(mode) { }
    int run();

private:
    void say(const std::string& line);
    void flush();
    void onLine(const std::string& line);
    void greet();
    void greetUci();
    void sayExtraOptions(const std::string& protocol);
    bool onUciLine(const std::string& line);
    void startSearch(const std::string& line);
    void answerSearch();
    std::string pickMove(const Board& board, bool restricted) const;
    std::string reply();
    // The allowed moves best first by the material they leave, with that material.
    std::vector<std::pair<std::string, int>> rankedMoves() const;
    void sayBestLines();

    Mode mode_;
    std::string outgoing_; // collects a burst
    bool bursting_ = false;
    Board board_;
    bool searching_ = false;
    bool pondering_ = false;
    std::optional<Clock::time_point> answerAt_; // none: waits for stop or ponderhit
    std::vector<std::string> searchMoves_; // UCI "searchmoves", 0-based
    bool speaksUci_ = false;
    std::string variant_ = "chess"; // UCI only
    int lines_ = 1; // best lines to report (analyst)
};

void FakeEngine::say(const std::string& line) {
    if (mode_.silent) return;
    if (mode_.splitCrlf) {
        writeAll(line + "\r");
        std::this_thread::sleep_for(std::chrono::milliseconds(40));
        writeAll("\n");
        return;
    }
    outgoing_ += line + (mode_.lf ? "\n" : "\r\n");
    if (!bursting_) flush();
}

void FakeEngine::flush() {
    writeAll(outgoing_);
    outgoing_.clear();
}

void FakeEngine::greet() {
    if (mode_.slowUcci) std::this_thread::sleep_for(std::chrono::milliseconds(2500));
    bursting_ = mode_.burst;
    if (mode_.banner) {
        say("FakeEngine test build, not for play");
        say("");
    }
    say("id name "
        + (mode_.gbkName ? std::string("\xCF\xF3\xC6\xE5")
                         : envOr("QINGLAN_FAKE_NAME", "FakeEngine")));
    say("id author qinglan tests");
    say("option usemillisec type check default false");
    say("option hashsize type spin min 0 max 1024 default 16");
    say("option bookfiles type string default " + envOr("QINGLAN_FAKE_BOOK", "book.dat"));
    if (mode_.analyst) say("option multipv type spin min 1 max 5 default 1");
    sayExtraOptions("ucci");
    say(mode_.ucciokSpace ? "ucciok " : "ucciok");
    if (mode_.burst) say("info string after ucciok in the same write");
    bursting_ = false;
    flush();
}

void FakeEngine::sayExtraOptions(const std::string& protocol) {
    const char* path = std::getenv("QINGLAN_FAKE_OPTIONS");
    if (!path) return;
    std::ifstream in(path);
    for (std::string line; std::getline(in, line);) {
        const std::size_t colon = line.find(':');
        const std::string tag = colon == std::string::npos ? "" : line.substr(0, colon);
        if (tag != "ucci" && tag != "uci")
            say(line);
        else if (tag == protocol)
            say(line.substr(colon + 1));
    }
}

void FakeEngine::greetUci() {
    bursting_ = true;
    say("id name " + envOr("QINGLAN_FAKE_NAME", "FakeEngine"));
    say("id author qinglan tests");
    say("option name Ponder type check default false");
    say("option name Hash type spin default 16 min 1 max 1024");
    say("option name Protocol type combo default uci var uci var ucci var xboard");
    say("option name UCI_Variant type combo default chess var chess var xiangqi");
    if (mode_.analyst) say("option name MultiPV type spin default 1 min 1 max 5");
    sayExtraOptions("uci");
    say("uciok");
    bursting_ = false;
    flush();
}

// True when the line was a UCI matter and has been dealt with.
bool FakeEngine::onUciLine(const std::string& line) {
    const int toZero = mode_.uci1 ? -1 : 0;
    if (line == "ucci" && !mode_.both)
        say("Unknown command: ucci");
    else if (line == "ucci")
        return false;
    else if (line == "uci") {
        speaksUci_ = true;
        greetUci();
    } else if (line.starts_with("setoption name UCI_Variant value "))
        variant_ = line.substr(33);
    else if (line.starts_with("setoption name MultiPV value "))
        lines_ = std::atoi(line.c_str() + 29);
    else if (line == "isready")
        say("readyok");
    else if (line.starts_with("position "))
        board_.setPosition(shiftRanks(line, " moves ", toZero));
    else if (line.starts_with("go")) {
        searchMoves_.clear();
        std::istringstream words(shiftRanks(line, " searchmoves ", toZero));
        std::string word;
        while (words >> word && word != "searchmoves") { }
        while (words >> word) searchMoves_.push_back(word);
        return false;
    } else
        return false;
    return true;
}

// Legal, deterministic, and different from position to position so games go on.
std::string FakeEngine::pickMove(const Board& board, bool restricted) const {
    int found[MAX_PSEUDO_MOVES];
    int all = board.generateLegalMoves(found);
    std::vector<int> moves;
    for (int i = 0; i < all; ++i) {
        bool allowed = !restricted || searchMoves_.empty()
            || std::ranges::count(searchMoves_, moveToCoord(found[i]));
        if (allowed) moves.push_back(found[i]);
    }
    int count = static_cast<int>(moves.size());
    if (count == 0) return {};
    std::size_t index = std::hash<std::string> {}(board.toFen()) % static_cast<std::size_t>(count);
    return moveToCoord(moves[index]);
}

std::vector<std::pair<std::string, int>> FakeEngine::rankedMoves() const {
    int found[MAX_PSEUDO_MOVES];
    const int count = board_.generateLegalMoves(found);
    std::vector<std::pair<std::string, int>> ranked;
    for (int i = 0; i < count; ++i) {
        const std::string move = moveToCoord(found[i]);
        if (!searchMoves_.empty() && !std::ranges::count(searchMoves_, move)) continue;
        Board after = board_;
        after.makeMoveText(move);
        ranked.emplace_back(move, -materialBalance(after));
    }
    std::ranges::sort(ranked, [](const auto& a, const auto& b) {
        return a.second != b.second ? a.second > b.second : a.first < b.first;
    });
    return ranked;
}

void FakeEngine::sayBestLines() {
    const auto ranked = rankedMoves();
    for (int k = 0; k < std::min<int>(lines_, static_cast<int>(ranked.size())); ++k) {
        const std::string info = "info depth 1 multipv " + std::to_string(k + 1) + " score "
            + (mode_.uci ? "cp " : "") + std::to_string(ranked[k].second) + " nodes "
            + std::to_string(ranked.size()) + " pv " + ranked[k].first;
        say(mode_.uci1 ? shiftRanks(info, " pv ", 1) : info);
    }
}

std::string FakeEngine::reply() {
    if (mode_.nobestmove) return "nobestmove";
    if (mode_.none) return "bestmove (none)";
    const auto ranked = mode_.analyst ? rankedMoves() : decltype(rankedMoves()) {};
    std::string move
        = mode_.analyst ? (ranked.empty() ? "" : ranked.front().first) : pickMove(board_, true);
    if (mode_.illegal) return board_.isLegalMoveText("a0a9") ? "bestmove a0a0" : "bestmove a0a9";
    if (speaksUci_ && variant_ != "xiangqi") return "bestmove e2e4";
    if (move.empty()) return mode_.uci ? "bestmove 0000" : "nobestmove";
    Board after = board_;
    after.makeMoveText(move);
    std::string guess = pickMove(after, false);
    if (mode_.info) {
        std::string info = "info depth 1 score 12 time 5 nodes 100 pv " + move
            + (guess.empty() ? "" : " " + guess);
        say(mode_.uci1 ? shiftRanks(info, " pv ", 1) : info);
    }
    std::string line = "bestmove " + move;
    if ((mode_.ponder || mode_.ponderTrailing) && !guess.empty()) line += " ponder " + guess;
    if (mode_.ponderTrailing) line += " draw";
    return mode_.uci1 ? shiftRanks(line, "bestmove ", 1) : line;
}

void FakeEngine::startSearch(const std::string& line) {
    if (mode_.crashOnGo) {
        writeAll("info depth 1 cut sh");
        std::_Exit(3);
    }
    if (mode_.chatter) {
        std::string lines;
        while (lines.size() < 65536) lines += "info depth 1 chatter\n";
        while (true) writeAll(lines);
    }
    // Three times the engine link's line cap, without a line end.
    if (mode_.flood) writeAll(std::string(3 << 20, 'x'));
    searching_ = true;
    pondering_ = line.starts_with("go ponder");
    if (mode_.analyst) sayBestLines();
    bool waits
        = (pondering_ && !mode_.ponderEnds) || line.starts_with("go infinite") || mode_.ignoreStop;
    answerAt_.reset();
    if (!waits) answerAt_ = Clock::now() + std::chrono::milliseconds(mode_.delayMs);
}

void FakeEngine::answerSearch() {
    searching_ = pondering_ = false;
    answerAt_.reset();
    // The info line and the reply arrive together, as from a fast engine.
    bursting_ = true;
    // As real engines do, the final lines come again with the reply.
    if (mode_.analyst) sayBestLines();
    std::string line = reply();
    say(line);
    bursting_ = false;
    flush();
}

void FakeEngine::onLine(const std::string& line) {
    if (mode_.uci && onUciLine(line)) return;
    if (line == "ucci")
        greet();
    else if (line.starts_with("position "))
        board_.setPosition(line);
    else if (line.starts_with("setoption multipv "))
        lines_ = std::atoi(line.c_str() + 18);
    else if (line.starts_with("go"))
        startSearch(line);
    else if (line == "ponderhit" && pondering_ && !mode_.ignoreStop) {
        pondering_ = false;
        answerAt_ = Clock::now() + std::chrono::milliseconds(mode_.delayMs);
    } else if (line == "stop" && searching_ && !mode_.ignoreStop)
        answerSearch();
    else if (line == "quit" && !mode_.ignoreQuit) {
        say("bye");
        std::exit(0);
    }
}

int FakeEngine::run() {
    FILE* transcript = nullptr;
    if (const char* path = std::getenv("QINGLAN_FAKE_TRANSCRIPT"))
        transcript = std::fopen(path, "a");
    std::string input;
    while (true) {
        int timeout = -1;
        if (answerAt_) {
            auto left
                = std::chrono::duration_cast<std::chrono::milliseconds>(*answerAt_ - Clock::now());
            timeout = std::max<int>(0, static_cast<int>(left.count()));
        }
        pollfd in { STDIN_FILENO, POLLIN, 0 };
        if (poll(&in, 1, timeout) == 0) {
            answerSearch();
            continue;
        }
        char chunk[4096];
        ssize_t got = ::read(STDIN_FILENO, chunk, sizeof chunk);
        if (got <= 0) return 0; // end of input: the program that ran us is gone
        input.append(chunk, static_cast<std::size_t>(got));
        std::size_t lf;
        while ((lf = input.find('\n')) != std::string::npos) {
            std::string line = input.substr(0, lf);
            input.erase(0, lf + 1);
            if (!line.empty() && line.back() == '\r') line.pop_back();
            if (transcript) {
                std::fprintf(transcript, "%s\n", line.c_str());
                std::fflush(transcript);
            }
            onLine(line);
        }
    }
}

} // namespace

int main() {
    return FakeEngine(readMode()).run();
}

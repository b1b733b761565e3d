#include "Dialect.h"

#include <algorithm>
#include <charconv>

namespace qinglan::bundled {

namespace {

constexpr const char* AUTHOR = "青岚象棋开发组";

constexpr Dialect UCCI { "ucci", "ucciok", "nobestmove", "bye", true, false, false, false, false };
constexpr Dialect UCI { "uci", "uciok", "bestmove 0000", "", false, true, true, true, true };

// How each protocol announces an option after its name; "" where it has none (UCI
// starts a new game with "ucinewgame" and always counts in milliseconds).
struct OptionRow {
    OptionId id;
    std::string_view ucciName, uciName;
    std::string_view ucciDeclaration, uciDeclaration;
};

constexpr std::string_view LEVELS = "var none var small var medium var large";
constexpr OptionRow OPTIONS[] = {
    { OptionId::UseMillisec, "usemillisec", "", "type check default false", "" },
    { OptionId::Ponder, "ponder", "Ponder", "type check default false",
        "type check default false" },
    { OptionId::Hash, "hashsize", "Hash", "type spin min 0 max 2048 default 0",
        "type spin default 64 min 1 max 2048" },
    { OptionId::Threads, "threads", "Threads", "type spin min 0 max 8 default 0",
        "type spin default 1 min 1 max 8" },
    { OptionId::MultiPv, "multipv", "MultiPV", "type spin min 1 max 5 default 1",
        "type spin default 1 min 1 max 5" },
    { OptionId::Randomness, "randomness", "Randomness", "type combo * default none",
        "type combo default none *" },
    { OptionId::Pruning, "pruning", "Pruning", "type combo * default medium",
        "type combo default medium *" },
    { OptionId::Style, "style", "Style", "type combo var solid var normal var risky default normal",
        "type combo default normal var solid var normal var risky" },
    { OptionId::NewGame, "newgame", "", "type button", "" },
};

bool sameName(std::string_view a, std::string_view b) {
    return a.size() == b.size() && std::equal(a.begin(), a.end(), b.begin(), [](char x, char y) {
        return (x | 0x20) == (y | 0x20);
    });
}

// "*" in a declaration stands for the four levels of randomness and pruning.
std::string spelledOut(std::string_view declaration) {
    std::string text(declaration);
    if (size_t star = text.find('*'); star != std::string::npos) text.replace(star, 1, LEVELS);
    return text;
}

// Texts are appended to, not added to a literal: GCC 12 warns falsely about the latter.
std::string scoreText(const Dialect& dialect, int score) {
    if (!dialect.typedScores) return std::to_string(score);
    // UCI counts a mate in moves, not plies: negative when the engine is mated.
    if (score >= MATE_BOUND)
        return std::string("mate ").append(std::to_string((MATE - score + 1) / 2));
    if (score <= -MATE_BOUND)
        return std::string("mate -").append(std::to_string((MATE + score) / 2));
    return std::string("cp ").append(std::to_string(score));
}

// The go words with a number after them. UCI names the clocks by colour; they are read
// as the side to move's and the other side's. UCCI's own clock words may be in seconds.
enum class GoField { Time, Increment, OppTime, OppIncrement, MovesToGo, MoveTime, Depth, Nodes };
struct GoWord {
    std::string_view word;
    GoField red, black; // what it sets when that side is to move
    bool inSeconds;
};
constexpr GoWord GO_WORDS[] = {
    { "time", GoField::Time, GoField::Time, true },
    { "increment", GoField::Increment, GoField::Increment, true },
    { "opptime", GoField::OppTime, GoField::OppTime, true },
    { "oppincrement", GoField::OppIncrement, GoField::OppIncrement, true },
    { "wtime", GoField::Time, GoField::OppTime, false },
    { "btime", GoField::OppTime, GoField::Time, false },
    { "winc", GoField::Increment, GoField::OppIncrement, false },
    { "binc", GoField::OppIncrement, GoField::Increment, false },
    { "movestogo", GoField::MovesToGo, GoField::MovesToGo, false },
    { "movetime", GoField::MoveTime, GoField::MoveTime, false },
    { "depth", GoField::Depth, GoField::Depth, false },
    { "nodes", GoField::Nodes, GoField::Nodes, false },
};

const GoWord* goWord(std::string_view word) {
    auto row = std::find_if(
        std::begin(GO_WORDS), std::end(GO_WORDS), [&](const GoWord& w) { return w.word == word; });
    return row == std::end(GO_WORDS) ? nullptr : row;
}

double number(const std::string& text) {
    double value = 0;
    std::from_chars(text.data(), text.data() + text.size(), value);
    return value;
}

void setField(GoLimits& limits, GoField field, double value) {
    switch (field) {
    case GoField::Time:
        limits.time = std::int64_t(value);
        break;
    case GoField::Increment:
        limits.increment = std::int64_t(value);
        break;
    case GoField::OppTime:
        limits.oppTimeGiven = true;
        break;
    case GoField::OppIncrement:
        break;
    case GoField::MovesToGo:
        limits.movesToGo = int(value), limits.movesToGoGiven = true;
        break;
    case GoField::MoveTime:
        limits.moveTime = std::int64_t(value);
        break;
    case GoField::Depth:
        limits.depth = std::max(1, int(value));
        break;
    case GoField::Nodes:
        limits.nodes = std::uint64_t(std::max(1.0, value));
        break;
    }
}

} // namespace

const Dialect* dialectOf(std::string_view hello) {
    for (const Dialect* dialect : { &UCCI, &UCI })
        if (dialect->hello == hello) return dialect;
    return nullptr;
}

const Dialect& defaultDialect() {
    return UCCI;
}

bool findOption(std::string_view name, OptionId& id) {
    for (const OptionRow& row : OPTIONS)
        if (sameName(name, row.ucciName) || (!row.uciName.empty() && sameName(name, row.uciName))) {
            id = row.id;
            return true;
        }
    return false;
}

std::vector<std::string> handshakeLines(const Dialect& dialect, const std::string& name) {
    std::vector<std::string> lines { "id name " + name };
    if (dialect.fullIdentity) lines.push_back("id copyright 青岚象棋");
    lines.push_back(std::string("id author ") + AUTHOR);
    if (dialect.fullIdentity) lines.push_back("id user 青岚象棋用户");
    for (const OptionRow& row : OPTIONS) {
        const std::string_view declaration
            = dialect.namedOptions ? row.uciDeclaration : row.ucciDeclaration;
        if (declaration.empty()) continue;
        const std::string title
            = dialect.namedOptions ? "name " + std::string(row.uciName) : std::string(row.ucciName);
        lines.push_back("option " + title + " " + spelledOut(declaration));
    }
    lines.emplace_back(dialect.helloOk);
    return lines;
}

std::string infoLine(const Dialect& dialect, const SearchInfo& info) {
    const std::uint64_t nps
        = info.nodes * 1000 / std::uint64_t(std::max<std::int64_t>(info.timeMs, 1));
    std::string line = "info depth ";
    line.append(std::to_string(info.depth));
    if (info.lines > 1) line.append(" multipv ").append(std::to_string(info.rank));
    line.append(" score ").append(scoreText(dialect, info.score));
    line.append(" time ").append(std::to_string(info.timeMs));
    line.append(" nodes ").append(std::to_string(info.nodes));
    line.append(" nps ").append(std::to_string(nps)).append(" pv");
    for (Move move : info.pv) line.append(" ").append(moveText(move));
    return line;
}

std::string bestMoveLine(const Dialect& dialect, Move best, Move ponder) {
    if (!best) return std::string(dialect.noMove);
    std::string line = "bestmove ";
    line.append(moveText(best));
    if (ponder) line.append(" ponder ").append(moveText(ponder));
    return line;
}

GoLimits readGo(const Dialect& dialect, const std::vector<std::string>& words, bool redToMove,
    bool milliseconds, std::vector<Move>& searchMoves) {
    GoLimits limits;
    const double secondsUnit = milliseconds || dialect.alwaysMilliseconds ? 1.0 : 1000.0;
    bool listingMoves = false;
    for (size_t i = 1; i < words.size(); ++i) {
        const std::string& word = words[i];
        const GoWord* key = goWord(word);
        if (word == "ponder" || word == "infinite" || word == "searchmoves" || key)
            listingMoves = false;
        if (word == "ponder")
            limits.ponder = true;
        else if (word == "infinite")
            limits.infinite = true;
        else if (word == "searchmoves")
            listingMoves = true;
        else if (listingMoves)
            searchMoves.push_back(parseMove(word));
        else if (key && i + 1 < words.size())
            setField(limits, redToMove ? key->red : key->black,
                number(words[++i]) * (key->inSeconds ? secondsUnit : 1.0));
    }
    if (limits.time < -1) limits.time = 0;
    if (dialect.clocksCountDown && limits.time >= 0) limits.oppTimeGiven = true;
    return limits;
}

} // namespace qinglan::bundled

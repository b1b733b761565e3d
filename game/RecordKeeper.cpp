#include "game/RecordKeeper.h"

#include "game/GameResult.h"
#include "game/GameState.h"

#include <algorithm>
#include <ctime>

namespace qinglan {

namespace {

constexpr int MAX_INDENT_LEVELS = 3;

std::string today() {
    const std::time_t now = std::time(nullptr);
    std::tm local {};
    localtime_r(&now, &local);
    char text[16];
    std::strftime(text, sizeof text, "%Y.%m.%d", &local);
    return text;
}

struct ListBuilder {
    const GameRecord& game;
    MoveListText& list;

    // The moves of a line from first on: a variation (level > 0) starts with its move
    // number whoever moves, and each move's alternatives follow it one level deeper.
    void addLine(int first, int level, int pliesBefore) {
        int plies = pliesBefore;
        for (int node = first; node != GameRecord::NONE; node = game.firstChild(node)) {
            list.append(lineOf(node, level, plies, node == first && level > 0), node);
            ++plies;
            if (node == first && level > 0) continue; // its siblings are the caller's
            for (int other = game.nextSibling(node); other != GameRecord::NONE;
                 other = game.nextSibling(other))
                addLine(other, level + 1, plies - 1);
        }
    }

    std::string lineOf(int node, int level, int pliesBefore, bool opensVariation) const {
        const Board& before = game.positionAfter(game.parentOf(node));
        const bool red = before.isRedToMove();
        std::string notation = before.moveToChinese(game.moveText(node));
        for (int nag : game.nags(node)) notation += annotationGlyph(nag);
        std::string line = MoveListText::lineFor(pliesBefore, red, notation);
        if (opensVariation && !red) line = std::to_string(pliesBefore / 2 + 1) + "..." + notation;
        return std::string(2 * std::min(level, MAX_INDENT_LEVELS), ' ') + line;
    }
};

} // namespace

std::string_view annotationGlyph(int nag) {
    static constexpr std::string_view GLYPHS[] = { "", "!", "?", "!!", "??", "!?", "?!" };
    return nag > 0 && nag < 7 ? GLYPHS[nag] : std::string_view();
}

RecordKeeper::RecordKeeper(GameState& state)
    : state_(state) { }

void RecordKeeper::startFromBoard() {
    const Board& board = state_.board;
    RecordedGame fresh;
    for (std::string_view name :
        { tags::EVENT, tags::SITE, tags::DATE, tags::ROUND, tags::RED, tags::BLACK, tags::RESULT })
        fresh.game.setTag(name, "");
    fresh.game.setTag(tags::DATE, today());
    fresh.game.setTag(tags::RESULT, "*");
    fresh.game.setStartFen(board.startFen());
    for (const MoveRecordEntry& entry : board.record()) {
        const int next = fresh.game.addMove(fresh.current, moveToCoord(entry.move));
        if (next == GameRecord::NONE) break;
        fresh.current = next;
    }
    state_.record = std::move(fresh);
    rebuildList();
}

void RecordKeeper::open(GameRecord game) {
    state_.record = RecordedGame { std::move(game), GameRecord::ROOT, false, true };
    moveTo(GameRecord::ROOT);
    rebuildList();
}

void RecordKeeper::moveTo(int node) {
    const GameRecord& game = state_.record.game;
    std::vector<int> path;
    for (int at = node; at != GameRecord::ROOT; at = game.parentOf(at)) path.push_back(at);
    state_.board.setPosition(game.startFen());
    for (auto it = path.rbegin(); it != path.rend(); ++it)
        state_.board.makeMoveText(game.moveText(*it));
    state_.record.current = node;
}

int RecordKeeper::stepTarget(BrowseStep step) const {
    const GameRecord& game = state_.record.game;
    const int current = state_.record.current;
    int target = GameRecord::NONE;
    switch (step) {
    case BrowseStep::Start:
        return GameRecord::ROOT;
    case BrowseStep::Back:
        target = current == GameRecord::ROOT ? GameRecord::NONE : game.parentOf(current);
        break;
    case BrowseStep::Forward:
        target = game.firstChild(current);
        break;
    case BrowseStep::End:
        target = current;
        while (game.firstChild(target) != GameRecord::NONE) target = game.firstChild(target);
        break;
    case BrowseStep::NextVariation:
        target = current == GameRecord::ROOT ? GameRecord::NONE : game.nextSibling(current);
        break;
    case BrowseStep::PreviousVariation:
        if (current == GameRecord::ROOT) break;
        for (int at = game.firstChild(game.parentOf(current)); at != current;
             at = game.nextSibling(at))
            target = at;
        break;
    }
    return target == GameRecord::NONE ? current : target;
}

bool RecordKeeper::needsBranchChoice(std::string_view move) const {
    const GameRecord& game = state_.record.game;
    const int first = game.firstChild(state_.record.current);
    for (int at = first; at != GameRecord::NONE; at = game.nextSibling(at))
        if (game.moveText(at) == move) return false;
    return first != GameRecord::NONE;
}

void RecordKeeper::recordMove(
    std::string_view move, Branching how, const std::optional<Evaluation>& evaluation) {
    RecordedGame& record = state_.record;
    GameRecord& game = record.game;
    for (int at = game.firstChild(record.current); at != GameRecord::NONE;
         at = game.nextSibling(at))
        if (game.moveText(at) == move) {
            record.current = at;
            return;
        }
    // The current node comes before its continuations, so removing them keeps its id.
    if (how == Branching::ReplaceRest)
        while (game.firstChild(record.current) != GameRecord::NONE)
            game.removeMove(game.firstChild(record.current));
    const int added = game.addMove(record.current, move);
    if (added == GameRecord::NONE) return;
    if (evaluation) game.setComment(added, evaluationComment(*evaluation));
    record.current = added;
    record.unsaved = true;
    rebuildList();
}

void RecordKeeper::takeBackPly() {
    RecordedGame& record = state_.record;
    if (record.current == GameRecord::ROOT) return;
    state_.board.undoMove();
    const int move = record.current;
    record.current = record.game.parentOf(move);
    if (record.game.firstChild(move) == GameRecord::NONE) {
        record.game.removeMove(move);
        record.unsaved = true;
    }
    rebuildList();
}

void RecordKeeper::noteResult(
    const GameResult& result, const std::string& red, const std::string& black) {
    GameRecord& game = state_.record.game;
    game.setTag(tags::RESULT, pgnResultToken(result));
    game.setTag(tags::TERMINATION, resultReasonText(result, red, black));
    state_.record.unsaved = true;
}

void RecordKeeper::setComment(int node, std::string_view text) {
    GameRecord& game = state_.record.game;
    if (node < 0 || node >= game.nodeCount()) return;
    const std::string before = game.comment(node);
    game.setComment(node, text);
    state_.record.unsaved |= game.comment(node) != before;
}

void RecordKeeper::setAnnotation(int node, int nag) {
    GameRecord& game = state_.record.game;
    if (node <= GameRecord::ROOT || node >= game.nodeCount()) return;
    game.clearNags(node);
    game.addNag(node, nag);
    state_.record.unsaved = true;
    rebuildList();
}

void RecordKeeper::setTags(const std::vector<RecordTag>& tags) {
    GameRecord& game = state_.record.game;
    for (const RecordTag& tag : tags) {
        if (game.tag(tag.name) == tag.value) continue;
        game.setTag(tag.name, tag.value);
        state_.record.unsaved = true;
    }
}

GameRecord RecordKeeper::recordWithDefaults() const {
    GameRecord game = state_.record.game;
    if (state_.record.opened) return game;
    // The players' names as the panels show them: an engine only counts while it runs.
    if (game.tag(tags::RED).empty()) game.setTag(tags::RED, state_.redPlayerName());
    if (game.tag(tags::BLACK).empty()) game.setTag(tags::BLACK, state_.blackPlayerName());
    return game;
}

bool RecordKeeper::hasUnsavedMoves() const {
    return state_.record.unsaved && state_.record.game.nodeCount() > 1;
}

void RecordKeeper::markSaved() {
    state_.record.unsaved = false;
}

void RecordKeeper::edit(const std::function<void(GameRecord&)>& change) {
    change(state_.record.game);
    state_.record.unsaved = true;
    rebuildList();
}

void RecordKeeper::rebuildList() {
    const GameRecord& game = state_.record.game;
    state_.moveList.clear();
    ListBuilder builder { game, state_.moveList };
    const int first = game.firstChild(GameRecord::ROOT);
    if (first != GameRecord::NONE) builder.addLine(first, 0, 0);
}

} // namespace qinglan

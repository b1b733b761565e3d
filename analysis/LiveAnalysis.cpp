#include "analysis/LiveAnalysis.h"

#include "enginelink/EngineProcess.h"
#include "rules/Board.h"

#include <algorithm>

namespace qinglan {

bool LiveAnalysis::searchingWanted(EngineProcess& engine) const {
    const std::optional<SearchRequest>& searched = engine.searched();
    return engine.state() == EngineState::Analysing && searched && *searched == wanted_;
}

void LiveAnalysis::show(EngineProcess& engine, const Board& position) {
    Board::History history = position.history();
    SearchRequest wanted { std::move(history.fen), std::move(history.moves), {},
        SearchMode::Analyse, {}, lines_ };
    if (active_ && wanted == wanted_) return;
    wanted_ = std::move(wanted);
    active_ = true;
    restart(engine);
}

void LiveAnalysis::setLines(EngineProcess& engine, int lines) {
    lines = std::clamp(lines, 1, MAX_LINES);
    if (lines == lines_) return;
    lines_ = wanted_.lines = lines;
    if (active_) restart(engine);
}

void LiveAnalysis::restart(EngineProcess& engine) {
    shown_.assign(static_cast<std::size_t>(lines_), ThinkingLine {});
    if (searchingWanted(engine)) return;
    // The old search ends first; its reply, read by poll, starts the new one.
    if (engine.isBusy())
        engine.requestStop();
    else
        engine.startSearch(wanted_);
}

bool LiveAnalysis::poll(EngineProcess& engine) {
    if (!active_) return false;
    bool changed = false;
    while (std::optional<ReceivedLine> received = engine.receive()) {
        if (!received->reply) continue;
        const auto* line = std::get_if<ThinkingLine>(&*received->reply);
        // A line of an older position, or of a search being stopped, is never shown.
        if (!line || !searchingWanted(engine)) continue;
        if (line->rank > lines_ || (!line->score && line->pv.empty())) continue;
        shown_[static_cast<std::size_t>(line->rank - 1)] = *line;
        changed = true;
    }
    if (engine.state() == EngineState::Idle) engine.startSearch(wanted_);
    return changed;
}

void LiveAnalysis::stop(EngineProcess& engine) {
    if (!active_) return;
    active_ = false;
    if (engine.isBusy()) engine.stopSearch(STOP_WAIT_MS);
    engine.clearReply(); // an analysis never plays its best move
}

} // namespace qinglan

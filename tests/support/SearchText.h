#pragma once

// Searches written as the UCCI text a reader knows ("position startpos moves h2e2",
// "go ponder depth 5"), read into the request the engine slot takes. The slot's UCCI
// dialect must write the same lines back (EngineDialect tests), so a reading error here
// shows there.
#include "enginelink/EngineProcess.h"
#include "enginelink/SearchRequest.h"
#include "rules/Board.h"

#include <sstream>
#include <string>
#include <vector>

namespace qinglan::test {

inline SearchRequest searchFor(const std::string& positionLine, const std::string& goLine,
    std::vector<std::string> banned = {}) {
    Board board;
    board.setPosition(positionLine);
    Board::History history = board.history();
    SearchRequest request { history.fen, history.moves, std::move(banned), SearchMode::Play, {},
        1 };
    std::istringstream words(goLine);
    std::string word;
    std::int64_t time = -1, increment = 0, oppTime = -1, oppIncrement = 0;
    std::optional<int> movesToGo;
    words >> word; // "go"
    while (words >> word) {
        std::int64_t value = 0;
        if (word == "ponder") {
            request.mode = SearchMode::Ponder;
        } else if (word == "infinite") {
            continue;
        } else if (words >> value) {
            if (word == "depth") request.limits.depth = static_cast<int>(value);
            if (word == "nodes") request.limits.nodes = value;
            if (word == "time") time = value;
            if (word == "increment") increment = value;
            if (word == "opptime") oppTime = value;
            if (word == "oppincrement") oppIncrement = value;
            if (word == "movestogo") movesToGo = static_cast<int>(value);
        }
    }
    if (time >= 0 && oppTime < 0) request.limits.moveTimeMs = time;
    if (time >= 0 && oppTime >= 0)
        request.limits.clock = SearchClock { time, oppTime, increment, oppIncrement, movesToGo };
    return request;
}

// Starts that search on the engine; false when the engine did not take it.
inline bool search(EngineProcess& engine, const std::string& positionLine,
    const std::string& goLine, std::vector<std::string> banned = {}) {
    return engine.startSearch(searchFor(positionLine, goLine, std::move(banned)));
}

} // namespace qinglan::test

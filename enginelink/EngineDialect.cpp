#include "enginelink/EngineDialect.h"

#include "enginelink/UciTranslation.h"
#include "rules/Board.h"
#include "rules/Pieces.h"

#include <algorithm>

namespace qinglan {

namespace {

std::string joined(const std::vector<std::string>& words, std::string_view lead = "") {
    std::string out(lead);
    for (const std::string& word : words) out += (out.empty() ? "" : " ") + word;
    return out;
}

// The moves the engine names in a reply, in the order they would be played.
std::vector<std::string> movesOf(const EngineReply& reply) {
    if (const auto* best = std::get_if<BestMove>(&reply)) {
        std::vector<std::string> moves { best->move };
        if (!best->ponder.empty()) moves.push_back(best->ponder);
        return moves;
    }
    if (const auto* info = std::get_if<ThinkingLine>(&reply)) return info->pv;
    return {};
}

void toZeroBased(EngineReply& reply) {
    if (auto* best = std::get_if<BestMove>(&reply)) {
        best->move = moveToZeroBased(best->move);
        best->ponder = moveToZeroBased(best->ponder);
    } else if (auto* info = std::get_if<ThinkingLine>(&reply)) {
        for (std::string& move : info->pv) move = moveToZeroBased(move);
    }
}

std::string ucciLimits(const SearchLimits& limits) {
    if (limits.moveTimeMs) {
        const std::string t = std::to_string(*limits.moveTimeMs);
        return "time " + t + " increment " + t;
    }
    if (const auto& clock = limits.clock) {
        const std::string my = std::to_string(clock->myTimeMs);
        const std::string opp = std::to_string(clock->oppTimeMs);
        if (clock->movesToGo) {
            const std::string togo = std::to_string(*clock->movesToGo);
            return "time " + my + " movestogo " + togo + " opptime " + opp + " oppmovestogo "
                + togo;
        }
        return "time " + my + " increment " + std::to_string(clock->myIncrementMs) + " opptime "
            + opp + " oppincrement " + std::to_string(clock->oppIncrementMs);
    }
    if (limits.depth) return "depth " + std::to_string(*limits.depth);
    if (limits.nodes) return "nodes " + std::to_string(*limits.nodes);
    return "infinite";
}

} // namespace

std::string positionLine(const SearchRequest& request, bool useStartpos) {
    std::string line = useStartpos && request.fen == START_FEN ? "position startpos"
                                                               : "position fen " + request.fen;
    if (!request.moves.empty()) line += joined(request.moves, " moves");
    return line;
}

Board searchedBoard(const SearchRequest& request) {
    Board board;
    board.setPosition(positionLine(request, false));
    return board;
}

EngineDialect::SearchStart UcciDialect::startSearch(
    const SearchRequest& request, bool useStartpos) const {
    SearchStart start;
    start.lines.push_back(positionLine(request, useStartpos));
    if (!request.banned.empty()) start.lines.push_back(joined(request.banned, "banmoves"));
    const char* go = request.mode == SearchMode::Ponder ? "go ponder " : "go ";
    start.lines.push_back(go + ucciLimits(request.limits));
    return start;
}

std::optional<EngineReply> UcciDialect::readReply(std::string_view line, const SearchRequest&) {
    return parseEngineReply(line);
}

EngineDialect::SearchStart UciDialect::startSearch(
    const SearchRequest& request, bool useStartpos) const {
    SearchStart start;
    const Board board = searchedBoard(request);
    std::string position = positionLine(request, useStartpos);
    if (rankBase_ == RankBase::One)
        position = positionToOneBased(position);
    else if (rankBase_ == RankBase::Unknown && !request.moves.empty())
        position = "position fen " + board.toFen();
    std::string go = goLine(request, board);
    if (!request.banned.empty()) {
        // UCI has no ban: the search is limited to the moves left.
        const std::string allowed = movesExceptBanned(board, request.banned);
        if (allowed.empty()) {
            start.answer = NoMove {};
            return start;
        }
        go += " searchmoves " + (rankBase_ == RankBase::One ? movesToOneBased(allowed) : allowed);
    }
    start.lines = { position, go };
    return start;
}

std::string UciDialect::goLine(const SearchRequest& request, const Board& board) const {
    std::string go = request.mode == SearchMode::Ponder ? "go ponder" : "go";
    const SearchLimits& limits = request.limits;
    const bool red = board.isRedToMove();
    if (limits.moveTimeMs) {
        go += " movetime " + std::to_string(*limits.moveTimeMs);
    } else if (const auto& clock = limits.clock) {
        go += (red ? " wtime " : " btime ") + std::to_string(clock->myTimeMs);
        go += (red ? " btime " : " wtime ") + std::to_string(clock->oppTimeMs);
        if (clock->movesToGo) {
            // The countdown may run past zero; UCI wants a positive count.
            go += " movestogo " + std::to_string(std::max(1, *clock->movesToGo));
        } else {
            go += (red ? " winc " : " binc ") + std::to_string(clock->myIncrementMs);
            go += (red ? " binc " : " winc ") + std::to_string(clock->oppIncrementMs);
        }
    } else if (limits.depth) {
        go += " depth " + std::to_string(*limits.depth);
    } else if (limits.nodes) {
        go += " nodes " + std::to_string(*limits.nodes);
    } else {
        go += " infinite";
    }
    return go;
}

std::optional<EngineReply> UciDialect::readReply(
    std::string_view line, const SearchRequest& searched) {
    if (line == "bestmove 0000" || line.starts_with("bestmove 0000 ")) return NoMove {};
    std::optional<EngineReply> reply = parseEngineReply(line);
    if (!reply) return reply;
    if (rankBase_ == RankBase::Unknown) {
        // A whole line of moves rarely fits both conventions even when its first move does.
        const std::string moves = joined(movesOf(*reply));
        if (!moves.empty()) rankBase_ = detectRankBase(positionLine(searched, false), moves);
    }
    if (rankBase_ == RankBase::One) toZeroBased(*reply);
    return reply;
}

std::unique_ptr<EngineDialect> makeDialect(EngineProtocol protocol, RankBase rankBase) {
    if (protocol == EngineProtocol::Uci) return std::make_unique<UciDialect>(rankBase);
    return std::make_unique<UcciDialect>();
}

} // namespace qinglan

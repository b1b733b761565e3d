#pragma once

#include "enginelink/EngineReply.h"
#include "enginelink/SearchRequest.h"
#include "settings/SettingsRecords.h"

#include <memory>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace qinglan {

class Board;

// "position fen F [moves ...]" for a request, or "position startpos ..." when asked
// and the moves start from the opening position. Moves 0-based.
std::string positionLine(const SearchRequest& request, bool useStartpos);
// The board of a request after its moves.
Board searchedBoard(const SearchRequest& request);

// How one protocol writes a search as lines and reads the engine's lines back as
// replies. Everything outside speaks in values with 0-based moves.
class EngineDialect {
public:
    virtual ~EngineDialect() = default;

    struct SearchStart {
        std::vector<std::string> lines; // to send, in order
        // An answer given in the engine's name when there is nothing to ask it
        // (every legal move banned); no line is sent then.
        std::optional<EngineReply> answer;
    };

    virtual EngineProtocol protocol() const = 0;
    virtual SearchStart startSearch(const SearchRequest& request, bool useStartpos) const = 0;
    // A line the engine printed while it searched `searched`; nullopt when it answers
    // nothing (an "info string", an echo).
    virtual std::optional<EngineReply> readReply(
        std::string_view line, const SearchRequest& searched)
        = 0;
    // The option that sets how many best lines the engine reports, and its line.
    virtual std::string linesOptionName() const = 0;
    virtual std::string linesOptionLine(int lines) const = 0;
    // How a UCI engine numbers ranks, as far as its replies have told.
    virtual RankBase rankBase() const { return RankBase::Unknown; }
    std::string ponderHitLine() const { return "ponderhit"; }
    std::string stopLine() const { return "stop"; }
};

class UcciDialect final : public EngineDialect {
public:
    EngineProtocol protocol() const override { return EngineProtocol::Ucci; }
    std::string linesOptionName() const override { return "multipv"; }
    std::string linesOptionLine(int lines) const override {
        return "setoption multipv " + std::to_string(lines);
    }
    SearchStart startSearch(const SearchRequest& request, bool useStartpos) const override;
    std::optional<EngineReply> readReply(
        std::string_view line, const SearchRequest& searched) override;
};

// UCI numbers ranks from 1 in many xiangqi engines and from 0 in others: the
// convention is learnt from the first moves the engine names, and until then a
// position is sent without its moves so that nothing can be misread.
class UciDialect final : public EngineDialect {
public:
    explicit UciDialect(RankBase known = RankBase::Unknown)
        : rankBase_(known) { }
    EngineProtocol protocol() const override { return EngineProtocol::Uci; }
    std::string linesOptionName() const override { return "MultiPV"; }
    std::string linesOptionLine(int lines) const override {
        return "setoption name MultiPV value " + std::to_string(lines);
    }
    SearchStart startSearch(const SearchRequest& request, bool useStartpos) const override;
    std::optional<EngineReply> readReply(
        std::string_view line, const SearchRequest& searched) override;
    RankBase rankBase() const override { return rankBase_; }

private:
    std::string goLine(const SearchRequest& request, const Board& board) const;
    RankBase rankBase_;
};

// The dialect of a protocol found by the handshake (Ucci or Uci).
std::unique_ptr<EngineDialect> makeDialect(EngineProtocol protocol, RankBase rankBase);

} // namespace qinglan

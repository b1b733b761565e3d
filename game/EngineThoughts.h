#pragma once

#include "enginelink/EngineReply.h"
#include "records/Evaluation.h"

#include <cstdint>
#include <optional>
#include <string_view>

namespace qinglan {

class Board;

// The score, depth and time of a thinking line; nothing when it has no score.
std::optional<Evaluation> infoEvaluation(const ThinkingLine& line);

// Each engine's last thinking line with a score, with the position it was about, so that
// the engine's move can keep the evaluation it was played with.
class EngineThoughts {
public:
    void note(bool mainEngine, const ThinkingLine& line, const Board& searched);
    // The evaluation of that engine's last line about position; forgotten once taken.
    std::optional<Evaluation> take(bool mainEngine, const Board& position);
    void clear() { thoughts_[0] = thoughts_[1] = {}; }

private:
    struct Thought {
        std::optional<Evaluation> evaluation;
        std::uint64_t positionKey = 0;
    };
    Thought thoughts_[2]; // [1] main, [0] secondary
};

} // namespace qinglan

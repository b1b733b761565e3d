#pragma once

#include <optional>
#include <string>
#include <string_view>

namespace qinglan {

// An engine's verdict on the move it played, kept as that move's comment.
struct Evaluation {
    int centipawns = 0; // from the mover's view
    int mateIn = 0; // moves to mate, negative when the mover is mated; 0 for none
    int depth = 0;
    int timeMs = 0;
    bool operator==(const Evaluation&) const = default;
};

// "+0.35/12 1.2s" (score in pawns, depth, seconds), "-M3/20 0.5s" for a mate, as other
// programs write it.
std::string evaluationComment(const Evaluation& evaluation);

// The evaluation at the start of a comment in that form; nothing when it has none.
std::optional<Evaluation> parseEvaluation(std::string_view comment);

} // namespace qinglan

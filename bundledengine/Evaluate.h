#pragma once

#include "Position.h"

#include <cstdint>

namespace qinglan::bundled {

constexpr int PAWN_VALUE = 100, ADVISOR_VALUE = 110, ELEPHANT_VALUE = 110, HORSE_VALUE = 400,
              CHARIOT_VALUE = 1000, CANNON_VALUE = 450;
// Exchange values by piece type (the king above everything).
constexpr int TYPE_VALUE[7]
    = { 5000, ADVISOR_VALUE, ELEPHANT_VALUE, HORSE_VALUE, CHARIOT_VALUE, CANNON_VALUE, PAWN_VALUE };

// What the options turn on the evaluation: weights in percent, noise in points.
struct EvalParams {
    int engineSide = RED;
    int mobility = 100;
    int ownAttack = 100; // our pressure on the other king
    int ownDefence = 100; // weight of the holes round our own king
    int noise = 0;
    std::uint64_t seed = 0;
};

// Fills PIECE_SQUARE; called once before any position is set.
void initEvaluation();

// Score of the position for the side to move, in points (a pawn at home is 100).
int evaluate(const Position& pos, const EvalParams& params);

} // namespace qinglan::bundled

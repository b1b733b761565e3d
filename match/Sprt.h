#pragma once

#include <array>
#include <string>

namespace qinglan {

// Game pairs (one opening, each engine red once) counted by the first engine's points
// over the two games: 0, ½, 1, 1½ or 2.
struct Pentanomial {
    std::array<int, 5> counts {};

    // pairPoints in half points: 0..4.
    void add(int pairHalfPoints) { ++counts.at(static_cast<std::size_t>(pairHalfPoints)); }
    int pairs() const { return counts[0] + counts[1] + counts[2] + counts[3] + counts[4]; }
};

// The expected score of a player elo points stronger (logistic Elo).
double expectedScore(double elo);

// The log-likelihood ratio of "the first engine is elo1 stronger" against "elo0
// stronger" from the pairs so far: the generalised SPRT on the pentanomial model with
// logistic Elo (each hypothesis's distribution is the most likely one with that mean
// score; an empty count weighs 0.001 so the ratio stays finite).
double pentanomialLlr(const Pentanomial& pairs, double elo0, double elo1);

enum class SprtVerdict { Undecided, AcceptH0, AcceptH1 };

// The sequential test: alpha is the chance of accepting H1 when H0 holds, beta that
// of accepting H0 when H1 holds.
struct Sprt {
    double elo0 = 0, elo1 = 5;
    double alpha = 0.05, beta = 0.05;

    double lowerBound() const; // log(beta / (1 - alpha)): at or below it H0 is accepted
    double upperBound() const; // log((1 - beta) / alpha): at or above it H1 is accepted
    SprtVerdict verdict(double llr) const;
};

// "H0 accepted (elo <= 0)" / "H1 accepted (elo >= 5)" / "no decision".
std::string verdictText(const Sprt& sprt, SprtVerdict verdict);

} // namespace qinglan

#include "match/Sprt.h"

#include <cmath>
#include <cstdio>

namespace qinglan {

namespace {

constexpr double PAIR_SCORES[5] = { 0, 0.25, 0.5, 0.75, 1 };
constexpr double EMPTY_COUNT = 1e-3;
constexpr int BISECTION_STEPS = 200;

using Distribution = std::array<double, 5>;

// The distribution closest to p (most likely to have produced the counts) whose mean
// is s: p_i / (1 + x (a_i - s)), with x the root of sum p_i (a_i - s) / (1 + x (a_i - s)),
// which falls from +inf to -inf between -1 / (1 - s) and 1 / s.
Distribution closestWithMean(const Distribution& p, double s) {
    const auto slope = [&](double x) {
        double sum = 0;
        for (std::size_t i = 0; i < p.size(); ++i)
            sum += p[i] * (PAIR_SCORES[i] - s) / (1 + x * (PAIR_SCORES[i] - s));
        return sum;
    };
    double low = -1 / (1 - s), high = 1 / s;
    for (int step = 0; step < BISECTION_STEPS; ++step) {
        const double middle = (low + high) / 2;
        (slope(middle) > 0 ? low : high) = middle;
    }
    const double x = (low + high) / 2;
    Distribution q;
    for (std::size_t i = 0; i < p.size(); ++i) q[i] = p[i] / (1 + x * (PAIR_SCORES[i] - s));
    return q;
}

} // namespace

double expectedScore(double elo) {
    return 1 / (1 + std::pow(10.0, -elo / 400));
}

double pentanomialLlr(const Pentanomial& pairs, double elo0, double elo1) {
    Distribution p;
    double total = 0;
    for (std::size_t i = 0; i < p.size(); ++i)
        total += p[i] = std::max<double>(pairs.counts[i], EMPTY_COUNT);
    for (double& share : p) share /= total;
    const Distribution q0 = closestWithMean(p, expectedScore(elo0));
    const Distribution q1 = closestWithMean(p, expectedScore(elo1));
    double llr = 0;
    for (std::size_t i = 0; i < p.size(); ++i) llr += p[i] * std::log(q1[i] / q0[i]);
    return total * llr;
}

double Sprt::lowerBound() const {
    return std::log(beta / (1 - alpha));
}

double Sprt::upperBound() const {
    return std::log((1 - beta) / alpha);
}

SprtVerdict Sprt::verdict(double llr) const {
    if (llr >= upperBound()) return SprtVerdict::AcceptH1;
    if (llr <= lowerBound()) return SprtVerdict::AcceptH0;
    return SprtVerdict::Undecided;
}

std::string verdictText(const Sprt& sprt, SprtVerdict verdict) {
    char text[64];
    if (verdict == SprtVerdict::AcceptH0)
        std::snprintf(text, sizeof text, "H0 accepted (elo <= %g)", sprt.elo0);
    else if (verdict == SprtVerdict::AcceptH1)
        std::snprintf(text, sizeof text, "H1 accepted (elo >= %g)", sprt.elo1);
    else
        std::snprintf(text, sizeof text, "no decision");
    return text;
}

} // namespace qinglan

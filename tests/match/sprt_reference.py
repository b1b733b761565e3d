#!/usr/bin/env python3
# Reference values for SprtTest.cpp: the generalised SPRT on game pairs (pentanomial
# counts of the first engine's points per pair: 0, 1/2, 1, 3/2, 2) with logistic Elo,
# written from the published formulas independently of the C++ code:
#   expected score s(elo) = 1 / (1 + 10^(-elo/400)); zero counts become 1e-3;
#   p = counts / N; the maximum-likelihood distribution with mean s is
#   p_i / (1 + x (a_i - s)) with x solving sum p_i (a_i - s) / (1 + x (a_i - s)) = 0;
#   LLR = N * sum p_i log(q1_i / q0_i); bounds log(beta / (1 - alpha)), log((1 - beta) / alpha).
# Also printed: the usual normal approximation N (s1 - s0) (2 mean - s0 - s1) / (2 var),
# which should come out close.
import math

A = [0, 0.25, 0.5, 0.75, 1]


def score(elo):
    return 1 / (1 + 10 ** (-elo / 400))


def mle(p, s):
    # Plain bisection on x: the sum falls from +inf to -inf across the interval.
    lo, hi = -1 / (1 - s), 1 / s
    f = lambda x: sum(pi * (a - s) / (1 + x * (a - s)) for pi, a in zip(p, A))
    for _ in range(300):
        mid = (lo + hi) / 2
        if f(mid) > 0:
            lo = mid
        else:
            hi = mid
    x = (lo + hi) / 2
    return [pi / (1 + x * (a - s)) for pi, a in zip(p, A)]


def llr(counts, elo0, elo1):
    counts = [max(c, 1e-3) for c in counts]
    n = sum(counts)
    p = [c / n for c in counts]
    q0, q1 = mle(p, score(elo0)), mle(p, score(elo1))
    return n * sum(pi * math.log(b / a) for pi, a, b in zip(p, q0, q1))


def approx(counts, elo0, elo1):
    counts = [max(c, 1e-3) for c in counts]
    n = sum(counts)
    mean = sum(c * a for c, a in zip(counts, A)) / n
    var = sum(c * (a - mean) ** 2 for c, a in zip(counts, A)) / n
    s0, s1 = score(elo0), score(elo1)
    return n * (s1 - s0) * (2 * mean - s0 - s1) / (2 * var)


CASES = [
    ([10, 20, 40, 20, 10], 0, 5),
    ([5, 30, 60, 40, 15], 0, 5),
    ([15, 40, 60, 30, 5], 0, 5),
    ([0, 3, 10, 7, 2], -5, 10),
    ([1, 0, 0, 0, 0], 0, 10),
    ([0, 0, 0, 4, 26], 0, 50),
]
for counts, e0, e1 in CASES:
    print(counts, e0, e1, "%.6f" % llr(counts, e0, e1), "approx %.6f" % approx(counts, e0, e1))
for a, b in [(0.05, 0.05), (0.05, 0.1)]:
    print("bounds", a, b, "%.6f %.6f" % (math.log(b / (1 - a)), math.log((1 - b) / a)))

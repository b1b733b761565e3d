// The SPRT's arithmetic against values computed independently: the reference numbers
// come from tests/match/sprt_reference.py, a short Python script written from the
// published formulas of the generalised SPRT (pentanomial, logistic Elo), not from
// this code. Its normal approximation, printed beside them, agrees to a few percent
// where the counts are large.
#include "match/Sprt.h"

#include <gtest/gtest.h>

namespace qinglan {
namespace {

TEST(Sprt, LlrMatchesTheReferenceScript) {
    const struct {
        Pentanomial pairs;
        double elo0, elo1, llr;
    } rows[] = {
        { { { 10, 20, 40, 20, 10 } }, 0, 5, -0.034507 }, // even: a little toward H0
        { { { 5, 30, 60, 40, 15 } }, 0, 5, 0.818814 },
        { { { 15, 40, 60, 30, 5 } }, 0, 5, -0.938864 },
        { { { 0, 3, 10, 7, 2 } }, -5, 10, 0.928616 }, // an empty count weighs 0.001
        { { { 1, 0, 0, 0, 0 } }, 0, 10, -0.029255 }, // one lost pair says little
        { { { 0, 0, 0, 4, 26 } }, 0, 50, 4.007853 }, // far from the approximation's 126.95
    };
    for (const auto& r : rows) {
        SCOPED_TRACE(r.llr);
        EXPECT_NEAR(pentanomialLlr(r.pairs, r.elo0, r.elo1), r.llr, 1e-5);
        // Swapping the hypotheses only changes the sign.
        EXPECT_NEAR(pentanomialLlr(r.pairs, r.elo1, r.elo0), -r.llr, 1e-5);
    }
}

TEST(Sprt, BoundsAndVerdicts) {
    const Sprt even { 0, 5, 0.05, 0.05 };
    EXPECT_NEAR(even.lowerBound(), -2.944439, 1e-6);
    EXPECT_NEAR(even.upperBound(), 2.944439, 1e-6);
    const Sprt uneven { 0, 5, 0.05, 0.1 };
    EXPECT_NEAR(uneven.lowerBound(), -2.251292, 1e-6);
    EXPECT_NEAR(uneven.upperBound(), 2.890372, 1e-6);

    EXPECT_EQ(even.verdict(2.95), SprtVerdict::AcceptH1);
    EXPECT_EQ(even.verdict(2.94), SprtVerdict::Undecided);
    EXPECT_EQ(even.verdict(-2.94), SprtVerdict::Undecided);
    EXPECT_EQ(even.verdict(-2.95), SprtVerdict::AcceptH0);
    EXPECT_EQ(verdictText(even, SprtVerdict::AcceptH1), "H1 accepted (elo >= 5)");
}

TEST(Sprt, PairsCountByHalfPoints) {
    Pentanomial pairs;
    for (int halfPoints : { 0, 2, 2, 4, 3 }) pairs.add(halfPoints);
    EXPECT_EQ(pairs.counts, (std::array<int, 5> { 1, 0, 2, 1, 1 }));
    EXPECT_EQ(pairs.pairs(), 5);
    EXPECT_NEAR(expectedScore(0), 0.5, 1e-12);
    EXPECT_NEAR(expectedScore(400), 10.0 / 11, 1e-12);
}

} // namespace
} // namespace qinglan

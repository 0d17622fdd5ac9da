// The lane arithmetic of the force kernel against the C library, over the
// whole range of arguments, in the width this test is compiled for (any
// x86-64: two lanes, no fused multiply-add, the least accurate variant).
#include <gtest/gtest.h>

#include <cmath>
#include <limits>
#include <random>

#include "lane_math.h"

namespace {

double ulpsApart(double a, double b) {
    if (a == b) return 0;
    return std::fabs(a - b) / (std::fabs(b) * 0x1p-52);
}

double firstLane(Row v) { return v[0]; }

TEST(LaneMath, ExponentialWithinOneUlpFromUnderflowToOverflow) {
    std::mt19937 random(7);
    std::uniform_real_distribution<double> argument(-707, 709.78);
    double worst = 0;
    for (int k = 0; k < 200000; ++k) {
        const double x = k < 100 ? (k - 50) * 1e-3 : argument(random);
        worst = std::max(worst, ulpsApart(firstLane(exponential(splat(x))), std::exp(x)));
    }
    EXPECT_LE(worst, 1.0);
}

TEST(LaneMath, ExponentialAtTheEndsOfItsRange) {
    const double infinity = std::numeric_limits<double>::infinity();
    EXPECT_EQ(firstLane(exponential(splat(0))), 1.0);
    EXPECT_EQ(firstLane(exponential(splat(-708))), 0.0);       // below 1e-307 it is flushed to 0
    EXPECT_EQ(firstLane(exponential(splat(-infinity))), 0.0);
    EXPECT_LE(ulpsApart(firstLane(exponential(splat(709.7))), std::exp(709.7)), 1.0);
    EXPECT_EQ(firstLane(exponential(splat(709.8))), infinity);
    EXPECT_EQ(firstLane(exponential(splat(1e300))), infinity);
    EXPECT_TRUE(std::isnan(firstLane(exponential(splat(std::nan(""))))));
}

TEST(LaneMath, InverseRootCubedWithinThreeUlpsOverFourHundredDecades) {
    std::mt19937 random(11);
    std::uniform_real_distribution<double> exponent(-200, 200);   // where v^(-3/2) is a normal number
    double worst = 0;
    for (int k = 0; k < 200000; ++k) {
        const double v = std::pow(10.0, exponent(random));
        worst = std::max(worst, ulpsApart(firstLane(inverseRootCubed(splat(v))), 1 / (v * std::sqrt(v))));
    }
    EXPECT_LE(worst, 3.0);
}

}  // namespace

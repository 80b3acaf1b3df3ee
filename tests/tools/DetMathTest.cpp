// The generator's deterministic elementary functions agree with the C
// library to about 1e-13 over the ranges the painters and the synthesiser
// use, including the awkward arguments (negative bases, large angles).
#include <gtest/gtest.h>

#include <cmath>

#include "tools/assetgen/DetMath.h"

namespace {

// |a − b| within `rel` of |b|, or within `rel` absolutely near zero.
bool close(double a, double b, double rel = 1e-13) {
    return std::fabs(a - b) <= rel * std::fmax(1.0, std::fabs(b));
}

TEST(DetMath, MatchesTheLibraryAcrossItsRangeAndAtItsEdges) {
    for (double x = -700.0; x < 700.0; x += 0.37)
        EXPECT_TRUE(close(det::exp(x) / std::exp(x), 1.0)) << x;
    for (double x = 1e-6; x < 1e6; x *= 1.37) EXPECT_TRUE(close(det::log(x), std::log(x))) << x;
    for (double x = -2000.0; x < 2000.0; x += 0.731) {
        EXPECT_TRUE(close(det::sin(x), std::sin(x), 1e-12) && close(det::cos(x), std::cos(x), 1e-12))
            << x;
        EXPECT_TRUE(close(det::tanh(x / 300.0), std::tanh(x / 300.0))) << x;
    }
    for (double x = 0.01; x < 50.0; x *= 1.3)
        for (double y = -3.0; y < 3.0; y += 0.7)
            EXPECT_TRUE(close(det::pow(x, y) / std::pow(x, y), 1.0)) << x << "^" << y;
    for (double a = -3.1; a < 3.1; a += 0.05) // all four quadrants
        EXPECT_TRUE(close(det::atan2(3 * std::sin(a), 3 * std::cos(a)),
                          std::atan2(3 * std::sin(a), 3 * std::cos(a)), 1e-12))
            << a;
    // The edges.
    EXPECT_EQ(det::exp(-800.0), 0.0);
    EXPECT_TRUE(close(det::pow(-0.5, 2.0), 0.25));
    EXPECT_TRUE(close(det::pow(-2.0, 3.0), -8.0));
    EXPECT_TRUE(std::isnan(det::pow(-2.0, 0.5)));
    EXPECT_EQ(det::pow(0.0, 3.0), 0.0);
    EXPECT_DOUBLE_EQ(det::atan2(1.0, 0.0), det::kPi / 2);
    EXPECT_DOUBLE_EQ(det::atan2(0.0, -1.0), det::kPi);
}

} // namespace

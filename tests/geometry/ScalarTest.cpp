#include "geometry/Scalar.h"

#include <gtest/gtest.h>

TEST(RoundTo, RoundsHalfUpNotAwayFromZero) {
    EXPECT_EQ(RoundTo(2.5, 0), 3.0);
    EXPECT_EQ(RoundTo(-2.5, 0), -2.0);
    EXPECT_EQ(RoundTo(-2.6, 0), -3.0);
    EXPECT_EQ(RoundTo(1.23456, 3), 1.235);
    EXPECT_EQ(RoundTo(-1.2344, 3), -1.234);
    // 0.125 is exact in binary: 12.5 rounds up to 13.
    EXPECT_EQ(RoundTo(0.125, 2), 0.13);
    double x = 7.77777;
    RoundTo(&x, 2);
    EXPECT_EQ(x, 7.78);
}

TEST(RoundTo, TenDecimalsSettlesNearUnitNormals) {
    // The waterline test compares a rounded normal component with +-1.
    EXPECT_EQ(RoundTo(0.99999999999, 10), 1.0);
    EXPECT_EQ(RoundTo(-0.99999999999, 10), -1.0);
    EXPECT_NE(RoundTo(0.9999999999, 10), 1.0);
}

TEST(Angles, UseTheTenDigitPi) {
    // 180 degrees is the calculation's pi, not M_PI.
    EXPECT_EQ(DegToRad(180), 3.141592654);
    EXPECT_EQ(RadToDeg(3.141592654), 180.0);
    EXPECT_DOUBLE_EQ(DegToRad(1.5), 1.5 / 180 * 3.141592654);
    EXPECT_EQ(Min(1, 2), 1);
    EXPECT_EQ(Max(1, 2), 2);
    EXPECT_EQ(Abs(-0.5), 0.5);
}

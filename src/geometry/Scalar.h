// Scalar helpers and the constants the engine and the view share.
#pragma once

// pi as the calculations take it (degrees to radians and back).
inline constexpr double kPi = 3.141592654;
// pi as the view takes it for its orientation angles.
inline constexpr double kViewPi = 3.1416;
// The triangle centroid weight.
inline constexpr double kOneThird = 0.3333333333333333;
// Edge parameter when an edge does not cross a plane.
inline constexpr double kNoIntersection = -1e100;

inline double Min(double a, double b) {
    return a < b ? a : b;
}
inline double Max(double a, double b) {
    return a > b ? a : b;
}
inline double Abs(double x) {
    return x < 0 ? -x : x;
}

inline double DegToRad(double d) {
    return d / 180 * kPi;
}
inline double RadToDeg(double r) {
    return r * 180 / kPi;
}

// An angle [deg] less its whole turns, within (-180, 180]: 360 and
// 36000000 are 0, 270 is -90, and an angle within the half turns is used as
// typed. The remainder is exact, so one attitude gives one rotation however
// many turns were typed; a turn taken as 2 pi would leave the ship a hair
// off, pi being kPi here.
double WithoutWholeTurns(double degrees);
// The same for an angle in radians, a turn being 2 kPi.
double RadiansWithoutWholeTurns(double radians);

// Rounds half up to n decimals: floor(x * 10^n + 0.5) / 10^n, so 2.5 gives 3
// and -2.5 gives -2.
double RoundTo(double x, int n);
// The same, in place.
void RoundTo(double* x, int n);

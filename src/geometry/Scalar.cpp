#include "Scalar.h"

#include <cmath>

double RoundTo(double x, int n) {
    const double scale = std::pow(10.0, n);
    return std::floor(x * scale + 0.5) / scale;
}

void RoundTo(double* x, int n) {
    *x = RoundTo(*x, n);
}

namespace {

// x less its whole multiples of turn, within (-turn / 2, turn / 2].
double WithoutWhole(double x, double turn) {
    if (x > -turn / 2 && x <= turn / 2)
        return x;
    const double rest = std::remainder(x, turn);
    if (rest == -turn / 2)
        return turn / 2;
    return rest == 0 ? 0.0 : rest;
}

} // namespace

double WithoutWholeTurns(double degrees) {
    return WithoutWhole(degrees, 360);
}

double RadiansWithoutWholeTurns(double radians) {
    return WithoutWhole(radians, 2 * kPi);
}

#include "Scalar.h"

#include <cmath>

double RoundTo(double x, int n) {
    const double scale = std::pow(10.0, n);
    return std::floor(x * scale + 0.5) / scale;
}

void RoundTo(double* x, int n) {
    *x = RoundTo(*x, n);
}

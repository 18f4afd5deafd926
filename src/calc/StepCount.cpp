#include "StepCount.h"

#include <cmath>

double StepCount(double range, double step) {
    const double q = range / step;
    if (!std::isfinite(q))
        return q;
    const double a = std::fabs(q);
    double n = std::trunc(a);
    if (n + 1 - a < 1e-9)
        n += 1;
    return q < 0 ? -n : n;
}

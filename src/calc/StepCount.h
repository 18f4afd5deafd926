// How many whole steps fit in a range, for the row and column counts of the
// tables.
#pragma once

// trunc(range / step), toward zero, except that a quotient falling short of
// the next whole number by less than 1e-9 counts as that number: in binary
// 0.3 / 0.1 is 2.9999999999999996, and a user asking for 0 to 0.3 by 0.1
// means the waterline at 0.3 too. Whole and clearly fractional quotients
// give plain truncation. The result is a whole number (or not finite when
// the quotient is not); callers bound it before converting.
double StepCount(double range, double step);

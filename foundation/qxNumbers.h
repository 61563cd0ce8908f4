#pragma once
// Decimal rounding and number text of the money rules. Amounts are kept at 4
// decimals and shown with 2; halves go away from zero, judged on the shortest
// decimal text of the double, so 0.125 shows as 0.13 and 1.00005 keeps 1.0001
// as the user typed it rather than what the binary value happens to hold.

#include <QString>

double RoundDecimal(double value, int decimals); // decimals 0..8
inline double RoundMoney(double value) { return RoundDecimal(value, 4); }

// Fixed notation with exactly that many decimals, rounded as above.
QString FormatFixed(double value, int decimals);

// The shortest text that reads back to the same double ("6297.6").
QString FloatToShortest(double value);

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

// The one text form of numbers wherever they are printed or shown unformatted
// (the formulas' FLOATTOSTR, the tables' number fields, kvtool): the general
// format, at most 15 significant digits, in exponent form when the number is
// very large or small (0.0001 gives "0.0001", 0.00001 gives "1E-5", 1E20).
QString FloatToStr(double value);

// Money in the same form with at most 4 decimals, as amounts are kept:
// 148392205.18229997 gives "148392205.1823".
QString MoneyToStr(double value);

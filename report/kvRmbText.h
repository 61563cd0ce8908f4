#pragma once
// Amounts in Chinese capital numerals, the way a customer document states its
// total so that it cannot be altered: 12345.67 -> 壹万贰仟叁佰肆拾伍元陆角柒分.

#include <QString>

// Rounded to the cent (halves away from zero). Whole yuan end in "整", as do
// amounts that stop at the jiao; a missing jiao before fen is written "零";
// negative amounts start with "负". 0 gives "零元整".
QString RmbCapital(double amount);

#pragma once
// Text conversions of formula values and the FORMAT function. Numbers always
// use "." as the decimal point; dates and times follow the user's locale.

#include "qxNumbers.h" // FloatToStr, the general format of numbers
#include "qxVariant.h"

#include <QDateTime>
#include <QList>
#include <QLocale>
#include <QString>
#include <QStringView>
#include <functional>
#include <optional>

class TqxVariantList;

// Without the blanks and control characters at either end (not the wider
// white space of Unicode: an ideographic space stays).
QStringView TrimBlanks(QStringView text);
// Upper case of the Latin letters a-z only, as names are compared.
QString UpperAscii(const QString& text);

// A number as the formulas read it: blanks around, a sign, digits with at
// most one point (5. and -.5 included) and an optional exponent.
std::optional<double> TryStrToFloat(QStringView text);
// A whole decimal number within 32 bits.
std::optional<int> TryStrToInt(QStringView text);

// Day numbers count days from 1899-12-30, the fraction being the time of
// day. Only years 1 to 9999 make dates; the text forms fail outside them.
double DateTimeToDayNumber(const QDateTime& value);
std::optional<QDateTime> DayNumberToDateTime(double dayNumber);
QString DateToStr(double dayNumber);     // the locale's short date
QString TimeToStr(double dayNumber);     // the locale's long time
QString DateTimeToStr(double dayNumber); // the date, and the time unless midnight

// Where the formulas get the current time and the locale of date texts.
// Tests fix both; nullptr and nullopt restore the system's.
using TqxClock = std::function<QDateTime()>;
void SetExpClock(TqxClock clock);
QDateTime ExpNow();
void SetExpLocale(std::optional<QLocale> locale);
QLocale ExpLocale();

// Replaces each "%[index:][-][width][.precision]s" with the next value (or
// the one at index) and "%%" with "%". Precision and width count GBK bytes,
// as the fixed-width columns of reports do; a cut never splits a character.
QString FormatValues(const QString& format, const QList<TqxVariant>& values);
// FORMAT(format, value1, ..., value9) of the formula language.
TqxVariant FuncFormat(const TqxVariantList& params);

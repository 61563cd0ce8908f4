#include "qxNumbers.h"

#include <algorithm>
#include <charconv>
#include <cmath>
#include <string>
#include <string_view>

using namespace Qt::StringLiterals;

double RoundDecimal(double value, int decimals)
{
    static constexpr double kPow10[] = {1, 1e1, 1e2, 1e3, 1e4, 1e5, 1e6, 1e7, 1e8};
    decimals = std::clamp(decimals, 0, 8);
    const double magnitude = std::fabs(value);
    // Beyond this the scaled value no longer fits the integer below, and a
    // double that large has no digits left at these decimals anyway.
    if (!std::isfinite(value) || magnitude * kPow10[decimals] >= 9e17)
        return value;
    if (magnitude < 1e-9)
        return 0.0;
    char buf[64];
    const auto res = std::to_chars(buf, buf + sizeof buf, magnitude, std::chars_format::fixed);
    if (res.ec != std::errc())
        return value;
    const std::string_view text(buf, size_t(res.ptr - buf));
    const size_t dot = text.find('.');
    if (dot == std::string_view::npos || text.size() - dot - 1 <= size_t(decimals))
        return value;
    qint64 scaled = 0;
    for (size_t i = 0; i < dot; ++i)
        scaled = scaled * 10 + (text[i] - '0');
    for (size_t i = dot + 1; i <= dot + size_t(decimals); ++i)
        scaled = scaled * 10 + (text[i] - '0');
    if (text[dot + 1 + size_t(decimals)] >= '5')
        ++scaled;
    if (scaled == 0)
        return 0.0;
    const double rounded = double(scaled) / kPow10[decimals];
    return value < 0 ? -rounded : rounded;
}

QString FormatFixed(double value, int decimals)
{
    return QString::number(RoundDecimal(value, decimals), 'f', decimals);
}

QString FloatToStr(double value)
{
    if (value == 0)
        return u"0"_s;
    if (!std::isfinite(value)) // the operators never produce these
        return std::isnan(value) ? u"NAN"_s : value > 0 ? u"INF"_s : u"-INF"_s;
    char buf[64];
    const auto r = std::to_chars(buf, buf + sizeof buf, value, std::chars_format::scientific, 14);
    // buf holds [-]d.dddddddddddddde[+-]xx
    const std::string_view text(buf, size_t(r.ptr - buf));
    const bool negative = text.front() == '-';
    const size_t ePos = text.find('e');
    std::string digits;
    for (char c : text.substr(negative ? 1 : 0, ePos - (negative ? 1 : 0)))
        if (c != '.')
            digits += c;
    while (digits.size() > 1 && digits.back() == '0')
        digits.pop_back();
    int exp10 = 0;
    std::from_chars(text.data() + ePos + 1 + (text[ePos + 1] == '+' ? 1 : 0), text.data() + text.size(), exp10);
    const int pointAt = exp10 + 1; // digits before the decimal point
    std::string s = negative ? "-" : "";
    if (pointAt > 15 || pointAt < -3) {
        s += digits[0];
        if (digits.size() > 1)
            s += '.' + digits.substr(1);
        s += 'E' + std::to_string(exp10);
    } else if (pointAt <= 0) {
        s += "0." + std::string(size_t(-pointAt), '0') + digits;
    } else if (size_t(pointAt) >= digits.size()) {
        s += digits + std::string(size_t(pointAt) - digits.size(), '0');
    } else {
        s += digits.substr(0, size_t(pointAt)) + '.' + digits.substr(size_t(pointAt));
    }
    return QString::fromLatin1(s);
}

QString MoneyToStr(double value)
{
    return FloatToStr(RoundMoney(value));
}

#include "qxNumbers.h"

#include <algorithm>
#include <charconv>
#include <cmath>
#include <string_view>

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

QString FloatToShortest(double value)
{
    char buf[64];
    const auto res = std::to_chars(buf, buf + sizeof buf, value);
    return QString::fromLatin1(buf, res.ptr - buf);
}

#include "qxExpFunctions.h"

#include "GbkText.h"
#include "qxBasicClasses.h"

#include <charconv>
#include <cmath>

using namespace Qt::StringLiterals;

namespace {

bool isDigit(char16_t c) { return c >= u'0' && c <= u'9'; }

// 1899-12-30, day 0 of the day numbers.
const QDate kDayZero(1899, 12, 30);
constexpr double kFirstDay = -693593.0;  // 0001-01-01
constexpr double kLastDay = 2958466.0;   // the day after 9999-12-31
constexpr qint64 kMsPerDay = 86400000;

TqxClock& clockSlot()
{
    static TqxClock clock;
    return clock;
}

std::optional<QLocale>& localeSlot()
{
    static std::optional<QLocale> locale;
    return locale;
}

// A long time shows hours, minutes and seconds; Qt's long format adds the
// time zone (the letter t outside quotes).
QString longTimeFormat(const QLocale& locale)
{
    const QString f = locale.timeFormat(QLocale::LongFormat);
    QString r;
    bool quoted = false;
    for (QChar c : f) {
        if (c == u'\'')
            quoted = !quoted;
        if (c != u't' || quoted)
            r += c;
    }
    return r.simplified();
}

QDateTime dateTimeOrFail(double dayNumber)
{
    const std::optional<QDateTime> dt = DayNumberToDateTime(dayNumber);
    if (!dt)
        throw EqxExpErr(u"%1 不是有效的日期！"_s.arg(FloatToStr(dayNumber)));
    return *dt;
}

// Longest head of text that takes at most maxBytes in GBK.
QString cutToBytes(const QString& text, qsizetype maxBytes)
{
    qsizetype used = 0;
    qsizetype i = 0;
    while (i < text.size()) {
        const qsizetype len = text.at(i).isHighSurrogate() && i + 1 < text.size() ? 2 : 1;
        const qsizetype w = Gbk::ByteLength(QStringView(text).sliced(i, len));
        if (used + w > maxBytes)
            break;
        used += w;
        i += len;
    }
    return text.left(i);
}

// Widths beyond any report column are refused rather than allocated.
constexpr int kMaxFormatWidth = 4096;

} // namespace

QStringView TrimBlanks(QStringView text)
{
    while (!text.isEmpty() && text.front().unicode() <= u' ')
        text = text.sliced(1);
    while (!text.isEmpty() && text.back().unicode() <= u' ')
        text.chop(1);
    return text;
}

QString UpperAscii(const QString& text)
{
    qsizetype i = 0;
    while (i < text.size() && !(text.at(i) >= u'a' && text.at(i) <= u'z'))
        ++i;
    if (i == text.size())
        return text; // shared, no copy: most names have no small letters
    QString r = text;
    for (QChar* p = r.data() + i; p != r.data() + r.size(); ++p)
        if (*p >= u'a' && *p <= u'z')
            *p = QChar(p->unicode() - (u'a' - u'A'));
    return r;
}

std::optional<double> TryStrToFloat(QStringView text)
{
    const QStringView s = TrimBlanks(text);
    // Checked here, converted by from_chars: it knows no leading "+" and no
    // blanks, and it reports overflow and underflow alike.
    char buf[128];
    std::string big;
    char* out = buf;
    if (s.size() >= qsizetype(sizeof buf)) {
        big.resize(size_t(s.size()) + 1);
        out = big.data();
    }
    char* const start = out;
    qsizetype i = 0;
    bool negative = false;
    if (i < s.size() && (s[i] == u'+' || s[i] == u'-')) {
        negative = s[i] == u'-';
        if (negative)
            *out++ = '-';
        ++i;
    }
    int intDigits = 0;      // significant digits before the point
    int leadingZeros = 0;   // zeros right after the point when nothing precedes it
    bool anyDigit = false;
    bool seenNonZero = false;
    for (; i < s.size() && isDigit(s[i].unicode()); ++i) {
        anyDigit = true;
        seenNonZero = seenNonZero || s[i] != u'0';
        if (seenNonZero)
            ++intDigits;
        *out++ = char(s[i].unicode());
    }
    if (i < s.size() && s[i] == u'.') {
        *out++ = '.';
        for (++i; i < s.size() && isDigit(s[i].unicode()); ++i) {
            anyDigit = true;
            if (!seenNonZero && s[i] == u'0')
                ++leadingZeros;
            seenNonZero = seenNonZero || s[i] != u'0';
            *out++ = char(s[i].unicode());
        }
    }
    if (!anyDigit)
        return std::nullopt;
    long long exponent = 0;
    if (i < s.size() && (s[i] == u'e' || s[i] == u'E')) {
        *out++ = 'e';
        ++i;
        bool expNegative = false;
        if (i < s.size() && (s[i] == u'+' || s[i] == u'-')) {
            expNegative = s[i] == u'-';
            if (expNegative)
                *out++ = '-';
            ++i;
        }
        bool expDigit = false;
        for (; i < s.size() && isDigit(s[i].unicode()); ++i) {
            expDigit = true;
            exponent = std::min(exponent * 10 + (s[i].unicode() - u'0'), 1000000000LL);
            *out++ = char(s[i].unicode());
        }
        if (!expDigit)
            return std::nullopt;
        if (expNegative)
            exponent = -exponent;
    }
    if (i != s.size())
        return std::nullopt;
    double value = 0;
    const auto r = std::from_chars(start, out, value);
    if (r.ec == std::errc::result_out_of_range) {
        const long long magnitude = intDigits > 0 ? exponent + intDigits : exponent - leadingZeros;
        if (magnitude > 0)
            return std::nullopt;
        return negative ? -0.0 : 0.0;
    }
    if (r.ec != std::errc() || r.ptr != out)
        return std::nullopt;
    return value;
}

std::optional<int> TryStrToInt(QStringView text)
{
    const QStringView s = TrimBlanks(text);
    qsizetype i = 0;
    bool negative = false;
    if (i < s.size() && (s[i] == u'+' || s[i] == u'-')) {
        negative = s[i] == u'-';
        ++i;
    }
    if (i == s.size())
        return std::nullopt;
    qint64 v = 0;
    for (; i < s.size(); ++i) {
        if (!isDigit(s[i].unicode()))
            return std::nullopt;
        v = v * 10 + (s[i].unicode() - u'0');
        if (v > qint64(1) << 31)
            return std::nullopt;
    }
    if (negative)
        v = -v;
    if (v < std::numeric_limits<int>::min() || v > std::numeric_limits<int>::max())
        return std::nullopt;
    return int(v);
}

double DateTimeToDayNumber(const QDateTime& value)
{
    const double days = double(kDayZero.daysTo(value.date()));
    const double time = double(value.time().msecsSinceStartOfDay()) / double(kMsPerDay);
    return days < 0 ? days - time : days + time;
}

std::optional<QDateTime> DayNumberToDateTime(double dayNumber)
{
    if (!(dayNumber > kFirstDay - 1 && dayNumber < kLastDay))
        return std::nullopt;
    const double days = std::trunc(dayNumber);
    qint64 ms = std::llround(std::fabs(dayNumber - days) * double(kMsPerDay));
    ms = std::min(ms, kMsPerDay - 1);
    const QDate date = kDayZero.addDays(qint64(days));
    if (!date.isValid() || date.year() < 1)
        return std::nullopt;
    return QDateTime(date, QTime::fromMSecsSinceStartOfDay(int(ms)));
}

QString DateToStr(double dayNumber)
{
    return ExpLocale().toString(dateTimeOrFail(dayNumber).date(), QLocale::ShortFormat);
}

QString TimeToStr(double dayNumber)
{
    const QLocale locale = ExpLocale();
    return locale.toString(dateTimeOrFail(dayNumber).time(), longTimeFormat(locale));
}

QString DateTimeToStr(double dayNumber)
{
    const QDateTime dt = dateTimeOrFail(dayNumber);
    const QLocale locale = ExpLocale();
    QString text = locale.toString(dt.date(), QLocale::ShortFormat);
    if (dt.time().msecsSinceStartOfDay() != 0)
        text += u' ' + locale.toString(dt.time(), longTimeFormat(locale));
    return text;
}

void SetExpClock(TqxClock clock)
{
    clockSlot() = std::move(clock);
}

QDateTime ExpNow()
{
    return clockSlot() ? clockSlot()() : QDateTime::currentDateTime();
}

void SetExpLocale(std::optional<QLocale> locale)
{
    localeSlot() = std::move(locale);
}

QLocale ExpLocale()
{
    return localeSlot() ? *localeSlot() : QLocale::system();
}

QString FormatValues(const QString& format, const QList<TqxVariant>& values)
{
    const auto invalid = [&] {
        return EqxExpErr(u"格式字符串 \"%1\" 无效或与参数不符！"_s.arg(format));
    };
    QString out;
    out.reserve(format.size());
    const qsizetype n = format.size();
    qsizetype i = 0;
    const auto number = [&](int& v) {
        const qsizetype from = i;
        v = 0;
        for (; i < n && isDigit(format[i].unicode()); ++i) {
            v = v * 10 + (format[i].unicode() - u'0');
            if (v > kMaxFormatWidth)
                throw invalid();
        }
        return i > from;
    };
    qsizetype next = 0;
    while (i < n) {
        const qsizetype percent = format.indexOf(u'%', i);
        if (percent < 0) {
            out += QStringView(format).sliced(i);
            break;
        }
        out += QStringView(format).sliced(i, percent - i);
        i = percent + 1;
        if (i < n && format[i] == u'%') {
            out += u'%';
            ++i;
            continue;
        }
        int index = 0;
        const qsizetype save = i;
        if (number(index) && i < n && format[i] == u':')
            next = index, ++i;
        else
            i = save;
        const bool left = i < n && format[i] == u'-';
        if (left)
            ++i;
        int width = 0;
        number(width);
        int precision = -1;
        if (i < n && format[i] == u'.') {
            ++i;
            precision = 0;
            number(precision);
        }
        if (i >= n || (format[i] != u's' && format[i] != u'S') || next >= values.size())
            throw invalid();
        ++i;
        const TqxVariant& value = values.at(next++);
        QString text = value.IsNull() ? QString() : value.ToString();
        if (precision >= 0)
            text = cutToBytes(text, precision);
        const qsizetype pad = width - Gbk::ByteLength(text);
        if (pad > 0)
            text = left ? text + QString(pad, u' ') : QString(pad, u' ') + text;
        out += text;
    }
    return out;
}

TqxVariant FuncFormat(const TqxVariantList& params)
{
    if (params.Count() == 0)
        throw EqxExpErr(u"Format 函数没有参数！"_s);
    if (params.Count() > 10)
        throw EqxExpErr(u"Format 函数参数过多，不得超过9个！"_s);
    TqxVar item;
    params.GetItem(0, item);
    const QString format = item.Value.ToString();
    QList<TqxVariant> values;
    for (int i = 1; i < params.Count(); ++i) {
        params.GetItem(i, item);
        values.append(item.Value);
    }
    return FormatValues(format, values);
}

#include "kvRmbText.h"

#include "qxNumbers.h"

#include <cmath>

using namespace Qt::StringLiterals;

namespace {

constexpr QChar kDigits[] = {u'零', u'壹', u'贰', u'叁', u'肆', u'伍', u'陆', u'柒', u'捌', u'玖'};
constexpr QStringView kPlaces[] = {u"", u"拾", u"佰", u"仟"};
constexpr QStringView kSections[] = {u"", u"万", u"亿", u"万亿"};

// One section of four digits; a run of zeros between digits reads as one 零.
QString sectionText(int value)
{
    QString out;
    bool zero = false;
    for (int place = 3; place >= 0; --place) {
        static constexpr int kPow[] = {1, 10, 100, 1000};
        const int digit = value / kPow[place] % 10;
        if (digit == 0) {
            zero = !out.isEmpty();
            continue;
        }
        if (zero)
            out += kDigits[0];
        out += kDigits[digit];
        out += kPlaces[place];
        zero = false;
    }
    return out;
}

QString yuanText(qint64 yuan)
{
    QString out;
    bool pendingZero = false;
    for (int section = 3; section >= 0; --section) {
        const qint64 scale = qint64(std::pow(10000.0, section));
        const int value = int(yuan / scale % 10000);
        if (value == 0) {
            pendingZero = !out.isEmpty();
            continue;
        }
        // A section that does not fill its thousands, or that follows an empty
        // section, is joined to what stands before it with one 零.
        if (!out.isEmpty() && (pendingZero || value < 1000))
            out += kDigits[0];
        out += sectionText(value);
        out += kSections[section];
        pendingZero = false;
    }
    return out;
}

} // namespace

QString RmbCapital(double amount)
{
    if (!std::isfinite(amount))
        return QString();
    const double cents = RoundDecimal(std::fabs(amount), 2) * 100.0;
    if (cents >= 1e17)
        return QString(); // beyond what any document states
    const qint64 total = std::llround(cents);
    const qint64 yuan = total / 100;
    const int jiao = int(total / 10 % 10);
    const int fen = int(total % 10);

    QString out;
    if (amount < 0 && total > 0)
        out += u'负';
    if (yuan > 0 || total == 0) {
        out += yuan > 0 ? yuanText(yuan) : QString(kDigits[0]);
        out += u'元';
    }
    if (jiao > 0) {
        out += kDigits[jiao];
        out += u'角';
    } else if (fen > 0 && yuan > 0) {
        out += kDigits[0];
    }
    if (fen > 0) {
        out += kDigits[fen];
        out += u'分';
    } else
        out += u'整';
    return out;
}

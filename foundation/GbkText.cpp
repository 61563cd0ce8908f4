#include "GbkText.h"

#include <QStringDecoder>
#include <array>
#include <memory>

namespace {

// Lead bytes 0x81..0xFE, trail bytes 0x40..0xFE: the whole two-byte GBK plane.
constexpr int kLeadFirst = 0x81;
constexpr int kTrailFirst = 0x40;
constexpr int kTrailCount = 0xFF - kTrailFirst;
constexpr char16_t kInvalid = 0xFFFF;

struct Tables {
    std::array<char16_t, 256> single{};
    std::array<char16_t, (0xFF - kLeadFirst) * kTrailCount> dbl{};
    std::array<quint16, 0x10000> encode{}; // 0 = not encodable
};

const Tables& tables()
{
    static const std::unique_ptr<Tables> t = [] {
        auto tb = std::make_unique<Tables>();
        tb->dbl.fill(kInvalid);
        for (int b = 0; b < 0x80; ++b) {
            tb->single[b] = char16_t(b);
            tb->encode[b] = quint16(b);
        }
        for (int b = 0x80; b < 0x100; ++b)
            tb->single[b] = kInvalid;

        // The codec is asked once for every code; afterwards plain arrays answer.
        QStringDecoder dec("GBK", QStringDecoder::Flag::Stateless);
        auto decodeOne = [&](const char* bytes, int n) -> char16_t {
            const QString s = dec.decode(QByteArrayView(bytes, n));
            if (s.size() != 1 || s.at(0) == QChar::ReplacementCharacter)
                return kInvalid;
            return s.at(0).unicode();
        };
        if (dec.isValid()) {
            const char euro = char(0x80);
            const char16_t e = decodeOne(&euro, 1);
            if (e != kInvalid) {
                tb->single[0x80] = e;
                tb->encode[e] = 0x80;
            }
            for (int lead = kLeadFirst; lead < 0xFF; ++lead) {
                for (int trail = kTrailFirst; trail < 0xFF; ++trail) {
                    if (trail == 0x7F)
                        continue;
                    const char pair[2] = {char(lead), char(trail)};
                    const char16_t c = decodeOne(pair, 2);
                    if (c == kInvalid || (c >= 0xD800 && c <= 0xDFFF))
                        continue;
                    tb->dbl[(lead - kLeadFirst) * kTrailCount + (trail - kTrailFirst)] = c;
                    if (tb->encode[c] == 0)
                        tb->encode[c] = quint16((lead << 8) | trail);
                }
            }
        }
        return tb;
    }();
    return *t;
}

inline bool isLead(uchar b) { return b >= kLeadFirst && b < 0xFF; }

// Encoded form of one UTF-16 unit; 0 when GBK has no such character.
inline quint16 codeOf(const Tables& t, char16_t c)
{
    if (c < 0x80)
        return c;
    return t.encode[c];
}

inline int widthOf(quint16 code) { return code > 0xFF ? 2 : 1; }

} // namespace

namespace Gbk {

QString Decode(QByteArrayView bytes)
{
    const Tables& t = tables();
    QString out(bytes.size(), Qt::Uninitialized);
    char16_t* dst = reinterpret_cast<char16_t*>(out.data());
    qsizetype n = 0;
    const auto* p = reinterpret_cast<const uchar*>(bytes.data());
    const qsizetype len = bytes.size();
    for (qsizetype i = 0; i < len; ++i) {
        const uchar b = p[i];
        if (b < 0x80) {
            dst[n++] = b;
        } else if (isLead(b) && i + 1 < len && p[i + 1] >= kTrailFirst && p[i + 1] < 0xFF) {
            const char16_t c = t.dbl[(b - kLeadFirst) * kTrailCount + (p[i + 1] - kTrailFirst)];
            if (c != kInvalid) {
                dst[n++] = c;
                ++i;
            } else {
                dst[n++] = QChar::ReplacementCharacter;
            }
        } else {
            const char16_t c = t.single[b];
            dst[n++] = c != kInvalid ? c : char16_t(QChar::ReplacementCharacter);
        }
    }
    out.truncate(n);
    return out;
}

void AppendEncoded(QByteArray& out, QStringView text)
{
    const Tables& t = tables();
    for (qsizetype i = 0; i < text.size(); ++i) {
        const char16_t c = text[i].unicode();
        if (c < 0x80) {
            out.append(char(c));
            continue;
        }
        quint16 code = codeOf(t, c);
        if (QChar::isHighSurrogate(c) && i + 1 < text.size() && text[i + 1].isLowSurrogate())
            ++i; // a character beyond the basic plane: GBK has none
        if (code == 0)
            code = '?';
        if (code > 0xFF)
            out.append(char(code >> 8));
        out.append(char(code & 0xFF));
    }
}

QByteArray Encode(QStringView text)
{
    QByteArray out;
    out.reserve(text.size() * 2);
    AppendEncoded(out, text);
    return out;
}

QByteArray EncodeLimited(QStringView text, qsizetype maxBytes)
{
    QByteArray out = Encode(text);
    if (out.size() <= maxBytes)
        return out;
    // Walk the encoded bytes so the cut falls on a character boundary.
    qsizetype pos = 0;
    while (pos < out.size()) {
        const int w = isLead(uchar(out[pos])) && pos + 1 < out.size() ? 2 : 1;
        if (pos + w > maxBytes)
            break;
        pos += w;
    }
    out.truncate(pos);
    return out;
}

bool CanEncode(QStringView text)
{
    const Tables& t = tables();
    for (const QChar c : text)
        if (c.unicode() >= 0x80 && codeOf(t, c.unicode()) == 0)
            return false;
    return true;
}

qsizetype ByteLength(QStringView text)
{
    const Tables& t = tables();
    qsizetype n = 0;
    for (qsizetype i = 0; i < text.size(); ++i) {
        const char16_t c = text[i].unicode();
        if (c < 0x80) {
            ++n;
            continue;
        }
        if (QChar::isHighSurrogate(c) && i + 1 < text.size() && text[i + 1].isLowSurrogate())
            ++i;
        const quint16 code = codeOf(t, c);
        n += code == 0 ? 1 : widthOf(code);
    }
    return n;
}

} // namespace Gbk

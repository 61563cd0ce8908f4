#include "Csv.h"

#include "qxErrors.h"

using namespace Qt::StringLiterals;

namespace Csv {

QString Field(const QString& value)
{
    if (!value.contains(u',') && !value.contains(u'"') && !value.contains(u'\n') && !value.contains(u'\r'))
        return value;
    QString quoted = value;
    quoted.replace(u"\""_s, u"\"\""_s);
    return u'"' + quoted + u'"';
}

QString Line(const QStringList& fields)
{
    QStringList out;
    out.reserve(fields.size());
    for (const QString& f : fields)
        out.append(Field(f));
    return out.join(u',');
}

std::vector<Record> Parse(const QString& text)
{
    std::vector<Record> records;
    const qsizetype n = text.size();
    qsizetype i = 0;
    int line = 1;
    auto fail = [](int at, const QString& what) {
        throw EKavelinErr(u"CSV 文件第 "_s + QString::number(at) + u" 行："_s + what);
    };
    while (i < n) {
        Record r;
        r.line = line;
        for (;;) {
            QString value;
            if (i < n && text[i] == u'"') {
                const int opened = line;
                ++i;
                for (;;) {
                    if (i >= n)
                        fail(opened, u"引号没有结束。"_s);
                    const QChar c = text[i];
                    if (c == u'"') {
                        if (i + 1 < n && text[i + 1] == u'"') {
                            value += u'"';
                            i += 2;
                            continue;
                        }
                        ++i;
                        break;
                    }
                    if (c == u'\n')
                        ++line;
                    value += c;
                    ++i;
                }
                if (i < n && text[i] != u',' && text[i] != u'\r' && text[i] != u'\n')
                    fail(line, u"引号结束后还有多余的字符。"_s);
            } else {
                const qsizetype start = i;
                while (i < n && text[i] != u',' && text[i] != u'\r' && text[i] != u'\n')
                    ++i;
                value = text.mid(start, i - start);
            }
            r.fields.append(value);
            if (i < n && text[i] == u',') {
                ++i;
                continue;
            }
            break;
        }
        if (i < n && text[i] == u'\r')
            ++i;
        if (i < n && text[i] == u'\n')
            ++i;
        ++line;
        if (r.fields.size() != 1 || !r.fields.first().isEmpty())
            records.push_back(std::move(r));
    }
    return records;
}

} // namespace Csv

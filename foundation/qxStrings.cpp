#include "qxStrings.h"

QString TNameValueList::NameOf(const QString& line)
{
    const qsizetype eq = line.indexOf(u'=');
    return eq < 0 ? QString() : line.left(eq);
}

QString TNameValueList::ValueOf(const QString& line)
{
    const qsizetype eq = line.indexOf(u'=');
    return eq < 0 ? QString() : line.mid(eq + 1);
}

qsizetype TNameValueList::IndexOfName(const QString& name) const
{
    for (qsizetype i = 0; i < FLines.size(); ++i) {
        const QString& line = FLines.at(i);
        const qsizetype eq = line.indexOf(u'=');
        if (eq >= 0 && QStringView(line).left(eq).compare(name, Qt::CaseInsensitive) == 0)
            return i;
    }
    return -1;
}

QString TNameValueList::Value(const QString& name) const
{
    const qsizetype i = IndexOfName(name);
    return i < 0 ? QString() : ValueFromIndex(i);
}

void TNameValueList::SetValue(const QString& name, const QString& value)
{
    const qsizetype i = IndexOfName(name);
    if (i < 0)
        AddPair(name, value);
    else
        FLines[i] = Name(i) + u'=' + value;
}

void TNameValueList::SetOrRemoveValue(const QString& name, const QString& value)
{
    const qsizetype i = IndexOfName(name);
    if (i < 0)
        AddPair(name, value);
    else if (!value.isEmpty())
        FLines[i] = Name(i) + u'=' + value;
    else
        FLines.removeAt(i);
}

#include "qxIniFile.h"

#include "GbkText.h"
#include "qxErrors.h"
#include "qxFileSystem.h"

using namespace Qt::StringLiterals;

TqxIniFile::TqxIniFile(QString fileName) : FFileName(std::move(fileName))
{
    if (!FileSystem::FileExists(FFileName))
        return;
    try {
        SetBytes(FileSystem::ReadFile(FFileName));
    } catch (const EFileError&) {
        FLines.clear();
    }
}

void TqxIniFile::SetBytes(const QByteArray& gbk)
{
    FLines = SplitLines(Gbk::Decode(gbk));
    FModified = false;
}

QByteArray TqxIniFile::ToBytes() const
{
    QByteArray out;
    for (const QString& line : std::as_const(FLines)) {
        Gbk::AppendEncoded(out, line);
        out.append("\r\n", 2);
    }
    return out;
}

QStringList TqxIniFile::SplitLines(const QString& text)
{
    QStringList lines;
    qsizetype start = 0;
    const qsizetype n = text.size();
    for (qsizetype i = 0; i < n; ++i) {
        const QChar c = text.at(i);
        if (c != u'\r' && c != u'\n')
            continue;
        lines.append(text.mid(start, i - start));
        if (c == u'\r' && i + 1 < n && text.at(i + 1) == u'\n')
            ++i;
        start = i + 1;
    }
    if (start < n)
        lines.append(text.mid(start));
    return lines;
}

bool TqxIniFile::ParseHeader(const QString& line, QString* name)
{
    const QString t = line.trimmed();
    if (!t.startsWith(u'['))
        return false;
    const qsizetype close = t.indexOf(u']');
    if (close < 0)
        return false;
    *name = t.mid(1, close - 1).trimmed();
    return true;
}

bool TqxIniFile::ParseKey(const QString& line, QString* key, QString* value)
{
    const qsizetype eq = line.indexOf(u'=');
    if (eq < 0)
        return false;
    const QString k = line.left(eq).trimmed();
    if (k.isEmpty() || k.startsWith(u';'))
        return false;
    *key = k;
    if (value)
        *value = line.mid(eq + 1).trimmed();
    return true;
}

TqxIniFile::Range TqxIniFile::FindSection(const QString& section) const
{
    Range r;
    QString name;
    for (qsizetype i = 0; i < FLines.size(); ++i) {
        if (!ParseHeader(FLines.at(i), &name))
            continue;
        if (r.header >= 0) {
            r.end = i;
            return r;
        }
        if (name.compare(section, Qt::CaseInsensitive) == 0)
            r.header = i;
    }
    if (r.header >= 0)
        r.end = FLines.size();
    return r;
}

qsizetype TqxIniFile::FindKey(const Range& r, const QString& key) const
{
    QString k;
    for (qsizetype i = r.header + 1; r.header >= 0 && i < r.end; ++i)
        if (ParseKey(FLines.at(i), &k, nullptr) && k.compare(key, Qt::CaseInsensitive) == 0)
            return i;
    return -1;
}

bool TqxIniFile::SectionExists(const QString& section) const
{
    return FindSection(section).header >= 0;
}

QString TqxIniFile::ReadString(const QString& section, const QString& key, const QString& def) const
{
    const qsizetype i = FindKey(FindSection(section), key);
    if (i < 0)
        return def;
    QString k, v;
    ParseKey(FLines.at(i), &k, &v);
    return v;
}

int TqxIniFile::ReadInteger(const QString& section, const QString& key, int def) const
{
    bool ok = false;
    const int v = ReadString(section, key).toInt(&ok);
    return ok ? v : def;
}

QStringList TqxIniFile::ReadSection(const QString& section) const
{
    QStringList keys;
    const Range r = FindSection(section);
    QString k;
    for (qsizetype i = r.header + 1; r.header >= 0 && i < r.end; ++i)
        if (ParseKey(FLines.at(i), &k, nullptr))
            keys.append(k);
    return keys;
}

TNameValueList TqxIniFile::ReadSectionValues(const QString& section) const
{
    TNameValueList list;
    const Range r = FindSection(section);
    QString k, v;
    for (qsizetype i = r.header + 1; r.header >= 0 && i < r.end; ++i)
        if (ParseKey(FLines.at(i), &k, &v))
            list.AddPair(k, v);
    return list;
}

void TqxIniFile::WriteString(const QString& section, const QString& key, const QString& value)
{
    const QString line = key + u'=' + value;
    Range r = FindSection(section);
    if (r.header < 0) {
        if (!FLines.isEmpty() && !FLines.constLast().trimmed().isEmpty())
            FLines.append(QString());
        FLines.append(u'[' + section + u']');
        FLines.append(line);
        FModified = true;
        return;
    }
    const qsizetype i = FindKey(r, key);
    if (i >= 0) {
        if (FLines.at(i) != line) {
            FLines[i] = line;
            FModified = true;
        }
        return;
    }
    // A new key goes after the section's last key, ahead of blank lines and
    // comments that introduce the next section.
    qsizetype at = r.header + 1;
    QString k;
    for (qsizetype j = r.header + 1; j < r.end; ++j)
        if (ParseKey(FLines.at(j), &k, nullptr))
            at = j + 1;
    FLines.insert(at, line);
    FModified = true;
}

void TqxIniFile::WriteInteger(const QString& section, const QString& key, int value)
{
    WriteString(section, key, QString::number(value));
}

void TqxIniFile::DeleteKey(const QString& section, const QString& key)
{
    const qsizetype i = FindKey(FindSection(section), key);
    if (i >= 0) {
        FLines.removeAt(i);
        FModified = true;
    }
}

void TqxIniFile::EraseSection(const QString& section)
{
    const Range r = FindSection(section);
    if (r.header < 0)
        return;
    FLines.remove(r.header, r.end - r.header);
    FModified = true;
}

void TqxIniFile::UpdateFile()
{
    if (!FModified)
        return;
    FileSystem::WriteFileAtomic(FFileName, ToBytes());
    FModified = false;
}

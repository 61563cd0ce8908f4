#include "KavelinFiles.h"

#include "GbkText.h"
#include "qxErrors.h"
#include "qxFileSystem.h"
#include "qxIniFile.h"
#include "qxPrompter.h"
#include "qxStrings.h"

#include <QIODevice>
#include <QtEndian>

using namespace Qt::StringLiterals;

namespace {

const QString kPassWord = u"密码"_s;
const QString kProjectName = u"工程名称"_s;

QString damaged(const QString& fileName, const QString& what)
{
    return u"文件 "_s + fileName + u" 已损坏："_s + what;
}

} // namespace

QStringList TKVFile::HeaderLines() const
{
    QStringList lines;
    lines.reserve(qsizetype(FLines.size()));
    for (const Line& l : FLines)
        lines.append(l.text);
    return lines;
}

qsizetype TKVFile::IndexOfName(const QString& name) const
{
    for (size_t i = 0; i < FLines.size(); ++i) {
        const QString& t = FLines[i].text;
        const qsizetype eq = t.indexOf(u'=');
        if (eq >= 0 && QStringView(t).left(eq).compare(name, Qt::CaseInsensitive) == 0)
            return qsizetype(i);
    }
    return -1;
}

qsizetype TKVFile::IndexOfSection(const QString& name) const { return IndexOfName(SectionPrefix + name); }

QString TKVFile::ReadValue(const QString& name) const
{
    const qsizetype i = IndexOfName(name);
    return i < 0 ? QString() : TNameValueList::ValueOf(FLines[size_t(i)].text);
}

void TKVFile::WriteValue(const QString& name, const QString& value)
{
    const qsizetype i = IndexOfName(name);
    if (i < 0)
        FLines.push_back({name + u'=' + value});
    else if (!value.isEmpty())
        FLines[size_t(i)].text = TNameValueList::NameOf(FLines[size_t(i)].text) + u'=' + value;
    else
        FLines.erase(FLines.begin() + i);
}

QString TKVFile::PassWord() const { return ReadValue(kPassWord); }

void TKVFile::SetPassWord(const QString& value) { WriteValue(kPassWord, value); }

QString TKVFile::ProjectName() const { return FLines.empty() ? QString() : ReadValue(kProjectName); }

void TKVFile::SetProjectName(const QString& value)
{
    if (value.isEmpty() && IndexOfName(kProjectName) < 0)
        return;
    WriteValue(kProjectName, value);
}

bool TKVFile::HasSection(const QString& name) const { return IndexOfSection(name) >= 0; }

void TKVFile::SaveSection(const QString& name, QIODevice* stream)
{
    if (!stream)
        throw EKavelinErr(u"无法保存空数据区！"_s);
    QByteArray data;
    bool ok = stream->seek(0);
    if (ok) {
        data = stream->readAll();
        ok = stream->atEnd();
    }
    if (!ok)
        throw EKavelinErr(u"保存数据区["_s + name + u"]失败！"_s);
    SaveSection(name, data);
}

void TKVFile::SaveSection(const QString& name, const QByteArray& data)
{
    qsizetype i = IndexOfSection(name);
    if (i < 0) {
        FLines.push_back({SectionPrefix + name + u"=0"_s});
        i = qsizetype(FLines.size()) - 1;
    }
    Line& line = FLines[size_t(i)];
    line.text = TNameValueList::NameOf(line.text) + u'=' + QString::number(data.size());
    line.hasBuffer = true;
    line.buffer = data;
}

void TKVFile::LoadSection(const QString& name, QIODevice* stream)
{
    if (FLines.empty())
        return;
    const qsizetype i = IndexOfSection(name);
    if (i < 0) {
        ShowMessage(u"无法读取不存在的数据区["_s + name + u"]！"_s, u"读取出错"_s, TMsgIcon::Error);
        return;
    }
    const Line& line = FLines[size_t(i)];
    if (!line.hasBuffer || line.buffer.isEmpty())
        return;
    if (!stream || stream->write(line.buffer) != line.buffer.size() || !stream->seek(0))
        throw EKavelinErr(u"读取数据区["_s + name + u"]失败！"_s);
}

std::optional<QByteArray> TKVFile::SectionData(const QString& name) const
{
    const qsizetype i = IndexOfSection(name);
    if (i < 0)
        return std::nullopt;
    return FLines[size_t(i)].buffer;
}

void TKVFile::Clear() { FLines.clear(); }

void TKVFile::New()
{
    FFileName.clear();
    FIsNew = true;
    Fire(OnFileNameChanged);
    Clear();
}

void TKVFile::SetFileName(const QString& value)
{
    if (value.compare(FFileName, Qt::CaseInsensitive) == 0)
        return;
    FFileName = value;
    if (!FIsNew)
        Load();
    Fire(OnFileNameChanged);
}

void TKVFile::Load()
{
    if (!FileSystem::FileExists(FFileName))
        throw EKavelinErr(u"文件 "_s + FFileName + u" 不存在！"_s);
    if (LoadFromFile(FFileName))
        Fire(OnAfterLoad);
}

bool TKVFile::Save()
{
    if (!SaveToFile(FFileName))
        return false;
    FIsNew = false;
    Fire(OnAfterSave);
    return true;
}

bool TKVFile::LoadFromFile(const QString& fileName)
{
    Clear();
    return LoadFromBytes(FileSystem::ReadFile(fileName), fileName);
}

bool TKVFile::LoadFromBytes(const QByteArray& file, const QString& fileName)
{
    Clear();
    if (file.isEmpty()) {
        FireError(feUnknownFormat);
        return false;
    }

    // Every size is checked against the bytes actually there before anything
    // is kept, so a damaged file leaves the component empty, never half loaded.
    if (file.size() < 4)
        throw EKavelinErr(damaged(fileName, u"文件头长度不完整。"_s));
    const quint32 headerLength = qFromLittleEndian<quint32>(file.constData());
    const qsizetype available = file.size() - 4;
    if (headerLength > quint64(available))
        throw EKavelinErr(damaged(fileName, u"文件头长度 %1 字节超出了文件的大小（%2 字节）。"_s
                                                .arg(headerLength).arg(file.size())));
    QByteArrayView header(file.constData() + 4, qsizetype(headerLength));
    if (const qsizetype nul = header.indexOf('\0'); nul >= 0)
        header = header.first(nul);

    std::vector<Line> lines;
    for (const QString& text : TqxIniFile::SplitLines(Gbk::Decode(header)))
        lines.push_back({text});

    qsizetype pos = 4 + qsizetype(headerLength);
    for (Line& line : lines) {
        if (!line.text.startsWith(SectionPrefix))
            continue;
        line.hasBuffer = true;
        bool ok = false;
        const qint32 size = TNameValueList::ValueOf(line.text).toInt(&ok);
        if (!ok || size <= 0)
            continue;
        if (size > file.size() - pos) {
            const QString name = TNameValueList::NameOf(line.text).mid(SectionPrefix.size());
            throw EKavelinErr(damaged(fileName, u"数据区[%1]的大小 %2 字节超出了文件的末尾。"_s.arg(name).arg(size)));
        }
        line.buffer = file.mid(pos, size);
        pos += size;
    }

    FLines = std::move(lines);
    QString given;
    if (!PassWord().isEmpty() && OnPassWord)
        OnPassWord(this, given);
    if (given != PassWord())
        FireError(feWrongPassWord);
    return true;
}

QByteArray TKVFile::ToBytes() const
{
    QByteArray header;
    for (const Line& l : FLines) {
        Gbk::AppendEncoded(header, l.text);
        header.append("\r\n", 2);
    }
    QByteArray out;
    qsizetype total = 4 + header.size();
    for (const Line& l : FLines)
        total += l.hasBuffer ? l.buffer.size() : 0;
    out.reserve(total);
    char len[4];
    qToLittleEndian<quint32>(quint32(header.size()), len);
    out.append(len, 4);
    out.append(header);
    for (const Line& l : FLines)
        if (l.hasBuffer)
            out.append(l.buffer);
    return out;
}

bool TKVFile::SaveToFile(const QString& fileName)
{
    try {
        FileSystem::WriteFileAtomic(fileName, ToBytes());
    } catch (...) {
        FireError(feSaveFailed);
        throw;
    }
    return true;
}

#include "StageFiles.h"

#include "GbkText.h"
#include "qxDataSet.h"
#include "qxErrors.h"
#include "qxFileSystem.h"
#include "qxIniFile.h"

#include <QBuffer>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QImage>
#include <QLinearGradient>
#include <QPainter>
#include <QPainterPath>

using namespace Qt::StringLiterals;

namespace Stage {

QString ReadSeed(const QString& seedFile)
{
    QFile f(seedFile);
    if (!f.open(QIODevice::ReadOnly))
        throw EFileError(u"无法读取种子数据 "_s + seedFile);
    return QString::fromUtf8(f.readAll());
}

QByteArray GbkText(const QString& seedFile)
{
    QString text;
    for (const QString& line : TqxIniFile::SplitLines(ReadSeed(seedFile)))
        text += line + u"\r\n"_s;
    const QByteArray gbk = Gbk::Encode(text);
    if (Gbk::Decode(gbk) != text)
        throw EKavelinErr(seedFile + u" 含有 GBK 无法表示的字符"_s);
    return gbk;
}

void AppendTsv(TqxDataSet& table, const QString& seedFile)
{
    QStringList lines = ReadSeed(seedFile).split(u'\n');
    while (!lines.isEmpty() && lines.last().trimmed().isEmpty())
        lines.removeLast();
    if (lines.isEmpty())
        return;
    std::vector<TqxField*> columns;
    for (const QString& name : lines.takeFirst().split(u'\t'))
        columns.push_back(table.FieldByName(name.trimmed()));
    int lineNo = 1;
    for (const QString& line : std::as_const(lines)) {
        ++lineNo;
        const QStringList cells = line.split(u'\t');
        if (cells.size() != qsizetype(columns.size()))
            throw EKavelinErr(u"%1 第 %2 行有 %3 列，应为 %4 列"_s.arg(seedFile).arg(lineNo).arg(cells.size()).arg(columns.size()));
        table.Append();
        for (size_t c = 0; c < columns.size(); ++c) {
            const QString& cell = cells[qsizetype(c)];
            TqxField* f = columns[c];
            if (cell.isEmpty())
                continue;
            if (f->Kind() == TqxFieldKind::String && Gbk::ByteLength(cell) > f->Size())
                throw EKavelinErr(u"%1 第 %2 行：%3 超出了 %4 字节"_s.arg(seedFile).arg(lineNo).arg(f->FieldName()).arg(f->Size()));
            f->SetAsString(cell);
        }
        table.Post();
    }
    table.MergeChangeLog();
}

void Write(const QString& path, const QByteArray& data)
{
    QDir().mkpath(QFileInfo(path).absolutePath());
    FileSystem::WriteFileAtomic(path, data);
}

namespace {

QByteArray encoded(const QImage& image, const char* format, int quality = -1)
{
    QByteArray bytes;
    QBuffer buffer(&bytes);
    buffer.open(QIODevice::WriteOnly);
    if (!image.save(&buffer, format, quality))
        throw EKavelinErr(u"无法生成图片（%1）"_s.arg(QString::fromLatin1(format)));
    return bytes;
}

// A house: a roof over a body with a door and a window.
QPainterPath house(const QRectF& r)
{
    QPainterPath p;
    const double w = r.width(), h = r.height();
    p.moveTo(r.left() + w * 0.5, r.top());
    p.lineTo(r.right(), r.top() + h * 0.45);
    p.lineTo(r.right() - w * 0.12, r.top() + h * 0.45);
    p.lineTo(r.right() - w * 0.12, r.bottom());
    p.lineTo(r.left() + w * 0.12, r.bottom());
    p.lineTo(r.left() + w * 0.12, r.top() + h * 0.45);
    p.lineTo(r.left(), r.top() + h * 0.45);
    p.closeSubpath();
    return p;
}

} // namespace

QByteArray ProductPicture()
{
    QImage image(440, 318, QImage::Format_RGB32);
    QPainter p(&image);
    p.setRenderHint(QPainter::Antialiasing);
    QLinearGradient sky(0, 0, 0, 318);
    sky.setColorAt(0, QColor(38, 70, 112));
    sky.setColorAt(1, QColor(96, 140, 176));
    p.fillRect(image.rect(), sky);

    // A floor plan in thin lines behind the title: what the program is for.
    p.setPen(QPen(QColor(255, 255, 255, 40), 1));
    for (int x = 250; x <= 420; x += 34)
        p.drawLine(x, 40, x, 250);
    for (int y = 40; y <= 250; y += 30)
        p.drawLine(250, y, 420, y);

    p.setPen(Qt::NoPen);
    p.setBrush(QColor(240, 176, 72));
    p.drawPath(house(QRectF(40, 48, 120, 110)));
    p.setBrush(QColor(38, 70, 112));
    p.drawRect(QRectF(86, 112, 28, 46));
    p.drawRect(QRectF(126, 104, 18, 18));

    QFont title(u"WenQuanYi Micro Hei"_s);
    title.setPixelSize(54);
    title.setBold(true);
    p.setFont(title);
    p.setPen(Qt::white);
    p.drawText(QRect(30, 170, 380, 64), Qt::AlignLeft | Qt::AlignVCenter, u"Kavelin"_s);

    QFont sub = title;
    sub.setPixelSize(20);
    sub.setBold(false);
    p.setFont(sub);
    p.drawText(QRect(34, 232, 380, 30), Qt::AlignLeft | Qt::AlignVCenter, u"家装工程预算软件"_s);
    sub.setPixelSize(13);
    p.setFont(sub);
    p.setPen(QColor(220, 230, 240));
    p.drawText(QRect(34, 276, 380, 24), Qt::AlignLeft | Qt::AlignVCenter, u"版本 1.0    Orbelle软件"_s);
    p.end();
    return encoded(image, "JPG", 90);
}

QByteArray TagIcon()
{
    QImage image(32, 32, QImage::Format_ARGB32);
    image.fill(Qt::transparent);
    QPainter p(&image);
    p.setRenderHint(QPainter::Antialiasing);
    p.setPen(Qt::NoPen);
    p.setBrush(QColor(38, 70, 112));
    p.drawRoundedRect(QRectF(1, 1, 30, 30), 6, 6);
    p.setBrush(QColor(240, 176, 72));
    p.drawPath(house(QRectF(6, 5, 20, 21)));
    p.end();
    return encoded(image, "ICO");
}

} // namespace Stage

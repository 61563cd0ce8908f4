#include "kvReport.h"

#include "qxErrors.h"

#include <QFileInfo>
#include <QPagedPaintDevice>
#include <QPainter>
#include <QPdfWriter>
#include <QSaveFile>

using namespace Qt::StringLiterals;

QPageLayout TkvPreparedReport::FirstPageLayout() const
{
    return FPages.isEmpty() ? QPageLayout(QPageSize(QPageSize::A4), QPageLayout::Portrait, QMarginsF())
                            : FPages.first().Layout;
}

void TkvPreparedReport::Append(const TkvPreparedReport& other)
{
    FPages += other.FPages;
}

void TkvPreparedReport::PaintPage(QPainter& painter, int page, double deviceDpi) const
{
    if (page < 0 || page >= FPages.size())
        return;
    const Page& p = FPages[page];
    painter.save();
    painter.scale(deviceDpi / DotsPerInch, deviceDpi / DotsPerInch);
    int font = -1;
    QRgb pen = 0;
    double penWidth = -1;
    bool penSet = false;
    auto usePen = [&](QRgb colour, double width) {
        if (!penSet || colour != pen || width != penWidth) {
            QPen qp{QColor::fromRgba(colour)};
            qp.setWidthF(width);
            qp.setCapStyle(Qt::SquareCap);
            painter.setPen(qp);
            pen = colour;
            penWidth = width;
            penSet = true;
        }
    };
    for (const Op& op : p.Ops) {
        switch (op.What) {
        case Op::DrawText:
            if (op.Font != font) {
                font = op.Font;
                painter.setFont(p.Res->Fonts[font]);
            }
            usePen(op.Color, 0);
            painter.drawText(op.Rect, op.Flags | Qt::TextDontClip, op.Text);
            break;
        case Op::DrawLine:
            usePen(op.Color, op.Width);
            painter.drawLine(op.Rect.topLeft(), op.Rect.bottomRight());
            break;
        case Op::FillRect:
            painter.fillRect(op.Rect, QColor::fromRgba(op.Color));
            break;
        case Op::DrawImage:
            if (op.Index >= 0 && op.Index < p.Res->Images.size())
                painter.drawImage(op.Rect, p.Res->Images[op.Index]);
            break;
        }
    }
    painter.restore();
}

void TkvPreparedReport::Paint(QPagedPaintDevice& device, int fromPage, int toPage) const
{
    const int first = fromPage > 0 ? fromPage - 1 : 0;
    const int last = toPage > 0 ? std::min(toPage, PageCount()) - 1 : PageCount() - 1;
    if (first > last)
        return;
    device.setPageLayout(FPages[first].Layout);
    QPainter painter(&device);
    const double dpi = device.logicalDpiX();
    for (int i = first; i <= last; ++i) {
        if (i > first) {
            if (!(FPages[i].Layout == FPages[i - 1].Layout))
                device.setPageLayout(FPages[i].Layout);
            device.newPage();
        }
        PaintPage(painter, i, dpi);
    }
}

void TkvPreparedReport::SavePdf(const QString& fileName, const QString& title) const
{
    QSaveFile file(fileName);
    if (!file.open(QIODevice::WriteOnly))
        throw EFileError(u"不能写入文件“"_s + fileName + u"”："_s + file.errorString());
    {
        QPdfWriter writer(&file);
        writer.setCreator(u"Kavelin"_s);
        writer.setTitle(title);
        writer.setResolution(1200);
        Paint(writer);
    }
    if (!file.commit())
        throw EFileError(u"不能写入文件“"_s + fileName + u"”："_s + file.errorString());
}

QImage TkvPreparedReport::PageImage(int page, double dpi) const
{
    if (page < 0 || page >= FPages.size())
        return QImage();
    const QSizeF mm = FPages[page].Layout.fullRect(QPageLayout::Millimeter).size();
    QImage img(QSize(int(mm.width() / 25.4 * dpi), int(mm.height() / 25.4 * dpi)), QImage::Format_RGB32);
    img.fill(Qt::white);
    QPainter painter(&img);
    painter.setRenderHint(QPainter::Antialiasing);
    painter.setRenderHint(QPainter::TextAntialiasing);
    PaintPage(painter, page, dpi);
    return img;
}

QString TkvPreparedReport::Text() const
{
    QStringList out;
    for (const Page& page : FPages)
        for (const Op& op : page.Ops)
            if (op.What == Op::DrawText)
                out.append(op.Text);
    return out.join(u'\n');
}

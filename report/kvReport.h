#pragma once
// A prepared report: its pages laid out once as lists of drawing steps, ready
// to be painted any number of times on the preview, a printer or a PDF file.
// Layout happens in a fixed device-independent unit (dots of 1/600 inch) with
// fonts sized in those dots, so what fitted a cell on the screen fits it on
// paper too.

#include "kvReportData.h"
#include "kvReportTemplate.h"

#include <QFont>
#include <QImage>
#include <QList>
#include <QPageLayout>
#include <QRectF>
#include <memory>

class QPainter;
class QPagedPaintDevice;

class TkvPreparedReport {
public:
    static constexpr double DotsPerInch = 600;

    struct Op {
        enum Kind : quint8 { DrawText, DrawLine, FillRect, DrawImage };
        Kind What = DrawText;
        quint8 Font = 0;
        int Flags = 0;      // Qt::Alignment of a text
        QRectF Rect;        // a line runs from topLeft to bottomRight
        QRgb Color = 0xff000000;
        double Width = 0;   // pen width of a line
        int Index = -1;     // the picture of an image step
        QString Text;       // already broken into lines
    };
    struct Resources {
        QList<QFont> Fonts;
        QList<QImage> Images;
    };
    struct Page {
        QPageLayout Layout;
        QList<Op> Ops;
        std::shared_ptr<const Resources> Res;
    };

    // Lays the template out with the data. Throws EKavelinErr when the
    // template names a data set that does not exist.
    static TkvPreparedReport Prepare(const TkvReportTemplate& t, const TkvReportData& data);

    bool IsEmpty() const { return FPages.isEmpty(); }
    int PageCount() const { return int(FPages.size()); }
    const Page& PageAt(int i) const { return FPages[i]; }
    QPageLayout FirstPageLayout() const;
    // The pages of another report follow these (the four reports in one file).
    void Append(const TkvPreparedReport& other);

    // Paints one page with its top-left paper corner at the painter's origin,
    // scaled for a device of that resolution.
    void PaintPage(QPainter& painter, int page, double deviceDpi) const;
    // Paints every page on a device that starts on its first page: a PDF
    // writer or a printer (a printer prints the full page; pages fromPage to
    // toPage, 1-based, 0 for all).
    void Paint(QPagedPaintDevice& device, int fromPage = 0, int toPage = 0) const;
    // Writes the pages to a PDF file through a temporary file, so a failure
    // never leaves half a document behind. Throws EFileError naming the file.
    void SavePdf(const QString& fileName, const QString& title = QString()) const;
    // The page as a picture at that resolution (tests and thumbnails).
    QImage PageImage(int page, double dpi) const;
    // Every text the pages draw, page after page, one step a line.
    QString Text() const;

private:
    QList<Page> FPages;
};

// The layout of a template with its data: the body flows down the pages, a
// table row is never cut by a page break, table head rows repeat on every
// page, a group head never stays alone at the foot of a page, and header and
// footer are laid out last, once the number of pages is known.

#include "kvReport.h"
#include "kvRmbText.h"
#include "qxErrors.h"
#include "qxFileSystem.h"
#include "qxNumbers.h"

#include <QFontMetricsF>
#include <QHash>
#include <QTextLayout>
#include <cmath>

using namespace Qt::StringLiterals;

namespace {

constexpr double kDpi = TkvPreparedReport::DotsPerInch;
double mm(double v) { return v / 25.4 * kDpi; }

const double kCellPadX = mm(1.3);
const double kCellPadY = mm(0.9);
const QRgb kLineColour = qRgb(0x40, 0x40, 0x40);

QString withThousands(const QString& fixed)
{
    const qsizetype dot = fixed.indexOf(u'.');
    qsizetype end = dot < 0 ? fixed.size() : dot;
    const qsizetype begin = fixed.startsWith(u'-') ? 1 : 0;
    QString out = fixed;
    for (qsizetype pos = end - 3; pos > begin; pos -= 3)
        out.insert(pos, u',');
    return out;
}

// Small whole numbers as Chinese numerals, for headings: 1 一, 12 十二, 40 四十.
QString chineseNumber(double d)
{
    static constexpr QChar kDigits[] = {u'零', u'一', u'二', u'三', u'四', u'五', u'六', u'七', u'八', u'九'};
    const int n = int(std::lround(d));
    if (n < 1 || n > 99)
        return QString::number(n);
    QString out;
    if (n >= 10) {
        if (n >= 20)
            out += kDigits[n / 10];
        out += u'十';
    }
    if (n % 10)
        out += kDigits[n % 10];
    return out;
}

QString formatted(const QVariant& v, const QString& format)
{
    if (v.isNull())
        return QString();
    const bool numeric = v.typeId() == QMetaType::Double || v.typeId() == QMetaType::Int ||
                         v.typeId() == QMetaType::LongLong || v.typeId() == QMetaType::Float;
    if (format.isEmpty()) {
        if (v.typeId() == QMetaType::Double || v.typeId() == QMetaType::Float)
            return MoneyToStr(v.toDouble());
        return v.toString();
    }
    bool ok = numeric;
    const double d = numeric ? v.toDouble() : v.toString().trimmed().toDouble(&ok);
    if (!ok)
        return v.toString();
    if (format == u"money"_s)
        return withThousands(FormatFixed(d, 2));
    if (format == u"0.00"_s)
        return FormatFixed(d, 2);
    if (format == u"qty"_s)
        return MoneyToStr(d);
    if (format == u"rmb"_s)
        return RmbCapital(d);
    if (format == u"cn"_s)
        return chineseNumber(d);
    return v.toString();
}

struct Scope {
    const TkvReportRows* Rows = nullptr;
    const QHash<QString, int>* Index = nullptr;
    qsizetype Row = -1;
    qsizetype First = 0, Last = -1; // inclusive range of the aggregates
    int Page = 0, Pages = 0;
};

class Layout {
public:
    Layout(const TkvReportTemplate& t, const TkvReportData& d);
    QList<TkvPreparedReport::Page> Run();

private:
    struct Row {
        QList<TkvPreparedReport::Op> Ops; // relative to the row's top
        double Height = 0;
    };

    int Font(double size, bool bold);
    const QFontMetricsF& Metrics(int font) { return FMetrics[font]; }
    QVariant Value(const QString& name, const Scope& s) const;
    QString Text(const TkvReportText& text, const Scope& s) const;
    bool Skip(const QString& ifName, const Scope& s) const;
    // Breaks text into lines that fit the width.
    QStringList Wrap(int font, const QString& text, double width);

    void NewPage();
    double Place(const QList<TkvReportItem>& items, double y, const Scope& s, bool measureOnly);
    void TableItem(const TkvReportTable& table);
    Row MakeRow(const TkvReportTable& table, const TkvReportRowDef& def, const Scope& s);
    void Put(const Row& row); // at FY on the current page
    const TkvReportRows* Rows(const QString& name, const QHash<QString, int>*& index);

    const TkvReportTemplate& T;
    const TkvReportData& D;
    std::shared_ptr<TkvPreparedReport::Resources> FRes = std::make_shared<TkvPreparedReport::Resources>();
    QList<QFontMetricsF> FMetrics;
    QHash<quint32, int> FFontIndex;
    QHash<QString, int> FImageIndex;
    QPageLayout FLayout;
    double FWidth = 0, FHeight = 0; // paper, dots
    double FLeft = 0, FRight = 0, FTop = 0, FBottom = 0;
    double FY = 0;
    QList<TkvPreparedReport::Page> FPages;
    TkvReportRows FInfoRows;
    QHash<QString, int> FBudgetIndex, FFeeIndex, FInfoIndex;
    // Table columns of the table being laid out: left edges and the right edge.
    QList<double> FColX;
    QList<Row> FHeadRows;
    int FTarget = -1; // the page header and footer are placed on; -1: the last page
};

QHash<QString, int> indexOf(const TkvReportRows& rows)
{
    QHash<QString, int> h;
    for (int i = 0; i < rows.Fields.size(); ++i)
        h.insert(rows.Fields[i], i);
    return h;
}

Layout::Layout(const TkvReportTemplate& t, const TkvReportData& d) : T(t), D(d)
{
    const QPageSize::PageSizeId id = t.PageSize == u"A3"_s   ? QPageSize::A3
                                     : t.PageSize == u"A5"_s ? QPageSize::A5
                                     : t.PageSize == u"B5"_s ? QPageSize::B5
                                                             : QPageSize::A4;
    FLayout = QPageLayout(QPageSize(id), t.Landscape ? QPageLayout::Landscape : QPageLayout::Portrait,
                          QMarginsF(0, 0, 0, 0), QPageLayout::Millimeter);
    const QSizeF paper = FLayout.fullRect(QPageLayout::Millimeter).size();
    FWidth = mm(paper.width());
    FHeight = mm(paper.height());
    FLeft = mm(t.Margins[0]);
    FRight = FWidth - mm(t.Margins[2]);

    FInfoRows.Fields = {ReportData::InfoItem, ReportData::InfoContent};
    for (const auto& [key, value] : d.Information)
        FInfoRows.Rows.append({key, value});
    FBudgetIndex = indexOf(d.Budget);
    FFeeIndex = indexOf(d.Fees);
    FInfoIndex = indexOf(FInfoRows);
}

int Layout::Font(double size, bool bold)
{
    if (size <= 0)
        size = T.FontSize;
    const int px = std::max(1, int(std::lround(size * kDpi / 72.0)));
    const quint32 key = quint32(px) << 1 | (bold ? 1u : 0u);
    if (auto it = FFontIndex.constFind(key); it != FFontIndex.constEnd())
        return *it;
    QFont f(T.FontFamily);
    f.setPixelSize(px);
    f.setBold(bold);
    f.setHintingPreference(QFont::PreferNoHinting);
    const int index = int(FRes->Fonts.size());
    if (index > 250)
        throw EKavelinErr(u"报表模板用到的字体太多。"_s);
    FRes->Fonts.append(f);
    FMetrics.append(QFontMetricsF(f));
    FFontIndex.insert(key, index);
    return index;
}

QVariant Layout::Value(const QString& name, const Scope& s) const
{
    if (name == u"页号"_s)
        return s.Page > 0 ? QVariant(s.Page) : QVariant();
    if (name == u"总页数"_s)
        return s.Pages > 0 ? QVariant(s.Pages) : QVariant();
    if (s.Rows) {
        if (name == u"count"_s)
            return qlonglong(std::max<qsizetype>(0, s.Last - s.First + 1));
        if (name.startsWith(u"sum."_s)) {
            QList<int> fields;
            for (const QString& f : name.mid(4).split(u'*'))
                fields.append(s.Index->value(f.trimmed(), -1));
            double total = 0;
            for (qsizetype r = s.First; r <= s.Last; ++r) {
                double product = 1;
                for (int f : fields)
                    product *= s.Rows->Value(r, f).toDouble();
                total += product;
            }
            return total;
        }
        if (name.startsWith(u"first."_s) || name.startsWith(u"last."_s)) {
            const bool first = name.startsWith(u"first."_s);
            const qsizetype r = first ? s.First : s.Last;
            if (r < s.First || r > s.Last)
                return QVariant();
            return s.Rows->Value(r, s.Index->value(name.mid(first ? 6 : 5), -1));
        }
        if (name == u"行号"_s && s.Row >= 0)
            return qlonglong(s.Row + 1);
        if (s.Row >= 0)
            if (auto it = s.Index->constFind(name); it != s.Index->constEnd())
                return s.Rows->Value(s.Row, *it);
    }
    return D.NamedValue(name);
}

QString Layout::Text(const TkvReportText& text, const Scope& s) const
{
    if (text.Parts.size() == 1 && !text.Parts[0].IsTag)
        return text.Parts[0].Text;
    QString out;
    for (const auto& p : text.Parts)
        out += p.IsTag ? formatted(Value(p.Text, s), p.Format) : p.Text;
    return out;
}

bool Layout::Skip(const QString& ifName, const Scope& s) const
{
    return !ifName.isEmpty() && Value(ifName, s).toString().trimmed().isEmpty();
}

QStringList Layout::Wrap(int font, const QString& text, double width)
{
    const QFontMetricsF& fm = Metrics(font);
    QStringList out;
    for (const QString& para : text.split(u'\n')) {
        QString line = para;
        line.remove(u'\r');
        if (line.isEmpty() || fm.horizontalAdvance(line) <= width) {
            out.append(line);
            continue;
        }
        QTextLayout tl(line, FRes->Fonts[font]);
        QTextOption opt;
        opt.setWrapMode(QTextOption::WrapAtWordBoundaryOrAnywhere);
        tl.setTextOption(opt);
        tl.beginLayout();
        for (QTextLine l = tl.createLine(); l.isValid(); l = tl.createLine()) {
            l.setLineWidth(width);
            out.append(line.mid(l.textStart(), l.textLength()).trimmed());
        }
        tl.endLayout();
    }
    return out;
}

void Layout::NewPage()
{
    TkvPreparedReport::Page p;
    p.Layout = FLayout;
    p.Res = FRes;
    FPages.append(p);
    FY = FTop;
}

// Header, footer and the non-table body items. Returns the y after them.
double Layout::Place(const QList<TkvReportItem>& items, double y, const Scope& s, bool measureOnly)
{
    using Op = TkvPreparedReport::Op;
    QList<Op>* ops = measureOnly || FPages.isEmpty() ? nullptr
                     : FTarget >= 0                  ? &FPages[FTarget].Ops
                                                     : &FPages.last().Ops;
    for (const TkvReportItem& item : items) {
        if (Skip(item.If, s))
            continue;
        switch (item.What) {
        case TkvReportItem::Space:
            y += mm(item.Size);
            break;
        case TkvReportItem::Rule:
            if (ops) {
                Op op;
                op.What = Op::DrawLine;
                op.Rect = QRectF(QPointF(FLeft, y + mm(item.Size) / 2), QPointF(FRight, y + mm(item.Size) / 2));
                op.Width = mm(item.Size);
                op.Color = item.Style.Color.isValid() ? item.Style.Color.rgb() : kLineColour;
                ops->append(op);
            }
            y += mm(item.Size) + mm(0.8);
            break;
        case TkvReportItem::Image: {
            const QString path = Value(item.Name, s).toString();
            const QString file = D.ExpandPath ? D.ExpandPath(path) : path;
            int index = FImageIndex.value(file, -2);
            if (index == -2) {
                QImage img;
                if (!file.isEmpty())
                    img.load(FileSystem::NativePath(file));
                index = img.isNull() ? -1 : int(FRes->Images.size());
                if (index >= 0)
                    FRes->Images.append(img);
                FImageIndex.insert(file, index);
            }
            if (index < 0 || file.isEmpty())
                break;
            const QImage& img = FRes->Images[index];
            const double h = mm(item.Size);
            const double w = std::min(FRight - FLeft, h * img.width() / std::max(1, img.height()));
            const int align = item.Style.Align ? item.Style.Align : Qt::AlignHCenter;
            const double x = align == Qt::AlignLeft ? FLeft : align == Qt::AlignRight ? FRight - w : (FLeft + FRight - w) / 2;
            if (!measureOnly && &items == &T.Body && y + h > FBottom && y > FTop) {
                NewPage();
                y = FTop;
                ops = &FPages.last().Ops;
            }
            if (ops) {
                Op op;
                op.What = Op::DrawImage;
                op.Rect = QRectF(x, y, w, h);
                op.Index = index;
                ops->append(op);
            }
            y += h;
            break;
        }
        case TkvReportItem::Text: {
            const int font = Font(item.Style.Size, item.Style.Bold);
            const QFontMetricsF& fm = Metrics(font);
            const QStringList lines = Wrap(font, Text(item.Content, s), FRight - FLeft);
            const int align = item.Style.Align ? item.Style.Align : Qt::AlignLeft;
            for (const QString& line : lines) {
                const double h = fm.lineSpacing();
                if (!measureOnly && &items == &T.Body && y + h > FBottom && y > FTop) {
                    NewPage();
                    y = FTop;
                    ops = &FPages.last().Ops;
                }
                if (ops && !line.isEmpty()) {
                    Op op;
                    op.What = Op::DrawText;
                    op.Font = quint8(font);
                    op.Flags = align | Qt::AlignVCenter;
                    op.Rect = QRectF(FLeft, y, FRight - FLeft, h);
                    op.Color = item.Style.Color.isValid() ? item.Style.Color.rgb() : 0xff000000;
                    op.Text = line;
                    ops->append(op);
                }
                if (!item.Style.Keep)
                    y += h;
            }
            break;
        }
        case TkvReportItem::NewPage:
            if (!measureOnly && y > FTop) {
                NewPage();
                y = FTop;
                ops = &FPages.last().Ops;
            }
            break;
        case TkvReportItem::Table:
            FY = y;
            TableItem(T.Tables[item.TableIndex]);
            y = FY;
            ops = &FPages.last().Ops;
            break;
        }
    }
    return y;
}

const TkvReportRows* Layout::Rows(const QString& name, const QHash<QString, int>*& index)
{
    if (name == ReportData::Budget) {
        index = &FBudgetIndex;
        return &D.Budget;
    }
    if (name == ReportData::Fees) {
        index = &FFeeIndex;
        return &D.Fees;
    }
    if (name == ReportData::Information) {
        index = &FInfoIndex;
        return &FInfoRows;
    }
    throw EKavelinErr(u"报表模板用到了不存在的数据集“"_s + name + u"”。"_s);
}

Layout::Row Layout::MakeRow(const TkvReportTable& table, const TkvReportRowDef& def, const Scope& s)
{
    using Op = TkvPreparedReport::Op;
    Row row;
    const int font = Font(def.Style.Size, def.Style.Bold);
    const QFontMetricsF& fm = Metrics(font);
    const int columns = int(table.Columns.size());
    double height = fm.lineSpacing();
    QList<Op> texts;
    int col = 0;
    for (qsizetype c = 0; c < def.Cells.size() && col < columns; ++c) {
        const TkvReportText& cell = def.Cells[c];
        int span = std::clamp(cell.Span, 1, columns - col);
        if (c == def.Cells.size() - 1)
            span = columns - col;
        const double x0 = FColX[col], x1 = FColX[col + span];
        const int align = def.Style.Align ? def.Style.Align : table.Columns[col].Align;
        col += span;
        const QString text = Text(cell, s);
        if (text.isEmpty())
            continue;
        const double width = x1 - x0 - 2 * kCellPadX;
        QString shown = text;
        int lines = 1;
        if (text.contains(u'\n') || fm.horizontalAdvance(text) > width) {
            const QStringList broken = Wrap(font, text, width);
            lines = int(broken.size());
            shown = broken.join(u'\n');
        }
        height = std::max(height, lines * fm.lineSpacing());
        Op op;
        op.What = Op::DrawText;
        op.Font = quint8(font);
        op.Flags = align | Qt::AlignVCenter;
        op.Rect = QRectF(x0 + kCellPadX, kCellPadY, width, 0);
        op.Color = def.Style.Color.isValid() ? def.Style.Color.rgb() : 0xff000000;
        op.Text = shown;
        texts.append(op);
    }
    row.Height = height + 2 * kCellPadY;
    const double left = FColX.first(), right = FColX.last();
    if (def.Style.Fill.isValid()) {
        Op op;
        op.What = Op::FillRect;
        op.Rect = QRectF(left, 0, right - left, row.Height);
        op.Color = def.Style.Fill.rgb();
        row.Ops.append(op);
    }
    for (Op& op : texts) {
        op.Rect.setHeight(height);
        row.Ops.append(op);
    }
    auto line = [&](double x0, double y0, double x1, double y1, double w) {
        Op op;
        op.What = Op::DrawLine;
        op.Rect = QRectF(QPointF(x0, y0), QPointF(x1, y1));
        op.Width = w;
        op.Color = kLineColour;
        row.Ops.append(op);
    };
    if (table.Frame == TkvReportTable::Grid) {
        const double w = mm(0.2);
        line(left, 0, right, 0, w);
        line(left, row.Height, right, row.Height, w);
        line(left, 0, left, row.Height, w);
        // Inner lines only where a cell ends, so spanned cells stay open.
        col = 0;
        for (qsizetype c = 0; c < def.Cells.size() && col < columns; ++c) {
            int span = std::clamp(def.Cells[c].Span, 1, columns - col);
            if (c == def.Cells.size() - 1)
                span = columns - col;
            col += span;
            line(FColX[col], 0, FColX[col], row.Height, w);
        }
        if (def.Cells.isEmpty())
            line(right, 0, right, row.Height, w);
    } else if (table.Frame == TkvReportTable::Lines) {
        line(left, row.Height, right, row.Height, mm(0.15));
    }
    return row;
}

void Layout::Put(const Row& row)
{
    QList<TkvPreparedReport::Op>& ops = FPages.last().Ops;
    for (TkvPreparedReport::Op op : row.Ops) {
        op.Rect.translate(0, FY);
        ops.append(op);
    }
    FY += row.Height;
}

void Layout::TableItem(const TkvReportTable& table)
{
    // Column edges.
    double total = 0;
    for (const auto& c : table.Columns)
        total += c.Width;
    const double avail = FRight - FLeft;
    const double width = table.Width > 0 ? std::min(avail, mm(table.Width)) : avail;
    double x = table.Align == Qt::AlignLeft    ? FLeft
               : table.Align == Qt::AlignRight ? FRight - width
                                               : FLeft + (avail - width) / 2;
    FColX.clear();
    for (const auto& c : table.Columns) {
        FColX.append(x);
        x += width * c.Width / total;
    }
    FColX.append(x);

    Scope none;
    FHeadRows.clear();
    double headHeight = 0;
    for (const auto& def : table.Head)
        if (!Skip(def.If, none)) {
            FHeadRows.append(MakeRow(table, def, none));
            headHeight += FHeadRows.last().Height;
        }

    bool headOnPage = false;
    // Starts a new page when the rows do not fit below; repeats the head.
    auto room = [&](double needed) {
        if (FY + needed > FBottom && FY > FTop) {
            NewPage();
            headOnPage = false;
        }
        if (!headOnPage) {
            for (const Row& r : FHeadRows)
                Put(r);
            headOnPage = true;
        }
    };
    auto put = [&](const Row& r, double keepWith = 0) {
        if (FY + r.Height + keepWith > FBottom && FY > FTop + (headOnPage ? headHeight : 0) + 0.5) {
            NewPage();
            headOnPage = false;
        }
        room(r.Height);
        Put(r);
    };

    if (table.Data.isEmpty()) {
        for (const auto& def : table.Row)
            if (!Skip(def.If, none))
                put(MakeRow(table, def, none));
        if (!headOnPage && !FHeadRows.isEmpty())
            room(headHeight);
        return;
    }

    const QHash<QString, int>* index = nullptr;
    const TkvReportRows* rows = Rows(table.Data, index);
    const int groupField = table.GroupField.isEmpty() ? -1 : index->value(table.GroupField, -1);
    const qsizetype n = rows->Rows.size();
    Scope s;
    s.Rows = rows;
    s.Index = index;
    qsizetype groupStart = 0;
    for (qsizetype r = 0; r < n; ++r) {
        const bool groupBegins = groupField >= 0 && (r == 0 || rows->Value(r, groupField) != rows->Value(r - 1, groupField));
        if (groupBegins) {
            groupStart = r;
            qsizetype end = r;
            while (end + 1 < n && rows->Value(end + 1, groupField) == rows->Value(r, groupField))
                ++end;
            Scope g = s;
            g.Row = r;
            g.First = r;
            g.Last = end;
            QList<Row> heads;
            for (const auto& def : table.GroupHead)
                if (!Skip(def.If, g))
                    heads.append(MakeRow(table, def, g));
            // A group head goes to the next page with the group's first row.
            Scope first = s;
            first.Row = r;
            double firstHeight = 0;
            for (const auto& def : table.Row)
                if (!Skip(def.If, first))
                    firstHeight += MakeRow(table, def, first).Height;
            double headsHeight = 0;
            for (const Row& h : heads)
                headsHeight += h.Height;
            for (qsizetype i = 0; i < heads.size(); ++i) {
                headsHeight -= heads[i].Height;
                put(heads[i], headsHeight + firstHeight);
            }
        }
        Scope item = s;
        item.Row = r;
        item.First = groupStart;
        item.Last = r;
        for (const auto& def : table.Row)
            if (!Skip(def.If, item))
                put(MakeRow(table, def, item));
        const bool groupEnds = groupField >= 0 && (r + 1 == n || rows->Value(r + 1, groupField) != rows->Value(r, groupField));
        if (groupEnds) {
            Scope g = s;
            g.Row = groupStart;
            g.First = groupStart;
            g.Last = r;
            for (const auto& def : table.GroupFoot)
                if (!Skip(def.If, g))
                    put(MakeRow(table, def, g));
        }
    }
    Scope all = s;
    all.Row = n - 1;
    all.First = 0;
    all.Last = n - 1;
    for (const auto& def : table.Total)
        if (!Skip(def.If, all))
            put(MakeRow(table, def, all));
    if (!headOnPage && !FHeadRows.isEmpty())
        room(headHeight);
}

QList<TkvPreparedReport::Page> Layout::Run()
{
    // The bands' heights, measured with page numbers of a wide enough size.
    Scope sample;
    sample.Page = 888;
    sample.Pages = 888;
    const double headerHeight = Place(T.Header, 0, sample, true);
    const double footerHeight = Place(T.Footer, 0, sample, true);
    const double top = mm(T.Margins[1]);
    const double bottom = FHeight - mm(T.Margins[3]);
    FTop = top + headerHeight + (headerHeight > 0 ? mm(3) : 0);
    FBottom = bottom - footerHeight - (footerHeight > 0 ? mm(3) : 0);
    if (FBottom - FTop < mm(30) || FRight - FLeft < mm(30))
        throw EKavelinErr(u"报表模板的页边距太大，页面上放不下内容。"_s);

    NewPage();
    Place(T.Body, FTop, Scope(), false);

    const int pages = int(FPages.size());
    for (int i = 0; i < pages; ++i) {
        Scope s;
        s.Page = i + 1;
        s.Pages = pages;
        // Header and footer go first in the page's list, the body after them.
        QList<TkvPreparedReport::Op> body = std::move(FPages[i].Ops);
        FPages[i].Ops = {};
        FTarget = i;
        Place(T.Header, top, s, false);
        Place(T.Footer, bottom - footerHeight, s, false);
        FPages[i].Ops += body;
    }
    FTarget = -1;
    return FPages;
}

} // namespace

TkvPreparedReport TkvPreparedReport::Prepare(const TkvReportTemplate& t, const TkvReportData& data)
{
    TkvPreparedReport r;
    r.FPages = Layout(t, data).Run();
    return r;
}

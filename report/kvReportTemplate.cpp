#include "kvReportTemplate.h"

#include "GbkText.h"
#include "qxErrors.h"
#include "qxFileSystem.h"

#include <QFileInfo>

using namespace Qt::StringLiterals;

TkvReportText TkvReportText::Parse(const QString& text)
{
    TkvReportText out;
    QStringView rest(text);
    if (rest.startsWith(u'<')) {
        const qsizetype close = rest.indexOf(u'>');
        bool ok = false;
        const int span = close > 1 ? rest.mid(1, close - 1).toInt(&ok) : 0;
        if (ok && span > 0) {
            out.Span = span;
            rest = rest.mid(close + 1);
        }
    }
    while (!rest.isEmpty()) {
        const qsizetype open = rest.indexOf(u'{');
        const qsizetype close = open < 0 ? -1 : rest.indexOf(u'}', open);
        if (open < 0 || close < 0) {
            out.Parts.append({false, rest.toString(), QString()});
            break;
        }
        if (open > 0)
            out.Parts.append({false, rest.left(open).toString(), QString()});
        const QStringView tag = rest.mid(open + 1, close - open - 1).trimmed();
        const qsizetype colon = tag.indexOf(u':');
        out.Parts.append({true, (colon < 0 ? tag : tag.left(colon)).trimmed().toString(),
                          colon < 0 ? QString() : tag.mid(colon + 1).trimmed().toString()});
        rest = rest.mid(close + 1);
    }
    return out;
}

namespace {

// The horizontal alignment a word names, or 0.
int alignmentOf(const QString& word)
{
    if (word == u"left"_s)
        return Qt::AlignLeft;
    if (word == u"center"_s)
        return Qt::AlignHCenter;
    if (word == u"right"_s)
        return Qt::AlignRight;
    return 0;
}

class Reader {
public:
    Reader(const QString& source) : FSource(source) {}

    [[noreturn]] void Fail(const QString& what) const
    {
        throw EKavelinErr(u"报表模板"_s + (FSource.isEmpty() ? QString() : u"“"_s + FSource + u"”"_s) + u"第 "_s +
                          QString::number(FLine) + u" 行有误："_s + what);
    }

    void Read(const QString& text, TkvReportTemplate& t);

private:
    // Splits "keyword a=1 b | rest" into its words (quotes keep blanks) and the rest.
    void Split(const QString& line);
    QString Word(qsizetype i) const { return i < FWords.size() ? FWords[i] : QString(); }
    double Number(const QString& text) const;
    QColor Colour(const QString& text) const;
    // Applies the common attributes; returns false for a word it does not know.
    bool Attribute(const QString& word, TkvReportStyle& style, QString& ifName) const;
    void Attributes(qsizetype from, TkvReportStyle& style, QString& ifName) const;
    QList<TkvReportText> Cells() const;
    void PageLine(TkvReportTemplate& t);
    void ItemLine(TkvReportTemplate& t, QList<TkvReportItem>& band);
    void TableLine(TkvReportTable& table);

    QString FSource;
    int FLine = 0;
    QStringList FWords;
    QString FRest;
    bool FHasRest = false;
    int FOpenTable = -1;
};

void Reader::Split(const QString& line)
{
    FWords.clear();
    const qsizetype bar = line.indexOf(u'|');
    FHasRest = bar >= 0;
    FRest = FHasRest ? line.mid(bar + 1) : QString();
    const QString head = FHasRest ? line.left(bar) : line;
    QString word;
    bool quoted = false;
    bool inWord = false;
    for (const QChar c : head) {
        if (c == u'"') {
            quoted = !quoted;
            inWord = true;
        } else if (c.isSpace() && !quoted) {
            if (inWord)
                FWords.append(word);
            word.clear();
            inWord = false;
        } else {
            word += c;
            inWord = true;
        }
    }
    if (quoted)
        Fail(u"引号没有配对"_s);
    if (inWord)
        FWords.append(word);
}

double Reader::Number(const QString& text) const
{
    bool ok = false;
    const double v = text.toDouble(&ok);
    if (!ok || v < 0 || v > 10000)
        Fail(u"“"_s + text + u"”不是一个有效的数值"_s);
    return v;
}

QColor Reader::Colour(const QString& text) const
{
    const QColor c = QColor::fromString(text);
    if (!c.isValid())
        Fail(u"“"_s + text + u"”不是一个有效的颜色"_s);
    return c;
}

bool Reader::Attribute(const QString& word, TkvReportStyle& style, QString& ifName) const
{
    const qsizetype eq = word.indexOf(u'=');
    const QString key = eq < 0 ? word : word.left(eq);
    const QString value = eq < 0 ? QString() : word.mid(eq + 1);
    if (word == u"bold"_s)
        style.Bold = true;
    else if (word == u"keep"_s)
        style.Keep = true;
    else if (alignmentOf(word))
        style.Align = alignmentOf(word);
    else if (key == u"size"_s && eq > 0)
        style.Size = Number(value);
    else if (key == u"color"_s && eq > 0)
        style.Color = Colour(value);
    else if (key == u"fill"_s && eq > 0)
        style.Fill = Colour(value);
    else if (key == u"if"_s && eq > 0)
        ifName = value;
    else
        return false;
    return true;
}

void Reader::Attributes(qsizetype from, TkvReportStyle& style, QString& ifName) const
{
    for (qsizetype i = from; i < FWords.size(); ++i)
        if (!Attribute(FWords[i], style, ifName))
            Fail(u"不认识的设置“"_s + FWords[i] + u"”"_s);
}

QList<TkvReportText> Reader::Cells() const
{
    const QStringList parts = FRest.split(u'|');
    QList<TkvReportText> cells;
    for (const QString& p : parts)
        cells.append(TkvReportText::Parse(p.trimmed()));
    return cells;
}

void Reader::PageLine(TkvReportTemplate& t)
{
    for (qsizetype i = 1; i < FWords.size(); ++i) {
        const QString& w = FWords[i];
        const qsizetype eq = w.indexOf(u'=');
        const QString key = eq < 0 ? w : w.left(eq);
        const QString value = eq < 0 ? QString() : w.mid(eq + 1);
        if (key == u"size"_s) {
            if (value.compare(u"A4"_s, Qt::CaseInsensitive) && value.compare(u"A5"_s, Qt::CaseInsensitive) &&
                value.compare(u"A3"_s, Qt::CaseInsensitive) && value.compare(u"B5"_s, Qt::CaseInsensitive))
                Fail(u"不支持的纸张“"_s + value + u"”"_s);
            t.PageSize = value.toUpper();
        } else if (key == u"orientation"_s) {
            if (value != u"portrait"_s && value != u"landscape"_s)
                Fail(u"纸张方向只能是 portrait 或 landscape"_s);
            t.Landscape = value == u"landscape"_s;
        } else if (key == u"margins"_s) {
            const QStringList m = value.split(u',');
            if (m.size() != 4)
                Fail(u"页边距要写四个数：左,上,右,下"_s);
            for (int k = 0; k < 4; ++k)
                t.Margins[k] = Number(m[k]);
        } else if (key == u"font"_s && !value.isEmpty()) {
            t.FontFamily = value;
        } else if (key == u"fontsize"_s) {
            t.FontSize = Number(value);
        } else {
            Fail(u"不认识的页面设置“"_s + w + u"”"_s);
        }
    }
}

void Reader::ItemLine(TkvReportTemplate& t, QList<TkvReportItem>& band)
{
    const QString& kw = FWords[0];
    TkvReportItem item;
    if (kw == u"text"_s) {
        item.What = TkvReportItem::Text;
        Attributes(1, item.Style, item.If);
        item.Content = TkvReportText::Parse(FRest.trimmed());
    } else if (kw == u"space"_s) {
        item.What = TkvReportItem::Space;
        item.Size = Number(Word(1));
        Attributes(2, item.Style, item.If);
    } else if (kw == u"rule"_s) {
        item.What = TkvReportItem::Rule;
        item.Size = 0.3;
        for (qsizetype i = 1; i < FWords.size(); ++i) {
            if (FWords[i].startsWith(u"width="_s))
                item.Size = Number(FWords[i].mid(6));
            else if (!Attribute(FWords[i], item.Style, item.If))
                Fail(u"不认识的设置“"_s + FWords[i] + u"”"_s);
        }
    } else if (kw == u"image"_s) {
        item.What = TkvReportItem::Image;
        item.Size = 15;
        for (qsizetype i = 1; i < FWords.size(); ++i) {
            if (FWords[i].startsWith(u"name="_s))
                item.Name = FWords[i].mid(5);
            else if (FWords[i].startsWith(u"height="_s))
                item.Size = Number(FWords[i].mid(7));
            else if (!Attribute(FWords[i], item.Style, item.If))
                Fail(u"不认识的设置“"_s + FWords[i] + u"”"_s);
        }
        if (item.Name.isEmpty())
            Fail(u"图片要用 name= 指明它的值"_s);
    } else if (kw == u"newpage"_s) {
        item.What = TkvReportItem::NewPage;
    } else if (kw == u"table"_s && &band == &t.Body) {
        item.What = TkvReportItem::Table;
        TkvReportTable table;
        for (qsizetype i = 1; i < FWords.size(); ++i) {
            const QString& w = FWords[i];
            if (w.startsWith(u"data="_s))
                table.Data = w.mid(5);
            else if (w.startsWith(u"group="_s))
                table.GroupField = w.mid(6);
            else if (w == u"border=grid"_s)
                table.Frame = TkvReportTable::Grid;
            else if (w == u"border=lines"_s)
                table.Frame = TkvReportTable::Lines;
            else if (w == u"border=none"_s)
                table.Frame = TkvReportTable::None;
            else if (w.startsWith(u"width="_s))
                table.Width = Number(w.mid(6));
            else if (alignmentOf(w))
                table.Align = alignmentOf(w);
            else
                Fail(u"不认识的表格设置“"_s + w + u"”"_s);
        }
        item.TableIndex = int(t.Tables.size());
        t.Tables.append(table);
        FOpenTable = item.TableIndex;
    } else {
        Fail(u"不认识的指令“"_s + kw + u"”"_s);
    }
    band.append(item);
}

void Reader::TableLine(TkvReportTable& table)
{
    const QString& kw = FWords[0];
    if (kw == u"columns"_s) {
        table.Columns.clear();
        for (const QString& cell : FRest.split(u'|', Qt::SkipEmptyParts)) {
            const QStringList words = cell.split(u' ', Qt::SkipEmptyParts);
            if (words.isEmpty())
                continue;
            TkvReportColumn col;
            col.Width = Number(words[0]);
            for (qsizetype i = 1; i < words.size(); ++i) {
                if (!alignmentOf(words[i]))
                    Fail(u"不认识的列设置“"_s + words[i] + u"”"_s);
                col.Align = alignmentOf(words[i]);
            }
            if (col.Width <= 0)
                Fail(u"列宽必须大于零"_s);
            table.Columns.append(col);
        }
        return;
    }
    QList<TkvReportRowDef>* band = kw == u"head"_s        ? &table.Head
                                   : kw == u"grouphead"_s ? &table.GroupHead
                                   : kw == u"row"_s       ? &table.Row
                                   : kw == u"groupfoot"_s ? &table.GroupFoot
                                   : kw == u"total"_s     ? &table.Total
                                                          : nullptr;
    if (!band)
        Fail(u"表格中不认识的指令“"_s + kw + u"”"_s);
    if (table.Columns.isEmpty())
        Fail(u"表格的行之前要先用 columns 定义列"_s);
    TkvReportRowDef row;
    Attributes(1, row.Style, row.If);
    row.Cells = Cells();
    band->append(row);
}

void Reader::Read(const QString& text, TkvReportTemplate& t)
{
    QList<TkvReportItem>* band = &t.Body;
    const QStringList lines = text.split(u'\n');
    for (const QString& raw : lines) {
        ++FLine;
        const QString line = raw.trimmed();
        if (line.isEmpty() || line.startsWith(u'#'))
            continue;
        if (line.startsWith(u'[') && line.endsWith(u']')) {
            if (FOpenTable >= 0)
                Fail(u"表格没有用 end 结束"_s);
            const QString name = line.mid(1, line.size() - 2).trimmed();
            band = name == u"header"_s ? &t.Header : name == u"footer"_s ? &t.Footer : name == u"body"_s ? &t.Body : nullptr;
            if (!band)
                Fail(u"不认识的段落“"_s + name + u"”"_s);
            continue;
        }
        Split(line);
        if (FWords.isEmpty())
            Fail(u"缺少指令"_s);
        if (FOpenTable >= 0) {
            if (FWords[0] == u"end"_s) {
                if (t.Tables[FOpenTable].Columns.isEmpty())
                    Fail(u"表格没有定义列"_s);
                FOpenTable = -1;
            } else {
                TableLine(t.Tables[FOpenTable]);
            }
            continue;
        }
        if (FWords[0] == u"page"_s)
            PageLine(t);
        else
            ItemLine(t, *band);
    }
    if (FOpenTable >= 0)
        Fail(u"表格没有用 end 结束"_s);
}

} // namespace

TkvReportTemplate TkvReportTemplate::Parse(const QString& text, const QString& sourceName)
{
    TkvReportTemplate t;
    Reader(sourceName).Read(text, t);
    return t;
}

TkvReportTemplate TkvReportTemplate::Load(const QString& fileName)
{
    if (QFileInfo(FileSystem::NativePath(fileName)).size() > 4 * 1024 * 1024)
        throw EFileError(u"报表模板“"_s + fileName + u"”太大，不是报表模板文件。"_s);
    return Parse(Gbk::Decode(FileSystem::ReadFile(fileName)), fileName);
}

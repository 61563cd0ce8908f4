#pragma once
// A report template: a text file of our own (GBK, like every text file of the
// installation), read into bands that the layout fills with data.
//
//   # a comment
//   page size=A4 orientation=portrait margins=20,15,20,15 font=WenQuanYi Micro Hei fontsize=10
//   [header]                         painted at the top of every page
//   text size=9 left keep | {单位名称}     keep: the next text shares the line
//   rule
//   [footer]                         painted at the bottom of every page
//   text size=9 center | 第 {页号} 页 共 {总页数} 页
//   [body]                           flows down the pages
//   text size=20 bold center | 工程预算书
//   space 4                          millimetres
//   image name=单位徽标 height=18 center
//   table data=kvYssDS_Main group=组号 border=grid
//   columns | 8 center | 30 | 10 right     relative widths (or width=MM on the table)
//   head bold fill=#e8eef5 | 序号 | 项目名称 | 金额     repeated on every page
//   grouphead bold | {施工地点}                a cell left short spans the rest
//   row | {序号} | {项目名称} | {金额:money}
//   groupfoot bold | <2>小计 | {sum.单价*数量:money}   <N> spans N columns
//   total bold | <2>合计 | {sum.单价*数量:money}
//   end
//   newpage
//
// A table without data= prints each of its rows once. Values in braces are
// the current row's fields, then the report's named values (company values
// first, then the project information), then: 页号, 总页数, 行号, count,
// sum.FIELD (or sum.FIELD*FIELD), first.FIELD and last.FIELD over the group
// (group bands) or all rows (elsewhere). Formats: money (2 decimals, thousands
// separated), 0.00, qty (up to 4 decimals), rmb (capital numerals), cn
// (一, 二 ... for headings).
// Any line may carry if=NAME: it is left out when that value is empty.

#include <QColor>
#include <QList>
#include <QString>
#include <QStringList>

struct TkvReportStyle {
    double Size = 0;       // points; 0: the page's font size
    bool Bold = false;
    int Align = 0;         // Qt::Alignment horizontal flag; 0: as the column says
    QColor Color;          // text colour; invalid: black
    QColor Fill;           // background of a table row; invalid: none
    bool Keep = false;     // a text line that the next text line shares
};

// One piece of text with {value} tags, split once when the template is read.
struct TkvReportText {
    struct Part {
        bool IsTag = false;
        QString Text;   // literal text, or the tag's name
        QString Format; // the tag's format
    };
    QList<Part> Parts;
    int Span = 1; // columns a table cell covers

    static TkvReportText Parse(const QString& text);
    bool IsEmpty() const { return Parts.isEmpty(); }
};

struct TkvReportRowDef {
    TkvReportStyle Style;
    QString If;
    QList<TkvReportText> Cells;
};

struct TkvReportColumn {
    double Width = 1;      // relative, or millimetres when the table has a width
    int Align = 0x0001;    // Qt::AlignLeft
};

struct TkvReportTable {
    enum Border { Grid, Lines, None };
    QString Data;          // empty: a static table
    QString GroupField;
    Border Frame = Grid;
    double Width = 0;      // millimetres; 0: the full width
    int Align = 0x0004;    // Qt::AlignHCenter, when narrower than the page
    QList<TkvReportColumn> Columns;
    QList<TkvReportRowDef> Head, GroupHead, Row, GroupFoot, Total;
};

struct TkvReportItem {
    enum Kind { Text, Space, Rule, Image, Table, NewPage };
    Kind What = Text;
    TkvReportStyle Style;
    QString If;
    TkvReportText Content; // Text
    double Size = 0;       // Space: millimetres; Image: height in millimetres; Rule: pen width
    QString Name;          // Image: the named value holding the picture path
    int TableIndex = -1;   // Table: index into TkvReportTemplate::Tables
};

struct TkvReportTemplate {
    QString PageSize = QStringLiteral("A4");
    bool Landscape = false;
    double Margins[4] = {18, 15, 18, 15}; // left, top, right, bottom, millimetres
    QString FontFamily = QStringLiteral("WenQuanYi Micro Hei");
    double FontSize = 10;
    QList<TkvReportItem> Header, Footer, Body;
    QList<TkvReportTable> Tables;

    // Throws EKavelinErr naming the line when the text is not a template.
    static TkvReportTemplate Parse(const QString& text, const QString& sourceName = QString());
    // Reads a GBK template file; throws EFileError when it cannot be read.
    static TkvReportTemplate Load(const QString& fileName);
};

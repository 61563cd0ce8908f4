#pragma once
// RFC 4180 text for kvtool's table import and export: fields separated by
// commas, quoted when they hold a comma, a quote or a line break, a quote
// inside doubled. Lines end with LF on output; input may use LF or CR LF.

#include <QString>
#include <QStringList>
#include <vector>

namespace Csv {

QString Field(const QString& value);
QString Line(const QStringList& fields);

struct Record {
    QStringList fields;
    int line = 0; // where the record starts, 1-based
};

// Blank lines are skipped. A quote left open raises EKavelinErr naming the line.
std::vector<Record> Parse(const QString& text);

} // namespace Csv

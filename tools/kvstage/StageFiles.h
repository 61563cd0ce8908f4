#pragma once
// The pieces of the staged installation, each written from the seed data.

#include <QByteArray>
#include <QString>

class TqxDataSet;
struct TqxFieldDef;

namespace Stage {

// A UTF-8 seed text as the installation holds it: GBK with CR LF line ends.
// Throws when a character has no GBK form.
QByteArray GbkText(const QString& seedFile);

// Reads a seed file whole as UTF-8; throws naming the file when it cannot.
QString ReadSeed(const QString& seedFile);

// Appends the rows of a tab-separated seed file (first line: field names,
// empty cell: null) to an open table.
void AppendTsv(TqxDataSet& table, const QString& seedFile);

// Writes a file, creating its folder.
void Write(const QString& path, const QByteArray& data);

// The product picture of the splash and about windows, 440 × 318.
QByteArray ProductPicture();
// The company logo placeholder of the settings, as an icon file.
QByteArray TagIcon();

} // namespace Stage

#pragma once
// The table packet byte form, as the original platform writes and reads it
// (little-endian): a 24-byte header, the field descriptors with their
// properties, the table properties (CHANGE_LOG among them) and the rows, each
// a status byte, two null bits a field and the present values.

#include "qxRowData.h"

#include <QByteArrayView>
#include <QString>

class TqxPacket {
public:
    // The rows that are part of the table, in stored order: deleted and unused
    // rows and old copies of edited rows are left out, and values a changed row
    // marks as unchanged are taken from the row it replaced. A packet that is
    // damaged or uses a field type we do not keep raises EFileError naming the
    // source and the field or row; nothing is allocated beyond what the data
    // can hold.
    static TqxRowData Read(QByteArrayView bytes, const QString& sourceName);

    // A merged packet of the table's current rows: status 0, no change log.
    static QByteArray Write(const TqxRowData& data);

    // Checks a structure before a table is made from it; throws EKavelinErr.
    static void CheckDefs(const TqxFieldDefs& defs);
};

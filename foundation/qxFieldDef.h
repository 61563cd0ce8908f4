#pragma once
// The structure of a table: named, typed fields. Every table of the system is
// described by a list of these and stored in the packet byte form.

#include <QString>
#include <vector>

enum class TqxFieldKind : quint8 {
    String,   // GBK text of at most Size bytes
    Integer,  // 32-bit signed
    Float,    // double
    Money,    // double kept at 4 decimals, shown with 2
    Boolean,
    Date,     // read from packets of other programs; our own tables do not use them
    Time,
    DateTime,
};

struct TqxFieldDef {
    QString Name;
    TqxFieldKind Kind = TqxFieldKind::String;
    int Size = 0; // strings: the width in GBK bytes; other kinds ignore it
    bool Required = false;

    bool operator==(const TqxFieldDef&) const = default;
};

using TqxFieldDefs = std::vector<TqxFieldDef>;

// The Chinese name of a kind, as tools and messages show it.
QString FieldKindName(TqxFieldKind kind);

#pragma once
// Text on disk is GBK (code page 936). The conversion is table driven: tables
// hold tens of thousands of strings, and a per-call codec would dominate the
// time of loading them.

#include <QByteArray>
#include <QByteArrayView>
#include <QString>
#include <QStringView>

namespace Gbk {

QString Decode(QByteArrayView bytes);
QByteArray Encode(QStringView text);

// The text encoded and cut to at most maxBytes bytes, never inside a
// two-byte character.
QByteArray EncodeLimited(QStringView text, qsizetype maxBytes);

// Appends the encoding to out; faster than Encode when building large buffers.
void AppendEncoded(QByteArray& out, QStringView text);

// Whether every character of the text has a GBK code; those that have none
// are written as "?".
bool CanEncode(QStringView text);

// Number of bytes the text takes in GBK.
qsizetype ByteLength(QStringView text);

} // namespace Gbk

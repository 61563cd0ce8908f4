#pragma once
// Ordered lists of name=value lines: the configuration sections, the project
// information, the history and tools lists all behave this way.

#include <QString>
#include <QStringList>

class TNameValueList {
public:
    TNameValueList() = default;
    explicit TNameValueList(QStringList lines) : FLines(std::move(lines)) {}

    // The name of a line is the text before its first "="; a line without
    // "=" has no name and no value.
    static QString NameOf(const QString& line);
    static QString ValueOf(const QString& line);

    qsizetype Count() const { return FLines.size(); }
    bool IsEmpty() const { return FLines.isEmpty(); }
    const QString& Line(qsizetype i) const { return FLines.at(i); }
    QString Name(qsizetype i) const { return NameOf(FLines.at(i)); }
    QString ValueFromIndex(qsizetype i) const { return ValueOf(FLines.at(i)); }
    const QStringList& Lines() const { return FLines; }

    // Names compare without regard to letter case; the first match counts.
    qsizetype IndexOfName(const QString& name) const;
    bool HasName(const QString& name) const { return IndexOfName(name) >= 0; }
    QString Value(const QString& name) const;

    void Add(const QString& line) { FLines.append(line); }
    void AddPair(const QString& name, const QString& value) { FLines.append(name + u'=' + value); }
    void Delete(qsizetype i) { FLines.removeAt(i); }
    void Clear() { FLines.clear(); }
    void SetLines(QStringList lines) { FLines = std::move(lines); }

    // Present: the value is replaced in place. Absent: the line is appended.
    void SetValue(const QString& name, const QString& value);

    // The setter rule of paths, setup values and container properties:
    // absent: appended (even with an empty value); present with a value:
    // replaced in place; present with the empty value: the line is removed.
    void SetOrRemoveValue(const QString& name, const QString& value);

    bool operator==(const TNameValueList&) const = default;

private:
    QStringList FLines;
};

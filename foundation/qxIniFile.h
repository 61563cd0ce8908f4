#pragma once
// INI files as the configuration of the system writes them: GBK text with
// CR LF line ends, section and key names compared without regard to case,
// values trimmed of surrounding blanks.
//
// The file is held as its lines, so that a rewrite keeps everything it was not
// asked to change: other sections, comments, blank lines and the order of the
// existing keys. Changes stay in memory until UpdateFile.

#include "qxStrings.h"

#include <QString>
#include <QStringList>

class TqxIniFile {
public:
    // Loads the file when it exists; a missing or unreadable file reads as empty.
    explicit TqxIniFile(QString fileName);

    const QString& FileName() const { return FFileName; }

    // Replaces the lines with those of GBK file contents; the file is untouched.
    void SetBytes(const QByteArray& gbk);
    // The file contents UpdateFile writes.
    QByteArray ToBytes() const;

    bool SectionExists(const QString& section) const;
    QString ReadString(const QString& section, const QString& key, const QString& def = {}) const;
    int ReadInteger(const QString& section, const QString& key, int def) const;
    QStringList ReadSection(const QString& section) const; // key names, in file order
    TNameValueList ReadSectionValues(const QString& section) const;

    void WriteString(const QString& section, const QString& key, const QString& value);
    void WriteInteger(const QString& section, const QString& key, int value);
    void DeleteKey(const QString& section, const QString& key);
    void EraseSection(const QString& section);

    // Writes the changes, atomically. Throws EFileError when that fails.
    void UpdateFile();
    bool Modified() const { return FModified; }

    const QStringList& Lines() const { return FLines; }
    static QStringList SplitLines(const QString& text);

private:
    struct Range {
        qsizetype header = -1; // index of the [section] line, -1 when absent
        qsizetype end = -1;    // one past the last line of the section
    };
    Range FindSection(const QString& section) const;
    qsizetype FindKey(const Range& r, const QString& key) const;
    static bool ParseHeader(const QString& line, QString* name);
    static bool ParseKey(const QString& line, QString* key, QString* value);

    QString FFileName;
    QStringList FLines;
    bool FModified = false;
};

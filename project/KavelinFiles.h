#pragma once
// The sectioned container of projects, templates and backups: a header of
// name=value lines followed by the data of every section line, in header
// order. The component keeps the whole file in memory and knows nothing of
// what the sections hold.

#include <QByteArray>
#include <QString>
#include <QStringList>
#include <functional>
#include <optional>
#include <vector>

class QIODevice;

enum TKVErr : int { feWrongPassWord = 0, feUnknownFormat = 1, feSaveFailed = 2 };

class TKVFile;
using TNotifyEvent = std::function<void(TKVFile* sender)>;
using TPassWordEvent = std::function<void(TKVFile* sender, QString& passWord)>;
using TKVErrorEvent = std::function<void(TKVFile* sender, TKVErr err)>;

class TKVFile {
public:
    static constexpr QStringView SectionPrefix = u"<SECTION>";

    TKVFile() = default;
    TKVFile(const TKVFile&) = delete;
    TKVFile& operator=(const TKVFile&) = delete;

    // Header lines as stored, in order ("<SECTION>预算书=9789", "工程名称=...").
    QStringList HeaderLines() const;
    int LineCount() const { return int(FLines.size()); }

    QString ReadValue(const QString& name) const;
    void WriteValue(const QString& name, const QString& value);

    QString PassWord() const;
    void SetPassWord(const QString& value);
    QString ProjectName() const;
    void SetProjectName(const QString& value);

    bool HasSection(const QString& name) const;
    // Stores the whole content of the stream, read from its start.
    void SaveSection(const QString& name, QIODevice* stream);
    void SaveSection(const QString& name, const QByteArray& data);
    // Writes the section's bytes at the stream's position, then rewinds it.
    // An absent section is reported in a message box and leaves the stream as it was.
    void LoadSection(const QString& name, QIODevice* stream);
    // The section's bytes; nullopt when there is no such section.
    std::optional<QByteArray> SectionData(const QString& name) const;

    void Clear();
    void New();
    void Load();
    bool Save();
    bool LoadFromFile(const QString& fileName);
    // The same from bytes already in memory; fileName only names them in messages.
    bool LoadFromBytes(const QByteArray& bytes, const QString& fileName);
    bool SaveToFile(const QString& fileName);

    const QString& FileName() const { return FFileName; }
    void SetFileName(const QString& value);
    bool IsNew() const { return FIsNew; }

    // The container's byte form, as SaveToFile writes it.
    QByteArray ToBytes() const;

    TNotifyEvent OnAfterSave;
    TNotifyEvent OnAfterLoad;
    TPassWordEvent OnPassWord;
    TNotifyEvent OnFileNameChanged;
    TKVErrorEvent OnError;

private:
    struct Line {
        QString text;
        bool hasBuffer = false;
        QByteArray buffer;
    };
    qsizetype IndexOfName(const QString& name) const;
    qsizetype IndexOfSection(const QString& name) const;
    void Fire(const TNotifyEvent& e) { if (e) e(this); }
    void FireError(TKVErr err) { if (OnError) OnError(this, err); }

    std::vector<Line> FLines;
    QString FFileName;
    bool FIsNew = false;
};

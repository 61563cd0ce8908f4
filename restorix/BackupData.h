#pragma once
// What Restorix backs up and restores, without any window: the five base-data
// table files, each kept whole as one section of a container file.

#include <QDate>
#include <QList>
#include <QString>

class TAppGlobalInfo;
class TKVFile;

struct TBaseDataTable {
    QString Key;         // the [Files] key, also the section name
    QString BackupText;  // description in the backup list
    QString RestoreText; // description in the restore list
};

// The five tables, in the order of the lists and of the sections of a backup.
const QList<TBaseDataTable>& BaseDataTables();

struct TDataFileRow {
    QString Caption;
    QString Description;
    QString Path;
    bool Checked = true;
};

// All five tables with their configured files, whether the files exist or not.
QList<TDataFileRow> BackupRows(const TAppGlobalInfo& info);

// Fills a new container with the file of every checked row; rows whose file
// is missing are left out.
void BuildBackup(TKVFile& backup, const QList<TDataFileRow>& rows);

// The tables a loaded backup holds, to be restored to this installation's files.
QList<TDataFileRow> RestoreRows(const TKVFile& backup, const TAppGlobalInfo& info);

// Throws EKavelinErr naming the backup and the table unless the section of
// every checked row reads as a table packet with that table's fields. A
// damaged section size shifts every later section, and those bytes must never
// replace a good table.
void CheckRestore(const TKVFile& backup, const QList<TDataFileRow>& rows);

// Replaces the file of every checked row with its section, each through a
// temporary file, so a failure never leaves a half-written table. Every
// section is checked first (CheckRestore), so a damaged backup changes no
// file; a write that fails later throws, and files replaced before it stay
// replaced.
void RestoreFiles(TKVFile& backup, const QList<TDataFileRow>& rows);

// The proposed name of a new backup: the date in the short format of the
// user's locale followed by "备份", with characters no file name may hold
// replaced by "-".
QString DefaultBackupName(const QDate& today);

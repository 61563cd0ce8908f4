#include "BackupData.h"

#include "AppClasses.h"
#include "KavelinFiles.h"
#include "qxFileSystem.h"

#include <QBuffer>
#include <QLocale>

using namespace Qt::StringLiterals;

const QList<TBaseDataTable>& BaseDataTables()
{
    static const QList<TBaseDataTable> tables{
        {u"系统项目库"_s, u"系统项目信息库，包含所有项目"_s, u"系统项目信息库，包含所有项目"_s},
        {u"系统项目类别库"_s, u"项目类别、施工地点等信息"_s, u"项目类别、施工地点等信息"_s},
        {u"工艺材料"_s, u"项目的工艺材料、备注描述信息"_s, u"项目的工艺材料、备注描述信息"_s},
        {u"计量单位库"_s, u"计量单位信息"_s, u"计量单位信息"_s},
        {u"单词库"_s, u"名称中所含的单词，以便快速过滤查找"_s, u"名称中所含的单词，以便快速查找过滤"_s},
    };
    return tables;
}

QList<TDataFileRow> BackupRows(const TAppGlobalInfo& info)
{
    QList<TDataFileRow> rows;
    for (const TBaseDataTable& t : BaseDataTables())
        rows.append({t.Key, t.BackupText, info.GetFileName(t.Key), true});
    return rows;
}

void BuildBackup(TKVFile& backup, const QList<TDataFileRow>& rows)
{
    backup.New();
    for (const TDataFileRow& row : rows) {
        if (!row.Checked || !FileSystem::FileExists(row.Path))
            continue;
        backup.SaveSection(row.Caption, FileSystem::ReadFile(row.Path));
    }
}

QList<TDataFileRow> RestoreRows(const TKVFile& backup, const TAppGlobalInfo& info)
{
    QList<TDataFileRow> rows;
    for (const TBaseDataTable& t : BaseDataTables())
        if (backup.HasSection(t.Key))
            rows.append({t.Key, t.RestoreText, info.GetFileName(t.Key), true});
    return rows;
}

void RestoreFiles(TKVFile& backup, const QList<TDataFileRow>& rows)
{
    for (const TDataFileRow& row : rows) {
        if (!row.Checked)
            continue;
        QBuffer stream;
        stream.open(QIODevice::ReadWrite);
        backup.LoadSection(row.Caption, &stream);
        FileSystem::WriteFileAtomic(row.Path, stream.data());
    }
}

QString DefaultBackupName(const QDate& today)
{
    QString name = QLocale().toString(today, QLocale::ShortFormat) + u"备份"_s;
    for (QChar& c : name)
        if (QStringView(u"/\\:*?\"<>|").contains(c))
            c = u'-';
    return name;
}

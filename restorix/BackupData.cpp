#include "BackupData.h"

#include "AppClasses.h"
#include "DataModule_App.h"
#include "KavelinFiles.h"
#include "qxErrors.h"
#include "qxFileSystem.h"
#include "qxPacket.h"

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

namespace {

TqxFieldDefs expectedFields(const QString& key)
{
    using D = TDataModule_Data;
    if (key == D::ItemsKey)
        return D::ItemFieldDefs();
    if (key == D::ItemCateKey)
        return D::ItemCateFieldDefs();
    if (key == D::UnitsKey)
        return D::MeasureUnitFieldDefs();
    if (key == D::MemosKey)
        return D::MemoFieldDefs();
    if (key == D::WordsKey)
        return D::WordFieldDefs();
    return {};
}

} // namespace

void CheckRestore(const TKVFile& backup, const QList<TDataFileRow>& rows)
{
    const QString backupName = backup.FileName().isEmpty() ? u"备份"_s : backup.FileName();
    for (const TDataFileRow& row : rows) {
        if (!row.Checked)
            continue;
        try {
            const std::optional<QByteArray> section = backup.SectionData(row.Caption);
            if (!section)
                throw EKavelinErr(u"无法读取不存在的数据区["_s + row.Caption + u"]！"_s);
            const TqxRowData table = TqxPacket::Read(*section, backupName + u" ["_s + row.Caption + u"]"_s);
            for (const TqxFieldDef& def : expectedFields(row.Caption)) {
                const auto& defs = table.Defs();
                if (std::none_of(defs.begin(), defs.end(), [&](const TqxFieldDef& d) {
                        return d.Name.compare(def.Name, Qt::CaseInsensitive) == 0;
                    }))
                    throw EKavelinErr(u"其中的表缺少字段“"_s + def.Name + u"”，不是"_s + row.Caption + u"。"_s);
            }
        } catch (const Exception& e) {
            throw EKavelinErr(u"备份文件 "_s + backupName + u" 中的“"_s + row.Caption +
                              u"”不能恢复，没有改动任何文件："_s + e.Message);
        }
    }
}

void RestoreFiles(TKVFile& backup, const QList<TDataFileRow>& rows)
{
    CheckRestore(backup, rows);
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

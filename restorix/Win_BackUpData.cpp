#include "Win_BackUpData.h"

#include "AppClasses.h"
#include "KavelinFiles.h"
#include "qxErrors.h"
#include "qxPrompter.h"

#include <QDir>
#include <QPushButton>

using namespace Qt::StringLiterals;

TForm_BackUpData::TForm_BackUpData(const TAppGlobalInfo& info, QWidget* parent)
    : TForm_DataFiles(u"数据备份..."_s, u"在这里可以备份您日积月累的项目、类别、单词等信息..."_s,
                      u"选择需要备份的数据文件:"_s, u"文件路径"_s, parent),
      Today(QDate::currentDate())
{
    setObjectName(u"Form_BackUpData"_s);
    InitialDir = info.GetPath(u"备份"_s);
    Button_Action->setText(u"备份(&B)"_s);
    connect(Button_Action, &QPushButton::clicked, this, &TForm_BackUpData::BackUp);
    SetRows(BackupRows(info));
}

void TForm_BackUpData::BackUp()
{
    TFileRequest ask = BackupFileRequest(TFileDialogKind::Save, u"备份数据到文件..."_s);
    ask.FileName = DefaultBackupName(Today);
    ask.OverwritePrompt = true;
    const QStringList chosen = Prompter().ChooseFiles(ask);
    if (chosen.isEmpty())
        return;
    const QString path = chosen.first();
    try {
        TKVFile backup;
        BuildBackup(backup, Rows());
        backup.SaveToFile(path);
    } catch (const Exception&) {
        ShowMessage(u"不能备份数据，请检查您是否有读写权限！"_s, u"备份失败"_s, TMsgIcon::Error);
        return;
    }
    ShowMessage(u"备份数据到文件："_s + QDir::toNativeSeparators(path) + u" 成功！"_s, u"备份成功"_s,
                TMsgIcon::Information);
    accept();
}

#include "Win_RestoreData.h"

#include "AppClasses.h"
#include "qxErrors.h"
#include "qxPrompter.h"

#include <QPushButton>

using namespace Qt::StringLiterals;

TForm_RestoreData::TForm_RestoreData(QWidget* parent)
    : TForm_DataFiles(u"数据恢复..."_s, u"在这里可以恢复您日积月累的项目、类别、单词等信息..."_s,
                      u"选择需要恢复的数据文件:"_s, u"目标文件路径"_s, parent)
{
    setObjectName(u"Form_RestoreData"_s);
    Button_Action->setText(u"恢复(&R)"_s);
    connect(Button_Action, &QPushButton::clicked, this, &TForm_RestoreData::Restore);
}

bool TForm_RestoreData::ChooseBackup(const TAppGlobalInfo& info)
{
    InitialDir = info.GetPath(u"备份"_s);
    const QStringList chosen =
        Prompter().ChooseFiles(BackupFileRequest(TFileDialogKind::Open, u"选择所需恢复的备份文件..."_s));
    if (chosen.isEmpty())
        return false;

    // An empty or damaged file is not a backup: say so instead of offering
    // an empty list whose confirmation would report a restore that never was.
    bool empty = false;
    Backup.OnError = [&](TKVFile*, TKVErr err) { empty = empty || err == feUnknownFormat; };
    try {
        Backup.SetFileName(chosen.first());
    } catch (const Exception& e) {
        ShowMessage(e.Message, u"读取出错"_s, TMsgIcon::Error);
        return false;
    }
    Backup.OnError = nullptr;
    if (empty) {
        ShowMessage(u"文件 "_s + chosen.first() + u" 是空文件，不是备份文件！"_s, u"读取出错"_s, TMsgIcon::Error);
        return false;
    }
    SetRows(RestoreRows(Backup, info));
    return true;
}

void TForm_RestoreData::Restore()
{
    if (ShowMessage(u"您是否真的需要恢复，该动作不可恢复！"_s, u"警告"_s, TMsgIcon::Warning, mbYes | mbNo) != mbYes)
        return;
    try {
        RestoreFiles(Backup, Rows());
    } catch (const Exception& e) {
        ShowMessage(e.Message, u"恢复失败"_s, TMsgIcon::Error);
        return;
    }
    ShowMessage(u"基本数据恢复成功！"_s, u"恢复成功"_s, TMsgIcon::Information);
    accept();
}

void RestoreBaseData(const TAppGlobalInfo& info, QWidget* owner)
{
    TForm_RestoreData dialog(owner);
    if (!dialog.ChooseBackup(info))
        return;
    dialog.CenterOn(owner);
    dialog.exec();
}

#include "kvProject.h"

#include "GbkText.h"
#include "qxErrors.h"
#include "qxFileSystem.h"
#include "qxIniFile.h"
#include "qxNotices.h"
#include "qxPacket.h"
#include "qxPrompter.h"

using namespace Qt::StringLiterals;

const QString kvProject::ViewPlace = u"施工地点"_s;
const QString kvProject::ViewKind = u"项目类别"_s;

namespace {

const QString sBudget = u"预算书"_s;
const QString sInfo = u"工程信息"_s;
const QString sRemarks = u"备注"_s;
const QString sFees = u"取费表"_s;
const QString sBudgetLayout = u"预算书网格布局"_s;
const QString sFeeLayout = u"取费表网格布局"_s;
const QString pView = u"视图"_s;
const QString pInputPanel = u"录入板"_s;

QByteArray linesText(const QStringList& lines)
{
    QByteArray out;
    for (const QString& line : lines) {
        Gbk::AppendEncoded(out, line);
        out.append("\r\n", 2);
    }
    return out;
}

QStringList textLines(const QByteArray& bytes) { return TqxIniFile::SplitLines(Gbk::Decode(bytes)); }

} // namespace

QByteArray FormatGridLayout(const QList<TColumnLayout>& columns)
{
    QStringList lines;
    for (const TColumnLayout& c : columns)
        lines.append(c.FieldName + u'=' + (c.Visible ? u"-1"_s : u"0"_s) + u',' +
                     QString::number(c.Visible ? c.Width : -1));
    return linesText(lines);
}

QList<TColumnLayout> ParseGridLayout(const QByteArray& text, const QStringList& fieldNames)
{
    const TNameValueList lines(textLines(text));
    QList<TColumnLayout> out;
    for (const QString& name : fieldNames) {
        if (!lines.HasName(name))
            continue;
        const QString value = lines.Value(name);
        const qsizetype comma = value.indexOf(u',');
        if (comma < 0)
            throw EKavelinErr(u"网格流格式不正确！"_s);
        const std::optional<bool> visible = ReadBoolean(value.left(comma).trimmed());
        bool ok = false;
        const int width = value.mid(comma + 1).trimmed().toInt(&ok);
        if (!visible || !ok)
            throw EKavelinErr(u"网格流格式不正确！"_s);
        out.append({name, *visible, width});
    }
    return out;
}

std::optional<bool> ReadBoolean(const QString& text)
{
    bool isNumber = false;
    const qlonglong n = text.toLongLong(&isNumber);
    if (isNumber)
        return n != 0;
    if (text.compare(u"true"_s, Qt::CaseInsensitive) == 0)
        return true;
    if (text.compare(u"false"_s, Qt::CaseInsensitive) == 0)
        return false;
    return std::nullopt;
}

kvProject::kvProject()
{
    kvQfbDS.qxExp = &qxExp_Main;
    qxExp_Main.OnGetValue = [this](TqxExp* sender, const QString& name, TqxVariant& value) {
        FeeVariableValue(kvYssDS_Main, kvQfbDS, sender, name, value);
    };
    kvYssDS_Main.OnAfterYssModified = [this](TkvYssDataSet*) { SetModified(); };
    kvQfbDS.AfterPost = [this](TqxDataSet*) { SetModified(); };
    kvQfbDS.AfterDelete = [this](TqxDataSet*) { SetModified(); };

    KVFile_Main.OnAfterSave = [this](TKVFile*) {
        ClearModified();
        UpdateCaption();
    };
    KVFile_Main.OnFileNameChanged = [this](TKVFile*) { UpdateCaption(); };
    // A failed save is told by the save that failed; a wrong password is
    // checked by OpenFile itself.
    KVFile_Main.OnError = [this](TKVFile*, TKVErr err) {
        if (err == feUnknownFormat)
            FUnknownFormat = true;
    };
}

// ---------------------------------------------------------------- reading

bool kvProject::OpenFile(const QString& path)
{
    FUnknownFormat = false;
    KVFile_Main.SetFileName(path);
    if (FUnknownFormat) {
        ShowMessage(u"文件格式不能识别！"_s, u"格式错"_s, TMsgIcon::Error);
        return false;
    }
    const QString password = KVFile_Main.PassWord();
    if (!password.isEmpty()) {
        const std::optional<QString> given =
            Prompter().InputText({u"输入密码"_s, u"请输入密码"_s, QString(), true, {}});
        if (given.value_or(QString()) != password) {
            ShowMessage(u"您输入的密码不正确！"_s, u"密码错"_s, TMsgIcon::Error);
            return false;
        }
    }
    if (!ReadDocument())
        return false;
    UpdateCaption();
    return true;
}

void kvProject::NewFromFile(const QString& path)
{
    KVFile_Main.New();
    // An empty template starts an empty project.
    if (!path.isEmpty() && FileSystem::FileExists(path))
        KVFile_Main.LoadFromFile(path);
    FSourceName = path;
    ReadDocument();
    UpdateCaption();
}

bool kvProject::ReadFromFile(const QString& path)
{
    FSourceName = path;
    if (!KVFile_Main.LoadFromFile(path))
        return false;
    return ReadDocument();
}

bool kvProject::ReadDocument()
{
    struct LoadingEnds {
        bool& loading;
        ~LoadingEnds() { loading = false; }
    } ends{FLoading};
    FLoading = true;

    const QString source = KVFile_Main.FileName().isEmpty() ? FSourceName : KVFile_Main.FileName();
    const auto damaged = [&](const QString& section, const Exception& e) {
        return EKavelinErr(u"文件 "_s + source + u" 的数据区["_s + section + u"]已损坏，无法读取：\n"_s + e.Message);
    };

    // The container takes a negative or unreadable size for an empty section;
    // here that would drop the section's bytes and open the rest as if whole.
    for (const QString& line : KVFile_Main.HeaderLines()) {
        if (!line.startsWith(TKVFile::SectionPrefix))
            continue;
        bool ok = false;
        const QString size = TNameValueList::ValueOf(line);
        if (size.toInt(&ok) < 0 || !ok)
            throw damaged(TNameValueList::NameOf(line).mid(TKVFile::SectionPrefix.size()),
                          EKavelinErr(u"数据区的大小 "_s + size + u" 字节无效。"_s));
    }
    if (const auto packet = KVFile_Main.SectionData(sBudget)) {
        try {
            kvYssDS_Main.LoadBudget(*packet, source + u" ["_s + sBudget + u']');
        } catch (const Exception& e) {
            throw damaged(sBudget, e);
        }
    }
    // A missing or unknown view shows the categories; the budget is always regrouped.
    SetView(KVFile_Main.ReadValue(pView));
    if (const auto text = KVFile_Main.SectionData(sInfo))
        ProjectInfo.SetLines(textLines(*text));
    if (const auto text = KVFile_Main.SectionData(sRemarks))
        Remarks = textLines(*text);
    if (const auto packet = KVFile_Main.SectionData(sFees); packet && !packet->isEmpty()) {
        try {
            // A packet of another table would load as one and be saved over
            // the fees; every fee field must be there with its kind.
            const QString name = source + u" ["_s + sFees + u']';
            const TqxFieldDefs defs = TqxPacket::Read(*packet, name).Defs();
            for (const TqxFieldDef& fee : TkvQfbDataSet::FeeFieldDefs())
                if (std::none_of(defs.begin(), defs.end(), [&](const TqxFieldDef& d) {
                        return d.Name.compare(fee.Name, Qt::CaseInsensitive) == 0 && d.Kind == fee.Kind;
                    }))
                    throw EKavelinErr(u"不是取费表：没有字段“"_s + fee.Name + u"”。"_s);
            kvQfbDS.LoadFromBytes(*packet, name);
        } catch (const Exception& e) {
            throw damaged(sFees, e);
        }
        kvQfbDS.SetIndexFieldNames(u"序号"_s);
        kvQfbDS.First();
    }
    if (const auto layout = KVFile_Main.SectionData(sBudgetLayout))
        BudgetLayout = *layout;
    if (const auto layout = KVFile_Main.SectionData(sFeeLayout))
        FeeLayout = *layout;
    if (const std::optional<bool> on = ReadBoolean(KVFile_Main.ReadValue(pInputPanel)))
        InputPanel = *on;
    if (OnAfterRead)
        OnAfterRead();
    return true;
}

// ---------------------------------------------------------------- writing

void kvProject::WriteDocument()
{
    if (OnBeforeWrite)
        OnBeforeWrite();
    KVFile_Main.WriteValue(pView, View());
    KVFile_Main.WriteValue(pInputPanel, InputPanel ? u"-1"_s : u"0"_s);
    kvYssDS_Main.MergeChangeLog();
    KVFile_Main.SaveSection(sBudget, kvYssDS_Main.SaveToBytes());
    KVFile_Main.SaveSection(sInfo, linesText(ProjectInfo.Lines()));
    KVFile_Main.SaveSection(sRemarks, linesText(Remarks));
    kvQfbDS.MergeChangeLog();
    KVFile_Main.SaveSection(sFees, kvQfbDS.SaveToBytes());
    if (BudgetLayout)
        KVFile_Main.SaveSection(sBudgetLayout, *BudgetLayout);
    if (FeeLayout)
        KVFile_Main.SaveSection(sFeeLayout, *FeeLayout);
    KVFile_Main.SetProjectName(ProjectInfo.Value(u"工程名称"_s));
}

// The previous file stays whole when a write fails (it goes through a
// temporary file), and the document stays as it was: modified, bound to its
// file, its window open.
bool kvProject::WriteFile(const std::function<void()>& write)
{
    try {
        write();
        return true;
    } catch (const Exception&) {
        ShowMessage(u"保存文件失败，检查文件是否可写！"_s, u"保存失败"_s, TMsgIcon::Error);
        return false;
    }
}

bool kvProject::Save()
{
    return WriteFile([this] {
        WriteDocument();
        if (!KVFile_Main.Save())
            throw EKavelinErr(KVFile_Main.FileName());
    });
}

// A bound document would load the named file instead: only a new one is named.
void kvProject::NameNewFile(const QString& fileName)
{
    if (IsNew())
        KVFile_Main.SetFileName(fileName);
}

bool kvProject::SaveAs(const QString& fileName)
{
    return WriteFile([&] {
        WriteDocument();
        KVFile_Main.SaveToFile(fileName);
    });
}

void kvProject::SetPassword(const QString& password)
{
    KVFile_Main.SetPassWord(password);
    SetModified();
}

// ---------------------------------------------------------------- view and fees

void kvProject::SetView(const QString& text) { kvYssDS_Main.SetGroupField(text == ViewPlace ? ViewPlace : ViewKind); }

void kvProject::ComputeFees()
{
    kvQfbDS.ComputeFees();
    SetModified();
}

bool kvProject::RunFeeComputation()
{
    try {
        ComputeFees();
        return true;
    } catch (const Exception& e) {
        ShowMessage(e.Message, u"计算取费"_s, TMsgIcon::Error);
        return false;
    }
}

bool kvProject::LoadFeeTemplate(const QString& fileName)
{
    const QByteArray before = kvQfbDS.SaveToBytes();
    try {
        kvQfbDS.LoadTemplate(fileName);
        SetModified();
        return true;
    } catch (const Exception& e) {
        // A template that loaded but did not compute has still replaced the table.
        if (kvQfbDS.SaveToBytes() != before)
            SetModified();
        ShowMessage(e.Message, u"载入取费模板"_s, TMsgIcon::Error);
        return false;
    }
}

bool kvProject::SaveFeeTemplate(const QString& fileName)
{
    try {
        kvQfbDS.MergeChangeLog();
        kvQfbDS.SaveTemplate(fileName);
        return true;
    } catch (const Exception&) {
        ShowMessage(u"保存文件失败，检查文件是否可写！"_s, u"保存失败"_s, TMsgIcon::Error);
        return false;
    }
}

// ---------------------------------------------------------------- state

void kvProject::SetModified()
{
    FModified = true;
    NotifyModified();
}

void kvProject::ClearModified()
{
    FModified = false;
    Notify(cnNotModified);
}

void kvProject::NotifyModified()
{
    if (!FLoading)
        Notify(cnModified);
}

QString kvProject::Caption() const { return IsNew() ? u"新工程"_s : ProjectName(); }

void kvProject::UpdateCaption() { Notify(cnCaptionChanged); }

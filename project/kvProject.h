#pragma once
// The project document under a project window: the container, the budget,
// the fee table with its evaluator, the project information and the remarks.
// It moves the document between these objects and the container's sections
// and properties, keeps the modified state and says which notices that state
// causes. The window asks for file names and answers; the document does the
// work, so kvtool and the reports use it without a window.

#include "KavelinFiles.h"
#include "kvQfbDataSet.h"
#include "kvYssDataSet.h"
#include "qxExpression.h"
#include "qxStrings.h"

#include <QByteArray>
#include <QList>
#include <QString>
#include <QStringList>
#include <functional>
#include <optional>

// One column of a saved grid layout: "施工地点=0,-1".
struct TColumnLayout {
    QString FieldName;
    bool Visible = true;
    int Width = -1; // -1 for a hidden column

    bool operator==(const TColumnLayout&) const = default;
};

// The text of a layout section: one line per column, in column order.
QByteArray FormatGridLayout(const QList<TColumnLayout>& columns);
// The layouts of the named fields that the text holds, in the order of
// fieldNames; names of the text without a field are left out. A value
// without "," raises "网格流格式不正确！".
QList<TColumnLayout> ParseGridLayout(const QByteArray& text, const QStringList& fieldNames);

// "-1", "0", any whole number, "True" or "False"; nullopt for anything else.
std::optional<bool> ReadBoolean(const QString& text);

class kvProject {
public:
    static const QString ViewPlace; // "施工地点"
    static const QString ViewKind;  // "项目类别"

    kvProject();
    kvProject(const kvProject&) = delete;
    kvProject& operator=(const kvProject&) = delete;

    TKVFile KVFile_Main;
    TkvYssDataSet kvYssDS_Main;
    TkvQfbDataSet kvQfbDS;
    TqxExp qxExp_Main;

    TNameValueList ProjectInfo; // "工程名称=..." and the other keys, in order
    QStringList Remarks;        // the remarks memo, one entry a line
    bool InputPanel = false;    // the check state of the input-panel switch
    // The saved layouts of the budget and fee grids, as text; absent until
    // read from a file or set by the window.
    std::optional<QByteArray> BudgetLayout;
    std::optional<QByteArray> FeeLayout;

    // ---- opening and new documents
    // Loads the file, asks for the password when it has one, reads the
    // document. False after telling the user (wrong password, not a project
    // file); a missing or damaged file raises.
    bool OpenFile(const QString& path);
    // A new, unnamed document started from a template (or empty, when there
    // is no such file). The template's password stays in the new document.
    void NewFromFile(const QString& path);
    // Reads a file into the document without a password and without binding
    // to it, for the tools; false when the file is empty.
    bool ReadFromFile(const QString& path);
    // Reads every section into the document; a damaged table packet raises
    // an error naming the file and the section.
    bool ReadDocument();
    void WriteDocument();

    // ---- saving. Each returns false after telling the user why.
    // To the bound file; a new document must be named first with NameNewFile.
    bool Save();
    void NameNewFile(const QString& fileName); // names a new document without loading
    // A copy under another name; the document stays bound to its own file.
    bool SaveAs(const QString& fileName);
    bool SaveAsTemplate(const QString& fileName) { return SaveAs(fileName); }
    // Takes effect in the file at the next save; empty removes the password.
    void SetPassword(const QString& password);

    // ---- the view
    const QString& View() const { return kvYssDS_Main.GroupField(); }
    // "施工地点" gives the place view; anything else the category view.
    void SetView(const QString& text);

    // ---- the fee table
    // The computation as the user starts it; raises EKavelinErr naming the
    // row and the reason when a formula is rejected.
    void ComputeFees();
    // The same, the failure told to the user; false when it stopped.
    bool RunFeeComputation();
    // Replaces the fee table with a fee template and computes it; false
    // after telling the user when the file cannot be used.
    bool LoadFeeTemplate(const QString& fileName);
    bool SaveFeeTemplate(const QString& fileName);

    // ---- state
    bool Modified() const { return FModified; }
    bool Loading() const { return FLoading; }
    void SetModified();
    void ClearModified();
    void NotifyModified();
    // "新工程" for a document never saved, else the project name.
    QString Caption() const;
    void UpdateCaption();
    QString ProjectName() const { return KVFile_Main.ProjectName(); }
    QString FileName() const { return KVFile_Main.FileName(); }
    bool IsNew() const { return KVFile_Main.IsNew(); }

    // The notices the document's state causes (1 modified, 32 not modified,
    // 256 caption changed); the window sends them on with its handle.
    std::function<void(int code)> OnNotify;
    // While a document is read, after its sections are in: the window fills
    // its controls and applies the layouts (Loading is still true).
    std::function<void()> OnAfterRead;
    // Before a document is written: the window puts back what its controls hold.
    std::function<void()> OnBeforeWrite;

private:
    void Notify(int code)
    {
        if (OnNotify)
            OnNotify(code);
    }
    bool WriteFile(const std::function<void()>& write);

    bool FModified = false;
    bool FLoading = true;
    bool FUnknownFormat = false;
    QString FSourceName; // the template a new document came from, for messages
};

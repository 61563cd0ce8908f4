#pragma once
// The fee page of a project window: the fee grid and its row, computation
// and fee-template commands.

#include "qxPrompter.h"

#include <QWidget>

class QToolBar;
class TAppGlobalInfo;
class TqxDataSource;
class TqxDBGrid;
class kvProject;

class TProjectFeePage : public QWidget {
    Q_OBJECT
public:
    static const QString TemplateFilter; // "取费表(*.KVD)|*.KVD"

    TProjectFeePage(kvProject& document, const TAppGlobalInfo& info, QWidget* parent = nullptr);
    ~TProjectFeePage() override;

    void AppendRow();
    void InsertRow();
    void DeleteRow();
    void Compute();
    void LoadFromTemplate();
    void SaveToTemplate();

    TqxDBGrid* qxDBGrid_Qfb;
    TqxDataSource* DataSource_Qfb;
    QToolBar* ToolBar_Qfb;

private:
    QString AskTemplateFile(TFileDialogKind kind, const QString& title) const;

    kvProject& FDoc;
    const TAppGlobalInfo& FInfo;
};

#pragma once
// The category tree: the categories of the category table hung under one
// root node through their parent names. Children are read from the table
// only when a node is first selected (or expanded, or refreshed), so a large
// tree opens at once. Every node carries its category as a record the tree
// owns.

#include "kvCategoryFilter.h"
#include "qxDBCtrls_DataSource.h"

#include <QPointer>
#include <QTreeWidget>
#include <functional>

class TkvTreeView;
class TqxDataSet;

// A node of the tree with the category it stands for.
class TkvTreeNode : public QTreeWidgetItem {
public:
    explicit TkvTreeNode(const TItemCate& cate) : Cate(cate) {}
    TItemCate Cate;
};

using TTreeFilterEvent = std::function<void(TkvTreeView* Sender, QTreeWidgetItem* Node, TItemCate* Cate)>;

class TkvTreeView : public QTreeWidget {
    Q_OBJECT
public:
    static const QString RootCategory; // "<顶级分类>"

    explicit TkvTreeView(QWidget* parent = nullptr);

    TqxDataSource* DataSource() const { return FDataSource; }
    void SetDataSource(TqxDataSource* source) { FDataSource = source; }
    QString RootName() const { return FRootName; }
    void SetRootName(const QString& name) { FRootName = name; }

    // Raised after every change of the selected node, once its children are there.
    TTreeFilterEvent OnTreeFilter;

    void LoadTree();
    void LoadChildren(QTreeWidgetItem* node);
    QTreeWidgetItem* AddCategoryNode(QTreeWidgetItem* node, const TItemCate& cate);
    void ClearChildren(QTreeWidgetItem* node);
    void RefreshNode(QTreeWidgetItem* node, bool expand);
    void DeleteCategoryNode(QTreeWidgetItem* node);
    TItemCate* SelectedCategory() const;

    static TItemCate* CateOf(QTreeWidgetItem* node);
    // The records of node and its ancestors, from the root down to node.
    static QList<const TItemCate*> PathOf(QTreeWidgetItem* node);
    // The first node whose caption path from the root is this one ("材料", "砖").
    QTreeWidgetItem* FindPath(const QStringList& names);

Q_SIGNALS:
    // The window's own handling of a new selection; runs before the children
    // are loaded and before OnTreeFilter.
    void Change(QTreeWidgetItem* node);

private:
    TqxDataSet* Table(const QString& message) const;
    void SelectionChanged(QTreeWidgetItem* node);

    QPointer<TqxDataSource> FDataSource;
    QString FRootName;
};

#include "kvTreeView.h"

#include "qxDBCtrls_DataSource.h"
#include "qxDataSet.h"
#include "qxErrors.h"

using namespace Qt::StringLiterals;

namespace {

const QString fParent = u"父类别"_s;
const QString fName = u"类别名称"_s;

// A filter literal: quotes doubled, so a name with a quote stays one value.
QString quoted(const QString& text)
{
    QString t = text;
    t.replace(u'\'', u"''"_s);
    return u'\'' + t + u'\'';
}

} // namespace

const QString TkvTreeView::RootCategory = u"<顶级分类>"_s;

TkvTreeView::TkvTreeView(QWidget* parent) : QTreeWidget(parent)
{
    setHeaderHidden(true);
    setColumnCount(1);
    connect(this, &QTreeWidget::currentItemChanged, this,
            [this](QTreeWidgetItem* now, QTreeWidgetItem*) { SelectionChanged(now); });
    // Opening a node by its expand mark shows its children too.
    connect(this, &QTreeWidget::itemExpanded, this, [this](QTreeWidgetItem* node) {
        if (node->childCount() == 0 && node->childIndicatorPolicy() == QTreeWidgetItem::ShowIndicator)
            LoadChildren(node);
    });
}

TqxDataSet* TkvTreeView::Table(const QString& message) const
{
    TqxDataSet* table = FDataSource ? FDataSource->DataSet() : nullptr;
    if (!table)
        throw EKavelinErr(message);
    return table;
}

TItemCate* TkvTreeView::CateOf(QTreeWidgetItem* node)
{
    auto* n = dynamic_cast<TkvTreeNode*>(node);
    return n ? &n->Cate : nullptr;
}

QList<const TItemCate*> TkvTreeView::PathOf(QTreeWidgetItem* node)
{
    QList<const TItemCate*> path;
    for (QTreeWidgetItem* n = node; n; n = n->parent())
        if (const TItemCate* c = CateOf(n))
            path.prepend(c);
    return path;
}

void TkvTreeView::LoadTree()
{
    QTreeWidgetItem* first = topLevelItem(0);
    if (first) {
        ClearChildren(first);
        first->setText(0, FRootName);
    } else {
        TItemCate root;
        root.Name = RootCategory;
        root.IsRoot = true;
        root.FilterMode = fmAll;
        first = new TkvTreeNode(root);
        first->setText(0, FRootName);
        first->setChildIndicatorPolicy(QTreeWidgetItem::ShowIndicator);
        addTopLevelItem(first);
    }
    LoadChildren(first);
    first->setExpanded(true);
}

void TkvTreeView::LoadChildren(QTreeWidgetItem* node)
{
    TqxDataSet* table = Table(u"类别树没有连接类别数据表！"_s);
    if (!table->Active())
        table->Open();
    setUpdatesEnabled(false);
    ClearChildren(node);
    TqxDataSet walk;
    walk.CloneCursor(*table);
    walk.SetIndexFieldNames(QString());
    const TItemCate* cate = CateOf(node);
    walk.SetFilter(fParent + u'=' + quoted(cate ? cate->Name : QString()));
    walk.SetFiltered(true);
    QList<TItemCate> found;
    for (walk.First(); !walk.Eof(); walk.Next())
        found.append(TItemCate::FromRow(walk));
    for (const TItemCate& c : found)
        AddCategoryNode(node, c);
    setUpdatesEnabled(true);
}

QTreeWidgetItem* TkvTreeView::AddCategoryNode(QTreeWidgetItem* node, const TItemCate& cate)
{
    TqxDataSet* table = Table(u"类别数没有连接类别数据表！"_s);
    auto* child = new TkvTreeNode(cate);
    child->setText(0, cate.Name);
    bool mark = cate.IsRoot;
    if (!mark) {
        TqxDataSet walk;
        walk.CloneCursor(*table);
        mark = walk.Locate(fParent, cate.Name);
    }
    child->setChildIndicatorPolicy(mark ? QTreeWidgetItem::ShowIndicator
                                        : QTreeWidgetItem::DontShowIndicatorWhenChildless);
    if (node)
        node->addChild(child);
    else
        addTopLevelItem(child);
    return child;
}

void TkvTreeView::ClearChildren(QTreeWidgetItem* node)
{
    if (!node)
        return;
    // Deleting the nodes frees their records with them.
    qDeleteAll(node->takeChildren());
}

void TkvTreeView::RefreshNode(QTreeWidgetItem* node, bool expand)
{
    if (!node)
        return;
    LoadChildren(node);
    if (expand)
        node->setExpanded(true);
}

void TkvTreeView::DeleteCategoryNode(QTreeWidgetItem* node)
{
    if (!node || !FDataSource || !FDataSource->DataSet())
        return;
    TqxDataSet* table = FDataSource->DataSet();
    const TItemCate* cate = CateOf(node);
    if (cate && !cate->IsRoot) {
        if (table->Locate(fParent + u';' + fName, QVariantList{cate->Parent, cate->Name}, loCaseInsensitive))
            table->Delete();
    }
    ClearChildren(node);
    delete node;
}

TItemCate* TkvTreeView::SelectedCategory() const { return CateOf(currentItem()); }

QTreeWidgetItem* TkvTreeView::FindPath(const QStringList& names)
{
    QTreeWidgetItem* node = topLevelItem(0);
    for (const QString& name : names) {
        if (!node)
            return nullptr;
        if (node->childCount() == 0)
            LoadChildren(node);
        QTreeWidgetItem* next = nullptr;
        for (int i = 0; i < node->childCount() && !next; ++i)
            if (node->child(i)->text(0) == name)
                next = node->child(i);
        node = next;
    }
    return node;
}

void TkvTreeView::SelectionChanged(QTreeWidgetItem* node)
{
    Q_EMIT Change(node);
    if (!node)
        return;
    if (node->childIndicatorPolicy() == QTreeWidgetItem::ShowIndicator && node->childCount() == 0)
        LoadChildren(node);
    if (OnTreeFilter)
        OnTreeFilter(this, node, CateOf(node));
}

#include "kvCategoryFilter.h"

#include "qxDataSet.h"

using namespace Qt::StringLiterals;

namespace {

QString upperLatin(QString text)
{
    for (QChar& c : text)
        if (c >= u'a' && c <= u'z')
            c = QChar(c.unicode() - 32);
    return text;
}

} // namespace

TItemCate TItemCate::FromRow(const TqxDataSet& categories)
{
    TItemCate c;
    c.Name = categories.FieldByName(u"类别名称"_s)->AsString();
    c.Parent = categories.FieldByName(u"父类别"_s)->AsString();
    c.IsSystem = categories.FieldByName(u"系统"_s)->AsBoolean();
    c.FilterValue = categories.FieldByName(u"过滤内容"_s)->AsString();
    c.ConditionField = categories.FieldByName(u"条件字段"_s)->AsString();
    c.FilterMode = categories.FieldByName(u"过滤模式"_s)->AsInteger();
    return c;
}

bool PassesCategoryFilter(const QList<const TItemCate*>& rootToNode, const TqxDataSet& items)
{
    bool accept = true;
    for (const TItemCate* cate : rootToNode) {
        if (!accept)
            break;
        const TqxField* field = cate->ConditionField.isEmpty() ? nullptr : items.FindField(cate->ConditionField);
        if (!field)
            continue;
        const QString f = upperLatin(field->AsString());
        const QString v = upperLatin(cate->FilterValue);
        switch (cate->FilterMode) {
        case fmAll: accept = true; break;
        case fmEquals: accept = f == v; break;
        case fmContains: accept = f.contains(v); break;
        default: break;
        }
    }
    return accept;
}

#pragma once
// The shared base data of Kavelin: the item library, the categories (which
// also hold the construction places), the measure units, the craft and
// material remarks, the words for quick filtering, and the item clipboard.
// One instance per process; windows work on these tables or on clone cursors
// over them, so an edit posted in one window shows in all.

#include "qxDataSet.h"

#include <QList>
#include <QStringList>
#include <functional>

class TAppGlobalInfo;

class TDataModule_Data {
public:
    TDataModule_Data();
    ~TDataModule_Data();
    TDataModule_Data(const TDataModule_Data&) = delete;
    TDataModule_Data& operator=(const TDataModule_Data&) = delete;

    // The structures of the tables, as their files hold them.
    static TqxFieldDefs ItemFieldDefs();
    static TqxFieldDefs ItemCateFieldDefs();
    static TqxFieldDefs MeasureUnitFieldDefs();
    static TqxFieldDefs MemoFieldDefs();
    static TqxFieldDefs WordFieldDefs();

    // The [Files] keys of the table files.
    static const QString ItemsKey;     // 系统项目库
    static const QString ItemCateKey;  // 系统项目类别库
    static const QString UnitsKey;     // 计量单位库
    static const QString MemosKey;     // 工艺材料
    static const QString WordsKey;     // 单词库

    TqxDataSet CDS_SYSItems;
    TqxDataSet CDS_SYSItemCate;
    TqxDataSet CDS_MeasureUnit;
    TqxDataSet CDS_Memos;
    TqxDataSet CDS_Words;
    TqxDataSet CDS_TempItems; // the item clipboard, never stored

    // Opens every table from the files the configuration names. A file that
    // cannot be read is reported and its table left empty; the others still
    // open, so one damaged file does not empty the whole library.
    void DataModuleCreate(const TAppGlobalInfo& info);
    // Saves the changed categories and remarks, and the item library after asking.
    void DataModuleDestroy();
    // Reads the unit table again from its file, so unsaved unit edits disappear;
    // a file that cannot be read is reported and leaves the table empty.
    void ReopenMeasureUnit(const TAppGlobalInfo& info);

    // Lists in stored order, appended to what into already holds.
    void ListItemCategories(QStringList& into);
    void ListPlaces(QStringList& into);
    void ListUnits(QStringList& into);
    void ListWords(const QString& kind, QStringList& into);

    void SaveItems();

    // Copies the fields (a ";"-list; empty: the usual item fields) of source's
    // current row into target's current row and posts it.
    static void CopyItemFields(TqxDataSet* source, TqxDataSet* target, const QString& fieldList = {});

    // The item clipboard.
    void CopyToClipboard(const QList<TqxBookmark>& selectedRows, TqxDataSet* source);
    int PasteFromClipboard(TqxDataSet* target, int index);
    int ClipboardCount() const { return CDS_TempItems.RecordCount(); }
    void DeleteClipboardItem();
    void ClearClipboard();
    void NotifyClipboard();
    // Who learns the clipboard's count: the program broadcasts it to its windows.
    std::function<void(int count)> OnClipboardCount;

private:
    void OpenTable(TqxDataSet& table, const TqxFieldDefs& defs, const QString& key, const TAppGlobalInfo& info);
    void ListField(TqxDataSet& table, const QString& filter, const QString& field, QStringList& into);
    void CDS_SYSItemsBeforePost(TqxDataSet* dataSet);
    void CDS_SYSItemCateAfterInsert(TqxDataSet* dataSet);

    QString FItemsFile;
    QString FItemCateFile;
    QString FMemosFile;
};

// The one base-data module of the process.
extern TDataModule_Data* DataModule_Data;

#pragma once
// A cursor over a table: the in-memory table every part of the system keeps
// its rows in. The rows live in a row store shared by the table and any
// number of clone cursors; each cursor has its own index, filter, position,
// edit buffer, fields and events. Changes are logged until merged, so they
// can be counted and cancelled as a whole; tables load from and save to the
// packet byte form.
//
// A subclass changes the event behaviour through the virtual Do* hooks.

#include "qxField.h"
#include "qxFilter.h"
#include "qxRowStore.h"
#include "qxDataSetView.h"

#include <QFlags>
#include <QVariantList>
#include <exception>
#include <memory>

class QIODevice;

enum class TqxDataSetState { Inactive, Browse, Edit, Insert };

enum TqxLocateOption { loCaseInsensitive = 0x1, loPartialKey = 0x2 };
Q_DECLARE_FLAGS(TqxLocateOptions, TqxLocateOption)
Q_DECLARE_OPERATORS_FOR_FLAGS(TqxLocateOptions)

using TqxDataSetNotifyEvent = std::function<void(TqxDataSet* DataSet)>;
using TqxFilterRecordEvent = std::function<void(TqxDataSet* DataSet, bool& Accept)>;

// What attached views hear. Positions are rows of the cursor's order and
// filter. Nothing is reported while controls are disabled; the first
// EnableControls that ends the disabling reports DataSetChanged once.
class TqxDataSetObserver {
public:
    virtual ~TqxDataSetObserver() = default;
    virtual void DataSetRowInserted(int /*pos*/) {}
    virtual void DataSetRowRemoved(int /*pos*/) {}
    virtual void DataSetRowMoved(int /*from*/, int /*to*/) {}
    virtual void DataSetRowChanged(int /*pos*/) {}
    virtual void DataSetFieldChanged(int /*field*/) {} // in the edit buffer
    virtual void DataSetStateChanged() {}
    virtual void DataSetScrolled() {}
    virtual void DataSetOrderChanged() {} // same rows, new order (index)
    virtual void DataSetChanged() {}      // anything: rows, fields, filter
    virtual void DataSetDestroyed() {}
};

class TqxDataSet : private TqxRowStoreClient {
public:
    TqxDataSet();
    ~TqxDataSet() override;
    TqxDataSet(const TqxDataSet&) = delete;
    TqxDataSet& operator=(const TqxDataSet&) = delete;

    // Structure. The field definitions are used by CreateDataSet; an open
    // table reports those of its rows.
    const TqxFieldDefs& FieldDefs() const { return FFieldDefs; }
    void SetFieldDefs(TqxFieldDefs defs);
    void AddFieldDef(const QString& name, TqxFieldKind kind, int size = 0, bool required = false);
    // A new empty table of the field definitions; clones of the old one see it too.
    void CreateDataSet();
    void Open();  // keeps the rows a closed cursor had; without any, creates the table
    void Close(); // a pending edit is dropped
    bool Active() const { return FState != TqxDataSetState::Inactive; }
    void SetActive(bool value) { value ? Open() : Close(); }
    TqxDataSetState State() const { return FState; }
    // A row is being edited or inserted and not yet posted.
    bool Editing() const { return FState == TqxDataSetState::Edit || FState == TqxDataSetState::Insert; }
    // Makes this cursor a second cursor over source's rows. It starts in
    // stored order without index, filter or position of its own; with
    // keepSettings it takes source's index, filter and current row. Event
    // handlers are this cursor's own and stay as they are.
    void CloneCursor(TqxDataSet& source, bool keepSettings = false);
    bool SharesRowsWith(const TqxDataSet& other) const { return FStore && FStore == other.FStore; }

    // Fields
    int FieldCount() const { return int(FFields.size()); }
    TqxField* Fields(int index) const { return FFields[size_t(index)].get(); }
    TqxField* FindField(const QString& name) const;
    TqxField* FieldByName(const QString& name) const; // throws EKavelinErr when absent

    // Navigation
    void First();
    void Last();
    void Next();
    void Prior();
    int MoveBy(int distance);
    bool Bof() const { return FBof; }
    bool Eof() const { return FEof; }
    bool IsEmpty() const { return RecordCount() == 0; }
    int RecordCount() const { return Active() ? FView.Count() : 0; }
    int RecNo() const { return FPos + 1; } // 1-based; 0 on an empty table
    void SetRecNo(int value);

    // Editing. Moving to another row posts a pending edit that changed a
    // field and drops one that did not.
    void Append();
    void Insert(); // before the current row
    void Edit();   // on an empty table: Insert
    void Post();
    void Cancel();
    void Delete();
    void AppendRecord(const QVariantList& values);
    void InsertRecord(const QVariantList& values);
    void CheckBrowseMode();
    bool Modified() const { return FModified; }
    void EmptyDataSet();

    // Change log, shared by every cursor over the rows.
    int ChangeCount() const { return FStore ? FStore->ChangeCount() : 0; }
    void MergeChangeLog();
    void CancelUpdates();

    // Order: a ";"-list of fields, ascending; text in GBK byte order with the
    // empty value first; equal keys keep the stored order.
    const QString& IndexFieldNames() const { return FIndexFieldNames; }
    void SetIndexFieldNames(const QString& names);

    // The first row, in this cursor's order and filter, whose fields match
    // the values (one value, or a list for a ";"-list of fields). Partial key
    // matches text by prefix; case-insensitive folds Latin letters.
    bool Locate(const QString& keyFields, const QVariant& keyValues, TqxLocateOptions options = {});
    QVariant Lookup(const QString& keyFields, const QVariant& keyValues, const QString& resultFields);

    const QString& Filter() const { return FFilterText; }
    void SetFilter(const QString& text); // a malformed filter raises EKavelinErr and changes nothing
    bool Filtered() const { return FFiltered; }
    void SetFiltered(bool value);
    TqxFilterOptions FilterOptions() const { return FFilterOptions; }
    void SetFilterOptions(TqxFilterOptions value);

    // Bookmarks: a deleted row's bookmark is invalid; so is one of a row this
    // cursor's filter hides.
    TqxBookmark GetBookmark() const;
    void GotoBookmark(const TqxBookmark& bookmark); // EKavelinErr when invalid
    bool BookmarkValid(const TqxBookmark& bookmark) const;
    void FreeBookmark(TqxBookmark& bookmark) { bookmark = {}; }
    int CompareBookmarks(const TqxBookmark& a, const TqxBookmark& b) const;
    int RowOf(const TqxBookmark& bookmark) const; // 0-based row of this cursor, or -1
    TqxBookmark BookmarkAt(int row) const;

    // Attached views repaint once after a bulk change.
    void DisableControls();
    void EnableControls();
    bool ControlsDisabled() const { return FDisableCount > 0; }
    void AddObserver(TqxDataSetObserver* observer);
    void RemoveObserver(TqxDataSetObserver* observer);

    // A row of this cursor seen through its fields without moving to it: the
    // get-text events and anything they read see that row. A null bookmark
    // means the row being inserted.
    QString DisplayTextAt(const TqxBookmark& row, int field);
    QString TextAt(const TqxBookmark& row, int field);
    QVariant ValueAt(const TqxBookmark& row, int field);
    // The row being inserted is shown here (Insert: at the current row; Append: last).
    int InsertRow() const;

    // Packets. Loading replaces the rows of every cursor over them, with no
    // changes pending; a damaged packet raises EFileError and changes nothing.
    // Saving writes the current rows as a merged packet.
    void LoadFromBytes(const QByteArray& bytes, const QString& sourceName = QString());
    QByteArray SaveToBytes() const;
    void LoadFromStream(QIODevice* stream); // from the stream's position to its end
    void SaveToStream(QIODevice* stream) const;
    void LoadFromFile(const QString& fileName);
    void SaveToFile(const QString& fileName) const; // through a temporary file
    // Close, create empty from the field definitions, and load the file if it
    // exists; true when a file was loaded.
    bool OpenTableFile(const QString& fileName);
    // Merge the change log, then save.
    void SaveTableFile(const QString& fileName);

    TqxDataSetNotifyEvent BeforeInsert, AfterInsert, BeforeEdit, AfterEdit, BeforePost, AfterPost;
    TqxDataSetNotifyEvent BeforeCancel, AfterCancel, BeforeDelete, AfterDelete, BeforeScroll, AfterScroll;
    TqxDataSetNotifyEvent OnNewRecord;
    TqxFilterRecordEvent OnFilterRecord; // takes effect when filtering is (re)applied

protected:
    virtual void DoBeforeInsert() { Fire(BeforeInsert); }
    virtual void DoAfterInsert() { Fire(AfterInsert); }
    virtual void DoBeforeEdit() { Fire(BeforeEdit); }
    virtual void DoAfterEdit() { Fire(AfterEdit); }
    virtual void DoBeforePost() { Fire(BeforePost); }
    virtual void DoAfterPost() { Fire(AfterPost); }
    virtual void DoBeforeCancel() { Fire(BeforeCancel); }
    virtual void DoAfterCancel() { Fire(AfterCancel); }
    virtual void DoBeforeDelete() { Fire(BeforeDelete); }
    virtual void DoAfterDelete() { Fire(AfterDelete); }
    virtual void DoBeforeScroll() { Fire(BeforeScroll); }
    virtual void DoAfterScroll() { Fire(AfterScroll); }
    virtual void DoOnNewRecord() { Fire(OnNewRecord); }
    void Fire(const TqxDataSetNotifyEvent& e)
    {
        if (e)
            e(this);
    }

private:
    friend class TqxField;

    // TqxRowStoreClient
    void StoreRowInserted(TqxRecId rec, int orderPos) override;
    void StoreRowUpdating(TqxRecId rec, int orderPos) override;
    void StoreRowUpdated(TqxRecId rec, int orderPos) override;
    void StoreRowDeleted(TqxRecId rec, int orderPos) override;
    void StoreResetting() override;
    void StoreReset(bool sameRows) override;

    // Fields read this; writes go to the edit buffer.
    TqxRowView ActiveRow() const;
    void BeginFieldWrite(const TqxField* field);
    void EndFieldWrite(TqxField* field);
    TqxRecord& Buffer() { return FBuffer; }

    void CheckActive() const;
    void AttachStore(std::shared_ptr<TqxRowStore> store);
    void DetachStore();
    void SyncFields();
    void ResetView(TqxRecId keep);
    void ApplyFilter();
    void ApplyChange(const TqxDataSetView::Change& change);
    void FixFlags();
    TqxRecId CurrentRec() const { return FPos >= 0 ? FView.At(FPos) : -1; }
    void MoveTo(int pos); // with scroll events
    void BeginInsertAppend(bool append);
    void SetState(TqxDataSetState state);
    void DropEdit(); // back to browse without events
    void CheckRequired() const;
    void SetRecordValues(const QVariantList& values);
    std::vector<int> ParseFieldList(const QString& names, const QString& what) const;
    int FindRow(const QString& keyFields, const QVariant& keyValues, TqxLocateOptions options);
    bool Accepts(TqxRecId rec);
    template<typename F> void Tell(F call);
    bool RowScope(const TqxBookmark& row, TqxRecId& rec, bool& buffer) const;

    class ActiveRowScope;

    std::shared_ptr<TqxRowStore> FStore;
    TqxDataSetView FView;
    TqxFieldDefs FFieldDefs;
    std::vector<std::unique_ptr<TqxField>> FFields;
    TqxDataSetState FState = TqxDataSetState::Inactive;
    int FPos = -1;
    bool FBof = true;
    bool FEof = true;

    TqxRecord FBuffer;
    TqxRecord FNullRow;
    TqxBookmark FEditRow;     // the row being edited
    TqxBookmark FInsertBefore; // Insert: the row the new one goes before
    bool FInsertAppend = false;
    bool FModified = false;
    TqxRecId FResetKeep = -1;      // the current row when the store began a reset
    TqxRecId FActiveOverride = -1; // the row fields read while filtering or drawing
    bool FOverrideBuffer = false;  // ... or the edit buffer

    QString FIndexFieldNames;
    QString FFilterText;
    bool FFiltered = false;
    TqxFilterOptions FFilterOptions;
    std::unique_ptr<TqxFilterExpr> FFilterExpr;
    std::exception_ptr FFilterFailure;

    const TqxDataSetView* FAdoptOrderFrom = nullptr; // while a clone attaches: its source's sorted order
    int FDisableCount = 0;
    bool FPendingChange = false;
    std::vector<TqxDataSetObserver*> FObservers;
};

// Keeps a table's attached views from repainting while it lives: a bulk
// change shows once, when the outermost lock ends.
class TqxControlsLock {
public:
    explicit TqxControlsLock(TqxDataSet& dataSet) : FDataSet(dataSet) { FDataSet.DisableControls(); }
    ~TqxControlsLock() { FDataSet.EnableControls(); }
    TqxControlsLock(const TqxControlsLock&) = delete;
    TqxControlsLock& operator=(const TqxControlsLock&) = delete;

private:
    TqxDataSet& FDataSet;
};

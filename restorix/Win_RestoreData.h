#pragma once
// The restore dialog: the tables a chosen backup file holds, written back over
// this installation's table files.

#include "KavelinFiles.h"
#include "Win_DataFiles.h"

class TAppGlobalInfo;

class TForm_RestoreData : public TForm_DataFiles {
    Q_OBJECT
public:
    explicit TForm_RestoreData(QWidget* parent = nullptr);

    // Asks for the backup file and reads it; false when the user cancelled
    // or the file could not be read (the user has been told).
    bool ChooseBackup(const TAppGlobalInfo& info);

    // Asks for confirmation, writes the checked tables and reports; closes on success.
    void Restore();

    TKVFile Backup;
};

// The whole restore: choose a file, then show the dialog over owner.
void RestoreBaseData(const TAppGlobalInfo& info, QWidget* owner);

#pragma once
// The backup dialog: the five table files, checked, written into one backup file.

#include "Win_DataFiles.h"

#include <QDate>

class TAppGlobalInfo;

class TForm_BackUpData : public TForm_DataFiles {
    Q_OBJECT
public:
    TForm_BackUpData(const TAppGlobalInfo& info, QWidget* parent = nullptr);

    // Asks for the file, writes the backup and reports; closes on success.
    void BackUp();

    QDate Today;        // names the proposed file; the current date unless a test sets it
};

#pragma once
// The base-data windows are built over a private copy of the shipped App file
// and tables, so a test may change and save them; every question goes to a
// scripted prompter.

#include "AppClasses.h"
#include "DataModule_App.h"
#include "qxScriptedPrompter.h"

#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <QTest>
#include <memory>

using namespace Qt::StringLiterals;

class TBaseDataFixture {
public:
    static inline const QStringList TableFiles{u"ItemsDB"_s, u"ItemCateDB"_s, u"MeasureUnit"_s, u"MemoDB"_s,
                                               u"WordsDb"_s};

    // False (with a test failure recorded) when the shipped files are missing.
    bool SetUp()
    {
        const QString stage = qEnvironmentVariable("KV_PRISTINE_STAGE_DIR");
        QDir(FDir.path()).removeRecursively();
        QDir().mkpath(FDir.path() + u"/Data"_s);
        if (!QFile::copy(stage + u"/App"_s, FDir.path() + u"/App"_s))
            return Fail(u"App"_s);
        for (const QString& f : TableFiles)
            if (!QFile::copy(stage + u"/Data/"_s + f, File(f)))
                return Fail(f);
        Prompter = std::make_unique<TqxScriptedPrompter>();
        Info = std::make_unique<TAppGlobalInfo>();
        Info->WriteBackOnFree = false;
        if (!Info->Initialize(FDir.path(), {}))
            return Fail(u"App"_s);
        Data = std::make_unique<TDataModule_Data>();
        Data->DataModuleCreate(*Info);
        return true;
    }

    void TearDown()
    {
        Data.reset();
        Info.reset();
        Prompter.reset();
    }

    QString File(const QString& name) const { return FDir.path() + u"/Data/"_s + name; }

    // A second module reading the files as they are now on disk.
    std::unique_ptr<TDataModule_Data> Reread() const
    {
        auto fresh = std::make_unique<TDataModule_Data>();
        fresh->DataModuleCreate(*Info);
        return fresh;
    }

    std::unique_ptr<TqxScriptedPrompter> Prompter;
    std::unique_ptr<TAppGlobalInfo> Info;
    std::unique_ptr<TDataModule_Data> Data;

private:
    static bool Fail(const QString& what)
    {
        QTest::qFail(qPrintable(u"shipped file missing: "_s + what), __FILE__, __LINE__);
        return false;
    }

    QTemporaryDir FDir;
};

#pragma once
// A private copy of the pristine staged installation, so that a window test
// may change configuration and data files freely.

#include "AppClasses.h"
#include "qxIniFile.h"

#include <QDir>
#include <QDirIterator>
#include <QFile>
#include <QTemporaryDir>
#include <QTest>
#include <memory>

class TAppStage {
public:
    // Copies the shipped files and loads the configuration from the copy.
    // The configuration is not written back unless a test asks for it.
    bool Create()
    {
        const QString pristine = qEnvironmentVariable("KV_PRISTINE_STAGE_DIR");
        if (pristine.isEmpty() || !QDir(pristine).exists() || !FDir.isValid())
            return false;
        QDirIterator it(pristine, QDir::Files | QDir::Hidden, QDirIterator::Subdirectories);
        while (it.hasNext()) {
            const QString from = it.next();
            const QString to = Path(QDir(pristine).relativeFilePath(from));
            QDir().mkpath(QFileInfo(to).path());
            if (!QFile::copy(from, to))
                return false;
        }
        // As the setup program leaves an installation: the App file names its
        // own folder, through which Setup.ini is found at start.
        TqxIniFile app(Path(QStringLiteral("App")));
        app.WriteString(QStringLiteral("Paths"), QStringLiteral("App"), QDir::toNativeSeparators(FDir.path()) + QDir::separator());
        app.UpdateFile();
        Info = std::make_unique<TAppGlobalInfo>();
        Info->WriteBackOnFree = false;
        return Info->Initialize(FDir.path(), {});
    }

    QString Path(const QString& relative) const { return FDir.path() + u'/' + relative; }

    std::unique_ptr<TAppGlobalInfo> Info;

private:
    QTemporaryDir FDir;
};

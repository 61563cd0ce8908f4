#pragma once
// Runs the kvtool binary of this build and collects what it printed.

#include <QProcess>
#include <QString>
#include <QStringList>

namespace KvTest {

struct Run {
    int code = -1;
    QString out;
    QString err;
};

inline Run kvtool(const QStringList& args)
{
    QProcess p;
    p.start(QStringLiteral(KVTOOL_PATH), args);
    p.waitForFinished(60000);
    return {p.exitStatus() == QProcess::NormalExit ? p.exitCode() : -1, QString::fromUtf8(p.readAllStandardOutput()),
            QString::fromUtf8(p.readAllStandardError())};
}

} // namespace KvTest

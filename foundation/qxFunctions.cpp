#include "qxFunctions.h"

#include "AppClasses.h"

#include <QProcess>
#include <QStringList>

using namespace Qt::StringLiterals;

QString SplitHead(QString& text, const QString& separator, bool remove)
{
    const qsizetype at = separator.isEmpty() ? -1 : text.indexOf(separator);
    if (at < 0) {
        QString head = text;
        if (remove)
            text.clear();
        return head;
    }
    QString head = text.left(at);
    if (remove)
        text.remove(0, at + separator.size());
    return head;
}

QString BoolToText(bool value) { return value ? u"True"_s : u"False"_s; }

bool TextToBool(const QString& text)
{
    QString t = text;
    for (QChar& c : t)
        if (c.unicode() < 0x80)
            c = c.toLower();
    return t == u"true"_s || t == u"yes"_s || t == u"是"_s;
}

namespace {

bool defaultShellOpen(const QString& target)
{
    if (target.isEmpty())
        return false;
#ifdef Q_OS_WIN
    return QProcess::startDetached(u"cmd"_s, {u"/c"_s, u"start"_s, u""_s, target});
#elif defined(Q_OS_MACOS)
    return QProcess::startDetached(u"open"_s, {target});
#else
    return QProcess::startDetached(u"xdg-open"_s, {target});
#endif
}

TShellOpener& opener()
{
    static TShellOpener o = defaultShellOpen;
    return o;
}

} // namespace

void SetShellOpener(TShellOpener o) { opener() = o ? std::move(o) : TShellOpener(defaultShellOpen); }

bool ShellOpen(const QString& target) { return opener()(target); }

bool SendMailTo(const QString& address) { return ShellOpen(u"mailto:"_s + address); }

void FreeAppGlobalInfo()
{
    if (AppGlobalInfo) {
        delete AppGlobalInfo;
        AppGlobalInfo = nullptr;
    }
}

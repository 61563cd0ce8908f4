#include "qxUiFunctions.h"

#include "qxFunctions.h"
#include "qxNotices.h"
#include "qxPrompter.h"
#include "qxQtPrompter.h"

#include <QApplication>
#include <QDesktopServices>
#include <QIcon>
#include <QLibraryInfo>
#include <QMdiArea>
#include <QMdiSubWindow>
#include <QPointer>
#include <QTranslator>
#include <QUrl>
#include <QWidget>

using namespace Qt::StringLiterals;

namespace {

// Qt keeps its top-level widgets in no particular order, so the creation
// order of windows is recorded here as they are created.
class TFormRecorder final : public QObject {
public:
    bool eventFilter(QObject* watched, QEvent* event) override
    {
        if (event->type() == QEvent::Create && watched->isWidgetType() && static_cast<QWidget*>(watched)->isWindow()) {
            Created.append(static_cast<QWidget*>(watched));
            if (++FSincePrune > 256)
                Prune();
        }
        return false;
    }

    void Prune()
    {
        FSincePrune = 0;
        Created.removeIf([](const QPointer<QWidget>& w) { return w.isNull(); });
    }

    QList<QPointer<QWidget>> Created;

private:
    int FSincePrune = 0;
};

QPointer<TFormRecorder> gRecorder;

void installRecorder()
{
    // Programs without windows (Kavsetup --unattended) run on a core
    // application: it is not a QApplication, so qApp must not be used here.
    QCoreApplication* app = QCoreApplication::instance();
    gRecorder = new TFormRecorder;
    gRecorder->setParent(app);
    app->installEventFilter(gRecorder);
}
Q_COREAPP_STARTUP_FUNCTION(installRecorder)

bool isForm(const QWidget* w)
{
    if (w->isWindow()) {
        switch (w->windowType()) {
        case Qt::Popup:
        case Qt::ToolTip:
        case Qt::Desktop:
        case Qt::SubWindow:
            return false;
        default:
            return w->windowType() != Qt::Widget;
        }
    }
    const auto* sub = qobject_cast<const QMdiSubWindow*>(w->parentWidget());
    return sub && sub->widget() == w;
}

} // namespace

QList<QWidget*> ApplicationForms()
{
    QList<QWidget*> forms;
    if (!gRecorder)
        return forms;
    gRecorder->Prune();
    for (const QPointer<QWidget>& w : std::as_const(gRecorder->Created))
        if (w && isForm(w))
            forms.append(w);
    // MDI children that were created inside their frame were never windows;
    // they follow in the order their area lists them.
    for (qsizetype i = 0, n = forms.size(); i < n; ++i) {
        if (!forms.at(i)->isWindow())
            continue;
        for (const QMdiArea* area : forms.at(i)->findChildren<QMdiArea*>())
            for (const QMdiSubWindow* sub : area->subWindowList(QMdiArea::CreationOrder))
                if (sub->widget() && !forms.contains(sub->widget()))
                    forms.append(sub->widget());
    }
    return forms;
}

qintptr BroadcastMessage(int msg, quintptr wParam, qintptr lParam)
{
    qintptr result = 0;
    // A receiver may close other windows while it handles the message.
    QList<QPointer<QWidget>> forms;
    for (QWidget* w : ApplicationForms())
        forms.append(w);
    for (const QPointer<QWidget>& w : std::as_const(forms))
        if (w)
            result = SendMessageTo(w, msg, wParam, lParam);
    return result;
}

void InstallUiServices()
{
    static TqxQtPrompter prompter;
    SetPrompter(&prompter);
    // Outside a desktop session Qt knows no icon theme; the tool bars name
    // their images by the freedesktop names the installed theme provides.
    if (QIcon::themeName().isEmpty() || QIcon::themeName() == u"hicolor"_s)
        QIcon::setThemeName(u"breeze"_s);
    SetShellOpener([](const QString& target) {
        return !target.isEmpty() && QDesktopServices::openUrl(QUrl::fromUserInput(target));
    });
    // Qt's own texts (file dialogs, edit menus) in Chinese, when the translations are installed.
    static QPointer<QTranslator> translator;
    if (translator)
        return;
    translator = new QTranslator(qApp);
    if (translator->load(QLocale(QLocale::Chinese, QLocale::China), u"qtbase"_s, u"_"_s,
                         QLibraryInfo::path(QLibraryInfo::TranslationsPath)))
        QCoreApplication::installTranslator(translator);
}

void ShowExceptionMessage(const QString& message)
{
    ShowMessage(message, QGuiApplication::applicationDisplayName(), TMsgIcon::Error);
}

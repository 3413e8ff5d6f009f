// Program entry: splash screen, main window, message loop.
#include "canvas/print_diagram.h"
#include "dbtools/oci_connection.h"
#include "model/diagram_file_preload.h"
#include "model/model_globals.h"
#include "platform/font.h"
#include "platform/user_interface.h"
#include "shell/about_form.h"
#include "shell/main_diagram.h"
#include "shell/main_form.h"
#include "shell/wizard_hooks.h"

#include <QApplication>
#include <QElapsedTimer>
#include <QEventLoop>
#include <QTimer>
#include <QWindow>

#include <exception>

namespace {

// The last net: an exception that escaped an event handler is shown, as the
// message loop of a desktop program would, and the program goes on.
class TMarrowtideApplication : public QApplication {
public:
    using QApplication::QApplication;

    bool notify(QObject *receiver, QEvent *event) override
    {
        try {
            return QApplication::notify(receiver, event);
        } catch (const std::exception &e) {
            UserInterface().ShowError(QString::fromUtf8(e.what()));
        } catch (...) {
            UserInterface().ShowError(QStringLiteral("Unexpected error."));
        }
        return false;
    }
};

QStringList ProgramParameters()
{
    QStringList parameters = QCoreApplication::arguments().mid(1);
    // A cloned instance receives its logon through the environment so that the
    // password never shows on a process list; it counts as a parameter.
    const QByteArray logon = qgetenv("MARROWTIDE_LOGON");
    if (!logon.isEmpty()) {
        parameters.prepend(QString::fromLocal8Bit(logon));
        qunsetenv("MARROWTIDE_LOGON");
    }
    return parameters;
}

// Under a window manager the splash is mapped some time after show(); one pass
// of the event loop would leave it black through the whole build. Run the loop
// until it is exposed and painted, but never hold the start-up for long.
void LetSplashPaint(QWidget &splash)
{
    QElapsedTimer waited;
    waited.start();
    while (waited.elapsed() < 750) {
        QApplication::processEvents(QEventLoop::AllEvents, 10);
        const QWindow *window = splash.windowHandle();
        if (window && window->isExposed()) {
            splash.repaint();
            QApplication::processEvents();
            return;
        }
        QEventLoop idle;
        QTimer::singleShot(5, &idle, &QEventLoop::quit);
        idle.exec();
    }
}

// The loop keeps running while the splash stays up, so it can still repaint
// when it is uncovered; only the main window is not shown yet.
void KeepSplashUp(int milliseconds)
{
    QEventLoop wait;
    QTimer::singleShot(milliseconds, &wait, &QEventLoop::quit);
    wait.exec();
}

} // namespace

int main(int argc, char **argv)
{
    TMarrowtideApplication app(argc, argv);
    QApplication::setApplicationName(QStringLiteral("Marrowtide"));
    InstallFontSubstitutions();
    InitializeModelGlobals();
    TWizardHooks::Install();
    int result = 0;
    {
        std::unique_ptr<Tfrmgui> mainForm;
        auto splash = std::make_unique<Tfrmabout>();
        SplashForm = splash.get();
        QString failure;
        try {
            SplashForm->SetHomePageVisible(false);
            SplashForm->show();
            LetSplashPaint(*SplashForm);
            const QStringList parameters = ProgramParameters();
            TDiagramFilePreload::Start(Tfrmgui::CommandLineFileNames(parameters));
            TOciClientSettings::Current() = TOciClientSettings::FromParameters(parameters);
            mainForm = std::make_unique<Tfrmgui>(parameters);
            if (CurrentDiagram)
                TPrintDiagram::InstallHooks(*CurrentDiagram);
        } catch (const std::exception &e) {
            failure = QString::fromUtf8(e.what());
        } catch (...) {
            failure = QStringLiteral("Unexpected error.");
        }
        // The splash stays a second past the build, and goes whether or not it worked.
        KeepSplashUp(1000);
        SplashForm->hide();
        SplashForm = nullptr;
        splash.reset();
        if (mainForm) {
            mainForm->show();
            result = QApplication::exec();
        } else {
            // The program cannot go on without its window: say why and end.
            MainForm = nullptr;
            UserInterface().ShowError(failure);
            result = 1;
        }
    }
    TDiagramFilePreload::Finish();
    FinalizeModelGlobals();
    return result;
}

// Program entry: splash screen, main window, message loop.
#include "canvas/print_diagram.h"
#include "dbtools/oci_connection.h"
#include "model/model_globals.h"
#include "platform/font.h"
#include "platform/user_interface.h"
#include "shell/about_form.h"
#include "shell/main_diagram.h"
#include "shell/main_form.h"
#include "shell/wizard_hooks.h"

#include <QApplication>
#include <QThread>

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
            QApplication::processEvents();
            const QStringList parameters = ProgramParameters();
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
        QThread::msleep(1000);
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
    FinalizeModelGlobals();
    return result;
}

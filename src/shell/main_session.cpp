// Logging on and off, and what the main window shows of the session.
#include "shell/main_form.h"

#include "canvas/os_diagram.h"
#include "dbtools/console_helper.h"
#include "dbtools/login_manager.h"
#include "dbtools/sql_connection.h"
#include "model/helpers.h"
#include "model/model_globals.h"
#include "model/preferences.h"
#include "shell/explorer_tree.h"

#include <QComboBox>
#include <QCoreApplication>
#include <QLabel>
#include <QPointer>
#include <QTreeWidget>

TStartLogon Tfrmgui::LogonDecision(const QStringList &parameters, bool startUp)
{
    bool loginSeen = false;
    bool fileSeen = false;
    if (startUp) {
        for (const QString &p : parameters) {
            if (TLoginManager::IsFileParameter(p))
                fileSeen = true;
            else if (!TLoginManager::IsClientParameter(p))
                loginSeen = true;
        }
    }
    if (loginSeen)
        return TStartLogon::CommandLine;
    if (!fileSeen)
        return TStartLogon::Form;
    return TStartLogon::None;
}

QStringList Tfrmgui::CommandLineFileNames(const QStringList &parameters)
{
    QStringList names;
    for (const QString &p : parameters) {
        if (!TLoginManager::IsFileParameter(p))
            continue;
        const QString name = p.mid(5);
        if (!name.isEmpty())
            names << name;
    }
    return names;
}

void Tfrmgui::DoLogOn(bool startUp)
{
    switch (LogonDecision(Parameters_, startUp)) {
    case TStartLogon::CommandLine:
        TLoginManager::CommandLineLogin(Parameters_);
        break;
    case TStartLogon::Form:
        TLoginManager::FormLogin();
        break;
    case TStartLogon::None:
        break;
    }
    UpdateConnectionCaption();
    // The count is otherwise written only when the page changes: the first
    // logon must not leave its panel blank, even when a list below fails.
    if (CurrentDiagram)
        CurrentDiagram->UpdateObjectCount();
    FillOwnerCombo(cboTableOwners);
    SelectOwner(cboTableOwners);
    cboObjOwners->clear();
    for (int i = 0; i < cboTableOwners->count(); ++i)
        cboObjOwners->addItem(cboTableOwners->itemText(i));
    cboObjOwners->setCurrentIndex(cboTableOwners->currentIndex());
    SelectOwner(cboObjOwners);
    BuildDatabaseRoots();
    FillEntitiesList(cboTableOwners->currentText() == QLatin1String("All Owners") ? QString()
                                                                                   : cboTableOwners->currentText());
}

void Tfrmgui::UpdateConnectionCaption()
{
    QString text = QStringLiteral("OffLine");
    if (THelpers::IsConnected())
        text = DatabaseSession->GetUsername() + QLatin1Char('@') + DatabaseSession->GetDatabase();
    UpdateActionStates();
    Panels_[0]->setText(text);
    setWindowTitle(QStringLiteral("Marrowtide -  ") + text);
}

void Tfrmgui::actLogOffExecute()
{
    if (DatabaseSession)
        DatabaseSession->Disconnect();
    GoOffline(QStringLiteral("Logged off, working offline."));
}

void Tfrmgui::InstallConnectionLostHook()
{
    // The loss may be noticed on a query's worker thread: the window goes
    // offline on its own thread, and only when no new logon came meanwhile.
    // The call is posted to the application, which outlives the window: the
    // window may be gone between any look at it from here and the post.
    const QPointer<Tfrmgui> self(this);
    ISqlConnection::SetConnectionLostHook([self] {
        QMetaObject::invokeMethod(
            QCoreApplication::instance(),
            [self] {
                if (self && DatabaseSession && !THelpers::IsConnected())
                    self->GoOffline(QStringLiteral("The connection to the database is lost, working offline."));
            },
            Qt::QueuedConnection);
    });
}

void Tfrmgui::GoOffline(const QString &message)
{
    TConsoleHelper::WriteMessage(message);
    FillOwnerCombo(cboTableOwners);
    FillOwnerCombo(cboObjOwners);
    lvwTables->clear();
    BuildDatabaseRoots();
    Preferences->LastFilter = cboTableOwners->currentText();
    UpdateConnectionCaption();
}

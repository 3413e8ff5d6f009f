#include "dbtools/login_manager.h"

#include "dbtools/console_helper.h"
#include "dbtools/logon_dialog.h"
#include "dbtools/oracle_session.h"
#include "model/model_globals.h"
#include "model/preferences.h"
#include "platform/user_interface.h"

#include <QCoreApplication>

#include <exception>
#include <stdexcept>

namespace {

IDatabaseSessionPtr OpenOracleSession(const TLogonValues &values)
{
    return TOracleSession::Open(values);
}

TLoginManager::TSessionFactory &Factory()
{
    static TLoginManager::TSessionFactory factory = OpenOracleSession;
    return factory;
}

TLoginManager::TLogonPrompt &Prompt()
{
    static TLoginManager::TLogonPrompt prompt = TfrmLogon::Ask;
    return prompt;
}

QString LogonName(const TLogonValues &values)
{
    return values.Database.isEmpty() ? values.User : values.User + QLatin1Char('@') + values.Database;
}

void RememberLogon(const TLogonValues &values)
{
    if (!Preferences)
        return;
    Preferences->LastUser = values.User;
    Preferences->LastDatabase = values.Database;
    // Always user@database, even without a database, as the stored list is read.
    const QString entry = values.User + QLatin1Char('@') + values.Database;
    Preferences->PreviousLogons.removeAll(entry);
    Preferences->PreviousLogons.insert(0, entry);
}

} // namespace

void TLoginManager::SetSessionFactory(TSessionFactory factory)
{
    Factory() = factory ? std::move(factory) : TSessionFactory(OpenOracleSession);
}

void TLoginManager::SetLogonPrompt(TLogonPrompt prompt)
{
    Prompt() = prompt ? std::move(prompt) : TLogonPrompt(TfrmLogon::Ask);
}

bool TLoginManager::IsFileParameter(const QString &parameter)
{
    return parameter.contains(QLatin1String("file="), Qt::CaseInsensitive);
}

bool TLoginManager::IsClientParameter(const QString &parameter)
{
    return parameter.startsWith(QLatin1String("OCIDLL="), Qt::CaseInsensitive) ||
           parameter.startsWith(QLatin1String("ORACLEHOME="), Qt::CaseInsensitive);
}

QString TLoginManager::ConnectString(const QStringList &parameters)
{
    for (const QString &p : parameters) {
        if (!IsFileParameter(p) && !IsClientParameter(p) && !p.isEmpty())
            return p;
    }
    return {};
}

bool TLoginManager::ParseConnectString(const QString &text, TLogonValues &values)
{
    // The password may hold "@", the database name may not: split at the last one.
    const int slash = text.indexOf(QLatin1Char('/'));
    if (slash <= 0)
        return false;
    QString rest = text.mid(slash + 1);
    const int at = rest.lastIndexOf(QLatin1Char('@'));
    values.User = text.left(slash);
    if (at >= 0) {
        values.Password = rest.left(at);
        values.Database = rest.mid(at + 1);
    } else {
        values.Password = rest;
        values.Database.clear();
    }
    return true;
}

bool TLoginManager::TryLogon(const TLogonValues &values)
{
    try {
        IDatabaseSessionPtr session = Factory()(values);
        if (!session || !session->GetConnected())
            throw std::runtime_error("The database session did not connect.");
        DatabaseSession = std::move(session);
        RememberLogon(values);
        TConsoleHelper::WriteMessage(QStringLiteral("Logged on as ") + LogonName(values) +
                                     QLatin1Char('.'));
        return true;
    } catch (const std::exception &e) {
        const QString reason = QString::fromUtf8(e.what());
        TConsoleHelper::WriteMessage(QStringLiteral("Login failed: ") + reason);
        UserInterface().ShowError(reason, QStringLiteral("Login failed"));
        return false;
    }
}

void TLoginManager::CommandLineLogin()
{
    CommandLineLogin(QCoreApplication::arguments().mid(1));
}

void TLoginManager::CommandLineLogin(const QStringList &parameters)
{
    TConsoleHelper::WriteMessage(QStringLiteral("Attempting command line login."));
    TLogonValues values;
    if (!ParseConnectString(ConnectString(parameters), values)) {
        const QString message =
            QStringLiteral("The command line holds no connect string of the form user/password@database.");
        TConsoleHelper::WriteMessage(message);
        UserInterface().ShowError(message, QStringLiteral("Login failed"));
        return;
    }
    if (!TryLogon(values))
        TConsoleHelper::WriteMessage(QStringLiteral("Working offline."));
}

void TLoginManager::FormLogin()
{
    TLogonValues values;
    if (Preferences) {
        values.User = Preferences->LastUser;
        values.Database = Preferences->LastDatabase;
    }
    for (int attempt = 1; attempt <= MaxAttempts; ++attempt) {
        values.Password.clear();
        if (!Prompt()(values, attempt)) {
            TConsoleHelper::WriteMessage(QStringLiteral("Login cancelled, working offline."));
            return;
        }
        if (TryLogon(values))
            return;
    }
    TConsoleHelper::WriteMessage(QStringLiteral("Login failed three times, working offline."));
}

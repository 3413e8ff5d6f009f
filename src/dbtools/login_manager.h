#pragma once
// TLoginManager: logging on from the command line or through the logon dialog;
// the only places that replace the program-wide database session.
#include "model/database_session.h"

#include <QString>
#include <QStringList>

#include <functional>

// What the user logs on with. The password is never written anywhere.
struct TLogonValues {
    QString User;
    QString Password;
    QString Database;
};

class TLoginManager {
public:
    TLoginManager() = delete;

    // A connected session for the values, or an exception with the reason.
    using TSessionFactory = std::function<IDatabaseSessionPtr(const TLogonValues &values)>;
    // Asks the user; false when the user cancels. Attempt counts from 1.
    using TLogonPrompt = std::function<bool(TLogonValues &values, int attempt)>;

    static constexpr int MaxAttempts = 3;

    // Logs on with the connect string of the program's parameters (or of the
    // given ones). Reports every failure on the console and in a message box.
    static void CommandLineLogin();
    static void CommandLineLogin(const QStringList &parameters);
    // Asks through the logon dialog, at most three times.
    static void FormLogin();

    // The connect string among the parameters: the first that is neither a
    // "file=", an "OCIDLL=" nor an "ORACLEHOME=" parameter; empty when none.
    static QString ConnectString(const QStringList &parameters);
    // True for "file=", "OCIDLL=" and "ORACLEHOME=" parameters (any letter case).
    static bool IsFileParameter(const QString &parameter);
    static bool IsClientParameter(const QString &parameter);
    // user/password@database; false when there is no user or no "/".
    static bool ParseConnectString(const QString &text, TLogonValues &values);

    // nullptr puts the default back: a TOracleSession on the Oracle client, or
    // on the SQLite dictionary the database part names.
    static void SetSessionFactory(TSessionFactory factory);
    // nullptr puts the logon dialog back.
    static void SetLogonPrompt(TLogonPrompt prompt);

private:
    static bool TryLogon(const TLogonValues &values);
};

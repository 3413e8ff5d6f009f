#pragma once
// The sample database built with the program (HR, CO, SH and SHOP in a SQLite
// data dictionary, HR's rows beside it), for tests that need a real session.
// Only test programs that link the database tools may include this.
#include "dbtools/login_manager.h"
#include "dbtools/oracle_session.h"
#include "model/model_globals.h"

#include <QString>

#include <memory>

// MARROWTIDE_SAMPLE_DB in the environment points elsewhere; otherwise the
// database the build made.
inline QString SampleDatabasePath()
{
    const QString path = qEnvironmentVariable("MARROWTIDE_SAMPLE_DB");
    return path.isEmpty() ? QStringLiteral(MARROWTIDE_SAMPLE_DB) : path;
}

// A connected session on the sample database; each sample user's password is
// its name in lower case.
inline std::shared_ptr<TOracleSession> OpenSampleSession(const QString &user = QStringLiteral("hr"))
{
    return TOracleSession::Open({user, user.toLower(), SampleDatabasePath()});
}

// Makes a sample session the program-wide one for its lifetime.
class TSampleSessionScope {
public:
    explicit TSampleSessionScope(const QString &user = QStringLiteral("hr"))
        : Session(OpenSampleSession(user)), m_previous(DatabaseSession)
    {
        DatabaseSession = Session;
    }
    ~TSampleSessionScope() { DatabaseSession = m_previous; }
    TSampleSessionScope(const TSampleSessionScope &) = delete;
    TSampleSessionScope &operator=(const TSampleSessionScope &) = delete;

    std::shared_ptr<TOracleSession> Session;

private:
    IDatabaseSessionPtr m_previous;
};

#pragma once
// The sample database built with the program (HR, CO, SH and SHOP in a SQLite
// data dictionary, HR's rows beside it), for tests that need a real session.
// Only test programs that link the database tools may include this.
#include "dbtools/console_helper.h"
#include "dbtools/login_manager.h"
#include "dbtools/oracle_session.h"
#include "model/model_globals.h"

#include <QFile>
#include <QTemporaryDir>

#include <functional>
#include <memory>
#include <sqlite3.h>

// MARROWTIDE_SAMPLE_DB in the environment points elsewhere; otherwise the
// database the build made.
inline QString SampleDatabasePath()
{
    const QString path = qEnvironmentVariable("MARROWTIDE_SAMPLE_DB");
    return path.isEmpty() ? QStringLiteral(MARROWTIDE_SAMPLE_DB) : path;
}

// A connected session on the sample database (or another dictionary file);
// each sample user's password is its name in lower case.
inline std::shared_ptr<TOracleSession> OpenSampleSession(const QString &user = QStringLiteral("hr"),
                                                         const QString &file = SampleDatabasePath())
{
    return TOracleSession::Open({user, user.toLower(), file});
}

// A copy of the sample dictionary in the folder, changed by the SQL.
inline QString SampleCopy(const QTemporaryDir &dir, const QByteArray &sql)
{
    const QString copy = dir.filePath(QStringLiteral("dict.db"));
    QFile::remove(copy);
    QFile::copy(SampleDatabasePath(), copy);
    sqlite3 *db = nullptr;
    sqlite3_open(copy.toUtf8().constData(), &db);
    sqlite3_exec(db, sql.constData(), nullptr, nullptr, nullptr);
    sqlite3_close(db);
    return copy;
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

// Keeps the console's lines while it exists.
class TRecordingConsole : public IConsoleSink {
public:
    TRecordingConsole() { TConsoleHelper::SetSink(this); }
    ~TRecordingConsole() override { TConsoleHelper::SetSink(nullptr); }
    void AddLine(const QString &text) override { Lines << text; }
    QStringList Lines;
};

// The message of what the work raised; empty when it raised nothing.
inline QString ErrorOf(const std::function<void()> &work)
{
    try {
        work();
    } catch (const std::exception &e) {
        return QString::fromUtf8(e.what());
    }
    return {};
}

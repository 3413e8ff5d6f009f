#pragma once
// The sample database the build makes (HR, CO, SH, SHOP; HR's rows beside it),
// for test programs that link the database tools.
#include "dbtools/console_helper.h"
#include "dbtools/login_manager.h"
#include "dbtools/oracle_session.h"
#include "dbtools/window_registry.h"
#include "model/model_globals.h"
#include "platform/config_settings.h"

#include <QFile>
#include <QTemporaryDir>
#include <QWidget>

#include <functional>
#include <memory>
#include <sqlite3.h>

inline QString SampleDatabasePath() { return QStringLiteral(MARROWTIDE_SAMPLE_DB); }

// A session on the sample (or another) dictionary; passwords are the users' names.
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
    explicit TSampleSessionScope(const QString &user = QStringLiteral("hr")) : Session(OpenSampleSession(user))
    {
        DatabaseSession = Session;
    }
    ~TSampleSessionScope() { DatabaseSession = Previous; }

    std::shared_ptr<TOracleSession> Session;
    IDatabaseSessionPtr Previous = DatabaseSession;
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

// The main window's list of open windows; the windows are its children.
class TWindowListStandIn : public QWidget, public IWindowRegistry {
public:
    TWindowListStandIn() { TWindowRegistry::Current = this; }
    ~TWindowListStandIn() override { TWindowRegistry::Current = nullptr; }
    void RegisterOpenWindow(QWidget *form) override { Open << form; }
    void UnregisterOpenWindow(QWidget *form) override { Open.removeAll(form); }
    int NextWindowNumber() const override { return int(Open.size()) + 1; }
    QList<QWidget *> Open;
};

// The settings and the program's folder in a folder of the scope's own.
class TConfigFolderScope {
public:
    TConfigFolderScope()
    {
        TConfigSettings::SetSettingsFileOverride(Folder.filePath(QStringLiteral("settings.ini")));
        TConfigSettings::SetProgramFolderOverride(Folder.path());
    }
    ~TConfigFolderScope()
    {
        TConfigSettings::SetSettingsFileOverride({});
        TConfigSettings::SetProgramFolderOverride({});
    }
    QTemporaryDir Folder;
};

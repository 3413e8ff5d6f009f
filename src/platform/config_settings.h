#pragma once
// TConfigSettings: where the program keeps its configuration: the per-user "ConfigDir"
// setting and the folders the program may write into.
#include <QString>

class TConfigSettings {
public:
    TConfigSettings() = delete;

    // The stored "ConfigDir" value; empty when none is stored.
    static QString ReadConfigDir();
    static void WriteConfigDir(const QString &folder);

    // A failure that happened while the program closed, when nobody was left to
    // read a message: kept until the next start takes it to show it.
    static void WriteExitFailure(const QString &message);
    static QString TakeExitFailure();

    // The folder of the program's executable.
    static QString ProgramFolder();
    // The program's folder when files can be created in it, otherwise the per-user
    // application data folder (created when missing).
    static QString WritableProgramFolder();
    // True when a file can be created in the folder.
    static bool IsFolderWritable(const QString &folder);
    // Why no file can be created in the folder; empty when one can.
    static QString FolderWriteError(const QString &folder);

    // Tests keep away from the user's real settings: a non-empty path makes the settings an
    // INI file there; an empty one goes back to the native per-user store.
    static void SetSettingsFileOverride(const QString &iniPath);
    // Tests pretend the program lives elsewhere; empty goes back to the real folder.
    static void SetProgramFolderOverride(const QString &folder);
};

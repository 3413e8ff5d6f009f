#include "platform/config_settings.h"
#include <QCoreApplication>
#include <QDir>
#include <QSettings>
#include <QStandardPaths>
#include <QTemporaryFile>
#include <memory>

namespace {

const QString kConfigDirKey = QStringLiteral("ConfigDir");
const QString kExitFailureKey = QStringLiteral("ExitFailure");

QString &SettingsFileOverride()
{
    static QString path;
    return path;
}

QString &ProgramFolderOverride()
{
    static QString folder;
    return folder;
}

std::unique_ptr<QSettings> OpenSettings()
{
    if (!SettingsFileOverride().isEmpty())
        return std::make_unique<QSettings>(SettingsFileOverride(), QSettings::IniFormat);
    return std::make_unique<QSettings>(QSettings::NativeFormat, QSettings::UserScope, QStringLiteral("Marrowtide"));
}

} // namespace

QString TConfigSettings::ReadConfigDir() { return OpenSettings()->value(kConfigDirKey).toString(); }

void TConfigSettings::WriteConfigDir(const QString &folder)
{
    auto settings = OpenSettings();
    settings->setValue(kConfigDirKey, folder);
    settings->sync();
}

void TConfigSettings::WriteExitFailure(const QString &message)
{
    auto settings = OpenSettings();
    settings->setValue(kExitFailureKey, message);
    settings->sync();
}

QString TConfigSettings::TakeExitFailure()
{
    auto settings = OpenSettings();
    const QString message = settings->value(kExitFailureKey).toString();
    if (!message.isEmpty()) {
        settings->remove(kExitFailureKey);
        settings->sync();
    }
    return message;
}

QString TConfigSettings::ProgramFolder()
{
    if (!ProgramFolderOverride().isEmpty())
        return ProgramFolderOverride();
    return QCoreApplication::applicationDirPath();
}

bool TConfigSettings::IsFolderWritable(const QString &folder) { return FolderWriteError(folder).isEmpty(); }

QString TConfigSettings::FolderWriteError(const QString &folder)
{
    if (folder.isEmpty() || !QDir(folder).exists())
        return QStringLiteral("The folder does not exist.");
    // Permission bits do not tell the whole story (read-only mounts, ACLs): try it.
    QTemporaryFile probe(QDir(folder).filePath(QStringLiteral(".marrowtide_write_test_XXXXXX")));
    return probe.open() ? QString() : probe.errorString();
}

QString TConfigSettings::WritableProgramFolder()
{
    const QString program = ProgramFolder();
    if (IsFolderWritable(program))
        return program;
    const QString data = QStandardPaths::writableLocation(QStandardPaths::AppDataLocation);
    QDir().mkpath(data);
    return data;
}

void TConfigSettings::SetSettingsFileOverride(const QString &iniPath) { SettingsFileOverride() = iniPath; }

void TConfigSettings::SetProgramFolderOverride(const QString &folder) { ProgramFolderOverride() = folder; }

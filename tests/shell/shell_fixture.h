#pragma once
// A main window under test: settings and config folder in a temporary folder,
// the fake user interface, a scripted logon and a diagram whose reader takes
// the page name from a tiny test file.
#include "dbtools/login_manager.h"
#include "fake_database_session.h"
#include "model/diagram_object_model.h"
#include "model/model_globals.h"
#include "model/preferences.h"
#include "platform/config_settings.h"
#include "platform/fake_user_interface.h"
#include "shell/console_form.h"
#include "shell/main_diagram.h"
#include "shell/main_form.h"
#include "test_data.h"

#include <QtWidgets>

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <map>
#include <memory>
#include <stdexcept>

class TTestDiagram : public IMainDiagram {
public:
    QWidget *CreateSurface(QScrollArea *host) override { return Plain.CreateSurface(host); }
    void SetPaintingEnabled(bool enabled) override { Plain.SetPaintingEnabled(enabled); }
    void Rebuild() override { ++Rebuilds; }
    void DrawOverview(QPainter &painter, int width, int height) override { Plain.DrawOverview(painter, width, height); }
    void SetOverviewBox(QWidget *) override {}
    void SaveAsImage(const QString &fileName) override { Plain.SaveAsImage(fileName); }
    void LayoutDiagram() override { Plain.LayoutDiagram(); }
    void LoadModelFromFile(TDiagramObjectModel &model, const QString &fileName, bool merge) override
    {
        QFile file(fileName);
        if (!file.open(QIODevice::ReadOnly))
            throw std::runtime_error(("Cannot open file " + fileName).toStdString());
        const QString text = QString::fromLatin1(file.readAll());
        const auto match = QRegularExpression(QStringLiteral("name=\"([^\"]*)\"")).match(text);
        if (!match.hasMatch())
            throw std::runtime_error(("Not a diagram file: " + fileName).toStdString());
        if (!merge)
            model.Name = match.captured(1);
        Loaded << fileName;
    }
    void RefreshExplorerTree() override {}

    TPlainMainDiagram Plain;
    QStringList Loaded;
    int Rebuilds = 0;
};

using ::testing::HasSubstr;

inline QByteArray ReadFile(const QString &path)
{
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

inline void WriteFile(const QString &path, const QByteArray &bytes)
{
    QFile file(path);
    ASSERT_TRUE(file.open(QIODevice::WriteOnly)) << path.toStdString();
    file.write(bytes);
}

class ShellFixture : public ::testing::Test {
protected:
    void SetUp() override
    {
        ASSERT_TRUE(Temp.isValid());
        TConfigSettings::SetSettingsFileOverride(Temp.filePath(QStringLiteral("settings.ini")));
        TConfigSettings::SetProgramFolderOverride(Temp.path());
        InitializeModelGlobals();
        Preferences->SetDefaults();
        TLoginManager::SetLogonPrompt([this](TLogonValues &, int) {
            ++Prompts;
            return false;
        });
        TLoginManager::SetSessionFactory(nullptr);
    }

    void TearDown() override
    {
        Form.reset();
        // What the window posted for later (a message held back until a paint
        // was over) is delivered now, to this test's own user interface, not
        // inside the next test's first event loop.
        QCoreApplication::sendPostedEvents();
        // Closing the window ends the application's loop; with none running,
        // that end stays pending and every later dialog's loop would return at
        // once. Only a run of the application loop clears it.
        QTimer::singleShot(0, qApp, [] { QCoreApplication::exit(0); });
        QCoreApplication::exec();
        FinalizeModelGlobals();
        TLoginManager::SetLogonPrompt(nullptr);
        TLoginManager::SetSessionFactory(nullptr);
        TConfigSettings::SetSettingsFileOverride({});
        TConfigSettings::SetProgramFolderOverride({});
    }

    // The window with the real canvas controller and diagram file reader.
    Tfrmgui &StartWithCanvas(const QStringList &parameters)
    {
        Diagram = nullptr;
        Form = std::make_unique<Tfrmgui>(parameters);
        Form->show();
        return *Form;
    }

    Tfrmgui &Start(const QStringList &parameters, bool show = true)
    {
        auto diagram = std::make_unique<TTestDiagram>();
        Diagram = diagram.get();
        Form = std::make_unique<Tfrmgui>(parameters, std::move(diagram));
        if (show)
            Form->show();
        return *Form;
    }

    static QString Data(const char *name) { return testDataPath(QStringLiteral("shell/") + QLatin1String(name)); }

    QString TempFile(const char *name) const { return Temp.filePath(QLatin1String(name)); }
    QString PreferencesFile() const { return TempFile("marrowtide_preferences.config"); }

    template <typename T> T *Find(const char *name) const { return Form->findChild<T *>(QLatin1String(name)); }

    QStringList TabTexts() const
    {
        QStringList texts;
        auto *tabs = Find<QTabBar>("tabModels");
        for (int i = 0; i < tabs->count(); ++i)
            texts << tabs->tabText(i);
        return texts;
    }

    QStringList ModelNames() const
    {
        QStringList names;
        for (auto &m : *OpenModels)
            names << m->Name;
        return names;
    }

    QTemporaryDir Temp;
    TScopedFakeUserInterface Ui;
    std::unique_ptr<Tfrmgui> Form;
    TTestDiagram *Diagram = nullptr;
    int Prompts = 0;
};

#include "shell/desktop_pref.h"

#include "canvas/os_diagram.h"
#include "dbtools/gui_helpers.h"
#include "model/model_globals.h"
#include "model/preferences.h"
#include "platform/config_settings.h"
#include "platform/user_interface.h"

#include <QCheckBox>
#include <QDir>
#include <QGridLayout>
#include <QHBoxLayout>
#include <QMouseEvent>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>

#include <stdexcept>

namespace {

QCheckBox *MakeCheck(QWidget *parent, const char *name, const QString &caption)
{
    auto *check = new QCheckBox(caption, parent);
    check->setObjectName(QLatin1String(name));
    return check;
}

} // namespace

TfrmDesktopPref::TfrmDesktopPref(QWidget *owner) : TfrmBasePreferencePage(owner)
{
    setObjectName(QStringLiteral("frmDesktopPref"));
    auto *grid = new QGridLayout(this);
    chkSaveSettings = MakeCheck(this, "chkSaveSettings", QStringLiteral("Save Settings On Exit"));
    chkdblbuffer = MakeCheck(this, "chkdblbuffer", QStringLiteral("Double Buffer Diagram "));
    auto *note = new QLabel(QStringLiteral("[Stops screen flicker, but only suitable for small diagrams]"), this);
    note->setObjectName(QStringLiteral("lblDoubleBufferNote"));
    note->setWordWrap(true);
    auto *label = new QLabel(QStringLiteral("Config Directory:"), this);
    label->setObjectName(QStringLiteral("lblConfigDir"));
    edtConfigDir = new QLineEdit(this);
    edtConfigDir->setObjectName(QStringLiteral("edtConfigDir"));
    label->setBuddy(edtConfigDir);
    btnBrowserConfigDir = new QPushButton(QStringLiteral("..."), this);
    btnBrowserConfigDir->setObjectName(QStringLiteral("btnBrowserConfigDir"));
    btnBrowserConfigDir->setFixedWidth(28);
    // The caption is longer than the page is wide: it wraps in a label that is the box's buddy.
    const QString optimizerCaption = QStringLiteral("Set Optimizer Goal to Choose (Only for Oracle 9i or less)");
    chkOptimizerGoal = MakeCheck(this, "chkOptimizerGoal", QString());
    chkOptimizerGoal->setAccessibleName(optimizerCaption);
    auto *optimizerLabel = new QLabel(optimizerCaption, this);
    optimizerLabel->setObjectName(QStringLiteral("lblOptimizerGoal"));
    optimizerLabel->setWordWrap(true);
    optimizerLabel->setBuddy(chkOptimizerGoal);
    optimizerLabel->installEventFilter(this);

    grid->addWidget(chkSaveSettings, 0, 0, 1, 3);
    grid->addWidget(chkdblbuffer, 1, 0, 1, 3);
    grid->addWidget(note, 2, 0, 1, 3);
    grid->addWidget(label, 3, 0, 1, 3);
    grid->addWidget(edtConfigDir, 4, 0, 1, 2);
    grid->addWidget(btnBrowserConfigDir, 4, 2);
    auto *optimizerRow = new QHBoxLayout;
    optimizerRow->addWidget(chkOptimizerGoal, 0, Qt::AlignTop);
    optimizerRow->addWidget(optimizerLabel, 1);
    grid->addLayout(optimizerRow, 5, 0, 1, 3);
    grid->setRowStretch(6, 1);

    for (QCheckBox *check : {chkSaveSettings, chkdblbuffer, chkOptimizerGoal})
        connect(check, &QCheckBox::toggled, this, [this] { Changed(); });
    connect(edtConfigDir, &QLineEdit::textChanged, this, [this] { Changed(); });
    connect(btnBrowserConfigDir, &QPushButton::clicked, this,
            [this] { ShowExceptions([this] { btnBrowserConfigDirClick(); }); });
}

void TfrmDesktopPref::DoLoadPreferences()
{
    const TPreferences &preferences = *EditedPreferences();
    chkSaveSettings->setChecked(preferences.SaveOnExit);
    chkdblbuffer->setChecked(preferences.DoubleBufferPanel);
    chkOptimizerGoal->setChecked(preferences.OptimizerChoose);
    edtConfigDir->setText(TGUIHelpers::GetConfigDir());
}

void TfrmDesktopPref::DoSavePreferences()
{
    TPreferences &preferences = *EditedPreferences();
    // A folder the file cannot be written into would lose the preferences at
    // the next save: it is refused before anything changes, the old one stays.
    const QString folder = edtConfigDir->text();
    const QString current = TGUIHelpers::GetConfigDir();
    if (!folder.isEmpty() && QDir(folder).exists() && QDir(folder) != QDir(current)) {
        const QString reason = TConfigSettings::FolderWriteError(folder);
        if (!reason.isEmpty())
            throw std::runtime_error(QStringLiteral("The preferences cannot be written into the folder \"%1\": %2\n"
                                                    "The configuration folder stays \"%3\".")
                                         .arg(QDir::toNativeSeparators(folder), reason,
                                              QDir::toNativeSeparators(current))
                                         .toStdString());
    }
    preferences.SaveOnExit = chkSaveSettings->isChecked();
    preferences.DoubleBufferPanel = chkdblbuffer->isChecked();
    preferences.OptimizerChoose = chkOptimizerGoal->isChecked();
    TGUIHelpers::SetConfigDir(folder);
    // The file written right after goes to the folder now stored; the old file stays where it is.
    preferences.FileName = TGUIHelpers::GetPreferencesFileName();
    {
        // Shows what was really stored; not an edit of the user's.
        const QSignalBlocker blocker(edtConfigDir);
        edtConfigDir->setText(TGUIHelpers::GetConfigDir());
    }
    // Qt buffers every widget's painting already; the surface is repainted so
    // the page shows the stored settings.
    if (CurrentDiagram && CurrentDiagram->Surface)
        CurrentDiagram->Surface->update();
}

void TfrmDesktopPref::btnBrowserConfigDirClick()
{
    const QString folder = UserInterface().ChooseFolder(QStringLiteral("Config Directory:"), edtConfigDir->text());
    if (!folder.isEmpty())
        edtConfigDir->setText(folder);
}

bool TfrmDesktopPref::eventFilter(QObject *watched, QEvent *event)
{
    // A click on the wrapped caption works as one on the box.
    if (event->type() == QEvent::MouseButtonRelease && watched->objectName() == QLatin1String("lblOptimizerGoal")) {
        chkOptimizerGoal->click();
        return true;
    }
    return TfrmBasePreferencePage::eventFilter(watched, event);
}

#include "dbtools/session_tool_form.h"

#include "dbtools/oracle_session.h"
#include "dbtools/window_registry.h"
#include "model/model_globals.h"
#include "model/result_set.h"
#include "platform/atomic_file.h"
#include "platform/config_settings.h"
#include "platform/user_interface.h"

#include <QApplication>
#include <QCloseEvent>
#include <QComboBox>
#include <QLabel>
#include <QListWidget>
#include <QMainWindow>
#include <QPlainTextEdit>

namespace {

// The program's main window, when one is up: the tool windows stay above it
// but below every box and dialog, which stay-on-top would hide.
QWidget *MainWindow()
{
    for (QWidget *widget : QApplication::topLevelWidgets()) {
        if (qobject_cast<QMainWindow *>(widget) && widget->isVisible())
            return widget;
    }
    return nullptr;
}

} // namespace

TfrmSessionTool::TfrmSessionTool(const QString &objectName)
    : QWidget(MainWindow(), Qt::Tool | Qt::WindowSystemMenuHint | Qt::WindowMinMaxButtonsHint
                                | Qt::WindowCloseButtonHint)
{
    setObjectName(objectName);
    setAttribute(Qt::WA_DeleteOnClose);
    cboOwner = new QComboBox(this);
    cboOwner->setObjectName(QStringLiteral("cboOwner"));
    lblStatus = new QLabel(this);
    lblStatus->setObjectName(QStringLiteral("lblStatus"));
    lblStatus->setWordWrap(true);
    memOutput = new QPlainTextEdit(this);
    memOutput->setObjectName(QStringLiteral("memOutput"));
    memOutput->setReadOnly(true);
    memOutput->setLineWrapMode(QPlainTextEdit::NoWrap);
    memOutput->setFont(QFont(QStringLiteral("Liberation Mono"), 9));
}

TOracleSession &TfrmSessionTool::RequireSession()
{
    auto *session = dynamic_cast<TOracleSession *>(DatabaseSession.get());
    if (!session || !session->GetConnected())
        throw ENotConnected();
    return *session;
}

QString TfrmSessionTool::OutputFileName(const QString &name)
{
    return TConfigSettings::WritableProgramFolder() + QLatin1Char('/') + name;
}

void TfrmSessionTool::ShowRegistered(const QString &caption)
{
    const int number = TWindowRegistry::Current ? TWindowRegistry::Current->NextWindowNumber() : 1;
    setWindowTitle(caption + QStringLiteral(" ~ ") + QString::number(number));
    if (TWindowRegistry::Current) {
        TWindowRegistry::Current->RegisterOpenWindow(this);
        Registered_ = true;
    }
    if (QWidget *owner = parentWidget())
        move(owner->geometry().center() - rect().center());
    show();
}

void TfrmSessionTool::FillOwners()
{
    TOracleSession &session = RequireSession();
    std::unique_ptr<TOSResultSet> owners = session.GetOwners();
    cboOwner->clear();
    for (int i = 0; i < owners->RowCount(); ++i)
        cboOwner->addItem(owners->GetRow(i)->GetValueByName(QStringLiteral("OWNER")).toString());
    const int own = cboOwner->findText(session.GetUsername().toUpper());
    if (own >= 0)
        cboOwner->setCurrentIndex(own);
}

bool TfrmSessionTool::WriteOutput(const QString &fileName, const QString &text)
{
    const QString reason = TAtomicFile::Write(fileName, text.toUtf8());
    if (!reason.isEmpty()) {
        UserInterface().ShowError(QStringLiteral("Could not write \"%1\": %2").arg(fileName, reason));
        return false;
    }
    return true;
}

void TfrmSessionTool::closeEvent(QCloseEvent *event)
{
    if (Registered_ && TWindowRegistry::Current) {
        TWindowRegistry::Current->UnregisterOpenWindow(this);
        Registered_ = false;
    }
    QWidget::closeEvent(event);
}

void TfrmSessionTool::AddCheckItem(QListWidget *list, const QString &text, bool checked)
{
    auto *item = new QListWidgetItem(text, list);
    item->setFlags(Qt::ItemIsEnabled | Qt::ItemIsSelectable | Qt::ItemIsUserCheckable);
    item->setCheckState(checked ? Qt::Checked : Qt::Unchecked);
}

void TfrmSessionTool::MakeChoiceList(QListWidget *list)
{
    list->setMaximumHeight(170);
    connect(list, &QListWidget::itemActivated, list, [](QListWidgetItem *item) {
        item->setCheckState(item->checkState() == Qt::Checked ? Qt::Unchecked : Qt::Checked);
    });
}

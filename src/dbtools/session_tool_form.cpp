#include "dbtools/session_tool_form.h"

#include "dbtools/oracle_session.h"
#include "dbtools/window_registry.h"
#include "model/model_globals.h"
#include "model/result_set.h"
#include "platform/atomic_file.h"
#include "platform/config_settings.h"
#include "platform/user_interface.h"

#include <QCloseEvent>
#include <QComboBox>
#include <QLabel>
#include <QPlainTextEdit>

TfrmSessionTool::TfrmSessionTool(const QString &objectName) : QWidget(nullptr, Qt::Window)
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

#include "dbtools/sql_query_form.h"

#include "dbtools/console_helper.h"
#include "dbtools/gui_helpers.h"
#include "dbtools/oracle_session.h"
#include "dbtools/sql_highlighter.h"
#include "dbtools/sql_query_worker.h"
#include "dbtools/sql_script.h"
#include "dbtools/window_registry.h"
#include "model/model_globals.h"
#include "platform/atomic_file.h"
#include "platform/user_interface.h"

#include <QAction>
#include <QCloseEvent>
#include <QDir>
#include <QFile>
#include <QFontDatabase>
#include <QHeaderView>
#include <QIODevice>
#include <QLabel>
#include <QPlainTextEdit>
#include <QSplitter>
#include <QStackedWidget>
#include <QTableWidget>
#include <QTextCursor>
#include <QToolBar>
#include <QVBoxLayout>

namespace {

QString CellText(const QVariant &value) { return value.isNull() ? QString() : value.toString(); }

QString RowCountText(qint64 rows, const char *verb)
{
    return QStringLiteral("%1 %2 %3.").arg(rows).arg(rows == 1 ? QLatin1String("row") : QLatin1String("rows"),
                                                      QLatin1String(verb));
}

} // namespace

// The main window is the registry's own window. The editor stays above it
// only, not above every window: a message box or dialog the program opens
// must come above the editor, which a stay-on-top window would cover.
QWidget *TfrmSQLQuery::DefaultOwner() { return dynamic_cast<QWidget *>(TWindowRegistry::Current); }

TfrmSQLQuery::TfrmSQLQuery(QWidget *owner)
    : QWidget(owner ? owner : DefaultOwner(), Qt::Tool | Qt::WindowSystemMenuHint | Qt::WindowMinMaxButtonsHint |
                                                   Qt::WindowCloseButtonHint)
{
    setObjectName(QStringLiteral("frmSQLQuery"));
    setAttribute(Qt::WA_DeleteOnClose);
    resize(720, 560);

    auto *toolBar = new QToolBar(this);
    toolBar->setObjectName(QStringLiteral("tbrSQL"));
    actRun = toolBar->addAction(QStringLiteral("&Run"));
    actRun->setObjectName(QStringLiteral("actRun"));
    actRun->setShortcut(QKeySequence(Qt::Key_F9));
    actRun->setToolTip(QStringLiteral("Run the statement (F9)"));
    connect(actRun, &QAction::triggered, this, [this] { ShowExceptions([this] { RunQuery(); }); });
    actCancel = toolBar->addAction(QStringLiteral("&Cancel"));
    actCancel->setObjectName(QStringLiteral("actCancel"));
    actCancel->setToolTip(QStringLiteral("Stop the running statement"));
    connect(actCancel, &QAction::triggered, this, &TfrmSQLQuery::CancelQuery);

    memSQL = new QPlainTextEdit(this);
    memSQL->setObjectName(QStringLiteral("memSQL"));
    memSQL->setFont(QFontDatabase::systemFont(QFontDatabase::FixedFont));
    memSQL->setLineWrapMode(QPlainTextEdit::NoWrap);
    m_highlighter = new TSQLHighlighter(memSQL->document());

    sgdResults = new QTableWidget(this);
    sgdResults->setObjectName(QStringLiteral("sgdResults"));
    sgdResults->setEditTriggers(QAbstractItemView::NoEditTriggers);
    sgdResults->verticalHeader()->setDefaultSectionSize(sgdResults->fontMetrics().height() + 4);
    memOutput = new QPlainTextEdit(this);
    memOutput->setObjectName(QStringLiteral("memOutput"));
    memOutput->setReadOnly(true);
    memOutput->setFont(QFontDatabase::systemFont(QFontDatabase::FixedFont));
    pnlResults = new QStackedWidget(this);
    pnlResults->setObjectName(QStringLiteral("pnlResults"));
    pnlResults->addWidget(sgdResults);
    pnlResults->addWidget(memOutput);

    auto *splitter = new QSplitter(Qt::Vertical, this);
    splitter->addWidget(memSQL);
    splitter->addWidget(pnlResults);
    splitter->setStretchFactor(0, 1);
    splitter->setStretchFactor(1, 2);
    lblStatus = new QLabel(this);
    lblStatus->setObjectName(QStringLiteral("lblStatus"));

    auto *layout = new QVBoxLayout(this);
    layout->setContentsMargins(2, 2, 2, 2);
    layout->addWidget(toolBar);
    layout->addWidget(splitter, 1);
    layout->addWidget(lblStatus);
    UpdateActions();
}

TfrmSQLQuery::~TfrmSQLQuery()
{
    // The worker finishes on its own and frees itself; it must not report to
    // a window that is gone.
    if (m_worker) {
        disconnect(m_worker, nullptr, this, nullptr);
        m_worker->Cancel();
    }
    if (m_registered && TWindowRegistry::Current)
        TWindowRegistry::Current->UnregisterOpenWindow(this);
}

TfrmSQLQuery *TfrmSQLQuery::Create(QWidget *owner)
{
    auto *form = new TfrmSQLQuery(owner);
    const int number = TWindowRegistry::Current ? TWindowRegistry::Current->NextWindowNumber() : 1;
    form->setWindowTitle(QStringLiteral("SQL Editor ~ ") + QString::number(number));
    if (TWindowRegistry::Current) {
        TWindowRegistry::Current->RegisterOpenWindow(form);
        form->m_registered = true;
    }
    form->show();
    return form;
}

void TfrmSQLQuery::closeEvent(QCloseEvent *event)
{
    CancelQuery();
    if (m_registered && TWindowRegistry::Current)
        TWindowRegistry::Current->UnregisterOpenWindow(this);
    m_registered = false;
    QWidget::closeEvent(event);
}

void TfrmSQLQuery::SetSQLText(const QString &text) { memSQL->setPlainText(text); }

QString TfrmSQLQuery::SQLText() const { return memSQL->toPlainText(); }

void TfrmSQLQuery::SetScriptMode(bool value)
{
    m_scriptMode = value;
    pnlResults->setCurrentWidget(value ? static_cast<QWidget *>(memOutput) : sgdResults);
    actRun->setText(value ? QStringLiteral("&Run Script") : QStringLiteral("&Run"));
}

void TfrmSQLQuery::LoadSQLFromStream(QIODevice &stream)
{
    stream.seek(0);
    SetSQLText(QString::fromUtf8(stream.readAll()));
}

QString TfrmSQLQuery::LastSQLFileName()
{
    return QDir(TGUIHelpers::GetConfigDir()).filePath(QStringLiteral("marrowtide_last.sql"));
}

void TfrmSQLQuery::LoadLastSQL()
{
    QFile file(LastSQLFileName());
    if (file.exists() && file.open(QIODevice::ReadOnly))
        SetSQLText(QString::fromUtf8(file.readAll()));
}

void TfrmSQLQuery::SaveLastSQL(const QString &sql)
{
    const QString reason = TAtomicFile::Write(LastSQLFileName(), sql.toUtf8());
    if (!reason.isEmpty())
        TConsoleHelper::WriteLine(QStringLiteral("The last statement could not be saved: ") + reason);
}

// A run lasts until its last report has reached the window, not until its
// thread ends: rows still queued must not land in the grid of the next run.
bool TfrmSQLQuery::IsRunning() const { return !m_worker.isNull(); }

void TfrmSQLQuery::RunQuery(const QString &sql)
{
    if (IsRunning())
        throw ESqlError(QStringLiteral("A statement is still running in this window."));
    QString text = sql;
    if (text.isEmpty()) {
        const QString selected = memSQL->textCursor().selectedText().replace(QChar::ParagraphSeparator,
                                                                           QLatin1Char('\n'));
        text = selected.trimmed().isEmpty() ? memSQL->toPlainText() : selected;
    }
    QStringList statements;
    if (m_scriptMode) {
        statements = TSqlScript::Split(text);
    } else {
        const QString statement = TSqlScript::Clean(text);
        if (!TSqlScript::StripComments(statement).isEmpty())
            statements << statement;
    }
    if (statements.isEmpty()) {
        ShowStatus(QStringLiteral("Nothing to run."));
        return;
    }
    if (!m_scriptMode)
        SaveLastSQL(text);
    Start(statements);
}

void TfrmSQLQuery::Start(const QStringList &statements)
{
    auto *session = dynamic_cast<TOracleSession *>(DatabaseSession.get());
    if (!session || !session->GetConnected())
        throw ENotConnected();
    sgdResults->clear();
    sgdResults->setRowCount(0);
    sgdResults->setColumnCount(0);
    memOutput->clear();
    m_failures = 0;
    auto *worker = new TSqlQueryWorker(DatabaseSession, session->Connection(), statements);
    connect(worker, &TSqlQueryWorker::StatementStarted, this, &TfrmSQLQuery::OnStatementStarted);
    connect(worker, &TSqlQueryWorker::ColumnsArrived, this, &TfrmSQLQuery::OnColumns);
    connect(worker, &TSqlQueryWorker::RowsArrived, this, &TfrmSQLQuery::OnRows);
    connect(worker, &TSqlQueryWorker::StatementDone, this, &TfrmSQLQuery::OnStatementDone);
    connect(worker, &TSqlQueryWorker::StatementFailed, this, &TfrmSQLQuery::OnStatementFailed);
    connect(worker, &QThread::finished, this, &TfrmSQLQuery::OnFinished);
    connect(worker, &QThread::finished, worker, &QObject::deleteLater);
    m_worker = worker;
    ShowStatus(m_scriptMode ? QStringLiteral("Running the script...") : QStringLiteral("Running..."));
    worker->start();
    UpdateActions();
}

void TfrmSQLQuery::CancelQuery()
{
    if (m_worker)
        m_worker->Cancel();
}

void TfrmSQLQuery::ShowStatus(const QString &text) { lblStatus->setText(text); }

void TfrmSQLQuery::UpdateActions()
{
    actRun->setEnabled(!m_worker);
    actCancel->setEnabled(bool(m_worker));
}

void TfrmSQLQuery::OnStatementStarted(int index, const QString &statement)
{
    if (m_scriptMode)
        memOutput->appendPlainText(statement);
}

void TfrmSQLQuery::OnColumns(int index, const QStringList &names)
{
    if (m_scriptMode) {
        memOutput->appendPlainText(names.join(QLatin1Char('\t')));
        return;
    }
    sgdResults->setColumnCount(int(names.size()));
    sgdResults->setHorizontalHeaderLabels(names);
}

void TfrmSQLQuery::OnRows(int index, const QList<QVariantList> &rows)
{
    if (m_scriptMode) {
        for (const QVariantList &row : rows) {
            QStringList cells;
            for (const QVariant &value : row)
                cells << CellText(value);
            memOutput->appendPlainText(cells.join(QLatin1Char('\t')));
        }
        return;
    }
    const int first = sgdResults->rowCount();
    int next = first;
    sgdResults->setRowCount(next + int(rows.size()));
    for (const QVariantList &row : rows) {
        for (int c = 0; c < row.size() && c < sgdResults->columnCount(); ++c)
            sgdResults->setItem(next, c, new QTableWidgetItem(CellText(row[c])));
        ++next;
    }
    // The first rows set the widths; measuring every later batch would cost
    // more than it shows.
    if (first == 0)
        sgdResults->resizeColumnsToContents();
}

void TfrmSQLQuery::OnStatementDone(int index, qint64 rows, bool isQuery)
{
    const QString text = isQuery ? RowCountText(rows, "selected")
                                 : (rows > 0 ? RowCountText(rows, "processed") : QStringLiteral("Statement processed."));
    if (m_scriptMode)
        memOutput->appendPlainText(text + QLatin1Char('\n'));
    else
        ShowStatus(text);
}

void TfrmSQLQuery::OnStatementFailed(int index, const QString &message)
{
    ++m_failures;
    // The user asked for the stop: the cancel is no error to report.
    if (m_worker && m_worker->Cancelled())
        return;
    if (m_scriptMode) {
        memOutput->appendPlainText(QStringLiteral("Error: ") + message + QLatin1Char('\n'));
        return;
    }
    ShowStatus(QStringLiteral("Error: ") + message);
    UserInterface().ShowError(message);
}

void TfrmSQLQuery::OnFinished()
{
    const bool cancelled = m_worker && m_worker->Cancelled();
    m_worker = nullptr;
    if (m_scriptMode)
        ShowStatus(cancelled ? QStringLiteral("Script cancelled.")
                             : QStringLiteral("Script finished with %1 %2.")
                                   .arg(m_failures)
                                   .arg(m_failures == 1 ? QLatin1String("error") : QLatin1String("errors")));
    else if (cancelled)
        ShowStatus(QStringLiteral("Cancelled."));
    UpdateActions();
    emit QueryFinished();
}

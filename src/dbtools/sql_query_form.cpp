#include "dbtools/sql_query_form.h"

#include "dbtools/console_helper.h"
#include "dbtools/gui_helpers.h"
#include "dbtools/oracle_session.h"
#include "dbtools/result_grid.h"
#include "dbtools/result_grid_model.h"
#include "dbtools/sql_highlighter.h"
#include "dbtools/sql_query_worker.h"
#include "dbtools/sql_script.h"
#include "dbtools/window_registry.h"
#include "model/model_globals.h"
#include "platform/atomic_file.h"
#include "platform/user_interface.h"

#include <QAction>
#include <QApplication>
#include <QCloseEvent>
#include <QDir>
#include <QFile>
#include <QFontDatabase>
#include <QHeaderView>
#include <QIODevice>
#include <QLabel>
#include <QMenuBar>
#include <QPlainTextEdit>
#include <QScreen>
#include <QScrollBar>
#include <QSplitter>
#include <QStackedWidget>
#include <QTableView>
#include <QTextCursor>
#include <QTimer>
#include <QToolBar>
#include <QVBoxLayout>

#if defined(__GLIBC__)
#include <malloc.h>
#endif

namespace {

QString CellText(const QVariant &value) { return value.isNull() ? QString() : value.toString(); }

QString RowCountText(qint64 rows, const char *verb)
{
    return QStringLiteral("%1 %2 %3.").arg(rows).arg(rows == 1 ? QLatin1String("row") : QLatin1String("rows"),
                                                      QLatin1String(verb));
}

// The rows were many small blocks, most from the worker's own heap, and the
// allocator keeps freed memory of that kind unless asked to give it back. Asked
// from the event loop, once the window or the worker is wholly gone.
void TrimHeapSoon()
{
#if defined(__GLIBC__)
    QTimer::singleShot(0, qApp, [] { malloc_trim(0); });
#endif
}

// How far each further editor window sits from the one before.
constexpr int CascadeStep = 28;
constexpr int CascadeSlots = 10;
// Room for the frame, which is not known before the window manager has drawn it.
constexpr int FrameWidth = 8;
constexpr int FrameHeight = 32;
// A cancel that found no statement running yet (it was about to start) is
// sent again at this pace until the run has ended.
constexpr int CancelRepeatMs = 200;

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
    actFetchMore = toolBar->addAction(QStringLiteral("Fetch &More"));
    actFetchMore->setObjectName(QStringLiteral("actFetchMore"));
    actFetchMore->setToolTip(QStringLiteral("Fetch the next rows of the query"));
    connect(actFetchMore, &QAction::triggered, this, &TfrmSQLQuery::FetchMore);

    memSQL = new QPlainTextEdit(this);
    memSQL->setObjectName(QStringLiteral("memSQL"));
    memSQL->setFont(QFontDatabase::systemFont(QFontDatabase::FixedFont));
    memSQL->setLineWrapMode(QPlainTextEdit::NoWrap);
    m_highlighter = new TSQLHighlighter(memSQL->document());

    m_rows = new TResultGridModel(this);
    sgdResults = new TResultGrid(this);
    sgdResults->setObjectName(QStringLiteral("sgdResults"));
    sgdResults->setModel(m_rows);
    sgdResults->setEditTriggers(QAbstractItemView::NoEditTriggers);
    sgdResults->verticalHeader()->setDefaultSectionSize(sgdResults->fontMetrics().height() + 4);
    sgdResults->verticalHeader()->setSectionResizeMode(QHeaderView::Fixed);
    // Reaching the end of the grid asks for the next page.
    connect(sgdResults->verticalScrollBar(), &QScrollBar::valueChanged, this, [this](int value) {
        if (value > 0 && value == sgdResults->verticalScrollBar()->maximum())
            FetchMore();
    });
    // Rows let go above keep the rows in sight where they are, and the end of
    // the grid reachable by scrolling once more.
    connect(m_rows, &QAbstractItemModel::rowsRemoved, this, [this](const QModelIndex &, int first, int last) {
        if (first == 0)
            sgdResults->verticalScrollBar()->setValue(sgdResults->verticalScrollBar()->value() - (last + 1));
    });
    m_cancelRepeat = new QTimer(this);
    m_cancelRepeat->setInterval(CancelRepeatMs);
    connect(m_cancelRepeat, &QTimer::timeout, this, [this] {
        if (m_worker)
            m_worker->Cancel();
        else
            m_cancelRepeat->stop();
    });
    memOutput = new QPlainTextEdit(this);
    memOutput->setObjectName(QStringLiteral("memOutput"));
    memOutput->setReadOnly(true);
    memOutput->setFont(QFontDatabase::systemFont(QFontDatabase::FixedFont));
    pnlResults = new QStackedWidget(this);
    pnlResults->setObjectName(QStringLiteral("pnlResults"));
    pnlResults->addWidget(sgdResults);
    pnlResults->addWidget(memOutput);

    m_splitter = new QSplitter(Qt::Vertical, this);
    m_splitter->setObjectName(QStringLiteral("splSQL"));
    m_splitter->addWidget(memSQL);
    m_splitter->addWidget(pnlResults);
    m_splitter->setStretchFactor(0, 1);
    m_splitter->setStretchFactor(1, 2);
    lblStatus = new QLabel(this);
    lblStatus->setObjectName(QStringLiteral("lblStatus"));

    auto *layout = new QVBoxLayout(this);
    layout->setContentsMargins(2, 2, 2, 2);
    layout->addWidget(toolBar);
    layout->addWidget(m_splitter, 1);
    layout->addWidget(lblStatus);
    // Typing goes to the editor as soon as the window is active.
    memSQL->setFocus();
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
    TrimHeapSoon();
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
    form->PlaceOverOwner();
    form->show();
    form->activateWindow();
    form->memSQL->setFocus(Qt::ActiveWindowFocusReason);
    return form;
}

// Over the owner, below its menu bar, and each further editor a step down
// and to the right of the last, within the owner's screen. Without an owner
// (or before it is shown) the screen's work area stands in for it.
void TfrmSQLQuery::PlaceOverOwner()
{
    QWidget *owner = parentWidget() ? parentWidget()->window() : nullptr;
    QScreen *screen = owner && owner->screen() ? owner->screen() : QGuiApplication::primaryScreen();
    const QRect available = screen ? screen->availableGeometry() : QRect(0, 0, 800, 600);
    QRect area = owner && owner->isVisible() ? owner->geometry() : available;
    if (owner && owner->isVisible()) {
        if (auto *bar = owner->findChild<QMenuBar *>(QString(), Qt::FindDirectChildrenOnly); bar && bar->isVisible())
            area.setTop(bar->mapToGlobal(QPoint(0, bar->height())).y());
    }
    const QSize size(qMin(720, available.width() - FrameWidth), qMin(560, available.height() - FrameHeight));
    const QPoint origin = area.topLeft() + QPoint(CascadeStep, CascadeStep);
    // The first free step, so that a closed window's place is taken again.
    int slot = 0;
    for (; slot < CascadeSlots; ++slot) {
        const QPoint at = origin + QPoint(slot * CascadeStep, slot * CascadeStep);
        bool taken = false;
        for (QWidget *window : QApplication::topLevelWidgets())
            taken = taken || (window != this && window->isVisible() && qobject_cast<TfrmSQLQuery *>(window) &&
                              window->pos() == at);
        if (!taken)
            break;
    }
    QPoint at = origin + QPoint(slot % CascadeSlots * CascadeStep, slot % CascadeSlots * CascadeStep);
    at.setX(qBound(available.left(), at.x(), available.right() + 1 - size.width() - FrameWidth));
    at.setY(qBound(available.top(), at.y(), available.bottom() + 1 - size.height() - FrameHeight));
    resize(size);
    move(at);
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
    // A script is read more than its output: the text gets the room there,
    // a query's rows get it otherwise.
    const int editorShare = value ? 3 : 1;
    const int resultShare = value ? 1 : 2;
    m_splitter->setStretchFactor(0, editorShare);
    m_splitter->setStretchFactor(1, resultShare);
    int total = 0;
    for (int size : m_splitter->sizes())
        total += size;
    if (total > 0)
        m_splitter->setSizes({total * editorShare / (editorShare + resultShare),
                              total * resultShare / (editorShare + resultShare)});
    UpdateActions();
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
    if (!file.exists() || !file.open(QIODevice::ReadOnly))
        return;
    SetSQLText(QString::fromUtf8(file.readAll()));
    // Selected, what the user types replaces it; Run still runs all of it.
    memSQL->selectAll();
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
    m_rows->Reset();
    memOutput->clear();
    m_failures = 0;
    m_moreRows = false;
    auto *worker = new TSqlQueryWorker(DatabaseSession, session->Connection(), statements, PageRows, !m_scriptMode);
    connect(worker, &TSqlQueryWorker::StatementStarted, this, &TfrmSQLQuery::OnStatementStarted);
    connect(worker, &TSqlQueryWorker::ColumnsArrived, this, &TfrmSQLQuery::OnColumns);
    connect(worker, &TSqlQueryWorker::RowsArrived, this, &TfrmSQLQuery::OnRows);
    connect(worker, &TSqlQueryWorker::RowsWaiting, this, &TfrmSQLQuery::OnRowsWaiting);
    connect(worker, &TSqlQueryWorker::StatementDone, this, &TfrmSQLQuery::OnStatementDone);
    connect(worker, &TSqlQueryWorker::StatementFailed, this, &TfrmSQLQuery::OnStatementFailed);
    connect(worker, &QThread::finished, this, &TfrmSQLQuery::OnFinished);
    connect(worker, &QThread::finished, worker, &QObject::deleteLater);
    connect(worker, &QThread::finished, qApp, &TrimHeapSoon);
    m_worker = worker;
    ShowStatus(m_scriptMode ? QStringLiteral("Running the script...") : QStringLiteral("Running..."));
    worker->start();
    UpdateActions();
}

void TfrmSQLQuery::CancelQuery()
{
    if (!m_worker)
        return;
    m_worker->Cancel();
    m_cancelRepeat->start();
}

void TfrmSQLQuery::FetchMore()
{
    if (!m_worker || !m_moreRows)
        return;
    m_moreRows = false;
    m_worker->FetchMore(PageRows);
    ShowStatus(ShownRowsText() + QStringLiteral("; fetching more..."));
    UpdateActions();
}

QString TfrmSQLQuery::ShownRowsText() const
{
    const qint64 first = m_rows->FirstKeptRow();
    const qint64 kept = m_rows->KeptRows();
    if (first == 0)
        return QStringLiteral("%1 %2 shown").arg(kept).arg(kept == 1 ? QLatin1String("row") : QLatin1String("rows"));
    return QStringLiteral("Rows %1 to %2 shown").arg(first + 1).arg(first + kept);
}

void TfrmSQLQuery::ShowStatus(const QString &text) { lblStatus->setText(text); }

void TfrmSQLQuery::UpdateActions()
{
    actRun->setEnabled(!m_worker);
    actCancel->setEnabled(bool(m_worker));
    actFetchMore->setVisible(!m_scriptMode);
    actFetchMore->setEnabled(m_worker && m_moreRows);
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
    m_rows->Reset(names);
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
    const bool first = m_rows->TotalRows() == 0;
    m_rows->Append(rows);
    // The first rows set the widths; measuring every later batch would cost
    // more than it shows.
    if (first)
        sgdResults->resizeColumnsToContents();
}

void TfrmSQLQuery::OnRowsWaiting(int index)
{
    m_moreRows = true;
    ShowStatus(ShownRowsText() + QStringLiteral("; more rows remain."));
    UpdateActions();
}

void TfrmSQLQuery::OnStatementDone(int index, qint64 rows, bool isQuery, bool complete)
{
    m_moreRows = false;
    QString text = isQuery ? RowCountText(rows, "selected")
                           : (rows > 0 ? RowCountText(rows, "processed") : QStringLiteral("Statement processed."));
    if (m_scriptMode) {
        if (!complete)
            text = RowCountText(rows, "shown").chopped(1) + QStringLiteral("; the rest was not fetched.");
        memOutput->appendPlainText(text + QLatin1Char('\n'));
        return;
    }
    if (!complete)
        text = ShownRowsText() + QStringLiteral("; the rest was not fetched: another statement needed the session.");
    else if (m_rows->FirstKeptRow() > 0)
        text = text.chopped(1) + QStringLiteral("; ") + ShownRowsText().toLower() + QLatin1Char('.');
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
    m_moreRows = false;
    m_cancelRepeat->stop();
    if (m_scriptMode)
        ShowStatus(cancelled ? QStringLiteral("Script cancelled.")
                             : QStringLiteral("Script finished with %1 %2.")
                                   .arg(m_failures)
                                   .arg(m_failures == 1 ? QLatin1String("error") : QLatin1String("errors")));
    else if (cancelled)
        ShowStatus(m_rows->KeptRows() == 0 ? QStringLiteral("Cancelled.")
                                           : QStringLiteral("Cancelled; ") + ShownRowsText().toLower() + QLatin1Char('.'));
    UpdateActions();
    emit QueryFinished();
}

#pragma once
// TfrmSQLQuery: the SQL editor window. It edits SQL with highlighting, runs a
// query on a worker thread into its result grid, or runs its whole text as a
// script into an output memo; it is also where generated DDL is shown. A query
// fetches a page of rows at a time, as the grid is scrolled to its end.
#include <QPointer>
#include <QWidget>

class QAction;
class QIODevice;
class QLabel;
class QPlainTextEdit;
class QSplitter;
class QStackedWidget;
class QTableView;
class QTimer;
class TResultGridModel;
class TSQLHighlighter;
class TSqlQueryWorker;

class TfrmSQLQuery : public QWidget {
    Q_OBJECT
public:
    explicit TfrmSQLQuery(QWidget *owner = nullptr);
    ~TfrmSQLQuery() override;

    // A new window, shown at once, modeless and on top of the main window,
    // listed in the Window menu as "SQL Editor ~ N"; it frees itself when closed.
    static TfrmSQLQuery *Create(QWidget *owner = nullptr);
    // The window the editors stay above when no owner is given: the main window.
    static QWidget *DefaultOwner();

    void SetSQLText(const QString &text);
    QString SQLText() const;
    // True runs the text as a script, each statement's result or error in the
    // output memo in place of the result grid.
    void SetScriptMode(bool value);
    bool ScriptMode() const { return m_scriptMode; }
    // Rewinds the stream and takes its text (UTF-8) as the editor's text.
    void LoadSQLFromStream(QIODevice &stream);
    // Loads "marrowtide_last.sql" of the configuration directory when it exists,
    // selected: what the user types replaces it.
    void LoadLastSQL();
    // Runs the text (empty: the selection, or the whole text when nothing is
    // selected) on the current session on a worker thread. In script mode
    // every statement of the text runs, one after another.
    void RunQuery(const QString &sql = QString());
    // Stops the running statement; the window stays as it is.
    void CancelQuery();
    bool IsRunning() const;
    // True while the query waits with more rows than the grid holds.
    bool MoreRowsWaiting() const { return m_moreRows; }
    // Asks the waiting query for the next page of rows.
    void FetchMore();
    TResultGridModel &ResultRows() const { return *m_rows; }

    // Rows a query fetches at first and with each further page; a script
    // shows this many rows of each query.
    static constexpr int PageRows = 500;

    static QString LastSQLFileName();

signals:
    // After the last statement of a run ended, whichever way.
    void QueryFinished();

protected:
    void closeEvent(QCloseEvent *event) override;

private:
    void Start(const QStringList &statements);
    void SaveLastSQL(const QString &sql);
    void ShowStatus(const QString &text);
    void OnStatementStarted(int index, const QString &statement);
    void OnColumns(int index, const QStringList &names);
    void OnRows(int index, const QList<QVariantList> &rows);
    void OnRowsWaiting(int index);
    void OnStatementDone(int index, qint64 rows, bool isQuery, bool complete);
    void OnStatementFailed(int index, const QString &message);
    void OnFinished();
    void UpdateActions();
    void PlaceOverOwner();
    QString ShownRowsText() const;

    QPlainTextEdit *memSQL;
    TSQLHighlighter *m_highlighter;
    QSplitter *m_splitter;
    QStackedWidget *pnlResults;
    QTableView *sgdResults;
    TResultGridModel *m_rows;
    QTimer *m_cancelRepeat;
    QPlainTextEdit *memOutput;
    QLabel *lblStatus;
    QAction *actRun;
    QAction *actCancel;
    QAction *actFetchMore;
    bool m_scriptMode = false;
    bool m_moreRows = false;
    bool m_registered = false;
    int m_failures = 0;
    QPointer<TSqlQueryWorker> m_worker;
};

#pragma once
// TfrmExtractor: the schema extractor: the DDL of an owner's objects of the
// chosen kinds, fetched one object at a time on a worker thread with progress
// and Cancel, shown and written to "ddl_extract.txt" in an order a server runs:
// types after the types they use, then tables, the other kinds, and last the
// foreign keys, when every table they name exists.
#include "dbtools/session_tool_form.h"
#include "model/database_session.h"

#include <QPointer>
#include <QStringList>

class QListWidget;
class QProgressBar;
class QPushButton;

class TfrmExtractor : public TfrmSessionTool {
    Q_OBJECT

public:
    TfrmExtractor();
    ~TfrmExtractor() override;

    // A new extractor window, shown and listed in the Window menu; it frees
    // itself when closed. Raises when no session is connected.
    static TfrmExtractor *Create();

    // Starts extracting the checked kinds of the chosen owner; the window
    // goes on by itself, one object on the worker thread at a time.
    void Extract();
    void Cancel();
    bool IsRunning() const { return Running_; }

signals:
    // After the last object, or after Cancel.
    void ExtractionFinished();

private:
    struct TPendingObject {
        int NodeCode;
        QString Name;
        // A nested table's storage table: the DDL of its owning table makes it.
        bool StorageTable = false;
        // Types declared just before it, for its REFs to types made later.
        QStringList Declare;
    };
    void ExtractNext();
    void ObjectFetched(const QString &name, const QString &ddl, const QString &foreignKeys, const QString &error);
    void Finish(bool cancelled);
    void WaitForWorker();
    void closeEvent(QCloseEvent *event) override;

    QListWidget *lvwKinds = nullptr;
    QPushButton *btnExtract = nullptr;
    QPushButton *btnCancel = nullptr;
    QProgressBar *pbrProgress = nullptr;
    std::vector<TPendingObject> Pending_;
    size_t Next_ = 0;
    int Failures_ = 0;
    bool Running_ = false;
    bool CancelAsked_ = false;
    QString Text_;
    QString ForeignKeys_;
    // The server's table DDL leaves foreign keys out while this run lasts.
    bool KeysApart_ = false;
    // Held for the whole run, so a new logon does not take the connection
    // away from under the worker.
    IDatabaseSessionPtr Session_;
    QPointer<QThread> Worker_;
};

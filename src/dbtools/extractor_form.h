#pragma once
// TfrmExtractor: the schema extractor: the DDL of an owner's objects of the
// chosen kinds, fetched one object at a time with progress and Cancel, shown
// and written to "ddl_extract.txt".
#include "dbtools/session_tool_form.h"

#include <QStringList>

class QListWidget;
class QProgressBar;
class QPushButton;

class TfrmExtractor : public TfrmSessionTool {
    Q_OBJECT

public:
    TfrmExtractor();

    // A new extractor window, shown and listed in the Window menu; it frees
    // itself when closed. Raises when no session is connected.
    static TfrmExtractor *Create();

    // Starts extracting the checked kinds of the chosen owner; the window
    // goes on by itself, one object per turn of the event loop.
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
    };
    void ExtractNext();
    void Finish(bool cancelled);

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
};

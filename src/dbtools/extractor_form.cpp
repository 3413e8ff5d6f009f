#include "dbtools/extractor_form.h"

#include "dbtools/db_object_tree.h"
#include "dbtools/extract_script.h"
#include "dbtools/oracle_session.h"
#include "model/ddl_text.h"
#include "model/model_globals.h"
#include "platform/user_interface.h"

#include <QComboBox>
#include <QFormLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QListWidget>
#include <QPlainTextEdit>
#include <QProgressBar>
#include <QPushButton>
#include <QThread>
#include <QTimer>
#include <QVBoxLayout>

#include <memory>

namespace {

struct TKind {
    const char *Caption;
    int NodeCode;
    const char *ObjectType; // for the dictionary's object list; null: a list of its own
    bool CheckedAtFirst;
};

const TKind Kinds[] = {
    {"Tables", TDBObjectTree::ncTable, nullptr, true},
    {"Object Tables", TDBObjectTree::ncObjectTable, nullptr, true},
    {"Types", TDBObjectTree::ncType, nullptr, false},
    {"Views", TDBObjectTree::ncView, "VIEW", false},
    {"Sequences", TDBObjectTree::ncSequence, "SEQUENCE", false},
    {"Synonyms", TDBObjectTree::ncSynonym, "SYNONYM", false},
    {"Procedures", TDBObjectTree::ncProcedure, "PROCEDURE", false},
    {"Functions", TDBObjectTree::ncFunction, "FUNCTION", false},
    {"Packages", TDBObjectTree::ncPackage, "PACKAGE", false},
};

QStringList ObjectsOf(TOracleSession &session, const TKind &kind, const QString &owner)
{
    if (kind.ObjectType)
        return session.ListObjects(QString::fromLatin1(kind.ObjectType), owner);
    if (kind.NodeCode == TDBObjectTree::ncTable)
        return session.ListTables(owner);
    if (kind.NodeCode == TDBObjectTree::ncObjectTable)
        return session.ListObjectTables(owner);
    return session.ListTypes(owner);
}

} // namespace

TfrmExtractor::TfrmExtractor() : TfrmSessionTool(QStringLiteral("frmExtractor"))
{
    resize(640, 560);
    auto *layout = new QVBoxLayout(this);
    auto *form = new QFormLayout;
    form->addRow(QStringLiteral("&Owner:"), cboOwner);
    lvwKinds = new QListWidget;
    lvwKinds->setObjectName(QStringLiteral("lvwKinds"));
    for (const TKind &kind : Kinds) {
        AddCheckItem(lvwKinds, QString::fromLatin1(kind.Caption), kind.CheckedAtFirst);
    }
    MakeChoiceList(lvwKinds);
    form->addRow(QStringLiteral("&Objects:"), lvwKinds);
    layout->addLayout(form);
    auto *buttons = new QHBoxLayout;
    btnExtract = new QPushButton(QStringLiteral("&Extract"));
    btnExtract->setObjectName(QStringLiteral("btnExtract"));
    btnCancel = new QPushButton(QStringLiteral("&Cancel"));
    btnCancel->setObjectName(QStringLiteral("btnCancel"));
    btnCancel->setEnabled(false);
    pbrProgress = new QProgressBar;
    pbrProgress->setObjectName(QStringLiteral("pbrProgress"));
    pbrProgress->setValue(0);
    buttons->addWidget(btnExtract);
    buttons->addWidget(btnCancel);
    buttons->addWidget(pbrProgress, 1);
    layout->addLayout(buttons);
    layout->addWidget(memOutput, 1);
    layout->addWidget(lblStatus);
    connect(btnExtract, &QPushButton::clicked, this, [this] { ShowExceptions([this] { Extract(); }); });
    connect(btnCancel, &QPushButton::clicked, this, &TfrmExtractor::Cancel);
}

TfrmExtractor::~TfrmExtractor() { WaitForWorker(); }

void TfrmExtractor::WaitForWorker()
{
    if (Worker_)
        Worker_->wait();
}

void TfrmExtractor::closeEvent(QCloseEvent *event)
{
    // The object being fetched is finished first; nothing is written.
    if (Running_) {
        CancelAsked_ = true;
        WaitForWorker();
        Finish(true);
    }
    TfrmSessionTool::closeEvent(event);
}

TfrmExtractor *TfrmExtractor::Create()
{
    RequireSession();
    auto *form = new TfrmExtractor;
    try {
        form->FillOwners();
    } catch (...) {
        delete form;
        throw;
    }
    form->ShowRegistered(QStringLiteral("Schema Extractor"));
    return form;
}

void TfrmExtractor::Extract()
{
    if (Running_)
        return;
    TOracleSession &session = RequireSession();
    Session_ = DatabaseSession;
    const QString owner = cboOwner->currentText();
    Pending_.clear();
    bool tables = false;
    {
        THourglass hourglass;
        std::vector<TPendingObject> types;
        for (int i = 0; i < lvwKinds->count(); ++i) {
            if (lvwKinds->item(i)->checkState() != Qt::Checked)
                continue;
            const int code = Kinds[i].NodeCode;
            tables = tables || code == TDBObjectTree::ncTable || code == TDBObjectTree::ncObjectTable;
            if (code == TDBObjectTree::ncType) {
                // Every other kind may be made of types: they go first.
                const QStringList names = ObjectsOf(session, Kinds[i], owner);
                for (const auto &type :
                     TExtractScript::OrderTypes(names, TExtractScript::ReadTypeUses(session, owner)))
                    types.push_back({code, type.Name, false, type.Declare});
                continue;
            }
            const QStringList storage =
                code == TDBObjectTree::ncTable ? session.ListNestedTables(owner) : QStringList();
            for (const QString &name : ObjectsOf(session, Kinds[i], owner))
                Pending_.push_back({code, name, storage.contains(name), {}});
        }
        Pending_.insert(Pending_.begin(), types.begin(), types.end());
        if (tables)
            TExtractScript::ForeignKeysApart(session, true);
    }
    KeysApart_ = tables;
    Next_ = 0;
    Failures_ = 0;
    CancelAsked_ = false;
    Text_.clear();
    ForeignKeys_.clear();
    memOutput->clear();
    pbrProgress->setRange(0, static_cast<int>(Pending_.size()));
    pbrProgress->setValue(0);
    Running_ = true;
    btnExtract->setEnabled(false);
    btnCancel->setEnabled(true);
    lblStatus->setText(QStringLiteral("Extracting %1 object(s) of %2...").arg(Pending_.size()).arg(owner));
    QTimer::singleShot(0, this, &TfrmExtractor::ExtractNext);
}

void TfrmExtractor::Cancel() { CancelAsked_ = true; }

void TfrmExtractor::ExtractNext()
{
    if (CancelAsked_) {
        Finish(true);
        return;
    }
    if (Next_ >= Pending_.size()) {
        Finish(false);
        return;
    }
    const TPendingObject object = Pending_[Next_++];
    if (object.StorageTable) {
        // Written as a table of its own it would be one the server refuses.
        ObjectFetched(object.Name,
                      QStringLiteral("/* The storage table of a nested-table column: left out, the DDL of the "
                                     "table that owns the column creates it. */\r\n"),
                      QString(), QString());
        return;
    }
    auto *session = dynamic_cast<TOracleSession *>(Session_.get());
    struct TResult {
        QString Ddl;
        QString ForeignKeys;
        QString Error;
    };
    auto result = std::make_shared<TResult>();
    QThread *worker = QThread::create([session, object, result] {
        try {
            if (!session)
                throw ENotConnected();
            if (object.NodeCode == TDBObjectTree::ncTable || object.NodeCode == TDBObjectTree::ncObjectTable) {
                TExtractScript::TTableDDL table = TExtractScript::TableDDL(*session, object.NodeCode, object.Name);
                result->Ddl = table.Ddl;
                result->ForeignKeys = table.ForeignKeys;
            } else {
                result->Ddl = TDBObjectTree::ObjectDDL(*session, object.NodeCode, object.Name);
            }
            QString declarations;
            for (const QString &type : object.Declare)
                declarations += TExtractScript::DeclarationDDL(type) + QLatin1Char('\n');
            if (!declarations.isEmpty())
                result->Ddl = QStringLiteral("/* Declared here, made further down: a REF names it first */\n") +
                              declarations + result->Ddl;
        } catch (const std::exception &e) {
            result->Error = QString::fromUtf8(e.what());
        }
    });
    Worker_ = worker;
    connect(worker, &QThread::finished, this,
            [this, name = object.Name, result] {
                ObjectFetched(name, result->Ddl, result->ForeignKeys, result->Error);
            });
    connect(worker, &QThread::finished, worker, &QObject::deleteLater);
    worker->start();
}

void TfrmExtractor::ObjectFetched(const QString &name, const QString &ddl, const QString &foreignKeys,
                                  const QString &error)
{
    if (!Running_)
        return; // the window was closed meanwhile
    QString text = ddl;
    if (!error.isEmpty()) {
        // One object without DDL does not stop the others; the file says which.
        ++Failures_;
        text = QStringLiteral("/* ") + TDdlText::CommentText(error) + QStringLiteral(" */\r\n");
    }
    Text_ += QStringLiteral("/*  ") + TDdlText::CommentText(name) + QStringLiteral("  */\r\n") + text
             + QStringLiteral("\r\n");
    ForeignKeys_ += foreignKeys;
    pbrProgress->setValue(static_cast<int>(Next_));
    ExtractNext();
}

void TfrmExtractor::Finish(bool cancelled)
{
    Running_ = false;
    if (KeysApart_) {
        KeysApart_ = false;
        if (auto *session = dynamic_cast<TOracleSession *>(Session_.get())) {
            try {
                TExtractScript::ForeignKeysApart(*session, false);
            } catch (const std::exception &) {
                // A session gone meanwhile has nothing left to switch back.
            }
        }
    }
    Session_.reset();
    if (!cancelled && !ForeignKeys_.isEmpty())
        Text_ += QStringLiteral("/*  Foreign keys, once every table they name exists  */\r\n") + ForeignKeys_;
    btnExtract->setEnabled(true);
    btnCancel->setEnabled(false);
    memOutput->setPlainText(Text_);
    if (cancelled) {
        // A part of a schema under the usual name would pass for all of it.
        lblStatus->setText(QStringLiteral("Cancelled after %1 of %2 object(s); nothing was written.")
                               .arg(Next_)
                               .arg(Pending_.size()));
    } else {
        const QString fileName = OutputFileName(QStringLiteral("ddl_extract.txt"));
        if (WriteOutput(fileName, Text_)) {
            QString status = QStringLiteral("%1 object(s) written to %2.").arg(Pending_.size()).arg(fileName);
            if (Failures_ > 0)
                status += QStringLiteral(" %1 of them have no DDL; the file says why.").arg(Failures_);
            lblStatus->setText(status);
        } else {
            lblStatus->setText(QStringLiteral("The DDL was not written."));
        }
    }
    emit ExtractionFinished();
}

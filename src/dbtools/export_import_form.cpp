#include "dbtools/export_import_form.h"

#include "dbtools/copy_script.h"
#include "dbtools/oracle_session.h"
#include "model/ddl_text.h"
#include "model/helpers.h"
#include "model/oracle_name.h"
#include "model/result_set.h"
#include "platform/user_interface.h"

#include <QComboBox>
#include <QFormLayout>
#include <QLabel>
#include <QListWidget>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QVBoxLayout>

TfrmExportImport::TfrmExportImport() : TfrmSessionTool(QStringLiteral("frmExportImport"))
{
    resize(640, 560);
    auto *layout = new QVBoxLayout(this);
    auto *form = new QFormLayout;
    form->addRow(QStringLiteral("&Owner:"), cboOwner);
    lvwTables = new QListWidget;
    lvwTables->setObjectName(QStringLiteral("lvwTables"));
    MakeChoiceList(lvwTables);
    form->addRow(QStringLiteral("&Tables:"), lvwTables);
    layout->addLayout(form);
    btnGenerate = new QPushButton(QStringLiteral("&Generate Copy Script"));
    btnGenerate->setObjectName(QStringLiteral("btnGenerate"));
    layout->addWidget(btnGenerate, 0, Qt::AlignLeft);
    layout->addWidget(memOutput, 1);
    layout->addWidget(lblStatus);
    connect(cboOwner, &QComboBox::currentIndexChanged, this, [this] { ShowExceptions([this] { cboOwnerChange(); }); });
    connect(btnGenerate, &QPushButton::clicked, this, [this] { ShowExceptions([this] { Generate(); }); });
}

TfrmExportImport *TfrmExportImport::Create()
{
    RequireSession();
    auto *form = new TfrmExportImport;
    try {
        form->FillOwners();
        form->cboOwnerChange();
    } catch (...) {
        delete form;
        throw;
    }
    form->ShowRegistered(QStringLiteral("Export and Import"));
    return form;
}

void TfrmExportImport::cboOwnerChange()
{
    lvwTables->clear();
    if (cboOwner->currentText().isEmpty())
        return;
    for (const QString &table : RequireSession().ListTables(cboOwner->currentText())) {
        AddCheckItem(lvwTables, table, false);
    }
}

void TfrmExportImport::Generate()
{
    TOracleSession &session = RequireSession();
    QStringList checked;
    for (int i = 0; i < lvwTables->count(); ++i) {
        if (lvwTables->item(i)->checkState() == Qt::Checked)
            checked << lvwTables->item(i)->text();
    }
    const int tables = static_cast<int>(checked.size());
    if (tables == 0) {
        UserInterface().ShowInformation(QStringLiteral("Check the tables whose rows the script should copy."));
        return;
    }
    QString script;
    QStringList failed;
    THourglass hourglass;
    // A target with its foreign keys enabled takes a child's rows only after
    // its parent's.
    QHash<QString, QStringList> parents;
    for (const QString &qualified : checked) {
        try {
            const std::unique_ptr<TOSResultSet> refs =
                session.GetReferencedTables(THelpers::GetOwnerName(qualified), THelpers::GetObjectName(qualified));
            for (int r = 0; r < refs->RowCount(); ++r) {
                const TOSRow *row = refs->GetRow(r);
                parents[qualified] << row->GetValueByName(QStringLiteral("REF_TABLE_OWNER")).toString() + QLatin1Char('.')
                                          + row->GetValueByName(QStringLiteral("REF_TABLE_NAME")).toString();
            }
        } catch (const std::exception &) {
            // Reading its rows fails the same way, and the script says why there.
        }
    }
    for (const QStringList &group : TCopyScript::CopyOrder(checked, parents)) {
        if (group.size() > 1)
            script += TCopyScript::CycleComment(group);
        for (const QString &qualified : group) {
            const QString owner = THelpers::GetOwnerName(qualified);
            const QString table = THelpers::GetObjectName(qualified);
            try {
                std::unique_ptr<TOSResultSet> types = session.DictionaryQuery(
                    QStringLiteral("select COLUMN_NAME, DATA_TYPE\nfrom SYS.ALL_TAB_COLUMNS\n"
                                   "where OWNER = :owner and TABLE_NAME = :name\norder by COLUMN_ID"),
                    {{QStringLiteral("owner"), owner}, {QStringLiteral("name"), table}});
                QList<TCopyColumn> columns;
                QStringList names;
                for (int r = 0; r < types->RowCount(); ++r) {
                    const TOSRow *row = types->GetRow(r);
                    columns.append({row->GetValueByName(QStringLiteral("COLUMN_NAME")).toString(),
                                    row->GetValueByName(QStringLiteral("DATA_TYPE")).toString()});
                    names << OracleName::Quote(columns.last().Name);
                }
                if (names.isEmpty())
                    throw std::runtime_error("the table has no columns in the data dictionary");
                std::unique_ptr<TOSResultSet> rows = session.DictionaryQuery(
                    QStringLiteral("select ") + names.join(QStringLiteral(", ")) + QStringLiteral("\nfrom ")
                    + OracleName::Qualified(owner, table));
                script += TCopyScript::TableScript(owner, table, columns, *rows) + QStringLiteral("\r\n");
            } catch (const std::exception &e) {
                failed << qualified;
                script += QStringLiteral("/*  %1: not copied: %2  */\r\n\r\n")
                              .arg(TDdlText::CommentText(qualified),
                                   TDdlText::CommentText(QString::fromUtf8(e.what())));
            }
        }
    }
    memOutput->setPlainText(script);
    const QString fileName = OutputFileName(QStringLiteral("copy_data.txt"));
    if (!WriteOutput(fileName, script)) {
        lblStatus->setText(QStringLiteral("The copy script was not written."));
        return;
    }
    lblStatus->setText(QStringLiteral("Copy script of %1 table(s) written to %2.").arg(tables).arg(fileName));
    if (!failed.isEmpty())
        UserInterface().ShowWarning(QStringLiteral("The rows of %1 could not be read; the script says why.")
                                        .arg(failed.join(QStringLiteral(", "))));
}

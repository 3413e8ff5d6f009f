#pragma once
// TfrmBaseTableWizard: the dialog that creates a table or edits one: name,
// owner and comment, columns, keys, foreign keys, check constraints and
// indexes, with the table's DDL. OK stays disabled while anything is wrong.
#include "dbtools/table_draft.h"

#include <QDialog>

#include <memory>
#include <vector>

class QLabel;
class QLineEdit;
class QPlainTextEdit;
class QPushButton;
class QTabWidget;
class QTableWidget;
class TDiagramTable;

class TfrmBaseTableWizard : public QDialog {
    Q_OBJECT

public:
    // Shows Table's rows; PageTables are the tables a foreign key may reference.
    TfrmBaseTableWizard(const TDiagramTable &table, std::vector<const TDiagramTable *> pageTables,
                        QWidget *parent = nullptr);

    // A new table the user filled and confirmed (named NEW_TABLE at first,
    // virtual), or null when cancelled. Foreign keys may reference the
    // tables of the current page.
    static std::unique_ptr<TDiagramTable> CreateTable();
    // Lets the user edit the table through a copy; true when the edit was
    // confirmed and assigned back, false (and the table as it was) on Cancel.
    static bool EditTable(TDiagramTable *table);

    TTableDraft Draft() const;
    QStringList Problems() const { return Problems_; }
    const std::vector<const TDiagramTable *> &PageTables() const { return PageTables_; }

private:
    void BuildPages();
    QTableWidget *AddGridPage(const QString &caption, const QString &name, const QStringList &headers,
                              const QString &addName, const QString &deleteName);
    void LoadDraft(const TTableDraft &draft);
    void Revalidate();
    void CommitOpenEditors();
    void btnOKClick();

    std::vector<const TDiagramTable *> PageTables_;
    QStringList Problems_;
    bool Loading_ = false;
    QTabWidget *pgcWizard = nullptr;
    QLineEdit *edtName = nullptr;
    QLineEdit *edtOwner = nullptr;
    QPlainTextEdit *memComment = nullptr;
    QTableWidget *sgdColumns = nullptr;
    QTableWidget *sgdKeys = nullptr;
    QTableWidget *sgdForeignKeys = nullptr;
    QTableWidget *sgdChecks = nullptr;
    QTableWidget *sgdIndexes = nullptr;
    QPlainTextEdit *memDDL = nullptr;
    QLabel *lblMessage = nullptr;
    QPushButton *btnOK = nullptr;
    QPushButton *btnCancel = nullptr;
    // Type texts of the rows loaded from the table, so unchanged ones keep
    // their stored fields.
    std::vector<TColumnDraft> OriginalColumns_;
    // Likewise the references of the foreign keys loaded from the table.
    std::vector<TForeignKeyDraft> OriginalForeignKeys_;
};

#include "dbtools/base_table_wizard.h"

#include "dbtools/choice_delegate.h"
#include "model/diagram_object_model.h"
#include "model/diagram_table.h"
#include "model/helpers.h"
#include "model/model_globals.h"

#include <QFormLayout>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QLabel>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QTabWidget>
#include <QTableWidget>
#include <QVBoxLayout>

#include <algorithm>

namespace {

enum TColumnField { cfName, cfType, cfNullable, cfDefault, cfComment };

QString CellText(const QTableWidget *grid, int row, int column)
{
    const QTableWidgetItem *item = grid->item(row, column);
    return item ? item->text().trimmed() : QString();
}

void SetRow(QTableWidget *grid, int row, const QStringList &texts)
{
    for (int column = 0; column < texts.size(); ++column)
        grid->setItem(row, column, new QTableWidgetItem(texts.at(column)));
}

void SetNullable(QTableWidget *grid, int row, bool nullable)
{
    auto *item = new QTableWidgetItem;
    item->setFlags(Qt::ItemIsEnabled | Qt::ItemIsSelectable | Qt::ItemIsUserCheckable);
    item->setCheckState(nullable ? Qt::Checked : Qt::Unchecked);
    grid->setItem(row, cfNullable, item);
}

std::vector<const TDiagramTable *> PageTablesExcept(const TDiagramTable *table)
{
    std::vector<const TDiagramTable *> tables;
    if (!CurrentModel)
        return tables;
    for (const TDiagramTable *candidate : CurrentModel->Tables) {
        if (candidate != table)
            tables.push_back(candidate);
    }
    return tables;
}

bool HasPrimaryKey(const QTableWidget *keys, int rows)
{
    for (int row = 0; row < rows; ++row) {
        if (CellText(keys, row, 1).toUpper() == QLatin1String("PRIMARY"))
            return true;
    }
    return false;
}

// Room for a usual name or type text before the user widens a column.
void FitColumns(QTableWidget *grid)
{
    constexpr int MinimumWidth = 110;
    grid->resizeColumnsToContents();
    for (int column = 0; column < grid->columnCount(); ++column)
        grid->setColumnWidth(column, std::max(grid->columnWidth(column), MinimumWidth));
}

std::unique_ptr<TDiagramTable> NewTableLike(const TDiagramTable &table)
{
    if (dynamic_cast<const TDiagramObjectTable *>(&table))
        return std::make_unique<TDiagramObjectTable>();
    return std::make_unique<TDiagramTable>();
}

} // namespace

TfrmBaseTableWizard::TfrmBaseTableWizard(const TDiagramTable &table, std::vector<const TDiagramTable *> pageTables,
                                         QWidget *parent)
    : QDialog(parent), PageTables_(std::move(pageTables))
{
    setObjectName(QStringLiteral("frmBaseTableWizard"));
    setWindowTitle(QStringLiteral("Table Wizard"));
    resize(760, 480);
    BuildPages();
    LoadDraft(TTableDraft::FromTable(table));
    edtName->setFocus();
    edtName->selectAll();
}

void TfrmBaseTableWizard::BuildPages()
{
    auto *layout = new QVBoxLayout(this);
    pgcWizard = new QTabWidget(this);
    pgcWizard->setObjectName(QStringLiteral("pgcWizard"));
    layout->addWidget(pgcWizard);

    auto *tablePage = new QWidget;
    auto *form = new QFormLayout(tablePage);
    edtName = new QLineEdit;
    edtName->setObjectName(QStringLiteral("edtName"));
    edtOwner = new QLineEdit;
    edtOwner->setObjectName(QStringLiteral("edtOwner"));
    memComment = new QPlainTextEdit;
    memComment->setObjectName(QStringLiteral("memComment"));
    memComment->setTabChangesFocus(true);
    form->addRow(QStringLiteral("&Name:"), edtName);
    form->addRow(QStringLiteral("&Owner:"), edtOwner);
    form->addRow(QStringLiteral("&Comment:"), memComment);
    pgcWizard->addTab(tablePage, QStringLiteral("Table"));

    sgdColumns = AddGridPage(QStringLiteral("Columns"), QStringLiteral("sgdColumns"),
                             {QStringLiteral("Name"), QStringLiteral("Type"), QStringLiteral("Nullable"),
                              QStringLiteral("Default"), QStringLiteral("Comment")},
                             QStringLiteral("btnAddColumn"), QStringLiteral("btnDeleteColumn"));
    sgdKeys = AddGridPage(QStringLiteral("Keys"), QStringLiteral("sgdKeys"),
                          {QStringLiteral("Name"), QStringLiteral("Kind"), QStringLiteral("Columns")},
                          QStringLiteral("btnAddKey"), QStringLiteral("btnDeleteKey"));
    sgdKeys->setItemDelegateForColumn(
        1, new TChoiceDelegate({QStringLiteral("PRIMARY"), QStringLiteral("UNIQUE")}, sgdKeys));
    sgdForeignKeys = AddGridPage(QStringLiteral("Foreign Keys"), QStringLiteral("sgdForeignKeys"),
                                 {QStringLiteral("Name"), QStringLiteral("Columns"), QStringLiteral("References"),
                                  QStringLiteral("Referenced Columns"), QStringLiteral("On Delete")},
                                 QStringLiteral("btnAddForeignKey"), QStringLiteral("btnDeleteForeignKey"));
    QStringList tableNames;
    for (const TDiagramTable *table : PageTables_)
        tableNames << (table->Owner.isEmpty() ? table->Name : table->Owner + QLatin1Char('.') + table->Name);
    sgdForeignKeys->setItemDelegateForColumn(2, new TChoiceDelegate(tableNames, sgdForeignKeys, true));
    sgdForeignKeys->setItemDelegateForColumn(
        4, new TChoiceDelegate({QString(), QStringLiteral("NO ACTION"), QStringLiteral("CASCADE"),
                                QStringLiteral("SET NULL")},
                               sgdForeignKeys));
    sgdChecks = AddGridPage(QStringLiteral("Checks"), QStringLiteral("sgdChecks"),
                            {QStringLiteral("Name"), QStringLiteral("Condition")}, QStringLiteral("btnAddCheck"),
                            QStringLiteral("btnDeleteCheck"));
    sgdIndexes = AddGridPage(QStringLiteral("Indexes"), QStringLiteral("sgdIndexes"),
                             {QStringLiteral("Name"), QStringLiteral("Type"), QStringLiteral("Columns")},
                             QStringLiteral("btnAddIndex"), QStringLiteral("btnDeleteIndex"));
    sgdIndexes->setItemDelegateForColumn(
        1, new TChoiceDelegate({QStringLiteral("NORMAL"), QStringLiteral("BITMAP"), QStringLiteral("UNIQUE")},
                               sgdIndexes));

    memDDL = new QPlainTextEdit;
    memDDL->setObjectName(QStringLiteral("memDDL"));
    memDDL->setReadOnly(true);
    memDDL->setLineWrapMode(QPlainTextEdit::NoWrap);
    memDDL->setFont(QFont(QStringLiteral("Liberation Mono"), 9));
    pgcWizard->addTab(memDDL, QStringLiteral("DDL"));

    lblMessage = new QLabel;
    lblMessage->setObjectName(QStringLiteral("lblMessage"));
    lblMessage->setWordWrap(true);
    lblMessage->setStyleSheet(QStringLiteral("color: #a00000"));
    layout->addWidget(lblMessage);

    auto *buttons = new QHBoxLayout;
    buttons->addStretch();
    btnOK = new QPushButton(QStringLiteral("OK"));
    btnOK->setObjectName(QStringLiteral("btnOK"));
    btnOK->setDefault(true);
    btnCancel = new QPushButton(QStringLiteral("Cancel"));
    btnCancel->setObjectName(QStringLiteral("btnCancel"));
    buttons->addWidget(btnOK);
    buttons->addWidget(btnCancel);
    layout->addLayout(buttons);

    connect(btnOK, &QPushButton::clicked, this, &TfrmBaseTableWizard::btnOKClick);
    connect(btnCancel, &QPushButton::clicked, this, &QDialog::reject);
    connect(edtName, &QLineEdit::textChanged, this, &TfrmBaseTableWizard::Revalidate);
    connect(edtOwner, &QLineEdit::textChanged, this, &TfrmBaseTableWizard::Revalidate);
    connect(memComment, &QPlainTextEdit::textChanged, this, &TfrmBaseTableWizard::Revalidate);
}

QTableWidget *TfrmBaseTableWizard::AddGridPage(const QString &caption, const QString &name,
                                               const QStringList &headers, const QString &addName,
                                               const QString &deleteName)
{
    auto *page = new QWidget;
    auto *layout = new QVBoxLayout(page);
    auto *grid = new QTableWidget(0, headers.size());
    grid->setObjectName(name);
    grid->setHorizontalHeaderLabels(headers);
    grid->horizontalHeader()->setStretchLastSection(true);
    layout->addWidget(grid);
    auto *buttons = new QHBoxLayout;
    auto *add = new QPushButton(QStringLiteral("&Add"));
    add->setObjectName(addName);
    auto *remove = new QPushButton(QStringLiteral("&Delete"));
    remove->setObjectName(deleteName);
    buttons->addWidget(add);
    buttons->addWidget(remove);
    buttons->addStretch();
    layout->addLayout(buttons);
    pgcWizard->addTab(page, caption);

    connect(add, &QPushButton::clicked, this, [this, grid] {
        const int row = grid->rowCount();
        Loading_ = true;
        grid->insertRow(row);
        for (int column = 0; column < grid->columnCount(); ++column)
            grid->setItem(row, column, new QTableWidgetItem);
        // The likely choice is filled in, so a new row asks only for its names.
        if (grid == sgdColumns)
            SetNullable(grid, row, true);
        else if (grid == sgdKeys)
            grid->item(row, 1)->setText(HasPrimaryKey(grid, row) ? QStringLiteral("UNIQUE")
                                                                 : QStringLiteral("PRIMARY"));
        else if (grid == sgdIndexes)
            grid->item(row, 1)->setText(QStringLiteral("NORMAL"));
        Loading_ = false;
        grid->setCurrentCell(row, 0);
        grid->setFocus();
        grid->editItem(grid->item(row, 0));
        Revalidate();
    });
    connect(remove, &QPushButton::clicked, this, [this, grid] {
        const int row = grid->currentRow();
        if (row < 0)
            return;
        grid->removeRow(row);
        if (grid == sgdColumns && row < static_cast<int>(OriginalColumns_.size()))
            OriginalColumns_.erase(OriginalColumns_.begin() + row);
        if (grid == sgdForeignKeys && row < static_cast<int>(OriginalForeignKeys_.size()))
            OriginalForeignKeys_.erase(OriginalForeignKeys_.begin() + row);
        Revalidate();
    });
    connect(grid, &QTableWidget::itemChanged, this, &TfrmBaseTableWizard::Revalidate);
    return grid;
}

void TfrmBaseTableWizard::LoadDraft(const TTableDraft &draft)
{
    Loading_ = true;
    edtName->setText(draft.Name);
    edtOwner->setText(draft.Owner);
    memComment->setPlainText(draft.Comment);
    OriginalColumns_ = draft.Columns;
    sgdColumns->setRowCount(static_cast<int>(draft.Columns.size()));
    for (int row = 0; row < sgdColumns->rowCount(); ++row) {
        const TColumnDraft &column = draft.Columns[row];
        SetRow(sgdColumns, row, {column.Name, column.TypeText});
        SetNullable(sgdColumns, row, column.Nullable);
        sgdColumns->setItem(row, cfDefault, new QTableWidgetItem(column.DefaultValue));
        sgdColumns->setItem(row, cfComment, new QTableWidgetItem(column.Comment));
    }
    sgdKeys->setRowCount(static_cast<int>(draft.Keys.size()));
    for (int row = 0; row < sgdKeys->rowCount(); ++row)
        SetRow(sgdKeys, row, {draft.Keys[row].Name, draft.Keys[row].Kind, draft.Keys[row].Columns});
    OriginalForeignKeys_ = draft.ForeignKeys;
    sgdForeignKeys->setRowCount(static_cast<int>(draft.ForeignKeys.size()));
    for (int row = 0; row < sgdForeignKeys->rowCount(); ++row) {
        const TForeignKeyDraft &key = draft.ForeignKeys[row];
        SetRow(sgdForeignKeys, row, {key.Name, key.Columns, key.RefTable, key.RefColumns, key.OnDelete});
    }
    sgdChecks->setRowCount(static_cast<int>(draft.Checks.size()));
    for (int row = 0; row < sgdChecks->rowCount(); ++row)
        SetRow(sgdChecks, row, {draft.Checks[row].Name, draft.Checks[row].Condition});
    sgdIndexes->setRowCount(static_cast<int>(draft.Indexes.size()));
    for (int row = 0; row < sgdIndexes->rowCount(); ++row)
        SetRow(sgdIndexes, row, {draft.Indexes[row].Name, draft.Indexes[row].Type, draft.Indexes[row].Columns});
    for (QTableWidget *grid : {sgdColumns, sgdKeys, sgdForeignKeys, sgdChecks, sgdIndexes})
        FitColumns(grid);
    Loading_ = false;
    Revalidate();
}

TTableDraft TfrmBaseTableWizard::Draft() const
{
    TTableDraft draft;
    draft.Name = edtName->text().trimmed();
    draft.Owner = edtOwner->text().trimmed();
    draft.Comment = memComment->toPlainText();
    for (int row = 0; row < sgdColumns->rowCount(); ++row) {
        TColumnDraft column;
        if (row < static_cast<int>(OriginalColumns_.size()))
            column = OriginalColumns_[row];
        column.Name = CellText(sgdColumns, row, cfName);
        column.TypeText = CellText(sgdColumns, row, cfType);
        const QTableWidgetItem *nullable = sgdColumns->item(row, cfNullable);
        column.Nullable = !nullable || nullable->checkState() == Qt::Checked;
        column.DefaultValue = CellText(sgdColumns, row, cfDefault);
        const QTableWidgetItem *comment = sgdColumns->item(row, cfComment);
        column.Comment = comment ? comment->text() : QString();
        draft.Columns.push_back(column);
    }
    for (int row = 0; row < sgdKeys->rowCount(); ++row)
        draft.Keys.push_back({CellText(sgdKeys, row, 0), CellText(sgdKeys, row, 1).toUpper(),
                              CellText(sgdKeys, row, 2)});
    for (int row = 0; row < sgdForeignKeys->rowCount(); ++row) {
        TForeignKeyDraft key;
        if (row < static_cast<int>(OriginalForeignKeys_.size()))
            key = OriginalForeignKeys_[row];
        key.Name = CellText(sgdForeignKeys, row, 0);
        key.Columns = CellText(sgdForeignKeys, row, 1);
        key.RefTable = CellText(sgdForeignKeys, row, 2);
        key.RefColumns = CellText(sgdForeignKeys, row, 3);
        key.OnDelete = CellText(sgdForeignKeys, row, 4);
        draft.ForeignKeys.push_back(key);
    }
    for (int row = 0; row < sgdChecks->rowCount(); ++row)
        draft.Checks.push_back({CellText(sgdChecks, row, 0), CellText(sgdChecks, row, 1)});
    for (int row = 0; row < sgdIndexes->rowCount(); ++row)
        draft.Indexes.push_back({CellText(sgdIndexes, row, 0), CellText(sgdIndexes, row, 1),
                                 CellText(sgdIndexes, row, 2)});
    return draft;
}

void TfrmBaseTableWizard::Revalidate()
{
    if (Loading_)
        return;
    const TTableDraft draft = Draft();
    Problems_ = draft.Validate(PageTables_);
    lblMessage->setText(Problems_.join(QLatin1Char('\n')));
    btnOK->setEnabled(Problems_.isEmpty());
    if (Problems_.isEmpty()) {
        TDiagramTable preview;
        draft.ApplyTo(preview, PageTables_);
        memDDL->setPlainText(preview.GetDDL(true));
    } else {
        memDDL->setPlainText(QStringLiteral("/* The table has problems; see below. */"));
    }
}

void TfrmBaseTableWizard::CommitOpenEditors()
{
    // A cell editor hands its text to the cell only when it closes, which may
    // come after this click: the check must see what the user sees.
    for (QTableWidget *grid : {sgdColumns, sgdKeys, sgdForeignKeys, sgdChecks, sgdIndexes}) {
        for (int row = 0; row < grid->rowCount(); ++row) {
            for (int column = 0; column < grid->columnCount(); ++column) {
                const QModelIndex index = grid->model()->index(row, column);
                if (QWidget *editor = grid->indexWidget(index))
                    grid->itemDelegateForIndex(index)->setModelData(editor, grid->model(), index);
            }
        }
    }
}

void TfrmBaseTableWizard::btnOKClick()
{
    CommitOpenEditors();
    Revalidate();
    if (Problems_.isEmpty())
        accept();
}

std::unique_ptr<TDiagramTable> TfrmBaseTableWizard::CreateTable()
{
    auto table = std::make_unique<TDiagramTable>();
    table->Name = QStringLiteral("NEW_TABLE");
    table->IsVirtual = true;
    if (THelpers::IsConnected())
        table->Owner = DatabaseSession->GetUsername().toUpper();
    TfrmBaseTableWizard wizard(*table, PageTablesExcept(nullptr));
    wizard.setWindowTitle(QStringLiteral("Create Table"));
    if (wizard.exec() != QDialog::Accepted)
        return nullptr;
    wizard.Draft().ApplyTo(*table, wizard.PageTables());
    return table;
}

bool TfrmBaseTableWizard::EditTable(TDiagramTable *table)
{
    if (!table)
        return false;
    std::unique_ptr<TDiagramTable> copy = NewTableLike(*table);
    copy->Assign(*table);
    TfrmBaseTableWizard wizard(*copy, PageTablesExcept(table));
    wizard.setWindowTitle(QStringLiteral("Edit Table ") + table->Name);
    if (wizard.exec() != QDialog::Accepted)
        return false;
    wizard.Draft().ApplyTo(*copy, wizard.PageTables());
    table->Assign(*copy);
    TTableDraft::DropStaleLinkPaths(*table);
    return true;
}

// The table and note wizards driven by their controls' names, and the rules
// a table must meet before it reaches the page.
#include "dbtools/base_memo_wizard.h"
#include "dbtools/base_table_wizard.h"
#include "model/diagram_note.h"
#include "model_builders.h"
#include "test_data.h"
#include "modal_dialog.h"
#include "model/diagram_object_model.h"
#include "sample_database.h"

#include <QLabel>
#include <QLineEdit>
#include <QPlainTextEdit>

#include <gtest/gtest.h>

namespace {

QString XmlOf(const TDiagramTable &table)
{
    QStringList lines;
    table.WriteXML(lines, 0);
    return lines.join(QLatin1Char('\n'));
}

// One change of a rules line to one list ("Columns.1.Type=CHAR(0)", "Keys-",
// "Keys+=A/PRIMARY/B" in the order of Fields); false for another list.
template <class Row>
bool ApplyTo(std::vector<Row> &rows, const QString &list, std::vector<std::pair<QString, QString Row::*>> fields,
             const QString &change)
{
    const QString path = change.section('=', 0, 0), value = change.section('=', 1, -1);
    if (path == list + '-')
        rows.clear();
    else if (path == list + '+')
        rows.emplace_back();
    else if (!path.startsWith(list + '.'))
        return false;
    for (size_t i = 0; i < fields.size(); ++i) {
        if (path == list + '+')
            rows.back().*fields[i].second = value.section('/', int(i), int(i));
        else if (path.section('.', 2) == fields[i].first)
            rows.at(path.section('.', 1, 1).toUInt()).*fields[i].second = value;
    }
    return true;
}

void Apply(TTableDraft &d, const QString &c)
{
    using F = TForeignKeyDraft;
    if (!ApplyTo(d.Columns, "Columns", {{"Name", &TColumnDraft::Name}, {"Type", &TColumnDraft::TypeText}}, c)
        && !ApplyTo(d.Keys, "Keys", {{"Name", &TKeyDraft::Name}, {"Kind", &TKeyDraft::Kind}, {"Columns", &TKeyDraft::Columns}}, c)
        && !ApplyTo(d.ForeignKeys, "ForeignKeys", {{"Name", &F::Name}, {"Columns", &F::Columns}, {"RefTable", &F::RefTable},
                                                   {"RefColumns", &F::RefColumns}, {"OnDelete", &F::OnDelete}}, c)
        && !ApplyTo(d.Checks, "Checks", {{"Name", &TCheckDraft::Name}, {"Condition", &TCheckDraft::Condition}}, c)
        && !ApplyTo(d.Indexes, "Indexes", {{"Name", &TIndexDraft::Name}, {"Type", &TIndexDraft::Type}, {"Columns", &TIndexDraft::Columns}}, c))
        (c.startsWith("Name=") ? d.Name : d.Owner) = c.section('=', 1, -1);
}

// DEPT on the page with a primary key, the referenced table of the drafts.
class TableWizardTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        Dept = AddTable(*CurrentModel, "SHOP", "DEPT", 300, 40);
        AddColumn(*Dept, "DEPTNO", "NUMBER", 0, 2, 0, false);
        AddColumn(*Dept, "DNAME", "VARCHAR2", 14);
        AddPrimaryKey(*Dept, "DEPT_PK", {"DEPTNO"});
        Lonely = AddTable(*CurrentModel, "SHOP", "LONELY");
        AddColumn(*Lonely, "ID");
    }

    TModelGlobalsGuard Globals;
    TDiagramTable *Dept = nullptr;
    TDiagramTable *Lonely = nullptr;
};

} // namespace

TEST_F(TableWizardTest, EveryRuleNamesWhatIsWrong)
{
    TTableDraft valid;
    int cases = 0;
    for (const QString &line : QString::fromUtf8(readTestFile("table_wizard_rules.txt")).split('\n')) {
        if (line.isEmpty() || line.startsWith('#'))
            continue;
        TTableDraft draft = valid;
        for (const QString &change : line.left(line.indexOf(" =>")).split(" ; "))
            Apply(draft, change);
        EXPECT_EQ(draft.Validate({Dept, Lonely}).join(" | "), line.mid(line.indexOf(" =>") + 3).trimmed()) << line.toStdString();
        if (cases++ == 0)
            valid = draft;
    }
    EXPECT_EQ(cases, 60);
}

TEST_F(TableWizardTest, CreateThroughTheDialogGivesTheExpectedTable)
{
    WhenModal([](QDialog &dialog) {
        auto *ok = Child<QPushButton>(dialog, "btnOK");
        EXPECT_EQ(Child<QLineEdit>(dialog, "edtName")->text(), "NEW_TABLE");
        EXPECT_EQ(Child<QLabel>(dialog, "lblMessage")->text(), "The table has no columns.");
        AddGridRow(dialog, "btnAddColumn", "sgdColumns", {"ID", "VARCHAR2(30 BYTE)"});
        EXPECT_FALSE(ok->isEnabled());
        Child<QTableWidget>(dialog, "sgdColumns")->item(0, 1)->setText("VARCHAR2(30)");
        EXPECT_TRUE(ok->isEnabled());
        Child<QPushButton>(dialog, "btnCancel")->click();
    });
    EXPECT_EQ(TfrmBaseTableWizard::CreateTable(), nullptr);

    WhenModal([](QDialog &dialog) {
        Child<QLineEdit>(dialog, "edtName")->setText("EMP");
        Child<QLineEdit>(dialog, "edtOwner")->setText("SHOP");
        Child<QPlainTextEdit>(dialog, "memComment")->setPlainText("Employees");
        AddGridRow(dialog, "btnAddColumn", "sgdColumns", {"EMPNO", "NUMBER(4)", "<not null>"});
        AddGridRow(dialog, "btnAddColumn", "sgdColumns", {"ENAME", "VARCHAR2(10)", "<null>", "'?'", "Name"});
        AddGridRow(dialog, "btnAddColumn", "sgdColumns", {"DEPTNO", "NUMBER(2)"});
        // A new key row is the primary key until there is one; an index is NORMAL.
        AddGridRow(dialog, "btnAddKey", "sgdKeys", {"EMP_PK"});
        AddGridRow(dialog, "btnAddKey", "sgdKeys", {"EMP_UK"});
        auto *keys = Child<QTableWidget>(dialog, "sgdKeys");
        EXPECT_EQ(keys->item(0, 1)->text() + keys->item(1, 1)->text(), "PRIMARYUNIQUE");
        keys->item(0, 2)->setText("EMPNO");
        Child<QPushButton>(dialog, "btnDeleteKey")->click();
        AddGridRow(dialog, "btnAddForeignKey", "sgdForeignKeys", {"EMP_DEPT_FK", "DEPTNO", "SHOP.DEPT", "", "CASCADE"});
        AddGridRow(dialog, "btnAddCheck", "sgdChecks", {"EMP_CHK", "EMPNO > 0"});
        AddGridRow(dialog, "btnAddIndex", "sgdIndexes", {"EMP_IDX"});
        Child<QTableWidget>(dialog, "sgdIndexes")->item(0, 2)->setText("ENAME");
        Child<QPushButton>(dialog, "btnOK")->click();
    });
    const std::unique_ptr<TDiagramTable> table = TfrmBaseTableWizard::CreateTable();
    ASSERT_NE(table, nullptr);
    EXPECT_TRUE(table->IsVirtual);
    EXPECT_EQ(table->Columns.GetColumn(1)->DefaultValue, "'?'");
    EXPECT_EQ(table->Columns.GetColumn(2)->Sequence, 3);
    EXPECT_EQ(table->ForeignKeys.GetForeignKey(0)->Table, table.get());
    // The worked example of the table DDL, built through the dialog.
    expectGolden("ddl/emp_table.sql", table->GetDDL(true).toUtf8());
}

TEST_F(TableWizardTest, EditWorksOnACopy)
{
    AddColumn(*Lonely, "STAMP", "TIMESTAMP(6)");
    AddForeignKey(*Lonely, "LONELY_DEPT_FK", {"ID"}, "SHOP", "DEPT", {"DEPTNO"}, "CASCADE");
    Lonely->AddLinkPath("DEPT", "SHOP", 1, "LONELY_DEPT_FK");
    Lonely->Left = 70;
    Lonely->Top = 130;
    const QString before = XmlOf(*Lonely);
    WhenModal([](QDialog &dialog) {
        Child<QTableWidget>(dialog, "sgdColumns")->item(0, 0)->setText("CHANGED");
        Child<QPushButton>(dialog, "btnCancel")->click();
    });
    EXPECT_FALSE(TfrmBaseTableWizard::EditTable(Lonely));
    EXPECT_EQ(XmlOf(*Lonely), before);

    // OK gives the same table back, its foreign key on it and the link's path kept.
    WhenModal([](QDialog &dialog) { Child<QPushButton>(dialog, "btnOK")->click(); });
    EXPECT_TRUE(TfrmBaseTableWizard::EditTable(Lonely));
    EXPECT_EQ(XmlOf(*Lonely), before);
    EXPECT_EQ(Lonely->ForeignKeys.GetForeignKey(0)->Table, Lonely);

    WhenModal([](QDialog &dialog) {
        auto *columns = Child<QTableWidget>(dialog, "sgdColumns");
        EXPECT_EQ(columns->item(1, 1)->text(), "TIMESTAMP(6)");
        columns->setCurrentCell(0, 0);
        Child<QPushButton>(dialog, "btnDeleteColumn")->click();
        AddGridRow(dialog, "btnAddColumn", "sgdColumns", {"LABEL", "CHAR(3)"});
        AddGridRow(dialog, "btnAddKey", "sgdKeys", {"LONELY_PK", "PRIMARY", "LABEL"});
        Child<QTableWidget>(dialog, "sgdForeignKeys")->setCurrentCell(0, 0);
        Child<QPushButton>(dialog, "btnDeleteForeignKey")->click();
        Child<QPushButton>(dialog, "btnOK")->click();
    });
    TfrmBaseTableWizard::EditTable(Lonely);
    ASSERT_EQ(Lonely->Columns.Count(), 2);
    // The type the parser does not know survives an edit of other rows.
    EXPECT_EQ(Lonely->Columns.GetColumn(0)->DataType, "TIMESTAMP(6)");
    EXPECT_EQ(Lonely->Columns.GetColumn(1)->GetDataTypeText(), "CHAR(3)");
    EXPECT_EQ(Lonely->PrimaryKeys.Count(), 1);
    EXPECT_TRUE(Lonely->LinkPaths.empty());
    EXPECT_EQ(QPoint(Lonely->Left, Lonely->Top), QPoint(70, 130));
}

// The text typed into a cell editor that is still open is what OK checks and keeps.
TEST_F(TableWizardTest, OkTakesTheTextOfAnOpenCellEditor)
{
    const auto typeAndOk = [](const char *type) {
        WhenModal([=](QDialog &dialog) {
            auto *columns = Child<QTableWidget>(dialog, "sgdColumns");
            columns->setCurrentCell(1, 1);
            columns->editItem(columns->item(1, 1));
            auto *editor = qobject_cast<QLineEdit *>(columns->indexWidget(columns->currentIndex()));
            ASSERT_NE(editor, nullptr);
            editor->setText(type);
            Child<QPushButton>(dialog, "btnOK")->click();
            if (dialog.isVisible()) {
                EXPECT_EQ(Child<QLabel>(dialog, "lblMessage")->text(),
                          "Column \"DNAME\": VARCHAR2 needs a length, such as VARCHAR2(30).");
            }
        });
    };
    typeAndOk("VARCHAR2");
    EXPECT_FALSE(TfrmBaseTableWizard::EditTable(Dept));
    typeAndOk("VARCHAR2(40)");
    EXPECT_TRUE(TfrmBaseTableWizard::EditTable(Dept));
    EXPECT_EQ(Dept->Columns.GetColumn(1)->GetDataTypeText(), "VARCHAR2(40)");
}

// Tables read from the sample database keep their keys to tables that are not
// on the page; a new key may still name only a table of the page.
TEST(TableWizardOnDatabaseTables, EditsKeepKeysToTablesOffThePage)
{
    TModelGlobalsGuard globals;
    TRecordingConsole console;
    const auto edit = [](TDiagramTable *table, std::function<void(QDialog &)> work) {
        WhenModal([work](QDialog &dialog) {
            work(dialog);
            Child<QPushButton>(dialog, "btnOK")->click();
        });
        return TfrmBaseTableWizard::EditTable(table);
    };
    const auto keyRow = [](QDialog &dialog, const char *name) {
        auto *keys = Child<QTableWidget>(dialog, "sgdForeignKeys");
        for (int row = 0; row < keys->rowCount(); ++row)
            if (keys->item(row, 0)->text() == name)
                return row;
        return -1;
    };
    TDiagramTable *employees = nullptr;
    {
        TSampleSessionScope hr("hr");
        employees = CurrentModel->AddTableFromDatabase("HR", "EMPLOYEES");
    }
    ASSERT_NE(employees, nullptr);
    ASSERT_TRUE(edit(employees, [](QDialog &dialog) {
        EXPECT_EQ(Child<QLabel>(dialog, "lblMessage")->text(), "");
        Child<QPlainTextEdit>(dialog, "memComment")->setPlainText("Everyone on the payroll.");
    }));
    EXPECT_EQ(employees->Comment, "Everyone on the payroll.");
    // Without its key to itself, the last key is one to a table off the page.
    WhenModal([&](QDialog &dialog) {
        Child<QTableWidget>(dialog, "sgdForeignKeys")->setCurrentCell(keyRow(dialog, "EMP_MANAGER_FK"), 0);
        Child<QPushButton>(dialog, "btnDeleteForeignKey")->click();
        EXPECT_EQ(Child<QLabel>(dialog, "lblMessage")->text(), "");
        Child<QPushButton>(dialog, "btnCancel")->click();
    });
    EXPECT_FALSE(TfrmBaseTableWizard::EditTable(employees));
    ASSERT_TRUE(edit(employees, [&](QDialog &dialog) {
        auto *keys = Child<QTableWidget>(dialog, "sgdForeignKeys");
        const int dept = keyRow(dialog, "EMP_DEPT_FK");
        // Another table off the page, then back to the one the key had.
        keys->item(dept, 2)->setText("HR.JOBS");
        EXPECT_EQ(Child<QLabel>(dialog, "lblMessage")->text(),
                  "Foreign key \"EMP_DEPT_FK\" references \"HR.JOBS\", which is not a table of this page.");
        keys->item(dept, 2)->setText("HR.DEPARTMENTS");
        keys->item(dept, 3)->setText("");
        EXPECT_EQ(Child<QLabel>(dialog, "lblMessage")->text(), "Foreign key \"EMP_DEPT_FK\" references "
                  "\"HR.DEPARTMENTS\", which is not on this page: name the columns it references.");
        keys->item(dept, 3)->setText("DEPARTMENT_ID");
        AddGridRow(dialog, "btnAddForeignKey", "sgdForeignKeys", {"EMP_DEPT2_FK", "DEPARTMENT_ID", "HR.DEPARTMENTS", "DEPARTMENT_ID"});
        EXPECT_EQ(Child<QLabel>(dialog, "lblMessage")->text(),
                  "Foreign key \"EMP_DEPT2_FK\" references \"HR.DEPARTMENTS\", which is not a table of this page.");
        keys->setCurrentCell(keys->rowCount() - 1, 0);
        Child<QPushButton>(dialog, "btnDeleteForeignKey")->click();
        // A key goes; the one after it keeps the table it references.
        keys->setCurrentCell(dept, 0);
        Child<QPushButton>(dialog, "btnDeleteForeignKey")->click();
        keys->item(keyRow(dialog, "EMP_JOB_FK"), 4)->setText("SET NULL");
        // A key of two columns to one referenced column is wrong wherever the table is.
        keys->item(keyRow(dialog, "EMP_JOB_FK"), 1)->setText("JOB_ID,EMAIL");
        EXPECT_EQ(Child<QLabel>(dialog, "lblMessage")->text(), "Foreign key \"EMP_JOB_FK\" has 2 column(s) but references 1.");
        keys->item(keyRow(dialog, "EMP_JOB_FK"), 1)->setText("JOB_ID");
        Child<QTableWidget>(dialog, "sgdColumns")->item(4, 1)->setText("VARCHAR2(30)");
    }));
    {
        TSampleSessionScope shop("shop");
        TDiagramTable *categories = CurrentModel->AddTableFromDatabase("SHOP", "CATEGORIES");
        ASSERT_NE(categories, nullptr);
        ASSERT_TRUE(edit(categories, [](QDialog &dialog) {
            AddGridRow(dialog, "btnAddColumn", "sgdColumns", {"PARENT_NAME", "VARCHAR2(50)"});
            auto *keys = Child<QTableWidget>(dialog, "sgdKeys");
            keys->item(1, 2)->setText("CATEGORY_NAME,PARENT_NAME");
            Child<QTableWidget>(dialog, "sgdForeignKeys")->item(0, 4)->setText("SET NULL");
        }));
    }
    expectGolden("wizard_edited_from_database.xml", CurrentModel->BuildDiagramXml(true).join("\r\n").toLatin1());
}

TEST_F(TableWizardTest, NoteWizardCreatesEditsAndCancels)
{
    const auto answer = [](const char *text, const char *button) {
        WhenModal([=](QDialog &dialog) {
            Child<QPlainTextEdit>(dialog, "memText")->setPlainText(text);
            Child<QPushButton>(dialog, button)->click();
        });
    };
    answer("thrown away", "btnCancel");
    EXPECT_EQ(TfrmBaseMemoWizard::CreateNote(), nullptr);
    answer("first line\nsecond line", "btnOK");
    const std::unique_ptr<TDiagramNote> note = TfrmBaseMemoWizard::CreateNote();
    ASSERT_NE(note, nullptr);
    EXPECT_EQ(note->Text, "first line\nsecond line");
    answer("thrown away", "btnCancel");
    EXPECT_FALSE(TfrmBaseMemoWizard::EditNote(note.get()));
    EXPECT_EQ(note->Text, "first line\nsecond line");
    answer("kept", "btnOK");
    EXPECT_TRUE(TfrmBaseMemoWizard::EditNote(note.get()));
    EXPECT_EQ(note->Text, "kept");
}

// The table and note wizards driven by their controls' names, and the rules
// a table must meet before it reaches the page.
#include "dbtools/base_memo_wizard.h"
#include "dbtools/base_table_wizard.h"
#include "dbtools/oracle_identifier.h"
#include "model/diagram_note.h"
#include "model/model_hooks.h"
#include "model_builders.h"
#include "test_data.h"
#include "modal_dialog.h"

#include <QLabel>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QPushButton>

#include <gtest/gtest.h>

namespace {

QString XmlOf(const TDiagramTable &table)
{
    QStringList lines;
    table.WriteXML(lines, 0);
    return lines.join(QLatin1Char('\n'));
}

// The model reaches the wizards as the running program's hooks do.
struct TDialogWizards : IModelWizards {
    TDialogWizards() { TModelHooks::Wizards = this; }
    ~TDialogWizards() override { TModelHooks::Wizards = nullptr; }
    std::unique_ptr<TDiagramTable> CreateTable() override { return TfrmBaseTableWizard::CreateTable(); }
    void EditTable(TDiagramTable *table) override { TfrmBaseTableWizard::EditTable(table); }
    std::unique_ptr<TDiagramNote> CreateNote() override { return TfrmBaseMemoWizard::CreateNote(); }
    void EditNote(TDiagramNote *note) override { TfrmBaseMemoWizard::EditNote(note); }
};

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

    static TTableDraft ValidDraft()
    {
        TTableDraft draft;
        draft.Name = "EMP";
        draft.Owner = "SHOP";
        draft.Columns = {{"EMPNO", "NUMBER(4)", false, {}, {}}, {"ENAME", "VARCHAR2(10)", true, {}, "Name"},
                         {"DEPTNO", "NUMBER(2)", true, {}, {}}};
        draft.Keys = {{"EMP_PK", "PRIMARY", "EMPNO"}};
        draft.ForeignKeys = {{"EMP_DEPT_FK", "DEPTNO", "SHOP.DEPT", "", "CASCADE"}};
        draft.Checks = {{"EMP_CHK", "EMPNO > 0"}};
        draft.Indexes = {{"EMP_IDX", "NORMAL", "ENAME"}};
        return draft;
    }

    std::vector<const TDiagramTable *> Page() const { return {Dept, Lonely}; }

    TModelGlobalsGuard Globals;
    TDialogWizards Wizards;
    TDiagramTable *Dept = nullptr;
    TDiagramTable *Lonely = nullptr;
};

struct TDraftCase {
    const char *Label;
    std::function<void(TTableDraft &)> Change;
    const char *Message;
};

} // namespace

TEST_F(TableWizardTest, EveryRuleNamesWhatIsWrong)
{
    const QString longName = QString(31, QLatin1Char('A'));
    const std::vector<TDraftCase> cases = {
        {"empty table name", [](TTableDraft &d) { d.Name.clear(); }, "Table name is empty."},
        {"31 characters", [&](TTableDraft &d) { d.Name = longName; },
         "Table name \"AAAAAAAAAAAAAAAAAAAAAAAAAAAAAAA\" is longer than 30 characters."},
        {"digit first", [](TTableDraft &d) { d.Name = "1EMP"; },
         "Table name \"1EMP\" must begin with a letter; enclose it in double quotes to keep it as it is."},
        {"blank inside", [](TTableDraft &d) { d.Owner = "MY SHOP"; },
         "Owner \"MY SHOP\" may hold only letters, digits, _, $ and #; enclose it in double quotes to keep it "
         "as it is."},
        {"reserved", [](TTableDraft &d) { d.Name = "table"; },
         "Table name \"table\" is a reserved word; enclose it in double quotes to use it."},
        {"quote inside quotes", [](TTableDraft &d) { d.Name = "\"A\"B\""; },
         "Table name \"\"A\"B\"\" holds a double quote inside its quotes."},
        {"empty quotes", [](TTableDraft &d) { d.Name = "\"\""; }, "Table name is empty."},
        {"no columns", [](TTableDraft &d) { d.Columns.clear(); d.Keys.clear(); d.ForeignKeys.clear();
                                            d.Indexes.clear(); },
         "The table has no columns."},
        {"empty column name", [](TTableDraft &d) { d.Columns[1].Name.clear(); }, "Name of column 2 is empty. | Index \"EMP_IDX\" names column \"ENAME\", which the table does not have."},
        {"duplicate column", [](TTableDraft &d) { d.Columns[2].Name = "EMPNO"; },
         "Column \"EMPNO\" appears twice. | Foreign key \"EMP_DEPT_FK\" names column \"DEPTNO\", which the table "
         "does not have."},
        {"lower-case type", [](TTableDraft &d) { d.Columns[0].TypeText = "number(4)"; },
         "Column \"EMPNO\": \"number(4)\" is not a known data type."},
        {"empty type", [](TTableDraft &d) { d.Columns[0].TypeText.clear(); },
         "Column \"EMPNO\": the data type is empty."},
        {"unclosed", [](TTableDraft &d) { d.Columns[1].TypeText = "VARCHAR2(30"; },
         "Column \"ENAME\": \"VARCHAR2(30\" lacks its closing parenthesis."},
        {"not an integer", [](TTableDraft &d) { d.Columns[1].TypeText = "VARCHAR2(30 BYTE)"; },
         "Column \"ENAME\": '30 BYTE' is not a valid integer value"},
        {"empty scale", [](TTableDraft &d) { d.Columns[0].TypeText = "NUMBER(10,)"; },
         "Column \"EMPNO\": '' is not a valid integer value"},
        {"length on DATE", [](TTableDraft &d) { d.Columns[1].TypeText = "DATE(3)"; },
         "Column \"ENAME\": DATE takes no length or precision."},
        {"empty parentheses", [](TTableDraft &d) { d.Columns[1].TypeText = "CHAR()"; },
         "Column \"ENAME\": \"CHAR()\" has nothing between its parentheses."},
        {"VARCHAR2 without length", [](TTableDraft &d) { d.Columns[1].TypeText = "VARCHAR2"; },
         "Column \"ENAME\": VARCHAR2 needs a length, such as VARCHAR2(30)."},
        {"zero length", [](TTableDraft &d) { d.Columns[1].TypeText = "CHAR(0)"; },
         "Column \"ENAME\": the length in \"CHAR(0)\" must be at least 1."},
        {"precision 39", [](TTableDraft &d) { d.Columns[0].TypeText = "NUMBER(39)"; },
         "Column \"EMPNO\": the precision in \"NUMBER(39)\" must lie between 1 and 38."},
        {"precision 0", [](TTableDraft &d) { d.Columns[0].TypeText = "NUMBER(0,2)"; },
         "Column \"EMPNO\": the precision in \"NUMBER(0,2)\" must lie between 1 and 38."},
        {"scale 128", [](TTableDraft &d) { d.Columns[0].TypeText = "NUMBER(4,128)"; },
         "Column \"EMPNO\": the scale in \"NUMBER(4,128)\" must lie between -84 and 127."},
        {"key on no column", [](TTableDraft &d) { d.Keys[0].Columns = " , "; }, "Key \"EMP_PK\" names no column."},
        {"key on unknown column", [](TTableDraft &d) { d.Keys[0].Columns = "EMPNO,SAL"; },
         "Key \"EMP_PK\" names column \"SAL\", which the table does not have."},
        {"key column twice", [](TTableDraft &d) { d.Keys[0].Columns = "EMPNO,EMPNO"; },
         "Key \"EMP_PK\" names column \"EMPNO\" twice."},
        {"key kind", [](TTableDraft &d) { d.Keys[0].Kind = "FOREIGN"; },
         "Key \"EMP_PK\": kind \"FOREIGN\" must be PRIMARY or UNIQUE."},
        {"two primary keys", [](TTableDraft &d) { d.Keys.push_back({"EMP_PK2", "PRIMARY", "ENAME"}); },
         "The table has more than one primary key."},
        {"unnamed key", [](TTableDraft &d) { d.Keys[0].Name.clear(); }, "Name of key 1 is empty."},
        {"constraint name reused", [](TTableDraft &d) { d.Checks[0].Name = "EMP_PK"; },
         "Constraint name \"EMP_PK\" is used twice."},
        {"foreign key to no table", [](TTableDraft &d) { d.ForeignKeys[0].RefTable = "SHOP.DEPTS"; },
         "Foreign key \"EMP_DEPT_FK\" references \"SHOP.DEPTS\", which is not a table of this page."},
        {"foreign key to other owner", [](TTableDraft &d) { d.ForeignKeys[0].RefTable = "HR.DEPT"; },
         "Foreign key \"EMP_DEPT_FK\" references \"HR.DEPT\", which is not a table of this page."},
        {"foreign key to table without key", [](TTableDraft &d) { d.ForeignKeys[0].RefTable = "LONELY"; },
         "Foreign key \"EMP_DEPT_FK\" references table \"SHOP.LONELY\", which has no primary or unique key."},
        {"foreign key to no key columns", [](TTableDraft &d) { d.ForeignKeys[0].RefColumns = "DNAME"; },
         "Foreign key \"EMP_DEPT_FK\" references columns (DNAME), which are no primary or unique key of "
         "\"SHOP.DEPT\"."},
        {"foreign key column count", [](TTableDraft &d) { d.ForeignKeys[0].Columns = "DEPTNO,ENAME"; },
         "Foreign key \"EMP_DEPT_FK\" has 2 column(s) but references 1."},
        {"foreign key on no column", [](TTableDraft &d) { d.ForeignKeys[0].Columns.clear(); },
         "Foreign key \"EMP_DEPT_FK\" names no column."},
        {"delete rule", [](TTableDraft &d) { d.ForeignKeys[0].OnDelete = "RESTRICT"; },
         "Foreign key \"EMP_DEPT_FK\": delete rule \"RESTRICT\" must be empty, NO ACTION, CASCADE or SET NULL."},
        {"self reference without key", [](TTableDraft &d) { d.Keys.clear(); d.ForeignKeys[0].RefTable = "EMP"; },
         "Foreign key \"EMP_DEPT_FK\" references table \"SHOP.EMP\", which has no primary or unique key."},
        {"check without condition", [](TTableDraft &d) { d.Checks[0].Condition = "  "; },
         "Check constraint \"EMP_CHK\" has no condition."},
        {"index on no column", [](TTableDraft &d) { d.Indexes[0].Columns.clear(); },
         "Index \"EMP_IDX\" names no column."},
        {"index type", [](TTableDraft &d) { d.Indexes[0].Type = "HASH"; },
         "Index \"EMP_IDX\": type \"HASH\" must be NORMAL, BITMAP or UNIQUE."},
        {"index name twice", [](TTableDraft &d) { d.Indexes.push_back({"EMP_IDX", "BITMAP", "DEPTNO"}); },
         "Index name \"EMP_IDX\" is used twice."},
        {"index name empty", [](TTableDraft &d) { d.Indexes[0].Name.clear(); }, "Name of index 1 is empty."},
    };
    ASSERT_EQ(ValidDraft().Validate(Page()), QStringList());
    for (const TDraftCase &c : cases) {
        TTableDraft draft = ValidDraft();
        c.Change(draft);
        EXPECT_EQ(draft.Validate(Page()).join(" | ").toStdString(), c.Message) << c.Label;
    }
}

TEST_F(TableWizardTest, NamesAtTheLimitsAndSpecialFormsPass)
{
    const std::vector<std::function<void(TTableDraft &)>> accepted = {
        [](TTableDraft &d) { d.Name = QString(30, QLatin1Char('E')); },
        [](TTableDraft &d) { d.Name = "\"" + QString(30, QLatin1Char('e')) + "\""; },
        [](TTableDraft &d) { d.Name = "\"Order Lines\""; },
        [](TTableDraft &d) { d.Name = "E$#_1"; },
        [](TTableDraft &d) { d.Owner.clear(); d.ForeignKeys[0].RefTable = "DEPT"; },
        [](TTableDraft &d) { d.ForeignKeys[0].OnDelete = "set null"; },
        [](TTableDraft &d) { d.ForeignKeys[0].RefColumns = "DEPTNO"; },
        [](TTableDraft &d) { d.Columns[0].TypeText = "NUMBER(38,-84)"; },
        [](TTableDraft &d) { d.Columns[0].TypeText = "NUMBER(1,127)"; },
        [](TTableDraft &d) { d.Columns[1].TypeText = "CHAR(1)"; },
        [](TTableDraft &d) { d.Keys.push_back({"EMP_UK", "UNIQUE", "ENAME, DEPTNO"}); },
        [](TTableDraft &d) { d.ForeignKeys.push_back({"EMP_SELF_FK", "DEPTNO", "SHOP.EMP", "", ""}); },
    };
    for (size_t i = 0; i < accepted.size(); ++i) {
        TTableDraft draft = ValidDraft();
        accepted[i](draft);
        EXPECT_EQ(draft.Validate(Page()).join(" | ").toStdString(), "") << "case " << i;
    }
    EXPECT_EQ(TOracleIdentifier::Check("Owner", QString(31, QLatin1Char('a')).prepend('"').append('"')),
              "Owner \"\"" + QString(31, QLatin1Char('a')) + "\"\" is longer than 30 characters.");
}

TEST_F(TableWizardTest, CreateThroughTheDialogGivesTheExpectedTable)
{
    WhenModal([](QDialog &dialog) {
        EXPECT_EQ(Child<QLineEdit>(dialog, "edtName")->text(), "NEW_TABLE");
        EXPECT_FALSE(Child<QPushButton>(dialog, "btnOK")->isEnabled()); // no columns yet
        EXPECT_EQ(Child<QLabel>(dialog, "lblMessage")->text(), "The table has no columns.");
        Child<QLineEdit>(dialog, "edtName")->setText("EMP");
        Child<QLineEdit>(dialog, "edtOwner")->setText("SHOP");
        Child<QPlainTextEdit>(dialog, "memComment")->setPlainText("Employees");
        AddGridRow(dialog, "btnAddColumn", "sgdColumns", {"EMPNO", "NUMBER(4)", "<not null>"});
        AddGridRow(dialog, "btnAddColumn", "sgdColumns", {"ENAME", "VARCHAR2(10)", "<null>", "'?'", "Name"});
        AddGridRow(dialog, "btnAddColumn", "sgdColumns", {"DEPTNO", "NUMBER(2)"});
        AddGridRow(dialog, "btnAddKey", "sgdKeys", {"EMP_PK", "PRIMARY", "EMPNO"});
        AddGridRow(dialog, "btnAddForeignKey", "sgdForeignKeys", {"EMP_DEPT_FK", "DEPTNO", "SHOP.DEPT", "", "CASCADE"});
        AddGridRow(dialog, "btnAddCheck", "sgdChecks", {"EMP_CHK", "EMPNO > 0"});
        AddGridRow(dialog, "btnAddIndex", "sgdIndexes", {"EMP_IDX", "NORMAL", "ENAME"});
        EXPECT_EQ(Child<QLabel>(dialog, "lblMessage")->text(), "");
        Child<QPushButton>(dialog, "btnOK")->click();
    });
    TDiagramTable *table = CurrentModel->AddTableWithWizard();
    ASSERT_NE(table, nullptr);
    EXPECT_TRUE(table->IsVirtual);
    EXPECT_EQ(CurrentModel->Tables.Count(), 3);
    EXPECT_TRUE(CurrentModel->Owners.contains("SHOP"));
    EXPECT_EQ(table->Columns.GetColumn(1)->DefaultValue, "'?'");
    EXPECT_EQ(table->Columns.GetColumn(2)->Sequence, 3);
    EXPECT_EQ(table->ForeignKeys.GetForeignKey(0)->Table, table);
    EXPECT_EQ(table->ForeignKeys.GetForeignKey(0)->RefColumns, QStringList{"DEPTNO"});
    EXPECT_EQ(table->Indexes.GetIndex(0)->Owner, "SHOP");
    // The worked example of the table DDL, built through the dialog.
    expectGolden("ddl/emp_table.sql", table->GetDDL(true).toUtf8());
}

TEST_F(TableWizardTest, BadTypeKeepsOkDisabledUntilMended)
{
    WhenModal([](QDialog &dialog) {
        AddGridRow(dialog, "btnAddColumn", "sgdColumns", {"ID", "VARCHAR2(30 BYTE)"});
        auto *ok = Child<QPushButton>(dialog, "btnOK");
        EXPECT_FALSE(ok->isEnabled());
        EXPECT_EQ(Child<QLabel>(dialog, "lblMessage")->text(), "Column \"ID\": '30 BYTE' is not a valid integer value");
        Child<QTableWidget>(dialog, "sgdColumns")->item(0, 1)->setText("VARCHAR2(30)");
        EXPECT_TRUE(ok->isEnabled());
        Child<QPushButton>(dialog, "btnDeleteColumn")->click();
        EXPECT_FALSE(ok->isEnabled());
        Child<QPushButton>(dialog, "btnCancel")->click();
    });
    EXPECT_EQ(CurrentModel->AddTableWithWizard(), nullptr);
    EXPECT_EQ(CurrentModel->Tables.Count(), 2);
}

TEST_F(TableWizardTest, EditWorksOnACopy)
{
    AddColumn(*Lonely, "STAMP", "TIMESTAMP(6)");
    AddForeignKey(*Lonely, "LONELY_DEPT_FK", {"ID"}, "SHOP", "DEPT", {"DEPTNO"});
    Lonely->AddLinkPath("DEPT", "SHOP", 1, "LONELY_DEPT_FK");
    const QString before = XmlOf(*Lonely);

    WhenModal([](QDialog &dialog) {
        Child<QTableWidget>(dialog, "sgdColumns")->item(0, 0)->setText("CHANGED");
        Child<QLineEdit>(dialog, "edtName")->setText("RENAMED");
        Child<QPushButton>(dialog, "btnCancel")->click();
    });
    CurrentModel->EditTable(Lonely);
    EXPECT_EQ(XmlOf(*Lonely), before);

    WhenModal([](QDialog &dialog) {
        auto *columns = Child<QTableWidget>(dialog, "sgdColumns");
        EXPECT_EQ(columns->item(1, 1)->text(), "TIMESTAMP(6)");
        AddGridRow(dialog, "btnAddColumn", "sgdColumns", {"LABEL", "CHAR(3)"});
        AddGridRow(dialog, "btnAddKey", "sgdKeys", {"LONELY_PK", "PRIMARY", "ID"});
        auto *keys = Child<QTableWidget>(dialog, "sgdForeignKeys");
        keys->setCurrentCell(0, 0);
        Child<QPushButton>(dialog, "btnDeleteForeignKey")->click();
        Child<QPushButton>(dialog, "btnOK")->click();
    });
    CurrentModel->EditTable(Lonely);
    ASSERT_EQ(Lonely->Columns.Count(), 3);
    // The type the parser does not know survives an edit of other parts.
    EXPECT_EQ(Lonely->Columns.GetColumn(1)->DataType, "TIMESTAMP(6)");
    EXPECT_EQ(Lonely->Columns.GetColumn(2)->GetDataTypeText(), "CHAR(3)");
    EXPECT_EQ(Lonely->PrimaryKeys.Count(), 1);
    EXPECT_EQ(Lonely->ForeignKeys.Count(), 0);
    EXPECT_TRUE(Lonely->LinkPaths.empty());
    EXPECT_EQ(Lonely->Left, 10);
}

TEST_F(TableWizardTest, EditKeepsForeignKeysOnTheEditedTable)
{
    auto *emp = AddTable(*CurrentModel, "SHOP", "EMP", 40, 200);
    AddColumn(*emp, "DEPTNO", "NUMBER", 0, 2);
    AddForeignKey(*emp, "EMP_DEPT_FK", {"DEPTNO"}, "SHOP", "DEPT", {"DEPTNO"}, "CASCADE");
    emp->AddLinkPath("DEPT", "SHOP", 1, "EMP_DEPT_FK");
    WhenModal([](QDialog &dialog) {
        EXPECT_EQ(Child<QTableWidget>(dialog, "sgdForeignKeys")->item(0, 2)->text(), "SHOP.DEPT");
        Child<QPlainTextEdit>(dialog, "memComment")->setPlainText("Staff");
        Child<QPushButton>(dialog, "btnOK")->click();
    });
    CurrentModel->EditTable(emp);
    EXPECT_EQ(emp->Comment, "Staff");
    ASSERT_EQ(emp->ForeignKeys.Count(), 1);
    EXPECT_EQ(emp->ForeignKeys.GetForeignKey(0)->Table, emp);
    EXPECT_EQ(emp->ForeignKeys.GetForeignKey(0)->OnDelete, "CASCADE");
    EXPECT_EQ(emp->LinkPaths.size(), 1u);
    EXPECT_EQ(emp->Left, 40);
    EXPECT_EQ(emp->Top, 200);
}

TEST_F(TableWizardTest, NoteWizardCreatesEditsAndCancels)
{
    WhenModal([](QDialog &dialog) { Child<QPushButton>(dialog, "btnCancel")->click(); });
    EXPECT_EQ(CurrentModel->AddNoteWithWizard(), nullptr);
    EXPECT_EQ(CurrentModel->Notes.Count(), 0);

    WhenModal([](QDialog &dialog) {
        Child<QPlainTextEdit>(dialog, "memText")->setPlainText("first line\nsecond line");
        Child<QPushButton>(dialog, "btnOK")->click();
    });
    TDiagramNote *note = CurrentModel->AddNoteWithWizard();
    ASSERT_NE(note, nullptr);
    EXPECT_EQ(note->Text, "first line\nsecond line");
    EXPECT_EQ(note->Width, 200);

    WhenModal([](QDialog &dialog) {
        Child<QPlainTextEdit>(dialog, "memText")->setPlainText("thrown away");
        Child<QPushButton>(dialog, "btnCancel")->click();
    });
    CurrentModel->EditNote(note);
    EXPECT_EQ(note->Text, "first line\nsecond line");

    WhenModal([](QDialog &dialog) {
        EXPECT_EQ(Child<QPlainTextEdit>(dialog, "memText")->toPlainText(), "first line\nsecond line");
        Child<QPlainTextEdit>(dialog, "memText")->setPlainText("kept");
        Child<QPushButton>(dialog, "btnOK")->click();
    });
    CurrentModel->EditNote(note);
    EXPECT_EQ(note->Text, "kept");
}

// The table and note wizards driven by their controls' names, and the rules
// a table must meet before it reaches the page.
#include "dbtools/base_memo_wizard.h"
#include "dbtools/base_table_wizard.h"
#include "model/diagram_note.h"
#include "model/model_hooks.h"
#include "model_builders.h"
#include "test_data.h"
#include "modal_dialog.h"

#include <QLabel>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QRegularExpression>
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

// One change of a rules line: "Columns.1.Type=CHAR(0)", "Keys+=A/PRIMARY/B", "Keys-".
void Apply(TTableDraft &d, const QString &change)
{
    const QString list = change.section(QRegularExpression("[.+=-]"), 0, 0);
    if (change == list + '-') {
        list == "Columns" ? d.Columns.clear() : list == "Keys" ? d.Keys.clear()
            : list == "ForeignKeys" ? d.ForeignKeys.clear() : d.Indexes.clear();
        return;
    }
    const QString value = change.section('=', 1);
    if (change.startsWith(list + "+=")) {
        const QStringList v = value.split('/');
        list == "Keys" ? d.Keys.push_back({v[0], v[1], v[2]}) : list == "Indexes"
            ? d.Indexes.push_back({v[0], v[1], v[2]}) : d.ForeignKeys.push_back({v[0], v[1], v[2], v[3], v[4]});
        return;
    }
    const QStringList path = change.section('=', 0, 0).split('.');
    if (path.size() == 1) {
        (path[0] == "Name" ? d.Name : d.Owner) = value;
        return;
    }
    const size_t i = path[1].toUInt();
    const QString &f = path[2];
    if (list == "Columns")
        (f == "Name" ? d.Columns.at(i).Name : d.Columns.at(i).TypeText) = value;
    else if (list == "Keys")
        (f == "Name" ? d.Keys.at(i).Name : f == "Kind" ? d.Keys.at(i).Kind : d.Keys.at(i).Columns) = value;
    else if (list == "Checks")
        (f == "Name" ? d.Checks.at(i).Name : d.Checks.at(i).Condition) = value;
    else if (list == "Indexes")
        (f == "Name" ? d.Indexes.at(i).Name : f == "Type" ? d.Indexes.at(i).Type : d.Indexes.at(i).Columns) = value;
    else {
        TForeignKeyDraft &k = d.ForeignKeys.at(i);
        (f == "Name" ? k.Name : f == "Columns" ? k.Columns : f == "RefTable" ? k.RefTable
            : f == "RefColumns" ? k.RefColumns : k.OnDelete) = value;
    }
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
    TDialogWizards Wizards;
    TDiagramTable *Dept = nullptr;
    TDiagramTable *Lonely = nullptr;
};

} // namespace

TEST_F(TableWizardTest, EveryRuleNamesWhatIsWrong)
{
    TTableDraft valid;
    valid.Name = "EMP";
    valid.Owner = "SHOP";
    valid.Columns = {{"EMPNO", "NUMBER(4)", false, {}, {}}, {"ENAME", "VARCHAR2(10)", true, {}, "Name"},
                     {"DEPTNO", "NUMBER(2)", true, {}, {}}};
    valid.Keys = {{"EMP_PK", "PRIMARY", "EMPNO"}};
    valid.ForeignKeys = {{"EMP_DEPT_FK", "DEPTNO", "SHOP.DEPT", "", "CASCADE"}};
    valid.Checks = {{"EMP_CHK", "EMPNO > 0"}};
    valid.Indexes = {{"EMP_IDX", "NORMAL", "ENAME"}};
    const std::vector<const TDiagramTable *> page = {Dept, Lonely};
    ASSERT_EQ(valid.Validate(page), QStringList());
    int cases = 0;
    for (const QString &line : QString::fromUtf8(readTestFile("table_wizard_rules.txt")).split('\n')) {
        if (line.isEmpty() || line.startsWith('#'))
            continue;
        TTableDraft draft = valid;
        for (const QString &change : line.left(line.indexOf(" =>")).split(" ; "))
            Apply(draft, change);
        EXPECT_EQ(draft.Validate(page).join(" | "), line.mid(line.indexOf(" =>") + 3).trimmed()) << line.toStdString();
        ++cases;
    }
    EXPECT_EQ(cases, 56);
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
    AddForeignKey(*Lonely, "LONELY_DEPT_FK", {"ID"}, "SHOP", "DEPT", {"DEPTNO"}, "CASCADE");
    Lonely->AddLinkPath("DEPT", "SHOP", 1, "LONELY_DEPT_FK");
    Lonely->Left = 70;
    Lonely->Top = 130;
    const QString before = XmlOf(*Lonely);
    WhenModal([](QDialog &dialog) {
        Child<QTableWidget>(dialog, "sgdColumns")->item(0, 0)->setText("CHANGED");
        Child<QLineEdit>(dialog, "edtName")->setText("RENAMED");
        Child<QPushButton>(dialog, "btnCancel")->click();
    });
    CurrentModel->EditTable(Lonely);
    EXPECT_EQ(XmlOf(*Lonely), before);

    // An edit elsewhere keeps the foreign key on the edited table with its path.
    WhenModal([](QDialog &dialog) {
        EXPECT_EQ(Child<QTableWidget>(dialog, "sgdForeignKeys")->item(0, 2)->text(), "SHOP.DEPT");
        Child<QPlainTextEdit>(dialog, "memComment")->setPlainText("Staff");
        Child<QPushButton>(dialog, "btnOK")->click();
    });
    CurrentModel->EditTable(Lonely);
    EXPECT_EQ(Lonely->Comment, "Staff");
    ASSERT_EQ(Lonely->ForeignKeys.Count(), 1);
    EXPECT_EQ(Lonely->ForeignKeys.GetForeignKey(0)->Table, Lonely);
    EXPECT_EQ(Lonely->ForeignKeys.GetForeignKey(0)->OnDelete, "CASCADE");
    EXPECT_EQ(Lonely->LinkPaths.size(), 1u);

    WhenModal([](QDialog &dialog) {
        EXPECT_EQ(Child<QTableWidget>(dialog, "sgdColumns")->item(1, 1)->text(), "TIMESTAMP(6)");
        AddGridRow(dialog, "btnAddColumn", "sgdColumns", {"LABEL", "CHAR(3)"});
        AddGridRow(dialog, "btnAddKey", "sgdKeys", {"LONELY_PK", "PRIMARY", "ID"});
        Child<QTableWidget>(dialog, "sgdForeignKeys")->setCurrentCell(0, 0);
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
    EXPECT_EQ(QPoint(Lonely->Left, Lonely->Top), QPoint(70, 130));
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
    EXPECT_EQ(CurrentModel->AddNoteWithWizard(), nullptr);
    EXPECT_EQ(CurrentModel->Notes.Count(), 0);
    answer("first line\nsecond line", "btnOK");
    TDiagramNote *note = CurrentModel->AddNoteWithWizard();
    ASSERT_NE(note, nullptr);
    EXPECT_EQ(note->Text, "first line\nsecond line");
    EXPECT_EQ(note->Width, 200);
    answer("thrown away", "btnCancel");
    CurrentModel->EditNote(note);
    EXPECT_EQ(note->Text, "first line\nsecond line");
    answer("kept", "btnOK");
    CurrentModel->EditNote(note);
    EXPECT_EQ(note->Text, "kept");
}

// The database explorer on the sample database: every node code expands to
// its children, DDL and data queries open SQL editor windows.
#include "dbtools/db_object_tree.h"
#include "dbtools/sql_query_form.h"
#include "dbtools/window_registry.h"
#include "platform/fake_user_interface.h"
#include "query_wait.h"
#include "sample_database.h"
#include "test_data.h"

#include <QApplication>
#include <QPlainTextEdit>
#include <QPointer>
#include <QTableWidget>
#include <QTreeWidget>

#include <gtest/gtest.h>

namespace {

class RecordingRegistry : public IWindowRegistry {
public:
    void RegisterOpenWindow(QWidget *form) override
    {
        Captions << form->windowTitle();
        Forms << qobject_cast<TfrmSQLQuery *>(form);
    }
    void UnregisterOpenWindow(QWidget *form) override { ++Unregistered; }
    int NextWindowNumber() const override { return int(Captions.size()) + 1; }
    QStringList Captions;
    QList<QPointer<TfrmSQLQuery>> Forms;
    int Unregistered = 0;
};

class DBObjectTreeTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        TWindowRegistry::Current = &Registry;
        TDBObjectTree::BuildRoots(&Tree);
    }
    void TearDown() override
    {
        for (const QPointer<TfrmSQLQuery> &form : Registry.Forms)
            delete form.data();
        TWindowRegistry::Current = nullptr;
    }
    // The child of the node with the text, expanded.
    QTreeWidgetItem *Open(QTreeWidgetItem *node, const QString &text, const QString &filter = {})
    {
        for (int i = 0; node && i < node->childCount(); ++i) {
            if (node->child(i)->text(0) == text) {
                bool allow = false;
                TDBObjectTree::ExpandNode(node->child(i), allow, filter);
                EXPECT_TRUE(allow) << text.toStdString();
                return node->child(i);
            }
        }
        ADD_FAILURE() << "no node " << text.toStdString();
        return nullptr;
    }
    static QStringList Children(const QTreeWidgetItem *node)
    {
        QStringList texts;
        for (int i = 0; node && i < node->childCount(); ++i)
            texts << node->child(i)->text(0) + ":" + QString::number(TDBObjectTree::NodeCode(node->child(i)));
        return texts;
    }
    QTreeWidgetItem *Root() { return Tree.topLevelItem(0); }
    TfrmSQLQuery *LastWindow() { return Registry.Forms.isEmpty() ? nullptr : Registry.Forms.last().data(); }

    TSampleSessionScope Scope;
    TScopedFakeUserInterface Ui;
    RecordingRegistry Registry;
    QTreeWidget Tree;
};

} // namespace

TEST_F(DBObjectTreeTest, RootsAreTheCategoryFolders)
{
    ASSERT_EQ(Tree.topLevelItemCount(), 1);
    EXPECT_EQ(Root()->text(0), "Database Objects");
    EXPECT_EQ(Children(Root()),
              QStringList({"Tables:1", "Views:2", "Object Tables:15", "Types:17", "Packages:5", "Procedures:11",
                           "Functions:12", "Sequences:19", "Synonyms:21", "Users:24"}));
    for (int i = 0; i < Root()->childCount(); ++i)
        EXPECT_EQ(Root()->child(i)->childIndicatorPolicy(), QTreeWidgetItem::ShowIndicator);
}

// Each folder of the roots under one owner filter: its first child and count.
TEST_F(DBObjectTreeTest, FoldersListTheirObjectsForTheFilter)
{
    struct Case {
        QString Folder, Filter, First;
        int Count;
    };
    const Case cases[] = {
        {"Tables", "HR", "HR.COUNTRIES:3", 7},
        {"Views", "CO", "CO.CUSTOMER_ORDER_PRODUCTS:4", 4},
        {"Object Tables", "", "SHOP.CUSTOMERS_OT:16", 1},
        {"Types", "SHOP", "SHOP.ADDRESS_T:18", 4},
        {"Procedures", "HR", "HR.ADD_JOB_HISTORY:13", 2},
        {"Sequences", "HR", "HR.DEPARTMENTS_SEQ:20", 3},
        {"Synonyms", "SHOP", "SHOP.ITEMS:22", 1},
        {"Users", "HR", "CO:0", 6},
        {"Packages", "HR", "", 0},
        {"Functions", "", "", 0},
    };
    for (const Case &c : cases) {
        SCOPED_TRACE(c.Folder.toStdString());
        TDBObjectTree::BuildRoots(&Tree);
        const QStringList children = Children(Open(Root(), c.Folder, c.Filter));
        ASSERT_EQ(children.size(), c.Count);
        if (c.Count)
            EXPECT_EQ(children.first(), c.First);
    }
}

TEST_F(DBObjectTreeTest, ATableOpensIntoItsPartFolders)
{
    QTreeWidgetItem *employees = Open(Open(Root(), "Tables", "HR"), "HR.EMPLOYEES");
    EXPECT_EQ(Children(employees),
              QStringList({"Columns:35", "References with Foreign Key:30", "Referenced by Foreign Key:31",
                           "Indexes:32", "Check Constraints:37", "Triggers:25", "Grants:26", "Synonyms:29"}));
    struct Case {
        QString Folder;
        QStringList Children;
    };
    const Case cases[] = {
        {"References with Foreign Key", {"HR.DEPARTMENTS:3", "HR.EMPLOYEES:3", "HR.JOBS:3"}},
        {"Referenced by Foreign Key", {"HR.DEPARTMENTS:3", "HR.EMPLOYEES:3", "HR.JOB_HISTORY:3"}},
        {"Check Constraints",
         {"EMP_EMAIL_NN: \"EMAIL\" IS NOT NULL:0", "EMP_HIRE_DATE_NN: \"HIRE_DATE\" IS NOT NULL:0",
          "EMP_JOB_NN: \"JOB_ID\" IS NOT NULL:0", "EMP_LAST_NAME_NN: \"LAST_NAME\" IS NOT NULL:0",
          "EMP_SALARY_MIN: salary > 0:0"}},
        {"Triggers", {"HR.SECURE_EMPLOYEES:0", "HR.UPDATE_JOB_HISTORY:0"}},
        {"Grants", {}},
        {"Synonyms", {}},
    };
    for (const Case &c : cases)
        EXPECT_EQ(Children(Open(employees, c.Folder)), c.Children) << c.Folder.toStdString();
    const QStringList columns = Children(Open(employees, "Columns"));
    ASSERT_EQ(columns.size(), 11);
    EXPECT_EQ(columns.first(), "EMPLOYEE_ID NUMBER(6):0");
    EXPECT_EQ(columns[1], "FIRST_NAME VARCHAR2(20):0");
    QTreeWidgetItem *indexes = Open(employees, "Indexes");
    EXPECT_EQ(indexes->childCount(), 6);
    QTreeWidgetItem *nameIndex = Open(indexes, "HR.EMP_NAME_IX");
    EXPECT_EQ(Children(nameIndex), QStringList({"Columns:34"}));
    EXPECT_EQ(Children(Open(nameIndex, "Columns")), QStringList({"LAST_NAME:0", "FIRST_NAME:0"}));
}

TEST_F(DBObjectTreeTest, ViewsAndObjectsWithSynonymsAndDescendingIndexColumns)
{
    QTreeWidgetItem *view = Open(Open(Root(), "Views", "SHOP"), "SHOP.OPEN_ORDERS_V");
    EXPECT_EQ(Children(view), QStringList({"Columns:35", "Triggers:25", "Grants:26", "Synonyms:29"}));
    EXPECT_EQ(Children(Open(view, "Columns")),
              QStringList({"ORDER_ID NUMBER(10):0", "CUSTOMER_NO NUMBER(8):0", "ORDER_TIME TIMESTAMP(3):0"}));
    QTreeWidgetItem *lines = Open(Open(Root(), "Tables", "SHOP"), "SHOP.ORDER_LINES");
    EXPECT_EQ(Children(Open(lines, "Synonyms")), QStringList({"SHOP.ITEMS:22"}));
    QTreeWidgetItem *products = Open(Open(Root(), "Tables", "SHOP"), "SHOP.PRODUCTS");
    QTreeWidgetItem *index = Open(Open(products, "Indexes"), "SHOP.PRODUCTS_CAT_PRICE_IX");
    EXPECT_EQ(Children(Open(index, "Columns")), QStringList({"CATEGORY_ID:0", "SYS_NC00011$ DESC:0"}));
}

TEST_F(DBObjectTreeTest, OfflineOrFailingNothingExpands)
{
    QTreeWidgetItem *tables = Root()->child(0);
    Scope.Session->Disconnect();
    bool allow = true;
    TDBObjectTree::ExpandNode(tables, allow, "");
    EXPECT_FALSE(allow);
    EXPECT_EQ(tables->childCount(), 0);
    EXPECT_TRUE(Ui.Calls().isEmpty());
    TDBObjectTree::ExpandNode(nullptr, allow, "");
    EXPECT_FALSE(allow);
}

TEST_F(DBObjectTreeTest, DdlOfTablesOnTheStandInAndWhyOthersHaveNone)
{
    TDBObjectTree::GenerateDDL(TDBObjectTree::ncTable, "HR.REGIONS", "HR");
    TfrmSQLQuery *form = LastWindow();
    ASSERT_NE(form, nullptr);
    EXPECT_TRUE(form->ScriptMode());
    EXPECT_EQ(form->windowTitle(), "SQL Editor ~ 1");
    expectGolden("ddl/explorer_hr_regions.sql", form->SQLText().toUtf8());
    EXPECT_EQ(Registry.Captions, QStringList({"SQL Editor ~ 1"}));

    TDBObjectTree::GenerateDDL(TDBObjectTree::ncObjectTable, "SHOP.CUSTOMERS_OT", "");
    EXPECT_TRUE(LastWindow()->SQLText().simplified().startsWith("CREATE TABLE SHOP.CUSTOMERS_OT OF SHOP.CUSTOMER_T /"))
        << LastWindow()->SQLText().toStdString();

    struct Case {
        int Code;
        QString Name, Message;
    };
    const Case cases[] = {
        {TDBObjectTree::ncView, "HR.EMP_DETAILS_VIEW",
         "The DDL of the view HR.EMP_DETAILS_VIEW needs an Oracle server; the SQLite data dictionary holds the "
         "DDL of tables and object tables only."},
        {TDBObjectTree::ncSequence, "HR.EMPLOYEES_SEQ",
         "The DDL of the sequence HR.EMPLOYEES_SEQ needs an Oracle server; the SQLite data dictionary holds the "
         "DDL of tables and object tables only."},
        {TDBObjectTree::ncTable, "HR.VANISHED", "The table HR.VANISHED is not in the data dictionary."},
        {TDBObjectTree::ncColumnsFolder, "Columns", "There is no DDL for \"Columns\"."},
    };
    for (const Case &c : cases) {
        try {
            TDBObjectTree::GenerateDDL(c.Code, c.Name, "");
            ADD_FAILURE() << "no error for " << c.Name.toStdString();
        } catch (const std::exception &e) {
            EXPECT_EQ(QString::fromUtf8(e.what()), c.Message);
        }
    }
    EXPECT_EQ(Registry.Captions.size(), 2) << "no window without DDL";
}

TEST_F(DBObjectTreeTest, QueryDataRunsTheFirstRowsInANewWindow)
{
    QTreeWidgetItem *employees = Open(Open(Root(), "Tables", "HR"), "HR.EMPLOYEES");
    TDBObjectTree::QueryData(employees, "HR");
    TfrmSQLQuery *form = LastWindow();
    ASSERT_NE(form, nullptr);
    EXPECT_FALSE(form->ScriptMode());
    EXPECT_EQ(form->SQLText(), "select * \nfrom HR.EMPLOYEES \nwhere rownum <= 200");
    ASSERT_TRUE(WaitForQuery(form));
    auto *grid = form->findChild<QTableWidget *>("sgdResults");
    EXPECT_EQ(grid->rowCount(), 107);
    EXPECT_EQ(grid->columnCount(), 11);
    EXPECT_EQ(grid->item(0, 0)->text(), "100");

    // A sequence asks for its next value; the stand-in has none and says so.
    QTreeWidgetItem *sequence = Open(Root(), "Sequences", "HR")->child(0);
    TDBObjectTree::QueryData(sequence, "HR");
    form = LastWindow();
    EXPECT_EQ(form->SQLText(), "select HR.DEPARTMENTS_SEQ.nextval \nfrom dual");
    ASSERT_TRUE(WaitForQuery(form));
    EXPECT_EQ(Ui.CallsOf(TUserInterfaceCallKind::Error).size(), 1);

    // Folders query nothing.
    const int windows = int(Registry.Captions.size());
    TDBObjectTree::QueryData(Root()->child(0), "");
    EXPECT_EQ(Registry.Captions.size(), windows);
}

// The database explorer on the sample database: expansion, DDL and data.
#include "dbtools/db_object_tree.h"
#include "platform/fake_user_interface.h"
#include "query_wait.h"
#include "sample_database.h"
#include "test_data.h"

#include <QTreeWidget>

#include <gtest/gtest.h>

namespace {

class DBObjectTreeTest : public ::testing::Test {
protected:
    void SetUp() override { TDBObjectTree::BuildRoots(&Tree); }
    // The node expanded as indented lines of text and code, and all below it but
    // the tables a reference folder lists (they would open the schema again).
    QString Expand(QTreeWidgetItem *node, const QString &filter, int depth = 0, bool open = true)
    {
        bool allow = false;
        if (open)
            TDBObjectTree::ExpandNode(node, allow, filter);
        const int code = TDBObjectTree::NodeCode(node);
        QString text = QString(depth * 2, ' ') + node->text(0) + " :" + QString::number(code) +
                       (allow || !open ? "" : " (closed)") + "\n";
        for (int i = 0; i < node->childCount(); ++i)
            text += Expand(node->child(i), filter, depth + 1,
                           code != TDBObjectTree::ncReferencesFolder && code != TDBObjectTree::ncReferencedByFolder);
        return text;
    }
    QTreeWidgetItem *Root() { return Tree.topLevelItem(0); }
    // The first node of the text, depth first.
    QTreeWidgetItem *Node(const QString &text) { return Tree.findItems(text, Qt::MatchRecursive).value(0); }
    TfrmSQLQuery *LastWindow() { return qobject_cast<TfrmSQLQuery *>(Main.Open.value(Main.Open.size() - 1)); }

    TSampleSessionScope Scope;
    TScopedFakeUserInterface Ui;
    TWindowListStandIn Main;
    QTreeWidget Tree;
};

} // namespace

// The whole tree of each schema, and the users and object tables of all.
TEST_F(DBObjectTreeTest, EachSchemaExpandsAsItsGoldenFile)
{
    for (const QString owner : {"HR", "SHOP", ""}) {
        TDBObjectTree::BuildRoots(&Tree);
        const QString text = owner.isEmpty() ? Expand(Node("Object Tables"), owner) + Expand(Node("Users"), owner)
                                             : Expand(Root(), owner);
        expectGolden("dictionary/explorer_" + (owner.isEmpty() ? "all" : owner.toLower()) + ".txt", text.toUtf8());
    }
    EXPECT_EQ(Ui.Messages(), QStringList());
}

TEST_F(DBObjectTreeTest, OfflineOrFailingNothingExpands)
{
    Scope.Session->Disconnect();
    EXPECT_EQ(Expand(Root()->child(0), ""), "Tables :1 (closed)\n");
    EXPECT_TRUE(Ui.Calls().isEmpty());

    // A failing query closes its folder only, and says why.
    QTemporaryDir dir;
    DatabaseSession = OpenSampleSession("hr", SampleCopy(dir, "drop table ALL_TRIGGERS"));
    const QString text = Expand(Root(), "HR");
    EXPECT_EQ(text.count("\n"), 237 - 2) << "all of HR but its two triggers";
    EXPECT_EQ(text.count("Triggers :25 (closed)\n"), 8);
    EXPECT_EQ(Ui.Messages(), QStringList(8, "no such table: SYS.ALL_TRIGGERS"));
}

TEST_F(DBObjectTreeTest, DdlOnTheStandInAndWhyProgramUnitsHaveNone)
{
    Expand(Root(), "HR");
    TDBObjectTree::GenerateNodeDDL(Node("HR.REGIONS"), "HR");
    ASSERT_NE(LastWindow(), nullptr);
    EXPECT_TRUE(LastWindow()->ScriptMode());
    EXPECT_EQ(LastWindow()->windowTitle(), "SQL Editor ~ 1");
    expectGolden("ddl/explorer_hr_regions.sql", LastWindow()->SQLText().toUtf8());
    TDBObjectTree::GenerateDDL(TDBObjectTree::ncObjectTable, "SHOP.CUSTOMERS_OT", "");
    EXPECT_TRUE(LastWindow()->SQLText().simplified().startsWith("CREATE TABLE SHOP.CUSTOMERS_OT OF SHOP.CUSTOMER_T /"))
        << LastWindow()->SQLText().toStdString();

    // Views, types, sequences and synonyms from their dictionary rows.
    QString others;
    const std::pair<int, QString> objects[] = {
        {TDBObjectTree::ncView, "SHOP.OPEN_ORDERS_V"},   {TDBObjectTree::ncView, "HR.EMP_DETAILS_VIEW"},
        {TDBObjectTree::ncType, "SHOP.CUSTOMER_T"},      {TDBObjectTree::ncType, "SHOP.PHONE_LIST_T"},
        {TDBObjectTree::ncSequence, "HR.DEPARTMENTS_SEQ"}, {TDBObjectTree::ncSynonym, "SHOP.ITEMS"},
    };
    for (const auto &[code, name] : objects) {
        TDBObjectTree::GenerateDDL(code, name, "");
        EXPECT_TRUE(LastWindow()->ScriptMode());
        others += LastWindow()->SQLText() + "\n";
    }
    expectGolden("ddl/dictionary_objects.sql", others.toUtf8());

    const QString serverOnly = "needs an Oracle server; the SQLite data dictionary does not hold the source of "
                               "packages, procedures, functions and triggers.";
    const std::tuple<int, QString, QString> cases[] = {
        {TDBObjectTree::ncProcedure, "HR.ADD_JOB_HISTORY", "The DDL of the procedure HR.ADD_JOB_HISTORY " + serverOnly},
        {TDBObjectTree::ncView, "HR.NO_VIEW", "The view HR.NO_VIEW is not in the data dictionary."},
        {TDBObjectTree::ncSequence, "SHOP.NO_SEQ", "The sequence SHOP.NO_SEQ is not in the data dictionary."},
        {TDBObjectTree::ncType, "HR.ADDRESS_T", "The type HR.ADDRESS_T is not in the data dictionary."},
        {TDBObjectTree::ncSynonym, "HR.ITEMS", "The synonym HR.ITEMS is not in the data dictionary."},
        {TDBObjectTree::ncTable, "HR.VANISHED", "The table HR.VANISHED is not in the data dictionary."},
        {TDBObjectTree::ncObjectTable, "SHOP.PRODUCTS", "The table SHOP.PRODUCTS is not in the data dictionary."},
        {TDBObjectTree::ncColumnsFolder, "Columns", "There is no DDL for \"Columns\"."},
    };
    for (const auto &[code, name, message] : cases)
        EXPECT_EQ(ErrorOf([&] { TDBObjectTree::GenerateDDL(code, name, ""); }), message);
    EXPECT_EQ(Main.Open.size(), 8) << "no window without DDL";
}

TEST_F(DBObjectTreeTest, DdlOfTypeAndSynonymVariants)
{
    QTemporaryDir dir;
    auto session = OpenSampleSession("hr", SampleCopy(dir, readTestFile("sql/dictionary_object_cases.sql")));
    const std::pair<QString, QString> cases[] = {
        {"SHOP.ADDRESS_T", "  COUNTRY CHAR(2)\n) NOT FINAL NOT INSTANTIABLE\n/\n"},
        {"SHOP.HOME_ADDRESS_T", "TYPE SHOP.HOME_ADDRESS_T UNDER SHOP.ADDRESS_T\n/\n"},
        {"PUBLIC.SHOP_ITEMS", "CREATE OR REPLACE PUBLIC SYNONYM SHOP_ITEMS FOR SHOP.ORDER_LINES\n/\n"},
        {"SHOP.REMOTE_ITEMS", "CREATE OR REPLACE SYNONYM SHOP.REMOTE_ITEMS FOR SHOP.ORDER_LINES@BRANCH.EXAMPLE.COM\n/\n"},
    };
    for (const auto &[name, ending] : cases) {
        const QString ddl = TDBObjectTree::ObjectDDL(
            *session, name.endsWith("_T") ? TDBObjectTree::ncType : TDBObjectTree::ncSynonym, name);
        EXPECT_TRUE(ddl.endsWith(ending)) << ddl.toStdString();
    }
}

TEST_F(DBObjectTreeTest, QueryDataRunsTheFirstRowsInANewWindow)
{
    Expand(Root(), "HR");
    TDBObjectTree::QueryData(Node("HR.EMPLOYEES"), "HR");
    ASSERT_NE(LastWindow(), nullptr);
    EXPECT_FALSE(LastWindow()->ScriptMode());
    EXPECT_EQ(LastWindow()->SQLText(), "select * \nfrom HR.EMPLOYEES \nwhere rownum <= 200");
    ASSERT_TRUE(WaitForQuery(LastWindow()));
    EXPECT_EQ(GridRows(LastWindow()), 107);
    EXPECT_EQ(GridText(LastWindow(), 0, 0), "100");

    // A view answers; a sequence's next value the sample cannot give, and says so.
    const std::pair<QString, QString> cases[] = {
        {"HR.EMP_DETAILS_VIEW", "select * \nfrom HR.EMP_DETAILS_VIEW \nwhere rownum <= 200"},
        {"HR.DEPARTMENTS_SEQ", "select HR.DEPARTMENTS_SEQ.nextval \nfrom dual"},
    };
    for (const auto &[path, sql] : cases) {
        TDBObjectTree::QueryData(Node(path), "HR");
        EXPECT_EQ(LastWindow()->SQLText(), sql);
        ASSERT_TRUE(WaitForQuery(LastWindow()));
    }
    EXPECT_EQ(GridRows(LastWindow()), 0);
    EXPECT_EQ(Ui.Messages(), QStringList{"The sample database cannot give HR.DEPARTMENTS_SEQ.nextval: it keeps no sequences."});
    // Folders query nothing.
    TDBObjectTree::QueryData(Root()->child(0), "");
    EXPECT_EQ(Main.Open.size(), 3);
}

TEST_F(DBObjectTreeTest, QueryDataQuotesNamesThatNeedIt)
{
    QTreeWidgetItem sequence({"HR.o'neil_seq"});
    sequence.setData(0, Qt::UserRole, TDBObjectTree::ncSequence);
    TDBObjectTree::QueryData(&sequence, "HR");
    EXPECT_EQ(LastWindow()->SQLText(), "select HR.\"o'neil_seq\".nextval \nfrom dual");
    ASSERT_TRUE(WaitForQuery(LastWindow()));
    TDBObjectTree::QueryTableData("HR.O'NEIL", "HR");
    EXPECT_EQ(LastWindow()->SQLText(), "select * \nfrom HR.\"O'NEIL\" \nwhere rownum <= 200");
    ASSERT_TRUE(WaitForQuery(LastWindow()));
}

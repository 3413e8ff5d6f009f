// The database explorer on the sample database: every node code expands to
// its children, DDL and data queries open SQL editor windows.
#include "dbtools/db_object_tree.h"
#include "dbtools/window_registry.h"
#include "platform/fake_user_interface.h"
#include "query_wait.h"
#include "sample_database.h"
#include "test_data.h"

#include <QPointer>
#include <QTableWidget>
#include <QTreeWidget>

#include <gtest/gtest.h>

namespace {

class RecordingRegistry : public IWindowRegistry {
public:
    void RegisterOpenWindow(QWidget *form) override { Forms << qobject_cast<TfrmSQLQuery *>(form); }
    void UnregisterOpenWindow(QWidget *) override {}
    int NextWindowNumber() const override { return int(Forms.size()) + 1; }
    QList<QPointer<TfrmSQLQuery>> Forms;
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
    // Expands the node and, below it, every node but the tables a reference
    // folder lists (they would open the schema again), as indented lines of
    // text and code.
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
    QTreeWidgetItem *Find(const QString &path)
    {
        QTreeWidgetItem *node = Root();
        for (const QString &text : path.split('/')) {
            bool allow = false;
            TDBObjectTree::ExpandNode(node, allow, "");
            for (int i = 0; i < node->childCount(); ++i)
                if (node->child(i)->text(0) == text) {
                    node = node->child(i);
                    break;
                }
        }
        return node;
    }
    TfrmSQLQuery *LastWindow() { return Registry.Forms.isEmpty() ? nullptr : Registry.Forms.last().data(); }

    TSampleSessionScope Scope;
    TScopedFakeUserInterface Ui;
    RecordingRegistry Registry;
    QTreeWidget Tree;
};

} // namespace

// The whole tree of each schema, and the users and object tables of all.
TEST_F(DBObjectTreeTest, EachSchemaExpandsAsItsGoldenFile)
{
    for (const QString owner : {"HR", "SHOP", ""}) {
        TDBObjectTree::BuildRoots(&Tree);
        const QString text = owner.isEmpty() ? Expand(Find("Object Tables"), owner) + Expand(Find("Users"), owner)
                                             : Expand(Root(), owner);
        expectGolden("dictionary/explorer_" + (owner.isEmpty() ? "all" : owner.toLower()) + ".txt", text.toUtf8());
    }
    EXPECT_EQ(Ui.Messages(), QStringList());
}

TEST_F(DBObjectTreeTest, OfflineOrFailingNothingExpands)
{
    QTreeWidgetItem *tables = Root()->child(0);
    Scope.Session->Disconnect();
    bool allow = true;
    TDBObjectTree::ExpandNode(tables, allow, "");
    EXPECT_FALSE(allow);
    EXPECT_EQ(tables->childCount(), 0);
    TDBObjectTree::ExpandNode(nullptr, allow, "");
    EXPECT_TRUE(Ui.Calls().isEmpty());

    QTemporaryDir dir;
    DatabaseSession = OpenSampleSession("hr", SampleCopy(dir, "drop table ALL_TRIGGERS"));
    QTreeWidgetItem *triggers = Find("Tables/HR.JOBS/Triggers");
    ASSERT_EQ(triggers->text(0), "Triggers");
    TDBObjectTree::ExpandNode(triggers, allow, "");
    EXPECT_FALSE(allow);
    EXPECT_EQ(triggers->childCount(), 0);
    EXPECT_EQ(Ui.Messages(), QStringList({"no such table: SYS.ALL_TRIGGERS"}));
}

TEST_F(DBObjectTreeTest, DdlOfTablesOnTheStandInAndWhyOthersHaveNone)
{
    TDBObjectTree::GenerateNodeDDL(Find("Tables/HR.REGIONS"), "HR");
    ASSERT_NE(LastWindow(), nullptr);
    EXPECT_TRUE(LastWindow()->ScriptMode());
    EXPECT_EQ(LastWindow()->windowTitle(), "SQL Editor ~ 1");
    expectGolden("ddl/explorer_hr_regions.sql", LastWindow()->SQLText().toUtf8());
    TDBObjectTree::GenerateDDL(TDBObjectTree::ncObjectTable, "SHOP.CUSTOMERS_OT", "");
    EXPECT_TRUE(LastWindow()->SQLText().simplified().startsWith("CREATE TABLE SHOP.CUSTOMERS_OT OF SHOP.CUSTOMER_T /"))
        << LastWindow()->SQLText().toStdString();

    const QString serverOnly = "needs an Oracle server; the SQLite data dictionary holds the DDL of tables and "
                               "object tables only.";
    const std::tuple<int, QString, QString> cases[] = {
        {TDBObjectTree::ncView, "HR.EMP_DETAILS_VIEW", "The DDL of the view HR.EMP_DETAILS_VIEW " + serverOnly},
        {TDBObjectTree::ncSequence, "HR.EMPLOYEES_SEQ", "The DDL of the sequence HR.EMPLOYEES_SEQ " + serverOnly},
        {TDBObjectTree::ncType, "SHOP.ADDRESS_T", "The DDL of the type SHOP.ADDRESS_T " + serverOnly},
        {TDBObjectTree::ncTable, "HR.VANISHED", "The table HR.VANISHED is not in the data dictionary."},
        {TDBObjectTree::ncObjectTable, "SHOP.PRODUCTS", "The table SHOP.PRODUCTS is not in the data dictionary."},
        {TDBObjectTree::ncColumnsFolder, "Columns", "There is no DDL for \"Columns\"."},
    };
    for (const auto &[code, name, message] : cases)
        EXPECT_EQ(ErrorOf([&] { TDBObjectTree::GenerateDDL(code, name, ""); }), message);
    EXPECT_EQ(Registry.Forms.size(), 2) << "no window without DDL";
}

TEST_F(DBObjectTreeTest, QueryDataRunsTheFirstRowsInANewWindow)
{
    TDBObjectTree::QueryData(Find("Tables/HR.EMPLOYEES"), "HR");
    ASSERT_NE(LastWindow(), nullptr);
    EXPECT_FALSE(LastWindow()->ScriptMode());
    EXPECT_EQ(LastWindow()->SQLText(), "select * \nfrom HR.EMPLOYEES \nwhere rownum <= 200");
    ASSERT_TRUE(WaitForQuery(LastWindow()));
    auto *grid = LastWindow()->findChild<QTableWidget *>("sgdResults");
    EXPECT_EQ(grid->rowCount(), 107);
    EXPECT_EQ(grid->item(0, 0)->text(), "100");

    // A view's and a sequence's rows: the stand-in has none and says so.
    const std::pair<QString, QString> cases[] = {
        {"Views/HR.EMP_DETAILS_VIEW", "select * \nfrom HR.EMP_DETAILS_VIEW \nwhere rownum <= 200"},
        {"Sequences/HR.DEPARTMENTS_SEQ", "select HR.DEPARTMENTS_SEQ.nextval \nfrom dual"},
    };
    for (const auto &[path, sql] : cases) {
        TDBObjectTree::QueryData(Find(path), "HR");
        EXPECT_EQ(LastWindow()->SQLText(), sql);
        ASSERT_TRUE(WaitForQuery(LastWindow()));
    }
    EXPECT_EQ(Ui.CallsOf(TUserInterfaceCallKind::Error).size(), 2);
    // Folders query nothing.
    TDBObjectTree::QueryData(Root()->child(0), "");
    EXPECT_EQ(Registry.Forms.size(), 3);
}

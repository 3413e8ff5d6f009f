// The explorers on the sample database: the Entities list and the database
// explorer with their popups, double clicks and drags, the owner filters, and
// the model tree selecting on the diagram.
#include "shell_fixture.h"

#include "canvas/drag_objects.h"
#include "canvas/os_graphic.h"
#include "dbtools/sql_query_form.h"
#include "model/diagram_table.h"
#include "sample_database.h"

class ExplorersTest : public ShellFixture {
protected:
    void SetUp() override
    {
        ShellFixture::SetUp();
        TLoginManager::SetSessionFactory([](const TLogonValues &) { return OpenSampleSession("shop"); });
        StartWithCanvas({"shop/shop@sample"});
        Entities = Find<QTreeWidget>("lvwTables");
        Objects = Find<QTreeWidget>("tvwDBObjects");
    }

    void TearDown() override
    {
        // A query still running would report into the next test.
        for (const auto &entry : Form->OpenWindows())
            if (auto *sql = qobject_cast<TfrmSQLQuery *>(entry->Form.data()))
                sql->CancelQuery();
        ShellFixture::TearDown();
    }

    QTreeWidgetItem *Node(QTreeWidget *tree, const QString &text) const
    {
        const auto found = tree->findItems(text, Qt::MatchExactly | Qt::MatchRecursive);
        return found.isEmpty() ? nullptr : found.first();
    }

    static QStringList Texts(const QMenu *menu)
    {
        QStringList texts;
        for (const QAction *a : menu->actions())
            texts << a->text() + (menu->defaultAction() == a ? "*" : "");
        return texts;
    }

    static QStringList Names(const TDragObjects &objects)
    {
        QStringList names;
        for (const auto &o : objects.Items)
            names << o->Owner + "." + o->Name + ":" + QString::number(o->Kind);
        return names;
    }

    // The SQL windows opened so far, as "script|" or "query|" and their text.
    QStringList SqlWindows() const
    {
        QStringList texts;
        for (const auto &entry : Form->OpenWindows())
            if (auto *sql = qobject_cast<TfrmSQLQuery *>(entry->Form.data()))
                texts << QString(sql->ScriptMode() ? "script|" : "query|") + sql->SQLText();
        return texts;
    }

    void ExpectNoBoxCoversAnother() const
    {
        QList<QRect> boxes;
        const auto add = [&](const auto &list) {
            for (const auto *o : list)
                boxes << QRect(o->Left, o->Top, o->Width, o->Height);
        };
        add(CurrentModel->Tables), add(CurrentModel->ObjectTables), add(CurrentModel->Types);
        for (int i = 0; i < boxes.size(); ++i)
            for (int j = i + 1; j < boxes.size(); ++j)
                EXPECT_FALSE(boxes[i].intersects(boxes[j])) << i << " " << j;
    }

    QTreeWidget *Entities = nullptr;
    QTreeWidget *Objects = nullptr;
};

// The object count shows from the first logon on, and after a logon from the menu.
TEST_F(ExplorersTest, TheObjectCountShowsAfterEveryLogon)
{
    EXPECT_EQ(Form->StatusPanelText(1), "0 Object(s)");
    Entities->setCurrentItem(Node(Entities, "SHOP.ORDERS"));
    Find<QMenu>("mnuEntitiesExplorer")->defaultAction()->trigger();
    Form->Action("actLogOff")->trigger();
    TLoginManager::SetLogonPrompt([](TLogonValues &, int) { return true; });
    Form->Action("actLogOn")->trigger();
    EXPECT_TRUE(Form->windowTitle().startsWith("Marrowtide -  shop@"));
    EXPECT_EQ(Form->StatusPanelText(1), "1 Object(s)");
}

TEST_F(ExplorersTest, EntitiesOfferByKindAndAddTheSelectionInListOrderAtGrowingOffsets)
{
    EXPECT_EQ(Find<QComboBox>("cboTableOwners")->currentText(), "SHOP");
    auto *popup = Find<QMenu>("mnuEntitiesExplorer");
    const QStringList all = {"&Add to diagram*", "&Generate DDL...", "&Query Data..."};
    for (auto [name, items] : {std::pair{"SHOP.ADDRESS_T", all.mid(0, 2)}, std::pair{"SHOP.CUSTOMERS_OT", all},
                               std::pair{"SHOP.ORDERS", all}}) {
        Entities->setCurrentItem(Node(Entities, name));
        EXPECT_EQ(Texts(popup), items) << name;
    }
    Entities->clearSelection();
    EXPECT_TRUE(popup->isEmpty());

    // Chosen last to first: the list's order still decides.
    for (const char *name : {"SHOP.ORDERS", "SHOP.CUSTOMERS_OT", "SHOP.CATEGORIES"})
        Node(Entities, name)->setSelected(true);
    EXPECT_EQ(Names(*Form->EntitiesDragObjects()),
              QStringList({"SHOP.CATEGORIES:0", "SHOP.CUSTOMERS_OT:1", "SHOP.ORDERS:0"}));
    popup->defaultAction()->trigger();
    ASSERT_EQ(CurrentModel->Tables.Count(), 2);
    ASSERT_EQ(CurrentModel->ObjectTables.Count(), 1);
    const TBaseDiagramRectangle *boxes[] = {CurrentModel->Tables.GetTable(0), CurrentModel->ObjectTables.GetObjectTable(0),
                                            CurrentModel->Tables.GetTable(1)};
    // The first where it was wanted; the others, wanted on top of it, beside.
    EXPECT_EQ(QPoint(boxes[0]->Left, boxes[0]->Top), QPoint(20, 20));
    for (int i = 0; i < 3; ++i) {
        EXPECT_NE(TOSGraphic::BoxOf(boxes[i]), nullptr) << i;
        EXPECT_GT(boxes[i]->Height, 20) << i;
    }
    ExpectNoBoxCoversAnother();
    EXPECT_EQ(boxes[2]->Name, "ORDERS");

    Entities->setCurrentItem(Node(Entities, "SHOP.ORDERS"));
    Find<QAction>("mniEntitiesGenerateDDL")->trigger();
    Find<QAction>("mniEntitiesQueryData")->trigger();
    const QStringList windows = SqlWindows();
    ASSERT_EQ(windows.size(), 2) << Ui.Messages().join('|').toStdString();
    EXPECT_TRUE(windows[0].startsWith("script|") && windows[1].startsWith("query|"));
    EXPECT_EQ(windows.filter("ORDERS").size(), 2);
}

TEST_F(ExplorersTest, DatabasePopupFollowsTheNodeCodeAndItsDefaultIsTheDoubleClick)
{
    const std::map<QString, QChar> letters = {{"&Refresh", 'R'},        {"Generate &DDL...*", 'D'},
                                              {"&Add to diagram", 'A'}, {"&Query Data...", 'Q'},
                                              {"&Add all to diagram", 'L'}};
    auto *popup = Find<QMenu>("mnuDBExplorer");
    for (const QStringList &f : readTestTable("shell/db_explorer_popup.txt")) {
        const int code = f.value(0).toInt();
        auto *node = new QTreeWidgetItem(Objects, {"SHOP.NOTHING"});
        node->setData(0, Qt::UserRole, code);
        Objects->setCurrentItem(node);
        QString got;
        for (const QString &text : Texts(popup))
            got += letters.count(text) ? letters.at(text) : QChar('?');
        EXPECT_EQ(got, f.value(1) == "-" ? "" : f.value(1)) << code;
        delete node;
    }
    Objects->setCurrentItem(Node(Objects, "Tables"));
    Objects->setCurrentItem(nullptr);
    EXPECT_TRUE(popup->isEmpty());

    // A folder's double click generates nothing; a table's shows its DDL.
    Objects->setCurrentItem(Node(Objects, "Tables"));
    Node(Objects, "Tables")->setExpanded(true);
    Form->tvwDBObjectsDblClick();
    Objects->setCurrentItem(Node(Objects, "SHOP.CATEGORIES"));
    Form->tvwDBObjectsDblClick();
    const QStringList windows = SqlWindows();
    ASSERT_EQ(windows.size(), 1) << Ui.Messages().join('|').toStdString();
    EXPECT_TRUE(windows[0].startsWith("script|") && windows[0].contains("CATEGORIES"));
}

TEST_F(ExplorersTest, DatabaseNodesDragInSelectionOrderAndAddAllAddsEachTableOnceBesideTheOthers)
{
    Node(Objects, "Tables")->setExpanded(true);
    Node(Objects, "Object Tables")->setExpanded(true);
    for (const char *name : {"SHOP.PRODUCTS", "Tables", "SHOP.CUSTOMERS_OT", "SHOP.CATEGORIES"})
        Node(Objects, name)->setSelected(true);
    EXPECT_EQ(Names(*Form->DBObjectsDragObjects()),
              QStringList({"SHOP.PRODUCTS:0", "SHOP.CUSTOMERS_OT:1", "SHOP.CATEGORIES:0"}));
    Node(Objects, "SHOP.PRODUCTS")->setSelected(false);
    EXPECT_EQ(Names(*Form->DBObjectsDragObjects()), QStringList({"SHOP.CUSTOMERS_OT:1", "SHOP.CATEGORIES:0"}));

    QTreeWidgetItem *lines = Node(Objects, "SHOP.ORDER_LINES");
    lines->setExpanded(true);
    QTreeWidgetItem *references = Node(Objects, "References with Foreign Key");
    ASSERT_NE(references, nullptr);
    Objects->setCurrentItem(references);
    TRecordingConsole console;
    Find<QAction>("mniDBAddAll")->trigger();
    EXPECT_TRUE(Ui.Messages().isEmpty()) << Ui.Messages().join('|').toStdString();
    EXPECT_EQ(console.Lines.filter("from SYS.ALL_TAB_COLUMNS").size(), 1) << "the tables are read together";
    ASSERT_GE(references->childCount(), 2);
    ASSERT_EQ(CurrentModel->Tables.Count(), references->childCount());
    ExpectNoBoxCoversAnother();
    EXPECT_TRUE(console.Lines.filter("already on the page").isEmpty());

    // Again, with ORDERS' own references: ORDERS is there, its customers are
    // an object table.
    Find<QAction>("mniDBAddAll")->trigger();
    EXPECT_EQ(console.Lines.filter("already on the page").size(), 1);
    QTreeWidgetItem *orders = Node(Objects, "SHOP.ORDERS");
    orders->setExpanded(true);
    QTreeWidgetItem *ordersReferences = orders->child(1);
    ASSERT_EQ(ordersReferences->text(0), "References with Foreign Key");
    Objects->setCurrentItem(ordersReferences);
    Find<QAction>("mniDBAddAll")->trigger();
    EXPECT_TRUE(Ui.Messages().isEmpty()) << Ui.Messages().join('|').toStdString();
    ASSERT_EQ(CurrentModel->ObjectTables.Count(), 1);
    EXPECT_EQ(CurrentModel->ObjectTables.GetObjectTable(0)->Name, "CUSTOMERS_OT");
    EXPECT_EQ(Form->StatusPanelText(1), QString("%1 Object(s)").arg(references->childCount() + 1));
    ExpectNoBoxCoversAnother();
}

TEST_F(ExplorersTest, TheDatabaseOwnerFilterCarriesTheEntitiesAlong)
{
    auto *objOwners = Find<QComboBox>("cboObjOwners");
    objOwners->setCurrentIndex(objOwners->findText("HR"));
    emit objOwners->activated(objOwners->currentIndex());
    EXPECT_EQ(Find<QComboBox>("cboTableOwners")->currentText(), "HR");
    EXPECT_EQ(Preferences->LastFilter, "HR");
    EXPECT_NE(Node(Entities, "HR.EMPLOYEES"), nullptr);
    EXPECT_EQ(Node(Entities, "SHOP.ORDERS"), nullptr);
    EXPECT_EQ(Objects->topLevelItem(0)->text(0), "Database Objects");
}

TEST_F(ExplorersTest, TheModelTreeSelectsOnTheDiagramWithoutBeingMovedBack)
{
    for (const char *name : {"SHOP.ORDERS", "SHOP.ADDRESS_T"})
        Node(Entities, name)->setSelected(true);
    Form->lvwTablesDblClick();
    TDiagramTable *orders = CurrentModel->Tables.GetTable(0);
    auto *tree = Find<QTreeWidget>("tvwModel");
    QTreeWidgetItem *table = Node(tree, "SHOP.ORDERS");
    ASSERT_NE(table, nullptr);
    QTreeWidgetItem *column = table->child(0)->child(0);
    tree->setCurrentItem(column);
    EXPECT_EQ(SelectedGraphics->Count(), 1);
    EXPECT_TRUE(SelectedGraphics->Contains(orders));
    EXPECT_EQ(tree->currentItem(), column);
    EXPECT_EQ(Form->ModelTreePopup(), nullptr);

    tree->setCurrentItem(table);
    ASSERT_NE(Form->ModelTreePopup(), nullptr);
    EXPECT_EQ(Form->ModelTreePopup()->objectName(), "DiagramMenu");
    tree->setCurrentItem(tree->topLevelItem(0));
    EXPECT_EQ(Form->ModelTreePopup(), Find<QMenu>("mnuModelExp"));

    SelectedGraphics->Clear();
    tree->setCurrentItem(Node(tree, "SHOP.ADDRESS_T"));
    EXPECT_EQ(SelectedGraphics->Count(), 0);
    EXPECT_EQ(Form->ModelTreePopup(), nullptr);
}

TEST_F(ExplorersTest, ScriptsOpenInScriptWindowsAndTheDeltaNeedsASession)
{
    Node(Entities, "SHOP.CATEGORIES")->setSelected(true);
    Form->lvwTablesDblClick();
    for (const char *command : {"actGenerateModelDDL", "actGenDeltaDDL", "actSQLEditor", "actSQLScriptEditor"})
        Form->Action(command)->trigger();
    const QStringList windows = SqlWindows();
    ASSERT_EQ(windows.size(), 4) << Ui.Messages().join('|').toStdString();
    EXPECT_TRUE(windows[0].startsWith("script|") && windows[0].contains("CATEGORIES")) << windows[0].toStdString();
    EXPECT_EQ(windows.mid(1), QStringList({"script|/* no differences found */", "query|", "script|"}));

    Form->Action("actLogOff")->trigger();
    EXPECT_FALSE(Form->Action("actGenDeltaDDL")->isEnabled());
    ShowExceptions([this] { Form->actGenDeltaDDLExecute(); });
    EXPECT_EQ(Ui.Messages(), QStringList({"Not connected to a database."}));
    EXPECT_EQ(SqlWindows().size(), 4);
}

// "*" opens a table with all its parts but only lists the tables its
// references name: EMPLOYEES references itself and would open without end.
TEST_F(ExplorersTest, ExpandAllStopsAtTheTablesOfReferences)
{
    auto *objOwners = Find<QComboBox>("cboObjOwners");
    objOwners->setCurrentIndex(objOwners->findText("HR"));
    emit objOwners->activated(objOwners->currentIndex());
    Node(Objects, "Tables")->setExpanded(true);
    QTreeWidgetItem *employees = Node(Objects, "HR.EMPLOYEES");
    employees->setExpanded(true);
    Objects->setCurrentItem(employees);
    QKeyEvent star(QEvent::KeyPress, Qt::Key_Asterisk, Qt::NoModifier, "*");
    QCoreApplication::sendEvent(Objects, &star);
    QStringList shown;
    for (QTreeWidgetItemIterator it(employees); *it && (*it == employees || (*it)->parent() != employees->parent());
         ++it)
        shown << (*it)->text(0) + ((*it)->isExpanded() ? "+" : "");
    EXPECT_EQ(shown.size(), 52) << shown.join('|').toStdString();
    EXPECT_TRUE(shown.join('|').contains("Columns+|EMPLOYEE_ID NUMBER(6)|"));
    EXPECT_TRUE(shown.join('|').contains("References with Foreign Key+|HR.DEPARTMENTS|HR.EMPLOYEES|HR.JOBS|"))
        << shown.join('|').toStdString();
    EXPECT_TRUE(Ui.Messages().isEmpty()) << Ui.Messages().join('|').toStdString();
}

// A session that loses its database puts the window offline as Log Off does.
TEST_F(ExplorersTest, ALostConnectionGoesOffline)
{
    QTemporaryDir dir;
    DatabaseSession = OpenSampleSession("shop", SampleCopy(dir, ""));
    QFile::remove(dir.filePath("dict.db"));
    Node(Objects, "Tables")->setExpanded(true);
    EXPECT_EQ(Ui.Messages(), QStringList({"The database file \"" + dir.filePath("dict.db") +
                                          "\" is gone.\nThe connection to the database is lost; working offline."}));
    QCoreApplication::processEvents();
    EXPECT_EQ(Form->windowTitle(), "Marrowtide -  OffLine");
    EXPECT_FALSE(Form->Action("actLogOff")->isEnabled());
    EXPECT_TRUE(Objects->topLevelItem(0)->isDisabled());
    EXPECT_TRUE(ConsoleForm->Lines().contains("The connection to the database is lost, working offline."));
}

// Tables read together for "Add all to diagram" make the same page as the
// same tables added one at a time, names that need quotes included.
TEST_F(ExplorersTest, AddAllGivesThePageOfAddingOneByOne)
{
    QTemporaryDir dir;
    DatabaseSession = OpenSampleSession("shop", SampleCopy(dir, R"(
        insert into ALL_TABLES values ('SHOP', 'O''NEIL', 'USERS', 'NO', null, 'N', 'NO');
        insert into ALL_TAB_COMMENTS values ('SHOP', 'O''NEIL', 'TABLE', 'It''s */ here');
        insert into ALL_TAB_COLUMNS values
            ('SHOP', 'O''NEIL', 'ID', 'NUMBER', null, null, 22, 6, 0, 'N', 1, null, 0, null),
            ('SHOP', 'O''NEIL', 'Nick', 'NVARCHAR2', null, null, 40, null, null, 'Y', 2, null, 20, 'C');
        insert into ALL_CONSTRAINTS values
            ('SHOP', 'O''NEIL_PK', 'P', 'O''NEIL', null, null, null, null, 'ENABLED', 'NOT DEFERRABLE', 'IMMEDIATE',
             'VALIDATED', 'USER NAME', 'SHOP', 'O''NEIL_PK'),
            ('SHOP', 'O''NEIL_FK', 'R', 'O''NEIL', null, 'SHOP', 'CATEGORIES_PK', 'CASCADE', 'ENABLED',
             'NOT DEFERRABLE', 'IMMEDIATE', 'VALIDATED', 'USER NAME', null, null),
            ('SHOP', 'ck ''1', 'C', 'O''NEIL', 'ID > 0', null, null, null, 'ENABLED', 'NOT DEFERRABLE', 'IMMEDIATE',
             'VALIDATED', 'USER NAME', null, null);
        insert into ALL_CONS_COLUMNS values ('SHOP', 'O''NEIL_PK', 'O''NEIL', 'ID', 1),
            ('SHOP', 'O''NEIL_FK', 'O''NEIL', 'ID', 1);
        insert into ALL_INDEXES values
            ('SHOP', 'o''n ix', 'NORMAL', 'SHOP', 'O''NEIL', 'TABLE', 'NONUNIQUE', 'USERS', 'N');
        insert into ALL_IND_COLUMNS values ('SHOP', 'o''n ix', 'SHOP', 'O''NEIL', 'Nick', 1, 40, 'ASC');
    )"));
    Node(Objects, "Tables")->setExpanded(true);
    Node(Objects, "SHOP.CATEGORIES")->setExpanded(true);
    QTreeWidgetItem *referencing = Node(Objects, "Referenced by Foreign Key");
    referencing->setExpanded(true);
    ASSERT_TRUE(Node(Objects, "SHOP.O'NEIL"));
    Objects->setCurrentItem(referencing);
    TRecordingConsole console;
    Find<QAction>("mniDBAddAll")->trigger();
    EXPECT_EQ(console.Lines.filter("from SYS.ALL_TAB_COLUMNS").size(), 1) << "the tables are read together";
    const QStringList together = CurrentModel->BuildDiagramXml(true).mid(3);
    EXPECT_EQ(together.filter(QRegularExpression("O'NEIL|'1|o'n ix")).size(), 6);

    Form->NewModelPage();
    for (int i = 0; i < referencing->childCount(); ++i)
        Form->AddDatabaseNodeToDiagram(referencing->child(i));
    EXPECT_EQ(CurrentModel->BuildDiagramXml(true).mid(3).join('\n').toStdString(), together.join('\n').toStdString());
}

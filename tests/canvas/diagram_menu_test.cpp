// The table's context menu: its items, check marks and enabled states, and
// what each command does offline and with a session.
#include "command_fixture.h"

#include "canvas/diagram_menu.h"
#include "canvas/os_base_table.h"
#include "dbtools/console_helper.h"
#include "fake_database_session.h"
#include "model/java_generator.h"
#include "platform/config_settings.h"
#include "platform/shell.h"
#include "test_data.h"

#include <QApplication>
#include <QClipboard>
#include <QMenu>
#include <QTemporaryDir>
#include <QTreeWidget>

namespace {

// A session whose reference look-ups answer from prepared rows.
class TReferenceSession : public TFakeDatabaseSession {
public:
    std::unique_ptr<TOSResultSet> GetReferencedTables(const QString &owner, const QString &table) override
    {
        TFakeDatabaseSession::GetReferencedTables(owner, table);
        return Rows(Referenced);
    }
    std::unique_ptr<TOSResultSet> GetReferencingTables(const QString &owner, const QString &table) override
    {
        TFakeDatabaseSession::GetReferencingTables(owner, table);
        return Rows(Referencing);
    }
    QStringList Referenced, Referencing; // "OWNER.NAME"

private:
    static std::unique_ptr<TOSResultSet> Rows(const QStringList &names)
    {
        auto rows = std::make_unique<TOSResultSet>();
        rows->AddColumn("REF_TABLE_OWNER");
        rows->AddColumn("REF_TABLE_NAME");
        for (const QString &name : names) {
            TOSRow *row = rows->AddRow();
            row->SetValue(0, name.section('.', 0, 0));
            row->SetValue(1, name.section('.', 1));
        }
        return rows;
    }
};

struct TRecordingWizards : IModelWizards {
    std::unique_ptr<TDiagramTable> CreateTable() override { return nullptr; }
    void EditTable(TDiagramTable *table) override { Edited << "table " + table->Name; }
    std::unique_ptr<TDiagramNote> CreateNote() override { return nullptr; }
    void EditNote(TDiagramNote *note) override { Edited << "note " + note->Text; }
    QStringList Edited;
};

struct TConsoleLines : IConsoleSink {
    TConsoleLines() { TConsoleHelper::SetSink(this); }
    ~TConsoleLines() override { TConsoleHelper::SetSink(nullptr); }
    void AddLine(const QString &text) override { Lines << text; }
    QStringList Lines;
};

class DiagramMenu : public CanvasCommands {
protected:
    void SetUp() override
    {
        CanvasCommands::SetUp();
        DatabaseSession = session;
        TModelHooks::Wizards = &wizards;
        emp = AddTable(*model, "HR", "EMP", 100, 50, 200, 80);
        AddColumn(*emp, "ID");
        diagram->Rebuild();
    }
    void TearDown() override
    {
        TModelHooks::Wizards = nullptr;
        CanvasCommands::TearDown();
    }
    TOSBaseTable *EmpBox() const { return static_cast<TOSBaseTable *>(Box(emp)); }
    // The box's menu as it shows on opening: "caption/image[/checked][/disabled]",
    // submenus as "> caption" followed by their items indented.
    QStringList Items(QMenu *menu, const QString &indent = {}) const
    {
        QStringList items;
        for (QAction *a : menu->actions()) {
            if (a->isSeparator()) {
                items << indent + "-";
                continue;
            }
            QString text = indent + (a->menu() ? "> " : "") + a->text();
            if (!a->menu())
                text += "/" + a->property("imageIndex").toString();
            if (a->isChecked())
                text += "/checked";
            if (!a->isEnabled())
                text += "/disabled";
            if (menu->defaultAction() == a)
                text += "/default";
            items << text;
            if (a->menu())
                items << Items(a->menu(), indent + "  ");
        }
        return items;
    }
    QMenu *OpenMenu(TOSBaseTable *box)
    {
        QMenu *popup = box->Menu->Popup ? box->Menu->Popup.data() : box->Menu->BuildPopup(box);
        box->Menu->MenuPopup(popup);
        return popup;
    }
    // Triggers the item with this path ("&Order/&Foreground") and lets it run.
    static void Choose(QMenu *menu, const QString &path)
    {
        const QString first = path.section('/', 0, 0);
        for (QAction *a : menu->actions())
            if (a->text() == first) {
                if (a->menu())
                    return Choose(a->menu(), path.section('/', 1));
                a->trigger();
                QApplication::processEvents();
                return;
            }
        ADD_FAILURE() << "no item " << path.toStdString();
    }
    QRect RectOf(const TBaseDiagramRectangle *r) const { return QRect(r->Left, r->Top, r->Width, r->Height); }

    std::shared_ptr<TReferenceSession> session = std::make_shared<TReferenceSession>();
    TRecordingWizards wizards;
    TDiagramTable *emp = nullptr;
};

TEST_F(DiagramMenu, ItemsShowTheTableSettingsAndOfflineDisablesTheDatabaseItems)
{
    emp->ColumnSortMethod = csmKeys;
    emp->ShowOnlyKeyColumns = true;
    emp->StoreReloadFromDatabase(true);
    const QStringList expected = {
        "&Pin to Database/-1/checked", "&Refresh from Database/2", "> &Sort Columns", "  &Creation Order/-1",
        "  &Alphabetical/-1", "  &Keys First/-1/checked", "> Show Columns", "  &All/-1", "  &Only Keys/-1/checked",
        "  &None/-1", "-", "&Cut/5", "&Copy/4", "&Hide/6", "> &Order", "  &Foreground/-1", "  &Background/-1", "-",
        "&Edit.../25/default", "&Generate DDL.../23", "&Generate DB Delta DDL.../34", "&Query Data.../24", "-",
        "> &Add References", "  &References with Foreign Key/-1", "  &Referenced by Foreign Key/-1", "-",
        "> &Generate Code", "  &Java Bean.../-1", "  &Java DAO.../-1"};
    QMenu *menu = OpenMenu(EmpBox());
    EXPECT_EQ(Items(menu), expected);
    EXPECT_EQ(menu->parent(), EmpBox());

    session->Connected = false;
    emp->ColumnSortMethod = csmAlpha;
    emp->ShowOnlyKeyColumns = false;
    OpenMenu(EmpBox());
    const QStringList offline = Items(menu);
    for (const QString &item : {"&Pin to Database/-1/checked/disabled", "&Refresh from Database/2/disabled",
                                "&Generate DB Delta DDL.../34/disabled", "&Query Data.../24/disabled",
                                "> &Add References/disabled", "  &Alphabetical/-1/checked", "  &All/-1/checked",
                                "&Generate DDL.../23", "&Edit.../25/default"})
        EXPECT_TRUE(offline.contains(item)) << item.toStdString();
}

TEST_F(DiagramMenu, OpeningEndsTheBoxGestureButATreeNodeMenuTouchesNoBox)
{
    EmpBox()->GraphicMouseDown(Qt::LeftButton, false, 10, 10);
    ASSERT_TRUE(EmpBox()->Moving);
    QTreeWidget tree;
    TDiagramMenu treeMenu;
    treeMenu.Table = emp;
    QMenu *treePopup = treeMenu.BuildPopup(&tree);
    treeMenu.MenuPopup(treePopup);
    EXPECT_TRUE(EmpBox()->Moving);
    EXPECT_EQ(treePopup->parent(), &tree);
    EXPECT_EQ(Items(treePopup).size(), 30);

    OpenMenu(EmpBox());
    EXPECT_FALSE(EmpBox()->Moving);
}

TEST_F(DiagramMenu, OfflineCommandsSayWhyAndChangeNothing)
{
    session->Connected = false;
    SelectedGraphics->Add(emp);
    // The items are disabled offline; the commands behind them still refuse.
    struct TCase {
        const char *Name;
        std::function<void()> Command;
        QString Message;
    } cases[] = {
        {"pin", [&] { TDiagramMenu::TogglePin(emp); }, "Not logged on."},
        {"refresh", [&] { TDiagramMenu::RefreshFromDatabase(emp); }, "Not logged on."},
        {"delta", [&] { TDiagramMenu::GenerateDatabaseDelta(emp); }, "Not connected to a database."},
        {"query", [&] { TDiagramMenu::QuerySelectedData(); }, "Not connected to a database."},
    };
    for (const TCase &c : cases) {
        ui.Clear();
        c.Command();
        EXPECT_EQ(ui.Messages(), QStringList{c.Message}) << c.Name;
    }
    Choose(OpenMenu(EmpBox()), "&Query Data...");
    EXPECT_EQ(ui.Messages(), QStringList{"Not connected to a database."});
    EXPECT_FALSE(emp->ReloadFromDatabase());
    EXPECT_TRUE(windows.Scripts.empty());
    EXPECT_TRUE(windows.Queries.isEmpty());
    EXPECT_TRUE(session->Calls.isEmpty());

    // Without any session the delta and the references do nothing at all.
    DatabaseSession.reset();
    ui.Clear();
    TDiagramMenu::GenerateDatabaseDelta(emp);
    TDiagramMenu::AddReferences(emp, true);
    EXPECT_TRUE(ui.Calls().isEmpty());
    EXPECT_EQ(model->Tables.Count(), 1);
}

TEST_F(DiagramMenu, AddReferencesDropsBelowRightSkippingTheTableItself)
{
    TDiagramTable dept;
    dept.Owner = "HR", dept.Name = "DEPT";
    AddColumn(dept, "ID");
    session->AddTable(dept);
    dept.Name = "LOC";
    session->AddTable(dept);
    session->Referenced = {"HR.EMP", "HR.DEPT", "HR.LOC", "HR.EMP"};
    session->Referencing = {"HR.EMP"};

    Choose(OpenMenu(EmpBox()), "&Add References/&References with Foreign Key");
    EXPECT_TRUE(session->Calls.contains("GetReferencedTables HR.EMP"));
    ASSERT_EQ(model->Tables.Count(), 3);
    // Just below and right of EMP (100 + 200 + 10, 50 + 80 + 10), the next one
    // as a drop places it.
    EXPECT_EQ(model->Tables.GetTable(1)->Name, "DEPT");
    EXPECT_EQ(QPoint(model->Tables.GetTable(1)->Left, model->Tables.GetTable(1)->Top), QPoint(310, 140));
    EXPECT_EQ(QPoint(model->Tables.GetTable(2)->Left, model->Tables.GetTable(2)->Top), QPoint(330, 180));
    EXPECT_NE(Box(model->Tables.GetTable(1)), nullptr);

    // Only itself references it: nothing is added, and nothing is said.
    Choose(OpenMenu(EmpBox()), "&Add References/&Referenced by Foreign Key");
    EXPECT_TRUE(session->Calls.contains("GetReferencingTables HR.EMP"));
    EXPECT_EQ(model->Tables.Count(), 3);
    EXPECT_TRUE(ui.Messages().isEmpty());

    session->Referenced.clear();
    session->Referencing.clear();
    TDiagramMenu::AddReferences(emp, true);
    TDiagramMenu::AddReferences(emp, false);
    EXPECT_EQ(ui.Messages(), QStringList({"No referenced tables found.", "No referenced tables found."}));
}

TEST_F(DiagramMenu, RefreshAndPinTakeTheDatabaseTableOrSayItIsGone)
{
    Choose(OpenMenu(EmpBox()), "&Refresh from Database");
    EXPECT_EQ(ui.Messages(), QStringList{"Table 'HR.EMP' could not be found in the database."});
    EXPECT_EQ(emp->Columns.Count(), 1);
    EXPECT_EQ(model->Tables.GetTable(0), emp);

    TDiagramTable live;
    live.Owner = "HR", live.Name = "EMP";
    AddColumn(live, "ID");
    AddColumn(live, "HIRED", "DATE");
    session->AddTable(live);
    ui.Clear();
    Choose(OpenMenu(EmpBox()), "&Pin to Database");
    EXPECT_TRUE(emp->ReloadFromDatabase());
    EXPECT_EQ(emp->Columns.Count(), 2);
    EXPECT_EQ(RectOf(emp), QRect(100, 50, 200, 80));
    EXPECT_EQ(Box(emp)->geometry(), QRect(100, 50, 200, 80)); // rebuilt
    EXPECT_TRUE(ui.Messages().isEmpty());

    Choose(OpenMenu(EmpBox()), "&Pin to Database");
    EXPECT_FALSE(emp->ReloadFromDatabase());
}

TEST_F(DiagramMenu, DeltaShowsTheScriptOrSaysThereAreNoDifferences)
{
    TDiagramTable live;
    live.Owner = "HR", live.Name = "EMP";
    AddColumn(live, "ID");
    session->AddTable(live);
    Choose(OpenMenu(EmpBox()), "&Generate DB Delta DDL...");
    ASSERT_EQ(windows.Scripts.size(), 1u);
    EXPECT_EQ(windows.Scripts[0], QStringList{"/* no differences found */"});

    AddColumn(*emp, "SALARY", "NUMBER", 0, 8, 2);
    TDiagramMenu::GenerateDatabaseDelta(emp);
    ASSERT_EQ(windows.Scripts.size(), 2u);
    expectGolden("ddl/box_menu_delta.sql", windows.Scripts[1].join("\r\n").toLatin1());
}

TEST_F(DiagramMenu, EditAndQueryActOnALoneSelectionOnly)
{
    auto *note = AddNote(400, 300, 80, 30, "remember");
    auto *type = AddType("HR", "ADDR_T");
    diagram->Rebuild();

    SelectedGraphics->Add(emp);
    SelectedGraphics->Add(note);
    Choose(OpenMenu(EmpBox()), "&Edit...");
    Choose(OpenMenu(EmpBox()), "&Query Data...");
    EXPECT_TRUE(wizards.Edited.isEmpty());
    EXPECT_TRUE(windows.Queries.isEmpty());

    struct TCase {
        TBaseDiagramRectangle *Object;
        QStringList Edited;
        QStringList Queries;
    } cases[] = {
        {emp, {"table EMP"}, {"select * \nfrom HR.EMP \nwhere rownum <= 200"}},
        {note, {"note remember"}, {}},
        {type, {}, {}},
    };
    for (const TCase &c : cases) {
        wizards.Edited.clear();
        windows.Queries.clear();
        SelectedGraphics->Clear();
        SelectedGraphics->Add(c.Object);
        Box(c.Object)->IgnoreNextMouseDown = false;
        Choose(OpenMenu(EmpBox()), "&Edit...");
        Choose(OpenMenu(EmpBox()), "&Query Data...");
        EXPECT_EQ(wizards.Edited, c.Edited);
        EXPECT_EQ(windows.Queries, c.Queries);
        // The edited object's box stays the one selected, with no gesture.
        EXPECT_EQ(SelectedGraphics->Items(), std::vector<TBaseModelObject *>{c.Object});
        EXPECT_FALSE(Box(c.Object)->GestureActive());
    }
}

TEST_F(DiagramMenu, OrderMovesTheSelectionStablyAndRestacksTheBoxes)
{
    for (const char *name : {"B", "C", "D"})
        AddTable(*model, "HR", name);
    diagram->Rebuild();
    const auto names = [&] {
        QStringList list;
        for (TDiagramTable *t : model->Tables)
            list << t->Name;
        return list;
    };
    TDiagramTable *c = model->Tables.GetTable(2);
    SelectedGraphics->Add(c);
    SelectedGraphics->Add(emp); // selected after C, yet before it in the list

    Choose(OpenMenu(EmpBox()), "&Order/&Foreground");
    EXPECT_EQ(names(), QStringList({"B", "D", "EMP", "C"}));
    EXPECT_EQ(surface->findChildren<TOSGraphic *>(Qt::FindDirectChildrenOnly).last(), Box(c));
    SelectedGraphics->Add(c);
    SelectedGraphics->Add(emp);
    Choose(OpenMenu(EmpBox()), "&Order/&Background");
    EXPECT_EQ(names(), QStringList({"EMP", "C", "B", "D"}));
    EXPECT_EQ(surface->findChildren<TOSGraphic *>(Qt::FindDirectChildrenOnly).first(), Box(emp));
}

TEST_F(DiagramMenu, ColumnItemsActOnTheOneTable)
{
    AddColumn(*emp, "NAME");
    AddPrimaryKey(*emp, "EMP_PK", {"NAME"});
    TDiagramTable *other = AddTable(*model, "HR", "OTHER", 400, 10, 90, 70);
    diagram->Rebuild();
    TCanvas *canvas = diagram->SurfaceCanvas();

    Choose(OpenMenu(EmpBox()), "Show Columns/&None");
    EXPECT_EQ(RectOf(emp), QRect(100, 50, canvas->TextWidth("EMP") + 10, 19));
    EXPECT_EQ(Box(emp)->geometry(), RectOf(emp));
    Choose(OpenMenu(EmpBox()), "Show Columns/&Only Keys");
    EXPECT_TRUE(emp->ShowOnlyKeyColumns);
    EXPECT_EQ(emp->Height, emp->CalcHeight(canvas));
    EXPECT_EQ(Box(emp)->size(), QSize(emp->CalcWidth(canvas), emp->Height));
    Choose(OpenMenu(EmpBox()), "&Sort Columns/&Alphabetical");
    EXPECT_EQ(emp->ColumnSortMethod, csmAlpha);
    EXPECT_EQ(emp->Columns.GetColumn(0)->Name, "ID");
    EXPECT_EQ(RectOf(other), QRect(400, 10, 90, 70));
    EXPECT_EQ(other->ColumnSortMethod, csmCreation);
    EXPECT_FALSE(other->ShowOnlyKeyColumns);
}

TEST_F(DiagramMenu, HideAndCutFreeTheBoxWhoseMenuRanThem)
{
    SelectedGraphics->Add(emp);
    QPointer<TOSBaseTable> box = EmpBox();
    QPointer<QMenu> menu = OpenMenu(box);
    Choose(menu, "&Hide");
    EXPECT_TRUE(box.isNull());
    EXPECT_TRUE(menu.isNull());
    EXPECT_EQ(model->Tables.Count(), 0);

    auto *t = AddTable(*model, "HR", "T", 5, 5);
    diagram->Rebuild();
    SelectedGraphics->Add(t);
    box = static_cast<TOSBaseTable *>(Box(t));
    Choose(OpenMenu(box), "&Cut");
    EXPECT_TRUE(box.isNull());
    EXPECT_EQ(model->Tables.Count(), 0);
    EXPECT_TRUE(QApplication::clipboard()->text().contains("<property name=\"name\">T</property>"));
}

TEST_F(DiagramMenu, JavaItemsWriteOpenAndReportTheFiles)
{
    QTemporaryDir folder;
    TConfigSettings::SetProgramFolderOverride(folder.path());
    struct TRestore {
        ~TRestore() { TConfigSettings::SetProgramFolderOverride({}); }
    } restore;
    TScopedRecordingShell shell;
    TConsoleLines console;

    Choose(OpenMenu(EmpBox()), "&Generate Code/&Java Bean...");
    Choose(OpenMenu(EmpBox()), "&Generate Code/&Java DAO...");
    const QString bean = folder.path() + "/~bean.java", dao = folder.path() + "/~dao.java";
    EXPECT_EQ(shell.OpenedDocuments, QStringList({bean, dao}));
    EXPECT_EQ(console.Lines, QStringList({"Java source written to \"" + bean + "\"",
                                          "Java source written to \"" + dao + "\""}));
    EXPECT_TRUE(QFile::exists(bean));
    EXPECT_EQ(ui.HourglassDepth(), 0);
}

} // namespace

// The table's context menu: its items, check marks and enabled states, and
// what the commands that need no database do.
#include "canvas_fixture.h"

#include "canvas/diagram_menu.h"
#include "canvas/os_base_table.h"
#include "dbtools/console_helper.h"
#include "fake_database_session.h"
#include "platform/config_settings.h"
#include "platform/shell.h"
#include "test_data.h"

#include <QApplication>
#include <QClipboard>
#include <QMenu>
#include <QTemporaryDir>
#include <QTreeWidget>

namespace {

class DiagramMenu : public CanvasCommands, IModelWizards {
protected:
    void SetUp() override
    {
        CanvasCommands::SetUp();
        DatabaseSession = session;
        TModelHooks::Wizards = this;
        emp = AddTable(*model, "HR", "EMP", 100, 50, 200, 80);
        AddColumn(*emp, "ID");
        diagram->Rebuild();
    }
    void TearDown() override
    {
        TModelHooks::Wizards = nullptr;
        CanvasCommands::TearDown();
    }
    std::unique_ptr<TDiagramTable> CreateTable() override { return nullptr; }
    void EditTable(TDiagramTable *table) override { Edited << "table " + table->Name; }
    std::unique_ptr<TDiagramNote> CreateNote() override { return nullptr; }
    void EditNote(TDiagramNote *note) override { Edited << "note " + note->Text; }
    TOSBaseTable *EmpBox() const { return static_cast<TOSBaseTable *>(Box(emp)); }
    // "caption/image[/checked][/disabled][/default]", a submenu as "> caption"
    // followed by its items indented.
    static QStringList Items(QMenu *menu, const QString &indent = {})
    {
        QStringList items;
        for (QAction *a : menu->actions()) {
            QString text = indent + (a->isSeparator() ? "-" : a->menu() ? "> " + a->text() : a->text());
            if (!a->isSeparator() && !a->menu())
                text += "/" + a->property("imageIndex").toString();
            text += QString(a->isChecked() ? "/checked" : "") + (a->isEnabled() ? "" : "/disabled")
                    + (menu->defaultAction() == a ? "/default" : "");
            items << text;
            if (a->menu())
                items << Items(a->menu(), indent + "  ");
        }
        return items;
    }
    static QMenu *OpenMenu(TOSBaseTable *box)
    {
        QMenu *popup = box->Menu->Popup ? box->Menu->Popup.data() : box->Menu->BuildPopup(box);
        box->Menu->MenuPopup(popup);
        return popup;
    }
    // Triggers the item with this path ("&Order/&Foreground") and lets it run.
    static void Choose(QMenu *menu, const QString &path)
    {
        for (QAction *a : menu->actions())
            if (a->text() == path.section('/', 0, 0)) {
                if (a->menu())
                    return Choose(a->menu(), path.section('/', 1));
                a->trigger();
                QApplication::processEvents();
                return;
            }
        ADD_FAILURE() << "no item " << path.toStdString();
    }
    void Choose(const QString &path) { Choose(OpenMenu(EmpBox()), path); }

    std::shared_ptr<TFakeDatabaseSession> session = std::make_shared<TFakeDatabaseSession>();
    QStringList Edited;
    TDiagramTable *emp = nullptr;
};

TEST_F(DiagramMenu, ItemsShowTheTableSettingsAndOfflineDisablesTheDatabaseItems)
{
    emp->ColumnSortMethod = csmKeys;
    emp->ShowOnlyKeyColumns = true;
    emp->StoreReloadFromDatabase(true);
    QMenu *menu = OpenMenu(EmpBox());
    QStringList items = Items(menu);
    EXPECT_EQ(menu->parent(), EmpBox());
    // Offline the database items are disabled; the check marks follow the table.
    session->Connected = false;
    emp->ColumnSortMethod = csmAlpha;
    emp->ShowOnlyKeyColumns = false;
    OpenMenu(EmpBox());
    items << "" << Items(menu);
    expectGolden("box_menu_items.txt", items.join("\n").toUtf8());
}

TEST_F(DiagramMenu, OpeningEndsTheBoxGestureButATreeNodeMenuTouchesNoBox)
{
    EmpBox()->GraphicMouseDown(Qt::LeftButton, false, 10, 30);
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
    const std::pair<std::function<void()>, QString> cases[] = {
        {[&] { TDiagramMenu::TogglePin(emp); }, "Not logged on."},
        {[&] { TDiagramMenu::RefreshFromDatabase(emp); }, "Not logged on."},
        {[&] { TDiagramMenu::GenerateDatabaseDelta(emp); }, "Not connected to a database."},
        {[&] { TDiagramMenu::QuerySelectedData(); }, "Not connected to a database."},
    };
    for (const auto &[command, message] : cases) {
        ui.Clear();
        command();
        EXPECT_EQ(ui.Messages(), QStringList{message});
    }
    EXPECT_FALSE(emp->ReloadFromDatabase());
    EXPECT_TRUE(Scripts.empty() && Queries.isEmpty());
    EXPECT_TRUE(session->Calls.isEmpty());

    // Without any session the delta and the references do nothing at all.
    DatabaseSession.reset();
    ui.Clear();
    TDiagramMenu::GenerateDatabaseDelta(emp);
    TDiagramMenu::AddReferences(emp, true);
    EXPECT_TRUE(ui.Calls().isEmpty());
    EXPECT_EQ(model->Tables.Count(), 1);
}

TEST_F(DiagramMenu, EditAndQueryActOnALoneSelectionOnly)
{
    auto *note = AddNote(400, 300, 80, 30, "remember");
    auto *type = AddType("HR", "ADDR_T");
    diagram->Rebuild();
    SelectedGraphics->Add(emp);
    SelectedGraphics->Add(note);
    Choose("&Edit...");
    Choose("&Query Data...");
    EXPECT_TRUE(Edited.isEmpty());
    EXPECT_TRUE(Queries.isEmpty());

    const std::tuple<TBaseDiagramRectangle *, QStringList, QStringList> cases[] = {
        {emp, {"table EMP"}, {"select * \nfrom HR.EMP \nwhere rownum <= 200"}},
        {note, {"note remember"}, {}},
        {type, {}, {}}};
    for (const auto &[object, edited, queries] : cases) {
        Edited.clear(), Queries.clear();
        SelectedGraphics->Clear();
        SelectedGraphics->Add(object);
        Box(object)->IgnoreNextMouseDown = false;
        Choose("&Edit...");
        Choose("&Query Data...");
        EXPECT_EQ(Edited, edited);
        EXPECT_EQ(Queries, queries);
        // The edited object's box stays the one selected, with no gesture.
        EXPECT_EQ(SelectedGraphics->Items(), std::vector<TBaseModelObject *>{object});
        EXPECT_FALSE(Box(object)->GestureActive());
    }
}

TEST_F(DiagramMenu, OrderMovesTheSelectionStablyAndRestacksTheBoxes)
{
    for (const char *name : {"B", "C", "D"})
        AddTable(*model, "HR", name);
    diagram->Rebuild();
    TDiagramTable *c = model->Tables.GetTable(2);
    const auto boxes = [&] { return surface->findChildren<TOSGraphic *>(Qt::FindDirectChildrenOnly); };
    SelectedGraphics->Add(c);
    SelectedGraphics->Add(emp); // selected after C, yet before it in the list
    Choose("&Order/&Foreground");
    EXPECT_EQ(Names(model->Tables), QStringList({"B", "D", "EMP", "C"}));
    EXPECT_EQ(boxes().last(), Box(c));
    SelectedGraphics->Add(c);
    SelectedGraphics->Add(emp);
    Choose("&Order/&Background");
    EXPECT_EQ(Names(model->Tables), QStringList({"EMP", "C", "B", "D"}));
    EXPECT_EQ(boxes().first(), Box(emp));
}

TEST_F(DiagramMenu, ColumnItemsActOnTheOneTable)
{
    AddColumn(*emp, "NAME");
    AddPrimaryKey(*emp, "EMP_PK", {"NAME"});
    TDiagramTable *other = AddTable(*model, "HR", "OTHER", 400, 10, 90, 70);
    diagram->Rebuild();
    TCanvas *canvas = diagram->SurfaceCanvas();

    Choose("Show Columns/&None");
    EXPECT_EQ(RectOf(emp), QRect(100, 50, canvas->TextWidth("EMP") + 10, 19));
    EXPECT_EQ(Box(emp)->geometry(), RectOf(emp));
    Choose("Show Columns/&Only Keys");
    EXPECT_TRUE(emp->ShowOnlyKeyColumns);
    EXPECT_EQ(Box(emp)->size(), QSize(emp->CalcWidth(canvas), emp->CalcHeight(canvas)));
    Choose("&Sort Columns/&Alphabetical");
    EXPECT_EQ(QPair(int(emp->ColumnSortMethod), Names(emp->Columns)), QPair(int(csmAlpha), QStringList({"ID", "NAME"})));
    Choose("&Sort Columns/&Keys First");
    EXPECT_EQ(Names(emp->Columns), QStringList({"NAME", "ID"}));
    EXPECT_EQ(RectOf(other), QRect(400, 10, 90, 70));
    EXPECT_EQ(other->ColumnSortMethod, csmCreation);
    EXPECT_FALSE(other->ShowOnlyKeyColumns);
}

TEST_F(DiagramMenu, HideAndCutFreeTheBoxWhoseMenuRanThem)
{
    for (const char *item : {"&Hide", "&Cut"}) {
        auto *t = AddTable(*model, "HR", "T", 5, 5);
        diagram->Rebuild();
        SelectedGraphics->Add(t);
        QPointer<TOSBaseTable> box = static_cast<TOSBaseTable *>(Box(t));
        QPointer<QMenu> menu = OpenMenu(box);
        Choose(menu, item);
        EXPECT_TRUE(box.isNull() && menu.isNull()) << item;
        EXPECT_EQ(Names(model->Tables), QStringList{"EMP"});
    }
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
    struct TConsoleLines : IConsoleSink {
        void AddLine(const QString &text) override { Lines << text; }
        QStringList Lines;
    } console;
    TConsoleHelper::SetSink(&console);
    Choose("&Generate Code/&Java Bean...");
    Choose("&Generate Code/&Java DAO...");
    TConsoleHelper::SetSink(nullptr);
    const QString bean = folder.path() + "/~bean.java", dao = folder.path() + "/~dao.java";
    EXPECT_EQ(shell.OpenedDocuments, QStringList({bean, dao}));
    EXPECT_EQ(console.Lines, QStringList({"Java source written to \"" + bean + "\"",
                                          "Java source written to \"" + dao + "\""}));
    EXPECT_TRUE(QFile::exists(bean));
    EXPECT_EQ(ui.HourglassDepth(), 0);
    // Without a program for the file, the user is told where it went, as a picture's saving does.
    EXPECT_TRUE(ui.Messages().isEmpty());
    shell.Result = false;
    Choose("&Generate Code/&Java DAO...");
    EXPECT_EQ(ui.Messages(), QStringList({"The Java source was saved as \"" + dao
                                          + "\". No program is set up to open this kind of file."}));
}

} // namespace

// The page commands of the canvas controller, driven on a small page and
// checked on the model and the boxes afterwards.
#include "canvas_fixture.h"

#include "canvas/os_base_table.h"
#include "test_data.h"

#include <QApplication>
#include <QClipboard>
#include <QImage>
#include <QMenu>
#include <QMimeData>


namespace {

TEST_F(CanvasCommands, ZoomScalesEveryKindAndTheThreeFonts)
{
    auto *table = AddTable(*model, "HR", "EMP", 80, 40, 200, 100);
    auto *objectTable = Placed(AddObjectTable("HR", "OT", "HR", "T_TYPE"), 16, 24, 8, 4);
    auto *note = AddNote(12, 4, 13, 3);
    auto *type = AddType("HR", "T_TYPE", 400, 7, 9, 1);
    diagram->Rebuild();

    diagram->Zoom(+1);
    // 112.5 %: 100 -> 112.5 -> 112 and 12 -> 13.5 -> 14, halves to even.
    EXPECT_EQ(RectOf(table), QRect(90, 45, 225, 112));
    EXPECT_EQ(RectOf(objectTable), QRect(18, 27, 9, 4));
    EXPECT_EQ(RectOf(note), QRect(14, 4, 15, 3));
    EXPECT_EQ(RectOf(type), QRect(450, 8, 10, 1));
    EXPECT_EQ(Box(table)->geometry(), QRect(90, 45, 225, 112));
    EXPECT_EQ(QPoint(model->Style.FontSize, model->Style.HeaderFontSize * 100 + model->Style.LinkFontSize),
              QPoint(9, 1108));
}

TEST_F(CanvasCommands, ZoomRoundsHalvesToEvenDriftsAndStopsAtOnePoint)
{
    for (const QStringList &c : readCases("canvas/zoom_rounding.txt")) {
        TBaseDiagramRectangle r;
        const int value = c[2].toInt(), size = c[0].toInt();
        TOSDiagram::ScaleRectangle(*Placed(&r, value, value, value, value), size + c[1].toInt(), size);
        EXPECT_EQ(RectOf(&r), QRect(QPoint(1, 1) * c[3].toInt(), QSize(1, 1) * c[3].toInt())) << c.join(" | ").toStdString();
    }

    auto *table = AddTable(*model, "HR", "EMP", 12, 4, 200, 80);
    diagram->Zoom(-1);
    EXPECT_EQ(RectOf(table), QRect(10, 4, 175, 70));
    diagram->Zoom(+1);
    EXPECT_EQ(RectOf(table), QRect(11, 5, 200, 80)); // 10 * 8/7 and 4 * 8/7 do not come back

    for (const QStringList &c : readCases("canvas/zoom_fonts.txt")) {
        const QList<int> sizes = caseInts(c[0]);
        const int direction = c[1].toInt();
        const bool zooms = c[2] == "1";
        Placed(table, 80, 40, 200, 100);
        model->Style.FontSize = sizes[0], model->Style.HeaderFontSize = sizes[1], model->Style.LinkFontSize = sizes[2];
        diagram->Zoom(direction);
        EXPECT_EQ(model->Style.FontSize, zooms ? sizes[0] + direction : sizes[0]) << c[0].toStdString();
        EXPECT_EQ(RectOf(table) == QRect(80, 40, 200, 100), !zooms) << c[0].toStdString();
    }
}

TEST_F(CanvasCommands, FoldRemeasureAndShowCommandsTouchOnlyTheTablesList)
{
    TDiagramTable *table = KeyedTable("EMPLOYEES", 10, 10);
    auto *objectTable = AddObjectTable("HR", "OT", "HR", "T_TYPE", 140, 77);
    AddColumn(*objectTable, "ZETA");
    diagram->Rebuild();
    TCanvas *canvas = diagram->SurfaceCanvas();

    diagram->FoldAll();
    EXPECT_EQ(table->Height, 19);
    EXPECT_EQ(table->Width, canvas->TextWidth("EMPLOYEES") + 100);
    EXPECT_EQ(Box(table)->size(), QSize(table->Width, 19));
    EXPECT_FALSE(table->ShowOnlyKeyColumns);

    diagram->ShowAllColumns();
    const QSize all(table->CalcWidth(canvas), table->CalcHeight(canvas));
    EXPECT_EQ(Box(table)->size(), all);
    EXPECT_EQ(table->Height, all.height());
    diagram->ShowOnlyKeyColumns();
    EXPECT_TRUE(table->ShowOnlyKeyColumns);
    EXPECT_LT(table->Height, all.height());
    EXPECT_EQ(Box(table)->height(), table->Height);

    using D = TOSDiagram;
    using T = TDiagramTable;
    const std::tuple<void (D::*)(), bool T::*, bool> cases[] = {
        {&D::HideDataTypes, &T::HideDataTypes, true}, {&D::ShowDataTypes, &T::HideDataTypes, false},
        {&D::HideComments, &T::HideComments, true},   {&D::ShowComments, &T::HideComments, false},
        {&D::ShowAllColumns, &T::ShowOnlyKeyColumns, false}};
    objectTable->HideComments = true;
    for (const auto &[command, flag, value] : cases) {
        (diagram.get()->*command)();
        EXPECT_EQ(table->*flag, value);
    }
    // Object tables keep their own settings and boxes.
    EXPECT_FALSE(objectTable->HideDataTypes);
    EXPECT_TRUE(objectTable->HideComments);
    EXPECT_EQ(Box(objectTable)->size(), QSize(140, 77));

    diagram->HideComments(); // the box keeps its size
    EXPECT_EQ(Box(table)->size(), all);
}

TEST_F(CanvasCommands, SortsStoreTheirMethodOnEveryTable)
{
    TDiagramTable *a = KeyedTable("A", 10, 10);
    TDiagramTable *b = KeyedTable("B", 300, 10);
    auto *objectTable = AddObjectTable("HR", "OT", "HR", "T_TYPE");
    AddColumn(*objectTable, "Z");
    AddColumn(*objectTable, "A");
    diagram->Rebuild();

    const std::tuple<void (TOSDiagram::*)(), int, QStringList> cases[] = {
        {&TOSDiagram::SortAllAlpha, csmAlpha, {"ALPHA", "ID", "ZETA"}},
        {&TOSDiagram::SortAllKeys, csmKeys, {"ID", "ALPHA", "ZETA"}},
        {&TOSDiagram::SortAllByCreationOrder, csmCreation, {"ZETA", "ALPHA", "ID"}}};
    for (const auto &[command, method, order] : cases) {
        (diagram.get()->*command)();
        for (TDiagramTable *table : {a, b}) {
            EXPECT_EQ(table->ColumnSortMethod, method);
            EXPECT_EQ(Names(table->Columns), order);
        }
        EXPECT_EQ(objectTable->ColumnSortMethod, csmCreation);
        EXPECT_EQ(Names(objectTable->Columns), QStringList({"Z", "A"}));
    }
}

TEST_F(CanvasCommands, SelectAllTakesTablesObjectTablesTypesThenNotes)
{
    AddNote(5, 5)->Name = "N1";
    AddType("HR", "TY");
    AddTable(*model, "HR", "T1");
    AddObjectTable("HR", "OT", "HR", "TY");
    AddTable(*model, "HR", "T2");
    diagram->Rebuild();
    SelectedGraphics->Add(model->Types.GetType(0));

    diagram->SelectAll();
    EXPECT_EQ(Names(*SelectedGraphics), QStringList({"T1", "T2", "OT", "TY", "N1"}));
}

TEST_F(CanvasCommands, DeleteRemovesTableAndNoteAndLeavesForeignKeysPointing)
{
    TDiagramTable *dept = AddTable(*model, "HR", "DEPT", 10, 10);
    TDiagramTable *emp = AddTable(*model, "HR", "EMP", 200, 10);
    AddForeignKey(*emp, "EMP_DEPT_FK", {"DEPT_ID"}, "HR", "DEPT", {"ID"});
    auto *note = AddNote(10, 150);
    AddType("HR", "TY");
    QStringList counts;
    diagram->ObjectCountChanged = [&](const QString &text) { counts << text; };
    diagram->Rebuild();
    SelectedGraphics->Add(dept);
    SelectedGraphics->Add(note);

    diagram->DeleteSelected();
    EXPECT_EQ(Names(model->Tables), QStringList({"EMP"}));
    EXPECT_EQ(model->Notes.Count(), 0);
    EXPECT_EQ(SelectedGraphics->Count(), 0);
    EXPECT_EQ(surface->findChildren<TOSGraphic *>(Qt::FindDirectChildrenOnly).size(), 2);
    EXPECT_EQ(emp->ForeignKeys.GetForeignKey(0)->RefTableName, "DEPT");
    EXPECT_EQ(counts.last(), "2 Object(s)");
}

TEST_F(CanvasCommands, CutWithAnEmptySelectionPutsAnEmptyDocumentAndDeletesNothing)
{
    model->Name = "Page";
    AddTable(*model, "HR", "EMP");
    diagram->Rebuild();
    QApplication::clipboard()->clear();

    diagram->CutToClipboard();
    EXPECT_EQ(model->Tables.Count(), 1);
    const QString text = QApplication::clipboard()->text();
    EXPECT_TRUE(text.contains("\r\n"));
    expectGolden("clipboard_empty_selection.xml", text.toLatin1());
    EXPECT_EQ(ui.HourglassDepth(), 0);
}

TEST_F(CanvasCommands, CopyThenPasteAddsTheObjectsAgainAtTheSamePlaces)
{
    TDiagramTable *emp = KeyedTable("EMP", 31, 47);
    AddNote(7, 300, 90, 40, QString::fromUtf8("beside Zähler \u20AC \U0001F600"));
    AddTable(*model, "HR", "OTHER", 500, 500);
    diagram->Rebuild();
    SelectedGraphics->Add(emp);
    SelectedGraphics->Add(model->Notes.GetNote(0));

    diagram->CopyToClipboard();
    // Text from elsewhere may hold characters beyond Latin-1 as they are.
    QClipboard *clipboard = QApplication::clipboard();
    clipboard->setText(clipboard->text().replace("Zähler", QString::fromUtf8("Zähler \u0416\U0001F601")));
    model->Style.FontSize = 13; // the pasted text's style replaces the page's
    diagram->PasteFromClipboard();
    EXPECT_EQ(Names(model->Tables), QStringList({"EMP", "OTHER", "EMP"}));
    EXPECT_EQ(RectOf(model->Tables.GetTable(2)), QRect(31, 47, 150, 90));
    EXPECT_EQ(model->Tables.GetTable(2)->Columns.Count(), 3);
    ASSERT_EQ(model->Notes.Count(), 2);
    EXPECT_EQ(model->Notes.GetNote(1)->Text, QString::fromUtf8("beside Zähler \u0416\U0001F601 \u20AC \U0001F600"));
    EXPECT_EQ(RectOf(model->Notes.GetNote(1)), QRect(7, 300, 90, 40));
    EXPECT_EQ(model->Style.FontSize, 8);
    EXPECT_NE(Box(model->Tables.GetTable(2)), nullptr);
    EXPECT_EQ(ui.HourglassDepth(), 0);
}

TEST_F(CanvasCommands, PasteOfOtherClipboardContentsChangesNothingButTheMessage)
{
    AddTable(*model, "HR", "EMP", 31, 47);
    diagram->Rebuild();

    QApplication::clipboard()->setImage(QImage(4, 4, QImage::Format_RGB32));
    diagram->PasteFromClipboard();
    EXPECT_EQ(Rebuilds, 0);

    for (const QString &text : {QString("just some words"), QString("<?xml version=\"1.0\"?><page/>")}) {
        QApplication::clipboard()->setText(text);
        const QString error = ErrorOf([&] { diagram->PasteFromClipboard(); });
        EXPECT_FALSE(error.isEmpty()) << text.toStdString();
        EXPECT_EQ(Names(model->Tables), QStringList({"EMP"}));
        EXPECT_EQ(model->Style.FontSize, 8);
        EXPECT_NE(Box(model->Tables.GetTable(0)), nullptr); // the page was rebuilt
    }
    EXPECT_EQ(Rebuilds, 2);
    EXPECT_EQ(ui.HourglassDepth(), 0);
}

TEST_F(CanvasCommands, CanvasPopupHasThePageCommandsInOrder)
{
    ASSERT_NE(diagram->Popup, nullptr);
    QStringList items;
    for (QAction *action : diagram->Popup->actions())
        items << (action->isSeparator() ? QString("-")
                                        : action->text() + "/" + action->property("imageIndex").toString());
    expectGolden("canvas/canvas_popup.txt", items.join("\n").toUtf8());

    auto *table = AddTable(*model, "HR", "EMP", 80, 40, 200, 100);
    diagram->Rebuild();
    diagram->Popup->actions().at(10)->trigger();
    EXPECT_EQ(table->Left, 80); // runs once the menu has closed
    QCoreApplication::processEvents();
    EXPECT_EQ(table->Left, 90);
}

// Each command of the popup does what its caption says, each undoing the one before.
TEST_F(CanvasCommands, CanvasPopupCommandsDoWhatTheySay)
{
    auto *table = AddTable(*model, "HR", "EMP", 80, 40, 200, 100);
    diagram->Rebuild();
    // Item, then the table's left, key columns only, data types hidden.
    const std::pair<int, const char *> steps[] = {{2, "80 1 0"}, {1, "80 0 0"},  {6, "80 0 1"},
                                                  {5, "80 0 0"}, {11, "70 0 0"}, {10, "80 0 0"}};
    for (const auto &[item, want] : steps) {
        diagram->Popup->actions().at(item)->trigger();
        QCoreApplication::processEvents();
        EXPECT_EQ(QString("%1 %2 %3").arg(table->Left).arg(table->ShowOnlyKeyColumns).arg(table->HideDataTypes), want)
            << item;
    }
}

} // namespace

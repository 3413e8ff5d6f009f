// The canvas controller and the box gestures, driven through their handlers.
#include "canvas_fixture.h"

#include "canvas/drag_objects.h"
#include "canvas/os_base_note.h"
#include "canvas/os_base_table.h"
#include "canvas/os_base_type.h"
#include "fake_database_session.h"
#include "model/model_hooks.h"

#include <QCoreApplication>
#include <QMimeData>

namespace {

class ControllerTest : public CanvasTest {
protected:
    // A band dragged with the left button from one point to another and released.
    void Band(QPoint from, QPoint to)
    {
        diagram->SurfaceMouseDown(Qt::LeftButton, from.x(), from.y());
        diagram->SurfaceMouseMove(to.x(), to.y());
        EXPECT_TRUE(diagram->BandDrawn);
        diagram->SurfaceClick(); // the click comes before the release
        diagram->SurfaceMouseUp(to.x(), to.y());
        EXPECT_FALSE(diagram->BandActive);
        EXPECT_FALSE(diagram->BandDrawn);
    }
};

TEST_F(ControllerTest, RebuildMakesOneBoxPerObjectNotesBeneathAndGrowsTheSurface)
{
    auto *table = AddTable(*model, "S", "T", 780, 60, 120, 80); // right edge at 900
    auto *type = AddType("S", "TY", 300, 10, 100, 50);
    auto *note = AddNote(40, 50);
    QStringList counts;
    diagram->ObjectCountChanged = [&](const QString &text) { counts << text; };

    diagram->Rebuild();
    ASSERT_NE(dynamic_cast<TOSBaseTable *>(Box(table)), nullptr);
    ASSERT_NE(dynamic_cast<TOSBaseType *>(Box(type)), nullptr);
    ASSERT_NE(dynamic_cast<TOSBaseNote *>(Box(note)), nullptr);
    EXPECT_EQ(Box(table)->geometry(), QRect(780, 60, 120, 80));
    EXPECT_EQ(Box(table)->GetModelObject(), table);
    // Later children lie above: notes first, then tables, then types.
    EXPECT_EQ(surface->findChildren<TOSGraphic *>(Qt::FindDirectChildrenOnly),
              (QList<TOSGraphic *>{Box(note), Box(table), Box(type)}));
    EXPECT_EQ(counts.last(), "2 Object(s)");
    EXPECT_EQ(Box(table)->ToolTipText(), "T\n");
    EXPECT_EQ(surface->width(), 900 + 30 + 20);

    // A second rebuild replaces every box and empties the selection; the surface never shrinks.
    SelectedGraphics->Add(table);
    surface->resize(2000, 2000);
    diagram->Rebuild();
    EXPECT_EQ(surface->findChildren<TOSGraphic *>(Qt::FindDirectChildrenOnly).size(), 3);
    EXPECT_EQ(SelectedGraphics->Count(), 0);
    EXPECT_TRUE(diagram->PaintingEnabled);
    EXPECT_EQ(surface->width(), 2000);
}

TEST_F(ControllerTest, FailingPageBreaksAreReportedOnceAfterThePaintAndKeepThePreference)
{
    Preferences->DrawPrinterPages = true;
    bool fail = true;
    diagram->DrawPageBreaks = [&](TCanvas &) {
        if (fail)
            throw std::runtime_error("no printer");
    };
    QImage image(10, 10, QImage::Format_RGB32);
    TCanvas canvas(&image);
    EXPECT_EQ(ErrorOf([&] { diagram->SurfacePaint(canvas); }), "");
    // Nothing is shown inside the paint, nor again by the next failing paint.
    EXPECT_TRUE(ui.Messages().isEmpty());
    diagram->SurfacePaint(canvas);
    QCoreApplication::processEvents();
    EXPECT_EQ(ui.Messages(), QStringList{"no printer"});
    EXPECT_TRUE(Preferences->DrawPrinterPages);
    // Once the edges draw again, a new failure is reported anew.
    fail = false;
    diagram->SurfacePaint(canvas);
    fail = true;
    diagram->SurfacePaint(canvas);
    QCoreApplication::processEvents();
    EXPECT_EQ(ui.Messages(), (QStringList{"no printer", "no printer"}));
}

TEST_F(ControllerTest, BandSelectsBoxesWhollyInsideEdgesIncluded)
{
    auto *inside = AddTable(*model, "S", "IN", 10, 10, 100, 50);    // 10..110 x 10..60
    auto *sticking = AddTable(*model, "S", "OUT", 10, 100, 101, 50); // right edge 111
    diagram->Rebuild();
    for (bool reversed : {false, true}) {
        SCOPED_TRACE(reversed);
        const QPoint a(10, 10), b(110, 150);
        Band(reversed ? b : a, reversed ? a : b);
        EXPECT_TRUE(Selected(inside));
        EXPECT_FALSE(Selected(sticking));
    }
}

TEST_F(ControllerTest, PlainClickClearsRightPressStartsNoBandInterruptedBandEndsCleanly)
{
    auto *table = AddTable(*model, "S", "T", 10, 10, 50, 50);
    diagram->Rebuild();
    SelectedGraphics->Add(table);
    diagram->SurfaceMouseDown(Qt::RightButton, 200, 200);
    EXPECT_FALSE(diagram->BandActive);
    diagram->SurfaceMouseMove(300, 300);
    EXPECT_FALSE(diagram->BandDrawn);

    // Another button pressed while the band is up takes the band away; so does a cancel.
    diagram->SurfaceMouseDown(Qt::LeftButton, 0, 0);
    diagram->SurfaceMouseMove(100, 100);
    diagram->SurfaceMouseDown(Qt::RightButton, 100, 100);
    EXPECT_FALSE(diagram->BandDrawn);
    EXPECT_FALSE(diagram->BandActive);
    diagram->SurfaceMouseDown(Qt::LeftButton, 0, 0);
    diagram->SurfaceMouseMove(100, 100);
    diagram->CancelBand();
    EXPECT_FALSE(diagram->BandDrawn);
    diagram->SurfaceMouseUp(100, 100);
    EXPECT_TRUE(Selected(table)); // a cancelled band selects nothing new and clears nothing

    Band({200, 200}, {200, 200});
    EXPECT_EQ(SelectedGraphics->Count(), 0);
}

TEST_F(ControllerTest, BoxPressSelectsShiftAddsAndAPlainPressKeepsTheGroup)
{
    auto *a = AddTable(*model, "S", "A", 10, 10, 100, 50);
    auto *b = AddTable(*model, "S", "B", 200, 10, 100, 50);
    diagram->Rebuild();
    Box(a)->GraphicMouseDown(Qt::LeftButton, false, 10, 10);
    Box(a)->GraphicMouseUp();
    EXPECT_TRUE(Selected(a));
    Box(b)->GraphicMouseDown(Qt::LeftButton, true, 10, 10);
    Box(b)->GraphicMouseUp();
    EXPECT_TRUE(Selected(a) && Selected(b));
    // Shift on a selected box does not toggle it off; a plain press keeps the group.
    Box(b)->GraphicMouseDown(Qt::LeftButton, true, 10, 10);
    Box(a)->GraphicMouseDown(Qt::LeftButton, false, 10, 10);
    EXPECT_EQ(SelectedGraphics->Count(), 2);
    // A plain press on an unselected box makes it the only one.
    SelectedGraphics->Remove(b);
    Box(b)->GraphicMouseDown(Qt::LeftButton, false, 10, 10);
    EXPECT_EQ(SelectedGraphics->Count(), 1);
    EXPECT_TRUE(Selected(b));
}

TEST_F(ControllerTest, HitZonesOfABox)
{
    auto *t = AddTable(*model, "S", "T", 10, 10, 100, 60);
    diagram->Rebuild();
    TOSGraphic *box = Box(t);
    struct Case {
        int x, y;
        bool moving, right, bottom, corner;
    } cases[] = {
        {94, 10, true, false, false, false}, {95, 10, false, true, false, false}, {10, 54, true, false, false, false},
        {10, 55, false, false, true, false}, {95, 55, false, false, false, true}, {94, 54, true, false, false, false},
    };
    for (const Case &c : cases) {
        SCOPED_TRACE(testing::Message() << c.x << "," << c.y);
        box->GraphicMouseDown(Qt::LeftButton, false, c.x, c.y);
        EXPECT_EQ(box->Moving, c.moving);
        EXPECT_EQ(box->ResizingRight, c.right);
        EXPECT_EQ(box->ResizingBottom, c.bottom);
        EXPECT_EQ(box->ResizingCorner, c.corner);
        box->GraphicMouseUp();
        EXPECT_FALSE(box->GestureActive());
    }
}

TEST_F(ControllerTest, ResizeKeepsAMinimumGesturesWriteTheModelAndGrowTheSurface)
{
    auto *t = AddTable(*model, "S", "T", 10, 10, 100, 60);
    diagram->Rebuild();
    TOSGraphic *box = Box(t);
    box->GraphicMouseDown(Qt::LeftButton, false, 98, 10);
    for (const auto &[x, width] : {std::pair(15, 100), std::pair(20, 100), std::pair(21, 21)}) {
        box->GraphicMouseMove(false, x, 10);
        EXPECT_EQ(box->width(), width) << x;
    }
    EXPECT_EQ(t->Width, 21);
    box->GraphicMouseUp();

    box->GraphicMouseDown(Qt::LeftButton, false, 18, 58); // the corner
    box->GraphicMouseMove(false, 300, 10);
    EXPECT_EQ(QSize(box->width(), box->height()), QSize(300, 60)); // y inside 20 leaves the height
    box->GraphicMouseMove(false, 300, 500);
    EXPECT_EQ(QSize(t->Width, t->Height), QSize(300, 500));
    EXPECT_EQ(surface->height(), 510);
    box->GraphicMouseUp();

    // Moved beyond the right edge: the surface widens to the box's right edge.
    box->GraphicMouseDown(Qt::LeftButton, false, 10, 10);
    box->GraphicMouseMove(false, 410, 10);
    EXPECT_EQ(t->Left, 410);
    EXPECT_EQ(surface->width(), 710);
    box->GraphicMouseUp();
}

TEST_F(ControllerTest, GroupMoveStopsAtTheFirstBoxThatWouldLeaveThePage)
{
    for (bool nearFirst : {true, false}) {
        SCOPED_TRACE(nearFirst);
        model->Tables.Clear();
        auto *nearBox = AddTable(*model, "S", "NEAR", 5, 100, 30, 30);
        auto *farBox = AddTable(*model, "S", "FAR", 50, 100, 30, 30);
        diagram->Rebuild();
        SelectedGraphics->Add(nearFirst ? nearBox : farBox);
        SelectedGraphics->Add(nearFirst ? farBox : nearBox);
        TOSGraphic *pressed = Box(farBox);
        pressed->GraphicMouseDown(Qt::LeftButton, false, 15, 15);
        pressed->GraphicMouseMove(false, 5, 15); // 10 to the left
        EXPECT_EQ(nearBox->Left, 5);
        EXPECT_EQ(Box(nearBox)->x(), 5);
        EXPECT_EQ(farBox->Left, nearFirst ? 50 : 40);
        EXPECT_EQ(Box(farBox)->x(), farBox->Left);
        pressed->GraphicMouseUp();
    }
}

// An editor that rebuilds the page while it is open, as a deferred command may.
struct TRebuildingWizards : IModelWizards {
    TOSDiagram *Diagram = nullptr;
    int Edits = 0;
    std::unique_ptr<TDiagramTable> CreateTable() override { return nullptr; }
    std::unique_ptr<TDiagramNote> CreateNote() override { return nullptr; }
    void EditTable(TDiagramTable *) override { ++Edits, Diagram->Rebuild(); }
    void EditNote(TDiagramNote *) override { ++Edits; }
};

TEST_F(ControllerTest, DoubleClickEditsTablesAndNotesAndSelects)
{
    auto *type = AddType("S", "TY", 10, 10, 80, 40);
    auto *note = AddNote(200, 10);
    auto *table = AddTable(*model, "S", "T", 300, 10);
    TRebuildingWizards wizards;
    wizards.Diagram = diagram.get();
    TModelHooks::Wizards = &wizards;
    diagram->Rebuild();
    Box(type)->GraphicDblClick(); // no editor for types
    EXPECT_EQ(wizards.Edits, 0);
    EXPECT_TRUE(Selected(type));
    EXPECT_FALSE(Box(type)->GestureActive());
    Box(note)->GraphicDblClick();
    EXPECT_EQ(wizards.Edits, 1);
    EXPECT_TRUE(Selected(note) && !Selected(type));
    // The box is gone when the editor returns: nothing of it is touched, so the press
    // that would select it never happens.
    Box(table)->GraphicDblClick();
    EXPECT_EQ(wizards.Edits, 2);
    EXPECT_EQ(SelectedGraphics->Count(), 0);
    ASSERT_NE(Box(table), nullptr);
    EXPECT_FALSE(Box(table)->GestureActive());
    TModelHooks::Wizards = nullptr;
}

TEST_F(ControllerTest, DropPlacesObjectsAtTheirOffsetsByKind)
{
    auto session = std::make_shared<TFakeDatabaseSession>();
    TDiagramObjectModel source;
    for (const char *name : {"A", "B", "C"}) {
        auto *t = AddTable(source, "S", name);
        AddColumn(*t, "ID");
        session->AddTable(*t);
    }
    TDiagramType type;
    type.Owner = "S", type.Name = "TY";
    session->AddType(type);
    DatabaseSession = session;
    TDragObjects drag;
    for (const char *name : {"A", "B", "C"})
        drag.Add("S", name, 0);
    drag.Add("S", "TY", 2);
    // Carried through the private drag format unchanged.
    auto carried = TDragObjects::FromMimeData(drag.ToMimeData().get());
    ASSERT_NE(carried, nullptr);
    ASSERT_EQ(carried->Items.size(), 4u);
    EXPECT_EQ(carried->Items[3]->Kind, 2);
    EXPECT_TRUE(diagram->SurfaceDragOver(carried.get()));
    EXPECT_FALSE(diagram->SurfaceDragOver(nullptr));

    diagram->DropObjects(*carried, 100, 50);
    DatabaseSession.reset();
    ASSERT_EQ(model->Tables.Count(), 3);
    ASSERT_EQ(model->Types.Count(), 1);
    const QPoint expected[] = {{100, 50}, {120, 90}, {140, 110}, {160, 130}};
    for (int i = 0; i < 4; ++i) {
        auto *object = i < 3 ? static_cast<TBaseDiagramRectangle *>(model->Tables.GetTable(i)) : model->Types.GetType(0);
        EXPECT_EQ(QPoint(object->Left, object->Top), expected[i]) << i;
        ASSERT_NE(Box(object), nullptr);
        EXPECT_EQ(Box(object)->pos(), expected[i]);
        EXPECT_GT(object->Width, 0);
    }
    EXPECT_NE(dynamic_cast<TOSBaseType *>(Box(model->Types.GetType(0))), nullptr);

    EXPECT_EQ(TDragObjects::Decode(QByteArray("\x00\x00\x00\x05garbage", 11)), nullptr);
    QMimeData plain;
    plain.setText("S.T");
    EXPECT_EQ(TDragObjects::FromMimeData(&plain), nullptr);
}

TEST_F(ControllerTest, AFailingSessionEndsTheDropAfterTheBookkeeping)
{
    auto session = std::make_shared<TFakeDatabaseSession>();
    session->FailWith = "ORA-03113: end-of-file on communication channel";
    DatabaseSession = session;
    int counts = 0;
    diagram->ObjectCountChanged = [&](const QString &) { ++counts; };
    TDragObjects drag;
    drag.Add("S", "A", 0);
    EXPECT_THROW(diagram->DropObjects(drag, 900, 700), std::runtime_error);
    EXPECT_EQ(counts, 1) << "the count still follows a failed drop";
    // Even bookkeeping that fails itself must reach the caller, not end the program.
    diagram->ObjectCountChanged = [](const QString &) { throw std::runtime_error("status bar gone"); };
    EXPECT_THROW(diagram->DropObjects(drag, 900, 700), std::runtime_error);
    diagram->ObjectCountChanged = nullptr;
    DatabaseSession.reset();
    EXPECT_EQ(model->Tables.Count(), 0);
}

TEST_F(ControllerTest, ObjectsWithoutABoxAreTolerated)
{
    auto *a = AddTable(*model, "S", "A", 10, 10, 100, 50);
    auto *b = AddTable(*model, "S", "B", 300, 10, 100, 50);
    AddColumn(*b, "A_ID");
    AddForeignKey(*b, "B_A_FK", {"A_ID"}, "S", "A", {"ID"});
    diagram->Rebuild();
    // A failed load can leave objects that have no box yet.
    auto *late = AddTable(*model, "S", "LATE", 10, 10, 10, 10);
    a->Graphic = nullptr;
    SelectedGraphics->Add(late);
    SelectedGraphics->Add(b);
    EXPECT_EQ(At(Links().Image, 200, 35), 0xFFFFFF); // no link to a table without a box
    Box(b)->GraphicMouseDown(Qt::LeftButton, false, 10, 10);
    Box(b)->GraphicMouseMove(false, 20, 10);
    EXPECT_EQ(b->Left, 310);
    diagram->SelectInBand(TRect{0, 0, 1000, 1000});
    diagram->RefreshAll();
    EXPECT_TRUE(Selected(b));
    EXPECT_FALSE(Selected(late));
}

} // namespace

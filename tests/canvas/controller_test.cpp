// The canvas controller and the box gestures, driven through their handlers.
#include "canvas_fixture.h"

#include "canvas/drag_objects.h"
#include "canvas/os_base_note.h"
#include "canvas/os_base_table.h"
#include "fake_database_session.h"

#include <QMimeData>

namespace {

class ControllerTest : public CanvasTest {
protected:
    TOSGraphic *Box(TBaseDiagramObject *object) { return TOSGraphic::BoxOf(object); }
    bool Selected(TBaseModelObject *object) { return SelectedGraphics->Contains(object); }
};

TEST_F(ControllerTest, RebuildMakesOneBoxPerObjectNotesBeneath)
{
    auto *table = AddTable(*model, "S", "T", 50, 60, 120, 80);
    auto *note = new TDiagramNote();
    note->Left = 40;
    note->Top = 50;
    model->Notes.Add(note);
    auto *type = new TDiagramType();
    type->Name = "TY";
    type->Left = 300;
    type->Top = 10;
    type->Width = 100;
    type->Height = 50;
    model->Types.Add(type);
    QStringList counts;
    diagram->ObjectCountChanged = [&](const QString &text) { counts << text; };

    diagram->Rebuild();
    ASSERT_NE(Box(table), nullptr);
    ASSERT_NE(Box(note), nullptr);
    ASSERT_NE(Box(type), nullptr);
    EXPECT_EQ(Box(table)->geometry(), QRect(50, 60, 120, 80));
    EXPECT_EQ(Box(table)->GetModelObject(), table);
    EXPECT_NE(dynamic_cast<TOSBaseTable *>(Box(table)), nullptr);
    EXPECT_NE(dynamic_cast<TOSBaseNote *>(Box(note)), nullptr);
    // Later children lie above: the note is the first child box.
    const auto boxes = surface->findChildren<TOSGraphic *>(Qt::FindDirectChildrenOnly);
    ASSERT_EQ(boxes.size(), 3);
    EXPECT_EQ(boxes.first(), Box(note));
    EXPECT_EQ(counts.last(), "2 Object(s)");
    EXPECT_EQ(Box(table)->ToolTipText(), "T\n");

    // A second rebuild replaces every box and empties the selection.
    SelectedGraphics->Add(table);
    TOSGraphic *before = Box(table);
    diagram->Rebuild();
    EXPECT_EQ(surface->findChildren<TOSGraphic *>(Qt::FindDirectChildrenOnly).size(), 3);
    EXPECT_EQ(SelectedGraphics->Count(), 0);
    EXPECT_TRUE(diagram->PaintingEnabled);
    (void)before;
}

TEST_F(ControllerTest, RebuildGrowsTheSurfaceButNeverShrinksIt)
{
    AddTable(*model, "S", "T", 800, 10, 100, 100); // right edge at 900
    diagram->Rebuild();
    EXPECT_EQ(surface->width(), 950);
    surface->resize(2000, 2000);
    diagram->Rebuild();
    EXPECT_EQ(surface->width(), 2000);
}

TEST_F(ControllerTest, BandSelectsBoxesWhollyInsideEdgesIncluded)
{
    auto *inside = AddTable(*model, "S", "IN", 10, 10, 100, 50);    // 10..110 x 10..60
    auto *sticking = AddTable(*model, "S", "OUT", 10, 100, 101, 50); // right edge 111
    diagram->Rebuild();
    for (bool reversed : {false, true}) {
        SCOPED_TRACE(reversed);
        const QPoint a(10, 10), b(110, 150);
        const QPoint from = reversed ? b : a, to = reversed ? a : b;
        diagram->SurfaceMouseDown(Qt::LeftButton, from.x(), from.y());
        diagram->SurfaceMouseMove(to.x(), to.y());
        EXPECT_TRUE(diagram->BandDrawn);
        diagram->SurfaceClick();
        diagram->SurfaceMouseUp(to.x(), to.y());
        EXPECT_FALSE(diagram->BandActive);
        EXPECT_FALSE(diagram->BandDrawn);
        EXPECT_TRUE(Selected(inside));
        EXPECT_FALSE(Selected(sticking));
    }
}

TEST_F(ControllerTest, PlainClickAndRightPress)
{
    auto *table = AddTable(*model, "S", "T", 10, 10, 50, 50);
    diagram->Rebuild();
    SelectedGraphics->Add(table);
    diagram->SurfaceMouseDown(Qt::RightButton, 200, 200);
    EXPECT_FALSE(diagram->BandActive);
    diagram->SurfaceMouseMove(300, 300);
    EXPECT_FALSE(diagram->BandDrawn);

    diagram->SurfaceMouseDown(Qt::LeftButton, 200, 200);
    diagram->SurfaceClick();
    diagram->SurfaceMouseUp(200, 200);
    EXPECT_EQ(SelectedGraphics->Count(), 0);
}

TEST_F(ControllerTest, InterruptedBandEndsCleanly)
{
    auto *table = AddTable(*model, "S", "T", 10, 10, 50, 50);
    diagram->Rebuild();
    SelectedGraphics->Add(table);
    diagram->SurfaceMouseDown(Qt::LeftButton, 0, 0);
    diagram->SurfaceMouseMove(100, 100);
    // Another button pressed while the band is up takes the band away.
    diagram->SurfaceMouseDown(Qt::RightButton, 100, 100);
    EXPECT_FALSE(diagram->BandDrawn);
    EXPECT_FALSE(diagram->BandActive);

    diagram->SurfaceMouseDown(Qt::LeftButton, 0, 0);
    diagram->SurfaceMouseMove(100, 100);
    diagram->CancelBand();
    EXPECT_FALSE(diagram->BandDrawn);
    diagram->SurfaceMouseUp(100, 100);
    EXPECT_TRUE(Selected(table)); // a cancelled band selects nothing new and clears nothing
}

TEST_F(ControllerTest, BoxPressSelectsShiftAddsAndKeepsGroup)
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
        {94, 10, true, false, false, false},  {95, 10, false, true, false, false},
        {10, 54, true, false, false, false},  {10, 55, false, false, true, false},
        {95, 55, false, false, false, true},  {94, 54, true, false, false, false},
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

TEST_F(ControllerTest, ResizeKeepsAMinimumAndWritesTheModel)
{
    auto *t = AddTable(*model, "S", "T", 10, 10, 100, 60);
    diagram->Rebuild();
    TOSGraphic *box = Box(t);
    box->GraphicMouseDown(Qt::LeftButton, false, 98, 10);
    box->GraphicMouseMove(false, 15, 10);
    EXPECT_EQ(box->width(), 100);
    box->GraphicMouseMove(false, 20, 10);
    EXPECT_EQ(box->width(), 100);
    box->GraphicMouseMove(false, 21, 10);
    EXPECT_EQ(box->width(), 21);
    EXPECT_EQ(t->Width, 21);
    box->GraphicMouseUp();

    box->GraphicMouseDown(Qt::LeftButton, false, 18, 58);
    box->GraphicMouseMove(false, 300, 10);
    EXPECT_EQ(box->height(), 60); // y inside 20 leaves the height
    EXPECT_EQ(box->width(), 300);
    box->GraphicMouseMove(false, 300, 500);
    EXPECT_EQ(t->Height, 500);
    EXPECT_EQ(t->Width, 300);
    EXPECT_GE(surface->height(), 510);
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

TEST_F(ControllerTest, MovingBeyondTheRightEdgeWidensTheSurface)
{
    auto *t = AddTable(*model, "S", "T", 10, 10, 100, 60);
    diagram->Rebuild();
    surface->resize(400, 300);
    Box(t)->GraphicMouseDown(Qt::LeftButton, false, 10, 10);
    Box(t)->GraphicMouseMove(false, 410, 10);
    EXPECT_EQ(t->Left, 410);
    EXPECT_EQ(surface->width(), 510);
    Box(t)->GraphicMouseUp();
}

TEST_F(ControllerTest, DoubleClickOnATypeOpensNothingButSelects)
{
    auto *type = new TDiagramType();
    type->Name = "TY";
    type->Width = 80;
    type->Height = 40;
    model->Types.Add(type);
    diagram->Rebuild();
    Box(type)->GraphicDblClick();
    EXPECT_TRUE(Selected(type));
    EXPECT_FALSE(Box(type)->GestureActive());
}

TEST_F(ControllerTest, DropPlacesObjectsAtTheirOffsets)
{
    auto session = std::make_shared<TFakeDatabaseSession>();
    TDiagramObjectModel source;
    for (const char *name : {"A", "B", "C"}) {
        auto *t = AddTable(source, "S", name);
        AddColumn(*t, "ID");
        session->AddTable(*t);
    }
    DatabaseSession = session;
    TDragObjects drag;
    drag.Add("S", "A", 0);
    drag.Add("S", "MISSING_KIND_TYPE", 2); // the session has no such type
    drag.Add("S", "B", 0);
    drag.Add("S", "C", 0);
    // Carried through the private drag format unchanged.
    auto carried = TDragObjects::FromMimeData(drag.ToMimeData().get());
    ASSERT_NE(carried, nullptr);
    ASSERT_EQ(carried->Items.size(), 4u);
    EXPECT_TRUE(diagram->SurfaceDragOver(carried.get()));
    EXPECT_FALSE(diagram->SurfaceDragOver(nullptr));

    carried->Items.erase(carried->Items.begin() + 1);
    diagram->DropObjects(*carried, 100, 50);
    DatabaseSession.reset();
    ASSERT_EQ(model->Tables.Count(), 3);
    const QPoint expected[] = {{100, 50}, {120, 90}, {140, 110}};
    for (int i = 0; i < 3; ++i) {
        TDiagramTable *t = model->Tables.GetTable(i);
        EXPECT_EQ(QPoint(t->Left, t->Top), expected[i]) << i;
        ASSERT_NE(Box(t), nullptr);
        EXPECT_EQ(Box(t)->pos(), expected[i]);
        EXPECT_GT(t->Width, 0);
    }
}

TEST_F(ControllerTest, MalformedDragDataIsRefused)
{
    EXPECT_EQ(TDragObjects::Decode(QByteArray("\x00\x00\x00\x05garbage", 11)), nullptr);
    QMimeData plain;
    plain.setText("S.T");
    EXPECT_EQ(TDragObjects::FromMimeData(&plain), nullptr);
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
    QImage image = WhiteImage(500, 200);
    {
        TCanvas canvas(&image);
        diagram->DrawLinks(canvas, 0, 0, 1, 1);
    }
    Box(b)->GraphicMouseDown(Qt::LeftButton, false, 10, 10);
    Box(b)->GraphicMouseMove(false, 20, 10);
    EXPECT_EQ(b->Left, 310);
    diagram->SelectInBand(TRect{0, 0, 1000, 1000});
    diagram->RefreshAll();
    EXPECT_TRUE(Selected(b));
    EXPECT_FALSE(Selected(late));
}

} // namespace

// The canvas controller and the box gestures, driven through their handlers.
#include "canvas_fixture.h"

#include "canvas/drag_objects.h"
#include "canvas/os_base_note.h"
#include "canvas/os_base_table.h"
#include "canvas/os_base_type.h"
#include "fake_database_session.h"
#include "model/model_hooks.h"
#include "test_data.h"

#include <QCoreApplication>
#include <QMenu>
#include <QRubberBand>
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
        EXPECT_FALSE(diagram->BandActive || diagram->BandDrawn);
    }
    QList<TOSGraphic *> Boxes() const { return surface->findChildren<TOSGraphic *>(Qt::FindDirectChildrenOnly); }
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
    EXPECT_EQ(Boxes(), (QList<TOSGraphic *>{Box(note), Box(table), Box(type)}));
    EXPECT_EQ(counts.last(), "2 Object(s)");
    EXPECT_EQ(Box(table)->ToolTipText(), "T\n");
    EXPECT_EQ(surface->width(), 900 + 30 + 20);

    // A second rebuild replaces every box and empties the selection; the surface never shrinks.
    SelectedGraphics->Add(table);
    surface->resize(2000, 2000);
    diagram->Rebuild();
    EXPECT_EQ(Boxes().size(), 3);
    EXPECT_EQ(SelectedGraphics->Count(), 0);
    EXPECT_EQ(surface->width(), 2000);

    // The surface's other children outlast a rebuild as they were: the popup
    // menu, and a band being drawn, still shown where it was.
    surface->show();
    diagram->SurfaceMouseDown(Qt::LeftButton, 5, 5);
    diagram->SurfaceMouseMove(50, 40);
    auto *band = surface->findChild<QRubberBand *>();
    auto *popup = surface->findChild<QMenu *>();
    ASSERT_TRUE(band && popup);
    const QRect shown = band->geometry();
    // The first rebuild puts the band before the new boxes.
    diagram->Rebuild();
    diagram->Rebuild();
    EXPECT_EQ(band->parentWidget(), surface.get());
    EXPECT_TRUE(band->isVisible());
    EXPECT_EQ(band->geometry(), shown);
    EXPECT_EQ(popup->parentWidget(), surface.get());
    EXPECT_EQ(popup->windowType(), Qt::Popup);
    EXPECT_EQ(Boxes(), (QList<TOSGraphic *>{Box(note), Box(table), Box(type)}));
    diagram->CancelBand();
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

TEST_F(ControllerTest, BandSelectsBoxesWhollyInsideEdgesIncludedAndOtherButtonsEndIt)
{
    auto *inside = AddTable(*model, "S", "IN", 10, 10, 100, 50);    // 10..110 x 10..60
    auto *sticking = AddTable(*model, "S", "OUT", 10, 100, 101, 50); // right edge 111
    diagram->Rebuild();
    for (bool reversed : {false, true}) {
        const QPoint a(10, 10), b(110, 150);
        Band(reversed ? b : a, reversed ? a : b);
        EXPECT_TRUE(Selected(inside)) << reversed;
        EXPECT_FALSE(Selected(sticking)) << reversed;
    }
    diagram->SurfaceMouseDown(Qt::RightButton, 200, 220);
    EXPECT_FALSE(diagram->BandActive);
    // Another button pressed while the band is up takes it away; so does a cancel.
    for (bool cancel : {false, true}) {
        diagram->SurfaceMouseDown(Qt::LeftButton, 0, 0);
        diagram->SurfaceMouseMove(100, 130);
        cancel ? diagram->CancelBand() : diagram->SurfaceMouseDown(Qt::RightButton, 100, 130);
        EXPECT_FALSE(diagram->BandDrawn || (!cancel && diagram->BandActive)) << cancel;
    }
    diagram->SurfaceMouseUp(100, 130);
    EXPECT_TRUE(Selected(inside)); // a cancelled band selects nothing new and clears nothing
    Band({200, 200}, {200, 200});  // a plain click clears
    EXPECT_EQ(SelectedGraphics->Count(), 0);
}

TEST_F(ControllerTest, BoxPressSelectsShiftAddsAndAPlainPressKeepsTheGroup)
{
    auto *a = AddTable(*model, "S", "A", 10, 10, 100, 50);
    auto *b = AddTable(*model, "S", "B", 200, 10, 100, 50);
    diagram->Rebuild();
    Box(a)->GraphicMouseDown(Qt::LeftButton, false, 10, 20);
    Box(b)->GraphicMouseDown(Qt::LeftButton, true, 10, 20);
    EXPECT_TRUE(Selected(a) && Selected(b));
    // Shift on a selected box does not toggle it off; a plain press keeps the group.
    Box(b)->GraphicMouseDown(Qt::LeftButton, true, 10, 20);
    Box(a)->GraphicMouseDown(Qt::LeftButton, false, 10, 20);
    EXPECT_EQ(SelectedGraphics->Count(), 2);
    // A plain press on an unselected box makes it the only one.
    SelectedGraphics->Remove(b);
    Box(b)->GraphicMouseDown(Qt::LeftButton, false, 10, 20);
    EXPECT_EQ(SelectedGraphics->Items(), std::vector<TBaseModelObject *>{b});
}

TEST_F(ControllerTest, HitZonesOfABox)
{
    auto *t = AddTable(*model, "S", "T", 10, 10, 100, 60);
    diagram->Rebuild();
    TOSGraphic *box = Box(t);
    // The edges are the last five pixels: x,y=Moving, Right edge, Bottom edge or Corner.
    for (const QString &probe : QString("94,10=M 95,10=R 10,54=M 10,55=B 95,55=C 94,54=M 94,55=B 95,54=R").split(' ')) {
        box->GraphicMouseDown(Qt::LeftButton, false, probe.section(',', 0, 0).toInt(), probe.section(',', 1).section('=', 0, 0).toInt());
        const char zone = probe.back().toLatin1();
        EXPECT_EQ(QString("%1%2%3%4").arg(box->Moving).arg(box->ResizingRight).arg(box->ResizingBottom).arg(box->ResizingCorner),
                  QString("%1%2%3%4").arg(zone == 'M').arg(zone == 'R').arg(zone == 'B').arg(zone == 'C')) << probe.toStdString();
        box->GraphicMouseUp();
        EXPECT_FALSE(box->GestureActive());
    }
}

TEST_F(ControllerTest, ResizeKeepsAMinimumGesturesWriteTheModelAndGrowTheSurface)
{
    auto *t = AddTable(*model, "S", "T");
    for (const QStringList &c : readCases("canvas/gestures.txt")) {
        SCOPED_TRACE(c.join(" | ").toStdString());
        Placed(t, 10, 10, 100, 60);
        surface->resize(400, 300);
        diagram->Rebuild();
        const QList<int> press = caseInts(c[0]), to = caseInts(c[1]), r = caseInts(c[2]), grown = caseInts(c[3]);
        Box(t)->GraphicMouseDown(Qt::LeftButton, false, press[0], press[1]);
        Box(t)->GraphicMouseMove(false, to[0], to[1]);
        EXPECT_EQ(Box(t)->geometry(), QRect(r[0], r[1], r[2], r[3]));
        EXPECT_EQ(QRect(t->Left, t->Top, t->Width, t->Height), QRect(r[0], r[1], r[2], r[3]));
        EXPECT_EQ(surface->size(), QSize(grown[0], grown[1]));
        Box(t)->GraphicMouseUp();
    }
}

TEST_F(ControllerTest, GroupMoveStopsAtTheFirstBoxThatWouldLeaveThePage)
{
    for (bool nearFirst : {true, false}) {
        model->Tables.Clear();
        auto *nearBox = AddTable(*model, "S", "NEAR", 5, 100, 30, 30);
        auto *farBox = AddTable(*model, "S", "FAR", 50, 100, 30, 30);
        diagram->Rebuild();
        SelectedGraphics->Add(nearFirst ? nearBox : farBox);
        SelectedGraphics->Add(nearFirst ? farBox : nearBox);
        TOSGraphic *pressed = Box(farBox);
        pressed->GraphicMouseDown(Qt::LeftButton, false, 12, 20);
        pressed->GraphicMouseMove(false, 2, 26); // 10 left, 6 down
        EXPECT_EQ(QPoint(nearBox->Left, nearBox->Top), QPoint(5, 100)) << nearFirst;
        EXPECT_EQ(QPoint(farBox->Left, farBox->Top), nearFirst ? QPoint(50, 100) : QPoint(40, 106)) << nearFirst;
        EXPECT_EQ(Box(farBox)->pos(), QPoint(farBox->Left, farBox->Top));
        pressed->GraphicMouseUp();
    }
}

TEST_F(ControllerTest, DoubleClickEditsTablesAndNotesAndSelects)
{
    // An editor that rebuilds the page while it is open, as a deferred command may.
    struct TRebuildingWizards : IModelWizards {
        TOSDiagram *Diagram = nullptr;
        int Edits = 0;
        std::unique_ptr<TDiagramTable> CreateTable() override { return nullptr; }
        std::unique_ptr<TDiagramNote> CreateNote() override { return nullptr; }
        void EditTable(TDiagramTable *) override { ++Edits, Diagram->Rebuild(); }
        void EditNote(TDiagramNote *) override { ++Edits; }
    } wizards;
    auto *type = AddType("S", "TY", 10, 10, 80, 40);
    auto *note = AddNote(200, 10);
    auto *table = AddTable(*model, "S", "T", 300, 10);
    wizards.Diagram = diagram.get();
    TModelHooks::Wizards = &wizards;
    diagram->Rebuild();
    Box(type)->GraphicDblClick(); // no editor for types
    EXPECT_EQ(wizards.Edits, 0);
    EXPECT_TRUE(Selected(type) && !Box(type)->GestureActive());
    Box(note)->GraphicDblClick();
    EXPECT_EQ(wizards.Edits, 1);
    EXPECT_TRUE(Selected(note) && !Selected(type));
    // The box is gone when the editor returns: nothing of it is touched.
    Box(table)->GraphicDblClick();
    EXPECT_EQ(wizards.Edits, 2);
    EXPECT_EQ(SelectedGraphics->Count(), 0);
    EXPECT_FALSE(Box(table)->GestureActive());
    TModelHooks::Wizards = nullptr;
}

TEST_F(ControllerTest, DropPlacesObjectsAtTheirOffsetsByKindAndAFailureStillCounts)
{
    auto session = std::make_shared<TFakeDatabaseSession>();
    TDragObjects drag;
    for (const char *name : {"A", "B", "C"}) {
        TDiagramTable t;
        t.Owner = "S", t.Name = name;
        AddColumn(t, "ID");
        session->AddTable(t), drag.Add("S", name, 0);
    }
    TDiagramType type;
    type.Owner = "S", type.Name = "TY";
    session->AddType(type), drag.Add("S", "TY", 2);
    DatabaseSession = session;
    // Carried through the private drag format unchanged; nothing else is taken.
    auto carried = TDragObjects::FromMimeData(drag.ToMimeData().get());
    ASSERT_EQ(carried ? carried->Items.size() : 0u, 4u);
    EXPECT_EQ(carried->Items[3]->Kind, 2);
    EXPECT_TRUE(diagram->SurfaceDragOver(carried.get()));
    EXPECT_FALSE(diagram->SurfaceDragOver(nullptr));
    EXPECT_EQ(TDragObjects::Decode(QByteArray("\x00\x00\x00\x05garbage", 11)), nullptr);
    QMimeData plain;
    plain.setText("S.T");
    EXPECT_EQ(TDragObjects::FromMimeData(&plain), nullptr);

    diagram->DropObjects(*carried, 100, 50);
    ASSERT_EQ(model->Tables.Count() + model->Types.Count(), 4);
    // The first at the drop point, the second 20 right and 40 down (these
    // boxes are 32 high); the next ones, wanted 20 and 20 further, would
    // cover the one before and lie beside it instead.
    QList<QRect> placed;
    for (int i = 0; i < 4; ++i) {
        auto *object = i < 3 ? static_cast<TBaseDiagramRectangle *>(model->Tables.GetTable(i)) : model->Types.GetType(0);
        ASSERT_NE(Box(object), nullptr);
        placed << QRect(object->Left, object->Top, object->Width, object->Height);
        EXPECT_EQ(Box(object)->geometry(), placed.last()) << i;
        EXPECT_GT(object->Width, 0);
        for (int j = 0; j < i; ++j)
            EXPECT_FALSE(placed[j].intersects(placed[i])) << j << " " << i;
    }
    EXPECT_EQ(placed[0].topLeft(), QPoint(100, 50));
    EXPECT_EQ(placed[1].topLeft(), QPoint(120, 90));
    EXPECT_NE(dynamic_cast<TOSBaseType *>(Box(model->Types.GetType(0))), nullptr);

    // Objects on the page already are not asked for again: only S.D reaches the session.
    session->FailWith = "ORA-03113: end-of-file on communication channel";
    drag.Add("S", "D", 0);
    int counts = 0;
    diagram->ObjectCountChanged = [&](const QString &) { ++counts; };
    EXPECT_THROW(diagram->DropObjects(drag, 900, 700), std::runtime_error);
    EXPECT_EQ(counts, 1) << "the count still follows a failed drop";
    // Even bookkeeping that fails itself must reach the caller, not end the program.
    diagram->ObjectCountChanged = [](const QString &) { throw std::runtime_error("status bar gone"); };
    EXPECT_THROW(diagram->DropObjects(drag, 900, 700), std::runtime_error);
    diagram->ObjectCountChanged = nullptr;
    DatabaseSession.reset();
    EXPECT_EQ(model->Tables.Count(), 3);
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
    Box(b)->GraphicMouseDown(Qt::LeftButton, false, 10, 20);
    Box(b)->GraphicMouseMove(false, 20, 20);
    EXPECT_EQ(b->Left, 310);
    diagram->SelectInBand(TRect{0, 0, 1000, 1000});
    diagram->RefreshAll();
    EXPECT_TRUE(Selected(b) && !Selected(late));
}

} // namespace

#include "canvas/os_diagram.h"

#include "canvas/diagram_panel.h"
#include "canvas/dom_tree.h"
#include "canvas/drag_objects.h"
#include "canvas/draw_link.h"
#include "canvas/free_spot.h"
#include "canvas/layout_adapter.h"
#include "canvas/os_base_note.h"
#include "canvas/os_base_table.h"
#include "canvas/os_base_type.h"
#include "canvas/overview.h"
#include "canvas/picture_export.h"
#include "dbtools/console_helper.h"
#include "model/diagram_object_model.h"
#include "model/model_globals.h"
#include "model/preferences.h"
#include "platform/canvas.h"
#include "platform/rect.h"
#include "platform/user_interface.h"

#include <QApplication>
#include <QCoreApplication>
#include <QEvent>
#include <QMenu>
#include <QRubberBand>
#include <QSignalBlocker>
#include <QTreeWidget>

#include <algorithm>

namespace {

// Restores painting however Rebuild ends.
struct TPaintingGuard {
    bool &Flag;
    explicit TPaintingGuard(bool &flag) : Flag(flag) { Flag = false; }
    ~TPaintingGuard() { Flag = true; }
};

} // namespace

TOSDiagram::TOSDiagram() : MeasureCanvas_(std::make_unique<TCanvas>())
{
}

TOSDiagram::~TOSDiagram()
{
    delete Popup.data();
    if (TModelHooks::Surface == this)
        TModelHooks::Surface = nullptr;
    if (Surface) {
        if (auto *surface = qobject_cast<TDiagramSurface *>(Surface); surface && surface->Diagram == this)
            surface->Diagram = nullptr;
        for (auto *box : Surface->findChildren<TOSGraphic *>(Qt::FindDirectChildrenOnly))
            box->Diagram = nullptr;
    }
}

void TOSDiagram::AttachSurface(QWidget *surface)
{
    Surface = surface;
    if (auto *diagramSurface = qobject_cast<TDiagramSurface *>(surface))
        diagramSurface->Diagram = this;
    TModelHooks::Surface = this;
    if (surface)
        BuildPopup();
}

TCanvas *TOSDiagram::SurfaceCanvas()
{
    return MeasureCanvas_.get();
}

void TOSDiagram::GrowSurface(int width, int height)
{
    if (!Surface)
        return;
    const int w = std::max(Surface->width(), width);
    const int h = std::max(Surface->height(), height);
    if (w != Surface->width() || h != Surface->height())
        Surface->resize(w, h);
}

void TOSDiagram::DestroyGraphics()
{
    ClearSelection();
    if (CurrentModel)
        CurrentModel->ClearGraphicLinks();
    if (!Surface)
        return;
    // Each box is deleted while still a child: taking it off its parent first
    // makes Qt walk the whole focus chain per box, and a page of thousands of
    // boxes then tears down in quadratic time. First to last, because Qt finds
    // a leaving child by a search from the front of its parent's list.
    // Every new widget has a polish request waiting in the event queue until
    // the loop next runs, and deleting a widget with a waiting event searches
    // the whole queue: boxes built and torn down within one command (open a
    // file, then close the empty first page) would cost N squared. Polishing
    // now is what the loop would do next anyway.
    QCoreApplication::sendPostedEvents(nullptr, QEvent::PolishRequest);
    // A leaving child is also moved out of its parent's list by shifting all
    // behind it, so each box is first in the list only when no other child
    // (the popup menu, the rubber band) stands before the boxes: otherwise
    // every box moves all the others once more. The other children step out
    // while the boxes go, and come back after them.
    struct TOtherChild {
        QWidget *Widget;
        Qt::WindowFlags Flags;
        bool Visible;
    };
    std::vector<TOtherChild> others;
    const QObjectList children = Surface->children();
    for (QObject *child : children) {
        if (qobject_cast<TOSGraphic *>(child))
            break;
        auto *widget = qobject_cast<QWidget *>(child);
        if (!widget)
            continue;
        others.push_back({widget, widget->windowFlags(), widget->isVisible()});
        widget->setParent(nullptr, widget->windowFlags());
    }
    for (QObject *child : children)
        if (auto *box = qobject_cast<TOSGraphic *>(child)) {
            box->Diagram = nullptr;
            box->hide();
            delete box; // a Qt child: its parent would otherwise free it
        }
    for (const TOtherChild &other : others) {
        other.Widget->setParent(Surface, other.Flags);
        if (other.Visible)
            other.Widget->show();
    }
}

void TOSDiagram::PlaceBox(TOSGraphic *box, int left, int top, int width, int height)
{
    // A box far out (or huge) in the file is shown at the edge of what a
    // window can hold; its own numbers stay as they were read.
    box->setGeometry(ClampShown(left), ClampShown(top), ClampShownSize(width), ClampShownSize(height));
    box->show();
    if (Surface)
        Surface->update();
}

TOSBaseTable *TOSDiagram::AddTableGraphic(TDiagramTable *table)
{
    table->Columns.SortColumns(table->ColumnSortMethod, table);
    auto *box = new TOSBaseTable(this, table);
    PlaceBox(box, table->Left, table->Top, table->Width, table->Height);
    table->Graphic = box;
    UpdateObjectCount();
    return box;
}

TOSBaseObjectTable *TOSDiagram::AddObjectTableGraphic(TDiagramObjectTable *objectTable)
{
    auto *box = new TOSBaseObjectTable(this, objectTable);
    PlaceBox(box, objectTable->Left, objectTable->Top, objectTable->Width, objectTable->Height);
    objectTable->Graphic = box;
    return box;
}

TOSBaseType *TOSDiagram::AddTypeGraphic(TDiagramType *type)
{
    auto *box = new TOSBaseType(this, type);
    PlaceBox(box, type->Left, type->Top, type->Width, type->Height);
    type->Graphic = box;
    return box;
}

TOSBaseNote *TOSDiagram::AddNoteGraphic(TDiagramNote *note)
{
    auto *box = new TOSBaseNote(this, note);
    PlaceBox(box, note->Left, note->Top, note->Width, note->Height);
    note->Graphic = box;
    return box;
}

void TOSDiagram::UpdateObjectCount()
{
    if (!CurrentModel || !ObjectCountChanged)
        return;
    ObjectCountChanged(QString::number(CurrentModel->GetObjectCount()) + QStringLiteral(" Object(s)"));
}

void TOSDiagram::RefreshListGraphics(const TOSBaseList &list)
{
    for (TBaseModelObject *object : list.Items())
        if (auto *box = TOSGraphic::BoxOf(dynamic_cast<TBaseDiagramObject *>(object)))
            box->update();
}

void TOSDiagram::RefreshAll()
{
    if (!CurrentModel)
        return;
    RefreshListGraphics(CurrentModel->Notes);
    RefreshListGraphics(CurrentModel->Tables);
    RefreshListGraphics(CurrentModel->ObjectTables);
    RefreshListGraphics(CurrentModel->Types);
}

void TOSDiagram::Refresh()
{
    RefreshAll();
}

void TOSDiagram::ClearSelection()
{
    if (SelectedGraphics)
        SelectedGraphics->Clear();
}

namespace {

// Whether a link can reach the rows of the area: it runs between its two boxes
// (or loops beside one). Its caption may stand out sideways, so columns do not
// count.
bool LinkMeetsRows(TDiagramForeignKey *key, const TRect &area)
{
    TOSGraphic *from = TOSGraphic::BoxOf(key->Table);
    TOSGraphic *to = TOSGraphic::BoxOf(TDrawLink::ReferencedTable(*key));
    if (!from || !to)
        return false;
    const TRect a = from->BoundsRect(), b = to->BoundsRect();
    const int margin = TPictureExport::AreaMargin;
    return std::max(a.Bottom, b.Bottom) + margin > area.Top && std::min(a.Top, b.Top) - margin < area.Bottom;
}

template <class TList>
void DrawForeignKeys(const TList &tables, TCanvas &canvas, int offsetX, int offsetY, double scaleX, double scaleY,
                     const TRect *area)
{
    for (auto *table : tables) {
        if (!table->Graphic)
            continue;
        for (TDiagramForeignKey *key : table->ForeignKeys)
            if (!area || LinkMeetsRows(key, *area))
                TDrawLink::DrawForeignKey(canvas, key, offsetX, offsetY, scaleX, scaleY);
    }
}

} // namespace

void TOSDiagram::DrawLinks(TCanvas &canvas, int offsetX, int offsetY, double scaleX, double scaleY, const TRect *area)
{
    if (!CurrentModel)
        return;
    DrawForeignKeys(CurrentModel->Tables, canvas, offsetX, offsetY, scaleX, scaleY, area);
    DrawForeignKeys(CurrentModel->ObjectTables, canvas, offsetX, offsetY, scaleX, scaleY, area);
    for (TDiagramObjectTable *table : CurrentModel->ObjectTables)
        if (table->Graphic)
            TDrawLink::DrawObjectTableTypeLink(canvas, table, offsetX, offsetY, scaleX, scaleY, table->TypeName,
                                               table->TypeOwner);
}

void TOSDiagram::PaintPageBreaks(TCanvas &canvas)
{
    if (!Preferences || !Preferences->DrawPrinterPages || !DrawPageBreaks)
        return;
    try {
        DrawPageBreaks(canvas);
        PageBreaksFailed_ = false;
    } catch (const std::exception &e) {
        // A box inside a paint event would paint again under itself: the
        // reason is shown once the paint is over, and only once while the
        // edges keep failing (every scroll repaints). The user's preference
        // is left as it is.
        if (PageBreaksFailed_)
            return;
        PageBreaksFailed_ = true;
        const QString reason = QString::fromUtf8(e.what());
        QMetaObject::invokeMethod(
            qApp, [reason] { UserInterface().ShowError(reason); }, Qt::QueuedConnection);
    }
}

void TOSDiagram::Rebuild()
{
    THourglass hourglass;
    TPaintingGuard painting(PaintingEnabled);
    const bool updates = Surface && Surface->updatesEnabled();
    if (Surface)
        Surface->setUpdatesEnabled(false);
    struct TUpdatesGuard {
        QWidget *Widget;
        bool Enabled;
        ~TUpdatesGuard()
        {
            if (Widget)
                Widget->setUpdatesEnabled(Enabled);
        }
    } updatesGuard{Surface, updates};

    DestroyGraphics();
    if (CurrentModel) {
        for (TDiagramNote *note : CurrentModel->Notes)
            AddNoteGraphic(note);
        for (TDiagramTable *table : CurrentModel->Tables)
            AddTableGraphic(table);
        for (TDiagramObjectTable *table : CurrentModel->ObjectTables)
            AddObjectTableGraphic(table);
        for (TDiagramType *type : CurrentModel->Types)
            AddTypeGraphic(type);
    }
    // The links and page breaks are painted beneath the boxes by the surface's
    // next paint; nothing is drawn outside a paint event.
    if (Surface)
        Surface->update();
    if (CurrentModel) {
        int x = 0, y = 0;
        CurrentModel->GetDiagramExtent(x, y);
        GrowSurface(x + 20, y + 20);
    }
    if (OverviewBox)
        OverviewBox->update();
    UpdateObjectCount();
}

void TOSDiagram::SurfacePaint(TCanvas &canvas, const TRect *area)
{
    if (!PaintingEnabled || !Surface)
        return;
    const TOSSchemaStyle &style = CurrentStyle();
    canvas.Brush.Style = bsSolid;
    canvas.Brush.Color = style.BackgroundColour;
    canvas.FillRect(canvas.ClipRect());
    DrawLinks(canvas, 0, 0, 1.0, 1.0, area);
    // The overview paints itself from the page; it is only told to.
    if (OverviewBox)
        OverviewBox->update();
    PaintPageBreaks(canvas);
}

bool TOSDiagram::SurfaceDragOver(const TDragObjects *source) const
{
    return source != nullptr;
}

void TOSDiagram::DropObjects(const TDragObjects &source, int x, int y)
{
    // The second object 20 right and 40 down, each next one 20 and 20 more.
    AddFromDatabase(source, [x, y](int i) {
        return i == 0 ? QPoint(x, y) : QPoint(ClampShown(x + 20LL * i), ClampShown(y + 20LL * i + 20));
    });
}

void TOSDiagram::AddFromDatabase(const TDragObjects &source, const std::function<QPoint(int)> &wanted)
{
    if (!CurrentModel)
        return;
    THourglass hourglass;
    // An exception from the session ends the adding after the objects already
    // added; the tree, the surface and the count still follow them.
    const auto finish = [this] {
        TDOMTree::RefreshExplorerTree();
        if (CurrentModel) {
            int ex = 0, ey = 0;
            CurrentModel->GetDiagramExtent(ex, ey);
            GrowSurface(ex + 20, ey + 20);
        }
        UpdateObjectCount();
    };
    try {
        AddDroppedObjects(source, wanted);
    } catch (...) {
        finish();
        throw;
    }
    finish();
}

namespace {

// Tables, object tables and types share one name space in a schema: a name
// on the page in any of them is that object.
bool OnPage(const TDiagramObjectModel &model, const QString &owner, const QString &name)
{
    const auto same = [&](const auto &list) {
        return std::any_of(list.begin(), list.end(),
                           [&](const auto *object) { return object->Owner == owner && object->Name == name; });
    };
    return same(model.Tables) || same(model.ObjectTables) || same(model.Types);
}

std::vector<TRect> TakenBounds(const TDiagramObjectModel &model)
{
    std::vector<TRect> taken;
    const auto add = [&](const auto &list) {
        for (const TBaseDiagramRectangle *box : list)
            taken.push_back(Bounds(box->Left, box->Top, box->Width, box->Height));
    };
    add(model.Tables), add(model.ObjectTables), add(model.Types), add(model.Notes);
    return taken;
}

} // namespace

void TOSDiagram::AddDroppedObjects(const TDragObjects &source, const std::function<QPoint(int)> &wanted)
{
    TCanvas *canvas = SurfaceCanvas();
    QStringList present;
    std::vector<const TDBObjectData *> adding;
    for (const auto &item : source.Items) {
        const bool twice = std::any_of(adding.begin(), adding.end(), [&](const TDBObjectData *other) {
            return other->Owner == item->Owner && other->Name == item->Name;
        });
        if (twice || OnPage(*CurrentModel, item->Owner, item->Name)) {
            if (!twice)
                present << item->Owner + QLatin1Char('.') + item->Name;
        } else {
            adding.push_back(item.get());
        }
    }
    std::vector<std::pair<QString, QString>> tables;
    for (const TDBObjectData *item : adding)
        if (item->Kind == 0)
            tables.emplace_back(item->Owner, item->Name);
    TTablesRead read;
    if (DatabaseSession)
        read = ReadTablesAhead(*DatabaseSession, tables);
    std::vector<TRect> taken = TakenBounds(*CurrentModel);
    for (size_t i = 0; i < adding.size(); ++i) {
        const TDBObjectData *item = adding[i];
        TBaseDiagramRectangle *object = nullptr;
        if (item->Kind == 2)
            object = CurrentModel->AddTypeFromDatabase(item->Owner, item->Name);
        else if (item->Kind == 1)
            object = CurrentModel->AddObjectTableFromDatabase(item->Owner, item->Name);
        else
            object = CurrentModel->AddTableFromDatabase(item->Owner, item->Name, &read);
        if (!object)
            continue;
        object->Width = object->CalcWidth(canvas);
        object->Height = object->CalcHeight(canvas);
        const QPoint at = wanted(int(i));
        const TRect spot = FreeSpot(taken, Bounds(at.x(), at.y(), object->Width, object->Height));
        object->Left = spot.Left;
        object->Top = spot.Top;
        taken.push_back(spot);
        if (auto *type = dynamic_cast<TDiagramType *>(object))
            AddTypeGraphic(type);
        else if (auto *objectTable = dynamic_cast<TDiagramObjectTable *>(object))
            AddObjectTableGraphic(objectTable);
        else if (auto *table = dynamic_cast<TDiagramTable *>(object))
            AddTableGraphic(table);
    }
    // Last, so that it is the line the user sees after the reading's.
    if (!present.isEmpty())
        TConsoleHelper::WriteLine(
            present.size() == 1
                ? QStringLiteral("%1 is already on the page; it is not added again.").arg(present.first())
                : QStringLiteral("%1 are already on the page; they are not added again.").arg(present.join(", ")));
}

void TOSDiagram::XorRubberBand(int x, int y, bool erase)
{
    if (!Surface)
        return;
    if (erase) {
        if (Band_)
            Band_->hide();
    } else {
        if (!Band_)
            Band_ = new QRubberBand(QRubberBand::Rectangle, Surface);
        Band_->setGeometry(QRect(BandStart, QPoint(x, y)).normalized());
        Band_->show();
        Band_->raise();
    }
    BandDrawn = !erase;
}

void TOSDiagram::SurfaceMouseDown(Qt::MouseButton button, int x, int y)
{
    if (BandDrawn)
        XorRubberBand(LastPoint.x(), LastPoint.y(), true);
    BandStart = QPoint(x, y);
    LastPoint = QPoint(x, y);
    BandActive = button == Qt::LeftButton;
}

void TOSDiagram::SurfaceMouseMove(int x, int y)
{
    if (BandActive) {
        if (BandDrawn)
            XorRubberBand(LastPoint.x(), LastPoint.y(), true);
        XorRubberBand(x, y, false);
    }
    LastPoint = QPoint(x, y);
}

void TOSDiagram::SurfaceMouseUp(int x, int y)
{
    if (!BandActive)
        return;
    LastPoint = QPoint(x, y);
    if (BandDrawn)
        XorRubberBand(LastPoint.x(), LastPoint.y(), true);
    BandActive = false;
    SelectInBand(TRect{BandStart.x(), BandStart.y(), LastPoint.x(), LastPoint.y()});
}

void TOSDiagram::CancelBand()
{
    if (BandDrawn)
        XorRubberBand(LastPoint.x(), LastPoint.y(), true);
    BandActive = false;
}

void TOSDiagram::SurfaceClick()
{
    ClearSelection();
    RefreshAll();
}

void TOSDiagram::SelectInBand(const TRect &bandRect)
{
    ClearSelection();
    TRect band = bandRect;
    if (band.Top > band.Bottom)
        std::swap(band.Top, band.Bottom);
    if (band.Left > band.Right)
        std::swap(band.Left, band.Right);
    if (CurrentModel && SelectedGraphics) {
        for (const TOSBaseList *list : {static_cast<const TOSBaseList *>(&CurrentModel->Tables),
                                        static_cast<const TOSBaseList *>(&CurrentModel->ObjectTables),
                                        static_cast<const TOSBaseList *>(&CurrentModel->Types),
                                        static_cast<const TOSBaseList *>(&CurrentModel->Notes)}) {
            for (TBaseModelObject *object : list->Items()) {
                TOSGraphic *box = TOSGraphic::BoxOf(dynamic_cast<TBaseDiagramObject *>(object));
                if (!box)
                    continue;
                const TRect r = box->BoundsRect();
                // Wholly inside, edges included.
                if (r.Left >= band.Left && r.Top >= band.Top && r.Right <= band.Right && r.Bottom <= band.Bottom &&
                    !SelectedGraphics->Contains(object))
                    SelectedGraphics->Add(object);
            }
        }
    }
    RefreshAll();
    SyncModelTree();
}

void TOSDiagram::SyncModelTree()
{
    if (SyncingFromModelTree || !ModelTreeView || !SelectedGraphics || SelectedGraphics->Count() != 1)
        return;
    TBaseModelObject *object = SelectedGraphics->GetItem(0);
    QString text;
    if (auto *table = dynamic_cast<TDiagramTable *>(object))
        text = table->Owner + QLatin1Char('.') + table->Name;
    else if (auto *type = dynamic_cast<TDiagramType *>(object))
        text = type->Owner + QLatin1Char('.') + type->Name;
    else
        return;
    const QSignalBlocker blocker(ModelTreeView);
    TDOMTree::SelectNode(text);
}

void TOSDiagram::LayoutDiagram()
{
    if (!CurrentModel)
        return;
    TLayoutAdapter layout(*CurrentModel);
    layout.Execute();
    Rebuild();
}

void TOSDiagram::SaveAsImage(const QString &fileName)
{
    TPictureExport::SaveAsImage(*this, fileName);
}

void TOSDiagram::SaveAsBitmap(const QString &fileName)
{
    TPictureExport::SaveAsBitmap(*this, fileName);
}

void TOSDiagram::SaveAsMetafile(const QString &fileName)
{
    TPictureExport::SaveAsMetafile(*this, fileName);
}

void TOSDiagram::SaveAsGif(const QString &fileName)
{
    TPictureExport::SaveAsGif(*this, fileName);
}

void TOSDiagram::SaveAsJpeg(const QString &fileName)
{
    TPictureExport::SaveAsJpeg(*this, fileName);
}

QImage TOSDiagram::GetDiagramBitmap()
{
    return TPictureExport::GetDiagramBitmap(*this);
}

QImage TOSDiagram::RenderBitmap(int width, int height)
{
    return TPictureExport::RenderBitmap(*this, width, height);
}

QByteArray TOSDiagram::GetDiagramMetafile()
{
    return TPictureExport::GetDiagramMetafile(*this);
}

QByteArray TOSDiagram::RenderMetafile(int width, int height)
{
    return TPictureExport::RenderMetafile(*this, width, height);
}

void TOSDiagram::DrawOverview(TCanvas &canvas, int width, int height)
{
    TOverview::DrawOverview(*this, canvas, width, height);
}

void TOSDiagram::RefreshOverview()
{
    if (OverviewBox)
        OverviewBox->update();
}

void TOSDiagram::DrawOverviewBox(TOSGraphic *box, TCanvas &canvas, double scale)
{
    TOverview::DrawOverviewBox(box, canvas, scale);
}

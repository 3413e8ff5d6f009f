#pragma once
// TOSDiagram: the canvas controller; shows the current page as boxes on the
// drawing surface with the links beneath them, keeps the selection, performs
// band selection and drops, grows the surface and repaints.
#include "model/model_hooks.h"
#include "platform/rect.h"

#include <QByteArray>
#include <QImage>
#include <QPoint>
#include <QPointer>
#include <QString>

#include <functional>
#include <memory>

class QMenu;
class QWidget;
class QRubberBand;
class TCanvas;
class TOSBaseList;
class TOSGraphic;
class TOSBaseTable;
class TOSBaseObjectTable;
class TOSBaseType;
class TOSBaseNote;
class TDiagramTable;
class TDiagramObjectTable;
class TDiagramType;
class TDiagramNote;
class TDragObjects;
class TBaseDiagramRectangle;

class TOSDiagram : public IDiagramSurface {
public:
    TOSDiagram();
    ~TOSDiagram() override;
    TOSDiagram(const TOSDiagram &) = delete;
    TOSDiagram &operator=(const TOSDiagram &) = delete;

    // Hooks the surface's events to this controller and makes it the surface
    // the model measures on.
    void AttachSurface(QWidget *surface);

    void Rebuild();
    void DestroyGraphics();
    TOSBaseTable *AddTableGraphic(TDiagramTable *table);
    TOSBaseObjectTable *AddObjectTableGraphic(TDiagramObjectTable *objectTable);
    TOSBaseType *AddTypeGraphic(TDiagramType *type);
    TOSBaseNote *AddNoteGraphic(TDiagramNote *note);
    void UpdateObjectCount();

    void RefreshListGraphics(const TOSBaseList &list);
    void RefreshAll();
    void Refresh();
    void ClearSelection();
    // With an area, links whose boxes lie far from it are left out.
    void DrawLinks(TCanvas &canvas, int offsetX, int offsetY, double scaleX, double scaleY,
                   const TRect *area = nullptr);

    // Surface events.
    // Area: the part of the surface to paint, when known; links that cannot reach it are
    // skipped, which keeps painting a screenful of a large page quick.
    void SurfacePaint(TCanvas &canvas, const TRect *area = nullptr);
    bool SurfaceDragOver(const TDragObjects *source) const;
    void DropObjects(const TDragObjects &source, int x, int y);
    // Adds the database objects in order, the i-th where wanted(i) says unless
    // a box lies there, then at the nearest free place right or below. Every
    // way of adding from the database comes here. An object that is already on
    // the page is not added again; one console line names those left out.
    void AddFromDatabase(const TDragObjects &source, const std::function<QPoint(int)> &wanted);
    void SurfaceMouseDown(Qt::MouseButton button, int x, int y);
    void SurfaceMouseMove(int x, int y);
    void SurfaceMouseUp(int x, int y);
    void SurfaceClick();
    // Ends a band gesture that was interrupted (focus lost, release missed):
    // the band disappears and the selection stays as it is.
    void CancelBand();

    void SelectInBand(const TRect &band);
    // Grows the surface to at least this size; it never shrinks.
    void GrowSurface(int width, int height);
    // Selects the lone selected table or type in the model tree.
    void SyncModelTree();

    // Lays the page out automatically by its references, then rebuilds it.
    // Raises ELayoutError ("Layout failed.", "connection-cycles") with nothing
    // moved and the page not rebuilt.
    void LayoutDiagram();

    // Page commands; each acts on CurrentModel and its boxes.
    void SelectAll();
    // Removes the selected tables, object tables, notes and types from the
    // page and the model; foreign keys of other tables that name a removed
    // table stay as they are.
    void DeleteSelected();
    // Scales every box by the ratio of the detail font size one point up
    // (direction > 0) or down to the size now, and the three fonts with it.
    void Zoom(int direction);
    // Left, Top, Width and Height times numerator / denominator, each rounded
    // to the nearest integer, halves to even.
    static void ScaleRectangle(TBaseDiagramRectangle &rectangle, int numerator, int denominator);
    void ShowOnlyKeyColumns();
    void ShowAllColumns();
    void HideDataTypes();
    void ShowDataTypes();
    void HideComments();
    void ShowComments();
    // Every table shows its header only, until it is measured again.
    void FoldAll();
    void Remeasure();
    void SortAllAlpha();
    void SortAllKeys();
    void SortAllByCreationOrder();
    void CopyToClipboard();
    void CutToClipboard();
    // Adds the diagram text on the clipboard to the page; anything else on
    // the clipboard is left alone. Text that is not a diagram raises the
    // reader's message.
    void PasteFromClipboard();
    // The script of the selected tables and object tables, in an SQL editor.
    void GenerateSelectedDDL();
    // The surface's own popup menu (made by AttachSurface).
    QMenu *BuildPopup();

    // Pictures of the whole page (TPictureExport): the extension of the file
    // name chooses BMP, WMF (an enhanced metafile), GIF or JPEG.
    void SaveAsImage(const QString &fileName);
    void SaveAsBitmap(const QString &fileName);
    void SaveAsMetafile(const QString &fileName);
    void SaveAsGif(const QString &fileName);
    void SaveAsJpeg(const QString &fileName);
    QImage GetDiagramBitmap();
    QImage RenderBitmap(int width, int height);
    QByteArray GetDiagramMetafile();
    QByteArray RenderMetafile(int width, int height);

    // The print dialog with its page range; printing when the user confirms.
    void Print();

    // The plan view (TOverview): paints it into a canvas; asks the plan view's
    // paint box to repaint.
    void DrawOverview(TCanvas &canvas, int width, int height);
    void RefreshOverview();
    void DrawOverviewBox(TOSGraphic *box, TCanvas &canvas, double scale);

    // IDiagramSurface
    TCanvas *SurfaceCanvas() override;
    void EnsureSurfaceSize(int width, int height) override { GrowSurface(width, height); }

    QWidget *Surface = nullptr;
    QPointer<QMenu> Popup;
    QWidget *OverviewBox = nullptr;
    QPoint BandStart;
    QPoint LastPoint;
    bool BandActive = false;
    bool PaintingEnabled = true;
    bool BandDrawn = false;
    // Set by the main window while it selects from the model tree, so the tree
    // is not synchronised back.
    bool SyncingFromModelTree = false;

    // Installed by the main window: shows "n Object(s)" in the status bar.
    std::function<void(const QString &)> ObjectCountChanged;
    // Installed by printing: draws the printer page breaks onto the surface.
    std::function<void(TCanvas &)> DrawPageBreaks;

private:
    void AddDroppedObjects(const TDragObjects &source, const std::function<QPoint(int)> &wanted);
    void XorRubberBand(int x, int y, bool erase);
    void PaintPageBreaks(TCanvas &canvas);
    // Set while drawing the page edges fails, so the reason is shown once.
    bool PageBreaksFailed_ = false;
    void PlaceBox(TOSGraphic *box, int left, int top, int width, int height);
    void SetTableFlags(void (*set)(TDiagramTable &));
    void SortAll(int method);
    // Gives every table's box the table's size; the surface repaints.
    void ResizeTableBoxes();

    QPointer<QRubberBand> Band_;
    std::unique_ptr<TCanvas> MeasureCanvas_;
};

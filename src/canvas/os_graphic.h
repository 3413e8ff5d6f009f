#pragma once
// TOSGraphic: a box on the diagram surface, a child widget that shows one model
// object, selects, moves the selection and resizes itself under the mouse.
#include "platform/rect.h"

#include <QWidget>

class TCanvas;
class TOSDiagram;
class TBaseModelObject;
class TBaseDiagramObject;
class TBaseDiagramRectangle;

class TOSGraphic : public QWidget {
    Q_OBJECT
public:
    TOSGraphic(TOSDiagram *diagram, TBaseDiagramObject *modelObject);
    ~TOSGraphic() override;

    virtual void SetModelObject(TBaseDiagramObject *object) { ModelObject = object; }
    virtual TBaseDiagramObject *GetModelObject() const { return ModelObject; }
    // Paints the box onto another canvas (pictures, printing), at its surface
    // place moved by the offsets and scaled.
    virtual void DrawTo(TCanvas &canvas, int offsetX, int offsetY, double scaleX, double scaleY);
    // Paints the box into a rectangle of a canvas.
    virtual void PaintInto(TCanvas &canvas, const TRect &rect, double scaleX);

    // The box of a model object, or null when it has none.
    static TOSGraphic *BoxOf(const TBaseDiagramObject *object);
    // Left, Top, Left + Width, Top + Height on the surface.
    TRect BoundsRect() const { return TRect::FromQRect(geometry()); }
    QString ToolTipText() const { return ToolTip_; }
    bool IsSelected() const;

    // The gesture handlers, in surface-independent box coordinates.
    void GraphicMouseDown(Qt::MouseButton button, bool shift, int x, int y);
    void GraphicMouseMove(bool shift, int x, int y);
    void GraphicMouseUp();
    void GraphicDblClick();
    bool GestureActive() const { return Moving || ResizingRight || ResizingBottom || ResizingCorner; }

    TOSDiagram *Diagram = nullptr;
    int PressX = 0;
    int PressY = 0;
    bool Moving = false;
    bool ResizingRight = false;
    bool ResizingBottom = false;
    bool ResizingCorner = false;
    bool IgnoreNextMouseDown = false;
    TBaseDiagramObject *ModelObject = nullptr;
    int BorderWidth = 1;

protected:
    void paintEvent(QPaintEvent *event) override;
    void mousePressEvent(QMouseEvent *event) override;
    void mouseMoveEvent(QMouseEvent *event) override;
    void mouseReleaseEvent(QMouseEvent *event) override;
    void mouseDoubleClickEvent(QMouseEvent *event) override;
    void contextMenuEvent(QContextMenuEvent *event) override;
    void hideEvent(QHideEvent *event) override;

private:
    void ApplyBounds(int left, int top, int width, int height);
    QString ToolTip_;
};

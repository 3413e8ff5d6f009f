#pragma once
// TDiagramPanel: makes the drawing surface; TDiagramSurface: the borderless
// widget that carries the boxes and hands its paint, mouse and drop events to
// the canvas controller.
#include <QPointer>
#include <QWidget>

class QScrollArea;
class TOSDiagram;

class TDiagramSurface : public QWidget {
    Q_OBJECT
public:
    explicit TDiagramSurface(QWidget *parent = nullptr);

    TOSDiagram *Diagram = nullptr;

protected:
    void paintEvent(QPaintEvent *event) override;
    void mousePressEvent(QMouseEvent *event) override;
    void mouseMoveEvent(QMouseEvent *event) override;
    void mouseReleaseEvent(QMouseEvent *event) override;
    void contextMenuEvent(QContextMenuEvent *event) override;
    void focusOutEvent(QFocusEvent *event) override;
    void hideEvent(QHideEvent *event) override;
    void changeEvent(QEvent *event) override;
    void dragEnterEvent(QDragEnterEvent *event) override;
    void dragMoveEvent(QDragMoveEvent *event) override;
    void dropEvent(QDropEvent *event) override;

private:
    // The button whose press started the current gesture on the surface.
    Qt::MouseButton PressedButton_ = Qt::NoButton;
};

class TDiagramPanel {
public:
    TDiagramPanel() = delete;
    // The surface inside the scroll box (which owns it); shown at once.
    static TDiagramSurface *CreateSurface(QScrollArea *scrollBox);
};

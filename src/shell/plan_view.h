#pragma once
// TPlanView: the paint box of the plan view, drawn by the canvas controller;
// its mouse gestures are handed to the main window.
#include <QWidget>

#include <functional>

class TPlanView : public QWidget {
    Q_OBJECT
public:
    explicit TPlanView(QWidget *parent = nullptr);
    std::function<void(QPainter &, int, int)> OnPaint;
    // Any button, in plan-view pixels.
    std::function<void(int, int)> OnMouseDown;
    std::function<void(int, int)> OnMouseMove;
    std::function<void()> OnMouseUp;

protected:
    void paintEvent(QPaintEvent *event) override;
    void mousePressEvent(QMouseEvent *event) override;
    void mouseMoveEvent(QMouseEvent *event) override;
    void mouseReleaseEvent(QMouseEvent *event) override;
};

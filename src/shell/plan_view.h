#pragma once
// TPlanView: the paint box of the plan view, drawn by the canvas controller.
#include <QWidget>

#include <functional>

class TPlanView : public QWidget {
    Q_OBJECT
public:
    explicit TPlanView(QWidget *parent = nullptr);
    std::function<void(QPainter &, int, int)> OnPaint;

protected:
    void paintEvent(QPaintEvent *event) override;
};

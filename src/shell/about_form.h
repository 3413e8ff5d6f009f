#pragma once
// Tfrmabout: the borderless about box, also shown as the splash screen at start-up.
#include <QDialog>

class QLabel;

class Tfrmabout : public QDialog {
    Q_OBJECT
public:
    explicit Tfrmabout(QWidget *owner = nullptr);

    void SetHomePageVisible(bool visible);
    void imgAboutClick() { close(); }
    void lblHomePageClick();

protected:
    void showEvent(QShowEvent *event) override;
    void keyPressEvent(QKeyEvent *event) override;
    bool eventFilter(QObject *watched, QEvent *event) override;

private:
    QLabel *lblHomePage;
    QLabel *lblVersion;
};

// The splash while the main window is built; null before and after.
extern Tfrmabout *SplashForm;

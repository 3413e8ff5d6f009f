#pragma once
// TfrmGraphicStylePref: the "Graphics Style" preference page: fonts, colours
// and link captions of the current diagram or of new diagrams.
#include "platform/color.h"
#include "shell/preference_page.h"

#include <QFrame>

class QCheckBox;
class QLineEdit;
class QPushButton;
class QTabBar;
class TOSSchemaStyle;

// A coloured rectangle showing one colour of the style.
class TColourShape : public QFrame {
public:
    explicit TColourShape(QWidget *parent = nullptr);
    TColor Brush() const { return Brush_; }
    void SetBrush(TColor colour);

protected:
    void paintEvent(QPaintEvent *event) override;

private:
    TColor Brush_ = clWhite;
};

class TfrmGraphicStylePref : public TfrmBasePreferencePage {
    Q_OBJECT
public:
    explicit TfrmGraphicStylePref(QWidget *owner = nullptr);

    // 0 "Current Diagram", 1 "Default".
    void SelectTab(int index);
    // The style the chosen tab edits; none when there is no current diagram.
    TOSSchemaStyle *ChosenStyle() const;

protected:
    void DoLoadPreferences() override;
    void DoSavePreferences() override;

private:
    // A font shown as a name edit (in the font's face and colour) and a size edit.
    struct TFontRow {
        QLineEdit *Name = nullptr;
        QLineEdit *Size = nullptr;
        TColor Colour = clBlack;
    };
    void SetFont(TFontRow &row, const QString &name, int size, TColor colour);
    // The font's name in its own face and colour, on the ground it is drawn on.
    void ShowSample(TFontRow &row);
    void ChooseFont(TFontRow &row);
    void ChooseColour(TColourShape *shape);
    TColourShape *AddColourRow(QWidget *group, int row, const char *shape, const char *button, const QString &label);
    TFontRow AddFontRow(QWidget *group, int row, const char *name, const char *size, const char *button,
                        const QString &label);

    QTabBar *tabDefault = nullptr;
    TFontRow DiagramFont_;
    TFontRow HeaderFont_;
    TFontRow LinkFont_;
    TColourShape *shpHeaderColour = nullptr;
    TColourShape *shpDetailColour = nullptr;
    TColourShape *shpBackgroupColour = nullptr;
    TColourShape *shpCascadeDelColour = nullptr;
    TColourShape *shpSetNullDelColour = nullptr;
    TColourShape *shpNoActionDelColour = nullptr;
    QCheckBox *chkShowLinkDesc = nullptr;
    QCheckBox *chkShowOwner = nullptr;
    QCheckBox *chkShowTableName = nullptr;
    QCheckBox *chkLinkName = nullptr;
    QCheckBox *chkShowCols = nullptr;
    QCheckBox *chkLowGraphics = nullptr;
    QCheckBox *chk2tone = nullptr;
};

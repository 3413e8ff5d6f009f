#include "shell/graphic_style_pref.h"

#include "model/diagram_object_model.h"
#include "model/model_globals.h"
#include "model/preferences.h"
#include "model/schema_style.h"
#include "platform/font.h"
#include "platform/user_interface.h"

#include <QCheckBox>
#include <QGuiApplication>
#include <QGridLayout>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QPainter>
#include <QPushButton>
#include <QTabBar>
#include <QToolButton>
#include <QVBoxLayout>

TColourShape::TColourShape(QWidget *parent) : QFrame(parent)
{
    setFrameShape(QFrame::Box);
    setFixedSize(28, 18);
}

void TColourShape::SetBrush(TColor colour)
{
    Brush_ = colour;
    update();
}

void TColourShape::paintEvent(QPaintEvent *event)
{
    {
        QPainter painter(this);
        painter.fillRect(rect(), ColorToQColor(Brush_));
    }
    QFrame::paintEvent(event);
}

namespace {

QToolButton *MakeDotsButton(QWidget *parent, const char *name)
{
    auto *button = new QToolButton(parent);
    button->setObjectName(QLatin1String(name));
    button->setText(QStringLiteral("..."));
    button->setFixedWidth(22);
    return button;
}

QCheckBox *MakeCheck(QWidget *parent, QLayout *layout, const char *name, const QString &caption)
{
    auto *check = new QCheckBox(caption, parent);
    check->setObjectName(QLatin1String(name));
    layout->addWidget(check);
    return check;
}

} // namespace

TfrmGraphicStylePref::TfrmGraphicStylePref(QWidget *owner) : TfrmBasePreferencePage(owner)
{
    setObjectName(QStringLiteral("frmGraphicStylePref"));
    auto *layout = new QVBoxLayout(this);
    layout->setContentsMargins(0, 2, 0, 0);
    layout->setSpacing(2);
    tabDefault = new QTabBar(this);
    tabDefault->setObjectName(QStringLiteral("tabDefault"));
    tabDefault->addTab(QStringLiteral("Current Diagram"));
    tabDefault->addTab(QStringLiteral("Default"));
    layout->addWidget(tabDefault);

    auto *fonts = new QGroupBox(QStringLiteral("Font"), this);
    fonts->setObjectName(QStringLiteral("grpFont"));
    auto *fontGrid = new QGridLayout(fonts);
    fontGrid->setContentsMargins(4, 2, 4, 2);
    fontGrid->setVerticalSpacing(1);
    DiagramFont_ = AddFontRow(fonts, 0, "edtDiagramFont", "edtDiagramFontSize", "btnDiagramFont", QStringLiteral("Detail:"));
    HeaderFont_ = AddFontRow(fonts, 1, "edtHeaderFontName", "edtHeaderFontSize", "btnHeaderFont", QStringLiteral("Header:"));
    LinkFont_ = AddFontRow(fonts, 2, "edtLinkFont", "edtLinkFontSize", "btnLinkFont", QStringLiteral("Link:"));
    layout->addWidget(fonts);

    auto *lower = new QHBoxLayout;
    lower->setSpacing(2);
    auto *colours = new QGroupBox(QStringLiteral("Colour"), this);
    colours->setObjectName(QStringLiteral("grpColour"));
    auto *colourGrid = new QGridLayout(colours);
    colourGrid->setContentsMargins(3, 1, 2, 1);
    colourGrid->setVerticalSpacing(1);
    colourGrid->setHorizontalSpacing(3);
    shpHeaderColour = AddColourRow(colours, 0, "shpHeaderColour", "btnHeaderColour", QStringLiteral("Object Header:"));
    shpDetailColour = AddColourRow(colours, 1, "shpDetailColour", "btnDetailColour", QStringLiteral("Object Detail:"));
    shpBackgroupColour = AddColourRow(colours, 2, "shpBackgroupColour", "btnBackgroundColour", QStringLiteral("Background:"));
    shpCascadeDelColour = AddColourRow(colours, 3, "shpCascadeDelColour", "btnCascadeDelColour", QStringLiteral("Cascade Delete:"));
    shpSetNullDelColour = AddColourRow(colours, 4, "shpSetNullDelColour", "btnSetNullDelColour", QStringLiteral("Set Null Delete:"));
    shpNoActionDelColour = AddColourRow(colours, 5, "shpNoActionDelColour", "btnNoActionDelColour", QStringLiteral("No Action Delete:"));
    lower->addWidget(colours, 1);

    auto *switches = new QVBoxLayout;
    auto *links = new QGroupBox(QStringLiteral("Links"), this);
    links->setObjectName(QStringLiteral("grpLinks"));
    auto *linkLayout = new QVBoxLayout(links);
    linkLayout->setContentsMargins(3, 1, 2, 1);
    linkLayout->setSpacing(0);
    chkShowLinkDesc = MakeCheck(links, linkLayout, "chkShowLinkDesc", QStringLiteral("Show description:"));
    chkShowOwner = MakeCheck(links, linkLayout, "chkShowOwner", QStringLiteral("Owner:"));
    chkShowTableName = MakeCheck(links, linkLayout, "chkShowTableName", QStringLiteral("Table Name:"));
    chkLinkName = MakeCheck(links, linkLayout, "chkLinkName", QStringLiteral("Name:"));
    chkShowCols = MakeCheck(links, linkLayout, "chkShowCols", QStringLiteral("Columns:"));
    switches->addWidget(links);
    auto *other = new QGroupBox(QStringLiteral("Other"), this);
    other->setObjectName(QStringLiteral("grpOther"));
    auto *otherLayout = new QVBoxLayout(other);
    otherLayout->setContentsMargins(3, 1, 2, 1);
    otherLayout->setSpacing(0);
    chkLowGraphics = MakeCheck(other, otherLayout, "chkLowGraphics", QStringLiteral("Low Graphics:"));
    chk2tone = MakeCheck(other, otherLayout, "chk2tone", QStringLiteral("Two Tone Header"));
    switches->addWidget(other);
    switches->addStretch();
    lower->addLayout(switches);
    layout->addLayout(lower);
    layout->addStretch();

    // Of the switches only the two-tone header reports a change; OK and Apply store them all.
    connect(chk2tone, &QCheckBox::toggled, this, [this] { Changed(); });
    connect(tabDefault, &QTabBar::currentChanged, this, [this] {
        if (!Loading())
            ShowExceptions([this] { Reload(); });
    });
}

TfrmGraphicStylePref::TFontRow TfrmGraphicStylePref::AddFontRow(QWidget *group, int row, const char *name,
                                                                const char *size, const char *button,
                                                                const QString &label)
{
    auto *grid = static_cast<QGridLayout *>(group->layout());
    TFontRow font;
    font.Name = new QLineEdit(group);
    font.Name->setObjectName(QLatin1String(name));
    font.Name->setReadOnly(true);
    font.Size = new QLineEdit(group);
    font.Size->setObjectName(QLatin1String(size));
    font.Size->setReadOnly(true);
    font.Size->setFixedWidth(36);
    auto *caption = new QLabel(label, group);
    caption->setBuddy(font.Name);
    grid->addWidget(caption, row, 0);
    grid->addWidget(font.Name, row, 1);
    grid->addWidget(font.Size, row, 2);
    auto *choose = MakeDotsButton(group, button);
    grid->addWidget(choose, row, 3);
    // The row lives in a member; the button finds it by its edit.
    QLineEdit *edit = font.Name;
    connect(choose, &QToolButton::clicked, this, [this, edit] {
        for (TFontRow *candidate : {&DiagramFont_, &HeaderFont_, &LinkFont_}) {
            if (candidate->Name == edit)
                ShowExceptions([&] { ChooseFont(*candidate); });
        }
    });
    return font;
}

TColourShape *TfrmGraphicStylePref::AddColourRow(QWidget *group, int row, const char *shape, const char *button,
                                                 const QString &label)
{
    auto *grid = static_cast<QGridLayout *>(group->layout());
    auto *colour = new TColourShape(group);
    colour->setObjectName(QLatin1String(shape));
    auto *choose = MakeDotsButton(group, button);
    grid->addWidget(new QLabel(label, group), row, 0);
    grid->addWidget(colour, row, 1);
    grid->addWidget(choose, row, 2);
    connect(choose, &QToolButton::clicked, this, [this, colour] { ShowExceptions([&] { ChooseColour(colour); }); });
    return colour;
}

void TfrmGraphicStylePref::SelectTab(int index) { tabDefault->setCurrentIndex(index); }

TOSSchemaStyle *TfrmGraphicStylePref::ChosenStyle() const
{
    if (tabDefault->currentIndex() == 1)
        return &EditedPreferences()->DefaultStyle;
    return CurrentModel ? &CurrentModel->Style : nullptr;
}

void TfrmGraphicStylePref::SetFont(TFontRow &row, const QString &name, int size, TColor colour)
{
    row.Name->setText(name);
    QFont face = row.Name->font();
    face.setFamily(name);
    row.Name->setFont(face);
    row.Colour = colour;
    ShowSample(row);
    row.Size->setText(QString::number(size));
}

void TfrmGraphicStylePref::ShowSample(TFontRow &row)
{
    QPalette palette = row.Name->palette();
    const QColor text = ColorToQColor(row.Colour);
    palette.setColor(QPalette::Text, text);
    QColor ground = QGuiApplication::palette().color(QPalette::Base);
    if (&row == &HeaderFont_)
        // Header text is drawn on the header band: the sample shows it there.
        ground = ColorToQColor(shpHeaderColour->Brush());
    else if (text.lightnessF() > 0.85)
        // A light font would vanish on the edit's white ground.
        ground = QColor(0x70, 0x70, 0x70);
    palette.setColor(QPalette::Base, ground);
    row.Name->setPalette(palette);
}

void TfrmGraphicStylePref::DoLoadPreferences()
{
    const TOSSchemaStyle *style = ChosenStyle();
    if (!style)
        return;
    // The header's colour first: the header font's sample is shown on it.
    shpHeaderColour->SetBrush(style->HeaderBandColour);
    SetFont(DiagramFont_, style->FontName, style->FontSize, style->FontColour);
    SetFont(HeaderFont_, style->HeaderFontName, style->HeaderFontSize, style->HeaderFontColour);
    SetFont(LinkFont_, style->LinkFontName, style->LinkFontSize, style->LinkFontColour);
    shpDetailColour->SetBrush(style->DetailBandColour);
    shpBackgroupColour->SetBrush(style->BackgroundColour);
    shpCascadeDelColour->SetBrush(style->CascadeDelColour);
    shpSetNullDelColour->SetBrush(style->SetNullDelColour);
    shpNoActionDelColour->SetBrush(style->NoActionColour);
    chkShowLinkDesc->setChecked(style->ShowLinkDescription);
    chkShowOwner->setChecked(style->ShowOwnerInTitle);
    chkShowTableName->setChecked(style->ShowLinkTableName);
    chkLinkName->setChecked(style->ShowLinkName);
    chkShowCols->setChecked(style->ShowLinkColumns);
    chkLowGraphics->setChecked(style->LowGraphics);
    chk2tone->setChecked(style->TwoToneHeader);
}

void TfrmGraphicStylePref::DoSavePreferences()
{
    TOSSchemaStyle *style = ChosenStyle();
    if (!style)
        return;
    style->FontName = DiagramFont_.Name->text();
    style->FontSize = DiagramFont_.Size->text().toInt();
    style->FontColour = DiagramFont_.Colour;
    style->HeaderFontName = HeaderFont_.Name->text();
    style->HeaderFontSize = HeaderFont_.Size->text().toInt();
    style->HeaderFontColour = HeaderFont_.Colour;
    style->LinkFontName = LinkFont_.Name->text();
    style->LinkFontSize = LinkFont_.Size->text().toInt();
    style->LinkFontColour = LinkFont_.Colour;
    style->HeaderBandColour = shpHeaderColour->Brush();
    style->DetailBandColour = shpDetailColour->Brush();
    style->BackgroundColour = shpBackgroupColour->Brush();
    style->CascadeDelColour = shpCascadeDelColour->Brush();
    style->SetNullDelColour = shpSetNullDelColour->Brush();
    style->NoActionColour = shpNoActionDelColour->Brush();
    style->ShowLinkDescription = chkShowLinkDesc->isChecked();
    style->ShowOwnerInTitle = chkShowOwner->isChecked();
    style->ShowLinkTableName = chkShowTableName->isChecked();
    style->ShowLinkName = chkLinkName->isChecked();
    style->ShowLinkColumns = chkShowCols->isChecked();
    style->LowGraphics = chkLowGraphics->isChecked();
    style->TwoToneHeader = chk2tone->isChecked();
}

void TfrmGraphicStylePref::ChooseFont(TFontRow &row)
{
    TFont font(row.Name->text(), row.Size->text().toInt(), row.Colour);
    if (!UserInterface().ChooseFont(font))
        return;
    SetFont(row, font.Name, font.Size, font.Color);
    Changed();
}

void TfrmGraphicStylePref::ChooseColour(TColourShape *shape)
{
    TColor colour = shape->Brush();
    if (!UserInterface().ChooseColor(colour))
        return;
    shape->SetBrush(colour);
    if (shape == shpHeaderColour)
        ShowSample(HeaderFont_);
    Changed();
}

// Box painters: outlines, shadows, header bands and the note's folded corner
// read back from pixels; texts and key icons by where they were placed.
#include "canvas_fixture.h"

#include "canvas/draw_table.h"
#include "canvas/draw_type.h"
#include "canvas/os_base_note.h"

#include "test_data.h"

#include <cmath>
#include <functional>
#include <map>

namespace {

class BoxPainterTest : public CanvasTest {
protected:
    void SetUp() override
    {
        CanvasTest::SetUp();
        model->Style.HeaderBandColour = 0x00FFFF;
        table = AddTable(*model, "S", "", 0, 0, 120, 80);
    }
    static TPaint PaintTable(TDiagramTable *t, TRect r = TRect{0, 0, 120, 80})
    {
        return Paint(r.Right + 20, r.Bottom + 20, [&](TCanvas &c) { TDrawTable::Draw(c, r, t); }, Qt::magenta);
    }
    static void SelectOnly(TBaseModelObject *object, bool selected)
    {
        SelectedGraphics->Clear();
        selected ? void(SelectedGraphics->Add(object)) : void();
    }
    TFont Detail() const { return TFont(model->Style.FontName, model->Style.FontSize); }
    TFont Header() const { return TFont(model->Style.HeaderFontName, model->Style.HeaderFontSize); }
    // The left of a text centred in a rectangle from x = left, width wide, in the header font.
    int Centred(int left, int width, const QString &text) const
    {
        return left + width / 2 - Header().TextWidth(text) / 2;
    }
    QString At(const QString &text, int x, int y) const { return QString("%1@%2,%3").arg(text).arg(x).arg(y); }
    using CanvasTest::At;
    TDiagramTable *table = nullptr;
};

TEST_F(BoxPainterTest, OutlinesShadowsBandsAndFoldsAsTabled)
{
    TDiagramNote *note = AddNote(10, 20, 100, 50, "a\tb\r\n\r\nsecond");
    TDiagramType *type = AddType("HR", "ADDRESS_T");
    const std::map<QString, std::function<TPaint()>> paints = {
        {"table", [&] { return PaintTable(table); }},
        {"band", [] { return Paint(400, 60, [](TCanvas &c) { DrawTwoToneBand(c, TRect{1, 1, 301, 20}); }); }},
        {"note", [&] { return Paint(120, 80, [&](TCanvas &c) { TOSBaseNote::DrawNote(c, TRect{0, 0, 100, 60}, note, 1, 1.0); }, Qt::magenta); }},
        {"type", [&] { return Paint(120, 100, [&](TCanvas &c) { TDrawType::Draw(c, TRect{0, 0, 100, 90}, type); }); }}};
    const QString window = QString::number(ColorToRGB(clWindow) & 0xFFFFFF, 16);
    for (const QStringList &c : readCases("canvas/box_pixels.txt")) {
        SCOPED_TRACE((c[0] + " " + c[1]).toStdString());
        SelectOnly(c[0] == "note" ? note : c[0] == "type" ? static_cast<TBaseModelObject *>(type) : table, c[1] == "selected");
        model->Style.LowGraphics = c[1] == "low";
        model->Style.TwoToneHeader = c[1] == "two-tone";
        ExpectProbes(paints.at(c[0])().Image, QString(c[2]).replace("=U", "=FF00FF").replace("=W", "=" + window));
    }
}

TEST_F(BoxPainterTest, ObjectTableHeaderIsTwoLinesHighWithItsTypeInTheTitle)
{
    auto *objectTable = AddObjectTable("S", "OT", "S", "T_T");
    model->Style.ShowOwnerInTitle = true;
    const int th = Header().TextHeight("A");
    // The header's lower outline (the body's top) at HeaderHeight - 1.
    EXPECT_EQ(At(PaintTable(table).Image, 2, th + 1), clGray);
    const TPaint paint = PaintTable(objectTable, TRect{10, 20, 210, 120});
    ExpectPixels(paint.Image, {{12, 20 + 2 * th + 3, clGray}, {12, 20 + th + 1, 0x00FFFF}});
    EXPECT_EQ(paint.Placed(), QStringList({At("S.OT::T_T", Centred(11, 198, "S.OT::T_T"), 21),
                                           At("<<object table>>", Centred(11, 198, "<<object table>>"), 20 + th + 2)}));
}

TEST_F(BoxPainterTest, ColumnPassesPlaceMarksNamesTypesAndComments)
{
    model->Style.LowGraphics = true; // key marks as letters
    auto *t = AddTable(*model, "S", "EMP");
    AddColumn(*t, "ID", "NUMBER", 0, 10, 0, false)->Comment = "the key";
    AddColumn(*t, "NOTE", "VARCHAR2", 20)->Comment = "free";
    AddColumn(*t, "MGR", "NUMBER", 0, 6);
    AddColumn(*t, "CODE", "CHAR", 2, 0, 0, false);
    AddPrimaryKey(*t, "PK", {"ID"});
    AddUniqueKey(*t, "UQ", {"CODE"});
    AddForeignKey(*t, "FK", {"ID", "MGR"}, "S", "X", {"A", "B"});
    const QStringList names{"ID", "NOTE", "MGR", "CODE"}, marks{"pk", "", "fk", "uq"}; // pk wins over fk
    const QStringList types{"NUMBER(10)  NOT NULL", "VARCHAR2(20)", "NUMBER(6)", "CHAR(2)  NOT NULL"};
    const QStringList comments{"the key", "free", "", ""};
    const TFont detail = Detail();
    const int th = detail.TextHeight("A"), ww = detail.TextWidth("ww"), y0 = 20 + Header().TextHeight("A") + 4;

    struct Case {
        bool onlyKeys, hideTypes, hideComments;
    };
    for (const Case &c : {Case{false, false, false}, {true, false, false}, {false, true, false}, {false, false, true}}) {
        SCOPED_TRACE(testing::Message() << c.onlyKeys << c.hideTypes << c.hideComments);
        t->ShowOnlyKeyColumns = c.onlyKeys, t->HideDataTypes = c.hideTypes, t->HideComments = c.hideComments;
        std::vector<int> shown; // hidden columns take no line in any pass
        int nameWidth = 0, typeWidth = 0;
        for (int i = 0; i < 4; ++i)
            if (!c.onlyKeys || !marks[i].isEmpty()) {
                shown.push_back(i);
                nameWidth = std::max(nameWidth, detail.TextWidth(names[i]) + (ww - 4) + 8);
                typeWidth = c.hideTypes ? 0 : std::max(typeWidth, detail.TextWidth(types[i]) + 20);
            }
        QStringList expected{At("EMP", Centred(11, 398, "EMP"), 21)};
        const auto pass = [&](const QStringList &marks, const QStringList &texts, int x) {
            for (std::size_t row = 0; row < shown.size(); ++row) {
                const int y = y0 + int(row) * (th + 1);
                if (!marks.isEmpty() && !marks[shown[row]].isEmpty())
                    expected << At(marks[shown[row]], 14, y);
                if (!texts[shown[row]].isEmpty())
                    expected << At(texts[shown[row]], x, y);
            }
        };
        pass(marks, names, 10 + ww + 2);
        if (!c.hideTypes)
            pass({}, types, 10 + 8 + nameWidth);
        if (!c.hideComments)
            pass({}, comments, 10 + 8 + nameWidth + typeWidth);
        EXPECT_EQ(PaintTable(t, TRect{10, 20, 410, 220}).Placed(), expected);
    }

    // Cells end at the row's bottom or 4 above the box's; rows below it draw nothing.
    t->ShowOnlyKeyColumns = t->HideDataTypes = t->HideComments = false;
    const int bottom = y0 + (th + 1) + th / 2 + 4;
    const TPaint cut = PaintTable(t, TRect{10, 20, 410, bottom});
    ASSERT_TRUE(cut.Find("ID") && cut.Find("NOTE"));
    EXPECT_EQ(cut.Find("ID")->Clip, (TRect{10 + ww, y0, 406, y0 + th}));
    EXPECT_EQ(cut.Find("NOTE")->Clip.Bottom, bottom - 4);
    EXPECT_EQ(cut.Find("MGR"), nullptr);
}

TEST_F(BoxPainterTest, KeyIconsStandInTheKeyCellOnlyWithFullGraphics)
{
    AddColumn(*table, "ID");
    AddColumn(*table, "X");
    AddPrimaryKey(*table, "PK", {"ID"});
    const TRect key{4, Header().TextHeight("A") + 4, Detail().TextWidth("ww"),
                    Header().TextHeight("A") + 4 + Detail().TextHeight("A")};
    for (bool low : {false, true}) {
        model->Style.LowGraphics = low;
        const TPaint paint = PaintTable(table);
        EXPECT_EQ(paint.Pictures, low ? std::vector<TRect>{} : std::vector<TRect>{key});
        EXPECT_EQ(paint.Find("pk") != nullptr, low);
        // The gold of the key, on the box's own white: the icon's background is transparent.
        int gold = 0, white = 0;
        for (int y = key.Top; y < key.Bottom; ++y)
            for (int x = key.Left; x < key.Right; ++x) {
                const QColor c = QColor::fromRgb(paint.Image.pixel(x, y));
                gold += c.red() > 150 && c.green() > 120 && c.blue() < 80, white += c == Qt::white;
            }
        EXPECT_EQ(gold > 5, !low);
        EXPECT_GT(white, 20);
    }
}

TEST_F(BoxPainterTest, NoteTextLinesThroughDrawTo)
{
    TDiagramNote *note = AddNote(10, 20, 100, 50, "a\tb\r\n\r\nsecond");
    // Through DrawTo: bounds moved by the offsets, scaled and rounded up; the scale reaches
    // only the font size; lines 17 pixels apart, tabs as four blanks.
    diagram->Rebuild();
    const TPaint paint = Paint(200, 120, [&](TCanvas &c) { Box(note)->DrawTo(c, 3, 4, 1.5, 1.5); });
    const TRect drawn{11, 24, 161, 99};
    ASSERT_EQ(paint.Texts.size(), 3u);
    const QStringList lines{"a    b", "", "second"};
    for (int i = 0; i < 3; ++i) {
        EXPECT_EQ(paint.Texts[i].Text, lines[i]);
        EXPECT_EQ(paint.Texts[i].At, QPoint(drawn.Left + 5, drawn.Top + 12 + 17 * i));
        EXPECT_EQ(paint.Texts[i].Clip, (TRect{drawn.Left, drawn.Top, drawn.Right - 5, drawn.Bottom}));
        EXPECT_EQ(paint.Texts[i].Size, int(std::ceil(model->Style.FontSize * 1.5)));
    }
}

TEST_F(BoxPainterTest, TypeBoxTexts)
{
    auto *type = AddType("HR", "ADDRESS_T");
    const int hh = 2 * model->Style.HeaderFontSize + 22;
    for (const char *name : {"STREET", "NO"}) {
        auto *attribute = new TDiagramAttribute();
        attribute->Name = name, attribute->DataType = "VARCHAR2", attribute->DataLength = 40;
        type->Attributes.Add(attribute);
    }
    type->Methods.Add(new TDiagramMethod());
    type->Methods.GetItem(0)->Name = "FORMAT";
    model->Style.ShowOwnerInTitle = true;
    const TPaint paint = Paint(220, 220, [&](TCanvas &c) { TDrawType::Draw(c, TRect{10, 20, 210, 200}, type); });
    const int step = model->Style.FontSize + 6, typeX = 18 + Detail().TextWidth("STREET") + 20;
    EXPECT_EQ(paint.Placed(),
              QStringList({At("HR.ADDRESS_T", Centred(11, 198, "HR.ADDRESS_T"), 22),
                           At("<<type>>", Centred(11, 198, "<<type>>"), 20 + model->Style.HeaderFontSize + 9),
                           At("STREET", 30, 20 + hh - 1), At("NO", 30, 20 + hh - 1 + step),
                           At("VARCHAR2(40)", typeX, 20 + hh), At("VARCHAR2(40)", typeX, 20 + hh + step),
                           At("FORMAT()", 30, 20 + hh + 2 * step + 4)}));
}

TEST_F(BoxPainterTest, SurfaceShowsLinksBeneathBoxesAsPicturesDo)
{
    auto *other = AddTable(*model, "S", "O", 250, 0, 100, 80);
    AddColumn(*other, "X");
    AddForeignKey(*other, "FK", {"X"}, "S", "", {"ID"}, "CASCADE");
    surface->resize(400, 200);
    diagram->Rebuild();
    SelectedGraphics->Add(other);
    // The link between the boxes, covered inside them; outlines over it.
    for (const QImage &image : {GrabSurface(), diagram->RenderBitmap(400, 200)})
        ExpectPixels(image, {{180, 40, 0x0000FF}, {60, 40, 0xFFFFFF}, {0, 20, clGray}, {346, 20, clBlue},
                             {5, 150, model->Style.BackgroundColour}});
}

} // namespace

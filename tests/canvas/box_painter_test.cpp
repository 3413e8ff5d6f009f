// Box painters: outlines, shadows, header bands and the note's folded corner
// read back from pixels; texts and key icons by where they were placed.
#include "canvas_fixture.h"

#include "canvas/draw_table.h"
#include "canvas/draw_type.h"
#include "canvas/os_base_note.h"

#include <cmath>

namespace {

constexpr TColor Unpainted = 0xFF00FF;

class BoxPainterTest : public CanvasTest {
protected:
    void SetUp() override
    {
        CanvasTest::SetUp();
        model->Style.HeaderBandColour = 0x00FFFF;
        table = AddTable(*model, "S", "", 0, 0, 120, 80);
    }
    static QImage PaintTable(TDiagramTable *t)
    {
        return Painted(140, 100, [&](TCanvas &c) { TDrawTable::Draw(c, TRect{0, 0, 120, 80}, t); }, Qt::magenta);
    }
    static void SelectOnly(TBaseModelObject *object, bool selected)
    {
        SelectedGraphics->Clear();
        if (selected)
            SelectedGraphics->Add(object);
    }
    TFont Detail() const { return TFont(model->Style.FontName, model->Style.FontSize); }
    TFont Header() const { return TFont(model->Style.HeaderFontName, model->Style.HeaderFontSize); }
    // "text@x,y" for every text drawn, in drawing order.
    static QStringList Placed(const TRecordingDevice &recorder)
    {
        QStringList texts;
        for (const auto &t : recorder.Texts)
            texts << QString("%1@%2,%3").arg(t.Text).arg(t.At.x()).arg(t.At.y());
        return texts;
    }
    TDiagramTable *table = nullptr;
};

TEST_F(BoxPainterTest, TableOutlineLiesInsideItsShadow)
{
    struct Case {
        bool selected, lowGraphics;
    } cases[] = {{false, false}, {true, false}, {false, true}};
    for (const Case &c : cases) {
        SCOPED_TRACE(testing::Message() << "selected " << c.selected << " low " << c.lowGraphics);
        SelectOnly(table, c.selected);
        model->Style.LowGraphics = c.lowGraphics;
        const QImage image = PaintTable(table);
        const TColor outline = c.selected ? clBlue : clGray;
        // The box is its rectangle less 3 pixels right and below; the shadow never covers it.
        EXPECT_EQ(At(image, 0, 40), outline);
        EXPECT_EQ(At(image, 116, 40), outline);
        EXPECT_EQ(At(image, 60, 0), outline);
        EXPECT_EQ(At(image, 60, 76), outline);
        EXPECT_EQ(At(image, 60, 60), 0xFFFFFF); // detail band
        // Grey, silver, light grey: right from T + 4, 5, 6 down and below from L + 5, 5, 6.
        const TColor shades[] = {clGray, clSilver, 0xDFDFDF};
        const int fromX[] = {5, 5, 6};
        for (int i = 0; i < 3; ++i) {
            const TColor shade = c.lowGraphics ? Unpainted : shades[i];
            EXPECT_EQ(At(image, 117 + i, 40), shade) << i;
            EXPECT_EQ(At(image, 117 + i, 4 + i), shade) << i;
            EXPECT_EQ(At(image, 117 + i, 3 + i), Unpainted) << i;
            EXPECT_EQ(At(image, 60, 77 + i), shade) << i;
            EXPECT_EQ(At(image, fromX[i], 77 + i), shade) << i;
            EXPECT_EQ(At(image, fromX[i] - 1, 77 + i), Unpainted) << i;
        }
        EXPECT_EQ(At(image, 119, 78), Unpainted);
        EXPECT_EQ(At(image, 120, 40), Unpainted); // nothing beyond the rectangle
    }
}

TEST_F(BoxPainterTest, HeaderBandAndTwoToneGradient)
{
    EXPECT_EQ(At(PaintTable(table), 50, 4), 0x00FFFF);
    model->Style.TwoToneHeader = true;
    const QImage image = PaintTable(table);
    // Band 1..117 is 116 wide: step 1, strip i covers x = i with blue i.
    EXPECT_EQ(At(image, 50, 4), RGBColor(0, 0, 50));
    EXPECT_EQ(At(image, 115, 4), RGBColor(0, 0, 115));
    EXPECT_EQ(At(image, 116, 4), clGray); // the outline closes the band

    // 300 wide: step 2, each strip one pixel left of its place; strips from 150 on are empty.
    const QImage wide = Painted(400, 60, [](TCanvas &c) { DrawTwoToneBand(c, TRect{1, 1, 301, 20}); });
    EXPECT_EQ(At(wide, 1, 5), RGBColor(0, 0, 0));
    EXPECT_EQ(At(wide, 2, 5), RGBColor(0, 0, 1));
    EXPECT_EQ(At(wide, 3, 5), RGBColor(0, 0, 1));
    EXPECT_EQ(At(wide, 299, 5), RGBColor(0, 0, 149));
    EXPECT_EQ(At(wide, 300, 5), 0xFFFFFF);
}

TEST_F(BoxPainterTest, ObjectTableHeaderIsTwoLinesHighWithItsTypeInTheTitle)
{
    auto *objectTable = AddObjectTable("S", "OT", "S", "T_T");
    const int th = Header().TextHeight("A");
    // The header's lower outline (the body's top) at HeaderHeight - 1.
    EXPECT_EQ(At(PaintTable(table), 2, th + 1), clGray);
    const QImage twoLines = PaintTable(objectTable);
    EXPECT_EQ(At(twoLines, 2, 2 * th + 3), clGray);
    EXPECT_EQ(At(twoLines, 2, th + 1), 0x00FFFF);

    model->Style.ShowOwnerInTitle = true;
    const TRect r{10, 20, 210, 120};
    const auto recorder = Recorded([&](TCanvas &c) { TDrawTable::Draw(c, r, objectTable); });
    const auto centred = [&](const QString &text) { return 10 + 1 + 198 / 2 - Header().TextWidth(text) / 2; };
    EXPECT_EQ(Placed(recorder), QStringList({QString("S.OT::T_T@%1,21").arg(centred("S.OT::T_T")),
                                             QString("<<object table>>@%1,%2").arg(centred("<<object table>>")).arg(20 + th + 2)}));
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
    const QStringList names{"ID", "NOTE", "MGR", "CODE"}, marks{"pk", "", "fk", "uq"};
    const QStringList types{"NUMBER(10)  NOT NULL", "VARCHAR2(20)", "NUMBER(6)", "CHAR(2)  NOT NULL"};
    const QStringList comments{"the key", "free", "", ""};
    const TFont detail = Detail();
    const int th = detail.TextHeight("A"), ww = detail.TextWidth("ww"), hh = Header().TextHeight("A") + 2;
    const TRect r{10, 20, 410, 220};

    struct Case {
        bool onlyKeys, hideTypes, hideComments;
    } cases[] = {{false, false, false}, {true, false, false}, {false, true, false}, {false, false, true}};
    for (const Case &c : cases) {
        SCOPED_TRACE(testing::Message() << c.onlyKeys << c.hideTypes << c.hideComments);
        t->ShowOnlyKeyColumns = c.onlyKeys;
        t->HideDataTypes = c.hideTypes;
        t->HideComments = c.hideComments;
        std::vector<int> shown; // hidden columns take no line in any pass
        for (int i = 0; i < 4; ++i)
            if (!c.onlyKeys || !marks[i].isEmpty())
                shown.push_back(i);
        int nameWidth = 0, typeWidth = 0;
        for (int i : shown) {
            nameWidth = std::max(nameWidth, detail.TextWidth(names[i]) + (ww - 4) + 8);
            typeWidth = c.hideTypes ? 0 : std::max(typeWidth, detail.TextWidth(types[i]) + 20);
        }
        QStringList expected{QString("EMP@%1,21").arg(10 + 1 + 398 / 2 - Header().TextWidth("EMP") / 2)};
        const auto pass = [&](const QStringList &texts, int x) {
            for (std::size_t row = 0; row < shown.size(); ++row)
                if (!texts[shown[row]].isEmpty())
                    expected << QString("%1@%2,%3").arg(texts[shown[row]]).arg(x).arg(20 + hh + 2 + int(row) * (th + 1));
        };
        for (std::size_t row = 0; row < shown.size(); ++row) {
            const int y = 20 + hh + 2 + int(row) * (th + 1);
            if (!marks[shown[row]].isEmpty())
                expected << QString("%1@14,%2").arg(marks[shown[row]]).arg(y); // pk wins over fk
            expected << QString("%1@%2,%3").arg(names[shown[row]]).arg(10 + ww + 2).arg(y);
        }
        if (!c.hideTypes)
            pass(types, 10 + 8 + nameWidth);
        if (!c.hideComments)
            pass(comments, 10 + 8 + nameWidth + typeWidth);
        const auto recorder = Recorded([&](TCanvas &canvas) { TDrawTable::Draw(canvas, r, t); });
        EXPECT_EQ(Placed(recorder), expected);
    }

    // Cells end at the row's bottom or 4 above the box's; rows below it draw nothing.
    t->ShowOnlyKeyColumns = t->HideDataTypes = t->HideComments = false;
    const int y0 = 20 + hh + 2, bottom = y0 + (th + 1) + th / 2 + 4;
    const auto cut = Recorded([&](TCanvas &canvas) { TDrawTable::Draw(canvas, TRect{10, 20, 410, bottom}, t); });
    ASSERT_NE(cut.Find("ID"), nullptr);
    EXPECT_EQ(cut.Find("ID")->Clip, (TRect{10 + ww, y0, 406, y0 + th}));
    ASSERT_NE(cut.Find("NOTE"), nullptr);
    EXPECT_EQ(cut.Find("NOTE")->Clip.Bottom, bottom - 4);
    EXPECT_EQ(cut.Find("MGR"), nullptr);
}

TEST_F(BoxPainterTest, KeyIconsStandInTheKeyCellOnlyWithFullGraphics)
{
    AddColumn(*table, "ID");
    AddColumn(*table, "X");
    AddPrimaryKey(*table, "PK", {"ID"});
    const TFont detail = Detail();
    const int y = Header().TextHeight("A") + 2 + 2;
    const auto recorder = Recorded([&](TCanvas &c) { TDrawTable::Draw(c, TRect{0, 0, 120, 80}, table); });
    EXPECT_EQ(recorder.Pictures, (std::vector<TRect>{{4, y, detail.TextWidth("ww"), y + detail.TextHeight("A")}}));
    EXPECT_EQ(recorder.Find("pk"), nullptr);

    auto keyPixels = [&](const QImage &image) {
        int gold = 0, magenta = 0;
        for (int py = y; py < y + detail.TextHeight("A"); ++py)
            for (int x = 4; x < detail.TextWidth("ww"); ++x) {
                const QColor c = QColor::fromRgb(image.pixel(x, py));
                gold += c.red() > 150 && c.green() > 120 && c.blue() < 80;
                magenta += At(image, x, py) == 0xFF00FF;
            }
        return std::pair(gold, magenta);
    };
    const auto [gold, magenta] = keyPixels(PaintTable(table));
    EXPECT_GT(gold, 5);
    EXPECT_EQ(magenta, 0); // the icon's background colour is transparent
    model->Style.LowGraphics = true;
    EXPECT_EQ(keyPixels(PaintTable(table)).first, 0);
}

TEST_F(BoxPainterTest, NoteOutlineFoldedCornerAndTextLines)
{
    TDiagramNote *note = AddNote(10, 20, 100, 50, "a\tb\r\n\r\nsecond");
    for (bool selected : {false, true}) {
        SCOPED_TRACE(selected);
        SelectOnly(note, selected);
        const QImage image = Painted(
            120, 80, [&](TCanvas &c) { TOSBaseNote::DrawNote(c, TRect{0, 0, 100, 60}, note, 1, 1.0); }, Qt::magenta);
        const TColor outline = selected ? clBlue : clSilver;
        const TColor window = ColorToRGB(clWindow) & 0xFFFFFF;
        EXPECT_EQ(At(image, 0, 30), outline);
        EXPECT_EQ(At(image, 50, 0), outline);
        EXPECT_EQ(At(image, 99, 30), outline);
        EXPECT_EQ(At(image, 88, 6), outline);  // the fold's vertical edge at R - 12
        EXPECT_EQ(At(image, 94, 12), outline); // its lower edge at T + 12
        EXPECT_EQ(At(image, 94, 6), outline);  // the diagonal
        EXPECT_EQ(At(image, 95, 0), window);   // the outline beyond the fold is erased
        EXPECT_EQ(At(image, 99, 5), window);
        EXPECT_EQ(At(image, 50, 40), 0xFFFFFF);
    }
    // Through DrawTo: bounds moved by the offsets, scaled and rounded up; the scale reaches
    // only the font size; lines 17 pixels apart, tabs as four blanks.
    diagram->Rebuild();
    const auto recorder = Recorded([&](TCanvas &c) { Box(note)->DrawTo(c, 3, 4, 1.5, 1.5); });
    const TRect drawn{11, 24, 161, 99};
    ASSERT_EQ(recorder.Texts.size(), 3u);
    const QStringList lines{"a    b", "", "second"};
    for (int i = 0; i < 3; ++i) {
        EXPECT_EQ(recorder.Texts[i].Text, lines[i]);
        EXPECT_EQ(recorder.Texts[i].At, QPoint(drawn.Left + 5, drawn.Top + 12 + 17 * i));
        EXPECT_EQ(recorder.Texts[i].Clip, (TRect{drawn.Left, drawn.Top, drawn.Right - 5, drawn.Bottom}));
        EXPECT_EQ(recorder.Texts[i].Size, int(std::ceil(model->Style.FontSize * 1.5)));
    }
}

TEST_F(BoxPainterTest, TypeBoxOutlineSeparatorAndTexts)
{
    auto *type = AddType("HR", "ADDRESS_T");
    const int hh = 2 * model->Style.HeaderFontSize + 22;
    for (bool selected : {false, true}) {
        SCOPED_TRACE(selected);
        SelectOnly(type, selected);
        const QImage image = Painted(120, 100, [&](TCanvas &c) { TDrawType::Draw(c, TRect{0, 0, 100, 90}, type); });
        const TColor outline = selected ? clBlue : clBlack;
        EXPECT_EQ(At(image, 0, 50), outline);
        EXPECT_EQ(At(image, 99, 50), outline);
        EXPECT_EQ(At(image, 50, hh - 4), outline);
        EXPECT_EQ(At(image, 50, hh + 2), outline); // no attributes: the separator at HH + 4 - 2
        EXPECT_EQ(At(image, 50, 3), 0x00FFFF);
        EXPECT_EQ(At(image, 101, 50), 0xFFFFFF); // no shadow
    }

    for (const char *name : {"STREET", "NO"}) {
        auto *attribute = new TDiagramAttribute();
        attribute->Name = name;
        attribute->DataType = "VARCHAR2";
        attribute->DataLength = 40;
        type->Attributes.Add(attribute);
    }
    auto *method = new TDiagramMethod();
    method->Name = "FORMAT";
    type->Methods.Add(method);
    model->Style.ShowOwnerInTitle = true;
    const TRect r{10, 20, 210, 200};
    const auto recorder = Recorded([&](TCanvas &c) { TDrawType::Draw(c, r, type); });
    const int size = model->Style.HeaderFontSize, step = model->Style.FontSize + 6;
    const int attrWidth = Detail().TextWidth("STREET") + 20;
    const auto centred = [&](const QString &text) { return 11 + 198 / 2 - Header().TextWidth(text) / 2; };
    EXPECT_EQ(Placed(recorder),
              QStringList({QString("HR.ADDRESS_T@%1,22").arg(centred("HR.ADDRESS_T")),
                           QString("<<type>>@%1,%2").arg(centred("<<type>>")).arg(20 + size + 9),
                           QString("STREET@30,%1").arg(20 + hh - 1), QString("NO@30,%1").arg(20 + hh - 1 + step),
                           QString("VARCHAR2(40)@%1,%2").arg(18 + attrWidth).arg(20 + hh),
                           QString("VARCHAR2(40)@%1,%2").arg(18 + attrWidth).arg(20 + hh + step),
                           QString("FORMAT()@30,%1").arg(20 + hh + 2 * step + 4)}));
}

TEST_F(BoxPainterTest, SurfaceShowsLinksBeneathBoxesAsPicturesDo)
{
    auto *other = AddTable(*model, "S", "O", 250, 0, 100, 80);
    AddColumn(*other, "X");
    AddForeignKey(*other, "FK", {"X"}, "S", "", {"ID"}, "CASCADE");
    surface->resize(400, 200);
    diagram->Rebuild();
    SelectedGraphics->Add(other);
    const QImage screen = GrabSurface();
    const QImage picture = diagram->RenderBitmap(400, 200);
    for (const QImage &image : {screen, picture}) {
        EXPECT_EQ(At(image, 180, 40), 0x0000FF); // the link between the boxes
        EXPECT_EQ(At(image, 60, 40), 0xFFFFFF);  // inside the box the link is covered
        EXPECT_EQ(At(image, 0, 20), clGray);     // the box outline over the surface
        EXPECT_EQ(At(image, 346, 20), clBlue);   // the selected box's right edge
        EXPECT_EQ(At(image, 5, 150), model->Style.BackgroundColour);
    }
}

} // namespace

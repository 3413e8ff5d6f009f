// Box painters read back from pixels: outlines, shadows, header bands and the
// note's folded corner; and the texts the painters choose.
#include "canvas_fixture.h"

#include "canvas/draw_table.h"
#include "canvas/draw_type.h"
#include "canvas/os_base_note.h"

namespace {

constexpr TColor Unpainted = 0xFF00FF;

class BoxPixelsTest : public CanvasTest {
protected:
    void SetUp() override
    {
        CanvasTest::SetUp();
        model->Style.HeaderBandColour = 0x00FFFF;
        table = AddTable(*model, "S", "", 0, 0, 120, 80);
    }
    QImage Paint(TDiagramTable *t, int width = 140, int height = 100)
    {
        QImage image(width, height, QImage::Format_RGB32);
        image.fill(QColor(255, 0, 255));
        TCanvas canvas(&image);
        TDrawTable::Draw(canvas, TRect{0, 0, 120, 80}, t);
        return image;
    }
    TDiagramTable *table = nullptr;
};

TEST_F(BoxPixelsTest, TableOutlineAndShadow)
{
    for (bool selected : {false, true}) {
        SCOPED_TRACE(selected);
        SelectedGraphics->Clear();
        if (selected)
            SelectedGraphics->Add(table);
        const QImage image = Paint(table);
        const TColor outline = selected ? clBlue : clGray;
        EXPECT_EQ(At(image, 0, 40), outline);
        EXPECT_EQ(At(image, 60, 0), outline);
        EXPECT_EQ(At(image, 60, 76), outline); // body bottom at B - 4
        EXPECT_EQ(At(image, 60, 60), 0xFFFFFF); // detail band
        // Shadow: three shades to the right and below, starting 4..6 pixels down.
        EXPECT_EQ(At(image, 117, 40), clGray);
        EXPECT_EQ(At(image, 118, 40), clSilver);
        EXPECT_EQ(At(image, 119, 40), 0xDFDFDF);
        EXPECT_EQ(At(image, 60, 77), clGray);
        EXPECT_EQ(At(image, 60, 78), clSilver);
        EXPECT_EQ(At(image, 60, 79), 0xDFDFDF);
        EXPECT_EQ(At(image, 118, 2), Unpainted);
        EXPECT_EQ(At(image, 2, 79), Unpainted);
        EXPECT_EQ(At(image, 120, 40), Unpainted); // nothing beyond the rectangle
    }
}

TEST_F(BoxPixelsTest, LowGraphicsHasNoShadow)
{
    model->Style.LowGraphics = true;
    const QImage image = Paint(table);
    EXPECT_EQ(At(image, 118, 40), Unpainted);
    EXPECT_EQ(At(image, 60, 78), Unpainted);
    EXPECT_EQ(At(image, 0, 40), clGray);
}

TEST_F(BoxPixelsTest, HeaderBandAndTwoToneGradient)
{
    QImage plain = Paint(table);
    EXPECT_EQ(At(plain, 50, 4), 0x00FFFF);

    model->Style.TwoToneHeader = true;
    const QImage image = Paint(table);
    // Band 1..117 is 116 wide: step 1, strip i covers x = i with blue i.
    EXPECT_EQ(At(image, 50, 4), RGBColor(0, 0, 50));
    EXPECT_EQ(At(image, 100, 4), RGBColor(0, 0, 100));
    EXPECT_EQ(At(image, 115, 4), RGBColor(0, 0, 115));
    EXPECT_EQ(At(image, 116, 4), clGray); // the outline closes the band
}

TEST_F(BoxPixelsTest, WideBandGradientStepsByTwo)
{
    model->Style.TwoToneHeader = true;
    QImage image(400, 60, QImage::Format_RGB32);
    image.fill(Qt::white);
    {
        TCanvas canvas(&image);
        DrawTwoToneBand(canvas, TRect{1, 1, 301, 20}); // w 300, step 2
    }
    // Strip i covers x = 2i and 2i + 1 (each strip starts one pixel left of
    // the band); strips from 150 on would start at the band's width and are empty.
    EXPECT_EQ(At(image, 1, 5), RGBColor(0, 0, 0));
    EXPECT_EQ(At(image, 2, 5), RGBColor(0, 0, 1));
    EXPECT_EQ(At(image, 3, 5), RGBColor(0, 0, 1));
    EXPECT_EQ(At(image, 299, 5), RGBColor(0, 0, 149));
    EXPECT_EQ(At(image, 300, 5), 0xFFFFFF);
}

TEST_F(BoxPixelsTest, ObjectTableHeaderIsTwoLinesHigh)
{
    auto *objectTable = new TDiagramObjectTable();
    objectTable->TypeName = "T_T";
    model->ObjectTables.Add(objectTable);
    const QImage single = Paint(table);
    const QImage twoLines = Paint(objectTable);
    QImage probe(1, 1, QImage::Format_RGB32);
    TCanvas measure(&probe);
    measure.Font = TFont(model->Style.HeaderFontName, model->Style.HeaderFontSize);
    const int th = measure.TextHeight("A");
    // The header's lower outline (the body's top) at HeaderHeight - 1.
    EXPECT_EQ(At(single, 2, th + 1), clGray);
    EXPECT_EQ(At(twoLines, 2, 2 * th + 3), clGray);
    EXPECT_EQ(At(twoLines, 2, th + 1), 0x00FFFF);
}

TEST_F(BoxPixelsTest, KeyIconsOnlyWithFullGraphics)
{
    AddColumn(*table, "ID");
    AddPrimaryKey(*table, "PK", {"ID"});
    auto keyPixels = [&](const QImage &image) {
        int count = 0;
        for (int y = 18; y < 40; ++y)
            for (int x = 4; x < 16; ++x)
            {
                const QColor c = QColor::fromRgb(image.pixel(x, y));
                count += c.red() > 150 && c.green() > 120 && c.blue() < 80; // the gold of the key
            }
        return count;
    };
    EXPECT_GT(keyPixels(Paint(table)), 5); // the coloured key icon
    model->Style.LowGraphics = true;
    EXPECT_EQ(keyPixels(Paint(table)), 0); // the letters "pk" in the text colour
}

TEST_F(BoxPixelsTest, NoteOutlineAndFoldedCorner)
{
    auto *note = new TDiagramNote();
    model->Notes.Add(note);
    for (bool selected : {false, true}) {
        SCOPED_TRACE(selected);
        SelectedGraphics->Clear();
        if (selected)
            SelectedGraphics->Add(note);
        QImage image(120, 80, QImage::Format_RGB32);
        image.fill(QColor(255, 0, 255));
        {
            TCanvas canvas(&image);
            TOSBaseNote::DrawNote(canvas, TRect{0, 0, 100, 60}, note, 1, 1.0);
        }
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
}

TEST_F(BoxPixelsTest, NoteTextLinesAreSeventeenPixelsApart)
{
    auto *note = new TDiagramNote();
    note->Text = "X\r\n\r\nX";
    model->Notes.Add(note);
    QImage image(120, 100, QImage::Format_RGB32);
    image.fill(Qt::white);
    {
        TCanvas canvas(&image);
        TOSBaseNote::DrawNote(canvas, TRect{0, 0, 100, 90}, note, 1, 1.0);
    }
    auto rowHasInk = [&](int y) {
        for (int x = 5; x < 20; ++x)
            if (qGray(image.pixel(x, y)) < 100)
                return true;
        return false;
    };
    int first = -1;
    for (int y = 12; y < 30 && first < 0; ++y)
        if (rowHasInk(y))
            first = y;
    ASSERT_GE(first, 12);
    EXPECT_TRUE(rowHasInk(first + 34));
    EXPECT_FALSE(rowHasInk(first + 17));
}

TEST_F(BoxPixelsTest, TypeOutlineAndSeparator)
{
    auto *type = new TDiagramType();
    model->Types.Add(type);
    for (bool selected : {false, true}) {
        SelectedGraphics->Clear();
        if (selected)
            SelectedGraphics->Add(type);
        QImage image(120, 100, QImage::Format_RGB32);
        image.fill(Qt::white);
        {
            TCanvas canvas(&image);
            TDrawType::Draw(canvas, TRect{0, 0, 100, 90}, type);
        }
        const TColor outline = selected ? clBlue : clBlack;
        const int hh = 2 * model->Style.HeaderFontSize + 22;
        EXPECT_EQ(At(image, 0, 50), outline);
        EXPECT_EQ(At(image, 50, hh - 4), outline);
        // No attributes: the separator at y = HH + 4 - 2.
        EXPECT_EQ(At(image, 50, hh + 2), outline);
        EXPECT_EQ(At(image, 50, 3), 0x00FFFF);
    }
}

TEST_F(BoxPixelsTest, SurfaceShowsLinksBeneathBoxes)
{
    auto *other = AddTable(*model, "S", "O", 250, 0, 100, 80);
    AddColumn(*other, "X");
    AddForeignKey(*other, "FK", {"X"}, "S", "", {"ID"}, "CASCADE");
    surface->resize(400, 200);
    diagram->Rebuild();
    const QImage screen = GrabSurface();
    EXPECT_EQ(At(screen, 180, 40), 0x0000FF); // the link between the boxes
    EXPECT_EQ(At(screen, 60, 40), 0xFFFFFF);  // inside the box the link is covered
    EXPECT_EQ(At(screen, 0, 20), clGray);     // the box outline over the surface
}

} // namespace

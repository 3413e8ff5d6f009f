// The banded engine through a fake printer: page geometry, the fit-and-centre
// rule, band arithmetic, resampling at every depth, the fall-back transfer and
// every result code, with all working memory given back.
#include "dib_builders.h"
#include "fake_printer.h"

#include "canvas/print/dib_print.h"

#include <gtest/gtest.h>

namespace {

class DibPrintTest : public ::testing::Test {
protected:
    void SetUp() override { ASSERT_EQ(TDibBlock::LiveBlocks(), 0u); }
    void TearDown() override
    {
        // Every path gives back all it took, and leaves the device as it found it.
        EXPECT_EQ(TDibBlock::LiveBlocks(), 0u);
        EXPECT_EQ(TDibBlock::LiveBytes(), 0u);
        EXPECT_EQ(printer.Saves, printer.Restores);
    }

    QRect Drawn() const
    {
        QRect all;
        for (const TFakeBand &b : printer.Bands)
            all |= QRect(b.X, b.Y, b.Width, b.Height);
        return all;
    }
    int Print(const TTestDib &dib, bool centre = true, bool uniform = true)
    {
        return PrintDibToDevice(printer, dib.InfoSpan(), dib.BitsSpan(), centre, uniform, progress, nullptr);
    }

    TFakePrinter printer;
    std::vector<std::pair<int, int>> calls;
    TDibPrintProgress progress = [this](int done, int total, void *) {
        calls.emplace_back(done, total);
        return 1;
    };
};

std::uint32_t Pattern(int x, int y)
{
    return std::uint32_t((x * 7 + y * 3) % 13);
}

} // namespace

TEST_F(DibPrintTest, PageGeometryAndItsUniformMargins)
{
    struct {
        int Physical[2], Offset[2], Printable[2];
        int Margin, Uniform[2], Shift[2];
    } cases[] = {
        // right 30, bottom 70: the bottom margin is the widest
        {{1000, 1400}, {20, 30}, {950, 1300}, 70, {860, 1260}, {50, 40}},
        // a sheet the device does not report takes the printable size: no margins to the right or below
        {{0, 0}, {12, 5}, {800, 600}, 12, {776, 576}, {0, 7}},
        // the left margin is the widest
        {{700, 900}, {90, 10}, {600, 880}, 90, {520, 720}, {0, 80}},
    };
    for (const auto &c : cases) {
        printer.PhysicalWidth = c.Physical[0];
        printer.PhysicalHeight = c.Physical[1];
        printer.OffsetX = c.Offset[0];
        printer.OffsetY = c.Offset[1];
        printer.HorzRes = c.Printable[0];
        printer.VertRes = c.Printable[1];
        TPrinterPageGeometry g;
        ASSERT_TRUE(GetPrinterPageGeometry(printer, g));
        EXPECT_EQ(g.UniformMargin, c.Margin);
        EXPECT_EQ(g.UniformWidth, c.Uniform[0]);
        EXPECT_EQ(g.UniformHeight, c.Uniform[1]);
        EXPECT_EQ(g.ShiftX, c.Shift[0]);
        EXPECT_EQ(g.ShiftY, c.Shift[1]);
    }
    for (int capability = IPrintDevice::capHorzRes; capability <= IPrintDevice::capLogPixelsY; ++capability) {
        printer.FailingCapability = capability;
        TPrinterPageGeometry g;
        EXPECT_FALSE(GetPrinterPageGeometry(printer, g)) << capability;
    }
}

TEST_F(DibPrintTest, ImagesAreFittedToThePrintableAreaAndCentred)
{
    // The default sheet: uniform area 860 x 1260 starting at (70, 70); the
    // device's own area is 950 x 1300 at (20, 30).
    struct {
        const char *Name;
        int Width, Height;
        bool Centre, Uniform;
        QRect Expected;
    } cases[] = {
        {"wide: full width, centred vertically", 86, 63, true, true, QRect(70, 70 + 315, 860, 630)},
        {"tall: full height, centred horizontally", 43, 126, true, true, QRect(70 + 215, 70, 430, 1260)},
        {"same aspect takes the full height", 86, 126, true, true, QRect(70, 70, 860, 1260)},
        {"not centred stays at the corner", 86, 63, false, true, QRect(70, 70, 860, 630)},
        {"the device's own margins", 95, 65, true, false, QRect(20, 30 + 325, 950, 650)},
        {"heights truncate", 100, 33, true, true, QRect(70, 70 + 630 - 141, 860, 283)},
    };
    for (const auto &c : cases) {
        printer.ClearPaper();
        const TTestDib dib = MakeDib(c.Width, c.Height, 8, Pattern);
        EXPECT_EQ(Print(dib, c.Centre, c.Uniform), dpPrinted) << c.Name;
        EXPECT_EQ(Drawn(), c.Expected) << c.Name;
        // The first and last source pixels land in the corners.
        EXPECT_EQ(printer.Paper.pixel(c.Expected.topLeft()), PaletteColour(int(Pattern(0, 0)))) << c.Name;
        EXPECT_EQ(printer.Paper.pixel(c.Expected.bottomRight()),
                  PaletteColour(int(Pattern(c.Width - 1, c.Height - 1))))
            << c.Name;
    }
}

TEST_F(DibPrintTest, BandsTileTheVisibleAreaRowByRowAndReportProgress)
{
    const TTestDib dib = MakeDib(86, 63, 24, [](int x, int y) { return std::uint32_t(x * 0x10203 + y); });
    ASSERT_EQ(Print(dib), dpPrinted);
    // 860 x 630 in bands of at most 400 x 300: three columns, three rows.
    ASSERT_EQ(printer.Bands.size(), 9u);
    const QRect expected[] = {{70, 385, 400, 300}, {470, 385, 400, 300}, {870, 385, 60, 300},
                              {70, 685, 400, 300}, {470, 685, 400, 300}, {870, 685, 60, 300},
                              {70, 985, 400, 30},  {470, 985, 400, 30},  {870, 985, 60, 30}};
    for (std::size_t i = 0; i < 9; ++i)
        EXPECT_EQ(QRect(printer.Bands[i].X, printer.Bands[i].Y, printer.Bands[i].Width, printer.Bands[i].Height),
                  expected[i])
            << i;
    // A 300-row band reports after rows 0, 64, 128, 192, 256 and once when sent;
    // a 30-row band after row 0 and when sent.
    std::vector<std::pair<int, int>> first(calls.begin(), calls.begin() + 6);
    EXPECT_EQ(first, (std::vector<std::pair<int, int>>(6, {1, 9})));
    EXPECT_EQ(calls.size(), 6u * 6 + 3u * 2);
    EXPECT_EQ(calls.back(), std::make_pair(9, 9));
    EXPECT_EQ(printer.Flushes, 9);
}

TEST_F(DibPrintTest, BandHeightOnDevicesWithoutLargeBitmaps)
{
    struct {
        bool Big;
        int Width, Bits, Height;
    } cases[] = {
        {true, 400, 24, 300},   // the screen's height
        {false, 400, 24, 54},   // 65503 / 1200
        {false, 400, 8, 163},   // 65503 / 400
        {false, 400, 1, 1259},  // 65503 / 52 bytes, more than the screen
        {false, 21834, 24, 1},  // 65504 bytes a row: one row still goes
        {false, 30000, 32, 1},
    };
    for (const auto &c : cases) {
        printer.Big64K = c.Big;
        EXPECT_EQ(DibBandHeight(printer, c.Width, c.Bits), c.Height) << c.Width << "x" << c.Bits;
    }
    printer.Big64K = false;
    const TTestDib dib = MakeDib(86, 63, 24, Pattern);
    ASSERT_EQ(Print(dib), dpPrinted);
    for (const TFakeBand &band : printer.Bands)
        EXPECT_LE(band.Height, 54);
}

TEST_F(DibPrintTest, EveryDepthResamplesToTheNearestSourcePixel)
{
    // A 7 x 5 image onto 17 x 11 device pixels at (3, 2), in 5 x 4 bands that
    // cut through source pixels: each device pixel shows
    // source (floor(x * 7 / 17), floor(y * 5 / 11)).
    printer.Screen = QSize(5, 4);
    for (int bits : {1, 4, 8, 16, 24, 32}) {
        for (bool topDown : {false, true}) {
            const auto value = [bits](int x, int y) -> std::uint32_t {
                if (bits <= 8)
                    return std::uint32_t(x * 5 + y * 3) % (1u << bits);
                return std::uint32_t(0x102030 * (x + 1) + 0x0A0B0C * y) & 0xFFFFFF;
            };
            const TTestDib dib =
                MakeDib(7, 5, bits, value, topDown, bits == 16 || (bits == 32 && topDown) ? dcBitFields : dcNone);
            printer.ClearPaper();
            ASSERT_EQ(PrintDibBands(printer, 3, 2, 17, 11, 0, 0, 7, 5, dib.InfoSpan(), dib.BitsSpan(),
                                    TRect{0, 0, 1000, 1000}, progress, nullptr),
                      dpPrinted)
                << bits;
            int wrong = 0;
            for (int y = 0; y < 11; ++y)
                for (int x = 0; x < 17; ++x)
                    wrong += printer.Paper.pixel(20 + 3 + x, 30 + 2 + y) != ShownColour(bits, value(x * 7 / 17, y * 5 / 11));
            EXPECT_EQ(wrong, 0) << bits << " bits, top-down " << topDown;
            EXPECT_EQ(printer.Bands.size(), 4u * 3u);
        }
    }
}

TEST_F(DibPrintTest, APartOfTheImageAndAClipOnlyDrawWhatIsAsked)
{
    const TTestDib dib = MakeDib(10, 8, 8, Pattern);
    // Source (4, 3) 3 x 2 doubled onto (100, 50) 6 x 4, the clip cutting its last column.
    ASSERT_EQ(PrintDibBands(printer, 100, 50, 6, 4, 4, 3, 3, 2, dib.InfoSpan(), dib.BitsSpan(),
                            TRect{0, 0, 105, 1000}, progress, nullptr),
              dpPrinted);
    EXPECT_EQ(Drawn(), QRect(20 + 100, 30 + 50, 5, 4));
    for (int y = 0; y < 4; ++y)
        for (int x = 0; x < 5; ++x)
            EXPECT_EQ(printer.Paper.pixel(120 + x, 80 + y), PaletteColour(int(Pattern(4 + x / 2, 3 + y / 2))));
}

TEST_F(DibPrintTest, AShortTransferSwitchesTheRestOfTheJobToTheFallback)
{
    printer.Screen = QSize(300, 300);
    int stretched = 0;
    printer.OnTransfer = [&](int) { ++stretched; };
    printer.StretchRows = [](int band, int rows) { return band == 2 ? rows - 1 : rows; };
    const TTestDib dib = MakeDib(86, 63, 24, [](int x, int y) { return std::uint32_t(x << 8 | y); });
    ASSERT_EQ(Print(dib), dpPrinted);
    TFakePrinter plain;
    plain.Screen = QSize(300, 300);
    ASSERT_EQ(PrintDibToDevice(plain, dib.InfoSpan(), dib.BitsSpan(), true, true, nullptr, nullptr), dpPrinted);

    ASSERT_EQ(printer.Bands.size(), 9u);
    EXPECT_EQ(stretched, 2); // the stretched transfer is not tried again
    EXPECT_FALSE(printer.Bands[0].Fallback);
    for (std::size_t i = 1; i < 9; ++i)
        EXPECT_TRUE(printer.Bands[i].Fallback) << i;
    EXPECT_EQ(printer.Paper, plain.Paper);
}

TEST_F(DibPrintTest, ResultCodes)
{
    const TTestDib good = MakeDib(20, 10, 8, Pattern);
    TTestDib badInfo = good;
    badInfo.Info[12] = 2; // two planes
    TTestDib shortBits = good;
    shortBits.Bits.pop_back();
    const TRect clip{0, 0, 1000, 1000};
    const auto bands = [&](const TTestDib &dib, int dx, int dy, int dw, int dh, int sx, int sy, int sw, int sh) {
        return PrintDibBands(printer, dx, dy, dw, dh, sx, sy, sw, sh, dib.InfoSpan(), dib.BitsSpan(), clip, progress,
                             nullptr);
    };
    struct {
        const char *Name;
        std::function<int()> Run;
        int Result;
        std::size_t BandsDrawn;
    } cases[] = {
        {"printed", [&] { return bands(good, 0, 0, 40, 20, 0, 0, 20, 10); }, dpPrinted, 1},
        {"invalid header", [&] { return bands(badInfo, 0, 0, 40, 20, 0, 0, 20, 10); }, dpBadParameter, 0},
        {"no bits", [&] { return PrintDibBands(printer, 0, 0, 4, 4, 0, 0, 4, 4, good.InfoSpan(), {}, clip, progress, nullptr); }, dpBadParameter, 0},
        {"rows missing", [&] { return bands(shortBits, 0, 0, 40, 20, 0, 0, 20, 10); }, dpBadParameter, 0},
        {"negative source", [&] { return bands(good, 0, 0, 40, 20, -1, 0, 20, 10); }, dpBadParameter, 0},
        {"source one past the right", [&] { return bands(good, 0, 0, 40, 20, 1, 0, 20, 10); }, dpBadParameter, 0},
        {"source one past the bottom", [&] { return bands(good, 0, 0, 40, 20, 0, 1, 20, 10); }, dpBadParameter, 0},
        {"source to the last pixel", [&] { return bands(good, 0, 0, 40, 20, 19, 9, 1, 1); }, dpPrinted, 1},
        {"empty destination", [&] { return bands(good, 0, 0, 0, 20, 0, 0, 20, 10); }, dpBadParameter, 0},
        {"destination outside the clip", [&] { return bands(good, 1000, 0, 40, 20, 0, 0, 20, 10); }, dpNothingToDraw, 0},
        {"destination touching the clip", [&] { return bands(good, 999, 999, 40, 20, 0, 0, 20, 10); }, dpPrinted, 1},
        {"geometry unknown", [&] { printer.FailingCapability = IPrintDevice::capLogPixelsY; return Print(good); }, dpBadParameter, 0},
    };
    for (auto &c : cases) {
        printer.ClearPaper();
        printer.FailingCapability = -1;
        EXPECT_EQ(c.Run(), c.Result) << c.Name;
        EXPECT_EQ(printer.Bands.size(), c.BandsDrawn) << c.Name;
        EXPECT_EQ(TDibBlock::LiveBlocks(), 0u) << c.Name;
    }
}

TEST_F(DibPrintTest, StoppedJobsEndWithUserAbort)
{
    const TTestDib dib = MakeDib(86, 63, 8, Pattern);
    struct {
        const char *Name;
        int StopAtCall; // the progress call that answers 0 (1-based), or 0
        bool StretchFails, BlockFails, Throws;
        std::size_t BandsDrawn;
    } cases[] = {
        {"stop at the first call", 1, false, false, false, 0},
        {"stop when band 1 was sent", 6, false, false, false, 1},
        {"stop inside band 2", 7, false, false, false, 1},
        {"neither transfer draws", 0, true, true, false, 0},
        {"the device raises", 0, false, false, true, 0},
    };
    for (const auto &c : cases) {
        printer.ClearPaper();
        int call = 0;
        progress = [&](int, int, void *) { return ++call == c.StopAtCall ? 0 : 1; };
        printer.StretchRows = [&](int, int rows) { return c.StretchFails ? 0 : rows; };
        printer.BlockWorks = !c.BlockFails;
        printer.OnTransfer = [&](int) {
            if (c.Throws)
                throw std::runtime_error("device gone");
        };
        EXPECT_EQ(Print(dib), dpUserAbortOrOtherError) << c.Name;
        EXPECT_EQ(printer.Bands.size(), c.BandsDrawn) << c.Name;
    }
}

TEST_F(DibPrintTest, RunLengthImagesPrintWithSkippedPixelsWhite)
{
    // 4 x 2, RLE8: bottom row "1 1" then end of line; top row skipped to x 2 by a delta, "2".
    TTestDib dib = MakeDib(4, 2, 8, [](int, int) { return 0u; });
    const std::uint32_t white = 200;
    dib.Info[std::size_t(40 + 4 * white)] = dib.Info[std::size_t(41 + 4 * white)] =
        dib.Info[std::size_t(42 + 4 * white)] = 255;
    dib.Bits = {2, 1, 0, 0, 0, 2, 2, 0, 1, 2, 0, 1};
    Put32(dib.Info, 16, dcRle8);
    Put32(dib.Info, 20, std::uint32_t(dib.Bits.size()));
    ASSERT_EQ(PrintDibBands(printer, 0, 0, 4, 2, 0, 0, 4, 2, dib.InfoSpan(), dib.BitsSpan(), TRect{0, 0, 100, 100},
                            progress, nullptr),
              dpPrinted);
    const QRgb one = PaletteColour(1), two = PaletteColour(2), w = qRgb(255, 255, 255);
    const QRgb expected[2][4] = {{w, w, two, w}, {one, one, w, w}};
    for (int y = 0; y < 2; ++y)
        for (int x = 0; x < 4; ++x)
            EXPECT_EQ(printer.Paper.pixel(20 + x, 30 + y), expected[y][x]) << x << "," << y;

    dib.Bits = {0, 5, 1};  // a literal of five cut short
    Put32(dib.Info, 20, 3);
    EXPECT_EQ(PrintDibBands(printer, 0, 0, 4, 2, 0, 0, 4, 2, dib.InfoSpan(), dib.BitsSpan(), TRect{0, 0, 100, 100},
                            progress, nullptr),
              dpMemoryReadFailed);
}

TEST_F(DibPrintTest, WorkingMemoryStaysWithinOneBand)
{
    const TTestDib dib = MakeDib(860, 1260, 24, Pattern);
    TDibBlock::ResetPeak();
    ASSERT_EQ(Print(dib), dpPrinted);
    // The info copy and one band of 400 x 300 at 24 bits; the image is the caller's.
    EXPECT_LE(TDibBlock::PeakBytes(), std::size_t(40 + DibRowSize(400, 24) * 300));
    EXPECT_GE(TDibBlock::PeakBytes(), std::size_t(DibRowSize(400, 24) * 300));
}

// The banded engine through a fake printer: page geometry, the fit-and-centre
// rule, band arithmetic, resampling at every depth, the fall-back transfer and
// every result code, with all working memory given back.
#include "dib_builders.h"
#include "fake_printer.h"
#include "test_data.h"

#include "canvas/print/dib_print.h"

#include <gtest/gtest.h>

#include <map>

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
    int Print(const TTestDib &dib, bool centre = true, bool uniform = true)
    {
        return PrintDibToDevice(printer, dib.InfoSpan(), dib.BitsSpan(), centre, uniform, progress, nullptr);
    }
    int Bands(const TTestDib &dib, const QList<int> &d, TRect clip = {0, 0, 1000, 1000})
    {
        return PrintDibBands(printer, d[0], d[1], d[2], d[3], d[4], d[5], d[6], d[7], dib.InfoSpan(), dib.BitsSpan(),
                             clip, progress, nullptr);
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
    for (const QStringList &c : readCases("print/page_geometry.txt")) {
        const QList<int> v = caseInts(c[1]);
        std::tie(printer.PhysicalWidth, printer.PhysicalHeight, printer.OffsetX, printer.OffsetY, printer.HorzRes,
                 printer.VertRes) = std::tuple(v[0], v[1], v[2], v[3], v[4], v[5]);
        TPrinterPageGeometry g;
        ASSERT_TRUE(GetPrinterPageGeometry(printer, g));
        EXPECT_EQ(QList<int>({g.UniformMargin, g.UniformWidth, g.UniformHeight, g.ShiftX, g.ShiftY}), caseInts(c[2]))
            << c[0].toStdString();
    }
    for (int capability = IPrintDevice::capHorzRes; capability <= IPrintDevice::capLogPixelsY; ++capability) {
        printer.FailingCapability = capability;
        TPrinterPageGeometry g;
        EXPECT_FALSE(GetPrinterPageGeometry(printer, g)) << capability;
    }
}

TEST_F(DibPrintTest, ImagesAreFittedToThePrintableAreaAndCentred)
{
    for (const QStringList &c : readCases("print/fit.txt")) {
        const QList<int> size = caseInts(c[1]), flags = caseInts(c[2]), printable = caseInts(c[3]), r = caseInts(c[4]);
        printer = TFakePrinter();
        if (printable[0])
            std::tie(printer.HorzRes, printer.VertRes) = std::pair(printable[0], printable[1]);
        const QRect expected(r[0], r[1], r[2], r[3]);
        const TTestDib dib = MakeDib(size[0], size[1], 8, Pattern);
        SCOPED_TRACE(c[0].toStdString());
        EXPECT_EQ(Print(dib, flags[0], flags[1]), dpPrinted);
        EXPECT_EQ(printer.Drawn(), expected);
        // The first and last source pixels land in the corners.
        EXPECT_EQ(printer.Paper.pixel(expected.topLeft()), PaletteColour(int(Pattern(0, 0))));
        EXPECT_EQ(printer.Paper.pixel(expected.bottomRight()), PaletteColour(int(Pattern(size[0] - 1, size[1] - 1))));
    }
}

TEST_F(DibPrintTest, BandsTileTheVisibleAreaRowByRowAndReportProgress)
{
    const TTestDib dib = MakeDib(86, 63, 24, [](int x, int y) { return std::uint32_t(x * 0x10203 + y); });
    ASSERT_EQ(Print(dib), dpPrinted);
    // 860 x 630 in bands of at most 400 x 300: three columns, three rows.
    QList<QRect> places;
    for (const TFakeBand &band : printer.Bands)
        places << band.Place;
    EXPECT_EQ(places, (QList<QRect>{{70, 385, 400, 300}, {470, 385, 400, 300}, {870, 385, 60, 300},
                                    {70, 685, 400, 300}, {470, 685, 400, 300}, {870, 685, 60, 300},
                                    {70, 985, 400, 30}, {470, 985, 400, 30}, {870, 985, 60, 30}}));
    // A 300-row band reports after rows 0, 64, 128, 192, 256 and once when sent;
    // a 30-row band after row 0 and when sent.
    EXPECT_EQ(std::vector(calls.begin(), calls.begin() + 6), (std::vector<std::pair<int, int>>(6, {1, 9})));
    EXPECT_EQ(calls.size(), 6u * 6 + 3u * 2);
    EXPECT_EQ(calls.back(), std::make_pair(9, 9));
    EXPECT_EQ(printer.Flushes, 9);
    calls.clear(); // a one-row band reports after its row and when sent
    ASSERT_EQ(Bands(MakeDib(20, 10, 8, Pattern), {0, 0, 40, 1, 0, 0, 20, 10}), dpPrinted);
    EXPECT_EQ(calls.size(), 2u);
}

TEST_F(DibPrintTest, BandHeightOnDevicesWithoutLargeBitmaps)
{
    for (const QStringList &c : readCases("print/band_height.txt")) {
        const QList<int> v = caseInts(c[1]);
        printer.Big64K = v[0];
        EXPECT_EQ(DibBandHeight(printer, v[1], v[2]), c[2].toInt()) << c[0].toStdString();
    }
    printer.Big64K = false;
    ASSERT_EQ(Print(MakeDib(86, 63, 24, Pattern)), dpPrinted);
    EXPECT_EQ(printer.Drawn().height(), 630);
    for (const TFakeBand &band : printer.Bands)
        EXPECT_LE(band.Place.height(), 54);
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
            ASSERT_EQ(Bands(dib, {3, 2, 17, 11, 0, 0, 7, 5}), dpPrinted) << bits;
            int wrong = 0;
            for (int y = 0; y < 11; ++y)
                for (int x = 0; x < 17; ++x)
                    wrong += printer.Paper.pixel(23 + x, 32 + y) != ShownColour(bits, value(x * 7 / 17, y * 5 / 11));
            EXPECT_EQ(wrong, 0) << bits << " bits, top-down " << topDown;
            EXPECT_EQ(printer.Bands.size(), 4u * 3u);
            // The narrower last bands reuse rows of wider ones: what follows their pixels is clear.
            EXPECT_EQ(printer.DirtyPadding, 0) << bits << " bits";
        }
    }
}

TEST_F(DibPrintTest, APartOfTheImageAndAClipOnlyDrawWhatIsAsked)
{
    // Source (4, 3) 3 x 2 doubled onto (100, 50) 6 x 4, the clip cutting its
    // first column and row and its last column.
    ASSERT_EQ(Bands(MakeDib(10, 8, 8, Pattern), {100, 50, 6, 4, 4, 3, 3, 2}, TRect{101, 51, 105, 1000}), dpPrinted);
    EXPECT_EQ(printer.Drawn(), QRect(20 + 101, 30 + 51, 4, 3));
    for (int y = 1; y < 4; ++y)
        for (int x = 1; x < 5; ++x)
            EXPECT_EQ(printer.Paper.pixel(120 + x, 80 + y), PaletteColour(int(Pattern(4 + x / 2, 3 + y / 2))));
}

TEST_F(DibPrintTest, AShortTransferSwitchesTheRestOfTheJobToTheFallback)
{
    printer.Screen = QSize(300, 300);
    int stretched = 0;
    printer.OnTransfer = [&](int) { ++stretched; };
    printer.ShortBand = 2;
    const TTestDib dib = MakeDib(86, 63, 24, [](int x, int y) { return std::uint32_t(x << 8 | y); });
    ASSERT_EQ(Print(dib), dpPrinted);
    TFakePrinter plain;
    plain.Screen = QSize(300, 300);
    ASSERT_EQ(PrintDibToDevice(plain, dib.InfoSpan(), dib.BitsSpan(), true, true, nullptr, nullptr), dpPrinted);
    EXPECT_EQ(stretched, 2); // the stretched transfer is not tried again
    QString fallbacks;
    for (const TFakeBand &band : printer.Bands)
        fallbacks += band.Fallback ? 'F' : 'S';
    EXPECT_EQ(fallbacks, "SFFFFFFFF");
    EXPECT_EQ(printer.Paper, plain.Paper);
}

TEST_F(DibPrintTest, ResultCodes)
{
    const TTestDib good = MakeDib(20, 10, 8, Pattern);
    TTestDib twoPlanes = good, noBits = good, rowsMissing = good;
    twoPlanes.Info[12] = 2;
    noBits.Bits.clear();
    rowsMissing.Bits.pop_back();
    const std::map<QString, const TTestDib *> images = {
        {"good", &good}, {"two planes", &twoPlanes}, {"no bits", &noBits}, {"rows missing", &rowsMissing}};
    for (const QStringList &c : readCases("print/band_results.txt")) {
        printer.ClearPaper();
        EXPECT_EQ(Bands(*images.at(c[1]), caseInts(c[2])), c[3].toInt()) << c[0].toStdString();
        EXPECT_EQ(printer.Bands.size(), c[4].toUInt()) << c[0].toStdString();
        EXPECT_EQ(TDibBlock::LiveBlocks(), 0u) << c[0].toStdString();
    }
    printer.FailingCapability = IPrintDevice::capLogPixelsY;
    EXPECT_EQ(Print(good), dpBadParameter); // the sheet cannot be measured
}

TEST_F(DibPrintTest, StoppedJobsEndWithUserAbort)
{
    const TTestDib dib = MakeDib(86, 63, 8, Pattern);
    for (const QStringList &c : readCases("print/stops.txt")) {
        const QList<int> v = caseInts(c[1]);
        printer.ClearPaper();
        int call = 0;
        progress = [&](int, int, void *) { return ++call == v[0] ? 0 : 1; };
        printer.ShortBand = v[1] ? -1 : 0;
        printer.BlockWorks = !v[2];
        printer.OnTransfer = [&](int) {
            if (v[3])
                throw std::runtime_error("device gone");
        };
        EXPECT_EQ(Print(dib), dpUserAbortOrOtherError) << c[0].toStdString();
        EXPECT_EQ(printer.Bands.size(), c[2].toUInt()) << c[0].toStdString();
    }
}

TEST_F(DibPrintTest, RunLengthImagesPrintWithSkippedPixelsWhite)
{
    // 4 x 2, RLE8: bottom row "1 1" then end of line; top row skipped to x 2 by a delta, "2".
    TTestDib dib = MakeDib(4, 2, 8, [](int, int) { return 0u; });
    std::fill_n(dib.Info.begin() + 40 + 4 * 200, 3, 255); // entry 200 is white
    dib.Bits = {2, 1, 0, 0, 0, 2, 2, 0, 1, 2, 0, 1};
    Put32(dib.Info, 16, dcRle8);
    Put32(dib.Info, 20, std::uint32_t(dib.Bits.size()));
    ASSERT_EQ(Bands(dib, {0, 0, 4, 2, 0, 0, 4, 2}), dpPrinted);
    QList<QRgb> shown;
    for (int i = 0; i < 8; ++i)
        shown << printer.Paper.pixel(20 + i % 4, 30 + i / 4);
    const QRgb one = PaletteColour(1), two = PaletteColour(2), w = qRgb(255, 255, 255);
    EXPECT_EQ(shown, (QList<QRgb>{w, w, two, w, one, one, w, w}));

    dib.Bits = {0, 5, 1}; // a literal of five cut short
    Put32(dib.Info, 20, 3);
    EXPECT_EQ(Bands(dib, {0, 0, 4, 2, 0, 0, 4, 2}), dpMemoryReadFailed);
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

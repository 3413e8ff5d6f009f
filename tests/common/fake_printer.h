#pragma once
// A printer for tests: reports the page geometry it is given, paints every band
// it receives onto a "paper" image in device pixels, and notes the calls of the
// job in order ("begin", "page", "text:...", "end", "abort").
#include "canvas/print/dib_format.h"
#include "canvas/print/print_device.h"

#include <QImage>
#include <QPainter>
#include <QStringList>

#include <functional>
#include <tuple>
#include <vector>

struct TFakeBand {
    QRect Place;
    bool Fallback;
};

class TFakePrinter : public IPrinter {
public:
    // The sheet: physical size, offsets of the printable area, its size, dpi.
    int PhysicalWidth = 1000, PhysicalHeight = 1400;
    int OffsetX = 20, OffsetY = 30;
    int HorzRes = 950, VertRes = 1300;
    int Dpi = 192;
    bool Big64K = true;
    QSize Screen{400, 300};
    int FailingCapability = -1; // the capability that gives no answer
    int ShortBand = 0;          // the band whose stretched transfer draws a row short; -1 every band
    bool BlockWorks = true;
    std::function<void(int band)> OnTransfer; // at each transfer, before painting; may throw
    std::function<void()> OnNewPage;

    QImage Paper;
    std::vector<TFakeBand> Bands;
    QStringList Job;
    int Saves = 0, Restores = 0, Flushes = 0;
    bool Active = false;

    TFakePrinter() { ClearPaper(); }
    // Logical (0, 0) starts at the printable area's corner of the sheet.
    void ClearPaper()
    {
        Origin_ = QPoint(OffsetX, OffsetY);
        Clip_ = QRect();
        States_.clear();
        Paper = QImage(PhysicalWidth, PhysicalHeight, QImage::Format_RGB32);
        Paper.fill(Qt::white);
        Bands.clear();
    }
    QRect Drawn() const
    {
        QRect all;
        for (const TFakeBand &b : Bands)
            all |= b.Place;
        return all;
    }

    bool Capability(TCapability capability, int &value) override
    {
        const int values[] = {HorzRes, VertRes, PhysicalWidth, PhysicalHeight, OffsetX, OffsetY, Dpi, Dpi};
        value = values[capability];
        return int(capability) != FailingCapability;
    }
    bool Supports64KBitmaps() override { return Big64K; }
    QSize ScreenSize() override { return Screen; }
    void SaveState() override { ++Saves, States_.push_back({Origin_, Clip_}); }
    void RestoreState() override
    {
        ++Restores;
        if (!States_.empty()) {
            std::tie(Origin_, Clip_) = States_.back();
            States_.pop_back();
        }
    }
    void MoveOrigin(int dx, int dy) override { Origin_ += QPoint(dx, dy); }
    void ClipTo(const TRect &rect) override { Clip_ = rect.ToQRect().translated(Origin_); }
    int StretchDib(int x, int y, std::span<const std::uint8_t> info, std::span<const std::uint8_t> bits) override
    {
        CountDirtyPadding(info, bits);
        const int band = int(Bands.size()) + 1;
        if (OnTransfer)
            OnTransfer(band);
        const QImage image = Decode(info, bits);
        if (ShortBand == -1 || ShortBand == band)
            return image.height() - 1;
        Paint(x, y, image, false);
        return image.height();
    }
    bool BlockTransfer(int x, int y, std::span<const std::uint8_t> info, std::span<const std::uint8_t> bits) override
    {
        if (BlockWorks)
            Paint(x, y, Decode(info, bits), true);
        return BlockWorks;
    }
    void Flush() override { ++Flushes; }
    // Band rows with bits set after their last pixel (a 40-byte header, uncompressed).
    int DirtyPadding = 0;
    void CountDirtyPadding(std::span<const std::uint8_t> info, std::span<const std::uint8_t> bits)
    {
        const auto word = [&](int at, int size) {
            std::uint32_t v = 0;
            for (int i = size - 1; i >= 0; --i)
                v = v << 8 | info[std::size_t(at + i)];
            return v;
        };
        const std::int64_t width = std::int32_t(word(4, 4)), height = std::abs(std::int32_t(word(8, 4)));
        const std::int64_t used = width * word(14, 2), row = (used + 31) / 32 * 4;
        for (std::int64_t y = 0; y < height && (y + 1) * row <= std::int64_t(bits.size()); ++y)
            for (std::int64_t bit = used; bit < row * 8; ++bit)
                if (bits[std::size_t(y * row + bit / 8)] & (0x80 >> (bit % 8))) {
                    ++DirtyPadding;
                    break;
                }
    }

    bool Printing() override { return Active; }
    void SetTitle(const QString &title) override { Job << "title:" + title; }
    void BeginDoc() override { Active = true, Job << "begin"; }
    void NewPage() override
    {
        if (OnNewPage)
            OnNewPage();
        Job << "page";
        ClearPaper();
    }
    void EndDoc() override { Active = false, Job << "end"; }
    void Abort() override { Active = false, Job << "abort"; }
    void TextOut(int x, int y, const QString &text, const QString &font, int size) override
    {
        Job << QStringLiteral("text:%1@%2,%3 %4 %5").arg(text).arg(x + Origin_.x()).arg(y + Origin_.y()).arg(font).arg(size);
    }

private:
    static QImage Decode(std::span<const std::uint8_t> info, std::span<const std::uint8_t> bits)
    {
        return DibToImage(TByteSpan(info.data(), info.size()), TByteSpan(bits.data(), bits.size()));
    }
    void Paint(int x, int y, const QImage &image, bool fallback)
    {
        const QPoint at = QPoint(x, y) + Origin_;
        Bands.push_back({QRect(at, image.size()), fallback});
        QPainter painter(&Paper);
        if (!Clip_.isNull())
            painter.setClipRect(Clip_);
        painter.drawImage(at, image);
    }

    QPoint Origin_;
    QRect Clip_;
    std::vector<std::pair<QPoint, QRect>> States_;
};

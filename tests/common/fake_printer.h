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
#include <vector>

struct TFakeBand {
    int X, Y, Width, Height;
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
    // The capability that fails to answer, or -1.
    int FailingCapability = -1;
    // Rows the stretched transfer reports for band n (1-based); all by default.
    std::function<int(int band, int rows)> StretchRows;
    bool BlockWorks = true;
    // Called at each transfer, before painting; may throw.
    std::function<void(int band)> OnTransfer;

    // Called when the job moves to the next page, before it does.
    std::function<void()> OnNewPage;

    QImage Paper;
    // The pages finished so far, each with the bands it received.
    std::vector<QImage> Sheets;
    std::vector<std::size_t> SheetBands;
    std::vector<TFakeBand> Bands;
    QStringList Job;
    int Saves = 0, Restores = 0, Flushes = 0;
    bool Active = false;
    QString Title;

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

    bool Capability(TCapability capability, int &value) override
    {
        if (int(capability) == FailingCapability)
            return false;
        switch (capability) {
        case capHorzRes: value = HorzRes; break;
        case capVertRes: value = VertRes; break;
        case capPhysicalWidth: value = PhysicalWidth; break;
        case capPhysicalHeight: value = PhysicalHeight; break;
        case capPhysicalOffsetX: value = OffsetX; break;
        case capPhysicalOffsetY: value = OffsetY; break;
        case capLogPixelsX:
        case capLogPixelsY: value = Dpi; break;
        }
        return true;
    }
    bool Supports64KBitmaps() override { return Big64K; }
    QSize ScreenSize() override { return Screen; }
    void SaveState() override
    {
        ++Saves;
        States_.push_back({Origin_, Clip_});
    }
    void RestoreState() override
    {
        ++Restores;
        if (States_.empty())
            return;
        Origin_ = States_.back().first;
        Clip_ = States_.back().second;
        States_.pop_back();
    }
    void MoveOrigin(int dx, int dy) override { Origin_ += QPoint(dx, dy); }
    void ClipTo(const TRect &rect) override { Clip_ = rect.ToQRect().translated(Origin_); }
    int StretchDib(int x, int y, std::span<const std::uint8_t> info, std::span<const std::uint8_t> bits) override
    {
        const int band = int(Bands.size()) + 1;
        if (OnTransfer)
            OnTransfer(band);
        const QImage image = Decode(info, bits);
        const int rows = StretchRows ? StretchRows(band, image.height()) : image.height();
        if (rows == image.height())
            Paint(x, y, image, false);
        return rows;
    }
    bool BlockTransfer(int x, int y, std::span<const std::uint8_t> info, std::span<const std::uint8_t> bits) override
    {
        if (!BlockWorks)
            return false;
        Paint(x, y, Decode(info, bits), true);
        return true;
    }
    void Flush() override { ++Flushes; }

    bool Printing() override { return Active; }
    void SetTitle(const QString &title) override { Title = title; }
    void BeginDoc() override
    {
        Active = true;
        Job << "begin";
    }
    void NewPage() override
    {
        if (OnNewPage)
            OnNewPage();
        Job << "page";
        FinishSheet();
    }
    void EndDoc() override
    {
        Active = false;
        Job << "end";
        FinishSheet();
    }
    void Abort() override
    {
        Active = false;
        Job << "abort";
    }
    void TextOut(int x, int y, const QString &text, const QString &font, int size) override
    {
        Job << QStringLiteral("text:%1@%2,%3 %4 %5").arg(text).arg(x + Origin_.x()).arg(y + Origin_.y()).arg(font).arg(size);
    }

    void FinishSheet()
    {
        Sheets.push_back(Paper);
        SheetBands.push_back(Bands.size());
        ClearPaper();
    }
    // Where logical (0, 0) is now, in device pixels.
    QPoint Origin() const { return Origin_; }

private:
    static QImage Decode(std::span<const std::uint8_t> info, std::span<const std::uint8_t> bits)
    {
        return DibToImage(TByteSpan(info.data(), info.size()), TByteSpan(bits.data(), bits.size()));
    }
    void Paint(int x, int y, const QImage &image, bool fallback)
    {
        const QPoint at = QPoint(x, y) + Origin_;
        Bands.push_back({at.x(), at.y(), image.width(), image.height(), fallback});
        QPainter painter(&Paper);
        if (!Clip_.isNull())
            painter.setClipRect(Clip_);
        painter.drawImage(at, image);
    }

    QPoint Origin_;
    QRect Clip_;
    std::vector<std::pair<QPoint, QRect>> States_;
};

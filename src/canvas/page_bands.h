#pragma once
// TPageBands: renders the whole page a band of rows at a time, so that a
// picture of any size is written with a bounded amount of memory. Bands wider
// than one painter can draw are put together from tiles.
#include "canvas/page_index.h"

#include <QImage>

#include <vector>

class TOSDiagram;

class TPageBands {
public:
    // The memory one band may take; tests make it small to cut pages into
    // many bands.
    static inline qint64 BandBytes = qint64(32) << 20;
    // Widest piece one painter draws; tests make it small too.
    static inline int TileWidth = 32767;

    TPageBands(TOSDiagram &diagram, int width, int height);

    int Width() const { return Width_; }
    int Height() const { return Height_; }
    // Rows of the page one band holds (at least one).
    int BandRows() const { return Rows_; }
    // Renders page rows top .. top + count - 1 (count at most BandRows()).
    void Render(int top, int count);
    // A row of the band rendered last, 0 being its first; RGB32 pixels.
    const QRgb *Row(int index) const;
    // The dots per metre a new bitmap gets: pictures carry them in their header.
    int DotsPerMeterX() const { return Tile_.dotsPerMeterX(); }
    int DotsPerMeterY() const { return Tile_.dotsPerMeterY(); }

private:
    TOSDiagram &Diagram_;
    // Filed once, so that each band visits only the boxes and links near it.
    TPageIndex Index_;
    int Width_;
    int Height_;
    int Rows_;
    QImage Tile_;
    // The band put together from its tiles, for pages wider than one tile.
    std::vector<QRgb> Wide_;
};

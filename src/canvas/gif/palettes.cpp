#include "canvas/gif/palettes.h"

namespace gif {

int ColorsToBits(int count)
{
    if (count <= 0)
        return 0;
    if (count <= 2)
        return 1;
    int bits = 1;
    while ((1 << bits) < count)
        ++bits;
    return bits;
}

TGIFPalette CreateWebSafePalette()
{
    TGIFPalette palette;
    palette.reserve(216);
    for (int r = 0; r < 6; ++r)
        for (int g = 0; g < 6; ++g)
            for (int b = 0; b < 6; ++b)
                palette.push_back({std::uint8_t(51 * r), std::uint8_t(51 * g), std::uint8_t(51 * b), 0});
    return palette;
}

TGIFPalette DefaultSystemPalette()
{
    return {
        {0, 0, 0, 0},       {128, 0, 0, 0},     {0, 128, 0, 0},     {128, 128, 0, 0},
        {0, 0, 128, 0},     {128, 0, 128, 0},   {0, 128, 128, 0},   {192, 192, 192, 0},
        {192, 220, 192, 0}, {166, 202, 240, 0}, {255, 251, 240, 0}, {160, 160, 164, 0},
        {128, 128, 128, 0}, {255, 0, 0, 0},     {0, 255, 0, 0},     {255, 255, 0, 0},
        {0, 0, 255, 0},     {255, 0, 255, 0},   {0, 255, 255, 0},   {255, 255, 255, 0},
    };
}

TGIFPalette HalftonePalette()
{
    const TGIFPalette system = DefaultSystemPalette();
    TGIFPalette palette(system.begin(), system.begin() + 10);
    for (const TPaletteEntry &e : CreateWebSafePalette())
        palette.push_back(e);
    for (int i = 1; i <= 20; ++i) {
        const auto v = std::uint8_t((255 * i + 10) / 21);
        palette.push_back({v, v, v, 0});
    }
    palette.insert(palette.end(), system.begin() + 10, system.end());
    return palette;
}

TGIFPalette GreyPalette(std::initializer_list<int> levels)
{
    TGIFPalette palette;
    for (int v : levels)
        palette.push_back({std::uint8_t(v), std::uint8_t(v), std::uint8_t(v), PC_NOCOLLAPSE});
    return palette;
}

TGIFPalette GrayScalePalette256()
{
    TGIFPalette palette;
    palette.reserve(256);
    for (int i = 0; i < 256; ++i)
        palette.push_back({std::uint8_t(i), std::uint8_t(i), std::uint8_t(i), PC_NOCOLLAPSE});
    return palette;
}

QList<QRgb> PaletteToColorTable(const TGIFPalette &palette)
{
    QList<QRgb> table;
    table.reserve(qsizetype(palette.size()));
    for (const TPaletteEntry &e : palette)
        table.push_back(qRgb(e.peRed, e.peGreen, e.peBlue));
    return table;
}

TGIFPalette ColorTableToPalette(const QList<QRgb> &table)
{
    TGIFPalette palette;
    palette.reserve(std::size_t(table.size()));
    for (QRgb c : table)
        palette.push_back({std::uint8_t(qRed(c)), std::uint8_t(qGreen(c)), std::uint8_t(qBlue(c)), 0});
    return palette;
}

}  // namespace gif

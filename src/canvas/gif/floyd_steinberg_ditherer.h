#pragma once
// TFloydSteinbergDitherer: Floyd-Steinberg error diffusion (7, 3, 5, 1 sixteenths) with one
// error row per component and the errors of the current row carried in running terms.
#include "canvas/gif/dither_engine.h"

#include <vector>

namespace gif {

class TFloydSteinbergDitherer : public TDitherEngine
{
public:
    TFloydSteinbergDitherer(int width, TColorLookup *lookup);

    std::uint8_t Dither(int red, int green, int blue, int &outRed, int &outGreen, int &outBlue) override;
    void NextLine() override;

private:
    struct TComponent
    {
        // The next row's error of column c is kept in cell c + 1; cells 0 and Width + 1
        // take what falls outside the picture.
        std::vector<int> Row;
        int Error = 0;  // carried to the next pixel of this row
        int Diag = 0;   // the previous pixel's error
        int Below = 0;  // the pending next-row value of the column just passed
    };
    TComponent FComponents[3];
    int FCell = 0;  // cell written for the current pixel: the column behind it
};

}  // namespace gif

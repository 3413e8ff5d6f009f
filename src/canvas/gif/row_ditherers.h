#pragma once
// The error-diffusing ditherers that keep whole error rows per component: the 5-by-3
// kernels (Stucki, Sierra, Jarvis-Judice-Ninke), Stevenson-Arce and Burkes.
#include "canvas/gif/dither_engine.h"

#include <vector>

namespace gif {

// Rows of accumulated error per component, a margin either side so kernels never test for
// the row's ends, and one division by the kernel's divisor when an error is read.
class TRowArrayDitherer : public TDitherEngine
{
public:
    std::uint8_t Dither(int red, int green, int blue, int &outRed, int &outGreen, int &outBlue) override;
    void NextLine() override;

protected:
    TRowArrayDitherer(int width, TColorLookup *lookup, int rows, int margin, int divisor);
    // Adds the error e of the pixel at cell to the cells of the kernel; rows[0] is the
    // current row. Places ahead lie in the direction of travel.
    virtual void Spread(int **rows, int cell, int e) = 0;

    int FStep = 1;  // one place ahead in the direction of travel

private:
    std::vector<std::vector<int>> FRows[3];
    int FMargin;
    int FDivisor;
};

class T5by3Ditherer : public TRowArrayDitherer
{
protected:
    T5by3Ditherer(int width, TColorLookup *lookup, int divisor)
        : TRowArrayDitherer(width, lookup, 3, 2, divisor) {}
    void Spread(int **rows, int cell, int e) override
    {
        Propagate(rows[0] + cell, rows[1] + cell, e, rows[2] + cell);
    }
    virtual void Propagate(int *row0, int *row1, int e, int *row2) = 0;
};

class TStuckiDitherer : public T5by3Ditherer
{
public:
    TStuckiDitherer(int width, TColorLookup *lookup) : T5by3Ditherer(width, lookup, 42) {}

protected:
    void Propagate(int *row0, int *row1, int e, int *row2) override;
};

class TSierraDitherer : public T5by3Ditherer
{
public:
    TSierraDitherer(int width, TColorLookup *lookup) : T5by3Ditherer(width, lookup, 32) {}

protected:
    void Propagate(int *row0, int *row1, int e, int *row2) override;
};

class TJaJuNiDitherer : public T5by3Ditherer
{
public:
    TJaJuNiDitherer(int width, TColorLookup *lookup) : T5by3Ditherer(width, lookup, 48) {}

protected:
    void Propagate(int *row0, int *row1, int e, int *row2) override;
};

class TSteveArcheDitherer : public TRowArrayDitherer
{
public:
    TSteveArcheDitherer(int width, TColorLookup *lookup) : TRowArrayDitherer(width, lookup, 4, 3, 200) {}

protected:
    void Spread(int **rows, int cell, int e) override;
};

class TBurkesDitherer : public TRowArrayDitherer
{
public:
    TBurkesDitherer(int width, TColorLookup *lookup) : TRowArrayDitherer(width, lookup, 2, 2, 32) {}

protected:
    void Spread(int **rows, int cell, int e) override;
};

}  // namespace gif

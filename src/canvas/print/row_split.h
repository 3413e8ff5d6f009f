#pragma once
// SplitRows: runs a loop over the rows of a picture in a few parts side by
// side, on threads kept for the purpose, and returns when every part is done.
// Printing turns millions of pixels a sheet into pictures this way; the
// parts must touch nothing but their own rows.
#include <functional>

// work(first, last) for rows first .. last - 1; small counts run at once here.
void SplitRows(int count, const std::function<void(int first, int last)> &work);

#pragma once
// TGifPageWriter: a page written as a GIF picture a band of rows at a time:
// each band is rendered, reduced to the web palette and handed on to the
// frame's encoder, so that no bitmap of the whole page is ever held and pages
// of up to the format's 65,535 pixels a side can be saved. The bytes are those
// the GIF image object writes for the page rendered as one bitmap.
#include "canvas/gif/gif_types.h"

class TPageBands;

namespace gif {
class TStream;
}

class TGifPageWriter {
public:
    TGifPageWriter() = delete;

    // Whether the settings of a new GIF image can be followed band by band:
    // the web palette without dithering looks at one pixel at a time, while
    // an optimised palette or an error-spreading ditherer needs the page.
    static bool Streams();
    // The whole file: header, the page's one frame, trailer. The stages of
    // the work go to the handler as the image object tells them.
    static void Write(TPageBands &bands, gif::TStream &stream, const gif::TGIFProgressHandler &progress);
};

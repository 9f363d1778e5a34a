// QR codes in the print document: the symbol is drawn as filled rectangles, one per
// run of dark modules in a row, so that the preview, the printer and the PDF file all
// show exactly the same code.
#pragma once

#include "print/BvPrint.h"

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

namespace vm {

// The modules of the QR code of `text` (any bytes, e.g. a UTF-8 URL), error
// correction level M: Width rows of Width modules, true for dark. Empty when the
// text does not fit into a QR code.
struct TQrCode {
    int Width = 0;
    std::vector<bool> Dark;
    bool At(int x, int y) const {
        return Dark[static_cast<std::size_t>(y) * static_cast<std::size_t>(Width) +
                    static_cast<std::size_t>(x)];
    }
};
TQrCode EncodeQr(std::string_view text);

// Draws the code of `text` with its top-left corner at (left, top), every module
// `module` tenths of a millimetre wide; the quiet zone around it is left to the
// caller's layout. Returns the side length drawn, 0 when the text cannot be encoded.
std::int32_t DrawQrCode(TBvDocument& document, TBvPage& page, std::int32_t left, std::int32_t top,
                        std::int32_t module, std::string_view text);

} // namespace vm

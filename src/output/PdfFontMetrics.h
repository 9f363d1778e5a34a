// Metrics of the fourteen standard PDF fonts, numbered as the PDF writer names them:
// 1 to 4 Courier (regular, bold, oblique, bold oblique), 5 to 8 Times, 9 to 12
// Helvetica, 13 Symbol, 14 ZapfDingbats.
#pragma once

#include <cstdint>

namespace vm {

struct TPdfFontMetric {
    int Ascender; // thousandths of the font size
    int CapHeight;
    int Descender; // depth below the baseline, positive
};

// Metric of font 1..14; anything else gives Courier's.
const TPdfFontMetric& PdfFontMetric(int fontNumber);

// Width in thousandths of the font size of one character code: Courier has 600 for
// every code, the proportional fonts their published widths in WinAnsi order (Symbol
// and ZapfDingbats in their own encoding); codes 1 to 31 have no width.
int PdfGlyphWidth(int fontNumber, std::uint8_t code);

} // namespace vm

#include "output/PdfDevice.h"

#include "file/VmErg.h"

#include "model/VmBasis.h"
#include "output/PdfFontMetrics.h"

#include <charconv>
#include <cmath>
#include <cstdio>
#include <cstdlib>

namespace vm {

namespace {

// Ties go to the even neighbour, as everywhere else in the program's rounding.
std::int32_t RoundHalfEven(double v) {
    return static_cast<std::int32_t>(std::nearbyint(v));
}

// The "Tf" size: eight characters wide with three decimals, independent of the
// locale a front end may have set.
std::string FormatFontSize(double size) {
    char buf[64];
    auto res = std::to_chars(buf, buf + sizeof buf, size, std::chars_format::fixed, 3);
    std::string s(buf, res.ptr);
    if (s.size() < 8) s.insert(0, 8 - s.size(), ' ');
    return s;
}

void AppendNumber(std::string& out, std::int32_t n) {
    char buf[16];
    out.append(buf, std::to_chars(buf, buf + sizeof buf, n).ptr);
}

} // namespace

int PdfFontNumber(int fontIndex, std::uint8_t style) {
    int base;
    switch (fontIndex) {
    case 2:
        base = 5;
        break;
    case 3:
        base = 9;
        break;
    case 4:
        return 13;
    case 5:
        return 14;
    case 1:
        base = 1;
        break;
    default:
        return 1; // 0 and unknown indices: plain Courier, no variants
    }
    bool bold = (style & fsBold) != 0;
    bool italic = (style & fsItalic) != 0;
    if (bold && italic) return base + 3;
    if (italic) return base + 2;
    if (bold) return base + 1;
    return base;
}

double PdfTextWidth(int fontNumber, std::string_view text, int fontHeight, std::uint8_t style) {
    long units = 0;
    if (fontNumber < 5 || fontNumber > 14) {
        // Courier: one width for every code but the control codes 1 to 31, which
        // have none.
        long glyphs = 0;
        for (char c : text) {
            const auto code = static_cast<std::uint8_t>(c);
            glyphs += code == 0 || code > 31;
        }
        units = glyphs * PdfGlyphWidth(fontNumber, 'x');
    } else {
        for (char c : text)
            units += PdfGlyphWidth(fontNumber, static_cast<std::uint8_t>(c));
    }
    double width = static_cast<double>(units) * fontHeight / 1000.0;
    if (style & fsCondensed) width *= 0.6;
    return width;
}

double PdfTextHeight(int fontNumber, int fontHeight) {
    const TPdfFontMetric& m = PdfFontMetric(fontNumber);
    return (m.Ascender + m.Descender) / 1000.0 * fontHeight;
}

double PdfFontSize(int fontNumber, int fontHeight) {
    const TPdfFontMetric& m = PdfFontMetric(fontNumber);
    return (fontHeight * 72.0 / 254.0) * (m.CapHeight + m.Descender) /
           static_cast<double>(m.Ascender + m.Descender);
}

std::string PdfColour(std::uint8_t colour) {
    switch (colour) {
    case clWhite:
        return "1 1 1";
    case clRed:
        return "1 0 0";
    case clGreen:
        return "0 1 0";
    case clBlue:
        return "0 0 1";
    default:
        return "0 0 0";
    }
}

// ---- TPdfDevice ------------------------------------------------------------------

TPdfDevice::TPdfDevice(const TBvDocument* document, std::int32_t pageWidth, std::int32_t pageHeight,
                       const TPdfInfo* info)
    : TOutputDevice(document),
      writer_(std::make_unique<TPdfDocWriter>(info, pageWidth, pageHeight)) {
    PageWidth = pageWidth;
    PageHeight = pageHeight;
    Orientation = pageWidth > pageHeight ? 2 : 1;
}

std::unique_ptr<TPdfDevice>
TPdfDevice::CreateForFile(const TBvDocument* document, const std::string& fileName,
                          std::int32_t pageWidth, std::int32_t pageHeight, const TPdfInfo* info) {
    std::unique_ptr<TPdfDevice> dev(new TPdfDevice(document, pageWidth, pageHeight, info));
    dev->fileName_ = fileName;
    dev->ownStream_ = std::make_unique<TBufStream>(fileName, TOpenMode::Create);
    dev->stream_ = dev->ownStream_.get();
    dev->writer_->Attach(*dev->stream_);
    return dev;
}

std::unique_ptr<TPdfDevice> TPdfDevice::CreateForStream(const TBvDocument* document,
                                                        std::int32_t pageWidth,
                                                        std::int32_t pageHeight,
                                                        const TPdfInfo* info, TStream& stream) {
    std::unique_ptr<TPdfDevice> dev(new TPdfDevice(document, pageWidth, pageHeight, info));
    dev->stream_ = &stream;
    dev->writer_->Attach(stream);
    return dev;
}

TPdfDevice::~TPdfDevice() {
    Finish();
}

bool TPdfDevice::Finish() {
    if (finished_) return finishResult_;
    finished_ = true;
    if (ownStream_) {
        finishResult_ = ownStream_->IsOpen() && ownStream_->Done();
        ownStream_.reset();
    } else {
        finishResult_ = stream_ && !stream_->WriteFailed() && stream_->Status() == stOk;
    }
    return finishResult_;
}

void TPdfDevice::StartOutput() {
    writer_->WriteHeader();
    writer_->WriteFixedObjects();
}

void TPdfDevice::BeginPage(int) {
    writer_->BeginPage();
}

void TPdfDevice::EndPage(int) {
    writer_->EndPage();
}

void TPdfDevice::EndDocument() {
    writer_->WritePages();
    writer_->WriteXref();
    writer_->WriteTrailer();
}

void TPdfDevice::DrawItem(const TBvItem& item) {
    TPdfDocWriter& w = *writer_;
    switch (item.Kind) {
    case ikLine: {
        const auto& line = static_cast<const TBvLineItem&>(item);
        w.WriteLine(IntToText(TenthMmToPt(line.PenWidth)) + " w");
        w.WriteLine(PdfColour(line.Colour) + " RG");
        w.WriteLine(IntToText(TenthMmToPt(line.Left)) + " " + IntToText(PdfY(line.Top)) + " m " +
                    IntToText(TenthMmToPt(line.Right)) + " " + IntToText(PdfY(line.Bottom)) +
                    " l S");
        break;
    }
    case ikRect: {
        const auto& rect = static_cast<const TBvRectItem&>(item);
        w.WriteLine(IntToText(TenthMmToPt(rect.PenWidth)) + " w");
        w.WriteLine(PdfColour(rect.Colour) + " RG");
        if (rect.Filled) w.WriteLine(PdfColour(rect.FillColour) + " rg");
        w.WriteLine(IntToText(TenthMmToPt(rect.Left)) + " " + IntToText(PdfY(rect.Bottom)) + " " +
                    IntToText(TenthMmToPt(rect.Right - rect.Left)) + " " +
                    IntToText(TenthMmToPt(rect.Bottom - rect.Top)) + " re");
        w.WriteLine(rect.Filled ? "B" : "S");
        break;
    }
    case ikText:
        DrawText(static_cast<const TBvTextItem&>(item));
        break;
    default:
        break;
    }
}

void TPdfDevice::DrawText(const TBvTextItem& item) {
    if (item.Text.empty() || item.Left == 0) return;

    // Text flagged as code page 850 is converted as a whole; other text may still
    // carry stored umlauts, which the writer's escaping turns into WinAnsi.
    const bool oem = item.Oem != 0;
    std::string& shown = shown_;
    if (oem) {
        shown = OemToAnsi(item.Text);
    } else {
        shown.assign(item.Text);
        for (char& c : shown)
            c = OemUmlautToAnsi(c);
    }

    const int font = PdfFontNumber(item.FontIndex, item.Style);
    double tw = PdfTextWidth(font, shown, item.Size, item.Style);
    double th = PdfTextHeight(font, item.Size);
    const double bw = std::abs(static_cast<double>(item.Left) - item.Right);
    const double bh = std::abs(static_cast<double>(item.Bottom) - item.Top);
    if (tw > bw) tw = bw;
    if (th > bh) th = bh;

    std::int32_t x = item.Left;
    std::int32_t y = item.Bottom;
    if (item.Alignment & taHCenter) x += RoundHalfEven((bw - tw) * 0.5);
    if (item.Alignment & taRight) x = item.Right - RoundHalfEven(tw);
    if (item.Alignment & taTop) y = item.Top + RoundHalfEven(th);
    if (item.Alignment & taVCenter) y -= RoundHalfEven((bh - th) * 0.5);

    // The operators of one text go to the writer in one piece; a list of 20 000 lines
    // writes a few hundred thousand of them.
    if (font != tfFont_ || item.Size != tfHeight_) {
        tfFont_ = font;
        tfHeight_ = item.Size;
        tf_ = "/F" + IntToText(font) + " " + FormatFontSize(PdfFontSize(font, item.Size)) + " Tf\n";
    }
    std::string& out = out_;
    out.assign("q\nBT\n");
    out += PdfColour(item.Colour);
    out += " rg\n";
    out += tf_;
    out += "1 0 0 1 ";
    AppendNumber(out, TenthMmToPt(x));
    out += ' ';
    AppendNumber(out, PdfY(y));
    out += " Tm\n";
    if (item.Style & fsCondensed) out += "60 Tz\n";
    out += "T* (";
    // Converted text must not go through the umlaut mapping a second time: the
    // WinAnsi "á" (0xE1) would come out as "ß".
    if (oem)
        AppendEscapedAnsiText(out, shown);
    else
        AppendEscapedText(out, item.Text);
    out += ") Tj\nET\nQ\n";
    writer_->WriteRaw(out);
}

bool ExportDocumentToPdf(const TBvDocument& document, const std::string& fileName,
                         std::int32_t pageWidth, std::int32_t pageHeight, const TPdfInfo& info) {
    // Through the safe writer: a full disk or a failing medium never leaves a
    // truncated PDF under the name, and an existing file stays until the new one is whole.
    return WriteFileSafely(
        fileName,
        [&](TStream& stream) {
            auto device =
                TPdfDevice::CreateForStream(&document, pageWidth, pageHeight, &info, stream);
            device->Render(1, document.PageCount());
            return device->Finish();
        },
        false);
}

} // namespace vm

#include "live/VmPoster.h"

#include "output/PdfDevice.h"
#include "print/VmQr.h"
#include "print/VmReport.h"

#include <algorithm>

namespace vm {

namespace {

// The font height at which `text` fits `width` in one line, at most `height`: the
// devices draw a text in one line at its height, so a long name of a competition or a
// long address is made smaller here rather than cut at the edge of the sheet.
std::int16_t Fitting(std::string_view oem, std::int16_t height, std::uint8_t style,
                     std::int32_t width) {
    const double needed =
        PdfTextWidth(PdfFontNumber(fiArial, style), OemToAnsi(oem), height, style);
    if (needed <= width) return height;
    return static_cast<std::int16_t>(std::max(20.0, height * width / needed));
}

void Line(TBvDocument& doc, TBvPage& page, std::int32_t left, std::int32_t top, std::int32_t right,
          std::int16_t height, std::uint8_t style, std::string_view oem) {
    const std::int16_t h = Fitting(oem, height, style, right - left);
    doc.AddText(page, left, top, right, top + h + h / 3, oem,
                ReportFont(fiArial, h, style, taHCenter | taVCenter));
}

} // namespace

std::unique_ptr<TBvDocument> BuildPoster(const TWettkampf& c, const std::string& url) {
    const TQrCode code = EncodeQr(url);
    if (code.Width == 0) return nullptr;
    auto doc = std::make_unique<TBvDocument>("Vm - Aushang Live-Ergebnisse");
    TBvPage* page = doc->CreatePage(1);
    const std::int32_t left = 150, right = PosterWidth - 150;

    Line(*doc, *page, left, 180, right, 90, fsBold, c.Header.Veranstaltung.View());
    std::string when(c.Header.Datum.View());
    if (!c.Header.Veranstaltungsstaette.View().empty())
        when += (when.empty() ? "" : ", ") + std::string(c.Header.Veranstaltungsstaette.View());
    Line(*doc, *page, left, 310, right, 50, fsNormal, when);
    doc->AddText(*page, left, 450, right, 640, "Live-Ergebnisse",
                 ReportFont(fiArial, 170, fsBold, taHCenter | taVCenter));

    // The code as large as the page allows, whole tenths of a millimetre per module,
    // with its quiet zone of four modules kept free around it.
    const std::int32_t module = std::max<std::int32_t>(1, 1300 / (code.Width + 8));
    const std::int32_t side = module * code.Width;
    const std::int32_t top = 760 + 4 * module;
    DrawQrCode(*doc, *page, (PosterWidth - side) / 2, top, module, url);

    const std::int32_t below = top + side + 4 * module + 60;
    Line(*doc, *page, left, below, right, 110, fsBold, Utf8ToOem(url));
    Line(*doc, *page, left, below + 200, right, 45, fsItalic,
         "Code mit der Handykamera scannen oder die Adresse im Browser eingeben."_oem);
    Line(*doc, *page, left, below + 270, right, 45, fsItalic,
         "Die Ergebnisse werden laufend aktualisiert."_oem);
    return doc;
}

} // namespace vm

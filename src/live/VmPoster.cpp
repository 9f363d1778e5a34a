#include "live/VmPoster.h"

#include "print/VmQr.h"
#include "print/VmReport.h"

#include <algorithm>

namespace vm {

std::unique_ptr<TBvDocument> BuildPoster(const TWettkampf& c, const std::string& url) {
    const TQrCode code = EncodeQr(url);
    if (code.Width == 0) return nullptr;
    auto doc = std::make_unique<TBvDocument>("Vm - Aushang Live-Ergebnisse");
    TBvPage* page = doc->CreatePage(1);
    const std::int32_t left = 150, right = PosterWidth - 150;

    const TFontSpec title = ReportFont(fiArial, 90, fsBold, taHCenter | taVCenter | taShrink);
    const TFontSpec line = ReportFont(fiArial, 50, fsNormal, taHCenter | taVCenter | taShrink);
    doc->AddText(*page, left, 170, right, 290, c.Header.Veranstaltung.View(), title);
    std::string when(c.Header.Datum.View());
    if (!c.Header.Veranstaltungsstaette.View().empty())
        when += (when.empty() ? "" : ", ") + std::string(c.Header.Veranstaltungsstaette.View());
    doc->AddText(*page, left, 300, right, 370, when, line);
    doc->AddText(*page, left, 450, right, 640, "Live-Ergebnisse",
                 ReportFont(fiArial, 170, fsBold, taHCenter | taVCenter));

    // The code as large as the page allows, whole tenths of a millimetre per module,
    // with its quiet zone of four modules kept free around it.
    const std::int32_t module = std::max<std::int32_t>(1, 1300 / (code.Width + 8));
    const std::int32_t side = module * code.Width;
    const std::int32_t top = 760 + 4 * module;
    DrawQrCode(*doc, *page, (PosterWidth - side) / 2, top, module, url);

    const std::int32_t below = top + side + 4 * module + 60;
    doc->AddText(*page, left, below, right, below + 130, Utf8ToOem(url),
                 ReportFont(fiArial, 110, fsBold, taHCenter | taVCenter | taShrink));
    doc->AddText(*page, left, below + 200, right, below + 270,
                 "Code mit der Handykamera scannen oder die Adresse im Browser eingeben."_oem,
                 line.Styled(fsItalic));
    doc->AddText(*page, left, below + 280, right, below + 350,
                 "Die Ergebnisse werden laufend aktualisiert."_oem, line.Styled(fsItalic));
    return doc;
}

} // namespace vm

#include "print/VmQr.h"

#include <qrencode.h>

#include <memory>
#include <string>

namespace vm {

TQrCode EncodeQr(std::string_view text) {
    TQrCode code;
    if (text.empty()) return code;
    // The library wants a terminated string and stops at a NUL byte; such a text
    // would be encoded cut short, so it is refused.
    if (text.find('\0') != std::string_view::npos) return code;
    const std::string s(text);
    std::unique_ptr<QRcode, decltype(&QRcode_free)> qr(
        QRcode_encodeData(static_cast<int>(s.size()), reinterpret_cast<const unsigned char*>(s.data()),
                          0, QR_ECLEVEL_M),
        &QRcode_free);
    if (!qr || qr->width <= 0) return code;
    code.Width = qr->width;
    const auto n = static_cast<std::size_t>(qr->width) * static_cast<std::size_t>(qr->width);
    code.Dark.resize(n);
    for (std::size_t i = 0; i < n; ++i)
        code.Dark[i] = (qr->data[i] & 1) != 0;
    return code;
}

std::int32_t DrawQrCode(TBvDocument& document, TBvPage& page, std::int32_t left, std::int32_t top,
                        std::int32_t module, std::string_view text) {
    const TQrCode code = EncodeQr(text);
    if (code.Width == 0 || module <= 0) return 0;
    for (int y = 0; y < code.Width; ++y) {
        int x = 0;
        while (x < code.Width) {
            if (!code.At(x, y)) {
                ++x;
                continue;
            }
            const int start = x;
            while (x < code.Width && code.At(x, y))
                ++x;
            // Pen width 0 draws the thinnest outline in the fill colour, which closes the
            // hair-line gaps a renderer may leave between neighbouring rectangles.
            document.AddRect(page, left + start * module, top + y * module, left + x * module,
                             top + (y + 1) * module, 0, clBlack, true, clBlack);
        }
    }
    return code.Width * module;
}

} // namespace vm

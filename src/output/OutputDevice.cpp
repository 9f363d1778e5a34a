#include "output/OutputDevice.h"

#include <cmath>

namespace vm {

void TOutputDevice::Render(int first, int last) {
    BeginDocument();
    StartOutput();
    int pages = Document ? Document->PageCount() : 0;
    if (last > pages) last = pages;
    if (first < 1) first = 1;
    for (int p = first; p <= last; ++p) {
        RenderPage(p);
        if (p != last) NextPage();
    }
    EndDocument();
}

void TOutputDevice::RenderPage(int pageNumber) {
    if (!Document || Document->PageCount() < 1 || pageNumber > Document->PageCount() ||
        pageNumber < 1)
        return;
    // Pages are numbered by their position in the document.
    const TBvPage* page = Document->At(pageNumber - 1);
    BeginPage(pageNumber);
    for (const TBvItem& item : *page)
        DrawItem(item);
    EndPage(pageNumber);
}

std::int32_t TOutputDevice::DeviceX(std::int32_t v) const {
    return static_cast<std::int32_t>(
        std::nearbyint(static_cast<double>(v - OriginX + OffsetX) * ScaleX / 10.0));
}

std::int32_t TOutputDevice::DeviceY(std::int32_t v) const {
    return static_cast<std::int32_t>(
        std::nearbyint(static_cast<double>(v - OriginY + OffsetY) * ScaleY / 10.0));
}

} // namespace vm

// The output device: renders the pages of a print document one after the other. The
// PDF device and the canvas device (printer, preview) fill in what each step does.
#pragma once

#include "print/BvPrint.h"

#include <cstdint>

namespace vm {

class TOutputDevice {
public:
    explicit TOutputDevice(const TBvDocument* document) : Document(document) {}
    virtual ~TOutputDevice() = default;
    TOutputDevice(const TOutputDevice&) = delete;
    TOutputDevice& operator=(const TOutputDevice&) = delete;

    // Renders pages first..last (numbered from 1), clamped to the document.
    void Render(int first, int last);

    // Document coordinates to device units (raster devices).
    std::int32_t DeviceX(std::int32_t v) const;
    std::int32_t DeviceY(std::int32_t v) const;

    virtual void DrawItem(const TBvItem& item) = 0;
    virtual void BeginDocument() {}
    virtual void StartOutput() {}
    // Between two rendered pages, not after the last.
    virtual void NextPage() {}
    virtual void BeginPage(int /*pageNumber*/) {}
    virtual void EndPage(int /*pageNumber*/) {}
    virtual void EndDocument() {}

    // Page size in tenths of a millimetre and orientation (1 portrait, 2 landscape).
    std::int32_t PageWidth = 0;
    std::int32_t PageHeight = 0;
    std::int32_t Orientation = 1;
    // Page size in millimetres and in device units (raster devices).
    std::int32_t PageWidthMm = 0;
    std::int32_t PageHeightMm = 0;
    std::int32_t PageWidthDev = 0;
    std::int32_t PageHeightDev = 0;
    // Device units per millimetre.
    double ScaleX = 1.0;
    double ScaleY = 1.0;
    // Tenths of a millimetre.
    std::int32_t OriginX = 0;
    std::int32_t OriginY = 0;
    std::int32_t OffsetX = 0;
    std::int32_t OffsetY = 0;
    const TBvDocument* Document; // not owned

protected:
    void RenderPage(int pageNumber);
};

} // namespace vm

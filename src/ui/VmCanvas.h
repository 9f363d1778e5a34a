// The canvas device: draws the items of a print document with a QPainter, on the
// printer, on the preview's sheet or into an image. Unlike the PDF device it acts on
// bottom alignment, shrink-to-fit and word wrap, and it measures text with the real
// fonts (the faces resolve through fontconfig to their metric-compatible fonts), at the
// sizes the PDF gives them.
#pragma once

#include "output/OutputDevice.h"

#include <QColor>
#include <QFont>
#include <QRect>
#include <QString>

#include <cstdint>
#include <memory>
#include <string_view>

class QPainter;

namespace vm::ui {

// Colour index to screen and paper colour: 0 black, 1 white, 2 red, 3 dark green,
// 4 blue; anything else black.
QColor CanvasColour(std::uint8_t index);
// Font index to face name: 2 "Times New Roman", 3 "Arial", 4 "Symbol", 5 "Wingdings",
// every other "Courier New".
QString CanvasFaceName(int fontIndex);
// The fixed-pitch face of the printed list lines, at the size of a window's font, for
// the windows that show such lines.
QFont ListLineFont(const QFont& base);
// The shown text of an item: code page 850 when flagged, otherwise Windows 1252 that
// may still carry stored umlauts (as the PDF device reads it).
QString ItemText(std::string_view text, bool oem);

// Where and how one text item lands on the canvas.
struct TTextPlacement {
    QFont font;
    int fontHeight = 0; // the item's font height in device units, after shrinking
    int width = 0;      // measured text
    int height = 0;
    QRect rect; // the drawing rectangle: the box, its left and top moved by the alignment
};

class TCanvasDevice : public TOutputDevice {
public:
    // A device on an existing canvas; printing sets scale, origin and offset itself.
    TCanvasDevice(const TBvDocument* document, QPainter* canvas);
    static std::unique_ptr<TCanvasDevice> CreateWithPage(const TBvDocument* document,
                                                         QPainter* canvas, std::int32_t width,
                                                         std::int32_t height);
    // Zoom 100, then the page size: 3 pixels per millimetre.
    static std::unique_ptr<TCanvasDevice> CreatePreview(const TBvDocument* document,
                                                        QPainter* canvas, std::int32_t width,
                                                        std::int32_t height);

    // The preview paints with a fresh painter every time.
    void SetCanvas(QPainter* canvas) { canvas_ = canvas; }
    QPainter* Canvas() const { return canvas_; }

    // Stores the size (tenths of a millimetre) and its orientation, then applies the
    // current zoom.
    virtual void SetPageSize(std::int32_t width, std::int32_t height);
    // Whole millimetres, 3 pixels per millimetre at 100 %; origin and offsets 0.
    void SetZoom(int percent);
    int Zoom() const { return zoom_; }

    void DrawItem(const TBvItem& item) override;

    // The font, the shrinking and the alignment of one text in a box (device units);
    // fontHeight is the item's height before shrinking.
    TTextPlacement PlaceText(const QRect& box, const QString& text, int fontIndex,
                             std::uint8_t style, int fontHeight, std::uint8_t alignment) const;
    void DrawTextItem(const QRect& box, const QString& text, int fontIndex, std::uint8_t style,
                      int fontHeight, std::uint8_t colour, std::uint8_t alignment);

    // The font of a text item: its face and style bits at the item's height (device
    // units), the em sized as the PDF device sizes it; condensed makes the average
    // glyph 0.6 of its natural width.
    QFont MakeFont(int fontIndex, std::uint8_t style, int fontHeight) const;

private:
    QRect DeviceRect(const TBvItem& item) const;
    int PenWidth(std::int32_t tenths) const;

    QPainter* canvas_;
    int zoom_ = 100;
};

} // namespace vm::ui

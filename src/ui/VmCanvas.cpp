#include "ui/VmCanvas.h"

#include "model/VmBasis.h"
#include "output/PdfDevice.h"
#include "output/PdfWriter.h"
#include "ui/VmUiSeam.h"

#include <QFontMetrics>
#include <QFontMetricsF>
#include <QPainter>
#include <QPen>
#include <QTextOption>

#include <algorithm>
#include <cmath>

namespace vm::ui {

namespace {

// Windows 1252 in 0x80..0x9F; the rest of the code page is Latin-1.
constexpr char16_t kCp1252High[32] = {
    0x20AC, 0x0081, 0x201A, 0x0192, 0x201E, 0x2026, 0x2020, 0x2021, 0x02C6, 0x2030, 0x0160,
    0x2039, 0x0152, 0x008D, 0x017D, 0x008F, 0x0090, 0x2018, 0x2019, 0x201C, 0x201D, 0x2022,
    0x2013, 0x2014, 0x02DC, 0x2122, 0x0161, 0x203A, 0x0153, 0x009D, 0x017E, 0x0178};

QString AnsiToQString(std::string_view ansi) {
    QString s;
    s.reserve(static_cast<qsizetype>(ansi.size()));
    for (char ch : ansi) {
        const auto b = static_cast<unsigned char>(ch);
        s.append(b >= 0x80 && b < 0xA0 ? QChar(kCp1252High[b - 0x80]) : QChar(b));
    }
    return s;
}

int RoundToInt(double v) {
    return static_cast<int>(std::lround(v));
}

} // namespace

QColor CanvasColour(std::uint8_t index) {
    switch (index) {
    case clWhite:
        return QColor(255, 255, 255);
    case clRed:
        return QColor(255, 0, 0);
    case clGreen:
        return QColor(0, 128, 0);
    case clBlue:
        return QColor(0, 0, 255);
    default:
        return QColor(0, 0, 0);
    }
}

QString CanvasFaceName(int fontIndex) {
    switch (fontIndex) {
    case fiTimes:
        return QStringLiteral("Times New Roman");
    case fiArial:
        return QStringLiteral("Arial");
    case fiSymbol:
        return QStringLiteral("Symbol");
    case fiDingbats:
        return QStringLiteral("Wingdings");
    default:
        return QStringLiteral("Courier New");
    }
}

QFont ListLineFont(const QFont& base) {
    QFont f(CanvasFaceName(fiCourier));
    f.setStyleHint(QFont::TypeWriter);
    f.setPointSizeF(base.pointSizeF() > 0 ? base.pointSizeF() : 10);
    return f;
}

QString ItemText(std::string_view text, bool oem) {
    if (oem) return FromOem(text);
    std::string mapped(text);
    for (char& c : mapped)
        c = OemUmlautToAnsi(c);
    return AnsiToQString(mapped);
}

// ---- device ----------------------------------------------------------------------------

TCanvasDevice::TCanvasDevice(const TBvDocument* document, QPainter* canvas)
    : TOutputDevice(document), canvas_(canvas) {}

std::unique_ptr<TCanvasDevice> TCanvasDevice::CreateWithPage(const TBvDocument* document,
                                                             QPainter* canvas, std::int32_t width,
                                                             std::int32_t height) {
    auto d = std::make_unique<TCanvasDevice>(document, canvas);
    d->SetPageSize(width, height);
    return d;
}

std::unique_ptr<TCanvasDevice> TCanvasDevice::CreatePreview(const TBvDocument* document,
                                                            QPainter* canvas, std::int32_t width,
                                                            std::int32_t height) {
    auto d = std::make_unique<TCanvasDevice>(document, canvas);
    d->zoom_ = 100;
    d->SetPageSize(width, height);
    return d;
}

void TCanvasDevice::SetPageSize(std::int32_t width, std::int32_t height) {
    PageWidth = width;
    PageHeight = height;
    Orientation = height >= width ? 1 : 2;
    SetZoom(zoom_);
}

void TCanvasDevice::SetZoom(int percent) {
    zoom_ = percent;
    PageWidthMm = PageWidth / 10;
    PageHeightMm = PageHeight / 10;
    PageWidthDev = RoundToInt(PageWidthMm * percent / 100.0 * 3.0);
    PageHeightDev = RoundToInt(PageHeightMm * percent / 100.0 * 3.0);
    ScaleX = PageWidthMm > 0 ? static_cast<double>(PageWidthDev) / PageWidthMm : 0.0;
    ScaleY = PageHeightMm > 0 ? static_cast<double>(PageHeightDev) / PageHeightMm : 0.0;
    OriginX = OriginY = OffsetX = OffsetY = 0;
}

QRect TCanvasDevice::DeviceRect(const TBvItem& item) const {
    const int l = DeviceX(item.Left), t = DeviceY(item.Top);
    const int r = DeviceX(item.Right), b = DeviceY(item.Bottom);
    // Right and bottom are exclusive, as the platform's rectangles are.
    return QRect(QPoint(l, t), QPoint(r - 1, b - 1));
}

int TCanvasDevice::PenWidth(std::int32_t tenths) const {
    return RoundToInt(tenths / 10.0 * ScaleX);
}

void TCanvasDevice::DrawItem(const TBvItem& item) {
    if (!canvas_) return;
    QPainter& p = *canvas_;
    switch (item.Kind) {
    case ikLine: {
        const auto& line = static_cast<const TBvLineItem&>(item);
        p.setPen(QPen(CanvasColour(item.Colour), PenWidth(line.PenWidth)));
        p.drawLine(QPoint(DeviceX(item.Left), DeviceY(item.Top)),
                   QPoint(DeviceX(item.Right), DeviceY(item.Bottom)));
        break;
    }
    case ikRect: {
        const auto& rect = static_cast<const TBvRectItem&>(item);
        p.setPen(QPen(CanvasColour(item.Colour), PenWidth(rect.PenWidth)));
        if (rect.Filled)
            p.setBrush(CanvasColour(rect.FillColour));
        else
            p.setBrush(Qt::NoBrush);
        const int l = DeviceX(item.Left), t = DeviceY(item.Top);
        p.drawRect(QRect(l, t, DeviceX(item.Right) - l, DeviceY(item.Bottom) - t));
        break;
    }
    case ikText: {
        const auto& text = static_cast<const TBvTextItem&>(item);
        if (text.Text.empty() || item.Left == 0) return;
        DrawTextItem(DeviceRect(item), ItemText(text.Text, text.Oem != 0), text.FontIndex,
                     text.Style, RoundToInt(text.Size / 10.0 * ScaleY), item.Colour,
                     text.Alignment);
        return;
    }
    default:
        return;
    }
    p.setBrush(Qt::NoBrush);
    p.setBackgroundMode(Qt::TransparentMode);
}

QFont TCanvasDevice::MakeFont(int fontIndex, std::uint8_t style, int fontHeight) const {
    QFont f(CanvasFaceName(fontIndex));
    f.setStyleStrategy(QFont::PreferOutline);
    // Fractional advances: the columns of a long list line stay where the PDF has
    // them at any zoom.
    f.setHintingPreference(QFont::PreferVerticalHinting);
    f.setWeight((style & fsBold) ? QFont::ExtraBold : QFont::Normal);
    f.setItalic((style & fsItalic) != 0);
    f.setUnderline((style & fsUnderline) != 0);
    f.setStrikeOut((style & fsStrikeOut) != 0);
    // The em the PDF device gives the same item: the faces are metric-compatible with
    // the PDF's standard fonts, so a text is as wide on screen and paper as in the PDF.
    const double em = PdfFontSize(PdfFontNumber(fontIndex, style), 1000) * 254.0 / 72.0 / 1000.0;
    f.setPixelSize(std::max(1, RoundToInt(fontHeight * em)));
    // Condensed: glyphs of 0.6 of their natural width. Qt stretches by whole percent,
    // so the platform's rounding of the average width to whole pixels falls away and
    // the columns stay where the PDF's "60 Tz" puts them.
    if (style & fsCondensed) f.setStretch(60);
    return f;
}

TTextPlacement TCanvasDevice::PlaceText(const QRect& box, const QString& text, int fontIndex,
                                        std::uint8_t style, int fontHeight,
                                        std::uint8_t alignment) const {
    TTextPlacement pl;
    pl.fontHeight = fontHeight;
    auto measure = [&] {
        pl.font = MakeFont(fontIndex, style, pl.fontHeight);
        pl.width = RoundToInt(QFontMetricsF(pl.font).horizontalAdvance(text));
        // The height of the face as the PDF device measures it, so that both put a
        // text at the same place in its box.
        pl.height = RoundToInt(PdfTextHeight(PdfFontNumber(fontIndex, style), pl.fontHeight));
    };
    measure();
    const int left = box.left(), top = box.top();
    const int right = box.right() + 1, bottom = box.bottom() + 1;
    const int bw = right - left, bh = bottom - top;
    if (alignment & taShrink) {
        while ((pl.width > bw || pl.height > bh) && pl.fontHeight > 3) {
            --pl.fontHeight;
            measure();
        }
    }
    int x = left, y = top;
    if (alignment & taHCenter) x = left + (bw - pl.width) / 2;
    if (alignment & taVCenter) y = top + (bh - pl.height) / 2;
    if (alignment & taBottom) y = bottom - pl.height;
    if (alignment & taRight) x = right - pl.width;
    int rl = left, rt = top;
    if (x > left && x < right) rl = x;
    if (y > top && y < bottom) rt = y;
    pl.rect = QRect(QPoint(rl, rt), QPoint(right - 1, bottom - 1));
    return pl;
}

void TCanvasDevice::DrawTextItem(const QRect& box, const QString& text, int fontIndex,
                                 std::uint8_t style, int fontHeight, std::uint8_t colour,
                                 std::uint8_t alignment) {
    if (!canvas_) return;
    QPainter& p = *canvas_;
    const TTextPlacement pl = PlaceText(box, text, fontIndex, style, fontHeight, alignment);
    const QFont previous = p.font();
    p.setFont(pl.font);
    p.setPen(CanvasColour(colour));
    const QFontMetricsF fm(pl.font);
    QTextOption option(Qt::AlignLeft | Qt::AlignTop);
    // Tab stops every eight average characters, as the platform expands them.
    option.setTabStopDistance(8.0 * fm.averageCharWidth());
    option.setWrapMode((alignment & taWordWrap) ? QTextOption::WordWrap : QTextOption::NoWrap);
    // The first baseline lies at the foot of the measured height, as in the PDF; the
    // face's own ascent may reach above the rectangle. The text stays between the
    // rectangle's left and right edges and ends with the descenders of the last line
    // that starts inside it.
    const double first = pl.rect.top() + pl.height - fm.ascent();
    const QRectF layout(pl.rect.left(), first, pl.rect.width(),
                        std::max(fm.height(), pl.rect.bottom() + 1 - first) + fm.descent());
    p.save();
    p.setClipRect(layout, Qt::IntersectClip);
    p.drawText(layout, text, option);
    p.restore();
    p.setFont(previous);
    p.setBrush(Qt::NoBrush);
    p.setBackgroundMode(Qt::TransparentMode);
}

} // namespace vm::ui

// The device-independent print document: pages of drawing items placed in tenths of
// a millimetre from the top-left corner of the sheet, and the line-oriented layout
// engine (cursor, font state, automatic page break, keep-together blocks) on which
// every report is built. Output devices render the finished document unchanged.
#pragma once

#include "base/BvBase.h"

#include <cstdint>
#include <memory>
#include <string>
#include <string_view>
#include <vector>

namespace vm {

// Kinds of drawing items.
enum : std::uint8_t { ikLine = 1, ikRect = 2, ikText = 3 };

// Colour indices; the devices map them to real colours (anything else is black).
enum : std::uint8_t { clBlack = 0, clWhite = 1, clRed = 2, clGreen = 3, clBlue = 4 };

// Font indices of text items.
enum : std::int16_t {
    fiCourier0 = 0, // fixed pitch, same face as 1
    fiCourier = 1,  // "Courier New": every list line
    fiTimes = 2,    // "Times New Roman"
    fiArial = 3,    // "Arial"
    fiSymbol = 4,   // "Symbol"
    fiDingbats = 5, // "Wingdings"
};

// Style bits of text items.
enum : std::uint8_t {
    fsNormal = 0,
    fsBold = 1,
    fsItalic = 2,
    fsUnderline = 4,
    fsStrikeOut = 8,
    fsCondensed = 16, // glyphs 0.6 of the font's average width
};

// Alignment bits of text items.
enum : std::uint8_t {
    taTop = 1,
    taBottom = 2,
    taLeft = 4,
    taRight = 8,
    taHCenter = 16,
    taVCenter = 32,
    taShrink = 64, // shrink the font until the text fits (never below height 3)
    taWordWrap = 128,
};

// The second flag byte of a text item: every report sets it, no device looks at it.
enum class TSecondFlag : std::uint8_t { Off = 0, On = 1 };
// The character set a text item's text is in; code page 850 is converted when drawn.
enum class TTextCharset : std::uint8_t { Windows = 0, CodePage850 = 1 };

// The font of a text: face (font index), height (font size and line height, tenths
// of a millimetre), style, alignment and the two flag bytes. The defaults are those
// of a fresh text item and of a fresh document's font state.
struct TFontSpec {
    std::int16_t face = fiCourier;
    std::int16_t height = 43;
    std::uint8_t style = fsNormal;
    std::uint8_t alignment = taTop | taLeft;
    TSecondFlag second = TSecondFlag::On;
    TTextCharset charset = TTextCharset::Windows;

    constexpr TFontSpec Styled(std::uint8_t newStyle) const {
        TFontSpec f = *this;
        f.style = newStyle;
        return f;
    }
    constexpr TFontSpec Aligned(std::uint8_t newAlignment) const {
        TFontSpec f = *this;
        f.alignment = newAlignment;
        return f;
    }
    bool operator==(const TFontSpec&) const = default;
};

// Texts of the print document are short strings.
inline constexpr std::size_t MaxItemText = 255;

// Width in tenths of a millimetre that the fixed-pitch font of the list lines needs
// for `text` up to its last non-blank character at font height `size` (every glyph
// 0.6 of the height, condensed 0.6 of that), rounded up.
std::int32_t FixedPitchWidth(std::string_view text, std::int16_t size, std::uint8_t style);

class TBvItem {
public:
    virtual ~TBvItem() = default;

    std::uint8_t Kind;
    // A line runs from (Left, Top) to (Right, Bottom).
    std::int32_t Left = 0;
    std::int32_t Right = 0;
    std::int32_t Top = 0;
    std::int32_t Bottom = 0;
    std::uint8_t Colour = clBlack;

    std::int32_t Height() const { return Bottom - Top; }

protected:
    explicit TBvItem(std::uint8_t kind) : Kind(kind) {}
};

class TBvLineItem : public TBvItem {
public:
    TBvLineItem() : TBvItem(ikLine) {}
    std::int32_t PenWidth = 0;
};

class TBvRectItem : public TBvItem {
public:
    TBvRectItem() : TBvItem(ikRect) {}
    bool Filled = false;
    std::uint8_t FillColour = clBlack;
    std::int32_t PenWidth = 0;
};

class TBvTextItem : public TBvItem {
public:
    TBvTextItem() : TBvItem(ikText) {}
    std::int16_t FontIndex = fiCourier;
    std::uint8_t Style = fsNormal;
    std::int16_t Size = 43; // font height in tenths of a millimetre
    std::string Text;       // at most MaxItemText bytes
    std::uint8_t Alignment = taTop | taLeft;
    // Every report sets it to 1; no device looks at it.
    std::uint8_t Flag2 = 1;
    // 1: Text is in code page 850 and is converted when drawn.
    std::uint8_t Oem = 0;
};

// One sheet: its items in drawing order.
class TBvPage : public TCollection<TBvItem> {
public:
    explicit TBvPage(std::int16_t pageNumber)
        : TCollection<TBvItem>(100, 10), PageNumber(pageNumber) {}

    std::int16_t PageNumber;
    // Every text item put on this page takes this colour.
    std::uint8_t TextColour = clBlack;

    bool Insert(std::unique_ptr<TBvItem> item) override;
};

class TBvDocument : public TSortedCollection<TBvPage> {
public:
    explicit TBvDocument(std::string title = {});

    int Compare(const TBvPage& a, const TBvPage& b) const override;

    std::string Title;

    // ---- pages and items -----------------------------------------------------------

    int PageCount() const { return Count(); }
    // The page with that number, or nullptr.
    TBvPage* Page(int pageNumber) const;
    // Creates the page and inserts it; nullptr when that number exists already.
    TBvPage* CreatePage(int pageNumber);

    TBvLineItem* AddLine(TBvPage& page, std::int32_t left, std::int32_t top, std::int32_t right,
                         std::int32_t bottom, std::int32_t penWidth, std::uint8_t colour);
    TBvRectItem* AddRect(TBvPage& page, std::int32_t left, std::int32_t top, std::int32_t right,
                         std::int32_t bottom, std::int32_t penWidth, std::uint8_t fillColour,
                         bool filled, std::uint8_t colour);
    TBvTextItem* AddText(TBvPage& page, std::int32_t left, std::int32_t top, std::int32_t right,
                         std::int32_t bottom, std::string_view text, const TFontSpec& font);

    // ---- layout --------------------------------------------------------------------

    // Sets the frame and the cursor to its top, drops any block state, creates page 1
    // when there is none and makes min(startPage, PageCount()) the current page.
    void BeginLayout(std::int32_t left, std::int32_t top, int startPage, bool autoPageBreak,
                     std::int32_t bottomLimit, std::int32_t right);
    void SetFont(const TFontSpec& font) { font_ = font; }
    void SetStyle(std::uint8_t style) { font_.style = style; }
    void SetAlignment(std::uint8_t alignment) { font_.alignment = alignment; }

    // One line of the current font's height across the frame at the cursor; breaks
    // to a new page first when it would cross the bottom limit (automatic break on),
    // or collects it into the open block.
    void PrintLine(std::string_view text);
    // Closes an open block, then advances to the next page (creating it when needed)
    // and calls PageStarted.
    void NewPage();
    // Lines printed until EndBlock stay together on one page when they fit on one.
    void BeginBlock();
    void EndBlock();

    // ---- state ---------------------------------------------------------------------

    std::int32_t FrameLeft() const { return frameLeft_; }
    std::int32_t FrameTop() const { return frameTop_; }
    std::int32_t FrameRight() const { return frameRight_; }
    std::int32_t BottomLimit() const { return bottomLimit_; }
    bool AutoPageBreak() const { return autoPageBreak_; }
    void SetAutoPageBreak(bool on) { autoPageBreak_ = on; }

    // Offset of the next line below the frame's top.
    std::int32_t Cursor() const { return cursor_; }
    void SetCursor(std::int32_t cursor) { cursor_ = cursor; }

    int CurrentPageNumber() const { return currentPage_; }
    TBvPage* CurrentPage() const { return Page(currentPage_); }

    const TFontSpec& Font() const { return font_; }
    std::int16_t FontIndex() const { return font_.face; }
    std::int16_t LineHeight() const { return font_.height; }
    std::uint8_t Alignment() const { return font_.alignment; }
    std::uint8_t Style() const { return font_.style; }
    std::uint8_t Flag2() const { return static_cast<std::uint8_t>(font_.second); }
    std::uint8_t OemFlag() const { return static_cast<std::uint8_t>(font_.charset); }

    bool BlockOpen() const { return blockOpen_; }
    // The line printed last into the open block, or nullptr.
    const TBvItem* LastBlockItem() const;
    // True while EndBlock is placing a block and `item` is one of its items not yet on
    // a page (PageStarted can ask which lines are still to come on the new page).
    bool BlockItemPending(const TBvItem* item) const;

protected:
    // Runs on every page advance, after the cursor went back to the frame's top and
    // before anything else lands on the new page (footer, repeated column header).
    virtual void PageStarted() {}
    // Runs when a keep-together block has to continue on a new page.
    virtual void BlockMoved() {}

private:
    void PlaceOnCurrentPage(std::unique_ptr<TBvItem> item);

    std::int32_t frameLeft_ = 0;
    std::int32_t frameTop_ = 0;
    std::int32_t frameRight_ = 0;
    std::int32_t bottomLimit_ = 0;
    bool autoPageBreak_ = false;
    std::int32_t cursor_ = 0;
    int currentPage_ = 1;

    TFontSpec font_;

    bool blockOpen_ = false;
    std::unique_ptr<TCollection<TBvItem>> block_;
    std::int32_t blockStart_ = 0;
    // The items EndBlock is placing, from index placingNext_ on still to be placed.
    const std::vector<std::unique_ptr<TBvItem>>* placing_ = nullptr;
    std::size_t placingNext_ = 0;
};

} // namespace vm

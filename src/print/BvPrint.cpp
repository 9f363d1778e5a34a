#include "print/BvPrint.h"

#include <algorithm>

namespace vm {

std::int32_t FixedPitchWidth(std::string_view text, std::int16_t size, std::uint8_t style) {
    const std::size_t end = text.find_last_not_of(' ');
    const long long chars = end == std::string_view::npos ? 0 : static_cast<long long>(end + 1);
    // 600 thousandths of the height per glyph; condensed glyphs take 6 tenths of that.
    const long long scale = (style & fsCondensed) ? 6 : 10;
    const long long units = chars * 600 * size * scale;
    return static_cast<std::int32_t>((units + 9999) / 10000);
}

bool TBvPage::Insert(std::unique_ptr<TBvItem> item) {
    if (item && item->Kind == ikText) item->Colour = TextColour;
    return TCollection<TBvItem>::Insert(std::move(item));
}

TBvDocument::TBvDocument(std::string title)
    : TSortedCollection<TBvPage>(10, 10), Title(std::move(title)) {
    if (Title.size() > MaxItemText) Title.resize(MaxItemText);
}

int TBvDocument::Compare(const TBvPage& a, const TBvPage& b) const {
    return a.PageNumber < b.PageNumber ? -1 : (a.PageNumber > b.PageNumber ? 1 : 0);
}

TBvPage* TBvDocument::Page(int pageNumber) const {
    TBvPage key(static_cast<std::int16_t>(pageNumber));
    int index = 0;
    if (!Search(key, index)) return nullptr;
    return items_[static_cast<std::size_t>(index)].get();
}

TBvPage* TBvDocument::CreatePage(int pageNumber) {
    auto page = std::make_unique<TBvPage>(static_cast<std::int16_t>(pageNumber));
    TBvPage* raw = page.get();
    return Insert(std::move(page)) ? raw : nullptr;
}

TBvLineItem* TBvDocument::AddLine(TBvPage& page, std::int32_t left, std::int32_t top,
                                  std::int32_t right, std::int32_t bottom, std::int32_t penWidth,
                                  std::uint8_t colour) {
    auto item = std::make_unique<TBvLineItem>();
    item->Left = left;
    item->Top = top;
    item->Right = right;
    item->Bottom = bottom;
    item->PenWidth = penWidth;
    item->Colour = colour;
    TBvLineItem* raw = item.get();
    return page.Insert(std::move(item)) ? raw : nullptr;
}

TBvRectItem* TBvDocument::AddRect(TBvPage& page, std::int32_t left, std::int32_t top,
                                  std::int32_t right, std::int32_t bottom, std::int32_t penWidth,
                                  std::uint8_t fillColour, bool filled, std::uint8_t colour) {
    auto item = std::make_unique<TBvRectItem>();
    item->Left = left;
    item->Top = top;
    item->Right = right;
    item->Bottom = bottom;
    item->PenWidth = penWidth;
    item->FillColour = fillColour;
    item->Filled = filled;
    item->Colour = colour;
    TBvRectItem* raw = item.get();
    return page.Insert(std::move(item)) ? raw : nullptr;
}

static std::unique_ptr<TBvTextItem> MakeText(std::int32_t left, std::int32_t top,
                                             std::int32_t right, std::int32_t bottom,
                                             std::string_view text, const TFontSpec& font) {
    auto item = std::make_unique<TBvTextItem>();
    item->Left = left;
    item->Top = top;
    item->Right = right;
    item->Bottom = bottom;
    item->Text = std::string(text.substr(0, MaxItemText));
    item->FontIndex = font.face;
    item->Size = font.height;
    item->Alignment = font.alignment;
    item->Style = font.style;
    item->Flag2 = static_cast<std::uint8_t>(font.second);
    item->Oem = static_cast<std::uint8_t>(font.charset);
    return item;
}

TBvTextItem* TBvDocument::AddText(TBvPage& page, std::int32_t left, std::int32_t top,
                                  std::int32_t right, std::int32_t bottom, std::string_view text,
                                  const TFontSpec& font) {
    auto item = MakeText(left, top, right, bottom, text, font);
    TBvTextItem* raw = item.get();
    return page.Insert(std::move(item)) ? raw : nullptr;
}

void TBvDocument::BeginLayout(std::int32_t left, std::int32_t top, int startPage,
                              bool autoPageBreak, std::int32_t bottomLimit, std::int32_t right) {
    frameLeft_ = left;
    frameTop_ = top;
    frameRight_ = right;
    bottomLimit_ = bottomLimit;
    autoPageBreak_ = autoPageBreak;
    cursor_ = 0;
    blockOpen_ = false;
    block_.reset();
    blockStart_ = 0;
    if (PageCount() == 0) CreatePage(1);
    currentPage_ = std::max(1, std::min(startPage, PageCount()));
}

void TBvDocument::PlaceOnCurrentPage(std::unique_ptr<TBvItem> item) {
    TBvPage* page = CurrentPage();
    // Pages are numbered by position; only a caller that created pages out of order
    // can make the current one missing, and then the page at that position serves.
    if (!page && currentPage_ >= 1 && currentPage_ <= PageCount()) page = At(currentPage_ - 1);
    if (page) page->Insert(std::move(item));
}

void TBvDocument::PrintLine(std::string_view text) {
    std::int32_t y1 = frameTop_ + cursor_;
    std::int32_t y2 = y1 + font_.height;
    if (blockOpen_ && block_) {
        cursor_ += font_.height;
        block_->Insert(MakeText(frameLeft_, y1, frameRight_, y2, text, font_));
        return;
    }
    if (y2 > bottomLimit_ && autoPageBreak_) {
        NewPage();
        y1 = frameTop_ + cursor_;
        y2 = y1 + font_.height;
    }
    cursor_ += font_.height;
    PlaceOnCurrentPage(MakeText(frameLeft_, y1, frameRight_, y2, text, font_));
}

void TBvDocument::NewPage() {
    if (blockOpen_) EndBlock();
    cursor_ = 0;
    ++currentPage_;
    if (currentPage_ > PageCount()) CreatePage(PageCount() + 1);
    PageStarted();
}

void TBvDocument::BeginBlock() {
    if (blockOpen_) EndBlock();
    blockOpen_ = true;
    // One collection serves every block of the layout (a list has one per participant).
    if (!block_) block_ = std::make_unique<TCollection<TBvItem>>(10, 10);
    blockStart_ = cursor_;
}

const TBvItem* TBvDocument::LastBlockItem() const {
    if (!blockOpen_ || !block_ || block_->Count() == 0) return nullptr;
    return block_->At(block_->Count() - 1);
}

bool TBvDocument::BlockItemPending(const TBvItem* item) const {
    if (!placing_ || !item) return false;
    for (std::size_t i = placingNext_; i < placing_->size(); ++i)
        if ((*placing_)[i].get() == item) return true;
    return false;
}

void TBvDocument::EndBlock() {
    if (!blockOpen_ || !block_) return;
    blockOpen_ = false;

    auto items = block_->DeleteAll();
    placing_ = &items;
    placingNext_ = 0;

    // The block normally restarts on a new page when its end lies below the limit;
    // a block taller than the whole frame cannot fit anywhere and flows instead.
    bool moved = frameTop_ + cursor_ > bottomLimit_;
    if (cursor_ - blockStart_ > bottomLimit_ - frameTop_) moved = false;
    if (moved) NewPage();

    for (auto& item : items) {
        std::int32_t height = item->Height();
        if (frameTop_ + cursor_ + height > bottomLimit_) {
            NewPage();
            moved = true;
            BlockMoved();
        }
        if (moved) {
            item->Top = frameTop_ + cursor_;
            item->Bottom = item->Top + height;
            cursor_ += height;
        }
        PlaceOnCurrentPage(std::move(item));
        ++placingNext_;
    }
    placing_ = nullptr;
    placingNext_ = 0;
    blockStart_ = cursor_;
}

} // namespace vm

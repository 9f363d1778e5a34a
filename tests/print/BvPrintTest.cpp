// The print document and its layout engine: page breaks, keep-together blocks and the
// hooks a report uses for its footer and repeated column header.
#include "print/BvPrint.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

using namespace vm;

namespace {

constexpr int kTop = 100;
constexpr int kLeft = 100;
constexpr int kRight = 2000;
constexpr int kLimit = 500; // room for ten lines of 40
constexpr int kLine = 40;

// Does on every new page what a report does: a footer below the bottom limit and,
// while a list runs, its column header again.
class TTestDoc : public TBvDocument {
public:
    TTestDoc() : TBvDocument("Test") {}

    bool RepeatHeader = false;
    int Moved = 0;
    int Started = 0;

    void StampFooter(int pageNumber) {
        TBvPage* page = Page(pageNumber);
        ASSERT_NE(page, nullptr);
        AddText(
            *page, kLeft, kLimit + 10, kRight, kLimit + 40, "Seite " + std::to_string(pageNumber),
            {.face = fiArial, .height = 30, .style = fsItalic, .alignment = taRight | taVCenter});
    }

    void Start() {
        CreatePage(PageCount() + 1);
        StampFooter(1);
        BeginLayout(kLeft, kTop, PageCount(), true, kLimit, kRight);
        SetFont({.face = fiCourier,
                 .height = kLine,
                 .alignment = taLeft | taVCenter,
                 .charset = TTextCharset::CodePage850});
    }

protected:
    void PageStarted() override {
        ++Started;
        StampFooter(CurrentPageNumber());
        if (RepeatHeader) {
            SetStyle(fsBold);
            PrintLine("HEADER");
            SetStyle(fsNormal);
        }
    }
    void BlockMoved() override { ++Moved; }
};

const TBvTextItem& Text(const TBvPage& page, int index) {
    const TBvItem* item = page.At(index);
    EXPECT_NE(item, nullptr);
    EXPECT_EQ(item->Kind, ikText);
    return static_cast<const TBvTextItem&>(*item);
}

// The texts of a page in order, footer included.
std::vector<std::string> Texts(const TBvPage& page) {
    std::vector<std::string> out;
    for (const TBvItem& item : page)
        if (item.Kind == ikText) out.push_back(static_cast<const TBvTextItem&>(item).Text);
    return out;
}

void FillLines(TTestDoc& doc, int n, const std::string& prefix = "L") {
    for (int i = 1; i <= n; ++i)
        doc.PrintLine(prefix + std::to_string(i));
}

} // namespace

TEST(BvPrint, PrintLineTakesFrameFontStateAndPageColour) {
    TTestDoc doc;
    doc.Start();
    doc.CurrentPage()->TextColour = clRed;
    doc.SetFont({.face = fiArial,
                 .height = 50,
                 .style = fsBold | fsCondensed,
                 .alignment = taRight,
                 .second = TSecondFlag::Off,
                 .charset = TTextCharset::CodePage850});
    doc.PrintLine("");
    doc.PrintLine("abc");
    EXPECT_EQ(doc.Cursor(), 100);

    const TBvPage& page = *doc.Page(1);
    ASSERT_EQ(page.Count(), 3); // footer, the empty line, "abc"
    const TBvTextItem& empty = Text(page, 1);
    EXPECT_EQ(empty.Text, "");
    EXPECT_EQ(empty.Top, kTop);
    const TBvTextItem& t = Text(page, 2);
    EXPECT_EQ(t.Text, "abc");
    EXPECT_EQ(t.Left, kLeft);
    EXPECT_EQ(t.Right, kRight);
    EXPECT_EQ(t.Top, kTop + 50);
    EXPECT_EQ(t.Bottom, kTop + 100);
    EXPECT_EQ(t.FontIndex, fiArial);
    EXPECT_EQ(t.Size, 50);
    EXPECT_EQ(t.Style, fsBold | fsCondensed);
    EXPECT_EQ(t.Alignment, taRight);
    EXPECT_EQ(t.Flag2, 0);
    EXPECT_EQ(t.Oem, 1);
    EXPECT_EQ(t.Colour, clRed);
}

TEST(BvPrint, ItemDefaultsAndShortStringLimit) {
    TBvTextItem t;
    EXPECT_EQ(t.Kind, ikText);
    EXPECT_EQ(t.FontIndex, 1);
    EXPECT_EQ(t.Size, 43);
    EXPECT_EQ(t.Alignment, 5);
    EXPECT_EQ(t.Flag2, 1);
    EXPECT_EQ(t.Oem, 0);

    TBvDocument doc;
    TBvPage* page = doc.CreatePage(1);
    ASSERT_NE(page, nullptr);
    TBvTextItem* item = doc.AddText(
        *page, 1, 2, 3, 4, std::string(300, 'x'),
        {.face = fiArial, .height = 30, .alignment = taLeft, .charset = TTextCharset::CodePage850});
    ASSERT_NE(item, nullptr);
    EXPECT_EQ(item->Text.size(), 255u);
    // Only text items take the page's text colour.
    page->TextColour = clBlue;
    TBvLineItem* line = doc.AddLine(*page, 0, 0, 10, 10, 6, clGreen);
    TBvRectItem* rect = doc.AddRect(*page, 0, 0, 10, 10, 6, clRed, true, clWhite);
    TBvTextItem* blue = doc.AddText(*page, 1, 2, 3, 4, "b", TFontSpec{});
    EXPECT_EQ(line->Colour, clGreen);
    EXPECT_EQ(rect->Colour, clWhite);
    EXPECT_EQ(rect->FillColour, clRed);
    EXPECT_TRUE(rect->Filled);
    EXPECT_EQ(blue->Colour, clBlue);
    // The default font is that of a fresh item and of a fresh document's font state.
    for (auto field :
         {&TBvTextItem::Style, &TBvTextItem::Alignment, &TBvTextItem::Flag2, &TBvTextItem::Oem})
        EXPECT_EQ(blue->*field, t.*field);
    EXPECT_EQ(blue->FontIndex, t.FontIndex);
    EXPECT_EQ(blue->Size, t.Size);
    EXPECT_TRUE(TBvDocument().Font() == TFontSpec{});
}

TEST(BvPrint, PagesStayOrderedByNumberAndNumbersAreUnique) {
    TBvDocument doc;
    ASSERT_NE(doc.CreatePage(3), nullptr);
    ASSERT_NE(doc.CreatePage(1), nullptr);
    ASSERT_NE(doc.CreatePage(2), nullptr);
    EXPECT_EQ(doc.CreatePage(2), nullptr);
    ASSERT_EQ(doc.PageCount(), 3);
    for (int i = 0; i < 3; ++i)
        EXPECT_EQ(doc.At(i)->PageNumber, i + 1);
    EXPECT_EQ(doc.Page(2), doc.At(1));
    EXPECT_EQ(doc.Page(4), nullptr);
}

TEST(BvPrint, BeginLayoutCreatesFirstPageAndClampsStartPage) {
    TBvDocument empty;
    empty.BeginLayout(kLeft, kTop, 5, true, kLimit, kRight);
    EXPECT_EQ(empty.PageCount(), 1);
    EXPECT_EQ(empty.CurrentPageNumber(), 1);
    EXPECT_EQ(empty.Cursor(), 0);

    TBvDocument doc;
    doc.CreatePage(1);
    doc.CreatePage(2);
    doc.CreatePage(3);
    doc.BeginLayout(kLeft, kTop, 2, true, kLimit, kRight);
    EXPECT_EQ(doc.CurrentPageNumber(), 2);
    doc.BeginLayout(kLeft, kTop, 9, true, kLimit, kRight);
    EXPECT_EQ(doc.CurrentPageNumber(), 3);
}

TEST(BvPrint, LineBreaksToNextPageAfterFooterAndHeader) {
    TTestDoc doc;
    doc.Start();
    doc.RepeatHeader = true;
    // The tenth line ends exactly at the bottom limit and stays.
    FillLines(doc, 10);
    ASSERT_EQ(doc.PageCount(), 1);
    EXPECT_EQ(Text(*doc.Page(1), 10).Bottom, kLimit);

    doc.PrintLine("L11");
    ASSERT_EQ(doc.PageCount(), 2);
    EXPECT_EQ(doc.CurrentPageNumber(), 2);
    const TBvPage& p2 = *doc.Page(2);
    EXPECT_EQ(Texts(p2), (std::vector<std::string>{"Seite 2", "HEADER", "L11"}));
    EXPECT_EQ(Text(p2, 1).Top, kTop);
    EXPECT_EQ(Text(p2, 1).Style, fsBold);
    EXPECT_EQ(Text(p2, 2).Top, kTop + kLine);
    EXPECT_EQ(Text(p2, 2).Style, fsNormal);
    EXPECT_EQ(doc.Cursor(), 2 * kLine);
}

TEST(BvPrint, WithoutAutomaticBreakLinesRunPastTheLimit) {
    TTestDoc doc;
    doc.Start();
    doc.SetAutoPageBreak(false);
    FillLines(doc, 12);
    EXPECT_EQ(doc.PageCount(), 1);
    EXPECT_EQ(Text(*doc.Page(1), 12).Bottom, kTop + 12 * kLine);
    EXPECT_EQ(doc.Started, 0);
}

TEST(BvPrint, BlockStartingOneMillimetreAboveLimitMovesWhole) {
    TTestDoc doc;
    doc.Start();
    doc.RepeatHeader = true;
    doc.SetCursor(kLimit - kTop - 10);
    doc.BeginBlock();
    FillLines(doc, 3, "B");
    EXPECT_EQ(doc.Page(1)->Count(), 1); // lines wait in the block
    doc.EndBlock();

    ASSERT_EQ(doc.PageCount(), 2);
    EXPECT_EQ(Texts(*doc.Page(1)), (std::vector<std::string>{"Seite 1"}));
    const TBvPage& p2 = *doc.Page(2);
    EXPECT_EQ(Texts(p2), (std::vector<std::string>{"Seite 2", "HEADER", "B1", "B2", "B3"}));
    for (int i = 0; i < 3; ++i) {
        EXPECT_EQ(Text(p2, 2 + i).Top, kTop + kLine * (i + 1));
        EXPECT_EQ(Text(p2, 2 + i).Bottom, kTop + kLine * (i + 2));
    }
    EXPECT_EQ(doc.Cursor(), 4 * kLine);
    EXPECT_FALSE(doc.BlockOpen());
}

TEST(BvPrint, BlockThatFitsStaysInPlace) {
    TTestDoc doc;
    doc.Start();
    FillLines(doc, 2);
    doc.BeginBlock();
    FillLines(doc, 3, "B");
    doc.EndBlock();
    ASSERT_EQ(doc.PageCount(), 1);
    EXPECT_EQ(Text(*doc.Page(1), 3).Top, kTop + 2 * kLine);
    EXPECT_EQ(Text(*doc.Page(1), 5).Bottom, kTop + 5 * kLine);
    EXPECT_EQ(doc.Cursor(), 5 * kLine);
    EXPECT_EQ(doc.Moved, 0);
}

TEST(BvPrint, ExactBottomLimitMovesBlockButNotPlainLine) {
    // A plain line ending exactly at the limit stays.
    TTestDoc plain;
    plain.Start();
    plain.SetCursor(kLimit - kTop - kLine);
    plain.PrintLine("P");
    EXPECT_EQ(plain.PageCount(), 1);

    // The same line as a one-line block goes to the next page.
    TTestDoc block;
    block.Start();
    block.SetCursor(kLimit - kTop - kLine);
    block.BeginBlock();
    block.PrintLine("B");
    block.EndBlock();
    ASSERT_EQ(block.PageCount(), 2);
    EXPECT_EQ(block.Moved, 1);
    EXPECT_EQ(Texts(*block.Page(2)), (std::vector<std::string>{"Seite 2", "B"}));
    EXPECT_EQ(Text(*block.Page(2), 1).Top, kTop);
}

TEST(BvPrint, BlockTallerThanFrameFlowsOverPages) {
    TTestDoc doc;
    doc.Start();
    doc.RepeatHeader = true;
    FillLines(doc, 2);
    doc.BeginBlock();
    FillLines(doc, 15, "B");
    doc.EndBlock();

    ASSERT_EQ(doc.PageCount(), 3);
    EXPECT_EQ(Texts(*doc.Page(1)), (std::vector<std::string>{"Seite 1", "L1", "L2"}));
    std::vector<std::string> p2{"Seite 2", "HEADER"};
    for (int i = 1; i <= 9; ++i)
        p2.push_back("B" + std::to_string(i));
    EXPECT_EQ(Texts(*doc.Page(2)), p2);
    std::vector<std::string> p3{"Seite 3", "HEADER"};
    for (int i = 10; i <= 15; ++i)
        p3.push_back("B" + std::to_string(i));
    EXPECT_EQ(Texts(*doc.Page(3)), p3);
    // The last line of a full page ends exactly at the limit.
    EXPECT_EQ(Text(*doc.Page(2), 10).Bottom, kLimit);
    EXPECT_EQ(Text(*doc.Page(3), 2).Top, kTop + kLine);
    EXPECT_EQ(doc.Moved, 2);
    EXPECT_EQ(doc.Cursor(), 7 * kLine);
}

TEST(BvPrint, NewPageClosesOpenBlockAndReusesExistingPage) {
    TTestDoc doc;
    doc.CreatePage(1);
    doc.CreatePage(2);
    doc.BeginLayout(kLeft, kTop, 1, true, kLimit, kRight);
    doc.SetFont({.face = fiCourier,
                 .height = kLine,
                 .alignment = taLeft,
                 .charset = TTextCharset::CodePage850});
    doc.BeginBlock();
    doc.PrintLine("B");
    doc.NewPage();
    EXPECT_FALSE(doc.BlockOpen());
    EXPECT_EQ(Texts(*doc.Page(1)), (std::vector<std::string>{"B"}));
    // Page 2 existed: no new page, but the hook still runs.
    EXPECT_EQ(doc.PageCount(), 2);
    EXPECT_EQ(doc.CurrentPageNumber(), 2);
    EXPECT_EQ(doc.Started, 1);
    EXPECT_EQ(Texts(*doc.Page(2)), (std::vector<std::string>{"Seite 2"}));
    doc.NewPage();
    EXPECT_EQ(doc.PageCount(), 3);
}

TEST(BvPrint, BeginBlockClosesThePreviousBlock) {
    TTestDoc doc;
    doc.Start();
    doc.BeginBlock();
    doc.PrintLine("A");
    doc.BeginBlock();
    EXPECT_EQ(Texts(*doc.Page(1)), (std::vector<std::string>{"Seite 1", "A"}));
    doc.PrintLine("B");
    doc.EndBlock();
    doc.EndBlock(); // nothing open: no effect
    EXPECT_EQ(Texts(*doc.Page(1)), (std::vector<std::string>{"Seite 1", "A", "B"}));
}

TEST(BvPrint, EveryPageGetsOneFooterWithItsPosition) {
    TTestDoc doc;
    doc.Start();
    doc.RepeatHeader = true;
    for (int round = 0; round < 6; ++round) {
        FillLines(doc, 4);
        doc.BeginBlock();
        FillLines(doc, round == 3 ? 14 : 5, "B");
        doc.EndBlock();
        if (round == 4) doc.NewPage();
    }
    ASSERT_GE(doc.PageCount(), 6);
    for (int i = 0; i < doc.PageCount(); ++i) {
        const TBvPage& page = *doc.At(i);
        EXPECT_EQ(page.PageNumber, i + 1);
        int footers = 0;
        for (const std::string& t : Texts(page))
            if (t.rfind("Seite ", 0) == 0) {
                ++footers;
                EXPECT_EQ(t, "Seite " + std::to_string(i + 1));
            }
        EXPECT_EQ(footers, 1) << "page " << i + 1;
        // Nothing of the list crosses the limit.
        for (const TBvItem& item : page) {
            if (static_cast<const TBvTextItem&>(item).Text.rfind("Seite ", 0) != 0) {
                EXPECT_LE(item.Bottom, kLimit) << "page " << i + 1;
            }
        }
    }
}

// The PDF document writer: the file skeleton byte for byte, the cross-reference table,
// text escaping and the PDF date.
#include "output/PdfWriter.h"

#include <gtest/gtest.h>

#include <ctime>
#include <string>

using namespace vm;

namespace {

TPdfInfo SmallInfo() {
    TPdfInfo info;
    info.Producer = "P";
    info.CreationDate = "D:20260305120000";
    info.Title = "T(x)"; // written as it stands, not escaped
    info.Author = "A";
    info.Creator = "C";
    info.Keywords = "K";
    info.Subject = "S";
    return info;
}

// Header and fixed objects, then pages, then the page tree, xref and trailer.
std::string WriteFile(const TPdfInfo& info, int pages, const std::string& contentLine,
                      TPdfDocWriter* out = nullptr) {
    TMemoryStream stream;
    TPdfDocWriter w(&info, 2100, 2970);
    w.Attach(stream);
    w.WriteHeader();
    w.WriteFixedObjects();
    for (int i = 0; i < pages; ++i) {
        w.BeginPage();
        if (!contentLine.empty()) w.WriteLine(contentLine);
        w.EndPage();
    }
    w.WritePages();
    w.WriteXref();
    w.WriteTrailer();
    EXPECT_EQ(w.BytesWritten(), stream.Data().size());
    if (out) *out = w;
    return stream.Data();
}

// Checks the table against the file: 20-byte entries, each offset at "n 0 obj".
void CheckXref(const std::string& pdf, int size) {
    std::size_t sx = pdf.rfind("startxref\n");
    ASSERT_NE(sx, std::string::npos);
    std::size_t xref = std::stoul(pdf.substr(sx + 10));
    ASSERT_EQ(pdf.compare(xref, 5, "xref\n"), 0);
    std::string head = "0 " + std::to_string(size) + " \n";
    ASSERT_EQ(pdf.compare(xref + 5, head.size(), head), 0);
    std::size_t entries = xref + 5 + head.size();
    ASSERT_EQ(pdf.compare(entries, 20, "0000000000 65535 f \n"), 0);
    for (int n = 1; n < size; ++n) {
        std::string entry = pdf.substr(entries + 20 * static_cast<std::size_t>(n), 20);
        ASSERT_EQ(entry.substr(10), " 00000 n \n") << "object " << n;
        std::size_t at = std::stoul(entry.substr(0, 10));
        std::string mark = std::to_string(n) + " 0 obj";
        EXPECT_EQ(pdf.compare(at, mark.size(), mark), 0) << "object " << n;
    }
    EXPECT_EQ(pdf.compare(entries + 20 * static_cast<std::size_t>(size), 8, "trailer\n"), 0);
}

} // namespace

TEST(PdfWriter, OnePageFileByteForByte) {
    std::string expected =
        "%PDF-1.2\n"
        "%\xE2\xE3\xCF\xD3\n"
        "1 0 obj<</Producer(P)/CreationDate(D:20260305120000)/Title(T(x))/Author(A)/Creator(C)"
        "/Keywords(K)/Subject(S)>>endobj\n"
        "2 0 obj<</Type /Catalog/Pages 4 0 R/PageMode/UseNone/Outlines 3 0 R>>endobj\n"
        "3 0 obj<</Type /Outlines/Count 0>>endobj\n"
        "5 0 obj[/PDF/Text]endobj\n"
        "6 0 obj<</Type/Encoding/BaseEncoding/WinAnsiEncoding>>endobj\n"
        "7 0 obj<</Font <</F1 8 0 R/F2 9 0 R/F3 10 0 R/F4 11 0 R/F5 12 0 R/F6 13 0 R/F7 14 0 R"
        "/F8 15 0 R/F9 16 0 R/F10 17 0 R/F11 18 0 R/F12 19 0 R/F13 20 0 R/F14 21 0 R>>"
        "/ProcSet 5 0 R>>endobj\n"
        "8 0 obj<</Type/Font/Subtype/Type1/BaseFont/Courier/Encoding 6 0 R>>endobj\n"
        "9 0 obj<</Type/Font/Subtype/Type1/BaseFont/Courier-Bold/Encoding 6 0 R>>endobj\n"
        "10 0 obj<</Type/Font/Subtype/Type1/BaseFont/Courier-Oblique/Encoding 6 0 R>>endobj\n"
        "11 0 obj<</Type/Font/Subtype/Type1/BaseFont/Courier-BoldOblique/Encoding 6 0 R>>endobj\n"
        "12 0 obj<</Type/Font/Subtype/Type1/BaseFont/Times-Roman/Encoding 6 0 R>>endobj\n"
        "13 0 obj<</Type/Font/Subtype/Type1/BaseFont/Times-Bold/Encoding 6 0 R>>endobj\n"
        "14 0 obj<</Type/Font/Subtype/Type1/BaseFont/Times-Italic/Encoding 6 0 R>>endobj\n"
        "15 0 obj<</Type/Font/Subtype/Type1/BaseFont/Times-BoldItalic/Encoding 6 0 R>>endobj\n"
        "16 0 obj<</Type/Font/Subtype/Type1/BaseFont/Helvetica/Encoding 6 0 R>>endobj\n"
        "17 0 obj<</Type/Font/Subtype/Type1/BaseFont/Helvetica-Bold/Encoding 6 0 R>>endobj\n"
        "18 0 obj<</Type/Font/Subtype/Type1/BaseFont/Helvetica-Oblique/Encoding 6 0 R>>endobj\n"
        "19 0 obj<</Type/Font/Subtype/Type1/BaseFont/Helvetica-BoldOblique/Encoding 6 0 R>>"
        "endobj\n"
        "20 0 obj<</Type/Font/Subtype/Type1/BaseFont/Symbol>>endobj\n"
        "21 0 obj<</Type/Font/Subtype/Type1/BaseFont/ZapfDingbats>>endobj\n"
        "22 0 obj<</Type/Page/Parent 4 0 R/Contents 23 0 R>>endobj\n"
        "23 0 obj<</Length 24 0 R>>stream\n"
        "0 0 0 RG\n"
        "endstream\n"
        "endobj\n"
        "24 0 obj\n"
        "9\n"
        "endobj\n"
        "4 0 obj<</Type /Pages/MediaBox [0 0 595 842]/Resources 7 0 R/Count 1/Kids [22 0 R]>>"
        "endobj\n"
        "xref\n"
        "0 25 \n"
        "0000000000 65535 f \n"
        "0000000015 00000 n \n"
        "0000000132 00000 n \n"
        "0000000208 00000 n \n"
        "0000001756 00000 n \n"
        "0000000249 00000 n \n"
        "0000000274 00000 n \n"
        "0000000335 00000 n \n"
        "0000000520 00000 n \n"
        "0000000594 00000 n \n"
        "0000000673 00000 n \n"
        "0000000756 00000 n \n"
        "0000000843 00000 n \n"
        "0000000922 00000 n \n"
        "0000001000 00000 n \n"
        "0000001080 00000 n \n"
        "0000001164 00000 n \n"
        "0000001241 00000 n \n"
        "0000001323 00000 n \n"
        "0000001408 00000 n \n"
        "0000001497 00000 n \n"
        "0000001556 00000 n \n"
        "0000001621 00000 n \n"
        "0000001679 00000 n \n"
        "0000001738 00000 n \n"
        "trailer\n"
        "<</Size 25/Root 2 0 R/Info 1 0 R>>\n"
        "startxref\n"
        "1847\n"
        "%%EOF\n";

    TPdfDocWriter w(nullptr, 0, 0);
    std::string pdf = WriteFile(SmallInfo(), 1, "0 0 0 RG", &w);
    EXPECT_EQ(pdf, expected);
    EXPECT_EQ(w.NextObject(), 25);
    EXPECT_EQ(w.FirstPageObject(), 22);
    EXPECT_EQ(w.StreamLength(), 9u);
    EXPECT_EQ(w.XrefOffset(), 1847u);
    EXPECT_EQ(w.ObjectOffset(24), 1738u);
    CheckXref(pdf, 25);
}

TEST(PdfWriter, TwoPagesAndEmptyContentStream) {
    TPdfDocWriter w(nullptr, 0, 0);
    std::string pdf = WriteFile(SmallInfo(), 2, "", &w);
    EXPECT_NE(pdf.find("/Count 2/Kids [22 0 R 25 0 R]>>endobj\n"), std::string::npos);
    EXPECT_NE(pdf.find("25 0 obj<</Type/Page/Parent 4 0 R/Contents 26 0 R>>"), std::string::npos);
    EXPECT_NE(pdf.find("24 0 obj\n0\nendobj\n"), std::string::npos);
    EXPECT_NE(pdf.find("27 0 obj\n0\nendobj\n"), std::string::npos);
    EXPECT_EQ(w.StreamLength(), 0u);
    EXPECT_NE(pdf.find("<</Size 28/"), std::string::npos);
    CheckXref(pdf, 28);
}

TEST(PdfWriter, NoPagesGiveAnEmptyPageTree) {
    std::string pdf = WriteFile(SmallInfo(), 0, "");
    EXPECT_NE(
        pdf.find("4 0 obj<</Type /Pages/MediaBox [0 0 595 842]/Resources 7 0 R/Count 0/Kids []>>"
                 "endobj\n"),
        std::string::npos);
    EXPECT_NE(pdf.find("<</Size 22/"), std::string::npos);
    CheckXref(pdf, 22);
}

TEST(PdfWriter, NoCapOnPagesOrObjects) {
    // 400 pages need 1221 objects: beyond the tables of the old file format.
    TPdfDocWriter w(nullptr, 0, 0);
    std::string pdf = WriteFile(SmallInfo(), 400, "S", &w);
    EXPECT_EQ(w.PageCount(), 400);
    EXPECT_EQ(w.NextObject(), 22 + 3 * 400);
    EXPECT_NE(pdf.find("/Count 400/Kids [22 0 R 25 0 R "), std::string::npos);
    EXPECT_NE(pdf.find(" 1219 0 R]>>endobj\n"), std::string::npos);
    CheckXref(pdf, 22 + 3 * 400);
}

TEST(PdfWriter, PageSizeInPoints) {
    struct Case {
        int tenths;
        int points;
    } cases[] = {{2100, 595}, {2970, 842}, {0, 0}, {100, 28}, {200, 57}, {6, 2}, {1, 0}, {2, 1}};
    for (const Case& c : cases) {
        TPdfDocWriter w(nullptr, c.tenths, c.tenths);
        EXPECT_EQ(w.PageWidthPt(), c.points) << c.tenths;
        EXPECT_EQ(TenthMmToPt(c.tenths), c.points) << c.tenths;
    }
    TPdfDocWriter landscape(nullptr, 2970, 2100);
    EXPECT_EQ(landscape.PageWidthPt(), 842);
    EXPECT_EQ(landscape.PageHeightPt(), 595);
}

TEST(PdfWriter, EscapeText) {
    struct Case {
        std::string in, out;
    } cases[] = {
        {"a(b)\\c", "a\\(b\\)\\\\c"},
        {"\x84\x94\x81\x8E\x99\x9A\xE1", "\xE4\xF6\xFC\xC4\xD6\xDC\xDF"},
        {"M\x81ller 1:02,30", "M\xFCller 1:02,30"},
        // Other bytes pass unchanged (0xA0 is OEM á, left alone here).
        {std::string("x\x01\xA0\xFF\x7F", 5), std::string("x\x01\xA0\xFF\x7F", 5)},
        {"", ""},
    };
    for (const Case& c : cases)
        EXPECT_EQ(EscapeText(c.in), c.out) << c.in;

    EXPECT_EQ(EscapeAnsiText("(\xE1\x84)"), "\\(\xE1\x84\\)");
}

TEST(PdfWriter, EscapedTextIsShortStringWithoutHalfEscape) {
    EXPECT_EQ(EscapeText(std::string(300, 'a')), std::string(255, 'a'));
    // An escape that does not fit is dropped whole: a lone backslash at the end would
    // swallow the closing parenthesis of the PDF string.
    std::string out = EscapeText(std::string(254, 'a') + "(b");
    EXPECT_EQ(out, std::string(254, 'a'));
    out = EscapeText(std::string(253, 'a') + "()");
    EXPECT_EQ(out, std::string(253, 'a') + "\\(");

    TMemoryStream stream;
    TPdfDocWriter w(nullptr, 2100, 2970);
    w.Attach(stream);
    w.WriteTextShow("a(b)\\c\x84");
    EXPECT_EQ(stream.Data(), "T* (a\\(b\\)\\\\c\xE4) Tj\n");
}

TEST(PdfWriter, PdfDate) {
    EXPECT_EQ(DateString(2026, 3, 5), "20260305120000");
    EXPECT_EQ(PdfDate(2026, 3, 5), "D:20260305120000");
    EXPECT_EQ(PdfDate(2026, 12, 31), "D:20261231120000");
    EXPECT_EQ(PdfDate(999, 1, 9), "D:9990109120000");

    std::time_t now = std::time(nullptr);
    std::tm tm{};
    localtime_r(&now, &tm);
    std::string today = DateString(tm.tm_year + 1900, tm.tm_mon + 1, tm.tm_mday);
    std::string got = DateString();
    // Midnight may pass between the two calls.
    if (got != today) {
        now = std::time(nullptr);
        localtime_r(&now, &tm);
        today = DateString(tm.tm_year + 1900, tm.tm_mon + 1, tm.tm_mday);
    }
    EXPECT_EQ(got, today);
    EXPECT_EQ(PdfDate().substr(0, 2), "D:");
}

TEST(PdfWriter, InfoDefaults) {
    TPdfInfo d = TPdfInfo::Defaults();
    EXPECT_EQ(d.Title, "Velbund Rettungssport");
    EXPECT_EQ(d.Subject, "Veranstaltung");
    EXPECT_EQ(d.Author, "Veranstalter");
    EXPECT_EQ(d.Keywords, "Velbund, Rettungssport, Ergebnis");
    EXPECT_FALSE(d.Creator.empty());
    EXPECT_EQ(d.Producer, d.Creator);
    EXPECT_EQ(d.Creator.find_first_of("()\\"), std::string::npos);
    EXPECT_FALSE(d.Compress);
    // The creation date is the day the record is made, always at noon.
    ASSERT_EQ(d.CreationDate.size(), 16u);
    EXPECT_EQ(d.CreationDate.substr(0, 2), "D:");
    EXPECT_EQ(d.CreationDate.substr(10), "120000");
    // A save's options start from these values.
    EXPECT_EQ(TSaveOptions{}.Pdf.Title, d.Title);

    // The writer copies the record: later edits do not reach a writer already made.
    TPdfInfo edited = SmallInfo();
    TPdfDocWriter w(&edited, 2100, 2970);
    edited.Title = "changed";
    EXPECT_EQ(w.Info().Title, "T(x)");
}

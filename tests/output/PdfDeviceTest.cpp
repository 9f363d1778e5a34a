// The output device's rendering loop and the PDF device's drawing rules, and whole
// documents checked with qpdf and pdftotext.
#include "output/PdfDevice.h"

#include "output/PdfFontMetrics.h"
#include "support/TestSupport.h"

#include <gtest/gtest.h>

#include <csignal>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <string>
#include <sys/resource.h>
#include <sys/wait.h>
#include <unistd.h>
#include <vector>

using namespace vm;

namespace {

// Records the calls of the rendering loop.
class TRecordingDevice : public TOutputDevice {
public:
    using TOutputDevice::TOutputDevice;
    std::vector<std::string> Calls;

    void DrawItem(const TBvItem& item) override {
        Calls.push_back("item" + std::to_string(item.Left));
    }
    void BeginDocument() override { Calls.push_back("begindoc"); }
    void StartOutput() override { Calls.push_back("start"); }
    void NextPage() override { Calls.push_back("next"); }
    void BeginPage(int p) override { Calls.push_back("begin" + std::to_string(p)); }
    void EndPage(int p) override { Calls.push_back("end" + std::to_string(p)); }
    void EndDocument() override { Calls.push_back("enddoc"); }
};

// The content lines of the first page of a document with one page, as rendered.
std::vector<std::string> Content(const TBvDocument& doc, int width = 2100, int height = 2970) {
    TMemoryStream stream;
    auto dev = TPdfDevice::CreateForStream(&doc, width, height, nullptr, stream);
    dev->Render(1, 1);
    EXPECT_TRUE(dev->Finish());
    const std::string& pdf = stream.Data();
    std::size_t from = pdf.find(">>stream\n");
    std::size_t to = pdf.find("endstream\n");
    EXPECT_NE(from, std::string::npos);
    EXPECT_NE(to, std::string::npos);
    std::vector<std::string> lines;
    std::string body = pdf.substr(from + 9, to - from - 9);
    std::size_t start = 0;
    while (start < body.size()) {
        std::size_t nl = body.find('\n', start);
        lines.push_back(body.substr(start, nl - start));
        start = nl + 1;
    }
    return lines;
}

using Lines = std::vector<std::string>;

TBvTextItem& AddText(TBvDocument& doc, int l, int t, int r, int b, const std::string& text,
                     int font = fiCourier, int size = 43, int align = taTop | taLeft,
                     int style = fsNormal, int oem = 0) {
    TBvPage* page = doc.PageCount() ? doc.At(0) : doc.CreatePage(1);
    return *doc.AddText(*page, l, t, r, b, text,
                        {.face = static_cast<std::int16_t>(font),
                         .height = static_cast<std::int16_t>(size),
                         .style = static_cast<std::uint8_t>(style),
                         .alignment = static_cast<std::uint8_t>(align),
                         .charset = static_cast<TTextCharset>(oem)});
}

bool Have(const char* tool) {
    return std::filesystem::exists(tool);
}

// Runs a shell command and returns its exit status and standard output.
int RunTool(const std::string& command, std::string* out = nullptr) {
    FILE* p = popen((command + " 2>&1").c_str(), "r");
    if (!p) return -1;
    std::string text;
    char buf[4096];
    std::size_t n;
    while ((n = fread(buf, 1, sizeof buf, p)) > 0)
        text.append(buf, n);
    int status = pclose(p);
    if (out) *out = text;
    return WIFEXITED(status) ? WEXITSTATUS(status) : -1;
}

// A two-page report-like document: title block, list lines with umlauts, a rule,
// footers.
void BuildSample(TBvDocument& doc) {
    const int left = 100, right = 2000, bottom = 2870;
    for (int p = 1; p <= 2; ++p) {
        TBvPage& page = *doc.CreatePage(p);
        doc.AddRect(page, left, 100, right, 250, 6, clBlue, false, clBlack);
        doc.AddText(
            page, left + 30, 120, right - 30, 170, "Velbund-Verband e.V.",
            {.face = fiArial, .height = 50, .style = fsBold, .alignment = taLeft | taVCenter});
        doc.AddText(
            page, left + 30, 120, right - 30, 170, "Rettungssport",
            {.face = fiArial, .height = 50, .style = fsBold, .alignment = taRight | taVCenter});
        doc.AddText(page, left + 30, 170, right - 30, 240, "Ergebnisliste",
                    {.face = fiArial,
                     .height = 65,
                     .style = fsBold | fsItalic,
                     .alignment = taHCenter | taVCenter});
        doc.AddText(page, left, bottom - 30, right - 150, bottom,
                    "Stadtmeisterschaft - Ergebnis - 05.03.2026 - 12:00:00 Uhr",
                    {.face = fiArial,
                     .height = 30,
                     .style = fsItalic,
                     .alignment = taLeft | taVCenter,
                     .charset = TTextCharset::CodePage850});
        doc.AddText(
            page, right - 150, bottom - 30, right, bottom, "Seite " + std::to_string(p),
            {.face = fiArial, .height = 30, .style = fsItalic, .alignment = taRight | taVCenter});
    }
    doc.BeginLayout(left, 100, 1, true, 2830, right);
    doc.SetCursor(320);
    doc.SetFont({.face = fiCourier,
                 .height = 40,
                 .style = fsBold | fsCondensed,
                 .alignment = taLeft | taVCenter,
                 .charset = TTextCharset::CodePage850});
    doc.PrintLine("Pl.  Name                  Vorname     Jg   Zeit");
    doc.SetStyle(fsCondensed);
    doc.PrintLine(" 1.  M\x81ller                 J\x94rg        1990  1:02,30");
    doc.PrintLine(" 2.  Stra\xE1"
                  "e (Gast)          \xA0lvaro       1991  1:05,10");
    doc.AddLine(*doc.At(0), 100, 520, 2000, 520, 3, clBlack);
    doc.NewPage();
    doc.SetCursor(320);
    doc.PrintLine(" 3.  \x8E"
                  "rger                  Anna        1992  1:07,00");
}

} // namespace

TEST(OutputDevice, RenderLoopClampsRangeAndSeparatesPages) {
    TBvDocument doc;
    for (int p = 1; p <= 3; ++p) {
        TBvPage* page = doc.CreatePage(p);
        doc.AddLine(*page, p * 10, 0, 0, 0, 1, 0);
        doc.AddLine(*page, p * 10 + 1, 0, 0, 0, 1, 0);
    }
    TRecordingDevice all(&doc);
    all.Render(0, 99);
    EXPECT_EQ(all.Calls, (Lines{"begindoc", "start", "begin1", "item10", "item11", "end1", "next",
                                "begin2", "item20", "item21", "end2", "next", "begin3", "item30",
                                "item31", "end3", "enddoc"}));
    TRecordingDevice one(&doc);
    one.Render(2, 2);
    EXPECT_EQ(one.Calls,
              (Lines{"begindoc", "start", "begin2", "item20", "item21", "end2", "enddoc"}));

    TBvDocument empty;
    TRecordingDevice none(&empty);
    none.Render(1, 1);
    EXPECT_EQ(none.Calls, (Lines{"begindoc", "start", "enddoc"}));
}

TEST(OutputDevice, DeviceCoordinates) {
    TBvDocument doc;
    TRecordingDevice dev(&doc);
    dev.ScaleX = 3.0;
    dev.ScaleY = 2.5;
    dev.OriginX = 100;
    dev.OffsetX = 20;
    dev.OriginY = 50;
    EXPECT_EQ(dev.DeviceX(1000), 276); // (1000 - 100 + 20) * 3 / 10
    EXPECT_EQ(dev.DeviceY(1000), 238); // 950 * 2.5 / 10 = 237.5, ties to even
    EXPECT_EQ(dev.DeviceY(1002), 238); // 238.0
}

TEST(PdfDevice, LinesAndRectangles) {
    TBvDocument doc;
    TBvPage& page = *doc.CreatePage(1);
    doc.AddLine(page, 100, 200, 2000, 200, 6, clRed);
    doc.AddRect(page, 100, 100, 300, 200, 3, clGreen, false, clBlack);
    doc.AddRect(page, 100, 100, 300, 200, 0, clGreen, true, clBlue);
    doc.AddLine(page, 0, 0, 10, 10, 1, 9); // unknown colour: black
    // A4 landscape: H = 595.
    EXPECT_EQ(Content(doc, 2970, 2100),
              (Lines{"2 w", "1 0 0 RG", "28 538 m 567 538 l S", "1 w", "0 0 0 RG",
                     "28 538 57 28 re", "S", "0 w", "0 0 1 RG", "0 1 0 rg", "28 538 57 28 re", "B",
                     "0 w", "0 0 0 RG", "0 595 m 3 592 l S"}));
}

TEST(PdfDevice, TextOperatorsAndPlacement) {
    struct Case {
        const char* what;
        int l, t, r, b;
        std::string text;
        int font, size, align, style, oem;
        Lines expected;
    } cases[] = {
        // Top + left: baseline at top + (ascender + descender) x height = 200 + 34.
        {"top left",
         100,
         200,
         600,
         243,
         "Ab",
         fiCourier,
         43,
         taTop | taLeft,
         0,
         0,
         {"q", "BT", "0 0 0 rg", "/F1   11.150 Tf", "1 0 0 1 28 776 Tm", "T* (Ab) Tj", "ET", "Q"}},
        // Left + vertically centred (the list lines): 240 - round((40 - 33.798) / 2).
        {"list line",
         100,
         200,
         600,
         240,
         "Ab",
         fiCourier,
         40,
         taLeft | taVCenter,
         0,
         1,
         {"q", "BT", "0 0 0 rg", "/F1   10.372 Tf", "1 0 0 1 28 775 Tm", "T* (Ab) Tj", "ET", "Q"}},
        // Centred: x = 100 + round((500 - 51.6) / 2) = 324.
        {"centred",
         100,
         200,
         600,
         243,
         "Ab",
         fiCourier,
         43,
         taHCenter,
         0,
         0,
         {"q", "BT", "0 0 0 rg", "/F1   11.150 Tf", "1 0 0 1 92 773 Tm", "T* (Ab) Tj", "ET", "Q"}},
        // Right-aligned text wider than its box starts at the left edge.
        {"too wide",
         100,
         200,
         200,
         243,
         std::string(30, 'W'),
         fiCourier,
         43,
         taRight,
         0,
         0,
         {"q", "BT", "0 0 0 rg", "/F1   11.150 Tf", "1 0 0 1 28 773 Tm",
          "T* (" + std::string(30, 'W') + ") Tj", "ET", "Q"}},
        // Right: x = 2000 - round(width); Helvetica "Seite 2" = 3113 units x 30 / 1000.
        {"right",
         1850,
         2840,
         2000,
         2870,
         "Seite 2",
         fiArial,
         30,
         taRight | taVCenter,
         fsItalic,
         0,
         {"q", "BT", "0 0 0 rg", "/F11    8.504 Tf", "1 0 0 1 541 29 Tm", "T* (Seite 2) Tj", "ET",
          "Q"}},
        // Condensed: "60 Tz" after the matrix; out-of-range font index with bold: /F1.
        {"condensed",
         100,
         200,
         600,
         243,
         "x",
         7,
         43,
         taTop | taLeft,
         fsBold | fsCondensed,
         0,
         {"q", "BT", "0 0 0 rg", "/F1   11.150 Tf", "1 0 0 1 28 776 Tm", "60 Tz", "T* (x) Tj", "ET",
          "Q"}},
        // Code page 850 converted once: "á" stays "á" (0xE1), "ä" becomes 0xE4.
        {"oem",
         100,
         200,
         600,
         243,
         "\xA0\x84(",
         fiCourier,
         43,
         taTop | taLeft,
         0,
         1,
         {"q", "BT", "0 0 0 rg", "/F1   11.150 Tf", "1 0 0 1 28 776 Tm", "T* (\xE1\xE4\\() Tj",
          "ET", "Q"}},
        // Without the OEM flag the stored umlauts still become WinAnsi.
        {"umlaut",
         100,
         200,
         600,
         243,
         "\x84",
         fiCourier,
         43,
         taTop | taLeft,
         0,
         0,
         {"q", "BT", "0 0 0 rg", "/F1   11.150 Tf", "1 0 0 1 28 776 Tm", "T* (\xE4) Tj", "ET",
          "Q"}},
        // Nothing at all for text at x1 = 0 or for empty text.
        {"x1 zero", 0, 200, 600, 243, "Ab", fiCourier, 43, taTop | taLeft, 0, 0, {}},
        {"empty", 100, 200, 600, 243, "", fiCourier, 43, taTop | taLeft, 0, 0, {}},
    };
    for (const Case& c : cases) {
        TBvDocument doc;
        AddText(doc, c.l, c.t, c.r, c.b, c.text, c.font, c.size, c.align, c.style, c.oem);
        EXPECT_EQ(Content(doc), c.expected) << c.what;
    }
}

TEST(PdfDevice, TextColourComesFromThePage) {
    TBvDocument doc;
    doc.CreatePage(1)->TextColour = clRed;
    AddText(doc, 100, 200, 600, 243, "x");
    EXPECT_EQ(Content(doc)[2], "1 0 0 rg");
}

TEST(PdfDevice, FontNumbers) {
    struct Case {
        int index, style, number;
    } cases[] = {
        {0, 0, 1},
        {0, fsBold, 1},
        {1, 0, 1},
        {1, fsBold, 2},
        {1, fsItalic, 3},
        {1, fsBold | fsItalic, 4},
        {2, 0, 5},
        {2, fsBold, 6},
        {2, fsItalic | fsUnderline, 7},
        {2, fsBold | fsItalic, 8},
        {3, 0, 9},
        {3, fsBold, 10},
        {3, fsItalic, 11},
        {3, fsBold | fsItalic, 12},
        {4, fsBold, 13},
        {5, fsItalic, 14},
        {7, fsBold, 1},
        {-1, fsBold | fsItalic, 1},
    };
    for (const Case& c : cases)
        EXPECT_EQ(PdfFontNumber(c.index, static_cast<std::uint8_t>(c.style)), c.number)
            << c.index << "/" << c.style;
}

TEST(PdfDevice, TextMetrics) {
    EXPECT_DOUBLE_EQ(PdfTextWidth(1, "AB", 43, 0), 51.6);
    EXPECT_DOUBLE_EQ(PdfTextWidth(4, "AB", 43, fsCondensed), 51.6 * 0.6);
    EXPECT_DOUBLE_EQ(PdfTextWidth(1, "A\x01\x1F", 10, 0), 6.0);
    // Published widths of the standard fonts, in WinAnsi order.
    struct Case {
        int font;
        unsigned char code;
        int width;
    } cases[] = {
        {9, 'A', 667},  {9, ' ', 278},  {10, 0xFC, 611}, {5, 'a', 444},   {6, 'W', 1000},
        {7, 'f', 278},  {8, 0xDF, 500}, {11, 'm', 833},  {12, 0xC4, 722}, {5, 0x80, 500},
        {13, 'a', 631}, {14, 'a', 789}, {5, 0x05, 0},    {1, 'i', 600},   {3, 0xFF, 600},
    };
    for (const Case& c : cases)
        EXPECT_EQ(PdfGlyphWidth(c.font, c.code), c.width) << c.font << "/" << int(c.code);
    EXPECT_DOUBLE_EQ(PdfTextHeight(1, 43), 33.798);
    EXPECT_DOUBLE_EQ(PdfTextHeight(9, 100), 92.5);
    EXPECT_NEAR(PdfFontSize(1, 43), 11.150, 0.0005);
    EXPECT_NEAR(PdfFontSize(5, 100), 100 * 72.0 / 254 * 879 / 900, 1e-9);
}

TEST(PdfDevice, RenderedDocumentPassesQpdfAndReadsBack) {
    if (!Have("/usr/bin/qpdf") || !Have("/usr/bin/pdftotext")) GTEST_SKIP() << "qpdf/pdftotext";
    vmtest::TempDir dir;
    TBvDocument doc("Test");
    BuildSample(doc);
    std::string file = dir.File("liste.pdf");
    ASSERT_TRUE(ExportDocumentToPdf(doc, file, 2100, 2970, TPdfInfo::Defaults()));
    EXPECT_FALSE(std::filesystem::exists(file + ".velmora-tmp"));

    std::string out;
    EXPECT_EQ(RunTool("qpdf --check '" + file + "'", &out), 0) << out;
    EXPECT_NE(out.find("No syntax or stream encoding errors"), std::string::npos) << out;

    ASSERT_EQ(RunTool("pdftotext -layout '" + file + "' -", &out), 0) << out;
    for (const char* want : {"Velbund-Verband e.V.", "Rettungssport", "Ergebnisliste", "Seite 1",
                             "Seite 2", "Pl.", "Vorname", "M\xC3\xBCller", "J\xC3\xB6rg",
                             "Stra\xC3\x9F"
                             "e (Gast)",
                             "\xC3\xA1lvaro", "\xC3\x84rger", "12:00:00 Uhr"})
        EXPECT_NE(out.find(want), std::string::npos) << want << "\n" << out;
    // Page 2 carries the last participant.
    std::size_t ff = out.find('\f');
    ASSERT_NE(ff, std::string::npos);
    EXPECT_GT(out.find("\xC3\x84rger"), ff);
    EXPECT_LT(out.find("M\xC3\xBCller"), ff);
}

TEST(PdfDevice, EmptyAndLongDocumentsAreValid) {
    if (!Have("/usr/bin/qpdf")) GTEST_SKIP() << "qpdf";
    vmtest::TempDir dir;
    TBvDocument empty;
    std::string file = dir.File("leer.pdf");
    ASSERT_TRUE(ExportDocumentToPdf(empty, file, 2970, 2100, TPdfInfo::Defaults()));
    std::string out;
    EXPECT_EQ(RunTool("qpdf --check '" + file + "'", &out), 0) << out;
    EXPECT_NE(vmtest::ReadFileBytes(file).find("/Count 0/Kids []"), std::string::npos);

    // Far more pages than the old writer could hold.
    TBvDocument many;
    many.BeginLayout(100, 100, 1, true, 2830, 2000);
    many.SetFont({.face = fiCourier,
                  .height = 40,
                  .alignment = taLeft | taVCenter,
                  .charset = TTextCharset::CodePage850});
    for (int i = 0; i < 250 * 68; ++i)
        many.PrintLine("Zeile " + std::to_string(i));
    ASSERT_EQ(many.PageCount(), 250);
    file = dir.File("lang.pdf");
    ASSERT_TRUE(ExportDocumentToPdf(many, file, 2100, 2970, TPdfInfo::Defaults()));
    EXPECT_EQ(RunTool("qpdf --check '" + file + "'", &out), 0) << out;
    EXPECT_EQ(RunTool("qpdf --show-npages '" + file + "'", &out), 0);
    EXPECT_EQ(std::atoi(out.c_str()), 250);
}

TEST(PdfDevice, FailedExportLeavesExistingFile) {
    vmtest::TempDir dir;
    TBvDocument doc;
    BuildSample(doc);

    EXPECT_FALSE(
        ExportDocumentToPdf(doc, dir.File("fehlt/liste.pdf"), 2100, 2970, TPdfInfo::Defaults()));

    std::string file = dir.File("liste.pdf");
    vmtest::WriteFileBytes(file, "old content");
    // A file-size limit in a child process makes the writes fail part way through.
    pid_t pid = fork();
    ASSERT_GE(pid, 0);
    if (pid == 0) {
        std::signal(SIGXFSZ, SIG_IGN);
        rlimit lim{2000, 2000};
        setrlimit(RLIMIT_FSIZE, &lim);
        bool ok = ExportDocumentToPdf(doc, file, 2100, 2970, TPdfInfo::Defaults());
        _exit(ok ? 0 : 3);
    }
    int status = 0;
    waitpid(pid, &status, 0);
    ASSERT_TRUE(WIFEXITED(status));
    EXPECT_EQ(WEXITSTATUS(status), 3);
    EXPECT_EQ(vmtest::ReadFileBytes(file), "old content");
    EXPECT_FALSE(std::filesystem::exists(file + ".velmora-tmp"));

    // A good export replaces it.
    ASSERT_TRUE(ExportDocumentToPdf(doc, file, 2100, 2970, TPdfInfo::Defaults()));
    EXPECT_EQ(vmtest::ReadFileBytes(file).substr(0, 8), "%PDF-1.2");
}

TEST(PdfDevice, DeviceOwnFileAndCallersStream) {
    vmtest::TempDir dir;
    TBvDocument doc;
    BuildSample(doc);
    std::string file = dir.File("direkt.pdf");
    const TPdfInfo info = TPdfInfo::Defaults();
    {
        auto dev = TPdfDevice::CreateForFile(&doc, file, 2100, 2970, &info);
        EXPECT_EQ(dev->FileName(), file);
        dev->Render(1, doc.PageCount());
        EXPECT_TRUE(dev->Finish());
    }
    std::string bytes = vmtest::ReadFileBytes(file);

    // The caller's stream stays usable after the device is gone.
    TMemoryStream stream;
    {
        auto dev = TPdfDevice::CreateForStream(&doc, 2100, 2970, &info, stream);
        dev->Render(1, doc.PageCount());
    }
    stream.WriteText("x");
    EXPECT_EQ(stream.Data(), bytes + "x");

    auto bad = TPdfDevice::CreateForFile(&doc, dir.File("fehlt/x.pdf"), 2100, 2970, nullptr);
    bad->Render(1, 1);
    EXPECT_FALSE(bad->Finish());
}

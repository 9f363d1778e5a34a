// The printed side of the live results: the notice with its QR code, the small QR code
// in the print head of result lists, each read back by a real QR reader from the
// rendered PDF, and the result list whose orientation is chosen before it is built.
#include "live/VmPoster.h"
#include "print/VmDruck.h"
#include "print/VmQr.h"
#include "print/VmReport.h"

#include "support/Builders.h"

#include <gtest/gtest.h>

#include <cstdio>

using namespace vm;
using namespace vmtest;

namespace {

// Standard output of a shell command.
std::string Output(const std::string& command) {
    std::string out;
    if (FILE* p = ::popen(command.c_str(), "r")) {
        char buf[4096];
        for (std::size_t n; (n = std::fread(buf, 1, sizeof buf, p)) > 0;)
            out.append(buf, n);
        ::pclose(p);
    }
    return out;
}

// The QR codes a reader finds on the first page of the PDF, one "QR-Code:..." line each.
std::string QrCodesOnFirstPage(const TempDir& dir, const std::string& pdf) {
    const std::string png = dir.File("page");
    Output("pdftoppm -r 150 -f 1 -l 1 -png -singlefile '" + pdf + "' '" + png + "'");
    return Output("zbarimg -q '" + png + ".png' 2>/dev/null");
}

} // namespace

TEST(Notice, CarriesTheAddressInTypeAndAsAReadableCode) {
    TempDir dir;
    const std::string erg = SmallCompetitionFile(dir, "Tag1.ERG", false);
    const std::string pdf = dir.File("aushang.pdf");
    const std::string url = "http://192.168.178.20:8080/";
    CliResult r = RunCli({"poster", erg, pdf, "--url", url});
    ASSERT_EQ(r.status, 0) << r.err;
    EXPECT_EQ(std::system(("qpdf --check '" + pdf + "' >/dev/null").c_str()), 0);
    const std::string text = Output("pdftotext '" + pdf + "' -");
    EXPECT_NE(text.find("Live-Ergebnisse"), std::string::npos) << text;
    EXPECT_NE(text.find(url), std::string::npos) << text;
    EXPECT_EQ(Output("pdfinfo '" + pdf + "' | grep -c '^Pages: *1$'"), "1\n");
    EXPECT_EQ(QrCodesOnFirstPage(dir, pdf), "QR-Code:" + url + "\n");

    EXPECT_EQ(RunCli({"poster", erg, pdf}).status, 2);
    r = RunCli({"poster", erg, dir.File("lang.pdf"), "--url", "http://x/" + std::string(5000, 'a')});
    EXPECT_EQ(r.status, 1);
    EXPECT_NE(r.err.find("zu lang"), std::string::npos) << r.err;
    EXPECT_FALSE(std::filesystem::exists(dir.File("lang.pdf")));
}

TEST(Notice, TheCodeIsDrawnIntoTheDocument) {
    const TQrCode code = EncodeQr("http://a.b/");
    ASSERT_GT(code.Width, 0);
    auto c = ExportCompetition();
    auto doc = BuildPoster(*c, "http://a.b/");
    ASSERT_NE(doc, nullptr);
    ASSERT_EQ(doc->PageCount(), 1);
    // Filled rectangles cover exactly the dark modules: their areas add up.
    long long area = 0, dark = 0;
    for (const TBvItem& item : *doc->Page(1))
        if (item.Kind == ikRect && static_cast<const TBvRectItem&>(item).Filled)
            area += static_cast<long long>(item.Right - item.Left) * (item.Bottom - item.Top);
    for (bool d : code.Dark)
        dark += d;
    const long long module = 1300 / (code.Width + 8);
    EXPECT_EQ(area, dark * module * module);
    EXPECT_EQ(BuildPoster(*c, ""), nullptr);
}

TEST(PrintHead, ResultListCarriesTheQrCodeOnlyWhenAsked) {
    TempDir dir;
    const std::string erg = SmallCompetitionFile(dir, "Tag1.ERG", false);
    const std::string url = "https://live.example.org/tag1/";
    ASSERT_EQ(RunCli({"print", erg, dir.File("qr.pdf"), "--qr", url}).status, 0);
    EXPECT_EQ(QrCodesOnFirstPage(dir, dir.File("qr.pdf")), "QR-Code:" + url + "\n");
    ASSERT_EQ(RunCli({"print", erg, dir.File("ohne.pdf")}).status, 0);
    EXPECT_EQ(QrCodesOnFirstPage(dir, dir.File("ohne.pdf")), "");

    // The list starts below the code, so that the code covers nothing.
    auto c = ExportCompetition();
    TVmPrintJob job(c.get());
    job.QrText = url;
    TVmReport& r = job.Build(rkErgebnis, TPrintOptions{}, TOrientation::Portrait);
    std::int32_t codeBottom = 0, firstBelow = 1 << 30;
    for (const TBvItem& item : *r.Page(1))
        if (item.Kind == ikRect && static_cast<const TBvRectItem&>(item).Filled)
            codeBottom = std::max(codeBottom, item.Bottom);
    for (const TBvItem& item : *r.Page(1))
        if (item.Kind == ikText && item.Top >= r.MarginTop + 300) firstBelow = std::min(firstBelow, item.Top);
    EXPECT_GT(codeBottom, 0);
    EXPECT_GE(firstBelow, codeBottom);
}

// Automatic orientation measures the lines before building; it must choose what the
// list itself measures once built, for every layout that changes the lines.
TEST(PrintOnce, MeasuredWidthIsTheBuiltListsWidth) {
    struct TCase {
        const char* name;
        bool team;
        int disciplines;
        bool hlw;
        bool twoLines;
        bool records;
        bool allAgeClasses;
    };
    const TCase cases[] = {
        {"single, 2 disciplines", false, 2, false, false, false, true},
        {"team, HLW", true, 2, true, false, false, true},
        {"5 disciplines (landscape)", false, 5, true, false, true, true},
        {"two lines", false, 5, false, true, false, true},
        {"one age class", false, 4, false, false, false, false},
        {"no discipline: names decide", false, 0, false, false, false, true},
    };
    int landscape = 0;
    for (const TCase& t : cases) {
        SCOPED_TRACE(t.name);
        auto c = MakeCompetition(t.team, 12, t.disciplines, t.hlw);
        if (!t.team) c->At(0)->At(3)->SetVorname("Maximiliane-Josefine");
        TPrintOptions o;
        o.twoLines = t.twoLines;
        o.recordMarks = t.records;
        o.allAgeClasses = t.allAgeClasses;
        TVmPrintJob job(c.get(), 0);
        const TVmReport& built = job.Build(rkErgebnis, o, TOrientation::Portrait);
        EXPECT_EQ(WidestResultListLine(*c, o, 0), built.WidestListLine());

        TVmPrintJob autoJob(c.get(), 0);
        const TVmReport& chosen = autoJob.Build(rkErgebnis, o, TOrientation::Auto);
        EXPECT_EQ(autoJob.Landscape(), built.WidestListLine() > job.PortraitLineSpace());
        EXPECT_EQ(chosen.PageWidth > chosen.PageHeight, autoJob.Landscape());
        landscape += autoJob.Landscape();
    }
    // Both outcomes occur among the cases.
    EXPECT_GT(landscape, 0);
    EXPECT_LT(landscape, static_cast<int>(std::size(cases)));
}

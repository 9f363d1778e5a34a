// Certificates: who gets one, the layouts, templates with the calibration shift and
// shrinking, faulty templates, and velmora-cli print --list certificates.
#include "print/VmUrkunde.h"

#include "file/VmErg.h"
#include "model/VmBasis.h"
#include "output/PdfDevice.h"
#include "support/Builders.h"
#include "support/TestSupport.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <filesystem>
#include <fstream>

using namespace vm;

namespace {

std::vector<const TBvTextItem*> Texts(const TBvPage& page) {
    std::vector<const TBvTextItem*> out;
    for (const TBvItem& item : page)
        if (item.Kind == ikText) out.push_back(static_cast<const TBvTextItem*>(&item));
    return out;
}

const TBvTextItem* FindText(const TBvPage& page, const std::string& text) {
    for (const TBvTextItem* t : Texts(page))
        if (t->Text == text) return t;
    return nullptr;
}

bool HasTextContaining(const TBvPage& page, const std::string& part) {
    for (const TBvTextItem* t : Texts(page))
        if (t->Text.find(part) != std::string::npos) return true;
    return false;
}

int CountKind(const TBvPage& page, std::uint8_t kind) {
    int n = 0;
    for (const TBvItem& item : page)
        n += item.Kind == kind;
    return n;
}

double PdfMeasure(std::int16_t face, std::uint8_t style, std::int16_t height,
                  std::string_view text) {
    return PdfTextWidth(PdfFontNumber(face, style), OemToAnsi(text), height, style);
}

// Two age classes ranked by points. In "AK 10": A 50, B 40, C and D 30 (a tie on
// place 3), E 20, F 60 but "außer Konkurrenz", G without points. In "AK 12": H 10.
std::unique_ptr<TWettkampf> Ranked() {
    auto c = vmtest::Competition();
    c->Header.Veranstaltung.Set("Bezirksmeisterschaft");
    c->Header.Veranstaltungsstaette.Set("Hallenbad Nord");
    c->Header.Datum.Set("12.05.2026");
    TAltersklasse& a = vmtest::AddAgeClass(*c, "AK 10", 2016, 2017, akHLW, 1);
    vmtest::AddEntrant(a, "A", 50, "BY");
    vmtest::AddEntrant(a, "B", 40);
    vmtest::AddEntrant(a, "C", 30);
    vmtest::AddEntrant(a, "D", 30);
    vmtest::AddEntrant(a, "E", 20);
    vmtest::AddEntrant(a, "F", 60, "", tnAusserKonkurrenz);
    vmtest::AddEntrant(a, "G", 0);
    TAltersklasse& b = vmtest::AddAgeClass(*c, "AK 12", 2014, 2015, akHLW, 1);
    vmtest::AddEntrant(b, "H", 10);
    return c;
}

std::vector<std::string> RecipientNames(const TWettkampf& c, const TUrkAuswahl& a) {
    std::vector<std::string> out;
    for (const TUrkEmpfaenger& e : UrkEmpfaenger(c, a))
        out.emplace_back(e.entry->Name());
    return out;
}

int RowOf(const TAltersklasse& ac, const std::string& name) {
    for (int i = 0; i < ac.Count(); ++i)
        if (ac.At(i)->Name() == name) return i;
    return -1;
}

} // namespace

TEST(UrkundeTest, RecipientsArePlacesOneToNWithTiesButNeverOutOfCompetitionOrWithoutPoints) {
    auto c = Ranked();
    using Names = std::vector<std::string>;
    TUrkAuswahl a;
    EXPECT_EQ(RecipientNames(*c, a), (Names{"A", "B", "C", "D", "H"}));
    a.places = 1;
    EXPECT_EQ(RecipientNames(*c, a), (Names{"A", "H"}));
    a.places = 99;
    a.ageClasses = {0};
    EXPECT_EQ(RecipientNames(*c, a), (Names{"A", "B", "C", "D", "E"}));
    a.ageClasses = {1};
    EXPECT_EQ(RecipientNames(*c, a), (Names{"H"}));

    // Chosen one by one, "außer Konkurrenz" and without points get one as well.
    const TAltersklasse& ac = *c->At(0);
    TUrkAuswahl one;
    one.einzeln = true;
    one.ageClass = 0;
    one.rows = {RowOf(ac, "F"), RowOf(ac, "G"), 99};
    EXPECT_EQ(RecipientNames(*c, one), (Names{"F", "G"}));
}

TEST(UrkundeTest, OnePagePerRecipientInEveryLayout) {
    auto c = Ranked();
    struct Case {
        TUrkLayout layout;
        bool frame;   // frame and title block
        bool heading; // "Urkunde"
    };
    for (const Case& k :
         {Case{TUrkLayout::Klassisch, true, true}, Case{TUrkLayout::Modern, false, true},
          Case{TUrkLayout::Vorgedruckt, false, false}}) {
        SCOPED_TRACE(UrkLayoutName(k.layout));
        for (bool ohne : {false, true}) {
            TVmPrintJob job(c.get());
            TUrkOptions u;
            u.layout = k.layout;
            u.ohnePlatzUndPunkte = ohne;
            u.measure = PdfMeasure;
            const TVmReport& r = job.BuildCertificates(TPrintOptions{}, TUrkAuswahl{}, u);
            EXPECT_EQ(r.Kind, rkUrkunde);
            EXPECT_EQ(r.Title, "Vm - Ausdruck der Teilnehmer");
            ASSERT_EQ(r.PageCount(), 5);
            // Page 4 is D, on place 3 with 30 points.
            const TBvPage& p = *r.Page(4);
            EXPECT_TRUE(HasTextContaining(p, "VD D"));
            EXPECT_TRUE(HasTextContaining(p, "AK 10"));
            EXPECT_TRUE(HasTextContaining(p, "Hallenbad Nord"));
            EXPECT_TRUE(HasTextContaining(p, "12.05.2026"));
            EXPECT_EQ(HasTextContaining(p, "3. Platz"), !ohne);
            EXPECT_EQ(HasTextContaining(p, "30,00"), !ohne);
            EXPECT_EQ(FindText(p, "Velbund-Verband e.V.") != nullptr, k.frame);
            EXPECT_EQ(CountKind(p, ikRect) >= 2, k.frame || k.layout == TUrkLayout::Modern);
            EXPECT_EQ(FindText(p, "Urkunde") != nullptr, k.heading);
            if (k.layout == TUrkLayout::Vorgedruckt) {
                EXPECT_EQ(CountKind(p, ikRect), 0);
            }
            // The heading of the classic layout is the lists' title block.
            EXPECT_EQ(HasTextContaining(p, "Bezirksmeisterschaft"), true);
        }
    }
}

TEST(UrkundeTest, TemplateFieldsSitAtTheirPositionsWithTheCalibrationShift) {
    auto c = Ranked();
    const std::string text = "# test\n"
                             "Papier; A5; quer\n"
                             "Feld; 20; 30; sans-serif; 12; fett; links; 0; {Vorname} {Name}\n"
                             "Feld; 105; 50,5; serif; 10; kursiv; mitte; 80; {Altersklasse}\n"
                             "Feld; 190; 60; fixed; 10; normal; rechts; 40; {Platz}. Platz\n"
                             "Feld; 20; 70; serif; 10; normal; links; 0; {Disziplin2} {Zeit2}\n";
    TUrkVorlage v;
    TUrkFehler e;
    ASSERT_TRUE(ParseUrkVorlage(text, v, e)) << e.Text();
    TVmPrintJob job(c.get());
    TUrkOptions u;
    u.vorlage = &v;
    u.shiftX = 15;  // 1,5 mm to the right
    u.shiftY = -20; // 2 mm up
    u.measure = PdfMeasure;
    TUrkAuswahl a;
    a.places = 1;
    a.ageClasses = {0};
    const TVmReport& r = job.BuildCertificates(TPrintOptions{}, a, u);
    EXPECT_EQ(r.PageWidth, 2100);
    EXPECT_EQ(r.PageHeight, 1480);
    ASSERT_EQ(r.PageCount(), 1);
    const TBvPage& p = *r.Page(1);
    // The discipline line of a discipline the age class does not have stays out.
    ASSERT_EQ(Texts(p).size(), 3u);

    const TBvTextItem* name = FindText(p, "VA A");
    ASSERT_TRUE(name);
    EXPECT_EQ(name->Left, 200 + 15);
    EXPECT_EQ(name->Top, 300 - 20);
    EXPECT_EQ(name->Size, UrkFontHeight(120));
    EXPECT_EQ(name->Size, 42);
    EXPECT_EQ(name->FontIndex, fiArial);
    EXPECT_EQ(name->Style, fsBold);
    EXPECT_TRUE(name->Alignment & taLeft);

    const TBvTextItem* ak = FindText(p, "AK 10");
    ASSERT_TRUE(ak);
    EXPECT_EQ(ak->Left, 1050 - 400 + 15);
    EXPECT_EQ(ak->Right, 1050 + 400 + 15);
    EXPECT_EQ(ak->Top, 505 - 20);
    EXPECT_EQ(ak->FontIndex, fiTimes);
    EXPECT_TRUE(ak->Alignment & taHCenter);

    const TBvTextItem* place = FindText(p, "1. Platz");
    ASSERT_TRUE(place);
    EXPECT_EQ(place->Right, 1900 + 15);
    EXPECT_EQ(place->Left, 1900 - 400 + 15);
    EXPECT_EQ(place->FontIndex, fiCourier);
    EXPECT_TRUE(place->Alignment & taRight);

    // The pre-printed option drops the place field of a template as well.
    u.ohnePlatzUndPunkte = true;
    const TVmReport& r2 = job.BuildCertificates(TPrintOptions{}, a, u);
    EXPECT_FALSE(HasTextContaining(*r2.Page(1), "Platz"));
}

TEST(UrkundeTest, LongNamesShrinkWithinTheirWidth) {
    auto c = Ranked();
    TAltersklasse& ac = *c->At(0);
    ac.At(RowOf(ac, "B"))->SetName("Wolkenstein-Hohenberg");
    TUrkVorlage v;
    v.felder.push_back(
        {1050, 500, TUrkFont::Serif, 300, fsBold, TUrkAlign::Centre, 500, "{Vorname} {Name}"});
    TVmPrintJob job(c.get());
    TUrkOptions u;
    u.vorlage = &v;
    u.measure = PdfMeasure;
    TUrkAuswahl a;
    a.places = 2;
    a.ageClasses = {0};
    const TVmReport& r = job.BuildCertificates(TPrintOptions{}, a, u);
    ASSERT_EQ(r.PageCount(), 2);
    const TBvTextItem* shortName = Texts(*r.Page(1)).at(0);
    const TBvTextItem* longName = Texts(*r.Page(2)).at(0);
    EXPECT_EQ(shortName->Size, UrkFontHeight(300));
    EXPECT_LT(longName->Size, UrkFontHeight(300));
    EXPECT_LE(PdfMeasure(longName->FontIndex, longName->Style, longName->Size, longName->Text),
              500.0);
    // One step larger would not fit: shrunk no further than needed.
    EXPECT_GT(PdfMeasure(longName->FontIndex, longName->Style, longName->Size + 1, longName->Text),
              500.0);
    EXPECT_EQ(longName->Right - longName->Left, 500);
    EXPECT_TRUE(longName->Alignment & taShrink);
}

TEST(UrkundeTest, FaultyTemplateLinesAreRefusedWithTheirLineNumber) {
    const std::string good = "Papier; A4; hoch\nFeld; 10; 10; serif; 12; normal; links; 0; x\n";
    struct Case {
        std::string text;
        int line;
        std::string part;
    };
    const std::vector<Case> cases = {
        {"Papier; A4; hoch\n\n# c\nFeld; 10; 10; serif; 12; normal; links; 0; {Nmae}\n", 4,
         "{Nmae}"},
        {"Feld; 10; 10; serif; 12; normal; links; 0; {Name\n", 1, "ohne"},
        {"Feld; 10; 10; serif; 12; normal; links; 0; {Zeit6}\n", 1, "unbekannter Platzhalter"},
        {"Feld; zehn; 10; serif; 12; normal; links; 0; x\n", 1, "x ist keine Zahl"},
        {"Feld; 10; -3; serif; 12; normal; links; 0; x\n", 1, "y ist keine Zahl"},
        {"Feld; 10; 10; gothic; 12; normal; links; 0; x\n", 1, "Schrift"},
        {"Feld; 10; 10; serif; 0; normal; links; 0; x\n", 1, "Punkt"},
        {"Feld; 10; 10; serif; 12; schattiert; links; 0; x\n", 1, "Stil"},
        {"Feld; 10; 10; serif; 12; normal; oben; 0; x\n", 1, "Ausrichtung"},
        {"Feld; 10; 10; serif; 12; normal; links; x\n", 1, "neun Angaben"},
        {"Papier; B7; hoch\n", 1, "Papierformat"},
        {"Papier; A4; schief\n", 1, "hoch oder quer"},
        {"Papier; A4; hoch\nPapier; A4; quer\n", 2, "schon"},
        {"Linie; 1; 2; 3; 4\n", 1, "unbekannte Angabe"},
        {"Papier; A5; hoch\nFeld; 160; 10; serif; 12; normal; links; 0; x\n", 2,
         "au\xC3\x9F"
         "erhalb"},
        {"Feld; 10; 10; serif; 12; normal; links; 0; \xE2\x82\xAC\n", 1, "Zeichen"},
        {"Feld; 10; 10; serif; 12; normal; links; 0; \xFF\n", 1, "UTF-8"},
    };
    for (const Case& k : cases) {
        SCOPED_TRACE(k.text);
        TUrkVorlage v;
        TUrkFehler e;
        ASSERT_TRUE(ParseUrkVorlage(good, v, e));
        const TUrkVorlage before = v;
        EXPECT_FALSE(ParseUrkVorlage(k.text, v, e));
        EXPECT_EQ(e.line, k.line);
        EXPECT_NE(e.Text().find("Zeile " + std::to_string(k.line) + ": "), std::string::npos);
        EXPECT_NE(e.message.find(k.part), std::string::npos) << e.message;
        EXPECT_EQ(v, before);
    }
}

TEST(UrkundeTest, TemplatesSurviveSavingAndLoading) {
    vmtest::TempDir dir;
    TUrkVorlage v = BuiltInVorlage(TUrkLayout::Modern, true, 2970, 2100);
    v.felder.push_back({123, 456, TUrkFont::Fixed, 105, fsBold | fsItalic, TUrkAlign::Right, 305,
                        "Gr\x81\xE1"
                        "e an {Mannschaft}; {Zusatz}"});
    EXPECT_TRUE(v.landscape);
    EXPECT_EQ(v.paper, "A4");
    const std::string file = dir.File("t.urk");
    ASSERT_TRUE(SaveUrkVorlage(file, v));
    TUrkVorlage back;
    TUrkFehler e;
    ASSERT_TRUE(LoadUrkVorlage(file, back, e)) << e.Text();
    EXPECT_EQ(back, v);
    EXPECT_FALSE(LoadUrkVorlage(dir.File("fehlt.urk"), back, e));
    EXPECT_EQ(e.line, 0);
}

TEST(UrkundeTest, TestPrintLaysAMillimetreGridUnderTheCertificate) {
    auto c = Ranked();
    TVmPrintJob job(c.get());
    TUrkOptions u;
    u.layout = TUrkLayout::Vorgedruckt;
    u.raster = true;
    u.limit = 1;
    u.shiftX = 7;
    const TVmReport& r = job.BuildCertificates(TPrintOptions{}, TUrkAuswahl{}, u);
    ASSERT_EQ(r.PageCount(), 1);
    const TBvPage& p = *r.Page(1);
    // A line every millimetre across and down the A4 sheet, moved with the shift.
    EXPECT_EQ(CountKind(p, ikLine), 209 + 296);
    const auto* first = static_cast<const TBvItem*>(&*p.begin());
    EXPECT_EQ(first->Kind, ikLine);
    EXPECT_EQ(first->Left, 10 + 7);
    EXPECT_TRUE(FindText(p, "100"));
}

// ---- velmora-cli -------------------------------------------------------------------

namespace {

bool Installed(const char* tool) {
    return std::system(("command -v " + std::string(tool) + " >/dev/null 2>&1").c_str()) == 0;
}

std::string PdfText(const std::string& pdf) {
    const std::string txt = pdf + ".txt";
    if (std::system(("pdftotext -layout '" + pdf + "' '" + txt + "'").c_str()) != 0) return {};
    std::ifstream in(txt);
    return std::string(std::istreambuf_iterator<char>(in), {});
}

} // namespace

TEST(UrkundeCommandTest, LayoutsAndTemplatesMakeValidPdfs) {
    vmtest::TempDir dir;
    auto c = Ranked();
    const std::string erg = dir.File("t.ERG");
    ASSERT_TRUE(Save(erg, *c, TSaveFormat::Ergebnis));
    const std::string urk = dir.File("v.urk");
    std::ofstream(urk) << "Papier; A5; quer\n"
                          "Feld; 105; 40; serif; 24; fett; mitte; 150; {Vorname} {Name}\n"
                          "Feld; 105; 60; sans-serif; 14; normal; mitte; 0; {Platz}. Platz in "
                          "{Altersklasse}\n";
    const bool qpdf = Installed("qpdf"), pdftotext = Installed("pdftotext");
    struct Case {
        std::vector<std::string> options;
        int pages;
        std::vector<std::string> texts;
        std::vector<std::string> absent;
    };
    const std::vector<Case> cases = {
        {{}, 5, {"Urkunde", "VA A", "belegte den 1. Platz", "mit 50,00 Punkten"}, {"VF F"}},
        {{"--layout", "classic", "--places", "1"}, 2, {"Velbund-Verband e.V.", "VH H"}, {"VB B"}},
        {{"--layout", "modern", "--age-class", "AK 12"}, 1, {"Urkunde", "VH H"}, {"VA A"}},
        {{"--layout", "preprinted", "--preprinted", "--age-class", "AK 12", "--age-class=AK 10"},
         5,
         {"VH H", "VD D"},
         {"Urkunde", "Platz", "Punkten", "Velbund"}},
        {{"--template", urk}, 5, {"VA A", "1. Platz in AK 10"}, {"Urkunde"}},
    };
    int n = 0;
    for (const Case& k : cases) {
        std::string label;
        for (const std::string& o : k.options)
            label += o + " ";
        SCOPED_TRACE(label);
        const std::string pdf = dir.File("u" + std::to_string(++n) + ".pdf");
        std::vector<std::string> args = {"print", erg, pdf, "--list", "certificates"};
        args.insert(args.end(), k.options.begin(), k.options.end());
        const auto res = vmtest::RunCli(args);
        ASSERT_EQ(res.status, 0) << res.err;
        if (qpdf) {
            EXPECT_EQ(std::system(("qpdf --check '" + pdf + "' >/dev/null").c_str()), 0);
            EXPECT_EQ(std::system(("test \"$(qpdf --show-npages '" + pdf +
                                   "')\" = " + std::to_string(k.pages))
                                      .c_str()),
                      0);
        }
        if (!pdftotext) continue;
        const std::string text = PdfText(pdf);
        for (const std::string& t : k.texts)
            EXPECT_NE(text.find(t), std::string::npos) << t << "\n" << text;
        for (const std::string& t : k.absent)
            EXPECT_EQ(text.find(t), std::string::npos) << t;
    }
}

TEST(UrkundeCommandTest, BadInputWritesNothing) {
    vmtest::TempDir dir;
    auto c = Ranked();
    const std::string erg = dir.File("t.ERG");
    ASSERT_TRUE(Save(erg, *c, TSaveFormat::Ergebnis));
    const std::string urk = dir.File("bad.urk");
    std::ofstream(urk) << "Papier; A4; hoch\nFeld; 1; 2; serif; 12; normal; links; 0; {Nme}\n";
    const std::string pdf = dir.File("out.pdf");
    std::ofstream(pdf) << "old";

    auto res = vmtest::RunCli({"print", erg, pdf, "--list", "certificates", "--template", urk});
    EXPECT_EQ(res.status, 1);
    EXPECT_NE(res.err.find("Zeile 2: unbekannter Platzhalter"), std::string::npos) << res.err;
    res = vmtest::RunCli({"print", erg, pdf, "--list", "certificates", "--layout", "bunt"});
    EXPECT_EQ(res.status, 2);
    res = vmtest::RunCli({"print", erg, pdf, "--list", "certificates", "--age-class", "AK 99"});
    EXPECT_EQ(res.status, 1);
    res = vmtest::RunCli({"print", erg, pdf, "--list", "certificates", "--places", "0"});
    EXPECT_EQ(res.status, 2);
    std::ifstream in(pdf);
    EXPECT_EQ(std::string(std::istreambuf_iterator<char>(in), {}), "old");
}

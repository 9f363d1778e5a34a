// Whole-command tests of the printed lists: velmora-cli print and stats, and the
// PDF files checked with qpdf and pdftotext where they are installed.
#include "file/VmErg.h"
#include "print/VmDruck.h"
#include "print/VmStat.h"
#include "support/Builders.h"
#include "support/TestSupport.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <regex>

using namespace vm;
using vmtest::RunCli;

namespace {

bool Installed(const char* tool) {
    return std::system(("command -v " + std::string(tool) + " >/dev/null 2>&1").c_str()) == 0;
}

// Runs of blanks become one blank (pdftotext does not keep every blank of a line).
std::string Squeeze(const std::string& s) {
    return std::regex_replace(s, std::regex(" +"), " ");
}

// A competition with HLW scoring, heats and HLW start times, saved as a result file.
std::string SaveFixture(const vmtest::TempDir& dir, bool team) {
    auto c = vmtest::MakeCompetition(team, 23, 2, true);
    TAltersklasse& ac = *c->At(0);
    for (int k = 0; k < ac.Count(); ++k) {
        TTeilnehmer& p = *ac.At(k);
        p.Lauf = {static_cast<std::int16_t>(k / 5 + 1), static_cast<std::int16_t>(k / 5 + 1), 0, 0,
                  0};
        p.Bahn = {static_cast<std::int16_t>(k % 5 + 1), static_cast<std::int16_t>(5 - k % 5), 0, 0,
                  0};
        const int minutes = 15 * (k / 5);
        p.Startzeit = static_cast<std::int16_t>((8 + minutes / 60) * 100 + minutes % 60);
        p.HLWBahn = static_cast<std::int16_t>(k % 5 + 1);
        p.HLWLauf = static_cast<std::int16_t>(k + 1);
        p.HLWPunkte = 20000;
        p.SetFlag(tnStartberechtigt, k < 10);
    }
    RecalcAgeClass(ac);
    const std::string file = dir.File(team ? "team.ERG" : "einzel.ERG");
    EXPECT_TRUE(Save(file, *c, TSaveFormat::Ergebnis));
    return file;
}

// "velmora-cli print ERG PDF options…".
vmtest::CliResult RunPrint(const std::string& erg, const std::string& pdf,
                           const std::vector<std::string>& options) {
    std::vector<std::string> args = {"print", erg, pdf};
    args.insert(args.end(), options.begin(), options.end());
    return RunCli(args);
}

std::string Label(std::string label, const std::vector<std::string>& options) {
    for (const std::string& o : options)
        label += " " + o;
    return label;
}

struct ListCase {
    std::vector<std::string> options;
    std::vector<std::string> texts; // expected in the text of the PDF (blanks squeezed)
};

TEST(PrintCommandTest, EveryListIsAValidPdfWithItsTexts) {
    const bool qpdf = Installed("qpdf"), pdftotext = Installed("pdftotext");
    vmtest::TempDir dir;
    const std::vector<ListCase> cases = {
        {{"--list", "result"},
         {"Ergebnis", "Testmeisterschaft", "Wettkampfdaten:", "Seite 1", "Pl. GesamtP. Glied."}},
        {{"--list", "result", "--records", "--two-lines", "--medal-table", "--disciplines",
          "--new-page"},
         {"neue Bestleistung aufgestellt", "Statistik: Medaillenspiegel",
          "Pl. Abk. TN Go Si Br Gliederung", "50m Hindernisschwimmen", "Herz-Lungen-Wiederbelebung",
          "Seite 3"}},
        {{"--list", "result", "--no-head", "--no-legend", "--no-footer", "--no-empty-lines",
          "--landscape"},
         {"Altersklasse AK 13/14w (1990 - 1991)"}},
        {{"--list", "qualification", "--gliederungen"},
         {"Qualifikation und Startberechtigung", "Nr. GesamtP. Gl. Start Teilnehmer",
          "Statistik: Gliederungen", "Nr. Abk. Gliederung TN GesamtP", "ja", "nein"}},
        {{"--list", "heats"}, {"Laufeinteilung", "Lauf* Bahn* Teilnehmer", "Disz* Lauf und Bahn"}},
        {{"--list", "heats", "--all-disciplines", "--gliederungen"},
         {"Disz1 Disz2 Disz3 Disz4 Disz5", "Lauf 5 5 0 0 0"}},
        {{"--list", "hlw"},
         {"HLW-Startliste", "Start Bahn Nr Teilnehmer", "08:00 1 0001", "09:00 3 0023"}},
        {{"--list", "statistics"}, {"Statistik: Gliederungen", "BY"}},
        {{"--list", "statistics", "--stats-index", "1"},
         {"Statistik: Medaillenspiegel", "Goldmedaille"}},
        {{"--list", "statistics", "--stats-index", "2"},
         {"Statistik: punktbeste Gliederung", "DPunkte"}},
        {{"--list", "statistics", "--stats-index", "3", "--no-legend"},
         {"Statistik: Kranz-Wertung", "Pl. KRW Abk."}},
    };
    for (bool team : {false, true}) {
        const std::string erg = SaveFixture(dir, team);
        for (const ListCase& k : cases) {
            const std::string label = Label(team ? "team" : "einzel", k.options);
            const std::string pdf = dir.File("out.pdf");
            const auto r = RunPrint(erg, pdf, k.options);
            ASSERT_EQ(r.status, 0) << label << "\n" << r.err;
            const std::string bytes = vmtest::ReadFileBytes(pdf);
            ASSERT_EQ(bytes.rfind("%PDF-", 0), 0u) << label;
            const bool landscape = bytes.find("/MediaBox [0 0 842 595]") != std::string::npos;
            EXPECT_EQ(landscape, label.find("--landscape") != std::string::npos) << label;
            if (qpdf) {
                EXPECT_EQ(std::system(("qpdf --check '" + pdf + "' >/dev/null 2>&1").c_str()), 0)
                    << label;
            }
            if (!pdftotext) continue;
            const std::string txt = dir.File("out.txt");
            ASSERT_EQ(std::system(("pdftotext -layout '" + pdf + "' '" + txt + "'").c_str()), 0)
                << label;
            const std::string text = Squeeze(vmtest::ReadFileBytes(txt));
            for (const std::string& t : k.texts)
                EXPECT_NE(text.find(Squeeze(t)), std::string::npos) << label << ": " << t;
            EXPECT_EQ(text.find(team ? "Mannschaftswettbewerb" : "Einzelwettbewerb") !=
                          std::string::npos,
                      label.find("--no-head") == std::string::npos)
                << label;
            EXPECT_EQ(text.find("Seite 1") != std::string::npos,
                      label.find("--no-footer") == std::string::npos)
                << label;
        }
    }
    if (!qpdf || !pdftotext)
        GTEST_SKIP() << "qpdf or pdftotext not installed; only the commands were checked";
}

// An age class with four disciplines and HLW: its lines are 159 condensed characters,
// too wide for the portrait page. Automatic orientation prints it on landscape, where
// pdftotext finds every line up to its last column; forced portrait cuts them off.
TEST(PrintCommandTest, OrientationFollowsTheWidestLine) {
    vmtest::TempDir dir;
    auto c = vmtest::MakeCompetition(false, 12, 4, true);
    TAltersklasse& ac = *c->At(0);
    for (int k = 0; k < ac.Count(); ++k) {
        TTeilnehmer& p = *ac.At(k);
        p.Zeit[2] = static_cast<TZeit>(3000 + 10 * k);
        p.Zeit[3] = static_cast<TZeit>(3300 + 10 * k);
        p.HLWPunkte = 20000;
    }
    RecalcAgeClass(ac);
    const std::string erg = dir.File("vier.ERG");
    ASSERT_TRUE(Save(erg, *c, TSaveFormat::Ergebnis));
    const std::string header = ResultLine(*c, ac, 0, {});
    ASSERT_EQ(header.size(), 159u);

    struct Case {
        std::vector<std::string> options;
        bool landscape;
    } cases[] = {{{}, true},
                 {{"--orientation", "auto"}, true},
                 {{"--orientation", "portrait"}, false},
                 {{"--orientation", "landscape"}, true},
                 {{"--landscape"}, true}};
    for (const Case& k : cases) {
        const std::string label = Label("print", k.options);
        const std::string pdf = dir.File("out.pdf");
        const auto r = RunPrint(erg, pdf, k.options);
        ASSERT_EQ(r.status, 0) << label << "\n" << r.err;
        const std::string bytes = vmtest::ReadFileBytes(pdf);
        EXPECT_EQ(bytes.find("/MediaBox [0 0 842 595]") != std::string::npos, k.landscape) << label;
        if (!Installed("pdftotext")) continue;
        const std::string txt = dir.File("out.txt");
        ASSERT_EQ(std::system(("pdftotext -layout '" + pdf + "' '" + txt + "'").c_str()), 0);
        const std::string text = Squeeze(vmtest::ReadFileBytes(txt));
        for (int n = 0; n <= ac.Count(); ++n) {
            std::string line = Squeeze(ResultLine(*c, ac, n, {}));
            line.erase(0, line.find_first_not_of(' '));
            EXPECT_EQ(text.find(line) != std::string::npos, k.landscape) << label << ": " << line;
        }
    }

    const std::string pdf = dir.File("nie.pdf");
    EXPECT_EQ(RunCli({"print", erg, pdf, "--orientation", "quer"}).status, 2);
    EXPECT_EQ(RunCli({"print", erg, pdf, "--orientation", "portrait", "--landscape"}).status, 2);
    EXPECT_FALSE(std::filesystem::exists(pdf));
}

TEST(PrintCommandTest, SaveAsPdfWritesTheResultListOnLandscapeA4) {
    vmtest::TempDir dir;
    const std::string erg = SaveFixture(dir, true);
    const std::string pdf = dir.File("ergebnis.pdf");
    const auto r = RunCli({"save-as", erg, pdf, "--type", "pdf"});
    ASSERT_EQ(r.status, 0) << r.err;
    const std::string bytes = vmtest::ReadFileBytes(pdf);
    EXPECT_NE(bytes.find("/MediaBox [0 0 842 595]"), std::string::npos);
    EXPECT_NE(bytes.find("/Subject(Testmeisterschaft - Mannschaftswettbewerb)"), std::string::npos);
    EXPECT_NE(bytes.find("/Author(Velbund Testverband)"), std::string::npos);
    if (Installed("qpdf")) {
        EXPECT_EQ(std::system(("qpdf --check '" + pdf + "' >/dev/null 2>&1").c_str()), 0);
    }
}

TEST(PrintCommandTest, BadInputIsRefusedAndWritesNothing) {
    vmtest::TempDir dir;
    const std::string erg = SaveFixture(dir, false);
    const std::string pdf = dir.File("x.pdf");
    EXPECT_EQ(RunCli({"print", erg, pdf, "--list", "urkunden"}).status, 2);
    EXPECT_EQ(RunCli({"print", erg, pdf, "--stats-index", "4"}).status, 2);
    EXPECT_EQ(RunCli({"print", erg}).status, 2);
    EXPECT_EQ(RunCli({"print", erg, pdf, "--age-class", "AK 99"}).status, 1);
    EXPECT_EQ(RunCli({"print", dir.File("fehlt.ERG"), pdf}).status, 1);
    EXPECT_FALSE(std::filesystem::exists(pdf));
    EXPECT_EQ(RunCli({"stats", erg, "--mode", "2"}).status, 2);
    // An unwritable target fails with the message and leaves the input alone.
    const std::string before = vmtest::ReadFileBytes(erg);
    const auto r = RunCli({"print", erg, dir.File("kein/ordner/x.pdf")});
    EXPECT_EQ(r.status, 1);
    EXPECT_NE(r.err.find("Fehler beim Speichern der Datei."), std::string::npos);
    EXPECT_EQ(vmtest::ReadFileBytes(erg), before);
}

TEST(PrintCommandTest, AgeClassOptionPrintsOnlyThatClass) {
    if (!Installed("pdftotext")) GTEST_SKIP() << "pdftotext not installed";
    vmtest::TempDir dir;
    auto c = vmtest::MakeCompetition(false, 3);
    auto other = vmtest::MakeAgeClass("AK 15/16w", 1, false, 1988);
    vmtest::AddEntry(*other, {"Andere", "Anna", "1988", "BY", 2700});
    c->InsertAgeClass(std::move(other));
    const std::string erg = dir.File("zwei.ERG");
    ASSERT_TRUE(Save(erg, *c, TSaveFormat::Ergebnis));
    const std::string pdf = dir.File("ak.pdf"), txt = dir.File("ak.txt");
    ASSERT_EQ(RunCli({"print", erg, pdf, "--age-class", "AK 15/16w"}).status, 0);
    ASSERT_EQ(std::system(("pdftotext -layout '" + pdf + "' '" + txt + "'").c_str()), 0);
    const std::string text = vmtest::ReadFileBytes(txt);
    EXPECT_NE(text.find("AK 15/16w"), std::string::npos);
    EXPECT_EQ(text.find("AK 13/14w"), std::string::npos);
}

TEST(StatsCommandTest, PrintsHeaderAndRowsOfTheMode) {
    vmtest::TempDir dir;
    const std::string erg = SaveFixture(dir, false);
    auto c = Load(erg);
    ASSERT_NE(c, nullptr);
    for (int mode : {0, 1, 3, 4}) {
        ComputeStatistics(*c, mode);
        std::string expected;
        for (int row = 0; row <= c->Gliederungen.Count(); ++row)
            expected += OemToUtf8(StatLine(c->Gliederungen, mode, row)) + "\n";
        const auto r = RunCli({"stats", erg, "--mode", std::to_string(mode)});
        EXPECT_EQ(r.status, 0) << r.err;
        EXPECT_EQ(r.out, expected) << mode;
        EXPECT_EQ(c->Gliederungen.Count(), 4);
    }
}

} // namespace

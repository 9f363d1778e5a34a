#include "file/VmErg.h"
#include "model/VmVorg.h"
#include "support/TestSupport.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <sstream>

namespace vm {
namespace {

std::vector<std::vector<std::string>> GridOf(const std::string& info, const std::string& title) {
    std::istringstream in(info);
    std::string line;
    std::vector<std::vector<std::string>> rows;
    bool inside = false;
    while (std::getline(in, line)) {
        if (line.rfind("Altersklasse ", 0) == 0) {
            inside = line == title;
            continue;
        }
        if (!inside || line.find('\t') == std::string::npos) continue;
        std::vector<std::string> cells;
        std::string cell;
        std::istringstream ls(line);
        while (std::getline(ls, cell, '\t'))
            cells.push_back(cell);
        rows.push_back(cells);
    }
    return rows;
}

// One age class with a single discipline scored linearly (V1 = 1000 points at
// time 0, one point per tenth of a second).
std::string MakeCompetition(const vmtest::TempDir& dir, bool alphabetical) {
    auto c = NewCompetition();
    c->Header.Veranstaltung.Set("Stadtmeisterschaft");
    c->Header.Optionen = 1;
    TDisziplinVorlage t{"50m Retten", baLinear, {100000, 100, 0, 0, 0}};
    std::array<TDisziplin, 5> d{};
    d[0] = MakeDiscipline(t, 9);
    auto ac =
        MakeAgeClass("AK Offen", 1970, 2000, akHLW | (alphabetical ? akAlphabetisch : 0), 1, d);
    struct P {
        const char* name;
        TZeit time;
        int penalty;
        bool ak;
    } people[] = {{"Zander", 5000, 0, false}, {"Becker", 6000, 0, false},
                  {"Albers", 6000, 0, false}, {"Krause", 7000, 0, false},
                  {"Gast", 5500, 0, true},    {"Fehlt", 0, -3, false}};
    for (const auto& p : people) {
        auto t2 = NewParticipant();
        t2->SetName(p.name);
        t2->SetVorname("Kim");
        t2->SetGeburtsdatum("01.01.1985");
        t2->Gliederung.Set("HH");
        t2->Zeit[0] = p.time;
        if (p.penalty < 0) MarkAbsent(*t2);
        t2->SetFlag(tnAusserKonkurrenz, p.ak);
        ac->InsertParticipant(std::move(t2));
    }
    c->InsertAgeClass(std::move(ac));
    const std::string file = dir.File("STADT.ERG");
    EXPECT_TRUE(Save(file, *c, TSaveFormat::Ergebnis));
    return file;
}

} // namespace

TEST(CliCore, InfoShowsPlacesStatusAndOrder) {
    vmtest::TempDir dir;
    auto r = vmtest::RunCli({"info", MakeCompetition(dir, false)});
    ASSERT_EQ(r.status, 0) << r.err;
    EXPECT_NE(r.out.find("Veranstaltung: Stadtmeisterschaft"), std::string::npos);
    auto grid = GridOf(r.out, "Altersklasse AK Offen (1970 - 2000)");
    ASSERT_EQ(grid.size(), 7u);
    EXPECT_EQ(grid[0],
              (std::vector<std::string>{"Pl.", "GesPkt", "Glied.", "Jg", "Name", "Vorname", "Zeit1",
                                        "Abz1", "Pkt1", "Lauf1", "Bahn1", "HLW"}));
    std::vector<std::string> names, places;
    for (std::size_t i = 1; i < grid.size(); ++i) {
        places.push_back(grid[i][0]);
        names.push_back(grid[i][4]);
    }
    EXPECT_EQ(names,
              (std::vector<std::string>{"Zander", "Gast", "Albers", "Becker", "Krause", "Fehlt"}));
    EXPECT_EQ(places, (std::vector<std::string>{"1.", "AK", "2.", "2.", "4.", ""}));
    EXPECT_EQ(grid[1][1], "500,00");
    EXPECT_EQ(grid[1][3], "85");
    EXPECT_EQ(grid[1][6], "0:50,00");
    EXPECT_EQ(grid[6][7], "n.a.");
    EXPECT_EQ(grid[6][11], "n.a.");
}

TEST(CliCore, AlphabeticalDisplayKeepsPlacesByPoints) {
    vmtest::TempDir dir;
    auto r = vmtest::RunCli({"info", MakeCompetition(dir, true)});
    ASSERT_EQ(r.status, 0) << r.err;
    auto grid = GridOf(r.out, "Altersklasse AK Offen (1970 - 2000)");
    ASSERT_EQ(grid.size(), 7u);
    std::vector<std::string> names, places;
    for (std::size_t i = 1; i < grid.size(); ++i) {
        places.push_back(grid[i][0]);
        names.push_back(grid[i][4]);
    }
    EXPECT_EQ(names,
              (std::vector<std::string>{"Albers", "Becker", "Fehlt", "Gast", "Krause", "Zander"}));
    EXPECT_EQ(places, (std::vector<std::string>{"2.", "2.", "", "AK", "4.", "1."}));
}

TEST(CliCore, NewForEveryTypeAndYear) {
    vmtest::TempDir dir;
    struct Case {
        const char* type;
        const char* year;
        int classes;
        const char* art;
        const char* rule;
    } cases[] = {
        {"0", "2004", 10, "Einzelwettbewerb", "Meisterschaftsdisziplin Regelwerk 1999"},
        {"1", "2004", 10, "Mannschaftswettbewerb", "Meisterschaftsdisziplin Regelwerk 1999"},
        {"4", "2004", 34, "Einzelwettbewerb", "Meisterschaftsdisziplin Regelwerk 1999"},
        {"2", "1997", 26, "Einzelwettbewerb", "Meisterschaftsdisziplin Regelwerk 1995"},
        {"0", "2025", 10, "Einzelwettbewerb", "Meisterschaftsdisziplin Regelwerk 1999"},
        {"8", "2031", 12, "Einzelwettbewerb", "Meisterschaftsdisziplin Regelwerk 1999"},
    };
    for (const auto& c : cases) {
        const std::string file = dir.File(std::string("N") + c.type + "_" + c.year + ".ERG");
        auto r = vmtest::RunCli({"new", file, "--type", c.type, "--year", c.year});
        ASSERT_EQ(r.status, 0) << r.err;
        auto info = vmtest::RunCli({"info", file});
        ASSERT_EQ(info.status, 0);
        EXPECT_NE(info.out.find(std::string("Altersklassen: ") + std::to_string(c.classes) + "\n"),
                  std::string::npos)
            << c.type << "/" << c.year;
        EXPECT_NE(info.out.find(std::string("Art: ") + c.art), std::string::npos);
        EXPECT_NE(info.out.find(c.rule), std::string::npos);
        EXPECT_NE(info.out.find(std::string("Veranstaltung: neue Meisterschaft ") + c.year),
                  std::string::npos);
    }
    auto preset0 = vmtest::RunCli({"info", dir.File("N0_2004.ERG")});
    EXPECT_NE(preset0.out.find("Altersklasse AK 12w (1992 - 1995)"), std::string::npos);
    EXPECT_NE(
        preset0.out.find(
            "Disziplin 1: 50m Hindernisschwimmen | neue Berechnung (Meisterschaften 1999-xxxx) | "
            "Basiszeit 0:27,00 | Meisterschaftsdisziplin Regelwerk 1999"),
        std::string::npos);
    auto preset6 = vmtest::RunCli({"info", dir.File("N2_1997.ERG")});
    EXPECT_NE(preset6.out.find("Altersklasse Seniorinnen (SE 20) (1973 - 1977)"),
              std::string::npos);
}

TEST(CliCore, ExitStatusAndMessages) {
    vmtest::TempDir dir;
    EXPECT_EQ(vmtest::RunCli({}).status, 2);
    EXPECT_EQ(vmtest::RunCli({"frobnicate"}).status, 2);
    EXPECT_EQ(vmtest::RunCli({"new"}).status, 2);
    EXPECT_EQ(vmtest::RunCli({"new", dir.File("X.ERG"), "--type", "99"}).status, 2);
    EXPECT_EQ(vmtest::RunCli({"info", dir.File("X.ERG"), "--bogus"}).status, 2);
    auto help = vmtest::RunCli({"info", "--help"});
    EXPECT_EQ(help.status, 0);
    EXPECT_NE(help.out.find("usage: velmora-cli info FILE"), std::string::npos);

    vmtest::WriteFileBytes(dir.File("JUNK.ERG"), "not a result file at all, just words");
    auto bad = vmtest::RunCli({"info", dir.File("JUNK.ERG")});
    EXPECT_EQ(bad.status, 1);
    EXPECT_EQ(bad.err, "Unbekanntes Ergebnisdateiformat.\nFehler beim Laden der Datei.\n" +
                           dir.File("JUNK.ERG") + ": keine lesbare Ergebnisdatei\n");

    // A failed load or save names the file and the system's reason.
    auto missing = vmtest::RunCli({"new", dir.File("no/such/dir/X.ERG")});
    EXPECT_EQ(missing.status, 1);
    EXPECT_EQ(missing.err, "Fehler beim Speichern der Datei.\n" + dir.File("no/such/dir/X.ERG") +
                               ": No such file or directory\n");
    std::filesystem::create_directory(dir.File("ORDNER.ERG"));
    ASSERT_EQ(vmtest::RunCli({"new", dir.File("WK.ERG")}).status, 0);
    auto folder = vmtest::RunCli({"heats", dir.File("WK.ERG"), "-o", dir.File("ORDNER.ERG")});
    EXPECT_EQ(folder.status, 1);
    EXPECT_EQ(folder.err,
              "Fehler beim Speichern der Datei.\n" + dir.File("ORDNER.ERG") + ": Is a directory\n");
    auto absent = vmtest::RunCli({"qualify", dir.File("FEHLT.ERG")});
    EXPECT_EQ(absent.status, 1);
    EXPECT_EQ(absent.err, "Fehler beim Laden der Datei.\n" + dir.File("FEHLT.ERG") +
                              ": No such file or directory\n");
}

TEST(CliCore, SaveAsAndRecordTakeOver) {
    vmtest::TempDir dir;
    const std::string file = MakeCompetition(dir, false);
    ASSERT_EQ(vmtest::RunCli({"save-as", file, dir.File("COPY.ERG"), "--type", "copy"}).status, 0);
    ASSERT_EQ(
        vmtest::RunCli({"save-as", dir.File("COPY.ERG"), dir.File("COPY2.ERG"), "--type", "copy"})
            .status,
        0);
    // A loaded file saves back unchanged (the first save differs only in the flag that
    // marks the Gliederung list of a new competition).
    const std::string copy = vmtest::ReadFileBytes(dir.File("COPY.ERG"));
    EXPECT_TRUE(copy == vmtest::ReadFileBytes(dir.File("COPY2.ERG")));
    EXPECT_EQ(copy.size(), vmtest::ReadFileBytes(file).size());

    ASSERT_EQ(vmtest::RunCli({"new", dir.File("NEU.ERG"), "--type", "0", "--year", "2004"}).status,
              0);
    auto r = vmtest::RunCli({"records", dir.File("NEU.ERG"), "--take-over", file});
    EXPECT_EQ(r.status, 0);
    // None of the preset's classes is in the other file: one message each.
    EXPECT_NE(r.err.find("Zur Altersklasse AK 12w, wurde keine passende Altersklasse gefunden."),
              std::string::npos);
    EXPECT_NE(r.err.find("Rekorde: für 0 von "), std::string::npos) << r.err;
    EXPECT_TRUE(std::filesystem::exists(dir.File("NEU.BAK")));
    // The file takes over from itself: every age class finds its own.
    r = vmtest::RunCli({"records", file, "--take-over", file});
    EXPECT_EQ(r.err, "Rekorde: für 1 von 1 Altersklasse übernommen.\n");
    EXPECT_EQ(vmtest::RunCli({"records", dir.File("NEU.ERG")}).status, 2);
}

} // namespace vm

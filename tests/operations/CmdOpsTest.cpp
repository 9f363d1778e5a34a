// The operation commands of velmora-cli, run as a whole program.
#include "file/VmErg.h"
#include "support/Builders.h"
#include "support/TestSupport.h"

#include <gtest/gtest.h>

#include <filesystem>

namespace {

using namespace vm;
using namespace vmtest;
using vmtest::RunCli;

std::unique_ptr<TWettkampf> TenOnFour() {
    auto c = Competition(4);
    TAltersklasse& ac = AddAgeClass(*c, "AK 13/14w", 1990, 1991, akWeiblich | akHLW);
    for (int i = 1; i <= 10; ++i)
        AddEntrant(ac, (i < 10 ? "P0" : "P") + std::to_string(i), 1000 - 10 * i, "BY");
    AddAgeClass(*c, "AK leer", 1980, 1981); // no participants, no HLW
    return c;
}

std::string Write(const vmtest::TempDir& dir, const std::string& name, TWettkampf& c) {
    const std::string file = dir.File(name);
    if (!Save(file, c, TSaveFormat::Ergebnis)) throw std::runtime_error("fixture not saved");
    return file;
}

std::unique_ptr<TWettkampf> Read(const std::string& file) {
    auto c = Load(file);
    if (!c) throw std::runtime_error("result not loaded: " + file);
    return c;
}

// The command's closing line (the fixture's formulas also report on recalculation).
std::string LastLine(const std::string& err) {
    const std::size_t end = err.size() > 0 ? err.size() - 1 : 0;
    const std::size_t start = err.rfind('\n', end > 0 ? end - 1 : 0);
    return start == std::string::npos || end == 0 ? err : err.substr(start + 1);
}

TAltersklasse& First(TWettkampf& c) {
    return *c.At(0);
}

TEST(CliOperations, HeatsTenOnFourLanes) {
    vmtest::TempDir dir;
    auto c = TenOnFour();
    const std::string file = Write(dir, "WK.ERG", *c);
    const std::string before = vmtest::ReadFileBytes(file);
    struct Case {
        std::vector<std::string> flags;
        std::vector<int> heats, lanes; // ranks 1..10
    };
    const std::vector<Case> cases = {
        {{}, {3, 3, 3, 3, 2, 2, 2, 2, 1, 1}, {2, 3, 1, 4, 2, 3, 1, 4, 2, 3}},
        {{"--reverse"}, {1, 1, 1, 1, 2, 2, 2, 2, 3, 3}, {2, 3, 1, 4, 2, 3, 1, 4, 2, 3}},
        {{"--start-position", "3"}, {3, 3, 2, 2, 2, 2, 1, 1, 1, 1}, {1, 4, 2, 3, 1, 4, 2, 3, 1, 4}},
        {{"--start-position", "3", "--reverse"},
         {1, 1, 2, 2, 2, 2, 3, 3, 3, 3},
         {1, 4, 2, 3, 1, 4, 2, 3, 1, 4}},
    };
    for (const Case& k : cases) {
        SCOPED_TRACE(::testing::PrintToString(k.flags));
        std::vector<std::string> args = {"heats", file, "-o", dir.File("OUT.ERG")};
        args.insert(args.end(), k.flags.begin(), k.flags.end());
        auto r = RunCli(args);
        ASSERT_EQ(r.status, 0) << r.err;
        EXPECT_EQ(r.err, "Laufbesetzung: 10 Teilnehmer in 3 Läufe eingeteilt.\n");
        auto out = Read(dir.File("OUT.ERG"));
        std::vector<int> heats, lanes;
        for (const TTeilnehmer& p : First(*out)) {
            heats.push_back(p.Lauf[0]);
            lanes.push_back(p.Bahn[0]);
        }
        EXPECT_EQ(heats, k.heats);
        EXPECT_EQ(lanes, k.lanes);
    }
    // -o leaves FILE alone; without it FILE is written back with a backup.
    EXPECT_EQ(vmtest::ReadFileBytes(file), before);
    auto r = RunCli({"heats", file, "--start-heat", "1000", "--all-disciplines", "--alphabetical"});
    ASSERT_EQ(r.status, 0) << r.err;
    EXPECT_EQ(vmtest::ReadFileBytes(dir.File("WK.BAK")), before);
    EXPECT_EQ(Read(file)->At(0)->At(0)->Lauf[0], 1002);
}

TEST(CliOperations, HlwFiveStationsFromEight) {
    vmtest::TempDir dir;
    auto c = TenOnFour();
    const std::string file = Write(dir, "WK.ERG", *c);
    auto r = RunCli({"hlw", file});
    ASSERT_EQ(r.status, 0) << r.err;
    EXPECT_EQ(r.err, "HLW-Laufeinteilung: 10 Teilnehmer auf 2 Startzeiten verteilt.\n");
    auto out = Read(file);
    std::vector<int> times, stations;
    for (const TTeilnehmer& p : First(*out)) {
        times.push_back(p.Startzeit);
        stations.push_back(p.HLWBahn);
    }
    EXPECT_EQ(times, (std::vector<int>{800, 800, 800, 800, 800, 815, 815, 815, 815, 815}));
    EXPECT_EQ(stations, (std::vector<int>{1, 2, 3, 4, 5, 1, 2, 3, 4, 5}));
    EXPECT_EQ(out->Header.HLWDauer, 15);
    EXPECT_EQ(out->Header.HLWMassnahmen, 1);

    r = RunCli({"hlw", file, "--start", "23:50", "--duration", "30", "--measures", "2", "--station",
                "99", "--block"});
    ASSERT_EQ(r.status, 0) << r.err;
    EXPECT_NE(r.err.find("HLW dauert bis über Mitternacht hinaus!"), std::string::npos);
    out = Read(file);
    EXPECT_EQ(out->Header.HLWDauer, 30);
    EXPECT_EQ(out->Header.HLWMassnahmen, 2);
    EXPECT_EQ(out->Gliederungen.Count(), 1);
}

TEST(CliOperations, QualifyTieAtTheCut) {
    vmtest::TempDir dir;
    auto c = Competition();
    TAltersklasse& ac = AddAgeClass(*c, "AK 13/14w", 1990, 1991, akWeiblich);
    const int points[] = {900, 880, 860, 840, 820, 800, 750, 700, 700, 600};
    for (int i = 0; i < 10; ++i)
        AddEntrant(ac, "P" + std::to_string(i), points[i]);
    AddAgeClass(*c, "AK leer", 1980, 1981);
    const std::string file = Write(dir, "WK.ERG", *c);

    auto r = RunCli({"qualify", file, "--quota", "8", "--mode", "1"});
    ASSERT_EQ(r.status, 0) << r.err;
    EXPECT_EQ(r.err,
              "Überhang (durch TN mit gleicher Punktzahl oder mit der Eig. qualifiziert) in der "
              "Altersklasse AK 13/14w.\n"
              "Qualifikation: 0 Teilnehmer gelöscht, 9 startberechtigt.\n");
    auto out = Read(file);
    int admitted = 0;
    for (const TTeilnehmer& p : First(*out))
        admitted += p.Has(tnStartberechtigt) ? 1 : 0;
    EXPECT_EQ(admitted, 9);
    EXPECT_EQ(First(*out).Count(), 10);

    r = RunCli({"qualify", file, "--quota", "100"});
    ASSERT_EQ(r.status, 0) << r.err;
    EXPECT_EQ(r.err, "Qualifikation: 0 Teilnehmer gelöscht, 10 startberechtigt.\n");
    EXPECT_EQ(First(*Read(file)).Count(), 10);

    // The default quota is three times the lanes (15 here): everyone stays.
    r = RunCli({"qualify", file, "--mode", "0"});
    ASSERT_EQ(r.status, 0) << r.err;
    EXPECT_EQ(First(*Read(file)).Count(), 10);

    // The default mode deletes everybody not admitted, and says how many.
    r = RunCli({"qualify", file, "--quota", "5"});
    ASSERT_EQ(r.status, 0) << r.err;
    EXPECT_EQ(r.err, "Qualifikation: 5 Teilnehmer gelöscht, 5 startberechtigt.\n");
    EXPECT_EQ(First(*Read(file)).Count(), 5);
}

TEST(CliOperations, ResetAndStrike) {
    vmtest::TempDir dir;
    auto c = TenOnFour();
    for (TTeilnehmer& p : First(*c)) {
        p.Lauf[0] = 2;
        p.Bahn[0] = 3;
        p.Zeit[0] = 5000;
    }
    const std::string file = Write(dir, "WK.ERG", *c);

    auto r = RunCli({"reset", file, "--items", "11,16-20"});
    ASSERT_EQ(r.status, 0) << r.err;
    EXPECT_EQ(LastLine(r.err), "Zurücksetzen: Einträge von 10 Teilnehmern zurückgesetzt.\n");
    auto out = Read(file);
    EXPECT_EQ(First(*out).At(0)->Lauf[0], 0);
    EXPECT_EQ(First(*out).At(0)->Bahn[0], 0);
    EXPECT_EQ(First(*out).At(0)->Zeit[0], 5000);

    // Nothing left to clear: no entry changes.
    r = RunCli({"reset", file, "--option", "1"});
    ASSERT_EQ(r.status, 0) << r.err;
    EXPECT_EQ(LastLine(r.err), "Zurücksetzen: Einträge von 0 Teilnehmern zurückgesetzt.\n");
    r = RunCli({"reset", file, "--option", "0"});
    ASSERT_EQ(r.status, 0) << r.err;
    out = Read(file);
    EXPECT_EQ(First(*out).At(0)->Zeit[0], 0);
    EXPECT_EQ(First(*out).At(0)->Gesamtpunkte, 0);

    r = RunCli({"strike", file});
    ASSERT_EQ(r.status, 0) << r.err;
    EXPECT_EQ(LastLine(r.err), "Streichen: 10 Teilnehmer auf n.a. gesetzt.\n");
    EXPECT_EQ(First(*Read(file)).At(0)->Abzug[0], -3);
    r = RunCli({"strike", file, "--mode", "2"});
    ASSERT_EQ(r.status, 0) << r.err;
    EXPECT_EQ(LastLine(r.err), "Streichen: 10 Teilnehmer gelöscht.\n");
    EXPECT_EQ(First(*Read(file)).Count(), 0);
}

TEST(CliOperations, MergeSaysWhatItSkipsAndRefusesMixedKinds) {
    vmtest::TempDir dir;
    auto target = TenOnFour();
    const std::string file = Write(dir, "WK.ERG", *target);
    auto source = Competition();
    TAltersklasse& ac = AddAgeClass(*source, "AK 13/14w", 1990, 1991, akWeiblich);
    AddEntrant(ac, "Gast", 995, "NI");
    AddEntrant(ac, "Spaet", 100, "NI").SetFlag(tnMeldet, false);
    const std::string src = Write(dir, "QUELLE.ERG", *source);

    auto r = RunCli(
        {"merge", file, src, "--gliederung", "ÖBB", "--qualify", "1", "-o", dir.File("OUT.ERG")});
    ASSERT_EQ(r.status, 0) << r.err;
    EXPECT_EQ(r.err, "1 Teilnehmer der Altersklasse AK 13/14w übersprungen.\n"
                     "Zusammenführen: 1 Teilnehmer übernommen, 0 Altersklassen angelegt.\n");
    auto out = Read(dir.File("OUT.ERG"));
    const TTeilnehmer& guest = *First(*out).At(0);
    EXPECT_EQ(guest.Name(), "Gast");
    EXPECT_EQ(guest.Gliederung.Get(), "\x99"
                                      "BB");
    EXPECT_TRUE(guest.Has(tnDirektQualifiziert));
    EXPECT_EQ(First(*out).Count(), 11);

    // A team file is refused: status 1, FILE untouched, no backup.
    source->Header.Art = wkMannschaft;
    Write(dir, "TEAM.ERG", *source);
    const std::string before = vmtest::ReadFileBytes(file);
    r = RunCli({"merge", file, dir.File("TEAM.ERG")});
    EXPECT_EQ(r.status, 1);
    EXPECT_EQ(r.err, "Einzel- u. Mannschaftswettkämpfe können nicht gemischt werden\n" +
                         dir.File("TEAM.ERG") + ": nicht zusammengeführt\n");
    EXPECT_EQ(vmtest::ReadFileBytes(file), before);
    EXPECT_FALSE(std::filesystem::exists(dir.File("WK.BAK")));

    r = RunCli({"merge", file, dir.File("FEHLT.ERG")});
    EXPECT_EQ(r.status, 1);
    EXPECT_NE(r.err.find(dir.File("FEHLT.ERG") + ": No such file or directory\n"),
              std::string::npos)
        << r.err;
    EXPECT_EQ(vmtest::ReadFileBytes(file), before);
}

TEST(CliOperations, ExtremeParametersOnSparseCompetitions) {
    vmtest::TempDir dir;
    auto c = Competition(10);
    AddAgeClass(*c, "AK leer", 1980, 1981);
    TAltersklasse& one = AddAgeClass(*c, "AK eins", 1990, 1990);
    AddEntrant(one, "Allein", 10);
    const std::string file = Write(dir, "WK.ERG", *c);
    for (const std::vector<std::string>& args : std::vector<std::vector<std::string>>{
             {"qualify", file, "--quota", "100"},
             {"heats", file, "--start-heat", "1000", "--start-position", "1000",
              "--all-disciplines"},
             {"heats", file, "--start-heat", "0", "--start-position", "0", "--reverse"},
             {"hlw", file, "--block"},
             {"hlw", file, "--station", "99", "--duration", "0", "--measures", "9"},
             {"reset", file, "--option", "3"},
             {"strike", file, "--mode", "1"},
         }) {
        auto r = RunCli(args);
        EXPECT_EQ(r.status, 0) << args[0] << ": " << r.err;
    }
}

TEST(CliOperations, HelpAndUsageErrors) {
    const std::vector<std::pair<std::string, std::vector<std::string>>> help = {
        {"qualify", {"--quota", "--mode", "-o"}},
        {"heats",
         {"--start-heat", "--start-position", "--alphabetical", "--reverse", "--all-disciplines",
          "-o"}},
        {"hlw", {"--start", "--station", "--duration", "--measures", "--block", "-o"}},
        {"reset", {"--option", "--items", "-o"}},
        {"strike", {"--mode", "-o"}},
        {"merge", {"--options", "--gliederung", "--qualify", "-o"}},
    };
    for (const auto& [cmd, flags] : help) {
        auto r = RunCli({cmd, "--help"});
        EXPECT_EQ(r.status, 0) << cmd;
        for (const std::string& f : flags)
            EXPECT_NE(r.out.find("  " + f + " "), std::string::npos) << cmd << " " << f;
    }
    vmtest::TempDir dir;
    auto c = TenOnFour();
    const std::string file = Write(dir, "WK.ERG", *c);
    const std::string before = vmtest::ReadFileBytes(file);
    for (const std::vector<std::string>& args : std::vector<std::vector<std::string>>{
             {"qualify", file, "--quota", "0"},
             {"qualify", file, "--quota", "101"},
             {"qualify", file, "--mode", "3"},
             {"heats", file, "--start-heat", "1001"},
             {"heats", file, "--start-position", "-1"},
             {"hlw", file, "--start", "24:00"},
             {"hlw", file, "--duration", "31"},
             {"hlw", file, "--measures", "0"},
             {"hlw", file, "--station", "0"},
             {"reset", file},
             {"reset", file, "--option", "1", "--items", "1"},
             {"reset", file, "--items", "22"},
             {"reset", file, "--items", "5-2"},
             {"strike", file, "--mode", "3"},
             {"merge", file},
             {"merge", file, file, "--options", "32"},
             {"merge", file, file, "--qualify", "1001"},
         }) {
        auto r = RunCli(args);
        EXPECT_EQ(r.status, 2) << ::testing::PrintToString(args);
    }
    EXPECT_EQ(vmtest::ReadFileBytes(file), before);
}

} // namespace

// velmora-cli timing and startlist as a whole program: the file written back, the
// report and the summary line, and nothing touched when the input is not a console file.
#include "file/VmErg.h"
#include "support/Builders.h"
#include "timing/VmStartliste.h"

#include <gtest/gtest.h>

#include <filesystem>

namespace {

using namespace vm;
using namespace vmtest;

// Heat 1 of discipline 1: Name1000 .. Name1003 on lanes 1 .. 4.
std::string HeatFile(const TempDir& dir) {
    auto c = MakeCompetition(false, 4);
    for (TTeilnehmer& p : *c->At(0)) {
        p.Lauf[0] = 1;
        p.Bahn[0] = static_cast<std::int16_t>(std::stoi(std::string(p.Name()).substr(4)) - 999);
    }
    const std::string file = dir.File("Tag1.ERG");
    if (!Save(file, *c, TSaveFormat::Ergebnis)) throw std::runtime_error("not saved");
    return file;
}

TEST(CmdTiming, TakesTheConsoleFileAndReportsWhatItSkipped) {
    TempDir dir;
    const std::string erg = HeatFile(dir);
    const std::string input = dir.File("Lauf1.csv");
    WriteFileBytes(input, "Lauf;Bahn;Zeit;Zeit2;Status\r\n"
                          "1;1;0:35,10;0:35,60;\r\n"
                          "1;2;0:36,00;;DQ\r\n"
                          "1;7;0:40,00;;\r\n"
                          "4;1;0:40,00;;\r\n");
    const CliResult r = RunCli({"timing", erg, input, "--discipline", "1"});
    EXPECT_EQ(r.status, 0) << r.err;
    EXPECT_EQ(r.err, input + ": Zeile 4: auf Bahn 7 in Lauf 1 schwimmt niemand.\n" + input +
                         ": Zeile 5: Lauf 4 gibt es in Wettkampf 1 nicht.\n"
                         "Lauf 1, Bahn 1 (Name1000, Vorname): die Uhren liegen 0,50 s "
                         "auseinander.\n"
                         "Zeitmessung: 2 Zeiten in Lauf 1 übernommen, 1 Bahn mit abweichenden "
                         "Zeiten.\n");
    auto c = Load(erg);
    ASSERT_TRUE(c);
    const TTeilnehmer& first = *Find(*c->At(0), "Name1000");
    EXPECT_EQ(first.Zeit[0], 3535);
    const TTeilnehmer& second = *Find(*c->At(0), "Name1001");
    EXPECT_EQ(second.Abzug[0], PenaltyCode(TStatus::Disq));
    EXPECT_EQ(second.Punkte[0], 0);
    EXPECT_TRUE(std::filesystem::exists(dir.File("Tag1.BAK")));
}

TEST(CmdTiming, NothingIsWrittenWhenTheInputIsNoConsoleFile) {
    TempDir dir;
    const std::string erg = HeatFile(dir);
    const std::string before = ReadFileBytes(erg);
    const std::string input = dir.File("Teilnehmer.txt");
    WriteFileBytes(input, "Name;Vorname;Gliederung\r\nMeier;Leni;NI\r\n");
    CliResult r = RunCli({"timing", erg, input, "--discipline", "1"});
    EXPECT_EQ(r.status, 1);
    EXPECT_EQ(r.err, input + ": keine Zeitmessungsdatei (die erste Zeile nennt nicht die "
                             "Spalten Lauf, Bahn und Zeit)\n");
    r = RunCli({"timing", erg, dir.File("missing.csv"), "--discipline", "1"});
    EXPECT_EQ(r.status, 1);
    // A header and not one readable lane is nothing read either.
    const std::string unreadable = dir.File("Lauf9.csv");
    WriteFileBytes(unreadable, "Lauf;Bahn;Zeit\r\n1;1;35 Sekunden\r\n");
    r = RunCli({"timing", erg, unreadable, "--discipline", "1"});
    EXPECT_EQ(r.status, 1);
    EXPECT_EQ(r.err, unreadable +
                         ": Zeile 2: die Zeit „35 Sekunden“ ist nicht lesbar (m:ss,hh, "
                         "m:ss.hh oder ss.hh).\n" +
                         unreadable + ": keine lesbare Zeile\n");
    EXPECT_EQ(ReadFileBytes(erg), before);
    EXPECT_FALSE(std::filesystem::exists(dir.File("Tag1.BAK")));
    EXPECT_EQ(RunCli({"timing", erg, input}).status, 2);
    EXPECT_EQ(RunCli({"timing", erg, input, "--discipline", "6"}).status, 2);
}

TEST(CmdTiming, StartListForTheConsole) {
    TempDir dir;
    const std::string erg = HeatFile(dir);
    const std::string out = dir.File("Start.csv");
    CliResult r = RunCli({"startlist", erg, out, "--discipline", "1"});
    EXPECT_EQ(r.status, 0) << r.err;
    EXPECT_EQ(r.err, "Startliste: 4 Teilnehmer in 1 Lauf geschrieben.\n");
    EXPECT_EQ(ReadFileBytes(out), StartListText(*Load(erg), 1).text);
    // The list read back as a console file says what is missing: a time column.
    EXPECT_EQ(RunCli({"timing", erg, out, "--discipline", "1"}).status, 1);
    // Never over a result file.
    const std::string before = ReadFileBytes(erg);
    const std::string other = dir.File("Other.ERG");
    WriteFileBytes(other, before);
    r = RunCli({"startlist", erg, other, "--discipline", "1"});
    EXPECT_EQ(r.status, 1);
    EXPECT_EQ(ReadFileBytes(other), before);
}

} // namespace

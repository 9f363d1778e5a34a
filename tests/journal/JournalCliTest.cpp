// The change journal through the real velmora-cli: every command that changes a
// result file appends its block beside the file it writes; `log` prints it.
#include "support/TestSupport.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <sys/stat.h>

namespace {

struct Fixture {
    vmtest::TempDir dir;
    std::string erg = dir.File("Tag1.ERG");
    std::string log = dir.File("Tag1.LOG");
    Fixture() {
        EXPECT_EQ(vmtest::RunCli({"generate", erg, "--participants", "300", "--seed", "7"}).status,
                  0);
    }
};

std::size_t Count(const std::string& text, const std::string& what) {
    std::size_t n = 0;
    for (auto pos = text.find(what); pos != std::string::npos; pos = text.find(what, pos + 1))
        ++n;
    return n;
}

TEST(JournalCli, EveryChangingCommandJournalsItsSave) {
    Fixture f;
    const std::string other = f.dir.File("Quelle.ERG");
    ASSERT_EQ(vmtest::RunCli({"generate", other, "--participants", "80", "--seed", "8"}).status, 0);
    const std::string input = f.dir.File("meldung.txt");
    vmtest::WriteFileBytes(input, "Name;Vorname;Glied;AK;Geschlecht;Zeit1;Abzug1\r\n"
                                  "Neumann;Nina;BY;AK 12w;w;0:41,00;0\r\n"
                                  "Ohnezeit;Olga;BY;AK 12w;w\r\n");
    struct Case {
        std::vector<std::string> args;
        std::string head;     // " | label | program" of the block's first line
        std::string expected; // part of one of its lines
    };
    const Case cases[] = {
        {{"reset", f.erg, "--items", "1"}, " | Zurücksetzen | velmora-cli reset\n", " | Zeit1 "},
        {{"heats", f.erg}, " | Laufbesetzung | velmora-cli heats\n", " | Lauf1 0 → "},
        {{"hlw", f.erg}, " | HLW Laufeinteilung | velmora-cli hlw\n", " | HLW-Startzeit "},
        {{"import", f.erg, input},
         " | Importieren | velmora-cli import\n",
         "AK 12w | Neumann, Nina | hinzugefügt (Glied. BY, Zeit1 0:41,00)"},
        // Olga, imported without a time, is the one marked absent.
        {{"strike", f.erg, "--mode", "0"},
         " | Streichen | velmora-cli strike\n",
         "AK 12w | Ohnezeit, Olga | Abz1 0 → n.a."},
        {{"merge", f.erg, other}, " | Zusammenführen | velmora-cli merge\n", " | hinzugefügt ("},
        {{"records", f.erg, "--take-over", other},
         " | Rekorde übernehmen | velmora-cli records\n",
         " | Rekord 1 Zeit "},
        {{"qualify", f.erg, "--quota", "2"},
         " | Qualifikation | velmora-cli qualify\n",
         " | startberechtigt nein → ja"},
    };
    std::string before;
    for (const Case& k : cases) {
        const auto r = vmtest::RunCli(k.args);
        ASSERT_EQ(r.status, 0) << k.args[0] << ": " << r.err;
        const std::string now = vmtest::ReadFileBytes(f.log);
        // Appended: what was there stays as it was.
        ASSERT_EQ(now.compare(0, before.size(), before), 0) << k.args[0];
        const std::string block = now.substr(before.size());
        EXPECT_EQ(block.find(k.head), 19u) << k.args[0] << ":\n" << block.substr(0, 300);
        EXPECT_NE(block.find(k.expected), std::string::npos) << k.args[0] << ":\n"
                                                             << block.substr(0, 600);
        EXPECT_EQ(Count(block, " | velmora-cli "), 1u) << k.args[0];
        before = now;
    }
    // The qualification deleted participants: each of them has its line.
    EXPECT_GT(Count(before, " | gelöscht ("), 10u);

    const auto shown = vmtest::RunCli({"log", f.erg});
    EXPECT_EQ(shown.status, 0) << shown.err;
    EXPECT_EQ(shown.out, before);
}

TEST(JournalCli, OutputFileGetsTheJournalAndAnUnwritableOneDoesNotFail) {
    Fixture f;
    const std::string out = f.dir.File("Neu.ERG");
    auto r = vmtest::RunCli({"heats", f.erg, "-o", out});
    ASSERT_EQ(r.status, 0) << r.err;
    EXPECT_FALSE(std::filesystem::exists(f.log));
    EXPECT_NE(vmtest::ReadFileBytes(f.dir.File("Neu.LOG")).find(" | Laufbesetzung | "),
              std::string::npos);

    // A folder where the journal should be: the command still saves and succeeds, and
    // says so once.
    std::filesystem::create_directory(f.log);
    const std::string was = vmtest::ReadFileBytes(f.erg);
    r = vmtest::RunCli({"reset", f.erg, "--option", "1"});
    EXPECT_EQ(r.status, 0) << r.err;
    EXPECT_NE(vmtest::ReadFileBytes(f.erg), was);
    EXPECT_EQ(Count(r.err, "Änderungsprotokoll"), 1u) << r.err;
    EXPECT_NE(r.err.find("Zurücksetzen: "), std::string::npos) << r.err;
}

TEST(JournalCli, LogWithoutJournalAndNothingForReadingCommands) {
    Fixture f;
    for (const std::vector<std::string>& args : {std::vector<std::string>{"info", f.erg},
                                                 {"check", f.erg},
                                                 {"stats", f.erg, "--mode", "0"}})
        vmtest::RunCli(args);
    EXPECT_FALSE(std::filesystem::exists(f.log));
    const auto r = vmtest::RunCli({"log", f.erg});
    EXPECT_EQ(r.status, 1);
    EXPECT_EQ(r.out, "");
    EXPECT_EQ(r.err, "Zu ´" + f.erg + "´ gibt es noch kein Änderungsprotokoll.\n");
    EXPECT_EQ(vmtest::RunCli({"log"}).status, 2);
}

} // namespace

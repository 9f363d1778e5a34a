#include "journal/VmJournal.h"

#include "file/VmErg.h"
#include "model/VmOemText.h"
#include "support/Builders.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <filesystem>
#include <functional>

namespace vm {
namespace {

using Lines = std::vector<std::string>;

TTeilnehmer& Named(TWettkampf& c, const std::string& name) {
    for (TAltersklasse& ac : c)
        for (TTeilnehmer& p : ac)
            if (p.NameKey() == name) return p;
    throw std::runtime_error("no participant " + name);
}

// Three participants in "AK 13/14w" ranked Name1000, Name1001, Name1002 (times 0:27,00,
// 0:27,10, 0:27,20 in discipline 1), Gliederungen BY, NI, HE, times with hundredths.
std::unique_ptr<TWettkampf> Three() {
    return vmtest::MakeCompetition(false, 3, 2, true);
}

// Applies `change` to a copy of `c`, recalculates every age class as the program does
// after a change, and returns the journal lines.
Lines After(const TWettkampf& c, const std::function<void(TWettkampf&)>& change) {
    auto copy = CopyCompetition(c);
    change(*copy);
    for (TAltersklasse& ac : *copy)
        RecalcAgeClass(ac);
    return DescribeChanges(c, *copy);
}

TEST(Journal, NameFollowsTheBackupRule) {
    const std::pair<const char*, const char*> cases[] = {
        {"Tag1.ERG", "Tag1.LOG"},     {"/data/wk.2026/Tag1.ERG", "/data/wk.2026/Tag1.LOG"},
        {"./Tag1.erg", "./Tag1.LOG"}, {"Tag1", "Tag1.LOG"},
        {"Tag1.v2.ERG", "Tag1.LOG"},
    };
    for (const auto& [erg, log] : cases) {
        EXPECT_EQ(JournalName(erg), log) << erg;
        // The journal and the backup copy share the stem.
        EXPECT_EQ(JournalName(erg).substr(0, JournalName(erg).size() - 3),
                  BackupName(erg).substr(0, BackupName(erg).size() - 3));
    }
}

TEST(Journal, OneLinePerChangedFieldOfAParticipant) {
    auto c = Three();
    struct Case {
        const char* what;
        std::function<void(TWettkampf&)> change;
        Lines expected;
    };
    const std::string p0 = "AK 13/14w | Name1000, Vorname | ";
    const std::string p1 = "AK 13/14w | Name1001, Vorname | ";
    const Case cases[] = {
        // The slowest time now: the entry moves to the end and every place changes,
        // but only the typed time is listed.
        {"time",
         [](TWettkampf& w) { Named(w, "Name1000").Zeit[0] = 3732; },
         {p0 + "Zeit1 0:27,00 → 0:37,32"}},
        {"penalty status",
         [](TWettkampf& w) { Named(w, "Name1001").Abzug[1] = -1; },
         {p1 + "Abz2 0 → disq."}},
        {"heat, lane, HLW",
         [](TWettkampf& w) {
             auto& p = Named(w, "Name1001");
             p.Lauf[0] = 2, p.Bahn[0] = 4, p.HLWPunkte = 8550, p.Startzeit = 905, p.HLWBahn = 3;
         },
         {p1 + "Lauf1 0 → 2", p1 + "Bahn1 0 → 4", p1 + "HLW 0,00 → 85,50",
          p1 + "HLW-Startzeit 00:00 → 09:05", p1 + "HLW-Bahn 0 → 3"}},
        {"properties",
         [](TWettkampf& w) {
             Named(w, "Name1000").SetFlag(tnStartberechtigt, true);
             Named(w, "Name1000").SetFlag(tnMeldet, false);
         },
         {p0 + "meldet ja → nein", p0 + "startberechtigt nein → ja"}},
        // Identity fields: the entry is still found and gives a change line, not a
        // deleted and an added participant.
        {"name",
         [](TWettkampf& w) { Named(w, "Name1001").SetName("Schmitz"_oem); },
         {p1 + "Name Name1001 → Schmitz"}},
        {"umlaut name",
         [](TWettkampf& w) { Named(w, "Name1001").SetName("Müller"_oem); },
         {p1 + "Name Name1001 → Müller"}},
        {"first name",
         [](TWettkampf& w) { Named(w, "Name1001").SetVorname("Greta"); },
         {p1 + "Vorname Vorname → Greta"}},
        {"birth date",
         [](TWettkampf& w) { Named(w, "Name1001").SetGeburtsdatum(""); },
         {p1 + "Geburtsdatum 12.03.1990 → (leer)"}},
        {"Gliederung",
         [](TWettkampf& w) { Named(w, "Name1000").Gliederung.Set("SH"); },
         {p0 + "Glied. BY → SH"}},
        {"name and time",
         [](TWettkampf& w) {
             Named(w, "Name1000").Zeit[0] = 2800;
             Named(w, "Name1000").SetName("Neu");
         },
         {p0 + "Name Name1000 → Neu", p0 + "Zeit1 0:27,00 → 0:28,00"}},
    };
    for (const Case& k : cases)
        EXPECT_EQ(After(*c, k.change), k.expected) << k.what;
}

TEST(Journal, ReorderingAloneGivesNoLines) {
    auto c = Three();
    // Two entries that look alike except for their results, in swapped order.
    TAltersklasse& ac = *c->At(0);
    vmtest::AddEntry(ac, {"Doppelt", "Kim", "1990", "BY", 3000, 0});
    vmtest::AddEntry(ac, {"Doppelt", "Kim", "1990", "BY", 3100, 0});
    EXPECT_TRUE(After(*c, [](TWettkampf& w) {
                    w.At(0)->SortBy(TParticipantOrder::Alphabetical());
                }).empty());
    auto copy = CopyCompetition(*c);
    TAltersklasse& b = *copy->At(0);
    // The two look-alikes swap places in the list.
    auto first = b.AtDelete(3);
    b.AtInsert(4, std::move(first));
    ASSERT_NE(b.At(3)->Zeit[0], ac.At(3)->Zeit[0]);
    EXPECT_TRUE(DescribeChanges(*c, *copy).empty());
}

TEST(Journal, AddedAndDeletedParticipantsGetOneLineEach) {
    auto c = Three();
    Named(*c, "Name1002").Lauf[0] = 3;
    const Lines lines = After(*c, [](TWettkampf& w) {
        TAltersklasse& ac = *w.At(0);
        for (int i = 0; i < ac.Count(); ++i)
            if (ac.At(i)->NameKey() == "Name1002") ac.AtDelete(i);
        vmtest::AddEntry(ac, {"Schmitz", "Greta", "2014", "", 3723, 0});
    });
    EXPECT_EQ(lines, (Lines{"AK 13/14w | Name1002, Vorname | gelöscht (Glied. HE, Geburtsdatum "
                            "12.03.1990, Zeit1 0:27,20, Lauf1 3, Zeit2 0:54,20)",
                            "AK 13/14w | Schmitz, Greta | hinzugefügt (Geburtsdatum 2014, Zeit1 "
                            "0:37,23)"}));
}

TEST(Journal, MassDeletionListsEveryone) {
    auto c = vmtest::MakeCompetition(false, 400, 1, false);
    const Lines lines = After(*c, [](TWettkampf& w) {
        TAltersklasse& ac = *w.At(0);
        while (ac.Count() > 100)
            ac.AtDelete(ac.Count() - 1);
    });
    ASSERT_EQ(lines.size(), 300u);
    for (const std::string& l : lines)
        EXPECT_NE(l.find(" | gelöscht"), std::string::npos) << l;
}

TEST(Journal, AgeClassAndCompetitionFields) {
    auto c = Three();
    c->InsertAgeClass(vmtest::MakeAgeClass("AK 12w", 1, false, 1992));
    vmtest::AddEntry(*c->FindAgeClass("AK 12w", true), {"Klein", "Ida", "1992", "NI", 4000, 0});
    struct Case {
        const char* what;
        std::function<void(TWettkampf&)> change;
        Lines expected;
    };
    const Case cases[] = {
        {"header",
         [](TWettkampf& w) {
             w.Header.Veranstaltung.Set("Bezirksmeisterschaft");
             w.Header.Startplaetze = 5;
             w.Header.Optionen = 0;
         },
         {"Wettkampf | Veranstaltung Testmeisterschaft → Bezirksmeisterschaft",
          "Wettkampf | Bahnen 5 → 8", "Wettkampf | Zeiten mit Hundertstel ja → nein"}},
        {"age-class data",
         [](TWettkampf& w) {
             TAltersklasse& ac = *w.FindAgeClass("AK 13/14w", true);
             ac.Data.JahrgangVon = 1989;
             ac.Data.Disziplinen[0].V[0] = 2750;
             ac.Data.Eigenschaften &= ~akHLW;
         },
         {"AK 13/14w | Jahrgang von 1990 → 1989", "AK 13/14w | HLW ja → nein",
          "AK 13/14w | Disziplin 1 V1 27,00 → 27,50"}},
        // A renamed class keeps its participants: one line.
        {"renamed",
         [](TWettkampf& w) { w.FindAgeClass("AK 12w", true)->Data.Bezeichnung.Set("AK 11/12w"); },
         {"AK 11/12w | Bezeichnung AK 12w → AK 11/12w"}},
        {"deleted class",
         [](TWettkampf& w) {
             for (int i = 0; i < w.Count(); ++i)
                 if (w.At(i)->Name() == "AK 12w") w.AtDelete(i);
         },
         {"AK 12w | Altersklasse gelöscht",
          "AK 12w | Klein, Ida | gelöscht (Glied. NI, Geburtsdatum 1992, Zeit1 0:40,00)"}},
        {"moved participant",
         [](TWettkampf& w) {
             TAltersklasse& from = *w.FindAgeClass("AK 12w", true);
             auto p = from.AtDelete(0);
             p->Zeit[0] = 3900;
             w.FindAgeClass("AK 13/14w", true)->InsertParticipant(std::move(p));
         },
         {"AK 12w | Klein, Ida | Altersklasse AK 12w → AK 13/14w",
          "AK 12w | Klein, Ida | Zeit1 0:40,00 → 0:39,00"}},
        {"Gliederung names",
         [](TWettkampf& w) {
             auto g = std::make_unique<TGliederungStat>();
             g->Kurz.Set("BY");
             g->Name.Set("Velstadt");
             w.Gliederungen.Insert(std::move(g));
         },
         {"Gliederung BY | angelegt: Velstadt"}},
    };
    for (const Case& k : cases)
        EXPECT_EQ(After(*c, k.change), k.expected) << k.what;

    // Added class (DescribeAgeClassChanges with no before).
    Lines added;
    DescribeAgeClassChanges(*c, nullptr, c->FindAgeClass("AK 12w", true), added);
    EXPECT_EQ(added, (Lines{"AK 12w | Altersklasse angelegt",
                            "AK 12w | Klein, Ida | hinzugefügt (Glied. NI, Geburtsdatum 1992, "
                            "Zeit1 0:40,00)"}));
}

TEST(Journal, TeamsAndTimesWithoutHundredths) {
    auto teams = vmtest::MakeCompetition(true, 2, 1, false);
    EXPECT_EQ(
        After(*teams, [](TWettkampf& w) { Named(w, "SG Team 1001").SetMannschaft("SG Velstadt"); }),
        (Lines{"AK 13/14w | SG Team 1001 | Mannschaft SG Team 1001 → SG Velstadt"}));

    // Shown with tenths only, 0:27,01 and 0:27,02 read alike: the line gives the full
    // values instead of "0:27,0 → 0:27,0".
    auto c = Three();
    c->Header.Optionen = 0;
    EXPECT_EQ(After(*c, [](TWettkampf& w) { Named(w, "Name1000").Zeit[0] = 2702; }),
              (Lines{"AK 13/14w | Name1000, Vorname | Zeit1 0:27,00 → 0:27,02"}));
}

TEST(Journal, BlockFormat) {
    setenv("TZ", "UTC", 1);
    tzset();
    TJournalEntry e{1781190000, "Qualifikation", "velmora-cli qualify", {"a | b", "c\nd"}};
    EXPECT_EQ(FormatJournalBlock(e), "11.06.2026 15:00:00 | Qualifikation | velmora-cli qualify\n"
                                     "  a | b\n"
                                     "  c d\n"
                                     "\n");
    e.lines.clear();
    EXPECT_EQ(FormatJournalBlock(e), "11.06.2026 15:00:00 | Qualifikation | velmora-cli qualify\n"
                                     "  (keine Änderung eingegebener Daten)\n"
                                     "\n");
}

TEST(Journal, AppendsAndNeverRewrites) {
    vmtest::TempDir dir;
    const std::string erg = dir.File("Tag1.ERG");
    const std::string log = dir.File("Tag1.LOG");
    std::string text, error;
    EXPECT_FALSE(ReadJournal(erg, text, error));
    EXPECT_NE(error.find("kein Änderungsprotokoll"), std::string::npos) << error;

    // Whatever is there stays byte for byte, even text that is not ours.
    const std::string earlier = "früherer Inhalt ohne Zeilenende";
    vmtest::WriteFileBytes(log, earlier);
    TJournalEntry a{1781190000, "Qualifikation", "velmora-cli qualify", {"eins"}};
    TJournalEntry b{1781190060, "Zurücksetzen", "Velmora", {"zwei"}};
    ASSERT_TRUE(AppendJournal(erg, {a}, error)) << error;
    ASSERT_TRUE(AppendJournal(erg, {b, a}, error)) << error;
    ASSERT_TRUE(ReadJournal(erg, text, error)) << error;
    EXPECT_EQ(text,
              earlier + FormatJournalBlock(a) + FormatJournalBlock(b) + FormatJournalBlock(a));
}

TEST(Journal, RefusesWhatItCannotOrMustNotWrite) {
    vmtest::TempDir dir;
    std::string error;
    const TJournalEntry e{1781190000, "Streichen", "Velmora", {"x"}};

    // No folder to write into, and a folder in the journal's place.
    EXPECT_FALSE(AppendJournal(dir.File("fehlt/Tag1.ERG"), {e}, error));
    EXPECT_NE(error.find("Tag1.LOG"), std::string::npos) << error;
    std::filesystem::create_directory(dir.File("Tag2.LOG"));
    EXPECT_FALSE(AppendJournal(dir.File("Tag2.ERG"), {e}, error));
    EXPECT_FALSE(error.empty());

    // A result file named like a journal is never appended to.
    auto c = Three();
    const std::string erg = dir.File("Tag3.LOG");
    ASSERT_TRUE(Save(erg, *c, TSaveFormat::Ergebnis));
    const std::string bytes = vmtest::ReadFileBytes(erg);
    EXPECT_FALSE(AppendJournal(erg, {e}, error));
    EXPECT_FALSE(AppendJournal(dir.File("Tag3.ERG"), {e}, error));
    EXPECT_NE(error.find("Ergebnisdatei"), std::string::npos) << error;
    EXPECT_TRUE(vmtest::ReadFileBytes(erg) == bytes);
}

} // namespace
} // namespace vm

namespace vm {
namespace {

TEST(JournalLastChange, TakesTheLatestBlockPerAgeClass) {
    const std::string text = "10.12.2026 09:00:00 | Qualifikation | velmora-cli qualify\n"
                             "  AK 12w | Schmitz, Greta | gelöscht (Jg 14)\n"
                             "  AK 13m | Abel, Tim | Zeit1 0:40,00 → 0:41,00\n"
                             "\n"
                             "11.12.2026 14:32:05 | Teilnehmerdaten bearbeiten | Velmora\n"
                             "  AK 12w | Neu, Ida | Zeit1 0:00,00 → 0:37,23\n"
                             "  Wettkampf | Veranstaltung Kreis → Bezirk\n"
                             "  Gliederung VSTA | Name Velstadt → Velstadt-Nord\n"
                             "\n";
    const auto last = LastChangeByAgeClass(text);
    ASSERT_EQ(last.size(), 2u);
    std::tm tm{};
    char buf[32];
    const std::time_t w = last.at("AK 12w");
    localtime_r(&w, &tm);
    std::strftime(buf, sizeof buf, "%d.%m.%Y %H:%M:%S", &tm);
    EXPECT_STREQ(buf, "11.12.2026 14:32:05");
    const std::time_t m = last.at("AK 13m");
    localtime_r(&m, &tm);
    std::strftime(buf, sizeof buf, "%d.%m.%Y %H:%M:%S", &tm);
    EXPECT_STREQ(buf, "10.12.2026 09:00:00");
}

} // namespace
} // namespace vm

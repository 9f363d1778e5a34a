// Hand timing and timing consoles: the official time from the watches, the console
// file reader, matching its lanes to the heats, and the start list for the console.
#include "timing/VmZeitmessung.h"
#include "timing/VmStartliste.h"

#include "file/VmErg.h"
#include "support/Builders.h"

#include <gtest/gtest.h>

namespace {

using namespace vm;
using namespace vmtest;

TEST(Timing, OfficialTimeFromTheWatches) {
    struct Case {
        const char* what;
        TUhren watches;
        bool hundredths;
        TZeit official;
        TZeit spread;
    };
    const Case cases[] = {
        {"no watch", {0, 0, 0}, true, 0, 0},
        {"one watch", {3512, 0, 0}, true, 3512, 0},
        {"one watch in the third place", {0, 0, 3512}, true, 3512, 0},
        {"two: even mean", {3510, 3514, 0}, true, 3512, 4},
        {"two: half a hundredth to the slower", {3511, 3514, 0}, true, 3513, 3},
        {"two, one empty between", {3514, 0, 3511}, true, 3513, 3},
        {"three: the middle", {3530, 3510, 3520}, true, 3520, 20},
        {"three: two agree", {3510, 3540, 3510}, true, 3510, 30},
        {"three: the slower two agree", {3540, 3510, 3540}, true, 3540, 30},
        {"tenths: one watch up to the slower tenth", {3512, 0, 0}, false, 3520, 0},
        {"tenths: a whole tenth stays", {3510, 0, 0}, false, 3510, 0},
        {"tenths: mean 35,15 to 35,2", {3510, 3520, 0}, false, 3520, 10},
        {"tenths: three", {3530, 3510, 3520}, false, 3520, 20},
    };
    for (const Case& k : cases) {
        SCOPED_TRACE(k.what);
        EXPECT_EQ(OfficialTime(k.watches, k.hundredths), k.official);
        EXPECT_EQ(WatchSpread(k.watches), k.spread);
    }
    EXPECT_FALSE(WatchesDeviate(TUhren{3500, 3530, 0}, kSpreadLimit));
    EXPECT_TRUE(WatchesDeviate(TUhren{3500, 3531, 0}, kSpreadLimit));
}

TEST(Timing, ReadsBothSeparatorsLanguagesAndTimeForms) {
    struct Case {
        const char* what;
        std::string text;
    };
    // The same heat written four ways; every form must read to the same lanes.
    const Case cases[] = {
        {"German, semicolons, comma times", "Lauf;Bahn;Zeit;Zeit2;Zeit3;Status\r\n"
                                            "3;1;0:35,12;0:35,20;;\r\n"
                                            "3;2;1:02,50;1:02,40;1:02,45;DQ\r\n"
                                            "3;4;;;;DNS\r\n"
                                            "3;5;41.07;;;n.er.\r\n"},
        {"English, commas, point times, BOM, other order and extra columns",
         "\xEF\xBB\xBF"
         "Lane,Heat,Name,Time,Backup1,Backup2,Status\n"
         "1,3,\"Meier, Leni\",35.12,35.20,,\n"
         "2,3,X,1:02.50,1:02.40,1:02.45,dq\n"
         "4,3,Y,,,,dns\n"
         "5,3,Z,0:41.07,,,DNF\n"},
        {"mixed case headers with blanks, status as letters",
         "LAUF ; bahn ; ZEIT ; zeit 2 ; Zeit 3 ; STATUS\n"
         "\n"
         "3 ; 1 ; 35,12 ; 35.20 ; ; OK\n"
         "3 ; 2 ; 1:02,50 ; 1:02,40 ; 1:02,45 ; disq.\n"
         "3 ; 4 ; ; ; ; a\n"
         "3 ; 5 ; 41,07 ; ; ; -4\n"},
    };
    for (const Case& k : cases) {
        SCOPED_TRACE(k.what);
        TZeitmessungDatei f;
        std::string error;
        ASSERT_TRUE(ReadTimingText(k.text, f, error)) << error;
        EXPECT_TRUE(f.problems.empty()) << f.problems.front();
        ASSERT_EQ(f.rows.size(), 4u);
        EXPECT_EQ(f.rows[0].heat, 3);
        EXPECT_EQ(f.rows[0].lane, 1);
        EXPECT_EQ(f.rows[0].watches, (TUhren{3512, 3520, 0}));
        EXPECT_FALSE(f.rows[0].status.has_value());
        EXPECT_EQ(f.rows[1].watches, (TUhren{6250, 6240, 6245}));
        EXPECT_EQ(f.rows[1].status, PenaltyCode(TStatus::Disq));
        EXPECT_EQ(f.rows[2].lane, 4);
        EXPECT_EQ(f.rows[2].watches, (TUhren{0, 0, 0}));
        EXPECT_EQ(f.rows[2].status, PenaltyCode(TStatus::NichtAngetreten));
        EXPECT_EQ(f.rows[3].watches, (TUhren{4107, 0, 0}));
        EXPECT_EQ(f.rows[3].status, PenaltyCode(TStatus::NichtErreicht));
    }
}

TEST(Timing, UnreadableLinesAreListedAndNotTimingFilesRefused) {
    TZeitmessungDatei f;
    std::string error;
    ASSERT_TRUE(ReadTimingText("Lauf;Bahn;Zeit;Status\n"
                               "x;1;35,00;\n"     // heat not a number
                               "1;0;35,00;\n"     // lane 0
                               "1;2;3500;\n"      // digits without separator
                               "1;3;0:75,00;\n"   // 75 seconds
                               "1;4;35,123;\n"    // thousandths
                               "1;5;35,00;WHAT\n" // unknown status
                               "1;6;35,00;\n",
                               f, error));
    ASSERT_EQ(f.rows.size(), 1u);
    EXPECT_EQ(f.rows[0].line, 8);
    const std::vector<std::string> want = {
        "Zeile 2: der Lauf „x“ ist keine Laufnummer.",
        "Zeile 3: die Bahn „0“ ist keine Bahnnummer.",
        "Zeile 4: die Zeit „3500“ ist nicht lesbar (m:ss,hh, m:ss.hh oder ss.hh).",
        "Zeile 5: die Zeit „0:75,00“ ist nicht lesbar (m:ss,hh, m:ss.hh oder ss.hh).",
        "Zeile 6: die Zeit „35,123“ ist nicht lesbar (m:ss,hh, m:ss.hh oder ss.hh).",
        "Zeile 7: der Status „WHAT“ ist unbekannt (DQ, DNS, DNF oder disq., n.a., n.er.).",
    };
    EXPECT_EQ(f.problems, want);

    const std::string notTiming[] = {
        "",
        "\n\n",
        "Name;Vorname;Gliederung\nMeier;Leni;NI\n", // a participant list
        "Lauf;Bahn;Name\n1;1;Meier\n",              // a start list: no time column
        "Lauf Bahn Zeit\n1 1 35,00\n",              // no separator
        std::string("Lauf;Bahn;Zeit\n1;1;35,00\0\0", 26),
        std::string(SignatureV21) + "\x01\x02",
    };
    for (const std::string& text : notTiming) {
        SCOPED_TRACE(text);
        EXPECT_FALSE(ReadTimingText(text, f, error));
        EXPECT_TRUE(error.starts_with("keine Zeitmessungsdatei")) << error;
    }
    EXPECT_FALSE(ReadTimingFile("/nonexistent/Lauf3.csv", f, error));
    EXPECT_EQ(error, "/nonexistent/Lauf3.csv: No such file or directory");
}

// Heat 1 of discipline 1: Name1000 on lane 1 .. Name1003 on lane 4, lane 5 empty;
// heat 2: Name1004 on lane 3, Name1005 on lane 4.
std::unique_ptr<TWettkampf> Heats(bool hundredths = true) {
    auto c = MakeCompetition(false, 6);
    if (!hundredths) c->Header.Optionen = 0;
    for (TTeilnehmer& p : *c->At(0)) {
        const int i = std::stoi(std::string(p.Name()).substr(4)) - 1000;
        p.Lauf[0] = static_cast<std::int16_t>(i < 4 ? 1 : 2);
        p.Bahn[0] = static_cast<std::int16_t>(i < 4 ? i + 1 : i - 1);
    }
    return c;
}

const TLaufErgebnis* ResultOf(const TZeitmessungAbgleich& m, const std::string& name) {
    for (const TLaufErgebnis& r : m.results)
        if (r.participant->Name() == name) return &r;
    return nullptr;
}

TEST(Timing, MatchesLanesToTheHeatsAndReportsTheRest) {
    auto c = Heats();
    TTeilnehmer& absent = *Find(*c->At(0), "Name1002");
    absent.Abzug[0] = PenaltyCode(TStatus::NichtAngetreten);
    TTeilnehmer& penalised = *Find(*c->At(0), "Name1003");
    penalised.Abzug[0] = 5;
    TZeitmessungDatei f;
    std::string error;
    ASSERT_TRUE(ReadTimingText("Lauf;Bahn;Zeit;Zeit2;Zeit3;Status\n"
                               "1;1;35,10;35,50;35,20;\n" // spread 0,40: deviating
                               "1;2;36,00;;;DQ\n"
                               "1;3;37,00;36,99;;\n" // was n.a.: did start
                               "1;4;38,00;;;\n"      // penalty points stay
                               "1;5;;;;\n"           // empty lane, nothing said
                               "1;6;40,00;;;\n"      // lane without a swimmer
                               "1;2;36,50;;;\n"      // the lane again
                               "7;1;35,00;;;\n"      // no such heat
                               "2;3;;;;\n"           // a swimmer without a time
                               "2;4;;;;DNS\n",
                               f, error));
    const TZeitmessungAbgleich m = MatchTiming(*c, 1, f);
    ASSERT_EQ(m.results.size(), 5u);
    struct Want {
        const char* name;
        TZeit time;
        TAbzug penalty;
    };
    const Want want[] = {{"Name1000", 3520, 0},
                         {"Name1001", 3600, PenaltyCode(TStatus::Disq)},
                         {"Name1002", 3700, 0},
                         {"Name1003", 3800, 5},
                         {"Name1005", 0, PenaltyCode(TStatus::NichtAngetreten)}};
    for (const Want& w : want) {
        SCOPED_TRACE(w.name);
        const TLaufErgebnis* r = ResultOf(m, w.name);
        ASSERT_NE(r, nullptr);
        EXPECT_EQ(r->time, w.time);
        EXPECT_EQ(r->penalty, w.penalty);
        EXPECT_EQ(r->discipline, 1);
    }
    EXPECT_EQ(ResultOf(m, "Name1000")->watches, (TUhren{3510, 3550, 3520}));
    EXPECT_EQ(m.heats, (std::vector<int>{1, 2}));
    EXPECT_EQ(m.deviating, (std::vector<std::string>{
                               "Lauf 1, Bahn 1 (Name1000, Vorname): die Uhren liegen 0,40 s "
                               "auseinander."}));
    EXPECT_EQ(m.skipped,
              (std::vector<std::string>{"Zeile 7: auf Bahn 6 in Lauf 1 schwimmt niemand.",
                                        "Zeile 8: Lauf 1, Bahn 2 steht schon in Zeile 3.",
                                        "Zeile 9: Lauf 7 gibt es in Wettkampf 1 nicht.",
                                        "Zeile 10: Lauf 2, Bahn 3: keine Zeit."}));
    EXPECT_EQ(TimingSummary(m), "Zeitmessung: 5 Zeiten in den Läufen 1 und 2 übernommen, 1 Bahn "
                                "mit abweichenden Zeiten.");

    // Applied through the heat entry's path, the age class is ranked with them.
    ASSERT_TRUE(ApplyHeatResults(m.results));
    EXPECT_EQ(absent.Zeit[0], 3700);
    EXPECT_EQ(absent.Abzug[0], 0);
    EXPECT_GT(absent.Punkte[0], 0);
    for (int i = 1; i < c->At(0)->Count(); ++i)
        EXPECT_GE(c->At(0)->At(i - 1)->Gesamtpunkte, c->At(0)->At(i)->Gesamtpunkte);

    // Discipline 2 has no heats at all: every line is reported.
    const TZeitmessungAbgleich none = MatchTiming(*c, 2, f);
    EXPECT_TRUE(none.results.empty());
    EXPECT_EQ(none.skipped.size(), f.rows.size());
    EXPECT_EQ(TimingSummary(none), "Zeitmessung: keine Zeit übernommen.");
}

TEST(Timing, TenthsCompetitionTakesTheSlowerTenth) {
    auto c = Heats(false);
    TZeitmessungDatei f;
    std::string error;
    ASSERT_TRUE(ReadTimingText("Heat,Lane,Time,Backup1\n1,1,35.11,\n1,2,35.10,35.20\n2,3,"
                               "1:02.01,\n",
                               f, error));
    const TZeitmessungAbgleich m = MatchTiming(*c, 1, f);
    ASSERT_EQ(m.results.size(), 3u);
    EXPECT_EQ(ResultOf(m, "Name1000")->time, 3520);
    EXPECT_EQ(ResultOf(m, "Name1001")->time, 3520);
    EXPECT_EQ(ResultOf(m, "Name1004")->time, 6210);
    EXPECT_EQ(TimingSummary(m), "Zeitmessung: 3 Zeiten in den Läufen 1 und 2 übernommen.");
}

TEST(Timing, StartListByHeatAndLane) {
    auto c = Heats();
    // A name with the separator and a quote must stay one field.
    Find(*c->At(0), "Name1005")->SetVorname("Jo; \"Jojo\"");
    Find(*c->At(0), "Name1001")->Lauf[0] = 0; // without a heat: not listed
    const TStartliste list = StartListText(*c, 1);
    EXPECT_EQ(list.entries, 5);
    EXPECT_EQ(list.heats, 2);
    EXPECT_EQ(list.text, "\xEF\xBB\xBF"
                         "Lauf;Bahn;Name;Vorname;Gliederung;Altersklasse\r\n"
                         "1;1;Name1000;Vorname;BY;AK 13/14w\r\n"
                         "1;3;Name1002;Vorname;HE;AK 13/14w\r\n"
                         "1;4;Name1003;Vorname;SH;AK 13/14w\r\n"
                         "2;3;Name1004;Vorname;BY;AK 13/14w\r\n"
                         "2;4;Name1005;\"Jo; \"\"Jojo\"\"\";NI;AK 13/14w\r\n");

    auto teams = MakeCompetition(true, 2);
    teams->At(0)->At(0)->Lauf[0] = 1;
    teams->At(0)->At(0)->Bahn[0] = 2;
    EXPECT_EQ(StartListText(*teams, 1).text, "\xEF\xBB\xBF"
                                             "Lauf;Bahn;Mannschaft;Gliederung;Altersklasse\r\n"
                                             "1;2;SG Team 1000;BY;AK 13/14w\r\n");
}

TEST(Timing, StartListNeverWritesOverAResultFile) {
    TempDir dir;
    auto c = Heats();
    const std::string erg = dir.File("Tag1.ERG");
    ASSERT_TRUE(Save(erg, *c, TSaveFormat::Ergebnis));
    const std::string before = ReadFileBytes(erg);
    TStartliste list;
    std::string error;
    EXPECT_FALSE(WriteStartList(erg, *c, 1, list, error));
    EXPECT_EQ(error, erg + ": eine Ergebnisdatei wird nicht mit einer Startliste überschrieben.");
    EXPECT_EQ(ReadFileBytes(erg), before);

    const std::string csv = dir.File("Start.csv");
    WriteFileBytes(csv, "old");
    ASSERT_TRUE(WriteStartList(csv, *c, 1, list, error)) << error;
    EXPECT_EQ(ReadFileBytes(csv), StartListText(*c, 1).text);
    EXPECT_FALSE(WriteStartList(dir.File("no/such/folder.csv"), *c, 1, list, error));
    EXPECT_NE(error.find("No such file or directory"), std::string::npos) << error;
}

} // namespace

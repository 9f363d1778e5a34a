// Heat-wise entry in the core: reading typed times and penalties, the rows of a heat,
// how far each heat is, and applying a heat's results with the ranking.
#include "operations/VmLaufEingabe.h"

#include "support/Builders.h"

#include <gtest/gtest.h>

namespace {

using namespace vm;
using namespace vmtest;

TEST(HeatEntry, TypedTimes) {
    struct Case {
        const char* text;
        bool hundredths;
        bool ok;
        TZeit time;
    };
    const Case cases[] = {
        {"3520", true, true, 3520},    // 0:35,20
        {"12345", true, true, 8345},   // 1:23,45
        {"3521", false, true, 23210},  // 3:52,1
        {"7", true, true, 7},          // 0:00,07
        {"7", false, true, 70},        // 0:00,7
        {" 959 ", true, true, 959},    // 0:09,59
        {"", true, true, 0},           // keeps 0
        {"35,2", true, true, 3520},    // seconds and tenths
        {"35.25", true, true, 3525},   // a point reads as the comma
        {"135,20", true, true, 9520},  // 1:35,20
        {"0:35,20", true, true, 3520}, // as the field shows it
        {"1:23,45", true, true, 8345},
        {"1:23", true, true, 8300},
        {"1:23,4", false, true, 8340},
        {",5", true, true, 50},
        {"9:59,99", true, true, 59999}, // the largest time
        {"7560", true, false, 0},       // 0:75,60
        {"123456", true, false, 0},     // six places
        {"12345", false, false, 0},     // five places without hundredths
        {"10:00,00", true, false, 0},   // ten minutes
        {"1:60", true, false, 0},
        {"35,25", false, false, 0}, // hundredths where tenths are kept
        {"35,123", true, false, 0},
        {"35x", true, false, 0},
        {"1:2:3", true, false, 0},
        {"35,2:1", true, false, 0},
        {"-3520", true, false, 0},
        {",", true, false, 0},
        {":", true, false, 0},
    };
    for (const Case& k : cases) {
        SCOPED_TRACE(std::string(k.text) + (k.hundredths ? " with" : " without") + " hundredths");
        TZeit t = -1;
        EXPECT_EQ(ParseTimeEntry(k.text, k.hundredths, t), k.ok);
        if (k.ok) {
            EXPECT_EQ(t, k.time);
        }
    }
}

TEST(HeatEntry, TypedPenalties) {
    struct Case {
        const char* text;
        bool ok;
        TAbzug penalty;
    };
    const Case cases[] = {
        {"", true, 0},       {"0", true, 0},      {"5", true, 5},      {"9999", true, 9999},
        {"d", true, -1},     {"D", true, -1},     {"a", true, -3},     {"e", true, -4},
        {"disq.", true, -1}, {"n.a.", true, -3},  {"n.er.", true, -4}, {"-2", true, -2},
        {" 10 ", true, 10},  {"10000", false, 0}, {"-5", false, 0},    {"x", false, 0},
        {"5a", false, 0},    {"da", false, 0},    {"-", false, 0},
    };
    for (const Case& k : cases) {
        SCOPED_TRACE(k.text);
        TAbzug p = 77;
        EXPECT_EQ(ParsePenaltyEntry(k.text, p), k.ok);
        if (k.ok) {
            EXPECT_EQ(p, k.penalty);
        }
    }
}

// Two classes with one discipline of method 1 (base time 0:30,00) and one class with
// none; heats of discipline 1 numbered across the competition.
struct THeats {
    std::unique_ptr<TWettkampf> c = Competition(5);
    TAltersklasse& a = Class("AK A", 2001, 1);
    TAltersklasse& b = Class("AK B", 2000, 1);
    TAltersklasse& none = Class("AK C", 1999, 0);

    TAltersklasse& Class(const std::string& name, int year, int disciplines) {
        TAltersklasse& ac = AddAgeClass(*c, name, year, year, 0, disciplines);
        ac.Data.Disziplinen[0].Berechnungsart = baNeu;
        ac.Data.Disziplinen[0].V[0] = 3000;
        return ac;
    }
    TTeilnehmer& Add(TAltersklasse& ac, const std::string& name, int heat, int lane,
                     TZeit time = 0) {
        auto p = NewParticipant();
        p->SetName(name);
        p->Lauf[0] = static_cast<std::int16_t>(heat);
        p->Bahn[0] = static_cast<std::int16_t>(lane);
        p->Zeit[0] = time;
        TTeilnehmer* raw = p.get();
        ac.InsertParticipant(std::move(p));
        return *raw;
    }
};

std::vector<std::pair<int, std::string>> Rows(const std::vector<TLaufPlatz>& rows) {
    std::vector<std::pair<int, std::string>> out;
    for (const TLaufPlatz& r : rows)
        out.emplace_back(r.lane, r.participant ? std::string(r.participant->Name()) : "frei");
    return out;
}

TEST(HeatEntry, RowsOfAHeatAndOfTheUnassigned) {
    THeats f;
    f.Add(f.a, "Anna", 2, 3);
    f.Add(f.b, "Bert", 2, 1);
    f.Add(f.b, "Cleo", 2, 3); // a second one on lane 3
    f.Add(f.a, "Dora", 2, 7); // a lane the pool does not have
    f.Add(f.a, "Emil", 1, 2);
    f.Add(f.b, "Zoe", 0, 0);
    f.Add(f.a, "Ida", 0, 0);
    f.Add(f.a, "Hugo", 0, 4);
    f.Add(f.none, "Olga", 0, 0); // her class has no discipline 1
    using R = std::vector<std::pair<int, std::string>>;
    EXPECT_EQ(Rows(HeatRows(*f.c, 2, 1)), (R{{1, "Bert"},
                                             {2, "frei"},
                                             {3, "Anna"},
                                             {3, "Cleo"},
                                             {4, "frei"},
                                             {5, "frei"},
                                             {7, "Dora"}}));
    EXPECT_EQ(Rows(HeatRows(*f.c, 0, 1)), (R{{0, "Ida"}, {0, "Zoe"}, {4, "Hugo"}}));
    EXPECT_EQ(Rows(HeatRows(*f.c, 9, 1)).size(), 5u);
    const auto rows = HeatRows(*f.c, 1, 1);
    EXPECT_EQ(rows[1].ageClass, &f.a);
    EXPECT_EQ(rows[1].participant->Name(), "Emil");
}

TEST(HeatEntry, ProgressCountsTheEntriesStillWithoutResult) {
    THeats f;
    f.Add(f.a, "Anna", 1, 1, 3000);
    TTeilnehmer& bert = f.Add(f.b, "Bert", 1, 2);
    f.Add(f.b, "Cleo", 2, 1, 3100);
    f.Add(f.a, "Ida", 0, 0);
    f.Add(f.none, "Olga", 0, 0);
    auto progress = HeatProgress(*f.c, 1);
    ASSERT_EQ(progress.size(), 3u);
    EXPECT_EQ(progress[1].participants, 2);
    EXPECT_EQ(progress[1].missing, 1);
    EXPECT_EQ(progress[2].missing, 0);
    EXPECT_EQ(progress[0].participants, 1);
    bert.Abzug[0] = PenaltyCode(TStatus::NichtAngetreten); // a status is a result too
    EXPECT_EQ(HeatProgress(*f.c, 1)[1].missing, 0);
}

TEST(HeatEntry, ApplyingAHeatRanksEveryClassItTouches) {
    THeats f;
    TTeilnehmer& anna = f.Add(f.a, "Anna", 1, 1);
    TTeilnehmer& ben = f.Add(f.a, "Ben", 1, 2);
    TTeilnehmer& cleo = f.Add(f.b, "Cleo", 1, 3);
    TTeilnehmer& dave = f.Add(f.b, "Dave", 2, 1, 3000);
    const std::vector<TLaufErgebnis> heat = {{&f.a, &anna, 1, 3300, 0},
                                             {&f.a, &ben, 1, 3000, 5},
                                             {&f.b, &cleo, 1, 2900, PenaltyCode(TStatus::Disq)}};
    EXPECT_TRUE(ApplyHeatResults(heat));
    EXPECT_EQ(anna.Zeit[0], 3300);
    EXPECT_EQ(ben.Abzug[0], 5);
    // 0:30,00 on the base time is 1000 points, less 5 penalty points.
    EXPECT_EQ(ben.Punkte[0], 99500);
    EXPECT_EQ(ben.Platz, 1);
    EXPECT_EQ(anna.Platz, 2);
    EXPECT_EQ(f.a.At(0), &ben);
    // Disqualified: the time stays, the points are 0 and Dave leads his class.
    EXPECT_EQ(cleo.Zeit[0], 2900);
    EXPECT_EQ(cleo.Gesamtpunkte, 0);
    EXPECT_EQ(dave.Platz, 1);
    EXPECT_EQ(cleo.Platz, 2);
    // The same results again change nothing.
    EXPECT_FALSE(ApplyHeatResults(heat));
}

} // namespace

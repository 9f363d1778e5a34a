#include "print/VmDruck.h"

#include "support/Builders.h"

#include <gtest/gtest.h>

using namespace vm;
using vmtest::AddEntry;
using vmtest::MakeAgeClass;

namespace {

std::string Sp(int n) {
    return std::string(static_cast<std::size_t>(n), ' ');
}

struct ResultLineTest : ::testing::Test {
    std::unique_ptr<TWettkampf> c = NewCompetition();
    std::unique_ptr<TAltersklasse> ac = MakeAgeClass("AK 13/14w", 2, false);
    void SetUp() override { c->Header.Optionen = 1; }
};

TEST_F(ResultLineTest, HeaderAndParticipantColumnsOfAnIndividualList) {
    AddEntry(*ac, {"Meier", "Anna", "12.03.1990", "BY", 2700, 5400});
    TResultLineOptions o;
    EXPECT_EQ(ResultLine(*c, *ac, 0, o), "Pl.   GesamtP. Glied. Jg Name" + Sp(17) + "Vorname" +
                                             Sp(14) + " Zeit 1  Abz1  Pkt. 1 Zeit 2  Abz2  Pkt. 2");
    EXPECT_EQ(ResultLine(*c, *ac, 1, o), "  1.   1400,00 BY     90 Meier" + Sp(16) + "Anna" +
                                             Sp(17) + " 0:27,00    0 1000,00 0:54,00    0  400,00");
    // Header and line have the same width with hundredths.
    EXPECT_EQ(ResultLine(*c, *ac, 0, o).size(), ResultLine(*c, *ac, 1, o).size());
    EXPECT_EQ(ResultLine(*c, *ac, 2, o), "");
    EXPECT_EQ(ResultLine(*c, *ac, -1, o), "");
}

TEST_F(ResultLineTest, StatusMarksAkAndEntriesWithoutPoints) {
    AddEntry(*ac, {"Disq", "Dora", "1990", "NI", 2700, 5400, 0, -1});
    TTeilnehmer& ak = AddEntry(*ac, {"Aussen", "Anna", "x", "HE", 2700, 5400});
    ak.SetFlag(tnAusserKonkurrenz, true);
    RankAgeClass(*ac);
    TTeilnehmer& none = AddEntry(*ac, {"Null", "Nina", "12.03.19x9", "SH", 0, 0});
    none.SetFlag(tnAusserKonkurrenz, true);
    RankAgeClass(*ac);
    TResultLineOptions o;
    o.recordMarks = true;
    for (int n = 1; n <= ac->Count(); ++n) {
        const TTeilnehmer& p = *ac->At(n - 1);
        const std::string line = ResultLine(*c, *ac, n, o);
        if (&p == &ak) {
            EXPECT_EQ(line.substr(0, 5), "AK   ");
        } else if (p.Name() == "Null") {
            EXPECT_EQ(line.substr(0, 6), "      "); // no place, no mark
            EXPECT_EQ(line.substr(22, 3), "   ");   // year not printable
        } else {
            // The status mark right-aligned in 5, no record mark, 0,00 points.
            EXPECT_NE(line.find(" 0:54,00 disq.   0,00"), std::string::npos) << line;
            EXPECT_EQ(line.substr(22, 3), "90 ");
        }
    }
}

TEST_F(ResultLineTest, TeamHlwAndHeatLaneColumns) {
    c->Header.Art = wkMannschaft;
    auto hlw = MakeAgeClass("AK Offen", 0, true);
    auto p = NewParticipant();
    p->SetMannschaft("SG Musterstadt 1");
    p->Gliederung.Set("BY");
    p->SetFlag(tnWeiblich, true);
    p->HLWPunkte = -100;
    p->Startzeit = 905;
    p->HLWBahn = 3;
    hlw->InsertParticipant(std::move(p));
    TResultLineOptions o;
    // No disciplines: the person part alone, one 31-character team column, HLW column.
    EXPECT_EQ(ResultLine(*c, *hlw, 0, o), "Pl.   GesamtP. Glied. Mannschaft" + Sp(21) + "    HLW ");
    EXPECT_EQ(ResultLine(*c, *hlw, 1, o),
              Sp(6) + "    0,00 BY     SG Musterstadt 1" + Sp(15) + "  disq. ");
    o.heatLane = true;
    o.times = false;
    EXPECT_EQ(ResultLine(*c, *hlw, 1, o).substr(61), "09:05   3 ");
    EXPECT_EQ(ResultPersonPart(*c, *hlw, 0, o).substr(61), " Zeit Sta ");
    EXPECT_EQ(ResultDisciplinePart(*c, *ac, 0, o), " La1 Ba1 La2 Ba2");
}

TEST_F(ResultLineTest, TimesStandRightAlignedUnderTheirHeaderWithOrWithoutHundredths) {
    AddEntry(*ac, {"Meier", "Anna", "12.03.1990", "BY", 2700, 62340, 0, 25});
    struct Case {
        int options;
        const char* part;
    } cases[] = {
        {1, " 0:27,00    0 1000,00 10:23,4   25    0,00"},
        // Without hundredths the time is one character shorter and is padded on the
        // left; a time of ten minutes or more fills the column.
        {0, "  0:27,0    0 1000,00 10:23,4   25    0,00"},
    };
    TResultLineOptions o;
    const std::string header = ResultDisciplinePart(*c, *ac, 0, o);
    ASSERT_EQ(header, " Zeit 1  Abz1  Pkt. 1 Zeit 2  Abz2  Pkt. 2");
    for (const Case& k : cases) {
        c->Header.Optionen = static_cast<std::int16_t>(k.options);
        const std::string line = ResultDisciplinePart(*c, *ac, 1, o);
        EXPECT_EQ(line, k.part);
        ASSERT_EQ(line.size(), header.size());
        // Penalty and points end where their headers end.
        for (const char* column : {"Abz1", "Pkt. 1", "Abz2", "Pkt. 2"}) {
            const std::size_t end = header.find(column) + std::string(column).size();
            EXPECT_NE(line[end - 1], ' ') << column << " in \"" << line << "\"";
            EXPECT_TRUE(end == line.size() || line[end] == ' ') << column;
        }
    }
}

TEST_F(ResultLineTest, TimeColumnIsTimeToTextForEveryTime) {
    // Every time, with and without hundredths, comes out as TimeToText gives it, padded
    // to the column.
    TTeilnehmer& p = AddEntry(*ac, {"Meier", "Anna", "1990", "BY", 0, 5400});
    TResultLineOptions o;
    for (int options : {0, 1}) {
        c->Header.Optionen = static_cast<std::int16_t>(options);
        const bool hundredths = WithHundredths(*c);
        for (TZeit t = -1500; t <= 70000; ++t) {
            p.Zeit[0] = t;
            const std::string part = ResultDisciplinePart(*c, *ac, 1, o);
            ASSERT_EQ(part.substr(0, 8), " " + PadLeft(TimeToText(t, hundredths), 7))
                << "time " << t << " hundredths " << hundredths;
        }
    }
}

TEST_F(ResultLineTest, RecordMarks) {
    AddEntry(*ac, {"Erste", "Anna", "1990", "BY", 2700, 5400});
    AddEntry(*ac, {"Zweite", "Berta", "1990", "BY", 2800, 5500});
    RankAgeClass(*ac);
    const TTeilnehmer& best = *ac->At(0);
    const TTeilnehmer& second = *ac->At(1);
    // No stored records: "?" at the best entry only.
    EXPECT_EQ(TotalRecordMark(*ac, best), '?');
    EXPECT_EQ(DisciplineRecordMark(*ac, best, 0), '?');
    EXPECT_EQ(TotalRecordMark(*ac, second), ' ');
    struct Case {
        TZeit recordTime;
        TPunkte recordTotal;
        char mark;
    };
    for (const Case& k :
         {Case{2700, 140000, 'E'}, Case{2600, 150000, '*'}, Case{2800, 130000, 'R'}}) {
        ac->Data.Rekorde[0].VorjahrZeit = k.recordTime;
        ac->Data.RekordGesamtpunkte = k.recordTotal;
        EXPECT_EQ(DisciplineRecordMark(*ac, best, 0), k.mark) << k.recordTime;
        EXPECT_EQ(TotalRecordMark(*ac, best), k.mark) << k.recordTotal;
    }
    TResultLineOptions o;
    o.recordMarks = true;
    EXPECT_EQ(ResultLine(*c, *ac, 1, o).substr(0, 15), "  1. R 1400,00 ");
    EXPECT_NE(ResultLine(*c, *ac, 1, o).find("    0R1000,00"), std::string::npos);
    o.recordMarks = false;
    EXPECT_EQ(ResultLine(*c, *ac, 1, o).substr(0, 15), "  1.   1400,00 ");
}

} // namespace

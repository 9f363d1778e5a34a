#include "print/VmStat.h"

#include "support/Builders.h"

#include <gtest/gtest.h>

using namespace vm;

namespace {

struct Row {
    const char* glied;
    TPunkte total;
    std::int16_t place;
    bool ak = false;
    bool absent = false;
};

// Appends entries in the given (ranking) order; totals and places are set as given.
void AddAgeClass(TWettkampf& c, const std::string& name, int year,
                 std::initializer_list<Row> rows) {
    auto ac = vmtest::MakeAgeClass(name, 1, false, year);
    int k = 0;
    for (const Row& r : rows) {
        auto p = NewParticipant();
        p->SetName("N" + std::to_string(100 + k++));
        p->Gliederung.Set(r.glied);
        p->Gesamtpunkte = r.total;
        p->Platz = r.place;
        p->Abzug[0] = 5;
        p->SetFlag(tnAusserKonkurrenz, r.ak);
        if (r.absent) MarkAbsent(*p);
        ac->Append(std::move(p));
    }
    c.InsertAgeClass(std::move(ac));
}

const TGliederungStat& RowOf(const TWettkampf& c, const char* code) {
    const TGliederungStat* g = c.Gliederungen.Find(code);
    EXPECT_NE(g, nullptr) << code;
    static TGliederungStat none;
    return g ? *g : none;
}

TEST(StatisticsTest, TrophyPointsGoByTheOrderOfTheGliederungen) {
    EXPECT_EQ(TrophyPoints(1), 30);
    EXPECT_EQ(TrophyPoints(2), 28);
    EXPECT_EQ(TrophyPoints(3), 26);
    EXPECT_EQ(TrophyPoints(4), 25);
    EXPECT_EQ(TrophyPoints(28), 1);
    EXPECT_EQ(TrophyPoints(29), 0);

    auto c = NewCompetition();
    AddAgeClass(*c, "AK A", 1990,
                {{"X", 1299, 1},
                 {"X", 1050, 2},
                 {"Y", 900, 3},
                 {"Z", 800, 4},
                 {"", 700, 5},
                 {"W", 600, 6, true},
                 {"V", 0, 7, false, true}});
    ComputeStatistics(*c, smKurz);
    const TGliederungStat& x = RowOf(*c, "X");
    EXPECT_EQ(x.TN, 2);
    EXPECT_EQ(x.Go, 1);
    EXPECT_EQ(x.Si, 1);
    EXPECT_EQ(x.KRW, 30);    // the second entry of X scores no trophy points
    EXPECT_EQ(x.Punkte, 22); // 12,99 and 10,50 as whole points
    EXPECT_EQ(x.AbzugSumme, 10);
    EXPECT_EQ(x.PlatzSumme, 3);
    EXPECT_EQ(RowOf(*c, "Y").KRW, 28);
    EXPECT_EQ(RowOf(*c, "Y").Br, 1);
    EXPECT_EQ(RowOf(*c, "Z").KRW, 26);
    // Out of competition and absent entries count in TN only.
    for (const char* code : {"W", "V"}) {
        const TGliederungStat& g = RowOf(*c, code);
        EXPECT_EQ(g.TN, 1) << code;
        EXPECT_EQ(g.KRW + g.Go + g.Si + g.Br + g.Punkte, 0) << code;
    }
    // The entry without a short code is ignored completely.
    EXPECT_EQ(c->Gliederungen.Count(), 5);
    EXPECT_EQ(c->Gliederungen.Find(""), nullptr);
}

TEST(StatisticsTest, TwentyEighthGliederungScoresOneAndLaterOnesNothing) {
    auto c = NewCompetition();
    auto ac = vmtest::MakeAgeClass("AK A", 1, false);
    for (int k = 0; k < 30; ++k) {
        auto p = NewParticipant();
        p->SetName("N" + std::to_string(100 + k));
        p->Gliederung.Set("G" + std::to_string(10 + k));
        p->Gesamtpunkte = 10000 - k;
        p->Platz = static_cast<std::int16_t>(k + 1);
        ac->Append(std::move(p));
    }
    c->InsertAgeClass(std::move(ac));
    ComputeStatistics(*c, smKRW);
    EXPECT_EQ(RowOf(*c, "G37").KRW, 1);
    EXPECT_EQ(RowOf(*c, "G38").KRW, 0);
    EXPECT_EQ(c->Gliederungen.At(0)->KRW, 30);
}

TEST(StatisticsTest, EqualRowsSharePlacesAndRecomputingDropsUnusedRows) {
    auto c = NewCompetition();
    AddAgeClass(*c, "AK A", 1992, {{"A", 500, 1}, {"B", 400, 2}, {"C", 300, 3}});
    AddAgeClass(*c, "AK B", 1990, {{"B", 500, 1}, {"A", 400, 2}, {"D", 300, 3}});
    ComputeStatistics(*c, smMedaillen);
    // A and B: one gold and one silver each; C and D: one bronze each.
    std::vector<int> places;
    for (const TGliederungStat& g : c->Gliederungen)
        places.push_back(g.Platz);
    EXPECT_EQ(places, (std::vector<int>{1, 1, 3, 3}));

    const std::vector<std::string> first = {StatLine(c->Gliederungen, 1, 1),
                                            StatLine(c->Gliederungen, 1, 2)};
    ComputeStatistics(*c, smMedaillen);
    EXPECT_EQ(c->Gliederungen.Count(), 4);
    EXPECT_EQ(StatLine(c->Gliederungen, 1, 1) + StatLine(c->Gliederungen, 1, 2),
              first[0] + first[1]);

    c->At(1)->At(2)->Gliederung.Set("A"); // D (in AK B) loses its only participant
    ComputeStatistics(*c, smKurz);
    EXPECT_EQ(c->Gliederungen.Find("D"), nullptr);
    EXPECT_EQ(c->Gliederungen.Count(), 3);
}

TEST(StatisticsTest, LineTexts) {
    auto c = NewCompetition();
    AddAgeClass(*c, "AK A", 1990, {{"BY", 123456, 1}, {"BY", 1000, 2}, {"NI", 900, 3}});
    ComputeStatistics(*c, smKurz);
    c->Gliederungen.Find("BY")->Name.Set("Bayern");
    const std::string g30 = "Gliederung" + std::string(20, ' ');
    const std::string by30 = "Bayern" + std::string(24, ' ');
    const TGliederungStatList& l = c->Gliederungen;
    EXPECT_EQ(StatLine(l, 0, 0), "Nr. Abk.  " + g30 + "  TN GesamtP");
    EXPECT_EQ(StatLine(l, 0, 1), "  1 BY    " + by30 + "   2    1244");
    EXPECT_EQ(StatLine(l, 1, 0), "Pl. Abk.   TN  Go  Si  Br " + g30 + " GesamtP KRW");
    EXPECT_EQ(StatLine(l, 1, 1), "  1 BY      2   1   1   0 " + by30 + "    1244  30");
    EXPECT_EQ(StatLine(l, 3, 0), "Pl. GesamtP Abk.  " + g30 + "  TN DPunkte");
    EXPECT_EQ(StatLine(l, 3, 1), "  1    1244 BY    " + by30 + "   2  622.00");
    EXPECT_EQ(StatLine(l, 4, 0), "Pl. KRW Abk.  " + g30 + "  TN");
    EXPECT_EQ(StatLine(l, 4, 1), "  1  30 BY    " + by30 + "   2");
    EXPECT_EQ(StatLine(l, 2, 0), "?");
    EXPECT_EQ(StatLine(l, 7, 1), "?");
    EXPECT_EQ(StatLine(l, 0, 3), "");

    TGliederungStatList empty;
    auto row = std::make_unique<TGliederungStat>();
    row->Kurz.Set("XY");
    empty.Insert(std::move(row));
    EXPECT_EQ(StatLine(empty, 3, 1).substr(StatLine(empty, 3, 1).size() - 7), "    -,-");

    EXPECT_EQ(StatModeOfPrintIndex(0), 0);
    EXPECT_EQ(StatModeOfPrintIndex(1), 1);
    EXPECT_EQ(StatModeOfPrintIndex(2), 3);
    EXPECT_EQ(StatModeOfPrintIndex(3), 4);
}

} // namespace

#include "operations/VmAuswahl.h"

#include "support/Builders.h"

#include <gtest/gtest.h>

namespace {

using namespace vm;
using namespace vmtest;

// One entry with every resettable value set and an HLW slot.
TTeilnehmer& Filled(TAltersklasse& ac, const std::string& name) {
    TTeilnehmer& p = AddEntrant(ac, name, 50);
    for (std::size_t d = 0; d < 5; ++d) {
        p.Zeit[d] = 3000 + static_cast<int>(d);
        p.Abzug[d] = 2;
        p.Lauf[d] = 4;
        p.Bahn[d] = 5;
    }
    p.Startzeit = 815;
    p.HLWBahn = 3;
    RecalcAgeClass(ac);
    return p;
}

TEST(Reset, OptionsAndItems) {
    struct Case {
        TResetSet set;
        bool times, penalties, heats, lanes, hlw;
    };
    const std::vector<Case> cases = {
        {ResetSetForOption(0), true, true, false, false, true},
        {ResetSetForOption(1), false, false, true, true, false},
        {ResetSetForOption(2), true, true, true, true, true},
        {ResetSetForOption(3), false, false, false, false, false},
        {ResetItem(rsLauf + 2) | ResetItem(rsHLW), false, false, false, false, true},
    };
    for (std::size_t k = 0; k < cases.size(); ++k) {
        SCOPED_TRACE(k);
        const Case& cs = cases[k];
        auto c = Competition();
        TAltersklasse& ac = AddAgeClass(*c, "AK", 1995, 1995, akHLW, 5);
        TTeilnehmer& p = Filled(ac, "A");
        ResetCompetition(*c, cs.set);
        for (std::size_t d = 0; d < 5; ++d) {
            EXPECT_EQ(p.Zeit[d] == 0, cs.times);
            EXPECT_EQ(p.Abzug[d] == 0, cs.penalties);
            EXPECT_EQ(p.Bahn[d] == 0, cs.lanes);
            if (k == 4)
                EXPECT_EQ(p.Lauf[d] == 0, d == 2);
            else
                EXPECT_EQ(p.Lauf[d] == 0, cs.heats);
        }
        EXPECT_EQ(p.HLWPunkte == 0, cs.hlw);
        // Recalculated, and the HLW slot survives every option.
        EXPECT_EQ(p.Gesamtpunkte, cs.hlw ? 0 : 5000);
        EXPECT_EQ(p.Startzeit, 815);
        EXPECT_EQ(p.HLWBahn, 3);
    }
}

// Entries for the strike modes: one without anything, one with one time, one
// marked n.a. by hand despite its times, one with a real result.
struct StrikeFixture {
    std::unique_ptr<TWettkampf> c = Competition();
    TAltersklasse& ac = AddAgeClass(*c, "AK", 1995, 1995, 0, 2);
    StrikeFixture() {
        AddEntrant(ac, "Leer", 0);
        TTeilnehmer& one = AddEntrant(ac, "EineZeit", 0);
        one.Zeit[1] = 4500;
        TTeilnehmer& marked = AddEntrant(ac, "Markiert", 0);
        marked.Zeit[0] = 4000;
        for (auto& a : marked.Abzug)
            a = -2;
        AddEntrant(ac, "Punkte", 300);
        RecalcAgeClass(ac);
    }
};

TEST(Strike, Modes) {
    {
        StrikeFixture f;
        StrikeCompetition(*f.c, skMarkAbsent);
        EXPECT_EQ(f.ac.Count(), 4);
        const TTeilnehmer& p = *Find(f.ac, "Leer");
        EXPECT_EQ(p.Abzug, (std::array<std::int16_t, 5>{-3, -3, -3, -3, -3}));
        EXPECT_EQ(p.HLWPunkte, -300);
        EXPECT_TRUE(IsPresent(*Find(f.ac, "EineZeit")));
        EXPECT_EQ(Names(f.ac).back(), "Markiert"); // both did not start; by name
    }
    {
        StrikeFixture f;
        StrikeCompetition(*f.c, skDelete);
        EXPECT_EQ(Names(f.ac), (std::vector<std::string>{"Punkte", "EineZeit", "Markiert"}));
    }
    {
        // The hand-marked entry goes although it has a time.
        StrikeFixture f;
        StrikeCompetition(*f.c, skDeleteNotStarted);
        EXPECT_EQ(Names(f.ac), (std::vector<std::string>{"Punkte", "EineZeit", "Leer"}));
    }
    {
        // Mode 0 then mode 2 removes those mode 1 would, plus the hand-marked one.
        StrikeFixture f;
        StrikeCompetition(*f.c, skMarkAbsent);
        StrikeCompetition(*f.c, skDeleteNotStarted);
        EXPECT_EQ(Names(f.ac), (std::vector<std::string>{"Punkte", "EineZeit"}));
    }
}

std::vector<std::string> Selected(const TSelection& s) {
    std::vector<std::string> out;
    for (const TListEntry& e : s.entries)
        out.emplace_back(e.participant->Name());
    return out;
}

TEST(Selection, OrdersAndCriteria) {
    auto c = Competition(10);
    TAltersklasse& a = AddAgeClass(*c, "A", 1995, 1995, akHLW, 2);
    TAltersklasse& b = AddAgeClass(*c, "B", 1994, 1994, 0, 2);
    auto add = [](TAltersklasse& ac, const std::string& name, int points, const std::string& code,
                  int heat, int lane, int start, int station) {
        TTeilnehmer& p = AddEntrant(ac, name, points, code);
        p.Lauf[1] = static_cast<std::int16_t>(heat);
        p.Bahn[1] = static_cast<std::int16_t>(lane);
        p.Startzeit = static_cast<std::int16_t>(start);
        p.HLWBahn = static_cast<std::int16_t>(station);
    };
    add(a, "Dora", 100, "BY", 3, 10, 815, 1);
    add(a, "Anna", 300, "NI", 4, 1, 800, 5);
    add(b, "Carl", 300, "BY", 3, 9, 800, 2);
    add(b, "Bert", 50, "BY", 0, 0, 0, 0);

    TSelection s;
    MarkAllAgeClasses(s, *c, true);
    SelectParticipants(s, *c);
    EXPECT_EQ(Selected(s), (std::vector<std::string>{"Anna", "Carl", "Dora", "Bert"})); // order 0

    SetSelectionOrder(s, soName);
    EXPECT_EQ(Selected(s), (std::vector<std::string>{"Anna", "Bert", "Carl", "Dora"}));
    SetSelectionOrder(s, soLauf, 2);
    EXPECT_EQ(Selected(s), (std::vector<std::string>{"Bert", "Carl", "Dora", "Anna"}));
    SetSelectionOrder(s, soHLWZeit);
    EXPECT_EQ(Selected(s), (std::vector<std::string>{"Bert", "Carl", "Anna", "Dora"}));

    // New entries go to their place in the current order.
    ClearSelection(s);
    SetSelectionOrder(s, soName);
    SelectGliederung(s, *c, "BY");
    EXPECT_EQ(Selected(s), (std::vector<std::string>{"Bert", "Carl", "Dora"}));
    SelectGliederung(s, *c, "B"); // exact codes only
    EXPECT_EQ(s.entries.size(), 3u);

    ClearSelection(s);
    SelectHeat(s, *c, 3, 2);
    EXPECT_EQ(Selected(s), (std::vector<std::string>{"Carl", "Dora"}));
    ClearSelection(s);
    SelectHeat(s, *c, 0, 2); // those without a heat in discipline 2
    EXPECT_EQ(Selected(s), (std::vector<std::string>{"Bert"}));
    ClearSelection(s);
    SelectHeat(s, *c, 0, 1);
    EXPECT_EQ(s.entries.size(), 4u);

    // Only marked age classes count.
    ClearSelection(s);
    MarkHLWAgeClasses(s, *c);
    EXPECT_TRUE(s.Marked(a));
    EXPECT_FALSE(s.Marked(b));
    SelectParticipants(s, *c);
    EXPECT_EQ(Selected(s), (std::vector<std::string>{"Anna", "Dora"}));
    ClearSelection(s);
    MarkAllAgeClasses(s, *c, true);
    SelectHLWParticipants(s, *c);
    EXPECT_EQ(Selected(s), (std::vector<std::string>{"Anna", "Dora"}));
    EXPECT_EQ(s.entries.front().ageClass, &a);
    MarkAllAgeClasses(s, *c, false);
    ClearSelection(s);
    SelectParticipants(s, *c);
    EXPECT_TRUE(s.entries.empty());
    EXPECT_EQ(a.Count(), 2); // clearing touches no participant
}

TEST(Selection, EqualEntriesAreAllKeptTheNewOneFirst) {
    auto c = Competition();
    TAltersklasse& a = AddAgeClass(*c, "A", 1995, 1995);
    TTeilnehmer& first = AddEntrant(a, "Gleich", 100);
    TTeilnehmer& second = AddEntrant(a, "Gleich", 100);
    TSelection s;
    InsertSelection(s, a, first);
    InsertSelection(s, a, second);
    ASSERT_EQ(s.entries.size(), 2u);
    EXPECT_EQ(s.entries[0].participant, &second);
    EXPECT_EQ(s.entries[1].participant, &first);
}

// A list gathers its own selection at once: the same entries in the same order as a
// selection built step by step holds after marking and selecting, ties included.
TEST(Selection, ListSelectionEqualsTheStepwiseSelection) {
    auto c = Competition();
    TAltersklasse& a = AddAgeClass(*c, "A", 1995, 1995, akHLW, 2);
    TAltersklasse& b = AddAgeClass(*c, "B", 1994, 1994, 0, 2);
    // Three entries equal under every order, in two age classes, and some others.
    std::vector<TTeilnehmer*> all = {&AddEntrant(a, "Gleich", 100), &AddEntrant(a, "Gleich", 100),
                                     &AddEntrant(b, "Gleich", 100), &AddEntrant(a, "Olga", 300),
                                     &AddEntrant(b, "Paul", 50),    &AddEntrant(a, "Ida", 20)};
    for (std::size_t k = 0; k < all.size(); ++k) {
        TTeilnehmer& p = *all[k];
        const bool tied = p.Name() == "Gleich";
        p.Lauf[0] = static_cast<std::int16_t>(tied ? 2 : k % 3);
        p.Bahn[0] = static_cast<std::int16_t>(tied ? 4 : k);
        p.Startzeit = static_cast<std::int16_t>(tied ? 830 : 800 + 5 * k);
        p.HLWBahn = static_cast<std::int16_t>(tied ? 1 : k);
    }
    // A selection that already holds something, in another order, with other marks.
    TSelection s;
    s.marked.insert(&b);
    SetSelectionOrder(s, soName);
    SelectParticipants(s, *c);
    ASSERT_EQ(s.entries.size(), 2u);

    const struct {
        TListAgeClasses ageClasses;
        TSelectionOrder order;
    } cases[] = {
        {TListAgeClasses::All, {soLauf, 1}},
        {TListAgeClasses::WithHLW, {soHLWZeit, 1}},
        {TListAgeClasses::All, {soPunkte, 1}},
        {TListAgeClasses::All, {soName, 1}},
    };
    for (const auto& k : cases) {
        SCOPED_TRACE(k.order.order);
        const TListSelection list = SelectForList(*c, k.ageClasses, k.order);
        for (const TListEntry& e : list)
            EXPECT_TRUE(PointsInto(*c, e));

        // What a selection built step by step holds for the same request.
        if (k.ageClasses == TListAgeClasses::All)
            MarkAllAgeClasses(s, *c, true);
        else
            MarkHLWAgeClasses(s, *c);
        ClearSelection(s);
        SetSelectionOrder(s, k.order.order, k.order.discipline);
        SelectParticipants(s, *c);
        ASSERT_EQ(list.size(), s.entries.size());
        for (std::size_t i = 0; i < list.size(); ++i) {
            EXPECT_EQ(list[i].ageClass, s.entries[i].ageClass) << i;
            EXPECT_EQ(list[i].participant, s.entries[i].participant) << i;
        }
    }

    // An entry of another competition points nowhere here.
    auto other = Competition();
    TAltersklasse& foreign = AddAgeClass(*other, "A", 1995, 1995);
    TTeilnehmer& stranger = AddEntrant(foreign, "Gleich", 100);
    EXPECT_FALSE(PointsInto(*c, &foreign, &stranger));
    EXPECT_FALSE(PointsInto(*c, &a, &stranger));
    EXPECT_FALSE(PointsInto(*c, &b, all[0]));
    EXPECT_TRUE(PointsInto(*c, &a, all[0]));
}

TEST(Selection, HeatRange) {
    auto c = Competition();
    THeatRange none = HeatRange(*c, 0);
    EXPECT_EQ(none.first, 32767);
    EXPECT_EQ(none.last, 0);
    TAltersklasse& a = AddAgeClass(*c, "A", 1995, 1995);
    TTeilnehmer& p = AddEntrant(a, "P", 10);
    TTeilnehmer& q = AddEntrant(a, "Q", 10);
    p.Lauf = {3, 9, 0, 0, 0};
    q.Lauf = {5, 2, 0, 0, 0};
    EXPECT_EQ(HeatRange(*c, 1).first, 3);
    EXPECT_EQ(HeatRange(*c, 1).last, 5);
    EXPECT_EQ(HeatRange(*c, 2).last, 9);
    EXPECT_EQ(HeatRange(*c, 0).first, 0);
    EXPECT_EQ(HeatRange(*c, 0).last, 9);
}

} // namespace

#include "operations/VmLauf.h"

#include "support/Builders.h"

#include <gtest/gtest.h>

#include <array>
#include <set>
#include <utility>

namespace {

using namespace vm;
using namespace vmtest;

using Slot = std::pair<int, int>; // heat, lane

std::vector<Slot> Slots(const TAltersklasse& ac, int d = 1) {
    std::vector<Slot> out;
    for (const TTeilnehmer& p : ac)
        out.emplace_back(p.Lauf[static_cast<std::size_t>(d - 1)],
                         p.Bahn[static_cast<std::size_t>(d - 1)]);
    return out;
}

// Ten entries P01 (strongest) .. P10 on a four-lane pool, plus a following age
// class with one entry.
struct TenOnFour {
    std::unique_ptr<TWettkampf> c = Competition(4);
    TAltersklasse& ac = AddAgeClass(*c, "AK 12", 1992, 1992);
    TAltersklasse& next = AddAgeClass(*c, "AK 13/14", 1990, 1991);
    TenOnFour() {
        for (int i = 1; i <= 10; ++i)
            AddEntrant(ac, (i < 10 ? "P0" : "P") + std::to_string(i), 1000 - 10 * i);
        AddEntrant(next, "N", 100);
    }
};

TEST(HeatAssignment, LaneOrderTableAndItsRule) {
    const std::vector<std::vector<int>> table = {
        {1},
        {1, 2},
        {2, 1, 3},
        {2, 3, 1, 4},
        {3, 2, 4, 1, 5},
        {3, 4, 2, 5, 1, 6},
        {4, 3, 5, 2, 6, 1, 7},
        {4, 5, 3, 6, 2, 7, 1, 8},
        {5, 4, 6, 3, 7, 2, 8, 1, 9},
        {5, 6, 4, 7, 3, 8, 2, 9, 1, 10},
    };
    for (std::size_t n = 1; n <= table.size(); ++n)
        for (std::size_t pos = 1; pos <= n; ++pos)
            EXPECT_EQ(LaneOrder(static_cast<int>(n), static_cast<int>(pos)), table[n - 1][pos - 1])
                << n << " lanes, position " << pos;
    EXPECT_EQ(LaneOrder(12, 1), 1);
    EXPECT_EQ(LaneOrder(12, 7), 7);
}

TEST(HeatAssignment, TenOnFourLanes) {
    struct Case {
        const char* what;
        THeatSettings s;
        std::vector<Slot> expected;
        int nextHeat;
    };
    const std::vector<Case> cases = {
        {"plain",
         {1, 1, 0},
         {{3, 2}, {3, 3}, {3, 1}, {3, 4}, {2, 2}, {2, 3}, {2, 1}, {2, 4}, {1, 2}, {1, 3}},
         4},
        {"reverse",
         {1, 1, lbUmgekehrt},
         {{1, 2}, {1, 3}, {1, 1}, {1, 4}, {2, 2}, {2, 3}, {2, 1}, {2, 4}, {3, 2}, {3, 3}},
         4},
        {"start position 3",
         {1, 3, 0},
         {{3, 1}, {3, 4}, {2, 2}, {2, 3}, {2, 1}, {2, 4}, {1, 2}, {1, 3}, {1, 1}, {1, 4}},
         4},
        {"start position 3, reverse",
         {1, 3, lbUmgekehrt},
         {{1, 1}, {1, 4}, {2, 2}, {2, 3}, {2, 1}, {2, 4}, {3, 2}, {3, 3}, {3, 1}, {3, 4}},
         4},
        {"start heat 1000",
         {1000, 1, 0},
         {{1002, 2},
          {1002, 3},
          {1002, 1},
          {1002, 4},
          {1001, 2},
          {1001, 3},
          {1001, 1},
          {1001, 4},
          {1000, 2},
          {1000, 3}},
         1003},
        // A start position below 1 counts as 1; one beyond the lanes too.
        {"start position 0",
         {1, 0, 0},
         {{3, 2}, {3, 3}, {3, 1}, {3, 4}, {2, 2}, {2, 3}, {2, 1}, {2, 4}, {1, 2}, {1, 3}},
         4},
        {"start position 1000",
         {1, 1000, 0},
         {{3, 2}, {3, 3}, {3, 1}, {3, 4}, {2, 2}, {2, 3}, {2, 1}, {2, 4}, {1, 2}, {1, 3}},
         4},
    };
    for (const Case& k : cases) {
        SCOPED_TRACE(k.what);
        TenOnFour f;
        AssignHeats(*f.c, k.s);
        EXPECT_EQ(Slots(f.ac), k.expected);
        // The next age class starts in a fresh heat at the middle lane.
        EXPECT_EQ(Slots(f.next), (std::vector<Slot>{{k.nextHeat, 2}}));
    }
}

TEST(HeatAssignment, FullHeatsAndEmptyAgeClasses) {
    auto c = Competition(4);
    TAltersklasse& eight = AddAgeClass(*c, "A", 1995, 1995);
    TAltersklasse& empty = AddAgeClass(*c, "B", 1994, 1994);
    TAltersklasse& after = AddAgeClass(*c, "C", 1993, 1993);
    for (int i = 1; i <= 8; ++i)
        AddEntrant(eight, "E" + std::to_string(i), 100 * i);
    AddEntrant(after, "X", 100);
    AssignHeats(*c, {1, 1, 0});
    EXPECT_EQ(Slots(eight).front(), (Slot{2, 2}));
    EXPECT_EQ(Slots(eight).back(), (Slot{1, 4}));
    EXPECT_EQ(empty.Count(), 0);
    // The empty age class occupies no heat.
    EXPECT_EQ(Slots(after), (std::vector<Slot>{{3, 2}}));

    // Starting at position 3, the empty first age class still takes a heat.
    auto d = Competition(10);
    AddAgeClass(*d, "leer", 1995, 1995);
    TAltersklasse& one = AddAgeClass(*d, "eins", 1994, 1994);
    AddEntrant(one, "X", 100);
    AssignHeats(*d, {1, 3, 0});
    EXPECT_EQ(Slots(one), (std::vector<Slot>{{2, 5}}));
}

TEST(HeatAssignment, ContinuousNumberingOverDisciplines) {
    auto c = Competition(4);
    TAltersklasse& two = AddAgeClass(*c, "zwei", 1995, 1995, 0, 2);
    TAltersklasse& three = AddAgeClass(*c, "drei", 1994, 1994, 0, 3);
    for (int i = 1; i <= 5; ++i) {
        AddEntrant(two, "T" + std::to_string(i), 100 * i);
        AddEntrant(three, "D" + std::to_string(i), 100 * i);
    }
    AssignHeats(*c, {1, 1, lbFortlaufend});
    auto heats = [](const TAltersklasse& ac, int d) {
        std::set<int> s;
        for (const Slot& x : Slots(ac, d))
            s.insert(x.first);
        return s;
    };
    EXPECT_EQ(heats(two, 1), (std::set<int>{1, 2}));
    EXPECT_EQ(heats(three, 1), (std::set<int>{3, 4}));
    EXPECT_EQ(heats(two, 2), (std::set<int>{5, 6}));
    EXPECT_EQ(heats(three, 2), (std::set<int>{7, 8}));
    EXPECT_EQ(heats(two, 3), (std::set<int>{0})); // 9-10 stay empty
    EXPECT_EQ(heats(three, 3), (std::set<int>{11, 12}));
    for (int d : {4, 5}) {
        EXPECT_EQ(heats(two, d), (std::set<int>{0}));
        EXPECT_EQ(heats(three, d), (std::set<int>{0}));
    }
    // Disciplines 4 and 5 reserved 13-16 and 17-20: a further pass would start at 21.
    THeatBlock block;
    block.lanes = 4;
    block.nextHeat = 1;
    for (int d = 1; d <= 5; ++d) {
        block.discipline = static_cast<std::int16_t>(d);
        AssignAgeClassHeats(two, block);
        AssignAgeClassHeats(three, block);
    }
    EXPECT_EQ(block.nextHeat, 21);
}

TEST(HeatAssignment, WithoutContinuousNumberingOtherDisciplinesAreCleared) {
    auto c = Competition(5);
    TAltersklasse& ac = AddAgeClass(*c, "AK", 1995, 1995, 0, 5);
    TTeilnehmer& p = AddEntrant(ac, "A", 100);
    for (std::size_t d = 0; d < 5; ++d)
        p.Lauf[d] = p.Bahn[d] = 7;
    AssignHeats(*c, {1, 1, 0});
    EXPECT_EQ(p.Lauf, (std::array<std::int16_t, 5>{1, 0, 0, 0, 0}));
    EXPECT_EQ(p.Bahn, (std::array<std::int16_t, 5>{3, 0, 0, 0, 0}));
}

TEST(HeatAssignment, AlphabeticalOrderAndPropertiesRestored) {
    auto c = Competition(3);
    TAltersklasse& ac = AddAgeClass(*c, "AK", 1995, 1995, akDirektQualifiziert);
    AddEntrant(ac, "Zander", 900);
    AddEntrant(ac, "Berg", 100, "", tnDirektQualifiziert);
    AddEntrant(ac, "Adler", 500);
    AssignHeats(*c, {1, 1, lbAlphabetisch});
    // By name: Adler, Berg, Zander on lanes 2, 1, 3 of heat 1.
    EXPECT_EQ(Find(ac, "Adler")->Bahn[0], 2);
    EXPECT_EQ(Find(ac, "Berg")->Bahn[0], 1);
    EXPECT_EQ(Find(ac, "Zander")->Bahn[0], 3);
    EXPECT_EQ(ac.Data.Eigenschaften, akDirektQualifiziert);
    EXPECT_EQ(Names(ac).front(), "Berg");

    // Without the option the ranking order counts and the direct flag does not.
    AssignHeats(*c, {1, 1, 0});
    EXPECT_EQ(Find(ac, "Zander")->Bahn[0], 2);
    EXPECT_EQ(Find(ac, "Adler")->Bahn[0], 1);
    EXPECT_EQ(Find(ac, "Berg")->Bahn[0], 3);
}

} // namespace

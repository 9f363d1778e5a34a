#include "operations/VmHLW.h"

#include "support/Builders.h"

#include <gtest/gtest.h>

#include <tuple>

namespace {

using namespace vm;
using namespace vmtest;

using Slot = std::tuple<int, int, int>; // start time, station, HLW-Lauf

Slot SlotOf(const TTeilnehmer& p) {
    return {p.Startzeit, p.HLWBahn, p.HLWLauf};
}

std::vector<Slot> Slots(const TAltersklasse& ac) {
    std::vector<Slot> out;
    for (const TTeilnehmer& p : ac)
        out.push_back(SlotOf(p));
    return out;
}

TEST(HLWAssignment, FiveStationsFromEight) {
    auto c = Competition();
    TAltersklasse& ac = AddAgeClass(*c, "AK", 1995, 1995, akHLW);
    for (int i = 1; i <= 6; ++i)
        AddEntrant(ac, "P" + std::to_string(i), 100 - i);
    TMessageCapture msgs;
    THLWSettings s = DefaultHLWSettings(*c);
    EXPECT_EQ(s.startTime, 800);
    EXPECT_EQ(s.measures, 1);
    AssignHLW(*c, s);
    EXPECT_EQ(Slots(ac),
              (std::vector<Slot>{
                  {800, 1, 1}, {800, 2, 2}, {800, 3, 3}, {800, 4, 4}, {800, 5, 5}, {815, 1, 6}}));
    EXPECT_EQ(c->Header.HLWDauer, 15);
    EXPECT_EQ(c->Header.HLWMassnahmen, 1);
    EXPECT_TRUE(msgs.Messages().empty());
}

TEST(HLWAssignment, TeamsTakeFourSlots) {
    auto c = Competition(5, true);
    TAltersklasse& ac = AddAgeClass(*c, "Mannschaft", 1995, 1995, akHLW);
    for (int i = 1; i <= 3; ++i)
        AddEntrant(ac, "Team" + std::to_string(i), 100 - i);
    THLWSettings s = DefaultHLWSettings(*c);
    EXPECT_EQ(s.measures, 4);
    AssignHLW(*c, s);
    EXPECT_EQ(Slots(ac), (std::vector<Slot>{{800, 1, 1}, {800, 5, 5}, {815, 4, 9}}));
    EXPECT_EQ(c->Header.HLWMassnahmen, 4);
}

TEST(HLWAssignment, FirstStationBeyondTheStationsEndsThePassAtOnce) {
    auto c = Competition();
    c->Header.HLWStationen = 0; // three stations
    TAltersklasse& ac = AddAgeClass(*c, "AK", 1995, 1995, akHLW);
    AddEntrant(ac, "A", 20);
    AddEntrant(ac, "B", 10);
    THLWSettings s;
    s.firstStation = 99;
    s.duration = 30;
    AssignHLW(*c, s);
    EXPECT_EQ(Slots(ac), (std::vector<Slot>{{800, 99, 1}, {830, 1, 2}}));
}

TEST(HLWAssignment, PassOverMidnightIsReportedAndGoesOn) {
    auto c = Competition();
    c->Header.HLWStationen = 0; // three stations
    TAltersklasse& ac = AddAgeClass(*c, "AK", 1995, 1995, akHLW);
    for (int i = 1; i <= 7; ++i)
        AddEntrant(ac, "P" + std::to_string(i), 100 - i);
    TMessageCapture msgs;
    THLWSettings s;
    s.startTime = 2350;
    AssignHLW(*c, s);
    ASSERT_EQ(msgs.Messages().size(), 1u);
    EXPECT_EQ(msgs.Messages()[0], "HLW dauert bis über Mitternacht hinaus!"_oem);
    const auto slots = Slots(ac);
    EXPECT_EQ(slots[2], (Slot{2350, 3, 3}));
    EXPECT_EQ(slots[3], (Slot{5, 1, 4}));
    EXPECT_EQ(slots[6], (Slot{20, 1, 7}));
}

TEST(HLWAssignment, OnlyAgeClassesWithHLW) {
    auto c = Competition();
    TAltersklasse& without = AddAgeClass(*c, "ohne", 1996, 1996);
    TAltersklasse& with = AddAgeClass(*c, "mit", 1995, 1995, akHLW);
    TTeilnehmer& kept = AddEntrant(without, "K", 10);
    kept.Startzeit = 1234;
    kept.HLWBahn = 7;
    kept.HLWLauf = 9;
    AddEntrant(with, "W", 10);
    AssignHLW(*c, THLWSettings{});
    EXPECT_EQ(SlotOf(kept), (Slot{1234, 7, 9}));
    EXPECT_EQ(Slots(with), (std::vector<Slot>{{800, 1, 1}}));

    // No age class with HLW: nothing to do, nothing goes wrong.
    auto d = Competition();
    AddAgeClass(*d, "ohne", 1996, 1996);
    THLWSettings block;
    block.block = true;
    AssignHLW(*d, block);
    AssignHLW(*d, THLWSettings{});
    EXPECT_EQ(d->Header.HLWDauer, 15);
}

TEST(HLWAssignment, BlockModeKeepsEachGliederungTogether) {
    auto c = Competition();
    TAltersklasse& young = AddAgeClass(*c, "jung", 1996, 1996, akHLW);
    TAltersklasse& old = AddAgeClass(*c, "alt", 1990, 1990, akHLW);
    TAltersklasse& none = AddAgeClass(*c, "ohne", 1993, 1993);
    AddEntrant(young, "Zeh", 90, "BY");
    AddEntrant(young, "Berg", 80, "AB");
    AddEntrant(old, "Adam", 70, "BY");
    AddEntrant(old, "Xaver", 60, "AB");
    AddEntrant(old, "Ohne", 50, "");
    TTeilnehmer& other = AddEntrant(none, "Nix", 40, "AA");
    // A stale row without participants and a named row.
    auto stale = std::make_unique<TGliederungStat>();
    stale->Kurz.Set("ZZ");
    c->Gliederungen.Insert(std::move(stale));
    auto named = std::make_unique<TGliederungStat>();
    named->Kurz.Set("BY");
    named->Name.Set("Bayern");
    named->Go = 3;
    c->Gliederungen.Insert(std::move(named));

    THLWSettings s;
    s.block = true;
    AssignHLW(*c, s);
    // AB (Berg, Xaver), then BY (Adam, Zeh), then those without a Gliederung.
    EXPECT_EQ(SlotOf(*Find(young, "Berg")), (Slot{800, 1, 1}));
    EXPECT_EQ(SlotOf(*Find(old, "Xaver")), (Slot{800, 2, 2}));
    EXPECT_EQ(SlotOf(*Find(old, "Adam")), (Slot{800, 3, 3}));
    EXPECT_EQ(SlotOf(*Find(young, "Zeh")), (Slot{800, 4, 4}));
    EXPECT_EQ(SlotOf(*Find(old, "Ohne")), (Slot{800, 5, 5}));
    EXPECT_EQ(SlotOf(other), (Slot{0, 0, 0}));

    // The Gliederung rows now are those of the participants, by short code.
    std::vector<std::string> codes;
    for (const TGliederungStat& g : c->Gliederungen)
        codes.push_back(g.Kurz.Get());
    EXPECT_EQ(codes, (std::vector<std::string>{"AA", "AB", "BY"}));
    const TGliederungStat* by = c->Gliederungen.Find("BY");
    ASSERT_NE(by, nullptr);
    EXPECT_EQ(by->Name.Get(), "Bayern");
    EXPECT_EQ(by->TN, 2);
    EXPECT_EQ(by->Go, 2); // the full statistics rows, medals included
    EXPECT_EQ(by->Platz, 3);
    EXPECT_EQ(c->Gliederungen.Find("AB")->Name.Get(), "AB");
}

TEST(HLWAssignment, TimeText) {
    EXPECT_EQ(HLWTimeFromText("08:00"), 800);
    EXPECT_EQ(HLWTimeFromText("23:59"), 2359);
    EXPECT_EQ(HLWTimeFromText("00:05"), 5);
    for (const char* bad : {"24:00", "08:60", "8:00", "0800", "08-00", "", "08:00x"})
        EXPECT_EQ(HLWTimeFromText(bad), -1) << bad;
}

} // namespace

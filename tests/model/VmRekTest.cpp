#include "model/VmRek.h"
#include "model/VmRech.h"
#include "model/VmWettk.h"

#include <gtest/gtest.h>

namespace vm {
namespace {

TDisziplin Disc(const char* name, std::int32_t base) {
    TDisziplin d;
    d.Bezeichnung.Set(name);
    d.Berechnungsart = baNeu;
    d.V[0] = base;
    return d;
}

std::unique_ptr<TAltersklasse> Klasse(const char* name, bool female,
                                      const char* third = "50m Retten") {
    auto ac = NewAgeClass();
    TAltersklasseData d;
    d.Bezeichnung.Set(name);
    d.JahrgangVon = 1990;
    d.JahrgangBis = 1991;
    d.Eigenschaften = female ? akWeiblich : 0;
    d.Disziplinenanzahl = 3;
    d.Disziplinen[0] = Disc("50m Hindernisschwimmen", 2700);
    d.Disziplinen[1] = Disc("50m Flossenschwimmen", 2100);
    d.Disziplinen[2] = Disc(third, 3970);
    SetAgeClassData(*ac, d);
    return ac;
}

void AddResult(TAltersklasse& ac, const char* name, std::array<std::int32_t, 3> times) {
    auto p = NewParticipant();
    p->SetName(name);
    for (std::size_t i = 0; i < 3; ++i)
        p->Zeit[i] = times[i];
    ac.InsertParticipant(std::move(p));
}

} // namespace

TEST(Records, TakeOverPicksTheBetterPerformance) {
    TWettkampf thisYear, lastYear;
    thisYear.InsertAgeClass(Klasse("AK 13/14w", true));
    auto old = Klasse("AK 13/14w", true);
    AddResult(*old, "Alt", {2800, 2200, 4000});
    // last year's previous record of discipline 1 is better than its best
    old->Data.Rekorde[0].VorjahrZeit = 2650;
    lastYear.InsertAgeClass(std::move(old));

    TMessageCapture cap;
    TakeOverRecords(thisYear, lastYear);
    EXPECT_TRUE(cap.Messages().empty());
    const auto& rek = thisYear.At(0)->Data.Rekorde;
    EXPECT_EQ(rek[0].VorjahrZeit, 2650); // the older record still stands
    EXPECT_EQ(rek[1].VorjahrZeit, 2200); // last year's best becomes the record
    EXPECT_EQ(rek[2].VorjahrZeit, 4000);
    EXPECT_EQ(thisYear.At(0)->Data.RekordGesamtpunkte, lastYear.At(0)->Data.BestGesamtpunkte);
    EXPECT_GT(thisYear.At(0)->Data.RekordGesamtpunkte, 0);

    // A file without results keeps the records unless its own records score more.
    TWettkampf empty;
    empty.InsertAgeClass(Klasse("AK 13/14w", true));
    TakeOverRecords(thisYear, empty);
    EXPECT_EQ(thisYear.At(0)->Data.Rekorde[1].VorjahrZeit, 2200);
}

TEST(Records, MismatchesAreReportedAndLeaveTheRecords) {
    TWettkampf c, other;
    auto mine = Klasse("AK 15/16m", false);
    mine->Data.Rekorde[2].VorjahrZeit = 3900;
    mine->Data.Rekorde[0].VorjahrZeit = 2600;
    mine->Data.RekordGesamtpunkte = 123;
    c.InsertAgeClass(std::move(mine));
    c.InsertAgeClass(Klasse("AK 17/18m", false));
    auto theirs = Klasse("AK 15/16m", false, "50m Retten mit Flossen");
    AddResult(*theirs, "Neu", {2500, 2000, 3000});
    other.InsertAgeClass(std::move(theirs));
    other.InsertAgeClass(Klasse("AK 17/18m", true)); // same name, other sex

    TMessageCapture cap;
    TakeOverRecords(c, other);
    const TAltersklasse* a = c.FindAgeClass("AK 15/16m", false);
    ASSERT_NE(a, nullptr);
    EXPECT_EQ(a->Data.Rekorde[0].VorjahrZeit, 2500);
    EXPECT_EQ(a->Data.Rekorde[2].VorjahrZeit, 3900); // slot 3 differs: untouched
    EXPECT_EQ(a->Data.RekordGesamtpunkte, 123);      // totals untouched
    ASSERT_EQ(cap.Messages().size(), 2u);
    EXPECT_EQ(cap.Messages()[0],
              "Mindestens eine Disziplin stimmt nicht überein! (Altersklasse AK 15/16m)"_oem);
    EXPECT_EQ(cap.Messages()[1],
              "Zur Altersklasse AK 17/18m, wurde keine passende Altersklasse gefunden.");

    cap.Clear();
    EXPECT_FALSE(MergeRecords(*c.At(0), *other.FindAgeClass("AK 17/18m", true)));
    ASSERT_EQ(cap.Messages().size(), 1u);
}

TEST(Records, ResetClearsTheBlockWithoutPreviousRecords) {
    auto ac = Klasse("AK 12w", true);
    ac->Data.Rekorde[2].VorjahrZeit = 4000;
    ac->Data.RekordGesamtpunkte = 500;
    ResetBests(*ac);
    EXPECT_EQ(ac->Data.Rekorde[2].VorjahrZeit, 0);
    EXPECT_EQ(ac->Data.RekordGesamtpunkte, 0);

    ac->Data.Rekorde[1].VorjahrZeit = 2000;
    ac->Data.Rekorde[2].VorjahrZeit = 4000;
    ResetBests(*ac);
    EXPECT_EQ(ac->Data.Rekorde[2].VorjahrZeit, 4000);
}

} // namespace vm

#include "operations/VmMerge.h"

#include "file/VmErg.h"
#include "support/Builders.h"
#include "support/TestSupport.h"

#include <gtest/gtest.h>

namespace {

using namespace vm;
using namespace vmtest;

const std::string kSkipped = " Teilnehmer der Altersklasse ";

// The target has "AK 12"; the source has "AK 12" with four ranked entrants, one
// not entered ("meldet" off), and an age class the target lacks.
struct MergeFixture {
    std::unique_ptr<TWettkampf> target = Competition();
    std::unique_ptr<TWettkampf> source = Competition();
    TAltersklasse& mine = AddAgeClass(*target, "AK 12", 1992, 1992);
    MergeFixture() {
        AddEntrant(mine, "Da", 50, "HH");
        TAltersklasse& ak12 = AddAgeClass(*source, "AK 12", 1992, 1992);
        AddEntrant(ak12, "Erster", 900, "NI");
        AddEntrant(ak12, "Zweiter", 800, "NI", tnDirektQualifiziert);
        AddEntrant(ak12, "DritterA", 700, "NI");
        AddEntrant(ak12, "DritterB", 700, "NI");
        AddEntrant(ak12, "Fuenfter", 600, "NI", tnDirektQualifiziert);
        TTeilnehmer& late = AddEntrant(ak12, "Nachz", 100, "NI");
        late.SetFlag(tnMeldet, false);
        TAltersklasse& extra = AddAgeClass(*source, "AK 13/14", 1990, 1991);
        AddEntrant(extra, "Neu", 300, "SH");
    }
};

TEST(Merge, DefaultOptionsSkipNotEnteredAndAddMissingAgeClasses) {
    MergeFixture f;
    TMessageCapture msgs;
    ASSERT_TRUE(Merge(*f.target, *f.source, TMergeSettings{}));
    EXPECT_EQ(f.source->Count(), 0);
    // Source age classes are taken from the last to the first.
    EXPECT_EQ(msgs.Messages(),
              (std::vector<std::string>{"Altersklasse AK 13/14 wurde hinzugefügt."_oem,
                                        "1" + kSkipped + "AK 12 übersprungen."_oem}));
    EXPECT_EQ(Names(f.mine), (std::vector<std::string>{"Erster", "Zweiter", "DritterA", "DritterB",
                                                       "Fuenfter", "Da"}));
    EXPECT_EQ(Find(f.mine, "Da")->Platz, 6);
    EXPECT_EQ(Find(f.mine, "Zweiter")->Gliederung.Get(), "NI"); // no code given: unchanged
    EXPECT_TRUE(Find(f.mine, "Fuenfter")->Has(tnDirektQualifiziert));
    TAltersklasse* added = f.target->FindAgeClass("AK 13/14", false);
    ASSERT_NE(added, nullptr);
    EXPECT_EQ(Names(*added), std::vector<std::string>{"Neu"});
}

TEST(Merge, CodeAndDirectQualificationForTheBestPlaces) {
    MergeFixture f;
    TMergeSettings s;
    s.options = moTeilnehmer | moNichtMeldend;
    s.gliederung = "BY";
    s.qualify = 3;
    TMessageCapture msgs;
    ASSERT_TRUE(Merge(*f.target, *f.source, s));
    EXPECT_EQ(msgs.Messages(), std::vector<std::string>{"Altersklasse AK 13/14 übersprungen."_oem});
    EXPECT_EQ(f.mine.Count(), 7);
    for (const TTeilnehmer& p : f.mine) {
        SCOPED_TRACE(std::string(p.Name()));
        if (p.Name() == "Da") {
            EXPECT_EQ(p.Gliederung.Get(), "HH");
            continue;
        }
        EXPECT_EQ(p.Gliederung.Get(), "BY");
        const bool best =
            p.Name() == "Erster" || p.Name() == "Zweiter" || p.Name().starts_with("Dritter");
        EXPECT_EQ(p.Has(tnDirektQualifiziert), best);
    }
    EXPECT_EQ(f.target->FindAgeClass("AK 13/14", false), nullptr);
}

TEST(Merge, FiltersByOptions) {
    struct Case {
        int options;
        int moved; // of the special entrants below
    };
    for (const Case& k :
         std::vector<Case>{{moTeilnehmer, 0},
                           {moTeilnehmer | moAusserKonkurrenz, 1},
                           {moTeilnehmer | moNichtAngetreten, 1},
                           {moTeilnehmer | moAusserKonkurrenz | moNichtAngetreten, 2},
                           {moAltersklassen, 0}}) {
        SCOPED_TRACE(k.options);
        auto target = Competition();
        TAltersklasse& mine = AddAgeClass(*target, "AK", 1992, 1992);
        auto source = Competition();
        TAltersklasse& theirs = AddAgeClass(*source, "AK", 1992, 1992);
        AddEntrant(theirs, "AK-Starter", 500, "", tnAusserKonkurrenz);
        MarkAbsent(AddEntrant(theirs, "Abwesend", 0));
        TMessageCapture msgs;
        ASSERT_TRUE(Merge(*target, *source, {k.options, "", 0}));
        EXPECT_EQ(mine.Count(), k.moved);
        if (k.options & moTeilnehmer)
            EXPECT_EQ(msgs.Messages().size(), k.moved == 2 ? 0u : 1u);
        else
            EXPECT_TRUE(msgs.Messages().empty());
    }
}

TEST(Merge, SameNameOtherYearsCountsAsMissing) {
    auto target = Competition();
    TAltersklasse& mine = AddAgeClass(*target, "AK 12", 1992, 1992);
    auto source = Competition();
    TAltersklasse& theirs = AddAgeClass(*source, "AK 12", 1993, 1993);
    AddEntrant(theirs, "X", 100);
    TMessageCapture msgs;
    ASSERT_TRUE(Merge(*target, *source, {moTeilnehmer, "", 0}));
    EXPECT_EQ(mine.Count(), 0);
    EXPECT_EQ(msgs.Messages(), std::vector<std::string>{"Altersklasse AK 12 übersprungen."_oem});
}

TEST(Merge, KindMismatchChangesNothing) {
    MergeFixture f;
    f.source->Header.Art = wkMannschaft;
    TMessageCapture msgs;
    EXPECT_FALSE(Merge(*f.target, *f.source, TMergeSettings{}));
    EXPECT_EQ(msgs.Messages(),
              std::vector<std::string>{
                  "Einzel- u. Mannschaftswettkämpfe können nicht gemischt werden"_oem});
    EXPECT_EQ(f.target->Count(), 1);
    EXPECT_EQ(f.mine.Count(), 1);
    EXPECT_EQ(f.source->Count(), 2);
}

TEST(Merge, FromFile) {
    vmtest::TempDir dir;
    MergeFixture f;
    const std::string file = dir.File("QUELLE.ERG");
    ASSERT_TRUE(Save(file, *f.source, TSaveFormat::Ergebnis));
    TMergeSettings s;
    s.gliederung = "BY";
    TMessageCapture msgs;
    ASSERT_TRUE(MergeFile(*f.target, file, s));
    EXPECT_EQ(f.mine.Count(), 6);
    EXPECT_EQ(f.target->Count(), 2);
    EXPECT_EQ(Find(f.mine, "Erster")->Gliederung.Get(), "BY");

    // A file that cannot be read merges nothing.
    msgs.Clear();
    EXPECT_FALSE(MergeFile(*f.target, dir.File("FEHLT.ERG"), s));
    EXPECT_FALSE(msgs.Messages().empty());
    EXPECT_EQ(f.mine.Count(), 6);
}

} // namespace

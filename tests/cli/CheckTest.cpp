// velmora-cli check: a freshly generated competition is clean; faults planted into
// it come out as exactly their lines, and nothing else.
#include "file/VmErg.h"
#include "model/VmAk.h"
#include "operations/VmLauf.h"
#include "support/TestSupport.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <functional>
#include <set>
#include <sstream>

namespace {

using namespace vm;
using vmtest::RunCli;
using vmtest::TempDir;

std::vector<std::string> SortedLines(const std::string& text) {
    std::vector<std::string> lines;
    std::istringstream in(text);
    for (std::string line; std::getline(in, line);)
        lines.push_back(line);
    std::sort(lines.begin(), lines.end());
    return lines;
}

TEST(CheckCommand, FreshlyGeneratedCompetitionsAreClean) {
    TempDir dir;
    for (const std::vector<std::string>& extra : {std::vector<std::string>{}, {"--team"}}) {
        std::vector<std::string> gen = {"generate", dir.File("GEN.ERG"), "--seed", "5"};
        gen.insert(gen.end(), extra.begin(), extra.end());
        ASSERT_EQ(RunCli(gen).status, 0);
        const auto r = RunCli({"check", dir.File("GEN.ERG")});
        EXPECT_EQ(r.status, 0) << r.out;
        EXPECT_EQ(r.out, "Keine Auffälligkeiten gefunden.\n");
        EXPECT_EQ(r.err, "");
    }
}

// Picks participants for the faults, each one only once.
struct TPicker {
    TWettkampf& c;
    std::set<const TTeilnehmer*> used;

    struct TPick {
        TAltersklasse* ac;
        TTeilnehmer* p;
    };
    TPick Next(const std::function<bool(const TAltersklasse&, const TTeilnehmer&)>& fits,
               int fromClass = 0) {
        for (int a = fromClass; a < c.Count(); ++a)
            for (TTeilnehmer& p : *c.At(a))
                if (!used.count(&p) && fits(*c.At(a), p)) {
                    used.insert(&p);
                    return {c.At(a), &p};
                }
        throw std::runtime_error("no participant fits");
    }
};

std::string Who(const TPicker::TPick& x) {
    return OemToUtf8(x.ac->Name() + ": " + std::string(x.p->Name()) + ", " +
                     std::string(x.p->Vorname()) + " (" + x.p->Gliederung.Get() + ")");
}

TEST(CheckCommand, PrintsWhatWasPlantedAndNothingElse) {
    TempDir dir;
    const std::string file = dir.File("GEN.ERG");
    ASSERT_EQ(RunCli({"generate", file, "--seed", "5"}).status, 0);
    auto c = Load(file);
    ASSERT_TRUE(c);
    TPicker pick{*c, {}};
    std::vector<std::string> expected;
    auto started = [](const TAltersklasse& ac, const TTeilnehmer& p) {
        return ac.Data.DisciplineCount() > 0 && p.Zeit[0] > 0 && p.Abzug[0] >= 0;
    };

    const auto noTime = pick.Next(started);
    noTime.p->Zeit[0] = 0;
    expected.push_back(Who(noTime) + ": keine Zeit und kein Status in Disziplin 1");

    const auto old = pick.Next([](const TAltersklasse& ac, const TTeilnehmer&) {
        return ac.Data.JahrgangVon > 1950 && ac.Data.JahrgangBis > 1950;
    });
    old.p->SetGeburtsdatum("01.01.1950");
    expected.push_back(Who(old) +
                       ": Jahrgang 1950 liegt nicht in den Jahrgängen der Altersklasse (" +
                       std::to_string(old.ac->Data.JahrgangVon) + " - " +
                       std::to_string(old.ac->Data.JahrgangBis) + ")");

    const auto twice = pick.Next(started);
    twice.ac->InsertParticipant(CopyParticipant(*twice.p));
    expected.push_back(Who(twice) + ": mit Geburtsdatum " + std::string(twice.p->Geburtsdatum()) +
                       " doppelt gemeldet, zuerst in " + OemToUtf8(twice.ac->Name()));

    const auto noHlw = pick.Next([](const TAltersklasse& ac, const TTeilnehmer& p) {
        return HasHLW(ac) && p.HLWPunkte > 0;
    });
    noHlw.p->HLWPunkte = 0;
    expected.push_back(Who(noHlw) + ": keine HLW-Punkte");

    const auto fast = pick.Next([&](const TAltersklasse& ac, const TTeilnehmer& p) {
        return started(ac, p) && ac.Discipline(0).Berechnungsart == baNeu &&
               ac.Discipline(0).V[0] > 0;
    });
    const TZeit base = fast.ac->Discipline(0).V[0];
    fast.p->Zeit[0] = base / 2 - 1;
    expected.push_back(Who(fast) + ": Zeit " + TimeToText(base / 2 - 1, true) +
                       " in Disziplin 1 ist schneller als die halbe Basiszeit " +
                       TimeToText(base, true));

    AssignHeats(*c, THeatSettings{});
    // A second participant on the slot of one from an earlier age class.
    const auto first = pick.Next(started);
    const auto second = pick.Next(started, c->IndexOf(first.ac) + 1);
    second.p->Lauf[0] = first.p->Lauf[0];
    second.p->Bahn[0] = first.p->Bahn[0];
    expected.push_back(Who(second) + ": Lauf " + std::to_string(first.p->Lauf[0]) + ", Bahn " +
                       std::to_string(first.p->Bahn[0]) + " in Disziplin 1 ist schon mit " +
                       Who(first) + " belegt");

    const int lanes = LaneCount(*c);
    const auto wide = pick.Next(started);
    wide.p->Bahn[0] = static_cast<std::int16_t>(lanes + 1);
    expected.push_back(Who(wide) + ": Bahn " + std::to_string(lanes + 1) +
                       " in Disziplin 1 gibt es nicht (" + std::to_string(lanes) + " Bahnen)");

    const auto noHeat = pick.Next(started);
    noHeat.p->Lauf[0] = 0;
    expected.push_back(Who(noHeat) + ": ohne Lauf in Disziplin 1 (Bahn " +
                       std::to_string(noHeat.p->Bahn[0]) + ")");

    ASSERT_TRUE(Save(file, *c, TSaveFormat::Ergebnis));
    const auto r = RunCli({"check", file});
    EXPECT_EQ(r.status, 1);
    EXPECT_EQ(r.err, "");
    std::sort(expected.begin(), expected.end());
    EXPECT_EQ(SortedLines(r.out), expected);
}

TEST(CheckCommand, AFileThatCannotBeLoadedFails) {
    TempDir dir;
    const auto r = RunCli({"check", dir.File("FEHLT.ERG")});
    EXPECT_EQ(r.status, 1);
    EXPECT_EQ(r.out, "");
    EXPECT_NE(r.err, "");
    EXPECT_EQ(RunCli({"check"}).status, 2);
}

} // namespace

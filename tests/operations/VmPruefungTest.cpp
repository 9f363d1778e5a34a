// The data checks: each fault planted into a clean little competition gives exactly
// its line, and the variant that is no fault gives none.
#include "operations/VmPruefung.h"

#include "support/Builders.h"

#include <gtest/gtest.h>

#include <functional>

namespace {

using namespace vm;
using namespace vmtest;

// Two classes of two disciplines (method 1, base times 0:27,00 and 1:00,00) on five
// lanes; every entry has its times, heats, lanes, a year in range and, in the HLW
// class, HLW points. Heats of discipline 1: 1 and 2, of discipline 2: 3 and 4 (the
// slots are heat and lane of discipline 1, then of discipline 2).
struct TClean {
    std::unique_ptr<TWettkampf> c = Competition(5);
    TAltersklasse& w = AddClass("AK 12w", akWeiblich | akHLW);
    TAltersklasse& m = AddClass("AK 12m", 0);

    TClean() {
        c->Header.Optionen = 1; // with hundredths
        Add(w, "Meier", "Leni", "03.04.2012", "NI", {3000, 6500}, {1, 1, 3, 1});
        Add(w, "Berger", "Greta", "2013", "BY", {3100, 6600}, {1, 2, 3, 2});
        Add(m, "Zander", "Paul", "12.05.12", "SH", {2900, 6400}, {2, 1, 4, 1});
    }

    TAltersklasse& AddClass(const std::string& name, std::int16_t props) {
        TAltersklasse& ac = AddAgeClass(*c, name, 2012, 2013, props, 2);
        for (int k = 0; k < 2; ++k) {
            TDisziplin& d = ac.Data.Disziplinen[static_cast<std::size_t>(k)];
            d.Bezeichnung.Set("Disziplin " + std::to_string(k + 1));
            d.Berechnungsart = baNeu;
            d.V[0] = k == 0 ? 2700 : 6000;
        }
        return ac;
    }

    static TTeilnehmer& Add(TAltersklasse& ac, const std::string& name, const std::string& first,
                            const std::string& born, const std::string& code,
                            std::array<TZeit, 2> times, std::array<int, 4> slots) {
        auto p = NewParticipant();
        p->SetName(name);
        p->SetVorname(first);
        p->SetGeburtsdatum(born);
        p->Gliederung.Set(code);
        for (std::size_t k = 0; k < 2; ++k) {
            p->Zeit[k] = times[k];
            p->Lauf[k] = static_cast<std::int16_t>(slots[2 * k]);
            p->Bahn[k] = static_cast<std::int16_t>(slots[2 * k + 1]);
        }
        if (HasHLW(ac)) p->HLWPunkte = 20000;
        TTeilnehmer* raw = p.get();
        ac.InsertParticipant(std::move(p));
        return *raw;
    }

    TTeilnehmer& P(const std::string& name) {
        for (TAltersklasse& ac : *c)
            if (TTeilnehmer* p = Find(ac, name)) return *p;
        throw std::runtime_error("no participant " + name);
    }
};

std::vector<std::string> Lines(const TWettkampf& c) {
    std::vector<std::string> out;
    for (const TBefund& b : CheckCompetition(c))
        out.push_back(OemToUtf8(b.text));
    return out;
}

TEST(DataChecks, EachFaultGivesItsLineAndItsHarmlessTwinNone) {
    struct Case {
        const char* what;
        std::function<void(TClean&)> plant;
        std::vector<std::string> lines;
    };
    const Case cases[] = {
        {"clean competition", [](TClean&) {}, {}},

        {"one discipline without time",
         [](TClean& f) { f.P("Meier").Zeit[1] = 0; },
         {"AK 12w: Meier, Leni (NI): keine Zeit und kein Status in Disziplin 2"}},
        {"both disciplines without time",
         [](TClean& f) { f.P("Berger").Zeit = {}; },
         {"AK 12w: Berger, Greta (BY): keine Zeit und kein Status in den Disziplinen 1 und 2"}},
        {"no time but a status",
         [](TClean& f) {
             f.P("Meier").Zeit[1] = 0;
             f.P("Meier").Abzug[1] = PenaltyCode(TStatus::NichtAngetreten);
             f.P("Zander").Zeit[0] = 0;
             f.P("Zander").Abzug[0] = PenaltyCode(TStatus::NichtErreicht);
         },
         {}},
        {"no time in a discipline the class does not have",
         [](TClean& f) { f.m.Data.Disziplinenanzahl = 1; },
         {}},

        {"heats assigned, one participant without heat",
         [](TClean& f) { f.P("Zander").Lauf[1] = 0; },
         {"AK 12m: Zander, Paul (SH): ohne Lauf in Disziplin 2 (Bahn 1)"}},
        {"heats assigned, one participant without lane, another without both",
         [](TClean& f) {
             f.P("Zander").Bahn[0] = 0;
             f.P("Meier").Lauf[0] = 0;
             f.P("Meier").Bahn[0] = 0;
         },
         {"AK 12w: Meier, Leni (NI): ohne Lauf und Bahn in Disziplin 1",
          "AK 12m: Zander, Paul (SH): ohne Bahn in Disziplin 1 (Lauf 2)"}},
        {"no heats at all in a discipline, or a participant who did not start",
         [](TClean& f) {
             for (TAltersklasse& ac : *f.c)
                 for (TTeilnehmer& p : ac)
                     p.Lauf[1] = p.Bahn[1] = 0;
             f.P("Zander").Lauf[0] = 0;
             f.P("Zander").Abzug[0] = PenaltyCode(TStatus::NichtAngetreten);
         },
         {}},

        {"two participants on one heat and lane, across age classes",
         [](TClean& f) {
             f.P("Zander").Lauf[0] = 1;
             f.P("Zander").Bahn[0] = 2;
         },
         {"AK 12m: Zander, Paul (SH): Lauf 1, Bahn 2 in Disziplin 1 ist schon mit AK 12w: "
          "Berger, Greta (BY) belegt"}},
        {"the same heat and lane in another discipline",
         [](TClean& f) {
             f.P("Zander").Lauf[1] = 1;
             f.P("Zander").Bahn[1] = 2;
         },
         {}},

        {"a lane above the lane count",
         [](TClean& f) { f.P("Berger").Bahn[1] = 6; },
         {"AK 12w: Berger, Greta (BY): Bahn 6 in Disziplin 2 gibt es nicht (5 Bahnen)"}},
        {"the last lane", [](TClean& f) { f.P("Berger").Bahn[1] = 5; }, {}},

        {"a year of birth outside the class",
         [](TClean& f) { f.P("Meier").SetGeburtsdatum("03.04.2010"); },
         {"AK 12w: Meier, Leni (NI): Jahrgang 2010 liegt nicht in den Jahrgängen der "
          "Altersklasse (2012 - 2013)"}},
        {"a two-digit year read into its century, and entries without a year",
         [](TClean& f) {
             f.P("Meier").SetGeburtsdatum("03.04.13");
             f.P("Berger").SetGeburtsdatum("");
             f.P("Zander").SetGeburtsdatum("12.05.19x2");
         },
         {}},

        {"the same entry twice, in another age class and another spelling",
         [](TClean& f) {
             TClean::Add(f.m, "MEIER ", "leni", "03.04.2012", "NI", {3000, 6500}, {2, 2, 4, 2});
         },
         {"AK 12m: MEIER, leni (NI): mit Geburtsdatum 03.04.2012 doppelt gemeldet, zuerst "
          "in AK 12w"}},
        {"the same name with another date of birth",
         [](TClean& f) {
             TClean::Add(f.m, "Meier", "Leni", "04.04.2012", "NI", {3000, 6500}, {2, 2, 4, 2});
         },
         {}},

        {"HLW points missing in the HLW class",
         [](TClean& f) { f.P("Berger").HLWPunkte = 0; },
         {"AK 12w: Berger, Greta (BY): keine HLW-Punkte"}},
        {"HLW status, and no HLW points where the class has no HLW",
         [](TClean& f) {
             f.P("Berger").HLWPunkte = -300;
             f.P("Zander").HLWPunkte = 0;
         },
         {}},

        {"faster than half the base time",
         [](TClean& f) { f.P("Zander").Zeit[0] = 1349; },
         {"AK 12m: Zander, Paul (SH): Zeit 0:13,49 in Disziplin 1 ist schneller als die halbe "
          "Basiszeit 0:27,00"}},
        {"exactly half the base time, or a fast time of a linear discipline",
         [](TClean& f) {
             f.P("Zander").Zeit[0] = 1350;
             f.w.Data.Disziplinen[1].Berechnungsart = baLinear;
             f.P("Meier").Zeit[1] = 100;
         },
         {}},
    };
    for (const Case& k : cases) {
        SCOPED_TRACE(k.what);
        TClean f;
        k.plant(f);
        EXPECT_EQ(Lines(*f.c), k.lines);
    }
}

TEST(DataChecks, FindingsComeInListOrderAndPointAtTheirParticipant) {
    TClean f;
    TTeilnehmer& zander = f.P("Zander");
    TTeilnehmer& meier = f.P("Meier");
    zander.Zeit[1] = 0;
    zander.Bahn[0] = 7;
    zander.SetGeburtsdatum("2001");
    meier.HLWPunkte = 0;
    meier.Zeit[0] = 1000;
    const auto found = CheckCompetition(*f.c);
    ASSERT_EQ(found.size(), 5u);
    const std::vector<std::pair<TPruefArt, int>> kinds = {
        {paOhneHLW, 0}, {paZuSchnell, 1}, {paKeineZeit, 2}, {paBahnUngueltig, 1}, {paJahrgang, 0}};
    for (std::size_t i = 0; i < found.size(); ++i) {
        SCOPED_TRACE(found[i].text);
        EXPECT_EQ(found[i].kind, kinds[i].first);
        EXPECT_EQ(found[i].discipline, kinds[i].second);
        EXPECT_EQ(found[i].ageClass, i < 2 ? &f.w : &f.m);
        EXPECT_EQ(found[i].participant, i < 2 ? &meier : &zander);
    }
}

TEST(DataChecks, TeamsAreNamedByTeamAndCountTwiceOnlyInTheirClass) {
    auto c = Competition(5, true);
    TAltersklasse& ac = AddAgeClass(*c, "Mannschaft w", 1990, 2000, akWeiblich, 1);
    TAltersklasse& other = AddAgeClass(*c, "Mannschaft m", 1990, 2000, 0, 1);
    auto team = [&](const std::string& name, const std::string& extra, const std::string& code,
                    TAltersklasse* into = nullptr) {
        auto p = NewParticipant();
        p->SetMannschaft(name);
        p->SetZusatz(extra);
        p->Gliederung.Set(code);
        p->Zeit[0] = 5000;
        (into ? *into : ac).InsertParticipant(std::move(p));
    };
    // The supplement lies where an individual's date of birth would be: no year check.
    team("Kiel 1", "Jugend 1975", "SH");
    team("Kiel 1", "Jugend 1975", "SH");
    team("Kiel 1", "Jugend 1975", "HH");
    team("Kiel 1", "Jugend 1975", "SH", &other);
    EXPECT_EQ(Lines(*c),
              std::vector<std::string>{
                  "Mannschaft w: Kiel 1 (SH): doppelt gemeldet, zuerst in Mannschaft w"});
}

} // namespace

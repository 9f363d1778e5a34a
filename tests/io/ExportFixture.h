// A small competition for the export tests: three age classes (the middle one
// empty), umlauts, markup, separators and quote characters in names, a participant
// that did not start and one disqualified.
#pragma once

#include "model/VmVorg.h"
#include "model/VmWettk.h"

#include <memory>
#include <string>

namespace exporttest {

inline std::unique_ptr<vm::TTeilnehmer> Entry(bool team, const std::string& name,
                                              const std::string& second, const std::string& birth,
                                              const std::string& gld, const std::string& ageClass,
                                              bool female) {
    auto p = vm::NewParticipant();
    if (team) {
        p->SetMannschaft(name);
        p->SetZusatz(second);
    } else {
        p->SetName(name);
        p->SetVorname(second);
        p->SetGeburtsdatum(birth);
    }
    p->Gliederung.Set(gld);
    p->Altersklasse.Set(ageClass);
    p->SetFlag(vm::tnWeiblich, female);
    return p;
}

// Age classes in competition order: "AK 13/14 M\x84" "dchen" (female, HLW, two
// disciplines, 3 entries), "AK 15/16" (empty), "AK offen" (one discipline, 1 entry).
inline std::unique_ptr<vm::TWettkampf> MakeCompetition(bool team = false) {
    using namespace vm;
    auto c = NewCompetition();
    c->Header.Art = team ? wkMannschaft : wkEinzel;
    c->Header.Veranstaltung.Set("M\x81ller-Pokal <2004> & \"Cup\"");
    c->Header.Datum.Set("12.06.2004");
    c->Header.Optionen = 1; // times with hundredths

    std::array<TDisziplin, 5> d{};
    d[0] = MakeDiscipline(*DisciplineTemplate(1), 2);
    d[1] = MakeDiscipline(*DisciplineTemplate(2), 2);
    const std::string ak1 = "AK 13/14 M\x84"
                            "dchen";
    c->InsertAgeClass(MakeAgeClass(ak1, 1990, 1991, akWeiblich | akHLW, 2, d));
    c->InsertAgeClass(MakeAgeClass("AK 15/16", 1988, 1989, 0, 2, d));
    c->InsertAgeClass(MakeAgeClass("AK offen", 1900, 1987, 0, 1, d));
    TAltersklasse* a1 = c->FindAgeClass(ak1, true);
    TAltersklasse* a3 = c->FindAgeClass("AK offen", false);

    auto p1 = Entry(team,
                    "Schr\x94"
                    "der",
                    "J\x81rgen", "12.03.1990", "BY", ak1, true);
    p1->Zeit = {6150, 4321, 0, 0, 0};
    p1->Abzug = {5, 0, 0, 0, 0};
    p1->Lauf = {2, 3, 0, 0, 0};
    p1->Bahn = {4, 1, 0, 0, 0};
    p1->HLWPunkte = 8550;
    p1->Startzeit = 905;
    p1->HLWBahn = 3;
    a1->InsertParticipant(std::move(p1));

    // Markup, the quote character and the separator in the names.
    auto p2 = Entry(team, "<b>\"Ed\"</b>", "Anna; Lena", "1991", "NRW", ak1, true);
    p2->Zeit = {7000, 5000, 0, 0, 0};
    p2->HLWPunkte = 9000;
    a1->InsertParticipant(std::move(p2));

    // Did not start in discipline 2.
    auto p3 = Entry(team, "Absent", "Ada", "01.01.1990", "HE", ak1, true);
    p3->Zeit = {6500, 0, 0, 0, 0};
    p3->Abzug = {0, -3, 0, 0, 0};
    p3->HLWPunkte = 7000;
    a1->InsertParticipant(std::move(p3));

    auto p4 = Entry(team,
                    "\x8E"
                    "rger",
                    "\x99"
                    "di \x9A"
                    "lf \xE1",
                    "1970", "SH", "AK offen", false);
    p4->Zeit = {6000, 0, 0, 0, 0};
    p4->Abzug = {-1, 0, 0, 0, 0};
    a3->InsertParticipant(std::move(p4));
    return c;
}

} // namespace exporttest

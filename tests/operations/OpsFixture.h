// Small competitions for the operation tests, built with the model API. Totals are
// set through the HLW points so that each entry has exactly the points a test needs.
#pragma once

#include "model/VmWettk.h"

#include <memory>
#include <stdexcept>
#include <string>
#include <vector>

namespace opsfx {

using namespace vm;

inline std::unique_ptr<TWettkampf> Competition(int lanes = 5, bool team = false) {
    auto c = NewCompetition();
    c->Header.Startplaetze = static_cast<std::int16_t>(lanes - 3);
    c->Header.Art = team ? wkMannschaft : wkEinzel;
    return c;
}

inline TAltersklasse& AddAgeClass(TWettkampf& c, const std::string& name, int von, int bis,
                                  std::int16_t props = 0, int disciplines = 1) {
    auto ac = NewAgeClass();
    ac->Data.Bezeichnung.Set(name);
    ac->Data.JahrgangVon = static_cast<std::int16_t>(von);
    ac->Data.JahrgangBis = static_cast<std::int16_t>(bis);
    ac->Data.Eigenschaften = props;
    ac->Data.Disziplinenanzahl = static_cast<std::int16_t>(disciplines);
    TAltersklasse* raw = ac.get();
    if (!c.InsertAgeClass(std::move(ac))) throw std::runtime_error("age class not inserted");
    return *raw;
}

// An entry with `points` whole points (0 gives a total of 0).
inline TTeilnehmer& AddEntrant(TAltersklasse& ac, const std::string& name, int points,
                               const std::string& code = "", std::int16_t flags = 0) {
    auto p = NewParticipant();
    p->SetName(name);
    p->SetVorname("V" + name);
    p->Gliederung.Set(code);
    p->HLWPunkte = points * 100;
    p->Eigenschaften = static_cast<std::int16_t>(p->Eigenschaften | flags);
    TTeilnehmer* raw = p.get();
    ac.InsertParticipant(std::move(p));
    return *raw;
}

inline TTeilnehmer* Find(const TAltersklasse& ac, const std::string& name) {
    return ac.FirstThat([&](const TTeilnehmer& p) { return p.Name() == name; });
}

// Names of the entries in list order.
inline std::vector<std::string> Names(const TAltersklasse& ac) {
    std::vector<std::string> out;
    for (const TTeilnehmer& p : ac)
        out.emplace_back(p.Name());
    return out;
}

} // namespace opsfx

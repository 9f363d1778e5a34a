// Small competitions for the report tests.
#pragma once

#include "model/VmWettk.h"

#include <memory>
#include <string>

namespace vmtest {

struct TEntry {
    std::string name;
    std::string first;
    std::string birth;
    std::string glied;
    vm::TZeit t1 = 0;
    vm::TZeit t2 = 0;
    std::int16_t pen1 = 0;
    std::int16_t pen2 = 0;
};

// An age class "AK 13/14w" (1990 - 1991) with `disciplines` disciplines scored by the
// new method with the base time 0:27,00 (1000 points; twice the base time gives 400).
inline std::unique_ptr<vm::TAltersklasse> MakeAgeClass(const std::string& name, int disciplines,
                                                       bool hlw, int yearFrom = 1990) {
    auto ac = vm::NewAgeClass();
    ac->Data.Bezeichnung.Set(name);
    ac->Data.JahrgangVon = static_cast<std::int16_t>(yearFrom);
    ac->Data.JahrgangBis = static_cast<std::int16_t>(yearFrom + 1);
    ac->Data.Eigenschaften = static_cast<std::int16_t>(vm::akWeiblich | (hlw ? vm::akHLW : 0));
    ac->Data.Disziplinenanzahl = static_cast<std::int16_t>(disciplines);
    for (int i = 0; i < disciplines; ++i) {
        auto& d = ac->Data.Disziplinen[static_cast<std::size_t>(i)];
        d.Bezeichnung.Set(i == 0 ? "50m Hindernisschwimmen" : "Disziplin " + std::to_string(i + 1));
        d.Berechnungsart = vm::baNeu;
        d.V[0] = 2700;
    }
    return ac;
}

inline vm::TTeilnehmer& AddEntry(vm::TAltersklasse& ac, const TEntry& e) {
    auto p = vm::NewParticipant();
    p->SetName(e.name);
    p->SetVorname(e.first);
    p->SetGeburtsdatum(e.birth);
    p->Gliederung.Set(e.glied);
    p->SetFlag(vm::tnWeiblich, true);
    p->Zeit[0] = e.t1;
    p->Zeit[1] = e.t2;
    p->Abzug[0] = e.pen1;
    p->Abzug[1] = e.pen2;
    vm::TTeilnehmer* raw = p.get();
    ac.InsertParticipant(std::move(p));
    return *raw;
}

// A competition with one age class of n participants with falling results (the
// k-th has times 2700 + 10k and 5400 + 10k), Gliederungen cycling through four codes.
inline std::unique_ptr<vm::TWettkampf> MakeCompetition(bool team, int n, int disciplines = 2,
                                                       bool hlw = false) {
    auto c = vm::NewCompetition();
    c->Header.Veranstaltung.Set("Testmeisterschaft");
    c->Header.Veranstalter.Set("Velbund Testverband");
    c->Header.Art = team ? vm::wkMannschaft : vm::wkEinzel;
    c->Header.Optionen = 1;
    auto ac = MakeAgeClass("AK 13/14w", disciplines, hlw);
    static const char* codes[] = {"BY", "NI", "HE", "SH"};
    for (int k = 0; k < n; ++k) {
        TEntry e{"Name" + std::to_string(k + 1000),
                 "Vorname",
                 "12.03.1990",
                 codes[k % 4],
                 2700 + 10 * k,
                 disciplines > 1 ? 5400 + 10 * k : 0};
        if (team) {
            auto p = vm::NewParticipant();
            p->SetMannschaft("SG Team " + std::to_string(k + 1000));
            p->Gliederung.Set(codes[k % 4]);
            p->SetFlag(vm::tnWeiblich, true);
            p->Zeit[0] = e.t1;
            p->Zeit[1] = e.t2;
            ac->InsertParticipant(std::move(p));
        } else {
            AddEntry(*ac, e);
        }
    }
    c->InsertAgeClass(std::move(ac));
    return c;
}

} // namespace vmtest

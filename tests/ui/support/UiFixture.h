// Competitions for the GUI suites, built through the core and saved to a temporary
// folder, so that each test opens a real result file in the real main window.
#pragma once

#include "file/VmWFile.h"
#include "support/TestSupport.h"

#include <string>

namespace vmtest {

// A participant with one time per discipline (hundredths), from a name and a club.
inline std::unique_ptr<vm::TTeilnehmer> Swimmer(const std::string& name, const std::string& vorname,
                                                const std::string& gld, int time) {
    auto p = vm::NewParticipant();
    p->SetName(name);
    p->SetVorname(vorname);
    p->SetGeburtsdatum("2012");
    p->Gliederung.Set(gld);
    // The first age classes of the preset have three disciplines.
    for (int k = 0; k < 3; ++k)
        p->Zeit[static_cast<std::size_t>(k)] = time + 100 * k;
    return p;
}

// The default championship (individual, youth and seniors) with three participants in
// the first age class, one in the third and none elsewhere; saved as NAME in dir.
inline std::string SmallCompetitionFile(const TempDir& dir, const std::string& name = "Tag1.ERG",
                                        bool team = false) {
    vm::TVmFile doc;
    doc.New(team ? 9 : 8, 2026);
    vm::TWettkampf& c = doc.Competition();
    c.Header.Veranstalter.Set("Velbund-Verband e.V.");
    auto* a0 = c.At(0);
    auto add = [&](vm::TAltersklasse* ac, std::unique_ptr<vm::TTeilnehmer> p) {
        p->Altersklasse.Set(ac->Name());
        if (team) p->SetMannschaft(std::string(p->Name()) + " 1");
        ac->InsertParticipant(std::move(p));
    };
    add(a0, Swimmer("Zander", "Paula", "SH", 4000));
    add(a0, Swimmer("Berger", "Greta", "BY", 3500));
    add(a0, Swimmer("Meier", "Leni", "NI", 4500));
    add(c.At(2), Swimmer("Kr\x94ger", "Ida", "HE", 3900));
    const std::string path = dir.File(name);
    doc.SaveAs(path, vm::TFileType::Ergebnis);
    return path;
}

} // namespace vmtest

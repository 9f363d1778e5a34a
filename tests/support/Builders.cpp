#include "support/Builders.h"

#include "file/VmWFile.h"
#include "model/VmVorg.h"

#include <stdexcept>

namespace vmtest {

using namespace vm;

std::unique_ptr<TAltersklasse> AgeClass(const std::string& name, int yearFrom, int yearTo,
                                        std::int16_t props, int disciplines) {
    auto ac = NewAgeClass();
    ac->Data.Bezeichnung.Set(name);
    ac->Data.JahrgangVon = static_cast<std::int16_t>(yearFrom);
    ac->Data.JahrgangBis = static_cast<std::int16_t>(yearTo);
    ac->Data.Eigenschaften = props;
    ac->Data.Disziplinenanzahl = static_cast<std::int16_t>(disciplines);
    return ac;
}

std::unique_ptr<TTeilnehmer> Person(const TPerson& who) {
    auto p = NewParticipant();
    if (who.team) {
        p->SetMannschaft(who.name);
        p->SetZusatz(who.second);
    } else {
        p->SetName(who.name);
        p->SetVorname(who.second);
        p->SetGeburtsdatum(who.birth);
    }
    p->Gliederung.Set(who.glied);
    p->Altersklasse.Set(who.ageClass);
    p->SetFlag(tnWeiblich, who.female);
    return p;
}

// ---- entries ranked by points ---------------------------------------------------------

std::unique_ptr<TWettkampf> Competition(int lanes, bool team) {
    auto c = NewCompetition();
    c->Header.Startplaetze = static_cast<std::int16_t>(lanes - 3);
    c->Header.Art = team ? wkMannschaft : wkEinzel;
    return c;
}

TAltersklasse& AddAgeClass(TWettkampf& c, const std::string& name, int von, int bis,
                           std::int16_t props, int disciplines) {
    auto ac = AgeClass(name, von, bis, props, disciplines);
    TAltersklasse* raw = ac.get();
    if (!c.InsertAgeClass(std::move(ac))) throw std::runtime_error("age class not inserted");
    return *raw;
}

TTeilnehmer& AddEntrant(TAltersklasse& ac, const std::string& name, int points,
                        const std::string& code, std::int16_t flags) {
    auto p = Person({name, "V" + name, "", code, "", false, false});
    p->HLWPunkte = points * 100;
    p->Eigenschaften = static_cast<std::int16_t>(p->Eigenschaften | flags);
    TTeilnehmer* raw = p.get();
    ac.InsertParticipant(std::move(p));
    return *raw;
}

TTeilnehmer* Find(const TAltersklasse& ac, const std::string& name) {
    return ac.FirstThat([&](const TTeilnehmer& p) { return p.Name() == name; });
}

std::vector<std::string> Names(const TAltersklasse& ac) {
    std::vector<std::string> out;
    for (const TTeilnehmer& p : ac)
        out.emplace_back(p.Name());
    return out;
}

// ---- entries ranked by times ----------------------------------------------------------

std::unique_ptr<TAltersklasse> MakeAgeClass(const std::string& name, int disciplines, bool hlw,
                                            int yearFrom) {
    auto ac = AgeClass(name, yearFrom, yearFrom + 1,
                       static_cast<std::int16_t>(akWeiblich | (hlw ? akHLW : 0)), disciplines);
    for (int i = 0; i < disciplines; ++i) {
        auto& d = ac->Data.Disziplinen[static_cast<std::size_t>(i)];
        d.Bezeichnung.Set(i == 0 ? "50m Hindernisschwimmen" : "Disziplin " + std::to_string(i + 1));
        d.Berechnungsart = baNeu;
        d.V[0] = 2700;
    }
    return ac;
}

namespace {
TTeilnehmer& InsertWithTimes(TAltersklasse& ac, std::unique_ptr<TTeilnehmer> p, const TEntry& e) {
    p->Zeit[0] = e.t1;
    p->Zeit[1] = e.t2;
    p->Abzug[0] = e.pen1;
    p->Abzug[1] = e.pen2;
    TTeilnehmer* raw = p.get();
    ac.InsertParticipant(std::move(p));
    return *raw;
}
} // namespace

TTeilnehmer& AddEntry(TAltersklasse& ac, const TEntry& e) {
    return InsertWithTimes(ac, Person({e.name, e.first, e.birth, e.glied, "", true, false}), e);
}

std::unique_ptr<TWettkampf> MakeCompetition(bool team, int n, int disciplines, bool hlw) {
    auto c = NewCompetition();
    c->Header.Veranstaltung.Set("Testmeisterschaft");
    c->Header.Veranstalter.Set("Velbund Testverband");
    c->Header.Art = team ? wkMannschaft : wkEinzel;
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
        if (team)
            InsertWithTimes(*ac,
                            Person({"SG Team " + std::to_string(k + 1000), "", "", codes[k % 4], "",
                                    true, true}),
                            e);
        else
            AddEntry(*ac, e);
    }
    c->InsertAgeClass(std::move(ac));
    return c;
}

// ---- the export competition -----------------------------------------------------------

std::unique_ptr<TWettkampf> ExportCompetition(bool team) {
    auto c = NewCompetition();
    c->Header.Art = team ? wkMannschaft : wkEinzel;
    c->Header.Veranstaltung.Set("Müller-Pokal <2004> & \"Cup\""_oem);
    c->Header.Datum.Set("12.06.2004");
    c->Header.Optionen = 1; // times with hundredths

    std::array<TDisziplin, 5> d{};
    d[0] = MakeDiscipline(*DisciplineTemplate(1), 2);
    d[1] = MakeDiscipline(*DisciplineTemplate(2), 2);
    const std::string ak1 = "AK 13/14 Mädchen"_oem;
    c->InsertAgeClass(vm::MakeAgeClass(ak1, 1990, 1991, akWeiblich | akHLW, 2, d));
    c->InsertAgeClass(vm::MakeAgeClass("AK 15/16", 1988, 1989, 0, 2, d));
    c->InsertAgeClass(vm::MakeAgeClass("AK offen", 1900, 1987, 0, 1, d));
    TAltersklasse* a1 = c->FindAgeClass(ak1, true);
    TAltersklasse* a3 = c->FindAgeClass("AK offen", false);

    auto p1 = Person({"Schröder"_oem, "Jürgen"_oem, "12.03.1990", "BY", ak1, true, team});
    p1->Zeit = {6150, 4321, 0, 0, 0};
    p1->Abzug = {5, 0, 0, 0, 0};
    p1->Lauf = {2, 3, 0, 0, 0};
    p1->Bahn = {4, 1, 0, 0, 0};
    p1->HLWPunkte = 8550;
    p1->Startzeit = 905;
    p1->HLWBahn = 3;
    a1->InsertParticipant(std::move(p1));

    // Markup, the quote character and the separator in the names.
    auto p2 = Person({"<b>\"Ed\"</b>", "Anna; Lena", "1991", "NRW", ak1, true, team});
    p2->Zeit = {7000, 5000, 0, 0, 0};
    p2->HLWPunkte = 9000;
    a1->InsertParticipant(std::move(p2));

    // Did not start in discipline 2.
    auto p3 = Person({"Absent", "Ada", "01.01.1990", "HE", ak1, true, team});
    p3->Zeit = {6500, 0, 0, 0, 0};
    p3->Abzug = {0, -3, 0, 0, 0};
    p3->HLWPunkte = 7000;
    a1->InsertParticipant(std::move(p3));

    auto p4 = Person({"Ärger"_oem, "Ödi Ülf ß"_oem, "1970", "SH", "AK offen", false, team});
    p4->Zeit = {6000, 0, 0, 0, 0};
    p4->Abzug = {-1, 0, 0, 0, 0};
    a3->InsertParticipant(std::move(p4));
    return c;
}

// ---- result files ---------------------------------------------------------------------

std::unique_ptr<TTeilnehmer> Swimmer(const std::string& name, const std::string& vorname,
                                     const std::string& gld, int time) {
    auto p = Person({name, vorname, "2012", gld, "", false, false});
    // The first age classes of the preset have three disciplines.
    for (int k = 0; k < 3; ++k)
        p->Zeit[static_cast<std::size_t>(k)] = time + 100 * k;
    return p;
}

std::string SmallCompetitionFile(const TempDir& dir, const std::string& name, bool team) {
    TVmFile doc;
    doc.New(team ? 9 : 8, 2026);
    TWettkampf& c = doc.Competition();
    c.Header.Veranstalter.Set("Velbund-Verband e.V.");
    auto* a0 = c.At(0);
    auto add = [&](TAltersklasse* ac, std::unique_ptr<TTeilnehmer> p) {
        p->Altersklasse.Set(ac->Name());
        if (team) p->SetMannschaft(std::string(p->Name()) + " 1");
        ac->InsertParticipant(std::move(p));
    };
    add(a0, Swimmer("Zander", "Paula", "SH", 4000));
    add(a0, Swimmer("Berger", "Greta", "BY", 3500));
    add(a0, Swimmer("Meier", "Leni", "NI", 4500));
    add(c.At(2), Swimmer("Kröger"_oem, "Ida", "HE", 3900));
    const std::string path = dir.File(name);
    doc.SaveAs(path, vm::TFileType::Ergebnis);
    return path;
}

} // namespace vmtest

#include "model/VmWettk.h"

namespace vm {

int TWettkampf::Compare(const TAltersklasse& a, const TAltersklasse& b) const {
    const auto& x = a.Data;
    const auto& y = b.Data;
    if (x.JahrgangVon != y.JahrgangVon) return x.JahrgangVon > y.JahrgangVon ? -1 : 1;
    if (x.JahrgangBis != y.JahrgangBis) return x.JahrgangBis > y.JahrgangBis ? -1 : 1;
    const bool fx = x.Has(akWeiblich), fy = y.Has(akWeiblich);
    if (fx != fy) return fx ? -1 : 1;
    return CompareBytes(x.Bezeichnung.View(), y.Bezeichnung.View());
}

bool TWettkampf::InsertAgeClass(std::unique_ptr<TAltersklasse> ac) {
    const std::string name = ac->Name();
    int index = 0;
    if (Search(*ac, index)) {
        ShowMessage("Die Altersklasse " + name +
                    " konnte nicht eingefügt werden (sie existiert bereits)."_oem);
        return false;
    }
    return AtInsert(index, std::move(ac));
}

TAltersklasse* TWettkampf::FindAgeClass(std::string_view name, bool female) const {
    return FirstThat([&](const TAltersklasse& ac) {
        return ac.Data.Bezeichnung.View() == name && IsFemale(ac) == female;
    });
}

std::unique_ptr<TWettkampf> NewCompetition() {
    auto c = std::make_unique<TWettkampf>();
    c->Header.Veranstaltung.Set("neue Meisterschaft " + IntToText(CurrentYear()));
    c->Header.Veranstalter.Set("-");
    c->Header.Ausrichter.Set("-");
    c->Header.Datum.Set("-");
    c->Header.Veranstaltungsstaette.Set("-");
    return c;
}

std::unique_ptr<TWettkampf> CopyCompetition(const TWettkampf& source) {
    auto c = std::make_unique<TWettkampf>();
    c->Header = source.Header;
    c->SetLimit(source.Limit());
    c->SetDelta(source.Delta());
    for (const TAltersklasse& ac : source)
        c->Append(CopyAgeClass(ac));
    c->Gliederungen.SetLimit(source.Gliederungen.Limit());
    c->Gliederungen.SetDelta(source.Gliederungen.Delta());
    c->Gliederungen.Mode = source.Gliederungen.Mode;
    c->Gliederungen.Flag = source.Gliederungen.Flag;
    for (const TGliederungStat& g : source.Gliederungen)
        c->Gliederungen.Append(std::make_unique<TGliederungStat>(g));
    c->Organisation.SetLimit(source.Organisation.Limit());
    c->Organisation.SetDelta(source.Organisation.Delta());
    c->Organisation.Flag = source.Organisation.Flag;
    for (const TOrganEntry& o : source.Organisation)
        c->Organisation.Insert(std::make_unique<TOrganEntry>(o));
    return c;
}

void ShiftYears(TWettkampf& c, int delta) {
    for (TAltersklasse& ac : c) {
        ac.Data.JahrgangVon = static_cast<std::int16_t>(ac.Data.JahrgangVon + delta);
        ac.Data.JahrgangBis = static_cast<std::int16_t>(ac.Data.JahrgangBis + delta);
    }
}

int FullBirthYear(const TWettkampf& c, const TTeilnehmer& p) {
    std::string_view d = p.Geburtsdatum();
    auto digits = [&](std::size_t n) {
        if (d.size() < n) return false;
        for (std::size_t i = d.size() - n; i < d.size(); ++i)
            if (d[i] < '0' || d[i] > '9') return false;
        return true;
    };
    if (digits(4)) return static_cast<int>(TextToInt(d.substr(d.size() - 4)));
    if (!digits(2)) return -1;
    const int yy = static_cast<int>(TextToInt(d.substr(d.size() - 2)));
    const bool female = p.Has(tnWeiblich);
    for (int century = 2100; century >= 1800; century -= 100) {
        const int year = century + yy;
        for (const TAltersklasse& ac : c)
            if (IsFemale(ac) == female && ac.Data.JahrgangVon <= year &&
                year <= ac.Data.JahrgangBis)
                return year;
    }
    return 1900 + yy;
}

bool AddParticipant(TWettkampf& c, std::unique_ptr<TTeilnehmer> p) {
    if (IsSingleCompetition(c) && p->Altersklasse.Empty() && !p->Geburtsdatum().empty()) {
        p->Altersklasse.Set("?");
        const int year = FullBirthYear(c, *p);
        const bool female = p->Has(tnWeiblich);
        for (const TAltersklasse& ac : c) {
            if (IsFemale(ac) == female && ac.Data.JahrgangVon <= year &&
                year <= ac.Data.JahrgangBis) {
                p->Altersklasse.Set(ac.Data.Bezeichnung.View());
                break;
            }
        }
    }
    for (TAltersklasse& ac : c) {
        if (BelongsTo(ac, *p)) return ac.InsertParticipant(std::move(p));
    }
    std::string who;
    if (IsSingleCompetition(c)) {
        who = std::string(p->Name()) + ", ";
        if (who.size() > 22) who.resize(22);
        who += p->Vorname();
    } else
        who = std::string(p->Mannschaft());
    ShowMessage(who + " (Altersklasse " + p->Altersklasse.Get() +
                ") konnte nicht eingefügt werden."_oem);
    return false;
}

int LaneCount(const TWettkampf& c) {
    int i = c.Header.Startplaetze;
    return (i < 0 || i > 7) ? 5 : i + 3;
}

int StationCount(const TWettkampf& c) {
    int i = c.Header.HLWStationen;
    return (i < 0 || i > 7) ? 5 : i + 3;
}

} // namespace vm

#include "model/VmRek.h"

#include "model/VmRech.h"
#include "model/VmWettk.h"

namespace vm {

void ResetBests(TAltersklasse& ac) {
    auto& rek = ac.Data.Rekorde;
    if (rek[0].VorjahrZeit == 0 && rek[1].VorjahrZeit == 0) {
        // No previous records at all: start the block afresh.
        for (auto& r : rek) {
            r.VorjahrZeit = 0;
            r.VorjahrAbzug = 0;
        }
        ac.Data.RekordGesamtpunkte = 0;
    }
    for (auto& r : rek) {
        r.BestZeit = 0;
        r.BestAbzug = 0;
    }
    ac.Data.BestGesamtpunkte = 0;

    const int count = ac.Data.DisciplineCount();
    std::array<TPunkte, 5> bestPoints{};
    for (const TTeilnehmer& e : ac) {
        if (e.Has(tnAusserKonkurrenz)) continue;
        for (int i = 0; i < count; ++i) {
            auto k = static_cast<std::size_t>(i);
            if (e.Abzug[k] < 0) continue;
            const TPunkte pts = CalcPoints(e.Zeit[k], e.Abzug[k], ac.Data.Disziplinen[k]);
            if (pts >= bestPoints[k]) {
                bestPoints[k] = pts;
                rek[k].BestZeit = e.Zeit[k];
                rek[k].BestAbzug = e.Abzug[k];
            }
        }
        if (e.Gesamtpunkte >= ac.Data.BestGesamtpunkte) ac.Data.BestGesamtpunkte = e.Gesamtpunkte;
    }
}

void RefreshBests(TWettkampf& c) {
    for (TAltersklasse& ac : c)
        ResetBests(ac);
}

bool MergeRecords(TAltersklasse& a, TAltersklasse& b) {
    if (IsFemale(a) != IsFemale(b) || a.Data.Bezeichnung.View() != b.Data.Bezeichnung.View()) {
        ShowMessage("Fehler bei der Rekordübernahme (Altersklassen stimmen nicht überein! "_oem);
        return false;
    }
    ResetBests(b);
    bool complete = true;
    for (std::size_t i = 0; i < 5; ++i) {
        const TDisziplin& da = a.Data.Disziplinen[i];
        const TDisziplin& db = b.Data.Disziplinen[i];
        if (!SameDiscipline(da, db)) {
            complete = false;
            continue;
        }
        TRekordEintrag& ra = a.Data.Rekorde[i];
        const TRekordEintrag& rb = b.Data.Rekorde[i];
        const TPunkte own = CalcPoints(ra.VorjahrZeit, ra.VorjahrAbzug, da);
        const TPunkte cur = CalcPoints(rb.BestZeit, rb.BestAbzug, db);
        const TPunkte prev = CalcPoints(rb.VorjahrZeit, rb.VorjahrAbzug, db);
        if (own < cur || prev > own) {
            if (prev >= cur) {
                ra.VorjahrZeit = rb.VorjahrZeit;
                ra.VorjahrAbzug = rb.VorjahrAbzug;
            } else {
                ra.VorjahrZeit = rb.BestZeit;
                ra.VorjahrAbzug = rb.BestAbzug;
            }
        }
        if (rb.VorjahrZeit == 153009 && own == 0 && cur == 0) {
            ra.VorjahrZeit = rb.VorjahrZeit;
            ra.VorjahrAbzug = rb.VorjahrAbzug;
        }
    }
    if (complete) {
        a.Data.RekordGesamtpunkte = std::max(b.Data.RekordGesamtpunkte, b.Data.BestGesamtpunkte);
    } else {
        ShowMessage("Mindestens eine Disziplin stimmt nicht überein! (Altersklasse "_oem +
                    a.Name() + ")");
    }
    return true;
}

int TakeOverRecords(TWettkampf& c, TWettkampf& other) {
    RefreshBests(other);
    int matched = 0;
    for (TAltersklasse& a : c) {
        bool found = false;
        for (TAltersklasse& b : other) {
            if (IsFemale(a) == IsFemale(b) &&
                a.Data.Bezeichnung.View() == b.Data.Bezeichnung.View()) {
                found = true;
                MergeRecords(a, b);
            }
        }
        if (!found)
            ShowMessage("Zur Altersklasse " + a.Name() +
                        ", wurde keine passende Altersklasse gefunden.");
        else
            ++matched;
    }
    return matched;
}

} // namespace vm

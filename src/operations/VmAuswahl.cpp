#include "operations/VmAuswahl.h"

#include <algorithm>

namespace vm {

// ---- reset -----------------------------------------------------------------------

TResetSet ResetSetForOption(int option) {
    switch (option) {
    case 0:
        return ResetRange(1, 10) | ResetItem(rsHLW);
    case 1:
        return ResetRange(11, 20);
    case 2:
        return ResetRange(1, 21);
    default:
        return 0;
    }
}

void ResetParticipant(TTeilnehmer& p, TResetSet items) {
    for (int d = 0; d < 5; ++d) {
        const auto i = static_cast<std::size_t>(d);
        if (HasResetItem(items, rsZeit + d)) p.Zeit[i] = 0;
        if (HasResetItem(items, rsAbzug + d)) p.Abzug[i] = 0;
        if (HasResetItem(items, rsLauf + d)) p.Lauf[i] = 0;
        if (HasResetItem(items, rsBahn + d)) p.Bahn[i] = 0;
    }
    if (HasResetItem(items, rsHLW)) p.HLWPunkte = 0;
}

void ResetCompetition(TWettkampf& c, TResetSet items) {
    ProgressStart("Werte zurücksetzen..."_oem);
    for (TAltersklasse& ac : c) {
        for (TTeilnehmer& p : ac)
            ResetParticipant(p, items);
        RecalcAgeClass(ac);
    }
    ProgressStart("");
}

// ---- strike ----------------------------------------------------------------------

void StrikeAgeClass(TAltersklasse& ac, int mode) {
    // Backwards, so that a deletion does not skip the next entry.
    for (int i = ac.Count() - 1; i >= 0; --i) {
        TTeilnehmer& p = *ac.At(i);
        switch (mode) {
        case skMarkAbsent:
            if (HasNoTimes(p)) MarkAbsent(p);
            break;
        case skDelete:
            if (HasNoTimes(p)) ac.AtDelete(i);
            break;
        case skDeleteNotStarted:
            if (HasNoStart(p)) ac.AtDelete(i);
            break;
        default:
            break;
        }
    }
    RankAgeClass(ac);
}

void StrikeCompetition(TWettkampf& c, int mode) {
    ProgressStart("Alle Teilnehmer ohne Zeitangabe werden gelöscht..."_oem);
    for (TAltersklasse& ac : c)
        StrikeAgeClass(ac, mode);
    ProgressStart("");
}

// ---- selection -------------------------------------------------------------------

namespace {

long long SelectionKey(const TSelectionOrder& o, const TTeilnehmer& p) {
    switch (o.order) {
    case soPunkte:
        return -static_cast<long long>(p.Gesamtpunkte);
    case soLauf: {
        const int d = o.discipline;
        if (d < 1 || d > 5) return 0;
        const auto i = static_cast<std::size_t>(d - 1);
        return static_cast<long long>(p.Lauf[i]) * 10 + p.Bahn[i];
    }
    case soHLWZeit:
        return static_cast<long long>(p.Startzeit) * 10 + p.HLWBahn;
    default:
        return 0; // order 1 and unknown orders: the name alone
    }
}

// The one ordering of every selection, those built step by step and the lists' own.
auto EntryBefore(const TSelectionOrder& o) {
    return [&o](const TListEntry& a, const TListEntry& b) {
        return CompareSelection(o, *a.participant, *b.participant) < 0;
    };
}

template <class Test> void SelectWhere(TSelection& s, const TWettkampf& c, Test&& test) {
    for (const TAltersklasse& ac : c) {
        if (!s.Marked(ac)) continue;
        for (const TTeilnehmer& p : ac)
            if (test(ac, p)) InsertSelection(s, ac, p);
    }
}

} // namespace

int CompareSelection(const TSelectionOrder& order, const TTeilnehmer& a, const TTeilnehmer& b) {
    const long long ka = SelectionKey(order, a), kb = SelectionKey(order, b);
    if (ka != kb) return ka < kb ? -1 : 1;
    return CompareBytes(a.NameKey(), b.NameKey());
}

void SetSelectionOrder(TSelection& s, int order, int discipline) {
    s.order = {order, discipline};
    std::stable_sort(s.entries.begin(), s.entries.end(), EntryBefore(s.order));
}

void InsertSelection(TSelection& s, const TAltersklasse& ac, const TTeilnehmer& p) {
    const TListEntry e{&ac, &p};
    s.entries.insert(
        std::lower_bound(s.entries.begin(), s.entries.end(), e, EntryBefore(s.order)), e);
}

TListSelection SelectForList(const TWettkampf& c, TListAgeClasses ageClasses,
                             const TSelectionOrder& order) {
    const bool hlwOnly = ageClasses == TListAgeClasses::WithHLW;
    ProgressStart(hlwOnly ? "HLW Teilnehmer selektieren..." : "Teilnehmer selektieren...");
    // Inserting each entry before its equals leaves equal entries in reverse order of
    // adding; gathering backwards and sorting stably gives the same list without
    // shifting the entries on every insertion.
    TListSelection s;
    for (int i = c.Count() - 1; i >= 0; --i) {
        const TAltersklasse& ac = *c.At(i);
        if (hlwOnly && !HasHLW(ac)) continue;
        for (int k = ac.Count() - 1; k >= 0; --k)
            s.push_back({&ac, ac.At(k)});
    }
    std::stable_sort(s.begin(), s.end(), EntryBefore(order));
    ProgressStart("");
    return s;
}

bool PointsInto(const TWettkampf& c, const TAltersklasse* ac, const TTeilnehmer* p) {
    return ac && p && c.IndexOf(ac) >= 0 && ac->IndexOf(p) >= 0;
}

void MarkAllAgeClasses(TSelection& s, const TWettkampf& c, bool selected) {
    for (const TAltersklasse& ac : c) {
        if (selected)
            s.marked.insert(&ac);
        else
            s.marked.erase(&ac);
    }
}

void MarkHLWAgeClasses(TSelection& s, const TWettkampf& c) {
    for (const TAltersklasse& ac : c) {
        if (HasHLW(ac))
            s.marked.insert(&ac);
        else
            s.marked.erase(&ac);
    }
}

void SelectParticipants(TSelection& s, const TWettkampf& c) {
    ProgressStart("Teilnehmer selektieren...");
    SelectWhere(s, c, [](const TAltersklasse&, const TTeilnehmer&) { return true; });
    ProgressStart("");
}

void SelectHLWParticipants(TSelection& s, const TWettkampf& c) {
    ProgressStart("HLW Teilnehmer selektieren...");
    SelectWhere(s, c, [](const TAltersklasse& ac, const TTeilnehmer&) { return HasHLW(ac); });
    ProgressStart("");
}

void SelectGliederung(TSelection& s, const TWettkampf& c, std::string_view code) {
    ProgressStart("Alle Teilnehmer aus " + std::string(code) + " selektieren...");
    SelectWhere(s, c, [&](const TAltersklasse&, const TTeilnehmer& p) {
        return p.Gliederung.View() == code;
    });
    ProgressStart("");
}

void SelectHeat(TSelection& s, const TWettkampf& c, int heat, int discipline) {
    ProgressStart("Selektiere Lauf " + IntToText(heat) + " ...");
    if (discipline >= 1 && discipline <= 5) {
        const auto i = static_cast<std::size_t>(discipline - 1);
        SelectWhere(s, c, [&](const TAltersklasse&, const TTeilnehmer& p) {
            return p.Lauf[i] == heat;
        });
    }
    ProgressStart("");
}

void ClearSelection(TSelection& s) {
    s.entries.clear();
}

THeatRange HeatRange(const TWettkampf& c, int discipline) {
    THeatRange r;
    if (discipline < 0 || discipline > 5) return r;
    const int from = discipline == 0 ? 0 : discipline - 1;
    const int to = discipline == 0 ? 4 : discipline - 1;
    for (const TAltersklasse& ac : c)
        for (const TTeilnehmer& p : ac)
            for (int d = from; d <= to; ++d) {
                const int heat = p.Lauf[static_cast<std::size_t>(d)];
                r.first = std::min(r.first, heat);
                r.last = std::max(r.last, heat);
            }
    return r;
}

} // namespace vm

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
    ProgressStart("Werte zur\x81"
                  "cksetzen...");
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
    ProgressStart("Alle Teilnehmer ohne Zeitangabe werden gel\x94scht...");
    if (mode == skDelete || mode == skDeleteNotStarted) ClearSelection(c);
    for (TAltersklasse& ac : c)
        StrikeAgeClass(ac, mode);
    ProgressStart("");
}

// ---- selection -------------------------------------------------------------------

namespace {

long long SelectionKey(const TWettkampf& c, const TTeilnehmer& p) {
    switch (c.SelectionOrder) {
    case soPunkte:
        return -static_cast<long long>(p.Gesamtpunkte);
    case soLauf: {
        const int d = c.SelectionDiscipline;
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

bool SelectionBefore(const TWettkampf& c, const TSelectionEntry& a, const TSelectionEntry& b) {
    return CompareSelection(c, *a.participant, *b.participant) < 0;
}

template <class Test> void SelectWhere(TWettkampf& c, Test&& test) {
    for (TAltersklasse& ac : c) {
        if (!ac.Selected) continue;
        for (TTeilnehmer& p : ac)
            if (test(ac, p)) InsertSelection(c, ac, p);
    }
}

} // namespace

int CompareSelection(const TWettkampf& c, const TTeilnehmer& a, const TTeilnehmer& b) {
    const long long ka = SelectionKey(c, a), kb = SelectionKey(c, b);
    if (ka != kb) return ka < kb ? -1 : 1;
    return CompareBytes(a.NameKey(), b.NameKey());
}

void SetSelectionOrder(TWettkampf& c, int order, int discipline) {
    c.SelectionOrder = static_cast<std::uint8_t>(order);
    c.SelectionDiscipline = static_cast<std::int16_t>(discipline);
    std::stable_sort(c.Selection.begin(), c.Selection.end(),
                     [&](const TSelectionEntry& a, const TSelectionEntry& b) {
                         return SelectionBefore(c, a, b);
                     });
}

void InsertSelection(TWettkampf& c, TAltersklasse& ac, TTeilnehmer& p) {
    TSelectionEntry e{&ac, &p};
    auto at = std::lower_bound(c.Selection.begin(), c.Selection.end(), e,
                               [&](const TSelectionEntry& a, const TSelectionEntry& b) {
                                   return SelectionBefore(c, a, b);
                               });
    c.Selection.insert(at, e);
}

void MarkAllAgeClasses(TWettkampf& c, bool selected) {
    for (TAltersklasse& ac : c)
        ac.Selected = selected ? 1 : 0;
}

void MarkHLWAgeClasses(TWettkampf& c) {
    for (TAltersklasse& ac : c)
        ac.Selected = HasHLW(ac) ? 1 : 0;
}

void SelectParticipants(TWettkampf& c) {
    ProgressStart("Teilnehmer selektieren...");
    SelectWhere(c, [](const TAltersklasse&, const TTeilnehmer&) { return true; });
    ProgressStart("");
}

void SelectHLWParticipants(TWettkampf& c) {
    ProgressStart("HLW Teilnehmer selektieren...");
    SelectWhere(c, [](const TAltersklasse& ac, const TTeilnehmer&) { return HasHLW(ac); });
    ProgressStart("");
}

void SelectGliederung(TWettkampf& c, std::string_view code) {
    ProgressStart("Alle Teilnehmer aus " + std::string(code) + " selektieren...");
    SelectWhere(
        c, [&](const TAltersklasse&, const TTeilnehmer& p) { return p.Gliederung.View() == code; });
    ProgressStart("");
}

void SelectHeat(TWettkampf& c, int heat, int discipline) {
    ProgressStart("Selektiere Lauf " + IntToText(heat) + " ...");
    if (discipline >= 1 && discipline <= 5) {
        const auto i = static_cast<std::size_t>(discipline - 1);
        SelectWhere(c,
                    [&](const TAltersklasse&, const TTeilnehmer& p) { return p.Lauf[i] == heat; });
    }
    ProgressStart("");
}

void ClearSelection(TWettkampf& c) {
    c.Selection.clear();
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

#include "operations/VmSummary.h"

#include "model/VmBasis.h"
#include "operations/VmHLW.h"

#include <set>

namespace vm {

std::string CountText(int n, const std::string& one, const std::string& many) {
    return IntToText(n) + " " + (n == 1 ? one : many);
}

std::string EntrantsText(const TWettkampf& c, int n, bool dative) {
    if (!IsSingleCompetition(c)) return CountText(n, "Mannschaft", "Mannschaften");
    return CountText(n, "Teilnehmer", dative ? "Teilnehmern" : "Teilnehmer");
}

int EntrantCount(const TWettkampf& c) {
    int n = 0;
    for (const TAltersklasse& ac : c)
        n += ac.Count();
    return n;
}

TEntriesBefore EntriesOf(const TWettkampf& c) {
    TEntriesBefore entries;
    for (const TAltersklasse& ac : c)
        for (const TTeilnehmer& p : ac)
            entries.emplace(&p, TEntryValues{p.Zeit, p.Abzug, p.Lauf, p.Bahn, p.HLWPunkte});
    return entries;
}

int ChangedEntries(const TWettkampf& c, const TEntriesBefore& before) {
    int changed = 0;
    for (const TAltersklasse& ac : c)
        for (const TTeilnehmer& p : ac) {
            auto it = before.find(&p);
            if (it != before.end() &&
                it->second != TEntryValues{p.Zeit, p.Abzug, p.Lauf, p.Bahn, p.HLWPunkte})
                ++changed;
        }
    return changed;
}

TOperationBefore Before(const TWettkampf& c) {
    return {EntrantCount(c), c.Count(), EntriesOf(c)};
}

std::string QualifySummary(const TWettkampf& c, const TOperationBefore& before) {
    int admitted = 0;
    for (const TAltersklasse& ac : c)
        for (const TTeilnehmer& p : ac)
            admitted += p.Has(tnStartberechtigt) ? 1 : 0;
    return "Qualifikation: " + EntrantsText(c, before.entrants - EntrantCount(c)) + " gelöscht, " +
           IntToText(admitted) + " startberechtigt.";
}

std::string HeatsSummary(const TWettkampf& c) {
    int seated = 0;
    std::set<std::pair<int, int>> heats; // discipline, heat
    for (const TAltersklasse& ac : c)
        for (const TTeilnehmer& p : ac) {
            bool any = false;
            for (int d = 0; d < 5; ++d)
                if (p.Lauf[static_cast<std::size_t>(d)] > 0) {
                    heats.emplace(d, p.Lauf[static_cast<std::size_t>(d)]);
                    any = true;
                }
            seated += any ? 1 : 0;
        }
    return "Laufbesetzung: " + EntrantsText(c, seated) + " in " +
           CountText(static_cast<int>(heats.size()), "Lauf", "Läufe") + " eingeteilt.";
}

std::string HlwSummary(const TWettkampf& c) {
    int seated = 0;
    std::set<int> times;
    for (const TAltersklasse& ac : c) {
        if (!HasHLW(ac)) continue;
        for (const TTeilnehmer& p : ac)
            if (p.HLWBahn > 0) {
                ++seated;
                times.insert(p.Startzeit);
            }
    }
    return "HLW-Laufeinteilung: " + EntrantsText(c, seated) + " auf " +
           CountText(static_cast<int>(times.size()), "Startzeit", "Startzeiten") + " verteilt.";
}

std::string ResetSummary(const TWettkampf& c, const TOperationBefore& before) {
    return "Zurücksetzen: Einträge von " + EntrantsText(c, ChangedEntries(c, before.entries), true) +
           " zurückgesetzt.";
}

std::string StrikeSummary(const TWettkampf& c, const TOperationBefore& before, bool marked) {
    if (marked)
        return "Streichen: " + EntrantsText(c, ChangedEntries(c, before.entries)) +
               " auf n.a. gesetzt.";
    return "Streichen: " + EntrantsText(c, before.entrants - EntrantCount(c)) + " gelöscht.";
}

std::string MergeSummary(const TWettkampf& c, const TOperationBefore& before) {
    return "Zusammenführen: " + EntrantsText(c, EntrantCount(c) - before.entrants) +
           " übernommen, " +
           CountText(c.Count() - before.ageClasses, "Altersklasse", "Altersklassen") + " angelegt.";
}

std::string ImportSummary(const TWettkampf& c, const TOperationBefore& before) {
    return "Import: " + EntrantsText(c, EntrantCount(c) - before.entrants) + " übernommen.";
}

} // namespace vm

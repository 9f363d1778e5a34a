#include "operations/VmPruefung.h"

#include <algorithm>
#include <array>
#include <cstdint>
#include <unordered_map>

namespace vm {

namespace {

// Where a participant stands in the competition: age class and entry by position.
struct TStelle {
    int ageClass = 0;
    int participant = 0;
};

struct TEintrag {
    TStelle at;
    TPruefArt kind;
    int discipline;
    std::string problem;
};

// "in Disziplin 2", "in den Disziplinen 1, 2 und 3".
std::string DisciplineList(const std::vector<int>& d) {
    if (d.size() == 1) return "in Disziplin " + IntToText(d[0]);
    std::string s = "in den Disziplinen ";
    for (std::size_t i = 0; i < d.size(); ++i) {
        if (i > 0) s += i + 1 == d.size() ? " und " : ", ";
        s += IntToText(d[i]);
    }
    return s;
}

// The key under which an entry counts as made twice: name, first name and date of
// birth of an individual anywhere in the competition; team name, supplement and
// Gliederung of a team within its age class (a club sends its "1" to every class).
// Letters compared without regard to case, surrounding blanks ignored.
std::string EntryKey(bool single, int ageClass, const TTeilnehmer& p) {
    std::string key;
    if (!single) key = IntToText(ageClass) + '\0';
    if (single) {
        key = UpperText(TrimBlanks(p.Name()));
        key += '\0';
        key += UpperText(TrimBlanks(p.Vorname()));
        key += '\0';
        key += TrimBlanks(p.Geburtsdatum());
    } else {
        key += UpperText(TrimBlanks(p.Mannschaft()));
        key += '\0';
        key += UpperText(TrimBlanks(p.Zusatz()));
        key += '\0';
        key += p.Gliederung.View();
    }
    return key;
}

class TPruefung {
public:
    explicit TPruefung(const TWettkampf& c) : c_(c), single_(IsSingleCompetition(c)) {}

    std::vector<TBefund> Run() {
        FindAssignedDisciplines();
        for (int a = 0; a < c_.Count(); ++a) {
            const TAltersklasse& ac = *c_.At(a);
            for (int i = 0; i < ac.Count(); ++i)
                CheckEntry({a, i}, ac, *ac.At(i));
        }
        // The checks across the competition add their findings out of order.
        std::stable_sort(found_.begin(), found_.end(), [](const TEintrag& x, const TEintrag& y) {
            if (x.at.ageClass != y.at.ageClass) return x.at.ageClass < y.at.ageClass;
            if (x.at.participant != y.at.participant) return x.at.participant < y.at.participant;
            if (x.kind != y.kind) return x.kind < y.kind;
            return x.discipline < y.discipline;
        });
        std::vector<TBefund> out;
        out.reserve(found_.size());
        for (TEintrag& e : found_) {
            TAltersklasse* ac = c_.At(e.at.ageClass);
            TTeilnehmer* p = ac->At(e.at.participant);
            out.push_back({e.kind, ac, p, e.discipline,
                           FindingSubject(c_, *ac, *p) + ": " + std::move(e.problem)});
        }
        return out;
    }

private:
    void Add(TStelle at, TPruefArt kind, int discipline, std::string problem) {
        found_.push_back({at, kind, discipline, std::move(problem)});
    }

    std::string Subject(TStelle at) const {
        const TAltersklasse& ac = *c_.At(at.ageClass);
        return FindingSubject(c_, ac, *ac.At(at.participant));
    }

    // A discipline counts as assigned once any participant has a heat in it.
    void FindAssignedDisciplines() {
        for (const TAltersklasse& ac : c_)
            for (const TTeilnehmer& p : ac)
                for (std::size_t k = 0; k < 5; ++k)
                    if (p.Lauf[k] > 0) assigned_[k] = true;
    }

    void CheckEntry(TStelle at, const TAltersklasse& ac, const TTeilnehmer& p) {
        const int disciplines = ac.Data.DisciplineCount();
        std::vector<int> missing;
        for (int d = 1; d <= disciplines; ++d)
            if (LacksResult(p, d)) missing.push_back(d);
        if (!missing.empty())
            Add(at, paKeineZeit, missing[0],
                "keine Zeit und kein Status " + DisciplineList(missing));

        for (int d = 1; d <= 5; ++d) {
            const auto k = static_cast<std::size_t>(d - 1);
            const int heat = p.Lauf[k], lane = p.Bahn[k];
            const bool started = !IsNotStarted(p.Abzug[k]);
            if (d <= disciplines && assigned_[k] && started && (heat <= 0 || lane <= 0)) {
                const std::string where = " in Disziplin " + IntToText(d);
                if (heat <= 0 && lane <= 0)
                    Add(at, paOhneLauf, d, "ohne Lauf und Bahn" + where);
                else if (heat <= 0)
                    Add(at, paOhneLauf, d, "ohne Lauf" + where + " (Bahn " + IntToText(lane) + ")");
                else
                    Add(at, paOhneLauf, d, "ohne Bahn" + where + " (Lauf " + IntToText(heat) + ")");
            }
            if (lane != 0 && (lane < 0 || lane > LaneCount(c_)))
                Add(at, paBahnUngueltig, d,
                    "Bahn " + IntToText(lane) + " in Disziplin " + IntToText(d) +
                        " gibt es nicht (" + IntToText(LaneCount(c_)) + " Bahnen)");
            if (heat > 0 && lane > 0) {
                const std::uint32_t slot =
                    static_cast<std::uint32_t>(heat) << 16 | static_cast<std::uint16_t>(lane);
                auto [it, first] = lanes_[k].try_emplace(slot, at);
                if (!first)
                    Add(at, paBahnDoppelt, d,
                        "Lauf " + IntToText(heat) + ", Bahn " + IntToText(lane) + " in Disziplin " +
                            IntToText(d) + " ist schon mit " + Subject(it->second) + " belegt");
            }
        }

        if (single_) {
            const int year = FullBirthYear(c_, p);
            const int von = std::min(ac.Data.JahrgangVon, ac.Data.JahrgangBis);
            const int bis = std::max(ac.Data.JahrgangVon, ac.Data.JahrgangBis);
            if (year >= 0 && (year < von || year > bis))
                Add(at, paJahrgang, 0,
                    "Jahrgang " + IntToText(year) + " liegt nicht in den Jahrgängen der "_oem +
                        "Altersklasse (" + IntToText(von) + " - " + IntToText(bis) + ")");
        }

        if (!TrimBlanks(p.NameKey()).empty()) {
            auto [it, first] = entries_.try_emplace(EntryKey(single_, at.ageClass, p), at);
            if (!first) {
                const TAltersklasse& other = *c_.At(it->second.ageClass);
                std::string what = "doppelt gemeldet";
                if (single_ && !TrimBlanks(p.Geburtsdatum()).empty())
                    what = "mit Geburtsdatum " + std::string(TrimBlanks(p.Geburtsdatum())) + " " +
                           what;
                Add(at, paDoppelt, 0, what + ", zuerst in " + other.Name());
            }
        }

        if (HasHLW(ac) && p.HLWPunkte == 0) Add(at, paOhneHLW, 0, "keine HLW-Punkte");

        const bool hundredths = WithHundredths(c_);
        for (int d = 1; d <= disciplines; ++d) {
            const TDisziplin& disc = ac.Discipline(d - 1);
            const TZeit t = p.Zeit[static_cast<std::size_t>(d - 1)];
            const std::int64_t base = disc.V[0];
            if (disc.Berechnungsart == baNeu && base > 0 && t > 0 && 2 * std::int64_t{t} < base)
                Add(at, paZuSchnell, d,
                    "Zeit " + TimeToText(t, hundredths) + " in Disziplin " + IntToText(d) +
                        " ist schneller als die halbe Basiszeit " +
                        TimeToText(static_cast<TZeit>(base), hundredths));
        }
    }

    const TWettkampf& c_;
    const bool single_;
    std::array<bool, 5> assigned_{};
    // Per discipline: heat and lane to the first participant there.
    std::array<std::unordered_map<std::uint32_t, TStelle>, 5> lanes_;
    std::unordered_map<std::string, TStelle> entries_;
    std::vector<TEintrag> found_;
};

} // namespace

std::string_view TrimBlanks(std::string_view s) {
    while (!s.empty() && s.front() == ' ')
        s.remove_prefix(1);
    while (!s.empty() && s.back() == ' ')
        s.remove_suffix(1);
    return s;
}

std::string FindingSubject(const TWettkampf& c, const TAltersklasse& ac, const TTeilnehmer& p) {
    std::string s = ac.Name() + ": ";
    if (IsSingleCompetition(c)) {
        s += TrimBlanks(p.Name());
        if (!TrimBlanks(p.Vorname()).empty()) s += ", " + std::string(TrimBlanks(p.Vorname()));
    } else {
        s += TrimBlanks(p.Mannschaft());
    }
    if (!p.Gliederung.Empty()) s += " (" + p.Gliederung.Get() + ")";
    return s;
}

std::vector<TBefund> CheckCompetition(const TWettkampf& c) {
    return TPruefung(c).Run();
}

} // namespace vm

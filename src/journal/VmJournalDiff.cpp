// What a command changed, as the journal's lines. Participants have no stable
// identity in the file, so they are paired between before and after by what
// identifies them (names, birth date, Gliederung), then, for those left over, by
// fewer of those fields at a time: an edited name still pairs through the first
// name, birth date and Gliederung and gives one change line instead of a deleted
// and an added participant. Rows that only moved (a new ranking) pair on the first
// pass and give no line at all.
#include "journal/VmJournal.h"

#include "model/VmBasis.h"
#include "model/VmDisz.h"
#include "model/VmGrid.h"

#include <array>
#include <cstdio>
#include <deque>
#include <map>
#include <unordered_map>

namespace vm {

namespace {

const char* const kArrow = " → ";

std::string Quoted(std::string_view oem) {
    if (oem.empty()) return "(leer)";
    return OemToUtf8(oem);
}

std::string YesNo(bool on) {
    return on ? "ja" : "nein";
}

// A time as the grid shows it; when that text hides the difference (tenths only,
// or ten minutes and more), the full value.
std::string TimeText(TZeit t, bool hundredths) {
    // The usual times below ten minutes directly; the same text as TimeToText, which
    // builds it step by step and takes its time over 20 000 deleted entries.
    if (t < 0 || t >= 60000) return TimeToText(t, hundredths);
    char buf[8] = {
        static_cast<char>('0' + t / 6000),     ':', static_cast<char>('0' + t / 1000 % 6),
        static_cast<char>('0' + t / 100 % 10), ',', static_cast<char>('0' + t / 10 % 10),
        static_cast<char>('0' + t % 10),       0};
    return std::string(buf, hundredths ? 7 : 6);
}
std::string FullTimeText(TZeit t) {
    const bool negative = t < 0;
    const long long v = negative ? -static_cast<long long>(t) : t;
    char buf[40];
    std::snprintf(buf, sizeof buf, "%s%lld:%02lld,%02lld", negative ? "-" : "", v / 6000,
                  (v / 100) % 60, v % 100);
    return buf;
}

void Change(std::vector<std::string>& out, const std::string& prefix, const std::string& field,
            const std::string& from, const std::string& to) {
    std::string line;
    line.reserve(prefix.size() + field.size() + from.size() + to.size() + 8);
    line += prefix;
    line += field;
    line += ' ';
    line += from;
    line += kArrow;
    line += to;
    out.push_back(std::move(line));
}

void TimeChange(std::vector<std::string>& out, const std::string& prefix, const std::string& field,
                TZeit a, TZeit b, bool hundredths) {
    if (a == b) return;
    std::string from = TimeText(a, hundredths), to = TimeText(b, hundredths);
    if (from == to) {
        from = FullTimeText(a);
        to = FullTimeText(b);
    }
    Change(out, prefix, field, from, to);
}

void IntChange(std::vector<std::string>& out, const std::string& prefix, const std::string& field,
               long long a, long long b) {
    if (a != b) Change(out, prefix, field, IntToText(a), IntToText(b));
}

void TextChange(std::vector<std::string>& out, const std::string& prefix, const std::string& field,
                std::string_view a, std::string_view b) {
    if (a != b) Change(out, prefix, field, Quoted(a), Quoted(b));
}

void FlagChange(std::vector<std::string>& out, const std::string& prefix, const std::string& field,
                bool a, bool b) {
    if (a != b) Change(out, prefix, field, YesNo(a), YesNo(b));
}

// ---- participants -------------------------------------------------------------------

struct TFlagName {
    std::int16_t flag;
    const char* name;
};
// The participant's properties a user sets; "weiblich" follows the age class.
constexpr TFlagName kParticipantFlags[] = {{tnAusserKonkurrenz, "außer Konkurrenz"},
                                           {tnDirektQualifiziert, "direkt qualifiziert"},
                                           {tnMeldet, "meldet"},
                                           {tnStartberechtigt, "startberechtigt"}};

std::string Slot(const char* caption, std::size_t k) {
    return std::string(caption) + static_cast<char>('1' + k);
}

std::string ParticipantLabel(const TTeilnehmer& p, bool single) {
    std::string_view first = single ? p.Name() : p.Mannschaft();
    std::string_view second = single ? p.Vorname() : p.Zusatz();
    std::string label = OemToUtf8(first);
    if (!second.empty()) label += (label.empty() ? "" : ", ") + OemToUtf8(second);
    if (label.empty()) label = "(ohne Namen)";
    return label;
}

// Every typed field of a participant that differs, one line each.
void ParticipantChanges(const std::string& prefix, const TTeilnehmer& a, const TTeilnehmer& b,
                        bool single, bool hundredths, std::vector<std::string>& out) {
    if (single) {
        TextChange(out, prefix, "Name", a.Name(), b.Name());
        TextChange(out, prefix, "Vorname", a.Vorname(), b.Vorname());
        TextChange(out, prefix, "Geburtsdatum", a.Geburtsdatum(), b.Geburtsdatum());
    } else {
        TextChange(out, prefix, "Mannschaft", a.Mannschaft(), b.Mannschaft());
        TextChange(out, prefix, "Zusatz", a.Zusatz(), b.Zusatz());
    }
    TextChange(out, prefix, "Glied.", a.Gliederung.View(), b.Gliederung.View());
    for (std::size_t k = 0; k < 5; ++k) {
        TimeChange(out, prefix, Slot("Zeit", k), a.Zeit[k], b.Zeit[k], hundredths);
        if (a.Abzug[k] != b.Abzug[k])
            Change(out, prefix, Slot("Abz", k), PenaltyToText(a.Abzug[k]),
                   PenaltyToText(b.Abzug[k]));
        IntChange(out, prefix, Slot("Lauf", k), a.Lauf[k], b.Lauf[k]);
        IntChange(out, prefix, Slot("Bahn", k), a.Bahn[k], b.Bahn[k]);
    }
    if (a.HLWPunkte != b.HLWPunkte)
        Change(out, prefix, "HLW", PointsOrStatusToText(a.HLWPunkte, 2),
               PointsOrStatusToText(b.HLWPunkte, 2));
    if (a.Startzeit != b.Startzeit)
        Change(out, prefix, "HLW-Startzeit", ClockToText(a.Startzeit), ClockToText(b.Startzeit));
    IntChange(out, prefix, "HLW-Bahn", a.HLWBahn, b.HLWBahn);
    IntChange(out, prefix, "HLW-Lauf", a.HLWLauf, b.HLWLauf);
    for (const TFlagName& f : kParticipantFlags)
        FlagChange(out, prefix, f.name, a.Has(f.flag), b.Has(f.flag));
}

// "gelöscht (Glied. VSTA, Geburtsdatum 2012, Zeit1 0:37,23)": what the entry held, so
// that the journal still shows it once the entry is gone.
std::string ParticipantSummary(const char* what, const TTeilnehmer& p, bool single,
                               bool hundredths) {
    std::string s = what;
    s.reserve(160);
    bool first = true;
    auto add = [&](const std::string& field, const std::string& value) {
        s += first ? " (" : ", ";
        first = false;
        s += field;
        if (!value.empty()) {
            s += ' ';
            s += value;
        }
    };
    if (!p.Gliederung.View().empty()) add("Glied.", OemToUtf8(p.Gliederung.View()));
    if (single && !p.Geburtsdatum().empty()) add("Geburtsdatum", OemToUtf8(p.Geburtsdatum()));
    for (std::size_t k = 0; k < 5; ++k) {
        if (p.Zeit[k] != 0) add(Slot("Zeit", k), TimeText(p.Zeit[k], hundredths));
        if (p.Abzug[k] != 0) add(Slot("Abz", k), PenaltyToText(p.Abzug[k]));
        if (p.Lauf[k] != 0) add(Slot("Lauf", k), IntToText(p.Lauf[k]));
        if (p.Bahn[k] != 0) add(Slot("Bahn", k), IntToText(p.Bahn[k]));
    }
    if (p.HLWPunkte != 0) add("HLW", PointsOrStatusToText(p.HLWPunkte, 2));
    if (p.Startzeit != 0) add("HLW-Startzeit", ClockToText(p.Startzeit));
    if (p.HLWBahn != 0) add("HLW-Bahn", IntToText(p.HLWBahn));
    for (const TFlagName& f : kParticipantFlags)
        if (f.flag != tnMeldet && p.Has(f.flag)) add(f.name, "");
    if (!p.Has(tnMeldet)) add("meldet nicht", "");
    if (!first) s += ')';
    return s;
}

// ---- pairing participants -----------------------------------------------------------

enum class TKey {
    Everything,   // identity and every typed value: the unchanged entries
    Identity,     // names, birth date (or supplement) and Gliederung: changed results
    NoGliederung, // the Gliederung was edited
    NoBirth,      // the birth date was edited
    NoSecond,     // the first name (or the supplement) or the birth date was edited
    NoFirst,      // the name (or the team's name) was edited
};

// The fields a key is made of, as views into the participant: no copies, since a
// qualification of 20 000 entries pairs them all.
struct TKeyParts {
    std::array<std::string_view, 14> part{};
    std::size_t count = 0;

    void Add(std::string_view v) { part[count++] = v; }
    template <class T> void AddRaw(const T& v) {
        Add(std::string_view(reinterpret_cast<const char*>(&v), sizeof v));
    }
    void AddResults(const TTeilnehmer& p) {
        AddRaw(p.Zeit), AddRaw(p.Abzug), AddRaw(p.Lauf), AddRaw(p.Bahn), AddRaw(p.HLWPunkte);
        AddRaw(p.Startzeit), AddRaw(p.HLWBahn), AddRaw(p.HLWLauf), AddRaw(p.Eigenschaften);
    }
    bool operator==(const TKeyParts& o) const {
        if (count != o.count) return false;
        for (std::size_t i = 0; i < count; ++i)
            if (part[i] != o.part[i]) return false;
        return true;
    }
    std::size_t Hash() const {
        std::size_t h = count;
        for (std::size_t i = 0; i < count; ++i)
            h = h * 1000003u ^ std::hash<std::string_view>{}(part[i]);
        return h;
    }
};

TKeyParts KeyOf(const TTeilnehmer& p, bool single, TKey kind) {
    TKeyParts k;
    const std::string_view first = single ? p.Name() : p.Mannschaft();
    const std::string_view second = single ? p.Vorname() : p.Zusatz();
    const std::string_view birth = single ? p.Geburtsdatum() : std::string_view{};
    const std::string_view glied = p.Gliederung.View();
    switch (kind) {
    case TKey::Everything:
        k.Add(first), k.Add(second), k.Add(birth), k.Add(glied);
        k.AddResults(p);
        break;
    case TKey::Identity:
        k.Add(first), k.Add(second), k.Add(birth), k.Add(glied);
        break;
    case TKey::NoGliederung:
        k.Add(first), k.Add(second), k.Add(birth);
        break;
    case TKey::NoBirth:
        k.Add(first), k.Add(second), k.Add(glied);
        break;
    case TKey::NoSecond:
        // A team's supplement alone says too little: its results must agree too.
        k.Add(first), k.Add(glied);
        if (single)
            k.Add(birth);
        else
            k.AddResults(p);
        break;
    case TKey::NoFirst:
        k.Add(second), k.Add(birth), k.Add(glied);
        if (!single || second.empty()) k.AddResults(p);
        break;
    }
    return k;
}

// Entries waiting to be paired, by key; entries of one key are taken in the order
// they were added.
class TWaiting {
public:
    TWaiting(bool single, TKey kind, std::size_t expected) : single_(single), kind_(kind) {
        nodes_.reserve(expected);
        chains_.reserve(expected);
    }
    bool Empty() const { return nodes_.empty(); }
    void Add(const TTeilnehmer& p, int id) {
        const std::size_t h = KeyOf(p, single_, kind_).Hash();
        const int n = static_cast<int>(nodes_.size());
        nodes_.push_back({&p, id, -1, false});
        auto [it, fresh] = chains_.try_emplace(h, n, n);
        if (!fresh) {
            nodes_[static_cast<std::size_t>(it->second.second)].next = n;
            it->second.second = n;
        }
    }
    // The id of the first waiting entry with the key of p, which is taken; -1 if none.
    int Take(const TTeilnehmer& p) {
        const TKeyParts key = KeyOf(p, single_, kind_);
        auto it = chains_.find(key.Hash());
        if (it == chains_.end()) return -1;
        int& head = it->second.first;
        while (head >= 0 && nodes_[static_cast<std::size_t>(head)].taken)
            head = nodes_[static_cast<std::size_t>(head)].next;
        for (int n = head; n >= 0; n = nodes_[static_cast<std::size_t>(n)].next) {
            TNode& node = nodes_[static_cast<std::size_t>(n)];
            if (node.taken || !(KeyOf(*node.p, single_, kind_) == key)) continue;
            node.taken = true;
            return node.id;
        }
        return -1;
    }

private:
    struct TNode {
        const TTeilnehmer* p;
        int id;
        int next;
        bool taken;
    };
    bool single_;
    TKey kind_;
    std::vector<TNode> nodes_;
    std::unordered_map<std::size_t, std::pair<int, int>> chains_; // first and last node
};

struct TSide {
    std::vector<const TTeilnehmer*> items;
    std::vector<int> match; // index on the other side, -1 while unpaired
};

TSide MakeSide(const TAltersklasse* ac) {
    TSide s;
    if (!ac) return s;
    s.items.reserve(static_cast<std::size_t>(ac->Count()));
    for (const TTeilnehmer& p : *ac)
        s.items.push_back(&p);
    s.match.assign(s.items.size(), -1);
    return s;
}

// Pairs the unpaired entries of both sides whose keys agree, in list order.
void PairBy(TSide& before, TSide& after, bool single, TKey kind) {
    std::size_t open = 0;
    for (int m : after.match)
        open += m < 0 ? 1 : 0;
    if (open == 0) return;
    TWaiting waiting(single, kind, before.items.size());
    for (std::size_t i = 0; i < before.items.size(); ++i)
        if (before.match[i] < 0) waiting.Add(*before.items[i], static_cast<int>(i));
    if (waiting.Empty()) return;
    for (std::size_t j = 0; j < after.items.size(); ++j) {
        if (after.match[j] >= 0) continue;
        const int i = waiting.Take(*after.items[j]);
        if (i < 0) continue;
        before.match[static_cast<std::size_t>(i)] = static_cast<int>(j);
        after.match[j] = i;
    }
}

void PairParticipants(TSide& before, TSide& after, bool single) {
    for (TKey kind : {TKey::Everything, TKey::Identity, TKey::NoGliederung, TKey::NoBirth,
                      TKey::NoSecond, TKey::NoFirst}) {
        // A team has no birth date: that pass would repeat the one before.
        if (kind == TKey::NoBirth && !single) continue;
        PairBy(before, after, single, kind);
    }
}

// ---- age classes --------------------------------------------------------------------

std::string AgeClassLabel(const TWettkampf& c, const TAltersklasse& ac) {
    std::string label = OemToUtf8(ac.Name());
    // "AK offen" may exist for women and men; the sex tells them apart then.
    for (const TAltersklasse& other : c)
        if (&other != &ac && other.Data.Bezeichnung.View() == ac.Data.Bezeichnung.View()) {
            label += IsFemale(ac) ? " (weiblich)" : " (männlich)";
            break;
        }
    if (label.empty()) label = "(Altersklasse ohne Namen)";
    return label;
}

struct TAkFlagName {
    std::int16_t flag;
    const char* name;
};
constexpr TAkFlagName kAgeClassFlags[] = {
    {akWeiblich, "weiblich"},
    {akHLW, "HLW"},
    {akDirektQualifiziert, "direkt qualifiziert berücksichtigen"},
    {akAlphabetisch, "alphabetisch"}};

void AgeClassDataChanges(const std::string& prefix, const TAltersklasseData& a,
                         const TAltersklasseData& b, bool hundredths,
                         std::vector<std::string>& out) {
    TextChange(out, prefix, "Bezeichnung", a.Bezeichnung.View(), b.Bezeichnung.View());
    IntChange(out, prefix, "Jahrgang von", a.JahrgangVon, b.JahrgangVon);
    IntChange(out, prefix, "Jahrgang bis", a.JahrgangBis, b.JahrgangBis);
    for (const TAkFlagName& f : kAgeClassFlags)
        FlagChange(out, prefix, f.name, a.Has(f.flag), b.Has(f.flag));
    IntChange(out, prefix, "Disziplinen", a.Disziplinenanzahl, b.Disziplinenanzahl);
    for (std::size_t k = 0; k < 5; ++k) {
        const TDisziplin& da = a.Disziplinen[k];
        const TDisziplin& db = b.Disziplinen[k];
        const std::string d = "Disziplin " + std::string(1, static_cast<char>('1' + k)) + " ";
        TextChange(out, prefix, d + "Bezeichnung", da.Bezeichnung.View(), db.Bezeichnung.View());
        if (da.Berechnungsart != db.Berechnungsart)
            Change(out, prefix, d + "Berechnungsart", CalculationMethodText(da.Berechnungsart),
                   CalculationMethodText(db.Berechnungsart));
        for (std::size_t v = 0; v < 5; ++v)
            if (da.V[v] != db.V[v])
                Change(out, prefix, d + "V" + std::string(1, static_cast<char>('1' + v)),
                       PointsToText(da.V[v], 2), PointsToText(db.V[v], 2));
        TextChange(out, prefix, d + "Formel", da.Formel.View(), db.Formel.View());
        if (da.RegelwerkCode != db.RegelwerkCode)
            IntChange(out, prefix, d + "Regelwerk-Nummer", da.RegelwerkCode, db.RegelwerkCode);
        TextChange(out, prefix, d + "Regelwerk", da.Regelwerk.View(), db.Regelwerk.View());
        const TRekordEintrag& ra = a.Rekorde[k];
        const TRekordEintrag& rb = b.Rekorde[k];
        const std::string r = "Rekord " + std::string(1, static_cast<char>('1' + k)) + " ";
        TimeChange(out, prefix, r + "Zeit", ra.VorjahrZeit, rb.VorjahrZeit, hundredths);
        if (ra.VorjahrAbzug != rb.VorjahrAbzug)
            Change(out, prefix, r + "Abz", PenaltyToText(ra.VorjahrAbzug),
                   PenaltyToText(rb.VorjahrAbzug));
    }
    if (a.RekordGesamtpunkte != b.RekordGesamtpunkte)
        Change(out, prefix, "Rekord GesPkt", PointsToText(a.RekordGesamtpunkte, 2),
               PointsToText(b.RekordGesamtpunkte, 2));
}

// The lines of one pair of age classes whose participants are paired already. Entries
// left unpaired on either side are listed as deleted or added, except those in
// `skipBefore`/`skipAfter` (they moved to another age class and are listed there).
struct TClassPair {
    const TAltersklasse* before = nullptr;
    const TAltersklasse* after = nullptr;
    TSide b, a;
};

void PairLines(const TWettkampf& c, const TClassPair& pair, std::vector<std::string>& out) {
    const bool single = IsSingleCompetition(c);
    const bool hundredths = WithHundredths(c);
    const TAltersklasse& named = pair.after ? *pair.after : *pair.before;
    const std::string ak = AgeClassLabel(c, named) + " | ";
    if (!pair.before) {
        out.push_back(ak + "Altersklasse angelegt");
    } else if (!pair.after) {
        out.push_back(ak + "Altersklasse gelöscht");
    } else {
        AgeClassDataChanges(ak, pair.before->Data, pair.after->Data, hundredths, out);
    }
    for (std::size_t j = 0; j < pair.a.items.size(); ++j) {
        const int i = pair.a.match[j];
        if (i < 0) continue;
        const TTeilnehmer& was = *pair.b.items[static_cast<std::size_t>(i)];
        const TTeilnehmer& now = *pair.a.items[j];
        // Most entries are unchanged: no label is built for them.
        if (KeyOf(was, single, TKey::Everything) == KeyOf(now, single, TKey::Everything)) continue;
        ParticipantChanges(ak + ParticipantLabel(was, single) + " | ", was, now, single, hundredths,
                           out);
    }
    for (std::size_t i = 0; i < pair.b.items.size(); ++i)
        if (pair.b.match[i] == -1)
            out.push_back(ak + ParticipantLabel(*pair.b.items[i], single) + " | " +
                          ParticipantSummary("gelöscht", *pair.b.items[i], single, hundredths));
    for (std::size_t j = 0; j < pair.a.items.size(); ++j)
        if (pair.a.match[j] == -1)
            out.push_back(ak + ParticipantLabel(*pair.a.items[j], single) + " | " +
                          ParticipantSummary("hinzugefügt", *pair.a.items[j], single, hundredths));
}

} // namespace

// ---- the header ---------------------------------------------------------------------

void DescribeHeaderChanges(const TWettkampfHeader& a, const TWettkampfHeader& b,
                           std::vector<std::string>& out) {
    const std::string w = "Wettkampf | ";
    TextChange(out, w, "Veranstaltung", a.Veranstaltung.View(), b.Veranstaltung.View());
    if (a.Art != b.Art) {
        auto art = [](std::int16_t v) {
            return std::string(v == wkEinzel ? "Einzelwettbewerb" : "Mannschaftswettbewerb");
        };
        Change(out, w, "Art", art(a.Art), art(b.Art));
    }
    TextChange(out, w, "Veranstalter", a.Veranstalter.View(), b.Veranstalter.View());
    TextChange(out, w, "Ausrichter", a.Ausrichter.View(), b.Ausrichter.View());
    TextChange(out, w, "Datum", a.Datum.View(), b.Datum.View());
    TextChange(out, w, "Veranstaltungsstätte", a.Veranstaltungsstaette.View(),
               b.Veranstaltungsstaette.View());
    // Lanes and stations are stored as 0..7 for 3..10.
    IntChange(out, w, "Bahnen", a.Startplaetze + 3, b.Startplaetze + 3);
    if (a.Beckenlaenge != b.Beckenlaenge) {
        auto pool = [](std::int16_t v) { return std::string(v == 1 ? "50 m" : "25 m"); };
        Change(out, w, "Beckenlänge", pool(a.Beckenlaenge), pool(b.Beckenlaenge));
    }
    IntChange(out, w, "HLW-Stationen", a.HLWStationen + 3, b.HLWStationen + 3);
    FlagChange(out, w, "Zeiten mit Hundertstel", (a.Optionen & 1) != 0, (b.Optionen & 1) != 0);
    IntChange(out, w, "weitere Optionen", a.Optionen & ~1, b.Optionen & ~1);
    IntChange(out, w, "HLW-Dauer", a.HLWDauer, b.HLWDauer);
    IntChange(out, w, "HLW-Maßnahmen", a.HLWMassnahmen, b.HLWMassnahmen);
}

// ---- one age class ------------------------------------------------------------------

void DescribeAgeClassChanges(const TWettkampf& c, const TAltersklasse* before,
                             const TAltersklasse* after, std::vector<std::string>& out) {
    if (!before && !after) return;
    TClassPair pair{before, after, MakeSide(before), MakeSide(after)};
    PairParticipants(pair.b, pair.a, IsSingleCompetition(c));
    PairLines(c, pair, out);
}

// ---- the whole competition ----------------------------------------------------------

std::vector<std::string> DescribeChanges(const TWettkampf& before, const TWettkampf& after) {
    std::vector<std::string> out;
    DescribeHeaderChanges(before.Header, after.Header, out);
    const bool single = IsSingleCompetition(after);
    const bool hundredths = WithHundredths(after);

    // Age classes: by name and sex; one that is left on both sides with the same years
    // and sex was renamed.
    std::vector<const TAltersklasse*> olds, news;
    for (const TAltersklasse& ac : before)
        olds.push_back(&ac);
    for (const TAltersklasse& ac : after)
        news.push_back(&ac);
    std::vector<int> oldMatch(olds.size(), -1), newMatch(news.size(), -1);
    auto pairClasses = [&](auto key) {
        std::map<decltype(key(*olds[0])), std::deque<int>> waiting;
        for (std::size_t i = 0; i < olds.size(); ++i)
            if (oldMatch[i] < 0) waiting[key(*olds[i])].push_back(static_cast<int>(i));
        for (std::size_t j = 0; j < news.size(); ++j) {
            if (newMatch[j] >= 0) continue;
            auto it = waiting.find(key(*news[j]));
            if (it == waiting.end() || it->second.empty()) continue;
            const int i = it->second.front();
            it->second.pop_front();
            oldMatch[static_cast<std::size_t>(i)] = static_cast<int>(j);
            newMatch[j] = i;
        }
    };
    if (!olds.empty() && !news.empty()) {
        pairClasses([](const TAltersklasse& ac) {
            return std::make_tuple(ac.Data.Bezeichnung.Get(), IsFemale(ac), 0);
        });
        pairClasses([](const TAltersklasse& ac) {
            return std::make_tuple(std::string(), IsFemale(ac),
                                   ac.Data.JahrgangVon * 10000 + ac.Data.JahrgangBis);
        });
    }

    // In the after competition's order, then the deleted classes.
    std::vector<TClassPair> pairs;
    pairs.reserve(news.size() + olds.size());
    for (std::size_t j = 0; j < news.size(); ++j) {
        const TAltersklasse* was =
            newMatch[j] >= 0 ? olds[static_cast<std::size_t>(newMatch[j])] : nullptr;
        pairs.push_back({was, news[j], MakeSide(was), MakeSide(news[j])});
    }
    for (std::size_t i = 0; i < olds.size(); ++i)
        if (oldMatch[i] < 0) pairs.push_back({olds[i], nullptr, MakeSide(olds[i]), {}});
    for (TClassPair& p : pairs)
        PairParticipants(p.b, p.a, single);

    // Entries left over in one age class and found in another moved there (a changed
    // birth date or sex); they get a line of their own in the class they moved to.
    struct TMove {
        std::size_t fromPair, fromIndex;
    };
    std::map<std::pair<std::size_t, std::size_t>, TMove> moves; // (pair, after index)
    bool anyAdded = false;
    for (const TClassPair& p : pairs)
        for (int m : p.a.match)
            anyAdded = anyAdded || m < 0;
    if (anyAdded) {
        std::vector<TMove> goneList;
        TWaiting gone(single, TKey::Identity, 0);
        for (std::size_t p = 0; p < pairs.size(); ++p)
            for (std::size_t i = 0; i < pairs[p].b.items.size(); ++i)
                if (pairs[p].b.match[i] < 0) {
                    gone.Add(*pairs[p].b.items[i], static_cast<int>(goneList.size()));
                    goneList.push_back({p, i});
                }
        if (!gone.Empty())
            for (std::size_t p = 0; p < pairs.size(); ++p)
                for (std::size_t j = 0; j < pairs[p].a.items.size(); ++j) {
                    if (pairs[p].a.match[j] >= 0) continue;
                    const int g = gone.Take(*pairs[p].a.items[j]);
                    if (g < 0) continue;
                    const TMove from = goneList[static_cast<std::size_t>(g)];
                    // -2: paired, but not within this age class.
                    pairs[from.fromPair].b.match[from.fromIndex] = -2;
                    pairs[p].a.match[j] = -2;
                    moves[{p, j}] = from;
                }
    }

    for (std::size_t p = 0; p < pairs.size(); ++p) {
        PairLines(after, pairs[p], out);
        for (std::size_t j = 0; j < pairs[p].a.items.size(); ++j) {
            auto it = moves.find({p, j});
            if (it == moves.end()) continue;
            const TClassPair& from = pairs[it->second.fromPair];
            const TTeilnehmer& was = *from.b.items[it->second.fromIndex];
            const TTeilnehmer& now = *pairs[p].a.items[j];
            const TAltersklasse& fromClass = from.before ? *from.before : *from.after;
            const std::string prefix =
                AgeClassLabel(before, fromClass) + " | " + ParticipantLabel(was, single) + " | ";
            Change(out, prefix, "Altersklasse", AgeClassLabel(before, fromClass),
                   AgeClassLabel(after, *pairs[p].after));
            ParticipantChanges(prefix, was, now, single, hundredths, out);
        }
    }

    // The names of the Gliederungen, by their short code.
    std::map<std::string, const TGliederungStat*> oldRows, newRows;
    for (const TGliederungStat& g : before.Gliederungen)
        oldRows.emplace(g.Kurz.Get(), &g);
    for (const TGliederungStat& g : after.Gliederungen)
        newRows.emplace(g.Kurz.Get(), &g);
    for (const auto& [kurz, g] : newRows) {
        const std::string prefix = "Gliederung " + OemToUtf8(kurz) + " | ";
        auto it = oldRows.find(kurz);
        if (it == oldRows.end())
            out.push_back(prefix + "angelegt: " + Quoted(g->Name.View()));
        else
            TextChange(out, prefix, "Name", it->second->Name.View(), g->Name.View());
    }
    for (const auto& [kurz, g] : oldRows)
        if (!newRows.count(kurz))
            out.push_back("Gliederung " + OemToUtf8(kurz) + " | gelöscht (" +
                          Quoted(g->Name.View()) + ")");
    return out;
}

} // namespace vm

#include "cli/CmdGenerate.h"

#include "cli/CliSupport.h"
#include "file/VmErg.h"
#include "file/VmWFile.h"
#include "model/VmVorg.h"

#include <algorithm>
#include <array>
#include <iostream>
#include <limits>
#include <map>
#include <numeric>

namespace vm::cli {

namespace {

// splitmix64: small, fast and the same on every platform and library version, so a
// seed gives the same file everywhere. Only integer arithmetic is used below for the
// same reason.
class TRandom {
public:
    explicit TRandom(std::uint64_t seed) : state_(seed ^ 0x56656C6D6F726121ULL) {}

    std::uint64_t Next() {
        std::uint64_t z = (state_ += 0x9E3779B97F4A7C15ULL);
        z = (z ^ (z >> 30)) * 0xBF58476D1CE4E5B9ULL;
        z = (z ^ (z >> 27)) * 0x94D049BB133111EBULL;
        return z ^ (z >> 31);
    }
    // 0 .. n-1 (n > 0).
    int Below(int n) { return static_cast<int>((Next() >> 11) % static_cast<std::uint64_t>(n)); }
    // true with the chance of perMille / 1000.
    bool Chance(int perMille) { return Below(1000) < perMille; }
    template <class T> const T& Pick(const std::vector<T>& v) {
        return v[static_cast<std::size_t>(Below(static_cast<int>(v.size())))];
    }

private:
    std::uint64_t state_;
};

// Tables are written in UTF-8 here and held in the stored code page.
std::vector<std::string> ToOem(const std::vector<const char*>& utf8) {
    std::vector<std::string> out;
    out.reserve(utf8.size());
    for (const char* s : utf8)
        out.push_back(Utf8ToOem(s));
    return out;
}

const std::vector<std::string>& LastNames() {
    static const std::vector<std::string> names = ToOem({
        "Müller",     "Schmidt",  "Schneider", "Fischer", "Weber",   "Meyer",      "Wagner",
        "Becker",     "Schulz",   "Hoffmann",  "Schäfer", "Koch",    "Bauer",      "Richter",
        "Klein",      "Wolf",     "Schröder",  "Neumann", "Schwarz", "Zimmermann", "Braun",
        "Krüger",     "Hofmann",  "Hartmann",  "Lange",   "Schmitt", "Werner",     "Schmitz",
        "Krause",     "Meier",    "Lehmann",   "Schmid",  "Schulze", "Maier",      "Köhler",
        "Herrmann",   "König",    "Walter",    "Mayer",   "Huber",   "Kaiser",     "Fuchs",
        "Peters",     "Lang",     "Scholz",    "Möller",  "Weiß",    "Jung",       "Hahn",
        "Schubert",   "Vogel",    "Friedrich", "Keller",  "Günther", "Frank",      "Berger",
        "Winkler",    "Roth",     "Beck",      "Lorenz",  "Baumann", "Franke",     "Albrecht",
        "Schuster",   "Simon",    "Ludwig",    "Böhm",    "Winter",  "Kraus",      "Martin",
        "Schumacher", "Krämer",   "Vogt",      "Stein",   "Jäger",   "Otto",       "Sommer",
        "Groß",       "Seidel",   "Heinrich",  "Brandt",  "Haas",    "Schreiber",  "Graf",
        "Schulte",    "Dietrich", "Ziegler",   "Kuhn",    "Kühn",    "Pohl",       "Engel",
        "Horn",       "Busch",    "Bergmann",  "Thomas",  "Voigt",   "Sauer",      "Arnold",
        "Wolff",      "Pfeiffer",
    });
    return names;
}

// First names run roughly from names given today to names of earlier generations,
// so that a participant's name fits the age.
const std::vector<std::string>& FirstNames(bool female) {
    static const std::vector<std::string> women = ToOem({
        "Emma",    "Mia",      "Hannah",    "Emilia",    "Sophia",   "Lina",    "Ella",
        "Clara",   "Lea",      "Marie",     "Leni",      "Mila",     "Frieda",  "Greta",
        "Ida",     "Nele",     "Lena",      "Amelie",    "Paula",    "Luisa",   "Lara",
        "Leonie",  "Johanna",  "Charlotte", "Alina",     "Jana",     "Anna",    "Laura",
        "Lisa",    "Sarah",    "Julia",     "Katharina", "Vanessa",  "Jessica", "Franziska",
        "Theresa", "Maren",    "Christina", "Kathrin",   "Stefanie", "Nicole",  "Sandra",
        "Melanie", "Tanja",    "Anja",      "Silke",     "Kerstin",  "Claudia", "Andrea",
        "Susanne", "Sabine",   "Martina",   "Birgit",    "Petra",    "Heike",   "Karin",
        "Monika",  "Gabriele", "Elke",      "Jutta",     "Brigitte", "Renate",  "Ursula",
        "Helga",   "Ingrid",   "Gerda",     "Hildegard", "Erika",
    });
    static const std::vector<std::string> men = ToOem({
        "Noah",      "Leon",       "Paul",   "Ben",       "Finn",     "Elias",   "Henry",  "Luca",
        "Emil",      "Felix",      "Theo",   "Jonas",     "Anton",    "Matteo",  "Mats",   "Moritz",
        "Linus",     "Luis",       "Lukas",  "Niklas",    "Tim",      "Jan",     "Julian", "Tom",
        "Philipp",   "Maximilian", "Jannik", "Fabian",    "Malte",    "Hannes",  "Till",   "David",
        "Simon",     "Florian",    "Tobias", "Sebastian", "Dennis",   "Marcel",  "Kevin",  "Daniel",
        "Christian", "Alexander",  "Björn",  "Sven",      "Lars",     "Nils",    "Oliver", "Markus",
        "Stefan",    "Michael",    "Thomas", "Andreas",   "Matthias", "Torsten", "Holger", "Dirk",
        "Ralf",      "Jörg",       "Frank",  "Bernd",     "Uwe",      "Jürgen",  "Peter",  "Klaus",
        "Wolfgang",  "Manfred",    "Dieter", "Günter",
    });
    return female ? women : men;
}

// The Landesverbände with the towns their teams and hosts come from; the weight
// makes the large ones send more participants.
struct TGliederungInfo {
    std::string code;
    std::string name;
    std::vector<std::string> towns;
    int weight;
};

const std::vector<TGliederungInfo>& GliederungTable() {
    static const std::vector<TGliederungInfo> table = [] {
        struct Row {
            const char* code;
            const char* name;
            std::vector<const char*> towns;
            int weight;
        };
        const Row rows[] = {
            {"BA",
             "Baden",
             {"Karlsruhe", "Freiburg", "Mannheim", "Heidelberg", "Pforzheim", "Offenburg"},
             6},
            {"BY",
             "Bayern",
             {"München", "Nürnberg", "Augsburg", "Regensburg", "Würzburg", "Ingolstadt"},
             12},
            {"BE",
             "Berlin",
             {"Berlin-Spandau", "Berlin-Mitte", "Berlin-Pankow", "Berlin-Neukölln"},
             3},
            {"BB", "Brandenburg", {"Potsdam", "Cottbus", "Eberswalde", "Oranienburg"}, 2},
            {"HB", "Bremen", {"Bremen", "Bremerhaven"}, 1},
            {"HH",
             "Hamburg",
             {"Hamburg-Altona", "Hamburg-Harburg", "Hamburg-Wandsbek", "Hamburg-Bergedorf"},
             3},
            {"HE",
             "Hessen",
             {"Frankfurt", "Wiesbaden", "Kassel", "Darmstadt", "Gießen", "Fulda"},
             7},
            {"MV",
             "Mecklenburg-Vorpommern",
             {"Rostock", "Schwerin", "Stralsund", "Greifswald", "Wismar"},
             2},
            {"NI",
             "Niedersachsen",
             {"Hannover", "Braunschweig", "Oldenburg", "Osnabrück", "Göttingen", "Lüneburg"},
             9},
            {"NR",
             "Nordrhein",
             {"Köln", "Düsseldorf", "Essen", "Duisburg", "Aachen", "Bonn", "Mönchengladbach"},
             10},
            {"RP",
             "Rheinland-Pfalz",
             {"Mainz", "Koblenz", "Trier", "Kaiserslautern", "Ludwigshafen"},
             5},
            {"SL", "Saarland", {"Saarbrücken", "Neunkirchen", "Saarlouis", "Homburg"}, 2},
            {"SN", "Sachsen", {"Dresden", "Leipzig", "Chemnitz", "Zwickau", "Plauen"}, 3},
            {"SA", "Sachsen-Anhalt", {"Magdeburg", "Halle", "Dessau", "Wittenberg"}, 2},
            {"SH", "Schleswig-Holstein", {"Kiel", "Lübeck", "Flensburg", "Neumünster", "Husum"}, 4},
            {"TH", "Thüringen", {"Erfurt", "Jena", "Gera", "Weimar", "Suhl"}, 2},
            {"WF",
             "Westfalen",
             {"Dortmund", "Münster", "Bielefeld", "Bochum", "Paderborn", "Gelsenkirchen"},
             10},
            {"WÜ",
             "Württemberg",
             {"Stuttgart", "Ulm", "Heilbronn", "Reutlingen", "Esslingen", "Tübingen"},
             8},
        };
        std::vector<TGliederungInfo> out;
        for (const Row& r : rows)
            out.push_back({Utf8ToOem(r.code), Utf8ToOem(r.name), ToOem(r.towns), r.weight});
        return out;
    }();
    return table;
}

const TGliederungInfo& PickGliederung(TRandom& rnd) {
    const auto& table = GliederungTable();
    int total = 0;
    for (const auto& g : table)
        total += g.weight;
    int r = rnd.Below(total);
    for (const auto& g : table) {
        if (r < g.weight) return g;
        r -= g.weight;
    }
    return table.back();
}

// Overwrites a header text completely, so that nothing of an earlier, longer text
// stays in the stored bytes.
template <std::size_t N> void SetText(TShortStr<N>& field, const std::string& text) {
    field = TShortStr<N>{};
    field.Set(text);
}

std::string TwoDigits(int n) {
    return (n < 10 ? "0" : "") + IntToText(n);
}

void FillHeader(TWettkampf& c, TRandom& rnd, int year, bool team) {
    static const char* const kMonths[] = {"März",   "April",     "Mai",     "Juni",    "Juli",
                                          "August", "September", "Oktober", "November"};
    static const char* const kPools[] = {"Hallenbad", "Sportbad", "Stadtbad", "Schwimmhalle",
                                         "Freizeitbad"};
    const TGliederungInfo& lv = PickGliederung(rnd);
    const std::string& town = rnd.Pick(lv.towns);
    const std::string y = IntToText(year);
    std::string title, organiser;
    switch (rnd.Below(4)) {
    case 0:
        title = "Landesmeisterschaften im Rettungsschwimmen " + y;
        organiser = "Velbund Landesverband " + lv.name + " e.V.";
        break;
    case 1:
        title = "Offene Landesmeisterschaften im Rettungsschwimmen " + y;
        organiser = "Velbund Landesverband " + lv.name + " e.V.";
        break;
    case 2:
        title = "Bezirksmeisterschaften im Rettungsschwimmen " + y;
        organiser = "Velbund Bezirk " + town + " e.V.";
        break;
    default:
        title = "Deutsche Meisterschaften im Rettungsschwimmen " + y;
        organiser = "Velbund-Verband e.V.";
        break;
    }
    if (team) title += " - Mannschaften";
    auto& h = c.Header;
    SetText(h.Veranstaltung, title);
    SetText(h.Veranstalter, organiser);
    SetText(h.Ausrichter, "Velbund Ortsgruppe " + town + " e.V.");
    const int day = 1 + rnd.Below(27);
    SetText(h.Datum, TwoDigits(day) + ".-" + TwoDigits(day + 1) + ". " +
                         Utf8ToOem(kMonths[rnd.Below(9)]) + " " + y);
    const int pool = rnd.Below(5);
    SetText(h.Veranstaltungsstaette, std::string(kPools[pool]) + " " + town);
    const bool fifty = pool == 1 || rnd.Chance(250);
    h.Beckenlaenge = fifty ? 1 : 0;
    h.Startplaetze = static_cast<std::int16_t>(fifty ? 5 + 2 * rnd.Below(2)
                                                     : 2 + rnd.Below(2)); // 8/10 or 5/6 lanes
    h.HLWStationen = static_cast<std::int16_t>(2 + rnd.Below(4));
    h.Optionen = static_cast<std::int16_t>(h.Optionen | 1);
}

// Every Landesverband gets its statistics row with its full name; the rows that no
// participant uses are dropped again once the participants are in.
void FillGliederungRows(TWettkampf& c) {
    for (const auto& g : GliederungTable()) {
        if (c.Gliederungen.Find(g.code)) continue;
        auto row = std::make_unique<TGliederungStat>();
        row->Kurz.Set(g.code);
        row->Name.Set(g.name);
        c.Gliederungen.Insert(std::move(row));
    }
}

// ---- age classes --------------------------------------------------------------

int PresetType(bool team) {
    return team ? 5 : 4;
} // youth and seniors, rule set 1999

std::unique_ptr<TWettkampf> PresetCompetition(bool team, int year) {
    TVmFile doc;
    doc.New(PresetType(team), year);
    return CopyCompetition(doc.Competition());
}

// An additional class: a copy of the model class's properties and disciplines under
// another name; ages 0 keep the model's years.
struct TExtraClass {
    std::string model;
    bool female;
    std::string name;
    int ageFrom = 0, ageTo = 0;
};

std::vector<TExtraClass> ExtraClasses(bool team, int wanted) {
    std::vector<TExtraClass> extras;
    if (!team) {
        extras = {{"AK 25w", true, "AK 20w", 20, 24},
                  {"AK 25m", false, "AK 20m", 20, 24},
                  {"AK 12w", true, "AK 10w", 8, 10},
                  {"AK 12m", false, "AK 10m", 8, 10}};
    }
    for (int k = 2; static_cast<int>(extras.size()) < wanted; ++k) {
        const std::string n = IntToText(k);
        extras.push_back(
            {"Offene Altersklasse (w)", true, "Offene Altersklasse " + n + " (w)", 0, 0});
        extras.push_back(
            {"Offene Altersklasse (m)", false, "Offene Altersklasse " + n + " (m)", 0, 0});
    }
    extras.resize(static_cast<std::size_t>(std::max(wanted, 0)));
    return extras;
}

void AdjustAgeClasses(TWettkampf& c, bool team, int year, int wanted) {
    while (c.Count() > wanted)
        c.AtDelete(c.Count() - 1);
    for (const TExtraClass& e : ExtraClasses(team, wanted - c.Count())) {
        const TAltersklasse* model = c.FindAgeClass(e.model, e.female);
        if (!model) continue;
        const TAltersklasseData& d = model->Data;
        const int from = e.ageTo ? year - e.ageTo : d.JahrgangVon;
        const int to = e.ageFrom ? year - e.ageFrom : d.JahrgangBis;
        c.InsertAgeClass(
            MakeAgeClass(e.name, from, to, d.Eigenschaften, d.DisciplineCount(), d.Disziplinen));
    }
}

int MidAge(const TAltersklasse& ac, int year) {
    return year - (ac.Data.JahrgangVon + ac.Data.JahrgangBis) / 2;
}

// How many participants a class attracts: youth classes the most, the oldest
// senior classes the fewest.
int AgeWeight(int age) {
    if (age <= 12) return 14;
    if (age <= 18) return 16;
    if (age <= 26) return 12;
    return std::max(2, 12 - (age - 26) / 5);
}

// N participants over the classes: unevenly, every class gets one when there are
// enough, and no class gets more than a collection holds.
std::vector<int> Distribute(const TWettkampf& c, int n, int year, TRandom& rnd) {
    const int k = c.Count();
    std::vector<int> counts(static_cast<std::size_t>(k), 0);
    if (k == 0) return counts;
    std::vector<long long> weights;
    for (const TAltersklasse& ac : c)
        weights.push_back(AgeWeight(MidAge(ac, year)) * (600LL + rnd.Below(801)));
    const long long total = std::accumulate(weights.begin(), weights.end(), 0LL);
    const int base = n >= k ? 1 : 0;
    const long long rest = n - static_cast<long long>(base) * k;
    std::vector<std::pair<long long, int>> remainders;
    int given = 0;
    for (int i = 0; i < k; ++i) {
        const long long share = rest * weights[static_cast<std::size_t>(i)];
        counts[static_cast<std::size_t>(i)] = base + static_cast<int>(share / total);
        given += counts[static_cast<std::size_t>(i)];
        remainders.push_back({-(share % total), i});
    }
    std::sort(remainders.begin(), remainders.end());
    for (int j = 0; given < n; ++j, ++given)
        ++counts[static_cast<std::size_t>(remainders[static_cast<std::size_t>(j % k)].second)];
    long long overflow = 0;
    for (int& v : counts) {
        if (v > MaxCollectionSize) {
            overflow += v - MaxCollectionSize;
            v = MaxCollectionSize;
        }
    }
    for (int& v : counts) {
        const long long take = std::min<long long>(overflow, MaxCollectionSize - v);
        v += static_cast<int>(take);
        overflow -= take;
    }
    return counts;
}

// ---- participants -------------------------------------------------------------

// The time a discipline is measured against: the base time of the curve, or for a
// linear discipline the time that scores a little under half its points at time 0.
std::int64_t ReferenceTime(const TDisziplin& d) {
    std::int64_t t = 0;
    if (d.Berechnungsart == baNeu)
        t = d.V[0];
    else if (d.Berechnungsart == baLinear)
        t = static_cast<std::int64_t>(d.V[0]) * 9 / 200;
    return t > 0 ? t : 6000;
}

// Per mille on the reference time: children and older seniors are slower.
int AgeFactor(int age) {
    if (age <= 10) return 1300;
    if (age <= 12) return 1220;
    if (age <= 14) return 1120;
    if (age <= 16) return 1060;
    if (age <= 18) return 1020;
    if (age <= 26) return 1000;
    return 1000 + (age - 26) * 13;
}

std::string BirthDate(int day, int month, int year) {
    return TwoDigits(day) + "." + TwoDigits(month) + "." + IntToText(year);
}

void FillResults(const TAltersklasse& ac, TTeilnehmer& p, int age, TRandom& rnd) {
    if (rnd.Chance(15)) { // did not come at all
        MarkAbsent(p);
        return;
    }
    // One ability per participant keeps the disciplines of a swimmer consistent.
    const std::int64_t ability = 1020 + rnd.Below(161) + rnd.Below(161) + rnd.Below(161);
    const std::int64_t ageFactor = AgeFactor(age);
    for (int i = 0; i < ac.Data.DisciplineCount(); ++i) {
        const auto k = static_cast<std::size_t>(i);
        const std::int64_t noise = 970 + rnd.Below(61);
        std::int64_t t =
            ReferenceTime(ac.Discipline(i)) * ability * ageFactor / 1000 * noise / 1000000;
        t = std::clamp<std::int64_t>(t, 100, 59999); // what the time editor can show
        const int r = rnd.Below(1000);
        if (r < 20) {
            p.Zeit[k] = static_cast<std::int32_t>(t);
            p.Abzug[k] = PenaltyCode(TStatus::Disq);
        } else if (r < 23) {
            p.Abzug[k] = PenaltyCode(TStatus::NichtAngetretenOW);
        } else if (r < 31) {
            p.Abzug[k] = PenaltyCode(TStatus::NichtAngetreten);
        } else {
            p.Zeit[k] = static_cast<std::int32_t>(t);
            if (r < 71) p.Abzug[k] = static_cast<std::int16_t>(rnd.Chance(700) ? 5 : 10);
        }
    }
    if (HasHLW(ac)) {
        const int r = rnd.Below(1000);
        if (r < 10)
            p.HLWPunkte = HlwCode(TStatus::NichtAngetreten);
        else if (r < 15)
            p.HLWPunkte = HlwCode(TStatus::Disq);
        else
            p.HLWPunkte = 15000 + 50 * rnd.Below(301);
    }
    if (rnd.Chance(10)) p.SetFlag(tnAusserKonkurrenz, true);
}

const std::string& PickFirstName(bool female, int age, TRandom& rnd) {
    const auto& names = FirstNames(female);
    const int n = static_cast<int>(names.size());
    const int window = 20;
    const int offset = std::clamp((age - 8) * (n - window) / 70, 0, n - window);
    return names[static_cast<std::size_t>(offset + rnd.Below(window))];
}

void FillAgeClass(TAltersklasse& ac, int count, int year, bool team, TRandom& rnd) {
    static const char* const kZusatz[] = {
        "Ortsgruppe", "Stadtverband", "Kreisverband", "Bezirk", "Jugend", "", "", ""};
    const bool female = IsFemale(ac);
    const int from = std::min(ac.Data.JahrgangVon, ac.Data.JahrgangBis);
    const int to = std::max(ac.Data.JahrgangVon, ac.Data.JahrgangBis);
    std::map<std::string, int> teamNumbers;
    for (int n = 0; n < count; ++n) {
        auto p = NewParticipant();
        const TGliederungInfo& g = PickGliederung(rnd);
        p->Gliederung.Set(g.code);
        p->Altersklasse.Set(ac.Data.Bezeichnung.View());
        p->SetFlag(tnWeiblich, female);
        int age = MidAge(ac, year);
        if (team) {
            const std::string& town = rnd.Pick(g.towns);
            p->SetMannschaft("SG " + town + " " + IntToText(++teamNumbers[town]));
            p->SetZusatz(kZusatz[rnd.Below(8)]);
        } else {
            // Skewed towards the younger years of a wide range (AK 80+ holds few 95-year-olds).
            const int birth = to - std::min(rnd.Below(to - from + 1), rnd.Below(to - from + 1));
            age = year - birth;
            p->SetName(rnd.Pick(LastNames()));
            p->SetVorname(PickFirstName(female, age, rnd));
            p->SetGeburtsdatum(BirthDate(1 + rnd.Below(28), 1 + rnd.Below(12), birth));
        }
        FillResults(ac, *p, age, rnd);
        ac.Append(std::move(p));
    }
    RecalcAgeClass(ac);
}

int PresetClassCount(bool team, int year) {
    return PresetCompetition(team, year)->Count();
}

} // namespace

int GenerateAgeClassCount(const TGenerateOptions& o) {
    if (o.ageClasses > 0) return o.ageClasses;
    if (o.participants >= GenerateManyParticipants) return GenerateMaxAgeClasses;
    return PresetClassCount(o.team, o.year);
}

std::unique_ptr<TWettkampf> GenerateCompetition(const TGenerateOptions& o) {
    TRandom rnd(o.seed);
    auto c = PresetCompetition(o.team, o.year);
    AdjustAgeClasses(*c, o.team, o.year, GenerateAgeClassCount(o));
    FillHeader(*c, rnd, o.year, o.team);
    const std::vector<int> counts = Distribute(*c, o.participants, o.year, rnd);
    std::size_t i = 0;
    for (TAltersklasse& ac : *c)
        FillAgeClass(ac, counts[i++], o.year, o.team, rnd);
    FillGliederungRows(*c);
    ComputeStatistics(*c, smKurz);
    return c;
}

int CmdGenerate(const std::vector<std::string>& args) {
    const std::string perClass = IntToText(MaxCollectionSize);
    TCommandSpec cmd{
        "generate OUT.ERG [--participants N] [--seed S] [--team] [--year YYYY] [--age-classes K]",
        "Generates a realistic competition with results and saves it as a result file\n"
        "(for demonstrations and benchmarks). The same arguments always give the same file.\n"
        "\n"
        "The competition comes from the presets of youth and seniors (rule set 1999): 34\n"
        "age classes for individuals, 22 with --team. Title, organiser, host, date, venue,\n"
        "lanes, pool and HLW stations vary with the seed; times are kept with hundredths.\n"
        "Participants get German names fitting the age class's sex, a date of birth\n"
        "inside its years and the short code of a Velbund Landesverband; teams are named\n"
        "\"SG <Ort> <n>\". Times spread around each discipline's base time (children and\n"
        "older seniors slower), a few penalties (5 or 10), some disq. and n.a. marks, a\n"
        "few absent entries and entries out of competition (AK), HLW points 150,00 to\n"
        "300,00 in age classes with HLW scoring. Every age class is then scored and ranked.\n"
        "\n"
        "  --participants N  participants (or teams) in all, spread unevenly over the age\n"
        "                    classes; every class gets at least one when N is at least the\n"
        "                    number of classes (default 200). At most " +
            perClass +
            " fit into\n"
            "                    one age class; a larger N for the classes is refused.\n"
            "  --seed S          seed of the generator, 0 or more (default 1)\n"
            "  --team            a team competition (Mannschaftswettbewerb)\n"
            "  --year YYYY       the competition year, 1999 up to the current year + 5\n"
            "                    (default: the current year); the file depends only on it,\n"
            "                    never on today's date\n"
            "  --age-classes K   1..40: the first K age classes of the competition (youngest\n"
            "                    first). More classes than the presets have are added: AK 20w,\n"
            "                    AK 20m, AK 10w, AK 10m (individuals), then copies of the open\n"
            "                    classes named \"Offene Altersklasse 2 (w)\", ... Without K the\n"
            "                    presets' classes are used, or 40 classes from N = 10000 on\n"
            "                    (the benchmark workload is 20000 participants in 40 classes).\n"
            "\n"
            "Exit status: 0 saved, 1 saving failed, 2 usage error.",
        {"--participants", "--seed", "--year", "--age-classes"},
        {"--team"},
        1,
        1};
    TArgs a;
    int status = 0;
    if (!ParseArgs(args, cmd, a, status)) return status;
    long long participants = 0, seed = 0, year = 0, classes = 0;
    if (!GetInt(a, cmd, "--participants", 200, 0,
                static_cast<long long>(GenerateMaxAgeClasses) * MaxCollectionSize, participants,
                status))
        return status;
    if (!GetInt(a, cmd, "--seed", 1, 0, std::numeric_limits<long long>::max(), seed, status))
        return status;
    if (!GetInt(a, cmd, "--year", CurrentYear(), 1999, CurrentYear() + 5, year, status))
        return status;
    if (!GetInt(a, cmd, "--age-classes", 0, 1, GenerateMaxAgeClasses, classes, status))
        return status;

    TGenerateOptions o;
    o.participants = static_cast<int>(participants);
    o.seed = static_cast<std::uint64_t>(seed);
    o.team = a.flags.count("--team") > 0;
    o.year = static_cast<int>(year);
    o.ageClasses = static_cast<int>(classes);
    const int k = GenerateAgeClassCount(o);
    const long long capacity = static_cast<long long>(k) * MaxCollectionSize;
    if (participants > capacity) {
        return UsageError(cmd, "too many participants: " + IntToText(participants) +
                                   " do not fit into " + IntToText(k) + " age classes of at most " +
                                   perClass + " each (at most " + IntToText(capacity) +
                                   "; --age-classes K gives more classes)");
    }
    auto c = GenerateCompetition(o);
    if (SaveCompetition(*c, a.positional[0], a) != 0) return 1;
    std::cout << a.positional[0] << ": " << o.participants << (o.team ? " teams" : " participants")
              << " in " << c->Count() << (c->Count() == 1 ? " age class\n" : " age classes\n");
    return 0;
}

} // namespace vm::cli

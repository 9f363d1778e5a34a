#include "model/VmVorg.h"

#include <utility>

namespace vm {

namespace {

// Method 1: V1 is the base time in hundredths of a second. Method 2: V1 is the
// points at time 0 in hundredths and V2 the time step.
// 1..11 and 23..31 female classes, 12..22 and 32..40 male classes (rule set 1999);
// 41..68 the rule set 1995.
// clang-format off
const TDisziplinVorlage kTemplates[DisciplineTemplateCount] = {
    /*  1 */ {"50m Hindernisschwimmen", baNeu, {2700, 0, 0, 0, 0}},
    /*  2 */ {"100m Hindernisschwimmen", baNeu, {6000, 0, 0, 0, 0}},
    /*  3 */ {"200m Hindernisschwimmen", baNeu, {13266, 0, 0, 0, 0}},
    /*  4 */ {"50m Freistilschwimmen", baNeu, {2600, 0, 0, 0, 0}},
    /*  5 */ {"50m Retten", baNeu, {3970, 0, 0, 0, 0}},
    /*  6 */ {"50m kombiniertes Schwimmen", baNeu, {2900, 0, 0, 0, 0}},
    /*  7 */ {"50m Retten mit Flossen", baNeu, {2700, 0, 0, 0, 0}},
    /*  8 */ {"100m Retten mit Flossen", baNeu, {6100, 0, 0, 0, 0}},
    /*  9 */ {"50m Flossenschwimmen", baNeu, {2100, 0, 0, 0, 0}},
    /* 10 */ {"25m Schleppen einer Puppe", baNeu, {2200, 0, 0, 0, 0}},
    /* 11 */ {"100m kombiniertes Rettungsschwimmen", baNeu, {7950, 0, 0, 0, 0}},
    /* 12 */ {"50m Hindernisschwimmen", baNeu, {2400, 0, 0, 0, 0}},
    /* 13 */ {"100m Hindernisschwimmen", baNeu, {5300, 0, 0, 0, 0}},
    /* 14 */ {"200m Hindernisschwimmen", baNeu, {11776, 0, 0, 0, 0}},
    /* 15 */ {"50m Freistilschwimmen", baNeu, {2300, 0, 0, 0, 0}},
    /* 16 */ {"50m Retten", baNeu, {3320, 0, 0, 0, 0}},
    /* 17 */ {"50m kombiniertes Schwimmen", baNeu, {2600, 0, 0, 0, 0}},
    /* 18 */ {"50m Retten mit Flossen", baNeu, {2400, 0, 0, 0, 0}},
    /* 19 */ {"100m Retten mit Flossen", baNeu, {5213, 0, 0, 0, 0}},
    /* 20 */ {"50m Flossenschwimmen", baNeu, {1800, 0, 0, 0, 0}},
    /* 21 */ {"25m Schleppen einer Puppe", baNeu, {1850, 0, 0, 0, 0}},
    /* 22 */ {"100m kombiniertes Rettungsschwimmen", baNeu, {6778, 0, 0, 0, 0}},
    /* 23 */ {"4x25m Hindernisstaffel", baNeu, {5700, 0, 0, 0, 0}},
    /* 24 */ {"4x50m Hindernisstaffel", baNeu, {11400, 1, 0, 0, 0}},
    /* 25 */ {"4x25m Rettungsstaffel", baNeu, {5000, 1, 0, 0, 0}},
    /* 26 */ {"4x50m kleine Rettungsstaffel", baNeu, {13317, 1, 0, 0, 0}},
    /* 27 */ {"4x50m Rettungsstaffel", baNeu, {13317, 1, 0, 0, 0}},
    /* 28 */ {"4x25m Gurtretterstaffel", baNeu, {5600, 1, 0, 0, 0}},
    /* 29 */ {"4x50m Gurtretterstaffel", baNeu, {11287, 1, 0, 0, 0}},
    /* 30 */ {"4x25m Puppenstaffel", baNeu, {9825, 1, 0, 0, 0}},
    /* 31 */ {"4x25m Rückenlage-Beinschlag"_oem, baNeu, {6000, 1, 0, 0, 0}},
    /* 32 */ {"4x25m Hindernisstaffel", baNeu, {5100, 0, 0, 0, 0}},
    /* 33 */ {"4x50m Hindernisstaffel", baNeu, {10200, 1, 0, 0, 0}},
    /* 34 */ {"4x25m Rettungsstaffel", baNeu, {4400, 1, 0, 0, 0}},
    /* 35 */ {"4x50m kleine Rettungsstaffel", baNeu, {11431, 1, 0, 0, 0}},
    /* 36 */ {"4x50m Rettungsstaffel", baNeu, {11431, 1, 0, 0, 0}},
    /* 37 */ {"4x25m Gurtretterstaffel", baNeu, {5000, 1, 0, 0, 0}},
    /* 38 */ {"4x50m Gurtretterstaffel", baNeu, {9769, 1, 0, 0, 0}},
    /* 39 */ {"4x25m Puppenstaffel", baNeu, {8293, 1, 0, 0, 0}},
    /* 40 */ {"4x25m Rückenlage-Beinschlag"_oem, baNeu, {5600, 1, 0, 0, 0}},
    /* 41 */ {"50m Schwimmen in Bauchlage -Freistil-", baLinear, {135000, 100, 0, 0, 0}},
    /* 42 */ {"50m Rückenschwimmen -ohne Armtätigkeit-"_oem, baLinear, {150000, 100, 0, 0, 0}},
    /* 43 */ {"50m Hindernisschwimmen", baLinear, {135000, 100, 0, 0, 0}},
    /* 44 */ {"50m Hindernisschwimmen -Brustschwimmen-", baLinear, {140000, 100, 0, 0, 0}},
    /* 45 */ {"100m Hindernisschwimmen", baLinear, {170000, 100, 0, 0, 0}},
    /* 46 */ {"50m Flossenschwimmen", baLinear, {130000, 100, 0, 0, 0}},
    /* 47 */ {"100m Flossenschwimmen", baLinear, {185000, 100, 0, 0, 0}},
    /* 48 */ {"50m Schleppen einer Puppe", baLinear, {160000, 100, 0, 0, 0}},
    /* 49 */ {"50m Brustschwimmen", baLinear, {140000, 100, 0, 0, 0}},
    /* 50 */ {"50m Hindernisschwimmen", baLinear, {135000, 100, 0, 0, 0}},
    /* 51 */ {"50m kombiniertes Schnell- und Rückenschwimmen"_oem, baLinear, {140000, 100, 0, 0, 0}},
    /* 52 */ {"50m Schleppen einer Puppe", baLinear, {160000, 100, 0, 0, 0}},
    /* 53 */ {"4x25m Transportstaffel", baLinear, {210000, 100, 0, 0, 0}},
    /* 54 */ {"4x25m Hindernisstaffel -Brustschwimmen-", baLinear, {170000, 100, 0, 0, 0}},
    /* 55 */ {"4x50m Hindernisstaffel", baLinear, {220000, 100, 0, 0, 0}},
    /* 56 */ {"4x25m Rückenschwimmstaffel ohne Armtätigkeit"_oem, baLinear, {190000, 100, 0, 0, 0}},
    /* 57 */ {"4x25m Freistilstaffel", baLinear, {165000, 100, 0, 0, 0}},
    /* 58 */ {"3x50m Rettungsstaffel", baLinear, {230000, 100, 0, 0, 0}},
    /* 59 */ {"4x50m Rettungsstaffel", baLinear, {250000, 100, 0, 0, 0}},
    /* 60 */ {"3x50m Rettungsleinenstaffel", baLinear, {180000, 100, 0, 0, 0}},
    /* 61 */ {"4x25m Rettungsschwimmstaffel mit Puppe", baLinear, {220000, 100, 0, 0, 0}},
    /* 62 */ {"4x50m Rettungsschwimmstaffel mit Puppe", baLinear, {340000, 100, 0, 0, 0}},
    /* 63 */ {"4x50m Brust- und Freistilstaffel", baLinear, {230000, 100, 0, 0, 0}},
    /* 64 */ {"4x50m Tauchschwimmstaffel", baLinear, {230000, 100, 0, 0, 0}},
    /* 65 */ {"4x50m Hindernisstaffel", baLinear, {230000, 100, 0, 0, 0}},
    /* 66 */ {"4x50m Rettungsstaffel", baLinear, {260000, 100, 0, 0, 0}},
    /* 67 */ {"4x50m kombinierte Schnell- und Rückenschwimmstaffel"_oem, baLinear, {250000, 100, 0, 0, 0}},
    /* 68 */ {"4x25m Rettungsschwimmstaffel mit Puppe", baLinear, {250000, 100, 0, 0, 0}},
};
// clang-format on

// The two presets that a combined code joins in one competition.
bool CombinedPresets(int code, int& first, int& second) {
    static const int kCombined[][3] = {
        {1001, 0, 2}, {1002, 1, 3}, {1003, 4, 2},  {1004, 5, 3},
        {1011, 6, 8}, {1012, 7, 9}, {1013, 10, 8}, {1014, 11, 9},
    };
    for (const auto& row : kCombined) {
        if (row[0] == code) {
            first = row[1];
            second = row[2];
            return true;
        }
    }
    return false;
}

void InsertPreset(TWettkampf& c, const TVorgabe& preset) {
    c.Header.Art = preset.Art;
    for (int i = 0; i < preset.Anzahl; ++i) {
        const TAltersklasseVorgabe& k = preset.Klassen[i];
        std::array<TDisziplin, 5> disciplines{};
        const int count = k.Count();
        for (int d = 0; d < count; ++d) {
            const TDisziplinVorlage* t =
                DisciplineTemplate(k.Vorlagen[static_cast<std::size_t>(d)]);
            if (t)
                disciplines[static_cast<std::size_t>(d)] = MakeDiscipline(*t, preset.RegelwerkCode);
        }
        c.InsertAgeClass(MakeAgeClass(k.Bezeichnung, k.JahrgangVon, k.JahrgangBis, k.Eigenschaften,
                                      count, disciplines));
    }
}

} // namespace

int TAltersklasseVorgabe::Count() const {
    int n = 0;
    while (n < 5 && Vorlagen[static_cast<std::size_t>(n)] != 0)
        ++n;
    return n;
}

const TDisziplinVorlage* DisciplineTemplate(int number) {
    if (number < 1 || number > DisciplineTemplateCount) return nullptr;
    return &kTemplates[number - 1];
}

TDisziplin MakeDiscipline(const TDisziplinVorlage& t, int ruleCode) {
    TDisziplin d;
    d.Bezeichnung.Set(t.Bezeichnung);
    d.Berechnungsart = t.Berechnungsart;
    d.V = t.V;
    d.RegelwerkCode = static_cast<std::int16_t>(ruleCode);
    d.Regelwerk.Set(RuleText(ruleCode));
    return d;
}

std::unique_ptr<TAltersklasse> MakeAgeClass(std::string_view name, int yearFrom, int yearTo,
                                            int properties, int count,
                                            const std::array<TDisziplin, 5>& disciplines) {
    if (count < 0) count = 0;
    if (count > 5) count = 5;
    TAltersklasseData data; // every field zero: record block and reserved bytes cleared
    data.Bezeichnung.Set(name);
    data.JahrgangVon = static_cast<std::int16_t>(yearFrom);
    data.JahrgangBis = static_cast<std::int16_t>(yearTo);
    data.Eigenschaften = static_cast<std::int16_t>(properties);
    data.Disziplinenanzahl = static_cast<std::int16_t>(count);
    for (int i = 0; i < count; ++i)
        data.Disziplinen[static_cast<std::size_t>(i)] = disciplines[static_cast<std::size_t>(i)];
    auto ac = NewAgeClass();
    SetAgeClassData(*ac, data);
    return ac;
}

const TVorgabe* PresetTable(int code) {
    if (const TVorgabe* p = Preset1999(code)) return p;
    return Preset1995(code);
}

bool ApplyPreset(TWettkampf& c, int code, int year) {
    const TVorgabe* first = PresetTable(code);
    const TVorgabe* second = nullptr;
    int a = 0, b = 0;
    if (!first && CombinedPresets(code, a, b)) {
        first = PresetTable(a);
        second = PresetTable(b);
    }
    if (!first) return false;
    InsertPreset(c, *first);
    if (second) InsertPreset(c, *second);
    ShiftYears(c, year - 1990);
    return true;
}

int PresetCodeFor(int type, int year) {
    // type, code for the rule set 1995, code for the rule set 1999
    static const int kRows[][3] = {
        {0, 6, 0},        {1, 7, 1},        {2, 8, 2},        {10, 8, 2},
        {3, 9, 3},        {11, 9, 3},       {4, 1011, 1001},  {6, 1011, 1001},
        {5, 1012, 1002},  {7, 1012, 1002},  {8, 10, 4},       {9, 11, 5},
        {12, 1013, 1003}, {14, 1013, 1003}, {13, 1014, 1004}, {15, 1014, 1004},
    };
    if (year < 1995) return 4;
    for (const auto& row : kRows) {
        if (row[0] == type) return year <= 1998 ? row[1] : row[2];
    }
    return 4;
}

} // namespace vm

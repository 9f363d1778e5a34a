// Rule sets and presets: the discipline templates, the age-class presets of the
// rule sets 1995 and 1999, and the building of a new competition from them.
#pragma once

#include "model/VmAk.h"
#include "model/VmDisz.h"
#include "model/VmWettk.h"

#include <array>
#include <cstdint>
#include <memory>
#include <string>
#include <string_view>

namespace vm {

// A discipline template: name (string[55], code page 850), scoring method and the
// variables V1..V5 in stored units (V3..V5 are 0 in every template).
struct TDisziplinVorlage {
    std::string Bezeichnung;
    std::int16_t Berechnungsart = 0;
    std::array<std::int32_t, 5> V{};
};

inline constexpr int DisciplineTemplateCount = 68;

// Template 1..68; nullptr for any other number.
const TDisziplinVorlage* DisciplineTemplate(int number);

// A discipline from a template: name (cut to 80), method, V1..V5, empty formula,
// the rule code and its rule text.
TDisziplin MakeDiscipline(const TDisziplinVorlage& t, int ruleCode);

// An empty age class with the given data record: name (cut to 30), years,
// properties, the count (0..5) and the disciplines up to the count; the slots after
// the count are empty disciplines and the record block is cleared.
std::unique_ptr<TAltersklasse> MakeAgeClass(std::string_view name, int yearFrom, int yearTo,
                                            int properties, int count,
                                            const std::array<TDisziplin, 5>& disciplines);

// One age class of a preset, its years counted for the competition year 1990.
// The templates list the disciplines 1..count; a 0 ends the list.
struct TAltersklasseVorgabe {
    const char* Bezeichnung; // code page 850
    std::int16_t JahrgangVon;
    std::int16_t JahrgangBis;
    std::int16_t Eigenschaften; // akWeiblich, akHLW
    std::array<std::int16_t, 5> Vorlagen;

    int Count() const;
};

// A preset: the competition kind it sets, the rule code of its disciplines and its
// age classes in table order.
struct TVorgabe {
    std::int16_t Art; // wkEinzel or wkMannschaft
    std::int16_t RegelwerkCode;
    const TAltersklasseVorgabe* Klassen;
    int Anzahl;
};

// Presets 0..11 (0..5 rule set 1999, 6..11 rule set 1995); nullptr for other codes.
const TVorgabe* PresetTable(int code);
const TVorgabe* Preset1999(int code); // 0..5
const TVorgabe* Preset1995(int code); // 6..11

// Fills the competition with the age classes of the preset (or of both presets of
// a combined code 1001..1004, 1011..1014), then shifts every age class's years by
// year - 1990. Unknown codes change nothing and give false.
bool ApplyPreset(TWettkampf& c, int code, int year);

// The preset code of a new competition: type = Art + 2 * range (+ 8 for the split
// age class 12). Years 1995..1998 take the rule set 1995, years from 1999 on the rule
// set 1999; any other year, and a type outside the table, gives 4.
int PresetCodeFor(int type, int year);

} // namespace vm

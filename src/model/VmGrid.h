// The main window's participant grid as the core describes it: which fields of the
// current age class are shown, under which captions and how wide, and the texts that
// describe an age class and its disciplines. The desktop grid and `velmora-cli info`
// both read it from here, so the two can never disagree.
#pragma once

#include "model/VmWettk.h"

#include <string>
#include <vector>

namespace vm {

struct TGridColumn {
    std::string key;     // field key for FieldText ("PLATZ", "ZEIT1", …)
    std::string caption; // header text of row 0 ("Pl.", "Zeit1", …)
    int widthChars = 0;  // width in characters; pixels = width × grid font size
};

// Pl., GesPkt, Glied., then Jg, Name, Vorname (individual) or Mannschaft (team), then
// Zeit, Abz, Pkt, Lauf, Bahn of every discipline, then HLW for an HLW age class.
std::vector<TGridColumn> GridColumns(const TWettkampf& c, const TAltersklasse& ac);

// "benutzerdefiniert (per Formel)" and the two other calculation kinds; "?" otherwise.
const char* CalculationMethodText(int method);

// "weiblich" or "männlich", then the further properties, comma-separated (UTF-8).
std::string AgeClassPropertiesText(const TAltersklasse& ac);

// One discipline as `info` prints it after "Disziplin k: ": name, calculation kind,
// base time or the five variables, the formula and the rule set (UTF-8).
std::string DisciplineInfoText(const TDisziplin& d);

} // namespace vm

// Start lists for timing consoles: the heats of one discipline as a ";" separated text
// file, so that the console shows the names of the swimmers on its lanes.
#pragma once

#include "model/VmWettk.h"

#include <string>

namespace vm {

struct TStartliste {
    std::string text; // UTF-8 with byte-order mark, lines ending in CR LF
    int entries = 0;  // lines below the header
    int heats = 0;
};

// The participants with a heat in discipline d (1..5), ordered by heat and lane:
// Lauf;Bahn;Name;Vorname;Gliederung;Altersklasse, or Lauf;Bahn;Mannschaft;Gliederung;
// Altersklasse in a team competition.
TStartliste StartListText(const TWettkampf& c, int discipline);

// Writes the start list to a file; false with `error` (UTF-8) when it could not be
// written. A result file is never written over.
bool WriteStartList(const std::string& fileName, const TWettkampf& c, int discipline,
                    TStartliste& list, std::string& error);

} // namespace vm

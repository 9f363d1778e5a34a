// HTML export (file type HTM): one page with the competition's heading, optional
// links to the age classes, and each age class as a table or as result-list lines.
#pragma once

#include "base/BvBase.h"
#include "model/VmWettk.h"

#include <string>
#include <string_view>
#include <vector>

namespace vm {

// The options of the HTML dialog ("HTML Optionen"), with its defaults.
struct THtmlExportOptions {
    bool TableForm = true;       // "Tabellenform"; off: "Textform"
    bool AgeClassLinks = true;   // "Sprungziele für Altersklassen"
    bool WithDisciplines = true; // "incl. Ergebnisse der Disziplinen"
    bool WithHeatLane = false;   // not in the dialog
    // The chosen entry of the "Farbe" list as it reads there (UTF-8, one of
    // HtmlColourEntries()); empty when none was chosen.
    std::string BackgroundColour;
    // The picture's file name as typed or chosen (UTF-8); empty for none.
    std::string BackgroundPicture;
};

// The entries of the "Farbe" list: "Voreinstellung", "schwarz", "weiß", "rot",
// "grün", "blau", "gelb", "magenta", "cyan".
const std::vector<std::string>& HtmlColourEntries();
// "#rrggbb" of a colour entry; "Voreinstellung" and any text not in the list give
// white "#ffffff"; "weiss" and "gruen" are accepted for "weiß" and "grün".
std::string HtmlColourValue(std::string_view entry);

// A stored text (code page 850) as HTML: umlauts and ß as their named entities,
// & < > " as entities, every other non-ASCII character as a numeric reference.
std::string HtmlEscape(std::string_view oemText);

// The organisation named in the page's heading links here.
inline constexpr const char* VelbundWebAddress = "https://www.velbund.de/";

bool ExportHtml(const TWettkampf& c, TStream& s, const THtmlExportOptions& options);

} // namespace vm

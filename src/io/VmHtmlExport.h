// HTML export (file type HTM): one page with the competition's heading, optional
// links to the age classes, and each age class as a table or as result-list lines.
#pragma once

#include "base/BvBase.h"
#include "file/VmSaveOptions.h"
#include "model/VmWettk.h"

#include <string>
#include <string_view>
#include <vector>

namespace vm {

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

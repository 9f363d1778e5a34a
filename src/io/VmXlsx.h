// Excel workbook export (file type XLSX): the export column set as a real workbook.
// A first sheet holds every participant, then one sheet per age class that has
// participants. Places, points, penalties, heats and lanes are number cells, status
// marks and times text cells, every text in UTF-8 and never read as a formula.
#pragma once

#include "base/BvBase.h"
#include "model/VmWettk.h"

#include <string>
#include <string_view>
#include <vector>

namespace vm {

// Name of the sheet with every participant.
inline constexpr const char* XlsxAllSheetName = "Alle Teilnehmer";

// A sheet name for the UTF-8 name `wanted`: the characters []:*?/\ become "_", a
// leading or trailing apostrophe too, the name is cut to 31 characters and made
// unique against `taken` (compared without case) by " (2)", " (3)" ...; the result is
// added to `taken`. An empty name becomes "Altersklasse".
std::string MakeSheetName(std::string_view wanted, std::vector<std::string>& taken);

// Writes the workbook onto the stream: its parts are built in memory, the sheets
// deflated on a second thread while their rows are written, then put into the archive.
// No scratch file. False when the workbook could not be built or written (the caller
// keeps the old file); a system's error is noted.
bool ExportXlsx(const TWettkampf& c, TStream& s);

} // namespace vm

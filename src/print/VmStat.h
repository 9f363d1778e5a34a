// Statistics of the Gliederungen: the rows recomputed from the ranked participants
// (counts, medals, points, trophy points "KRW"), their four orders and line texts,
// and the printed statistics.
#pragma once

#include "model/VmGlied.h"
#include "model/VmWettk.h"

#include <string>

namespace vm {

class TVmReport;

// Row 0 the column header, row n the n-th row in the list's current order; a mode
// without a layout (2, or anything unknown) gives "?"; a row out of range gives "".
std::string StatLine(const TGliederungStatList& list, int mode, int row);

// The sort mode printed for a print index of the print dialog (0 -> 0, 1 -> 1,
// 2 -> 3, 3 -> 4; anything else -> 0).
int StatModeOfPrintIndex(int printIndex);

// Prints the rows as a list of their own, starting on a new page. The rows must have
// been computed in the mode of the print index (RefreshForBuild).
void PrintStatistics(TVmReport& report, int printIndex);

} // namespace vm

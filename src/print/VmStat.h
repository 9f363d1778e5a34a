// Statistics of the Gliederungen: the rows recomputed from the ranked participants
// (counts, medals, points, trophy points "KRW"), their four orders and line texts,
// and the printed statistics.
#pragma once

#include "model/VmWettk.h"

#include <string>

namespace vm {

class TVmReport;

// Sort modes of the rows (the list's Mode).
enum : int {
    smKurz = 0,      // short code: overview "Statistik: Gliederungen"
    smMedaillen = 1, // gold, silver, bronze: "Statistik: Medaillenspiegel"
    smTN = 2,        // participants (no list)
    smPunkte = 3,    // total points: "Statistik: punktbeste Gliederung"
    smKRW = 4,       // trophy points: "Statistik: Kranz-Wertung"
};

// Trophy points of the n-th Gliederung (1-based) to score in an age class:
// 30, 28, 26, then 25 down to 1 for the 28th, 0 from the 29th on.
int TrophyPoints(int rank);

// One age class's contribution to the rows (the list must be in mode 0).
void AccumulateStatistics(TGliederungStatList& rows, const TAltersklasse& ac);
// Recomputes every row from the competition's participants, drops rows without
// participants, sorts by `mode` and gives places (equal rows share one: 1, 2, 2, 4).
void ComputeStatistics(TWettkampf& c, int mode);

// Row 0 the column header, row n the n-th row in the list's current order; a mode
// without a layout (2, or anything unknown) gives "?"; a row out of range gives "".
std::string StatLine(const TGliederungStatList& list, int mode, int row);

// The sort mode printed for a print index of the print dialog (0 -> 0, 1 -> 1,
// 2 -> 3, 3 -> 4; anything else -> 0).
int StatModeOfPrintIndex(int printIndex);

// Computes the rows and prints them as a list of their own, starting on a new page.
void PrintStatistics(TVmReport& report, int printIndex);

} // namespace vm

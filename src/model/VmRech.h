// Points of one performance by the discipline's scoring method.
#pragma once

#include "model/VmBasis.h"
#include "model/VmDisz.h"

namespace vm {

class TAltersklasse;

// Points in hundredths for one time and penalty; never negative, 0 for a status code.
// A formula that cannot be evaluated gives 0 points without a word: the recalculation
// of the age class reports it once (ReportFormulaFaults).
TPunkte CalcPoints(TZeit time, int penalty, const TDisziplin& discipline);

// One message for each formula discipline of the age class whose formula cannot be
// evaluated while a participant has a time in it: naming the age class and the
// discipline, then what the evaluator says. A class of thousands with a typo in its
// formula gives one message, not thousands.
void ReportFormulaFaults(const TAltersklasse& ac);

} // namespace vm

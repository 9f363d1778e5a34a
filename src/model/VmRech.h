// Points of one performance by the discipline's scoring method.
#pragma once

#include "model/VmBasis.h"
#include "model/VmDisz.h"

namespace vm {

// Points in hundredths for one time and penalty; never negative, 0 for a status code.
TPunkte CalcPoints(TZeit time, int penalty, const TDisziplin& discipline);

} // namespace vm

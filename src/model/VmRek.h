// Records: previous years' bests and this competition's bests per age class.
#pragma once

#include "model/VmAk.h"

namespace vm {

class TWettkampf;

// Clears the current bests and computes them from the participants; clears the whole
// record block first when the first two disciplines have no previous record.
void ResetBests(TAltersklasse& ac);
void RefreshBests(TWettkampf& c);
// Takes the previous years' records over from another competition; returns how many
// age classes found theirs.
int TakeOverRecords(TWettkampf& c, TWettkampf& other);
// Merges the records of b into a (same name and sex); false when they do not match.
bool MergeRecords(TAltersklasse& a, TAltersklasse& b);

} // namespace vm

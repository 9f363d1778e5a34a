// The journal entries of the desktop program's save: the steps of the undo history
// between the state the file holds and the state being saved.
#pragma once

#include "file/VmUndo.h"
#include "journal/VmJournal.h"

#include <vector>

namespace vm {

// What changed from snapshot a to snapshot b, read from the age classes in which they
// differ only.
std::vector<std::string> DescribeSnapshotChanges(const TSnapshot& a, const TSnapshot& b);

// The entries for saving the history's current state over a file that holds `saved`:
// one per step from the saved state forward; steps undone past the save come back as
// "Rückgängig: <label>"; when the saved state is no longer in the history, one entry
// for everything since. `now` dates the entries that have no step of their own.
std::vector<TJournalEntry> JournalSinceSave(const TUndoHistory& history, const TSnapshot& saved,
                                            const std::string& program, std::time_t now);

} // namespace vm

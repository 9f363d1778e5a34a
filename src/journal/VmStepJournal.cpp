#include "journal/VmStepJournal.h"

namespace vm {

std::vector<std::string> DescribeSnapshotChanges(const TSnapshot& a, const TSnapshot& b) {
    if (a.Empty() || b.Empty() || a.SameAs(b)) return {};
    const TChangedClasses changed = ChangedClasses(a, b);
    auto before = a.Restore(changed.inA);
    auto after = b.Restore(changed.inB);
    if (!before || !after) return {};
    return DescribeChanges(*before, *after);
}

std::vector<TJournalEntry> JournalSinceSave(const TUndoHistory& history, const TSnapshot& saved,
                                            const std::string& program, std::time_t now) {
    std::vector<TJournalEntry> entries;
    const std::size_t current = history.CurrentIndex();
    const long savedAt = history.SavedIndex();
    if (savedAt >= 0 && static_cast<std::size_t>(savedAt) <= current) {
        for (std::size_t i = static_cast<std::size_t>(savedAt) + 1; i <= current; ++i) {
            const THistoryState& step = history.State(i);
            entries.push_back({step.time, step.label, program,
                               DescribeSnapshotChanges(history.State(i - 1).snapshot, step.snapshot)});
            entries.back().lines.insert(entries.back().lines.end(), step.notes.begin(),
                                        step.notes.end());
        }
    } else if (savedAt > static_cast<long>(current)) {
        for (std::size_t k = static_cast<std::size_t>(savedAt); k > current; --k) {
            const THistoryState& step = history.State(k);
            entries.push_back({now, "Rückgängig: " + step.label, program,
                               DescribeSnapshotChanges(step.snapshot, history.State(k - 1).snapshot)});
        }
    } else {
        entries.push_back({now, "Änderungen seit dem letzten Speichern", program,
                           DescribeSnapshotChanges(saved, history.Current())});
    }
    return entries;
}

} // namespace vm

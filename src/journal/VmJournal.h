// The change journal (Änderungsprotokoll) beside a result file: which typed data a
// command changed, and the text file every save appends those lines to. The jury
// reads it when a protest asks who changed a time, and when.
//
// Lines are UTF-8 and use the field texts of the grid and the exports:
//   "AK 12w | Schmitz, Greta | Zeit1 0:37,23 → 0:37,32"
//   "AK 12w | Schmitz, Greta | gelöscht (Glied. VSTA, Jg 12, Zeit1 0:37,23)"
//   "AK 12w | Jahrgang von 2013 → 2012"
//   "Wettkampf | Veranstaltung Kreismeisterschaft → Bezirksmeisterschaft"
//   "Gliederung VSTA | Name Velstadt → Velstadt-Nord"
// Derived values (points, totals, places, the best marks of the records) are not
// listed: they follow from the typed ones, and a re-ranking would otherwise list
// every participant of the age class.
#pragma once

#include "model/VmWettk.h"

#include <ctime>
#include <map>
#include <string>
#include <vector>

namespace vm {

// "Tag1.ERG" -> "Tag1.LOG": the first "." of the file name itself counts, as for the
// backup copy.
std::string JournalName(const std::string& ergFile);

// The changed fields of the competition header, one line each.
void DescribeHeaderChanges(const TWettkampfHeader& before, const TWettkampfHeader& after,
                           std::vector<std::string>& out);

// One age class before and after a command; either may be null (the class was added
// or deleted). Lists its changed data fields and its participants added, deleted and
// changed. `c` is the competition the class belongs to (after the command when there
// is one): it says whether entries are individuals or teams and how times are shown.
void DescribeAgeClassChanges(const TWettkampf& c, const TAltersklasse* before,
                             const TAltersklasse* after, std::vector<std::string>& out);

// Everything a command changed: the header, the age classes (paired by name and sex,
// a renamed class by its years), participants that moved between age classes, and the
// names of the Gliederungen.
std::vector<std::string> DescribeChanges(const TWettkampf& before, const TWettkampf& after);

struct TJournalEntry {
    std::time_t time = 0;
    std::string label;   // the command as the user knows it: "Qualifikation"
    std::string program; // "Velmora", "velmora-cli qualify"
    std::vector<std::string> lines;
};

// One block of the journal: a head line with date and time (local), label and
// program, then the lines indented, then an empty line.
std::string FormatJournalBlock(const TJournalEntry& entry);

// Appends the blocks of `entries` to the journal beside `ergFile`, creating it when
// there is none. The file is only ever opened for appending: what it holds stays
// as it is, whatever happens. False with a German reason in `error` when the journal
// could not be written completely (or would be the result file itself).
bool AppendJournal(const std::string& ergFile, const std::vector<TJournalEntry>& entries,
                   std::string& error);

// The journal beside `ergFile` as it is stored. False when there is none or it cannot
// be read; `error` then says why.
bool ReadJournal(const std::string& ergFile, std::string& text, std::string& error);

// The time of each age class's last change that a journal text records, by the age
// class's name as the journal writes it (UTF-8). Lines about the competition or the
// Gliederungen name no age class and are left out.
std::map<std::string, std::time_t> LastChangeByAgeClass(const std::string& journalText);

// The same read from the journal beside a result file, by the age classes' names as
// stored in the result file (code page 850); empty when there is no journal.
std::map<std::string, std::time_t> LastChangeOfFile(const std::string& ergFile);

} // namespace vm

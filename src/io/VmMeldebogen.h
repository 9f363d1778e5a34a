// The clubs' entry form (Meldebogen): a workbook written for the open competition,
// filled in by a club and read back. Reading checks every row first; the competition
// only changes when no row has an error, or, when asked to, with the good rows alone.
// A row that names a participant already entered (same age class, name, first name and
// year of birth; for teams the team name and Zusatz) updates that participant instead
// of adding a second one, and keeps every time and result.
#pragma once

#include "io/VmXlsxRead.h"
#include "model/VmWettk.h"

#include <string>
#include <string_view>
#include <vector>

namespace vm {

inline constexpr const char* MeldSheetHinweise = "Hinweise";
inline constexpr const char* MeldSheetMeldungen = "Meldungen";
inline constexpr const char* MeldSheetListen = "Listen";
// Rows prepared for entries below the header.
inline constexpr int MeldRows = 500;

// The Gliederung codes the program offers wherever one is typed (UTF-8): the regional
// associations, then the districts.
const std::vector<std::string>& ProgramGliederungCodes();

// The header of the "Meldungen" sheet for an individual or a team competition (UTF-8).
std::vector<std::string> MeldColumns(bool team);

// Writes the entry form to `fileName` (every row's Gliederung filled with `gliederung`,
// UTF-8, when it is not empty). A file that holds a result file is never overwritten.
// False after a message when the form could not be written; nothing is left behind.
bool WriteMeldebogen(const TWettkampf& c, const std::string& fileName,
                     std::string_view gliederung = {});

// The rows of a returned form: the "Meldungen" sheet of a workbook, or a CSV saved from
// it (separator ";", "," or tab; UTF-8 or Windows 1252). The first non-empty row is the
// header; cells are UTF-8.
struct TEntrySheet {
    std::vector<TXlsxRow> rows;
};

// Reads a workbook (by its zip signature) or a CSV file. False with the reason, a German
// sentence in UTF-8, when the file is no entry form or cannot be read.
bool ReadEntryFile(const std::string& fileName, TEntrySheet& out, std::string& failure);
bool ReadEntryBytes(std::string_view bytes, TEntrySheet& out, std::string& failure);
// Whether a text file's first line is the header of an entry form (so that a CSV saved
// from the form is not read as the semicolon text import).
bool LooksLikeEntryCsv(std::string_view bytes);

// A row's problem: the row as the spreadsheet numbers it, the column's caption, and the
// text (UTF-8).
struct TEntryProblem {
    int row = 0;
    std::string field;
    std::string text;
};
// "Zeile 7, Jahrgang: 1890 passt zu keiner Altersklasse."
std::string ProblemLine(const TEntryProblem& p);

struct TEntryReport {
    // False when the sheet is no entry form for this competition; `failure` says why.
    bool read = true;
    std::string failure;
    std::vector<TEntryProblem> errors; // in row order
    std::vector<std::string> notes;    // UTF-8; Gliederung codes new to the competition
    int rowsWithErrors = 0;
    int added = 0, changed = 0, unchanged = 0;
    bool applied = false; // whether the competition was changed at all (rows counted)

    // "Meldungen: 12 neu, 3 geändert, 1 unverändert." (UTF-8)
    std::string SummaryLine() const;
};

// Checks every row without changing anything; the counts say what an import would do.
TEntryReport CheckEntries(const TWettkampf& c, const TEntrySheet& sheet);
// Checks every row; when none has an error, or when `skipErrors`, files the good rows:
// new entries into their age classes, updates of entries already there. Only the age
// classes that received or lost an entry are ranked again.
TEntryReport ImportEntries(TWettkampf& c, const TEntrySheet& sheet, bool skipErrors);

} // namespace vm

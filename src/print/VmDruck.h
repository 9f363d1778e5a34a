// The result list: the fixed-width line of one participant (also used by the text
// form of the HTML export), the cover and the age-class blocks of the printed list.
#pragma once

#include "model/VmWettk.h"
#include "print/VmReport.h"

#include <string>

namespace vm {

class TVmReport;

// Which columns a result line carries.
struct TResultLineOptions {
    bool heatLane = false;    // HLW start time and station, heat and lane per discipline
    bool recordMarks = false; // "R", "E", "*" or "?" after the total and the penalties
    bool times = true;        // time, penalty and points per discipline
};

// The line of the n-th participant of the age class in its current order (n >= 1), or
// the column header (n = 0); an n beyond the age class gives the empty text. The
// text is code page 850, person part followed by the discipline part, at most 255
// characters. `c` supplies the kind (individual or team) and the hundredths setting.
std::string ResultLine(const TWettkampf& c, const TAltersklasse& ac, int lineNumber,
                       const TResultLineOptions& options);
// The two halves of that line, for the two-line layout (the second line is printed
// behind 13 spaces).
std::string ResultPersonPart(const TWettkampf& c, const TAltersklasse& ac, int lineNumber,
                             const TResultLineOptions& options);
std::string ResultDisciplinePart(const TWettkampf& c, const TAltersklasse& ac, int lineNumber,
                                 const TResultLineOptions& options);

// The record mark of a participant's total and of its discipline i (0..4): "R" new
// record, "E" record equalled, "*" best of this competition, "?" best without a stored
// record, " " when the entry holds no best.
char TotalRecordMark(const TAltersklasse& ac, const TTeilnehmer& p);
char DisciplineRecordMark(const TAltersklasse& ac, const TTeilnehmer& p, int i);

// ---- the printed result list ------------------------------------------------------

// The heading of one age class and its participants in blocks; shared by the result
// list and the qualification list (report kind 1 prints qualification lines).
void PrintAgeClass(TVmReport& report, const TAltersklasse& ac, bool firstAgeClass);
// The column header line(s) of the age class in the report's layout (result or
// qualification list), in the current style.
void PrintAgeClassHeader(TVmReport& report, const TAltersklasse& ac);
// Age classes of the report: all of them in order, or only the job's selected one.
void PrintAgeClasses(TVmReport& report);
// Cover and age classes of a result list (report kind 0).
void PrintResultList(TVmReport& report);
// The width TVmReport::WidestListLine() will have once the result list of these
// options is built (without the medal table), measured from the lines alone, so that
// the orientation can be chosen before building. `selected` is the job's age class
// when not all age classes are printed.
std::int32_t WidestResultListLine(const TWettkampf& c, const TPrintOptions& o, int selected);
// Whether any of those lines is wider than `limit`; stops at the first that is.
bool ResultListLineWiderThan(const TWettkampf& c, const TPrintOptions& o, int selected,
                             std::int32_t limit);

} // namespace vm

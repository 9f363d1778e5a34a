// The column set shared by the table exports (text, dBase, Excel): 35 columns per
// participant or team, their names in the three formats, widths and types, and how
// each value is taken from the participant record. Also the installer that plugs
// the export writers into the result file's save formats.
#pragma once

#include "model/VmWettk.h"

#include <cstdint>
#include <functional>
#include <string>
#include <vector>

namespace vm {

inline constexpr int ExportColumnCount = 35;
// Columns 0..6 are the person; 7..31 the five disciplines (time, penalty, points,
// heat, lane each); 32..34 the HLW points, start time and station.
inline constexpr int ExportFirstDisciplineColumn = 7;
inline constexpr int ExportFirstHlwColumn = 32;

struct TExportColumn {
    std::string TextName; // name in the text export's header line
    int TextWidth = 0;    // at most this many characters in the text export
    std::string DbfName;
    char DbfType = 'C'; // 'C' character or 'N' numeric
    int DbfLength = 0;
    int DbfDecimals = 0;
    std::string XlsName;
};

// The 35 columns of an individual (single = true) or a team competition.
const std::vector<TExportColumn>& ExportColumns(bool single);

// One value of one row. Present is false where the column carries no value (the
// TEILN column of a team). Text is the value text in the stored code page; Number
// is the value of a numeric column in units of its last decimal (points in
// hundredths, a penalty as stored, status codes included).
struct TExportCell {
    bool Present = false;
    std::string Text;
    std::int64_t Number = 0;
};

TExportCell ExportCell(const TWettkampf& c, const TTeilnehmer& p, int col);

// Every participant in export order: age classes in the competition's order, the
// participants of each in the age class's order.
void ForEachExportRow(const TWettkampf& c,
                      const std::function<void(const TAltersklasse&, const TTeilnehmer&)>& fn);
std::size_t ExportRowCount(const TWettkampf& c);

// Registers the text, dBase, HTML, Excel and Excel workbook writers for Save; each
// takes its options from the save. Called once by each front end at start-up.
void InstallExportWriters();

} // namespace vm

// Reading one sheet of an Excel workbook (.xlsx) as texts: the zip container through
// libzip, its XML parts through expat. Workbooks come from outside (the clubs' entry
// forms), so everything is treated as untrusted: the file and every part have a size
// limit, so that a huge file or a zip bomb ends in TooLarge instead of eating memory,
// a document type declaration is refused, and formulas are never evaluated (a formula
// cell gives the value the spreadsheet stored with it).
#pragma once

#include <cstddef>
#include <string>
#include <string_view>
#include <vector>

namespace vm {

enum class TXlsxStatus {
    Ok,
    NotReadable,  // the file could not be opened or read (the system's error is noted)
    NotAWorkbook, // not a zip, a damaged zip, or parts missing or not well-formed
    TooLarge,     // over one of the limits below
    NoSheet,      // no sheet of that name
};

struct TXlsxLimits {
    std::size_t maxFileBytes = 32u << 20;  // the workbook file itself
    std::size_t maxPartBytes = 16u << 20;  // one part after decompression
    std::size_t maxCells = 1u << 20;       // non-empty cells kept of the sheet
    std::size_t maxColumns = 256;          // cells further right are ignored
};

// A row with at least one non-empty cell. `number` is the row as the spreadsheet shows
// it (1 the first); cells[k] is column k (A = 0), "" where empty. Texts are UTF-8:
// strings as written, numbers as their shortest text ("2012", "12.5"), numbers with a
// date format as "TT.MM.JJJJ", booleans "WAHR"/"FALSCH", errors as stored ("#NV").
struct TXlsxRow {
    int number = 0;
    std::vector<std::string> cells;
};

struct TXlsxSheet {
    std::vector<TXlsxRow> rows;
};

// Reads the sheet named `sheetName` (exactly) from the workbook's bytes.
TXlsxStatus ReadXlsxSheet(std::string_view bytes, std::string_view sheetName, TXlsxSheet& out,
                          const TXlsxLimits& limits = {});
// The same from a file; a file over the size limit is not read at all.
TXlsxStatus ReadXlsxSheetFile(const std::string& fileName, std::string_view sheetName,
                              TXlsxSheet& out, const TXlsxLimits& limits = {});

// A spreadsheet date serial as "TT.MM.JJJJ" (the 1900 system, or 1904 when `date1904`);
// empty for serials before the system's first day or after 31.12.9999.
std::string XlsxSerialToDate(double serial, bool date1904);

} // namespace vm

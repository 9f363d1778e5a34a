// Excel export (file type XLS): a small BIFF worksheet writer (versions 2 to 5,
// five kinds of cell) and the export of the column set as text cells.
#pragma once

#include "base/BvBase.h"
#include "model/VmWettk.h"

#include <cstdint>
#include <string_view>

namespace vm {

class TXlsWriter {
public:
    // Cell kinds as WriteCell takes them.
    enum : int { xcBlank = 1, xcInteger = 2, xcNumber = 4, xcLabel = 8, xcBool = 16 };

    // Starts a worksheet of BIFF version 2, 3, 4 or 5 (any other is taken as 3):
    // BOF, then CODEPAGE when codePage is not 0, then DIMENSIONS, which Finish
    // rewrites with the extent of the cells written.
    TXlsWriter(TStream& stream, int version, std::uint16_t codePage = 850);
    virtual ~TXlsWriter();
    TXlsWriter(const TXlsWriter&) = delete;
    TXlsWriter& operator=(const TXlsWriter&) = delete;

    void WriteBlank(std::uint16_t row, std::uint16_t col);
    void WriteInteger(std::uint16_t row, std::uint16_t col, std::uint16_t value);
    void WriteNumber(std::uint16_t row, std::uint16_t col, double value);
    // At most 255 bytes of the text are written (the length is one byte).
    void WriteLabel(std::uint16_t row, std::uint16_t col, std::string_view text);
    void WriteBool(std::uint16_t row, std::uint16_t col, bool value);

    // Ends the sheet: DIMENSIONS gets the real extent (rows and columns used, the
    // last ones + 1, all 0 for an empty sheet), then the EOF record. The destructor
    // does it when it was not called.
    void Finish();

    std::uint16_t BofOpcode() const { return bofOpcode_; }
    std::uint16_t DimOpcode() const { return dimOpcode_; }

private:
    void WriteRecordHeader(std::uint16_t opcode, std::uint16_t length);
    void WriteCellHeader(std::uint16_t opcode, std::uint16_t length, std::uint16_t row,
                         std::uint16_t col);
    void WriteDimensions();

    TStream& s_;
    std::uint16_t bofOpcode_ = 0x0209, bofLength_ = 6, dimOpcode_ = 0x0200, dimLength_ = 10;
    std::int64_t dimPos_ = 0;
    bool any_ = false;
    std::uint16_t firstRow_ = 0, lastRow_ = 0, firstCol_ = 0, lastCol_ = 0;
    bool finished_ = false;
};

// Header row with the Excel names of the 35 columns, then one row per participant
// in export order, every value a text cell as stored (code page 850, announced by
// the CODEPAGE record). False with a message when the rows exceed the sheet.
bool ExportXls(const TWettkampf& c, TStream& s);

} // namespace vm

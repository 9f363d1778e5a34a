#include "io/VmXls.h"

#include "io/VmExport.h"

#include <algorithm>
#include <array>
#include <bit>
#include <cstring>

namespace vm {

namespace {

constexpr std::uint16_t OpBlank = 0x0001, OpInteger = 0x0002, OpNumber = 0x0003, OpLabel = 0x0004,
                        OpBool = 0x0005, OpEof = 0x000A, OpCodePage = 0x0042;

} // namespace

TXlsWriter::TXlsWriter(TStream& stream, int version, std::uint16_t codePage) : s_(stream) {
    switch (version) {
    case 2:
        bofOpcode_ = 0x0009, bofLength_ = 4, dimOpcode_ = 0x0000, dimLength_ = 8;
        break;
    case 4:
        bofOpcode_ = 0x0409, bofLength_ = 6, dimOpcode_ = 0x0200, dimLength_ = 10;
        break;
    case 5:
        bofOpcode_ = 0x0809, bofLength_ = 6, dimOpcode_ = 0x0200, dimLength_ = 10;
        break;
    default:
        bofOpcode_ = 0x0209, bofLength_ = 6, dimOpcode_ = 0x0200, dimLength_ = 10;
        break;
    }
    // BOF: version word 0, sheet type 0x0010 (worksheet), build 0; BIFF2 has no build.
    WriteRecordHeader(bofOpcode_, bofLength_);
    const std::array<std::uint16_t, 3> bof = {0x0000, 0x0010, 0x0000};
    for (std::size_t i = 0; i < bofLength_ / 2u; ++i)
        s_.WriteU16(bof[i]);
    if (codePage != 0) {
        WriteRecordHeader(OpCodePage, 2);
        s_.WriteU16(codePage);
    }
    dimPos_ = s_.GetPos();
    WriteDimensions();
}

TXlsWriter::~TXlsWriter() {
    if (!finished_) Finish();
}

void TXlsWriter::WriteRecordHeader(std::uint16_t opcode, std::uint16_t length) {
    s_.WriteU16(opcode);
    s_.WriteU16(length);
}

void TXlsWriter::WriteDimensions() {
    // First row, last row + 1, first column, last column + 1, reserved.
    std::array<std::uint16_t, 5> words{};
    if (any_) {
        words = {firstRow_, static_cast<std::uint16_t>(lastRow_ + 1), firstCol_,
                 static_cast<std::uint16_t>(lastCol_ + 1), 0};
    }
    WriteRecordHeader(dimOpcode_, dimLength_);
    for (std::size_t i = 0; i < dimLength_ / 2u; ++i)
        s_.WriteU16(words[i]);
}

void TXlsWriter::WriteCellHeader(std::uint16_t opcode, std::uint16_t length, std::uint16_t row,
                                 std::uint16_t col) {
    if (!any_) {
        firstRow_ = lastRow_ = row;
        firstCol_ = lastCol_ = col;
        any_ = true;
    } else {
        firstRow_ = std::min(firstRow_, row);
        lastRow_ = std::max(lastRow_, row);
        firstCol_ = std::min(firstCol_, col);
        lastCol_ = std::max(lastCol_, col);
    }
    // Record header, row, column and the cell attributes (default format, not hidden
    // or locked) in one write: a large export writes hundreds of thousands of cells.
    const std::uint16_t words[4] = {opcode, length, row, col};
    std::uint8_t bytes[11] = {};
    for (std::size_t i = 0; i < 4; ++i) {
        bytes[2 * i] = static_cast<std::uint8_t>(words[i] & 0xFF);
        bytes[2 * i + 1] = static_cast<std::uint8_t>(words[i] >> 8);
    }
    s_.Write(bytes, sizeof bytes);
}

void TXlsWriter::WriteBlank(std::uint16_t row, std::uint16_t col) {
    WriteCellHeader(OpBlank, 7, row, col);
}

void TXlsWriter::WriteInteger(std::uint16_t row, std::uint16_t col, std::uint16_t value) {
    WriteCellHeader(OpInteger, 9, row, col);
    s_.WriteU16(value);
}

void TXlsWriter::WriteNumber(std::uint16_t row, std::uint16_t col, double value) {
    WriteCellHeader(OpNumber, 15, row, col);
    const auto bits = std::bit_cast<std::uint64_t>(value);
    std::uint8_t bytes[8];
    for (int i = 0; i < 8; ++i)
        bytes[i] = static_cast<std::uint8_t>((bits >> (8 * i)) & 0xFF);
    s_.Write(bytes, 8);
}

void TXlsWriter::WriteLabel(std::uint16_t row, std::uint16_t col, std::string_view text) {
    const std::size_t n = std::min<std::size_t>(text.size(), 255);
    WriteCellHeader(OpLabel, static_cast<std::uint16_t>(8 + n), row, col);
    s_.WriteU8(static_cast<std::uint8_t>(n));
    s_.Write(text.data(), n);
}

void TXlsWriter::WriteBool(std::uint16_t row, std::uint16_t col, bool value) {
    WriteCellHeader(OpBool, 9, row, col);
    s_.WriteU8(value ? 1 : 0);
    s_.WriteU8(0); // a boolean, not an error code
}

void TXlsWriter::Finish() {
    if (finished_) return;
    finished_ = true;
    const std::int64_t end = s_.GetPos();
    s_.Seek(dimPos_);
    WriteDimensions();
    s_.Seek(end);
    WriteRecordHeader(OpEof, 0);
}

bool ExportXls(const TWettkampf& c, TStream& s) {
    // Row indexes are 16-bit and DIMENSIONS holds the last row + 1 in 16 bits: the
    // header row and at most 65534 participants.
    if (ExportRowCount(c) > 65534) {
        ShowMessage("Zu viele Teilnehmer für eine Excel-Tabelle (höchstens 65534)."_oem);
        return false;
    }
    const auto& columns = ExportColumns(IsSingleCompetition(c));
    // The writer's version option has one value in use, its first: BIFF3.
    TXlsWriter w(s, 3);
    for (int col = 0; col < ExportColumnCount; ++col)
        w.WriteLabel(0, static_cast<std::uint16_t>(col),
                     columns[static_cast<std::size_t>(col)].XlsName);
    std::uint16_t row = 1;
    ForEachExportRow(c, [&](const TAltersklasse&, const TTeilnehmer& p) {
        for (int col = 0; col < ExportColumnCount; ++col) {
            TExportCell cell = ExportCell(c, p, col);
            if (cell.Present) w.WriteLabel(row, static_cast<std::uint16_t>(col), cell.Text);
        }
        ++row;
    });
    w.Finish();
    return true;
}

} // namespace vm

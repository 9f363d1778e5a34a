// dBase III export (file type DBF): a table writer and the export of the
// competition's column set, one record per participant or team.
#pragma once

#include "base/BvBase.h"
#include "model/VmWettk.h"

#include <array>
#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

namespace vm {

class TDbfWriter {
public:
    static constexpr int MaxFields = 128;
    static constexpr int MaxDataBytes = 4000;

    // Header values of a new table: version 3, last update 0/1/1 (year byte, month,
    // day), no records, header length 33, record length 1 (the deletion flag).
    std::uint8_t Version = 3;
    std::uint8_t Year = 0, Month = 1, Day = 1;
    // Byte 29 of the header: the code page of the character fields as dBase readers
    // know it (0x02 is code page 850); 0 leaves it to the reader.
    std::uint8_t LanguageDriver = 0;

    // Adds a field: type 'C' or 'N'; a name longer than 10 characters is cut. False
    // (nothing added) beyond MaxFields or MaxDataBytes, or for a length outside 1..255.
    bool AddField(std::string_view name, char type, int length, int decimals);
    void SetStream(TStream* stream) { stream_ = stream; }
    // Writes the header and the field descriptors; the file is then HeaderLength bytes.
    void WriteHeader();
    // An empty record: the deletion flag blank ("not deleted"), every field blank.
    void ClearRecord();
    // The text goes into the field: left-aligned in a character field, right-aligned
    // in a numeric one, blank-padded; a longer text keeps its first field-length
    // characters. An index outside the fields is ignored.
    void SetField(int index, std::string_view text);
    void WriteRecord();
    // Ends the table with the end-of-file mark 0x1A and writes the record count into
    // the header.
    void Finish();

    int FieldCount() const { return static_cast<int>(fields_.size()); }
    std::uint16_t HeaderLength() const {
        return static_cast<std::uint16_t>(33 + 32 * fields_.size());
    }
    std::uint16_t RecordLength() const { return recordLength_; }
    std::uint32_t RecordCount() const { return recordCount_; }

private:
    struct TField {
        std::array<std::uint8_t, 32> descriptor{};
        char type = 'C';
        int offset = 0; // in the record, after the deletion flag
        int length = 0;
    };
    TStream* stream_ = nullptr;
    std::vector<TField> fields_;
    std::uint16_t recordLength_ = 1;
    std::uint32_t recordCount_ = 0;
    std::array<std::uint8_t, 1 + MaxDataBytes> record_{};
};

// A numeric value in units of its last decimal as dBase text: a decimal point and
// `decimals` places ("-3.00", "1250" -> "12.50"); asterisks when it does not fit.
std::string DbfNumberText(std::int64_t value, int decimals, int length);

// The 35 fields of the column set, one record per participant in export order
// (all of them); numeric fields hold numbers, a status mark its numeric code.
bool ExportDbf(const TWettkampf& c, TStream& s);

} // namespace vm

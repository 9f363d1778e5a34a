#include "io/VmDbf.h"

#include "io/VmExport.h"

#include <algorithm>
#include <cstring>

namespace vm {

bool TDbfWriter::AddField(std::string_view name, char type, int length, int decimals) {
    if (FieldCount() >= MaxFields || length < 1 || length > 255) return false;
    if (recordLength_ - 1 + length > MaxDataBytes) return false;
    TField f;
    const std::size_t n = std::min<std::size_t>(name.size(), 10);
    std::memcpy(f.descriptor.data(), name.data(), n);
    f.descriptor[11] = static_cast<std::uint8_t>(type);
    f.descriptor[16] = static_cast<std::uint8_t>(length);
    f.descriptor[17] = static_cast<std::uint8_t>(std::clamp(decimals, 0, 255));
    f.type = type;
    f.offset = recordLength_ - 1;
    f.length = length;
    fields_.push_back(f);
    recordLength_ = static_cast<std::uint16_t>(recordLength_ + length);
    return true;
}

void TDbfWriter::WriteHeader() {
    if (!stream_) return;
    std::array<std::uint8_t, 32> head{};
    head[0] = Version;
    head[1] = Year;
    head[2] = Month;
    head[3] = Day;
    PutI32(head.data() + 4, static_cast<std::int32_t>(recordCount_));
    PutI16(head.data() + 8, static_cast<std::int16_t>(HeaderLength()));
    PutI16(head.data() + 10, static_cast<std::int16_t>(recordLength_));
    head[29] = LanguageDriver;
    stream_->Write(head.data(), head.size());
    for (const TField& f : fields_)
        stream_->Write(f.descriptor.data(), f.descriptor.size());
    stream_->WriteU8(0x0D);
}

void TDbfWriter::ClearRecord() {
    record_.fill(' ');
}

void TDbfWriter::SetField(int index, std::string_view text) {
    if (index < 0 || index >= FieldCount()) return;
    const TField& f = fields_[static_cast<std::size_t>(index)];
    std::uint8_t* dst = record_.data() + 1 + f.offset;
    std::memset(dst, ' ', static_cast<std::size_t>(f.length));
    const std::size_t n = std::min<std::size_t>(text.size(), static_cast<std::size_t>(f.length));
    const std::size_t start = f.type == 'N' ? static_cast<std::size_t>(f.length) - n : 0;
    std::memcpy(dst + start, text.data(), n);
}

void TDbfWriter::WriteRecord() {
    if (!stream_) return;
    stream_->Write(record_.data(), recordLength_);
    ++recordCount_;
}

void TDbfWriter::Finish() {
    if (!stream_) return;
    stream_->WriteU8(0x1A);
    const std::int64_t end = stream_->GetPos();
    stream_->Seek(4);
    stream_->WriteI32(static_cast<std::int32_t>(recordCount_));
    stream_->Seek(end);
}

std::string DbfNumberText(std::int64_t value, int decimals, int length) {
    const bool negative = value < 0;
    const std::uint64_t magnitude =
        negative ? 0 - static_cast<std::uint64_t>(value) : static_cast<std::uint64_t>(value);
    std::string digits = std::to_string(magnitude);
    std::string text;
    if (decimals > 0) {
        if (digits.size() <= static_cast<std::size_t>(decimals))
            digits.insert(0, static_cast<std::size_t>(decimals) + 1 - digits.size(), '0');
        text = digits.substr(0, digits.size() - static_cast<std::size_t>(decimals)) + "." +
               digits.substr(digits.size() - static_cast<std::size_t>(decimals));
    } else {
        text = digits;
    }
    if (negative) text.insert(0, 1, '-');
    if (text.size() > static_cast<std::size_t>(length))
        return std::string(static_cast<std::size_t>(length), '*');
    return text;
}

bool ExportDbf(const TWettkampf& c, TStream& s) {
    const auto& columns = ExportColumns(IsSingleCompetition(c));
    TDbfWriter w;
    // The character fields are stored text; readers convert them from code page 850.
    w.LanguageDriver = 0x02;
    for (const TExportColumn& col : columns)
        w.AddField(col.DbfName, col.DbfType, col.DbfLength, col.DbfDecimals);
    w.SetStream(&s);
    w.WriteHeader();
    ForEachExportRow(c, [&](const TAltersklasse&, const TTeilnehmer& p) {
        w.ClearRecord();
        for (int i = 0; i < ExportColumnCount; ++i) {
            const TExportColumn& col = columns[static_cast<std::size_t>(i)];
            TExportCell cell = ExportCell(c, p, i);
            if (!cell.Present) continue;
            if (col.DbfType == 'N')
                w.SetField(i, DbfNumberText(cell.Number, col.DbfDecimals, col.DbfLength));
            else
                w.SetField(i, cell.Text);
        }
        w.WriteRecord();
    });
    w.Finish();
    return true;
}

} // namespace vm

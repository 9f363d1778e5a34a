// Delimited text export (file type CSV): a small table writer and the export of the
// competition's column set through it.
#pragma once

#include "base/BvBase.h"
#include "file/VmSaveOptions.h"
#include "model/VmWettk.h"

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

namespace vm {

// The separator as the dialog's combo box names it: its first character, except
// "{TAB}" (the tab character) and "{LEER}" (a blank). An empty text gives ';'.
char SeparatorFromText(std::string_view text);

// Writes rows of delimited values: each value cut to its column's width, enclosed
// in QuoteChar when QuoteFields is on (a QuoteChar inside the value is doubled),
// values separated by Separator, each row ended by LF CR.
class TTextTableWriter {
public:
    static constexpr int MaxColumns = 128;

    char Separator = ';';
    char QuoteChar = '"';
    bool QuoteFields = false;
    // Values are UTF-8: a width counts characters, not bytes.
    bool Utf8 = false;

    // False (and nothing added) beyond MaxColumns.
    bool AddColumn(std::string_view name, int width);
    void SetStream(TStream* stream) { stream_ = stream; }
    // The first min(length, width) characters become the value; other indexes are ignored.
    void SetValue(int index, std::string_view text);
    void ClearValues();
    void WriteRow();

    int ColumnCount() const { return static_cast<int>(columns_.size()); }
    const std::string& ColumnName(int index) const {
        return columns_[static_cast<std::size_t>(index)].name;
    }

private:
    struct TColumn {
        std::string name; // at most 30 characters
        int width = 0;    // 0..255
        std::string value;
    };
    TStream* stream_ = nullptr;
    std::vector<TColumn> columns_;
};

// The competition as delimited text: header line, then one line per participant in
// export order (participants that did not start only with WithNonStarters).
bool ExportText(const TWettkampf& c, TStream& s, const TTextExportOptions& options);

// Did not start: a penalty of −2 or −3, or HLW points of −200 or −300.
bool NotStartedForExport(const TTeilnehmer& p);

} // namespace vm

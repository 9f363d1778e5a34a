#include "io/VmTxtExport.h"

#include "io/VmExport.h"

#include <algorithm>

namespace vm {

char SeparatorFromText(std::string_view text) {
    if (text == "{TAB}") return '\t';
    if (text == "{LEER}") return ' ';
    return text.empty() ? ';' : text.front();
}

bool TTextTableWriter::AddColumn(std::string_view name, int width) {
    if (ColumnCount() >= MaxColumns) return false;
    TColumn col;
    col.name = std::string(name.substr(0, 30));
    col.width = std::clamp(width, 0, 255);
    columns_.push_back(std::move(col));
    return true;
}

void TTextTableWriter::SetValue(int index, std::string_view text) {
    if (index < 0 || index >= ColumnCount()) return;
    TColumn& col = columns_[static_cast<std::size_t>(index)];
    std::size_t end = 0;
    for (int chars = 0; end < text.size() && chars < col.width; ++chars) {
        ++end;
        if (Utf8)
            while (end < text.size() && (static_cast<std::uint8_t>(text[end]) & 0xC0) == 0x80)
                ++end;
    }
    col.value = std::string(text.substr(0, end));
}

void TTextTableWriter::ClearValues() {
    for (TColumn& col : columns_)
        col.value.clear();
}

void TTextTableWriter::WriteRow() {
    if (!stream_) return;
    std::string line;
    for (std::size_t i = 0; i < columns_.size(); ++i) {
        if (i) line += Separator;
        const std::string& v = columns_[i].value;
        if (!QuoteFields) {
            line += v;
            continue;
        }
        // A quote character inside a value is doubled, so that readers keep the
        // value in its column.
        line += QuoteChar;
        for (char ch : v) {
            if (ch == QuoteChar) line += QuoteChar;
            line += ch;
        }
        line += QuoteChar;
    }
    line += "\n\r";
    stream_->WriteText(line);
}

bool NotStartedForExport(const TTeilnehmer& p) {
    for (std::int16_t a : p.Abzug)
        if (IsNotStarted(a)) return true;
    return IsHlwNotStarted(p.HLWPunkte);
}

bool ExportText(const TWettkampf& c, TStream& s, const TTextExportOptions& options) {
    const auto& columns = ExportColumns(IsSingleCompetition(c));
    const int used = options.WithDisciplines ? ExportColumnCount : ExportFirstDisciplineColumn;
    auto charset = [&](const std::string& text) {
        switch (options.Charset) {
        case TTextExportOptions::csWindows:
            return OemToAnsi(text);
        case TTextExportOptions::csUtf8:
            return OemToUtf8(text);
        default:
            return text;
        }
    };

    TTextTableWriter w;
    for (int col = 0; col < used; ++col) {
        const TExportColumn& ec = columns[static_cast<std::size_t>(col)];
        w.AddColumn(ec.TextName, ec.TextWidth);
    }
    w.Separator = options.Separator;
    w.QuoteChar = options.QuoteChar;
    w.QuoteFields = options.QuoteFields;
    w.Utf8 = options.Charset == TTextExportOptions::csUtf8;
    w.SetStream(&s);
    // The byte-order mark tells spreadsheets that the file is UTF-8.
    if (w.Utf8) s.WriteText("\xEF\xBB\xBF");

    if (options.WithHeader) {
        // The names pass through SetValue like values, so a long name is cut to its
        // column's width (GESAMTPKT becomes GESAMTPK).
        for (int col = 0; col < used; ++col)
            w.SetValue(col, charset(w.ColumnName(col)));
        w.WriteRow();
    }
    ForEachExportRow(c, [&](const TAltersklasse&, const TTeilnehmer& p) {
        if (!options.WithNonStarters && NotStartedForExport(p)) return;
        w.ClearValues();
        for (int col = 0; col < used; ++col) {
            TExportCell cell = ExportCell(c, p, col);
            if (cell.Present) w.SetValue(col, charset(cell.Text));
        }
        w.WriteRow();
    });
    return true;
}

} // namespace vm

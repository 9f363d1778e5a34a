#include "io/VmXlsx.h"

#include "io/VmExport.h"

#include <xlsxwriter.h>

#include <algorithm>
#include <array>
#include <cerrno>
#include <cstdio>
#include <cstdlib>
#include <ctime>
#include <filesystem>
#include <unistd.h>

namespace vm {

namespace {

constexpr std::size_t MaxSheetChars = 31;
// The last row index of a sheet is 1048575; row 0 is the header.
constexpr std::size_t MaxRows = 1048575;

bool IsLeadByte(unsigned char b) {
    return (b & 0xC0) != 0x80;
}

// Case-folded for comparing sheet names: ASCII letters and the Latin-1 capitals
// (U+00C0..U+00DE except U+00D7) that code page 850 can store.
std::string Folded(std::string_view name) {
    std::string out(name);
    for (std::size_t i = 0; i < out.size(); ++i) {
        auto b = static_cast<unsigned char>(out[i]);
        if (b >= 'A' && b <= 'Z') {
            out[i] = static_cast<char>(b + 32);
        } else if (b == 0xC3 && i + 1 < out.size()) {
            auto n = static_cast<unsigned char>(out[i + 1]);
            if (n >= 0x80 && n <= 0x9E && n != 0x97) out[i + 1] = static_cast<char>(n + 0x20);
            ++i;
        }
    }
    return out;
}

// The first `chars` characters of a UTF-8 text.
std::string CutChars(const std::string& text, std::size_t chars) {
    std::size_t count = 0;
    for (std::size_t i = 0; i < text.size(); ++i) {
        if (!IsLeadByte(static_cast<unsigned char>(text[i]))) continue;
        if (count == chars) return text.substr(0, i);
        ++count;
    }
    return text;
}

bool Taken(const std::vector<std::string>& taken, const std::string& name) {
    const std::string f = Folded(name);
    return std::any_of(taken.begin(), taken.end(),
                       [&](const std::string& t) { return Folded(t) == f; });
}

// The scratch file the library writes: beside the stream's own file when it has one,
// so that it lands on the same file system, else in the temporary folder.
std::string ScratchName(TStream& s) {
    if (auto* file = dynamic_cast<TBufStream*>(&s)) return file->FileName() + ".xlsx";
    std::error_code ec;
    std::filesystem::path dir = std::filesystem::temp_directory_path(ec);
    if (ec) dir = "/tmp";
    std::string name = (dir / "velmora-XXXXXX").string();
    const int fd = ::mkstemp(name.data());
    if (fd < 0) return {};
    ::close(fd);
    return name;
}

// The workbook's creation time: noon of the competition's date "TT.MM.JJJJ", else
// 1 January 1980. A fixed time makes the same competition give the same bytes.
std::time_t CreatedTime(const TWettkampf& c) {
    const std::string date = c.Header.Datum.Get();
    std::tm tm{};
    tm.tm_year = 80;
    tm.tm_mday = 1;
    auto digits = [&](std::size_t from, std::size_t n) {
        int v = 0;
        for (std::size_t i = from; i < from + n; ++i) {
            if (i >= date.size() || date[i] < '0' || date[i] > '9') return -1;
            v = v * 10 + (date[i] - '0');
        }
        return v;
    };
    const int day = digits(0, 2), month = digits(3, 2), year = digits(6, 4);
    if (date.size() >= 10 && date[2] == '.' && date[5] == '.' && day >= 1 && day <= 31 &&
        month >= 1 && month <= 12 && year >= 1980) {
        tm.tm_mday = day;
        tm.tm_mon = month - 1;
        tm.tm_year = year - 1900;
        tm.tm_hour = 12;
    }
    return ::timegm(&tm);
}

bool CopyFileToStream(const std::string& fileName, TStream& s) {
    std::FILE* f = std::fopen(fileName.c_str(), "rb");
    if (!f) {
        NoteSystemError(errno);
        return false;
    }
    std::array<char, 1 << 16> buf;
    std::size_t n;
    while ((n = std::fread(buf.data(), 1, buf.size(), f)) > 0)
        s.Write(buf.data(), n);
    const bool ok = !std::ferror(f);
    std::fclose(f);
    return ok && !s.WriteFailed();
}

// One row's values, converted once and written to both sheets.
struct TCellValue {
    enum { None, Text, Number } Kind = None;
    std::string Str;
    double Num = 0;
};

class TBook {
public:
    TBook(const TWettkampf& c, const std::string& fileName) : c_(c) {
        lxw_workbook_options options = {};
        options.constant_memory = LXW_TRUE;
        book_ = workbook_new_opt(fileName.c_str(), &options);
        if (!book_) return;
        lxw_doc_properties properties = {};
        properties.created = CreatedTime(c);
        workbook_set_properties(book_, &properties);
        bold_ = workbook_add_format(book_);
        format_set_bold(bold_);
        twoDecimals_ = workbook_add_format(book_);
        format_set_num_format(twoDecimals_, "0.00");
    }
    ~TBook() {
        if (book_) workbook_close(book_);
    }
    TBook(const TBook&) = delete;
    TBook& operator=(const TBook&) = delete;

    bool Write() {
        if (!book_ || !bold_ || !twoDecimals_) return false;
        const auto& columns = ExportColumns(IsSingleCompetition(c_));
        std::vector<std::string> taken = {"History"}; // a name the spreadsheets reserve
        struct TSheet {
            lxw_worksheet* ws;
            lxw_row_t row;
        };
        std::vector<TSheet> sheets;
        auto addSheet = [&](const std::string& name, std::size_t rows) {
            lxw_worksheet* ws = workbook_add_worksheet(book_, name.c_str());
            if (!ws) return false;
            sheets.push_back({ws, 1});
            return Header(ws, columns, rows);
        };
        if (!addSheet(MakeSheetName(XlsxAllSheetName, taken), ExportRowCount(c_))) return false;
        for (const TAltersklasse& ac : c_)
            if (ac.Count() > 0 && !addSheet(MakeSheetName(OemToUtf8(ac.Name()), taken),
                                            static_cast<std::size_t>(ac.Count())))
                return false;

        std::array<TCellValue, ExportColumnCount> values;
        const TAltersklasse* current = nullptr;
        std::size_t sheet = 0;
        ForEachExportRow(c_, [&](const TAltersklasse& ac, const TTeilnehmer& p) {
            if (!ok_) return;
            if (&ac != current) {
                current = &ac;
                ++sheet;
            }
            for (int col = 0; col < ExportColumnCount; ++col)
                values[static_cast<std::size_t>(col)] =
                    Value(ExportCell(c_, p, col), columns[static_cast<std::size_t>(col)]);
            Row(sheets[0].ws, sheets[0].row++, values, columns);
            Row(sheets[sheet].ws, sheets[sheet].row++, values, columns);
        });
        if (!ok_) return false;
        errno = 0;
        const lxw_error closed = workbook_close(book_);
        book_ = nullptr;
        // The library leaves the system's error of its failed write in errno.
        if (closed != LXW_NO_ERROR) NoteSystemError(errno);
        return closed == LXW_NO_ERROR;
    }

private:
    void Check(lxw_error e) {
        if (e != LXW_NO_ERROR) ok_ = false;
    }

    bool Header(lxw_worksheet* ws, const std::vector<TExportColumn>& columns, std::size_t rows) {
        for (int col = 0; col < ExportColumnCount; ++col) {
            const TExportColumn& k = columns[static_cast<std::size_t>(col)];
            // Room for the header text and the filter button beside it.
            const double width =
                static_cast<double>(std::max<std::size_t>(k.TextWidth, k.XlsName.size()) + 2);
            const auto n = static_cast<lxw_col_t>(col);
            Check(worksheet_set_column(
                ws, n, n, width, k.DbfType == 'N' && k.DbfDecimals == 2 ? twoDecimals_ : nullptr));
            Check(worksheet_write_string(ws, 0, n, k.XlsName.c_str(), bold_));
        }
        worksheet_freeze_panes(ws, 1, 0);
        Check(worksheet_autofilter(ws, 0, 0, static_cast<lxw_row_t>(rows),
                                   static_cast<lxw_col_t>(ExportColumnCount - 1)));
        return ok_;
    }

    static TCellValue Value(TExportCell cell, const TExportColumn& k) {
        TCellValue v;
        if (!cell.Present || cell.Text.empty()) return v;
        // A numeric column holds a status mark ("disq.", "n.a." ...) as its text.
        const char first = cell.Text[0];
        if (k.DbfType == 'N' && ((first >= '0' && first <= '9') || first == '-')) {
            v.Kind = TCellValue::Number;
            // One division, so that 68706 becomes the double nearest to 687.06.
            double scale = 1;
            for (int d = 0; d < k.DbfDecimals; ++d)
                scale *= 10;
            v.Num = static_cast<double>(cell.Number) / scale;
            return v;
        }
        v.Kind = TCellValue::Text;
        v.Str = OemToUtf8(cell.Text);
        return v;
    }

    void Row(lxw_worksheet* ws, lxw_row_t row, const std::array<TCellValue, ExportColumnCount>& v,
             const std::vector<TExportColumn>& columns) {
        for (std::size_t col = 0; col < v.size(); ++col) {
            const auto n = static_cast<lxw_col_t>(col);
            switch (v[col].Kind) {
            case TCellValue::Text:
                Check(worksheet_write_string(ws, row, n, v[col].Str.c_str(), nullptr));
                break;
            case TCellValue::Number:
                Check(
                    worksheet_write_number(ws, row, n, v[col].Num,
                                           columns[col].DbfDecimals == 2 ? twoDecimals_ : nullptr));
                break;
            case TCellValue::None:
                break;
            }
        }
    }

    const TWettkampf& c_;
    lxw_workbook* book_ = nullptr;
    lxw_format* bold_ = nullptr;
    lxw_format* twoDecimals_ = nullptr;
    bool ok_ = true;
};

} // namespace

std::string MakeSheetName(std::string_view wanted, std::vector<std::string>& taken) {
    std::string name;
    name.reserve(wanted.size());
    for (char ch : wanted)
        name.push_back(std::string_view("[]:*?/\\").find(ch) == std::string_view::npos ? ch : '_');
    name = CutChars(name, MaxSheetChars);
    if (!name.empty() && name.front() == '\'') name.front() = '_';
    if (!name.empty() && name.back() == '\'') name.back() = '_';
    if (name.empty()) name = "Altersklasse";
    std::string unique = name;
    for (int n = 2; Taken(taken, unique); ++n) {
        const std::string suffix = " (" + std::to_string(n) + ")";
        unique = CutChars(name, MaxSheetChars - suffix.size()) + suffix;
    }
    taken.push_back(unique);
    return unique;
}

bool ExportXlsx(const TWettkampf& c, TStream& s) {
    if (ExportRowCount(c) > MaxRows) {
        ShowMessage("Zu viele Teilnehmer für eine Excel-Arbeitsmappe."_oem);
        return false;
    }
    const std::string scratch = ScratchName(s);
    if (scratch.empty()) return false;
    bool ok;
    {
        TBook book(c, scratch);
        ok = book.Write();
    }
    ok = ok && CopyFileToStream(scratch, s);
    std::remove(scratch.c_str());
    return ok;
}

} // namespace vm

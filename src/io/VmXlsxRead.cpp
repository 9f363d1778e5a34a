#include "io/VmXlsxRead.h"

#include "base/BvBase.h"

#include <expat.h>
#include <zip.h>

#include <cerrno>
#include <charconv>
#include <cmath>
#include <cstdio>
#include <cstring>
#include <functional>
#include <map>
#include <memory>
#include <sys/stat.h>

namespace vm {

namespace {

// The local part of an element or attribute name from the namespace-aware parser
// ("uri|local"); the prefixes a file uses do not matter.
std::string_view Local(const XML_Char* name) {
    std::string_view n(name);
    const std::size_t bar = n.rfind('|');
    return bar == std::string_view::npos ? n : n.substr(bar + 1);
}

bool HasNamespace(const XML_Char* name) {
    return std::strchr(name, '|') != nullptr;
}

// The value of the attribute with this local name; `qualified` picks one in a
// namespace (r:id) rather than a plain one (id).
const char* Attr(const XML_Char** attrs, std::string_view local, bool qualified = false) {
    for (int i = 0; attrs[i]; i += 2)
        if (Local(attrs[i]) == local && HasNamespace(attrs[i]) == qualified) return attrs[i + 1];
    return nullptr;
}

class TZip {
public:
    explicit TZip(std::string_view bytes) {
        zip_error_t error;
        zip_error_init(&error);
        zip_source_t* src = zip_source_buffer_create(bytes.data(), bytes.size(), 0, &error);
        if (src) {
            zip_ = zip_open_from_source(src, ZIP_RDONLY, &error);
            if (!zip_) zip_source_free(src);
        }
        zip_error_fini(&error);
    }
    ~TZip() {
        if (zip_) zip_discard(zip_);
    }
    TZip(const TZip&) = delete;
    TZip& operator=(const TZip&) = delete;

    bool Open() const { return zip_ != nullptr; }
    // Index of a part by its name in the archive; -1 when it is not there.
    zip_int64_t Find(const std::string& name) const {
        return zip_ ? zip_name_locate(zip_, name.c_str(), 0) : -1;
    }
    zip_t* Get() const { return zip_; }

private:
    zip_t* zip_ = nullptr;
};

// Feeds one part of the archive through expat, in pieces, with the callbacks below.
// The decompressed size is counted as it comes, whatever the archive's directory says.
class TXmlPart {
public:
    std::function<void(std::string_view local, const XML_Char** attrs)> start;
    std::function<void(std::string_view local)> end;
    std::function<void(std::string_view text)> text;
    // Set by a callback that wants the parse to stop with TooLarge.
    bool tooLarge = false;

    TXlsxStatus Parse(const TZip& zip, zip_int64_t index, std::size_t maxBytes) {
        zip_file_t* f = zip_fopen_index(zip.Get(), static_cast<zip_uint64_t>(index), 0);
        if (!f) return TXlsxStatus::NotAWorkbook;
        XML_Parser p = XML_ParserCreateNS(nullptr, '|');
        if (!p) {
            zip_fclose(f);
            return TXlsxStatus::NotAWorkbook;
        }
        parser_ = p;
        XML_SetUserData(p, this);
        XML_SetElementHandler(p, &TXmlPart::OnStart, &TXmlPart::OnEnd);
        XML_SetCharacterDataHandler(p, &TXmlPart::OnText);
        // A workbook part has no business with a DTD; refusing one keeps entity
        // expansion out of the picture entirely.
        XML_SetStartDoctypeDeclHandler(p, &TXmlPart::OnDoctype);
        TXlsxStatus status = TXlsxStatus::Ok;
        std::size_t total = 0;
        char buf[1 << 15];
        for (;;) {
            const zip_int64_t n = zip_fread(f, buf, sizeof buf);
            if (n < 0) {
                status = TXlsxStatus::NotAWorkbook;
                break;
            }
            total += static_cast<std::size_t>(n);
            if (total > maxBytes) {
                status = TXlsxStatus::TooLarge;
                break;
            }
            if (XML_Parse(p, buf, static_cast<int>(n), n == 0) != XML_STATUS_OK) {
                status = tooLarge ? TXlsxStatus::TooLarge : TXlsxStatus::NotAWorkbook;
                break;
            }
            if (n == 0) break;
        }
        XML_ParserFree(p);
        zip_fclose(f);
        parser_ = nullptr;
        return status;
    }

    void Stop() { XML_StopParser(parser_, XML_FALSE); }

private:
    static void OnStart(void* self, const XML_Char* name, const XML_Char** attrs) {
        auto* t = static_cast<TXmlPart*>(self);
        if (t->start) t->start(Local(name), attrs);
    }
    static void OnEnd(void* self, const XML_Char* name) {
        auto* t = static_cast<TXmlPart*>(self);
        if (t->end) t->end(Local(name));
    }
    static void OnText(void* self, const XML_Char* s, int len) {
        auto* t = static_cast<TXmlPart*>(self);
        if (t->text) t->text(std::string_view(s, static_cast<std::size_t>(len)));
    }
    static void OnDoctype(void* self, const XML_Char*, const XML_Char*, const XML_Char*, int) {
        static_cast<TXmlPart*>(self)->Stop();
    }

    XML_Parser parser_ = nullptr;
};

// "worksheets/sheet2.xml" relative to "xl/", or "/xl/worksheets/sheet2.xml" from the root.
std::string PartName(std::string_view base, std::string_view target) {
    if (!target.empty() && target.front() == '/') return std::string(target.substr(1));
    std::string out(base);
    while (target.substr(0, 3) == "../") {
        target.remove_prefix(3);
        if (!out.empty()) out.pop_back(); // the trailing '/'
        const std::size_t slash = out.rfind('/');
        out = slash == std::string::npos ? std::string() : out.substr(0, slash + 1);
    }
    return out + std::string(target);
}

// Column index of a cell reference ("B7" -> 1); -1 when it has no letters.
int ColumnOf(std::string_view ref) {
    int col = 0;
    std::size_t i = 0;
    for (; i < ref.size() && i < 4; ++i) {
        const char ch = ref[i];
        if (ch >= 'A' && ch <= 'Z')
            col = col * 26 + (ch - 'A' + 1);
        else if (ch >= 'a' && ch <= 'z')
            col = col * 26 + (ch - 'a' + 1);
        else
            break;
    }
    return i == 0 ? -1 : col - 1;
}

int RowOf(std::string_view ref) {
    std::size_t i = 0;
    while (i < ref.size() && !(ref[i] >= '0' && ref[i] <= '9'))
        ++i;
    int row = 0;
    const auto r = std::from_chars(ref.data() + i, ref.data() + ref.size(), row);
    return r.ec == std::errc() && row > 0 ? row : -1;
}

// A whole number attribute; `fallback` for anything else (huge values included).
int IntAttr(const char* text, int fallback = 0) {
    if (!text) return fallback;
    int v = 0;
    const std::size_t n = std::strlen(text);
    const auto r = std::from_chars(text, text + n, v);
    return r.ec == std::errc() && r.ptr == text + n ? v : fallback;
}

bool IsDateFormatCode(std::string_view code) {
    bool d = false, y = false, m = false, hs = false;
    bool quoted = false;
    int bracket = 0;
    for (std::size_t i = 0; i < code.size(); ++i) {
        const char ch = code[i];
        if (quoted) {
            if (ch == '"') quoted = false;
            continue;
        }
        if (ch == '"') quoted = true;
        else if (ch == '\\' || ch == '_' || ch == '*') ++i; // the next character is literal
        else if (ch == '[') ++bracket;
        else if (ch == ']') --bracket;
        else if (bracket > 0) continue;
        else if (ch == 'd' || ch == 'D' || ch == 't' || ch == 'T') d = true; // T: German "TT"
        else if (ch == 'y' || ch == 'Y' || ch == 'j' || ch == 'J') y = true;
        else if (ch == 'm' || ch == 'M') m = true;
        else if (ch == 'h' || ch == 'H' || ch == 's' || ch == 'S') hs = true;
    }
    return d || y || (m && !hs);
}

bool IsBuiltinDateFormat(int id) {
    return (id >= 14 && id <= 22) || (id >= 27 && id <= 36) || (id >= 45 && id <= 47) ||
           (id >= 50 && id <= 58);
}

std::string NumberText(std::string_view raw) {
    double v = 0;
    const auto r = std::from_chars(raw.data(), raw.data() + raw.size(), v);
    if (r.ec != std::errc() || r.ptr != raw.data() + raw.size() || !std::isfinite(v))
        return std::string(raw);
    if (v == std::floor(v) && std::fabs(v) < 1e15) return std::to_string(static_cast<long long>(v));
    char buf[32];
    const auto w = std::to_chars(buf, buf + sizeof buf, v);
    return w.ec == std::errc() ? std::string(buf, w.ptr) : std::string(raw);
}

struct TReader {
    const TZip& zip;
    const TXlsxLimits& limits;
    std::vector<std::string> shared;
    std::vector<bool> dateStyles; // by the cell's style index
    bool date1904 = false;

    TXlsxStatus Part(const std::string& name, TXmlPart& part, bool required) {
        const zip_int64_t index = zip.Find(name);
        if (index < 0) return required ? TXlsxStatus::NotAWorkbook : TXlsxStatus::Ok;
        return part.Parse(zip, index, limits.maxPartBytes);
    }

    // Relationship ids of a .rels part to their targets.
    TXlsxStatus Relations(const std::string& name, std::map<std::string, std::string>& out) {
        TXmlPart part;
        part.start = [&](std::string_view local, const XML_Char** attrs) {
            if (local != "Relationship") return;
            const char* id = Attr(attrs, "Id");
            const char* target = Attr(attrs, "Target");
            if (id && target) out[id] = target;
        };
        return Part(name, part, false);
    }

    TXlsxStatus SharedStrings(const std::string& name) {
        TXmlPart part;
        std::string current;
        bool inText = false;
        int phonetic = 0;
        std::size_t bytes = 0;
        part.start = [&](std::string_view local, const XML_Char**) {
            if (local == "si") current.clear();
            else if (local == "rPh") ++phonetic;
            else if (local == "t" && phonetic == 0) inText = true;
        };
        part.end = [&](std::string_view local) {
            if (local == "t") inText = false;
            else if (local == "rPh") --phonetic;
            else if (local == "si") {
                bytes += current.size() + sizeof(std::string);
                if (bytes > limits.maxPartBytes) {
                    part.tooLarge = true;
                    part.Stop();
                    return;
                }
                shared.push_back(std::move(current));
                current.clear();
            }
        };
        part.text = [&](std::string_view s) {
            if (inText) current += s;
        };
        return Part(name, part, false);
    }

    TXlsxStatus Styles(const std::string& name) {
        TXmlPart part;
        std::map<int, bool> customDate;
        int inXfs = 0;
        part.start = [&](std::string_view local, const XML_Char** attrs) {
            if (local == "numFmt") {
                const char* id = Attr(attrs, "numFmtId");
                const char* code = Attr(attrs, "formatCode");
                if (id && code) customDate[IntAttr(id, -1)] = IsDateFormatCode(code);
            } else if (local == "cellXfs") {
                ++inXfs;
            } else if (local == "xf" && inXfs > 0) {
                const int n = IntAttr(Attr(attrs, "numFmtId"));
                const auto it = customDate.find(n);
                if (dateStyles.size() < limits.maxCells)
                    dateStyles.push_back(it != customDate.end() ? it->second
                                                                : IsBuiltinDateFormat(n));
            }
        };
        part.end = [&](std::string_view local) {
            if (local == "cellXfs") --inXfs;
        };
        return Part(name, part, false);
    }

    TXlsxStatus Sheet(const std::string& name, TXlsxSheet& out) {
        TXmlPart part;
        TXlsxRow row;
        int rowNumber = 0;
        int col = -1;
        std::string type, value, inlineText;
        int style = 0;
        bool inValue = false, inInline = false, inInlineText = false;
        int phonetic = 0;
        std::size_t cells = 0;
        auto flushRow = [&] {
            if (!row.cells.empty()) out.rows.push_back(std::move(row));
            row = TXlsxRow{};
        };
        part.start = [&](std::string_view local, const XML_Char** attrs) {
            if (local == "row") {
                flushRow();
                const char* r = Attr(attrs, "r");
                const int n = r ? RowOf(r) : -1;
                rowNumber = n > 0 ? n : rowNumber + 1;
                row.number = rowNumber;
                col = -1;
            } else if (local == "c") {
                const char* r = Attr(attrs, "r");
                const int c = r ? ColumnOf(r) : -1;
                col = c >= 0 ? c : col + 1;
                const char* t = Attr(attrs, "t");
                type = t ? t : "n";
                style = IntAttr(Attr(attrs, "s"));
                value.clear();
                inlineText.clear();
            } else if (local == "v") {
                inValue = true;
            } else if (local == "is") {
                inInline = true;
            } else if (local == "rPh") {
                ++phonetic;
            } else if (local == "t" && inInline && phonetic == 0) {
                inInlineText = true;
            }
        };
        part.end = [&](std::string_view local) {
            if (local == "v") inValue = false;
            else if (local == "t") inInlineText = false;
            else if (local == "is") inInline = false;
            else if (local == "rPh") --phonetic;
            else if (local == "row") flushRow();
            else if (local == "c") {
                if (row.number == 0) row.number = rowNumber = rowNumber > 0 ? rowNumber : 1;
                std::string text = CellText(type, value, inlineText, style);
                if (text.empty() || col < 0 || static_cast<std::size_t>(col) >= limits.maxColumns)
                    return;
                if (++cells > limits.maxCells) {
                    part.tooLarge = true;
                    part.Stop();
                    return;
                }
                if (row.cells.size() <= static_cast<std::size_t>(col))
                    row.cells.resize(static_cast<std::size_t>(col) + 1);
                row.cells[static_cast<std::size_t>(col)] = std::move(text);
            }
        };
        part.text = [&](std::string_view s) {
            // A value longer than any cell can hold is not a workbook's.
            if (inValue && value.size() < 65536) value += s;
            else if (inInlineText && inlineText.size() < 65536) inlineText += s;
        };
        const TXlsxStatus status = Part(name, part, true);
        flushRow();
        return status;
    }

    std::string CellText(const std::string& type, const std::string& value,
                         const std::string& inlineText, int style) const {
        if (type == "inlineStr") return inlineText;
        if (type == "s") {
            std::size_t i = 0;
            const auto r = std::from_chars(value.data(), value.data() + value.size(), i);
            return r.ec == std::errc() && i < shared.size() ? shared[i] : std::string();
        }
        if (type == "str" || type == "e" || type == "d") return value;
        if (type == "b") return value == "1" ? "WAHR" : value == "0" ? "FALSCH" : value;
        // A number; with a date format it is a date.
        if (style >= 0 && static_cast<std::size_t>(style) < dateStyles.size() &&
            dateStyles[static_cast<std::size_t>(style)]) {
            double v = 0;
            const auto r = std::from_chars(value.data(), value.data() + value.size(), v);
            if (r.ec == std::errc()) {
                std::string date = XlsxSerialToDate(v, date1904);
                if (!date.empty()) return date;
            }
        }
        return value.empty() ? std::string() : NumberText(value);
    }
};

// Days since 1970-01-01 of a civil date, and back.
long long DaysFromCivil(long long y, unsigned m, unsigned d) {
    y -= m <= 2;
    const long long era = (y >= 0 ? y : y - 399) / 400;
    const unsigned yoe = static_cast<unsigned>(y - era * 400);
    const unsigned doy = (153 * (m > 2 ? m - 3 : m + 9) + 2) / 5 + d - 1;
    const unsigned doe = yoe * 365 + yoe / 4 - yoe / 100 + doy;
    return era * 146097 + static_cast<long long>(doe) - 719468;
}

void CivilFromDays(long long z, int& y, unsigned& m, unsigned& d) {
    z += 719468;
    const long long era = (z >= 0 ? z : z - 146096) / 146097;
    const unsigned doe = static_cast<unsigned>(z - era * 146097);
    const unsigned yoe = (doe - doe / 1460 + doe / 36524 - doe / 146096) / 365;
    const unsigned doy = doe - (365 * yoe + yoe / 4 - yoe / 100);
    const unsigned mp = (5 * doy + 2) / 153;
    d = doy - (153 * mp + 2) / 5 + 1;
    m = mp < 10 ? mp + 3 : mp - 9;
    y = static_cast<int>(static_cast<long long>(yoe) + era * 400 + (m <= 2));
}

} // namespace

std::string XlsxSerialToDate(double serial, bool date1904) {
    if (!std::isfinite(serial) || serial < (date1904 ? 0 : 1) || serial >= 2958466) return {};
    auto days = static_cast<long long>(std::floor(serial));
    long long epoch;
    if (date1904) {
        epoch = DaysFromCivil(1904, 1, 1);
    } else {
        // The 1900 system counts a 29 February 1900 that never was: serial 60.
        if (days == 60) return "29.02.1900";
        if (days < 60) ++days;
        epoch = DaysFromCivil(1899, 12, 30);
    }
    int y = 0;
    unsigned m = 0, d = 0;
    CivilFromDays(epoch + days, y, m, d);
    char buf[32];
    std::snprintf(buf, sizeof buf, "%02u.%02u.%04d", d, m, y);
    return buf;
}

TXlsxStatus ReadXlsxSheet(std::string_view bytes, std::string_view sheetName, TXlsxSheet& out,
                          const TXlsxLimits& limits) {
    out.rows.clear();
    if (bytes.size() > limits.maxFileBytes) return TXlsxStatus::TooLarge;
    TZip zip(bytes);
    if (!zip.Open()) return TXlsxStatus::NotAWorkbook;
    TReader reader{zip, limits, {}, {}, false};

    // The workbook part is named by the package's relationships, normally xl/workbook.xml.
    std::map<std::string, std::string> rootRels;
    if (auto s = reader.Relations("_rels/.rels", rootRels); s != TXlsxStatus::Ok) return s;
    std::string workbook = "xl/workbook.xml";
    // The office document relationship is the one whose target is the workbook.
    for (const auto& [id, target] : rootRels) {
        (void)id;
        const std::string name = PartName("", target);
        if (name.size() >= 4 && name.substr(name.size() - 4) == ".xml" &&
            name.find("workbook") != std::string::npos)
            workbook = name;
    }
    const std::size_t slash = workbook.rfind('/');
    const std::string base = slash == std::string::npos ? "" : workbook.substr(0, slash + 1);
    const std::string relsName = base + "_rels/" + workbook.substr(base.size()) + ".rels";

    std::string sheetId;
    bool found = false;
    TXmlPart wb;
    wb.start = [&](std::string_view local, const XML_Char** attrs) {
        if (local == "workbookPr") {
            const char* d = Attr(attrs, "date1904");
            reader.date1904 = d && (std::strcmp(d, "1") == 0 || std::strcmp(d, "true") == 0);
        } else if (local == "sheet" && !found) {
            const char* name = Attr(attrs, "name");
            const char* id = Attr(attrs, "id", true);
            if (name && id && sheetName == name) {
                sheetId = id;
                found = true;
            }
        }
    };
    if (auto s = reader.Part(workbook, wb, true); s != TXlsxStatus::Ok) return s;
    if (!found) return TXlsxStatus::NoSheet;

    std::map<std::string, std::string> rels;
    if (auto s = reader.Relations(relsName, rels); s != TXlsxStatus::Ok) return s;
    const auto target = rels.find(sheetId);
    if (target == rels.end()) return TXlsxStatus::NotAWorkbook;
    std::string sharedName = base + "sharedStrings.xml";
    std::string stylesName = base + "styles.xml";
    for (const auto& [id, t] : rels) {
        (void)id;
        if (t.size() >= 17 && t.find("sharedStrings") != std::string::npos)
            sharedName = PartName(base, t);
        else if (t.find("styles") != std::string::npos)
            stylesName = PartName(base, t);
    }
    if (auto s = reader.SharedStrings(sharedName); s != TXlsxStatus::Ok) return s;
    if (auto s = reader.Styles(stylesName); s != TXlsxStatus::Ok) return s;
    return reader.Sheet(PartName(base, target->second), out);
}

TXlsxStatus ReadXlsxSheetFile(const std::string& fileName, std::string_view sheetName,
                              TXlsxSheet& out, const TXlsxLimits& limits) {
    out.rows.clear();
    struct stat st {};
    if (::stat(fileName.c_str(), &st) != 0) {
        NoteSystemError(errno);
        return TXlsxStatus::NotReadable;
    }
    if (static_cast<unsigned long long>(st.st_size) > limits.maxFileBytes)
        return TXlsxStatus::TooLarge;
    std::FILE* f = std::fopen(fileName.c_str(), "rb");
    if (!f) {
        NoteSystemError(errno);
        return TXlsxStatus::NotReadable;
    }
    std::string bytes;
    char buf[1 << 16];
    std::size_t n;
    bool tooLarge = false;
    while ((n = std::fread(buf, 1, sizeof buf, f)) > 0) {
        bytes.append(buf, n);
        if (bytes.size() > limits.maxFileBytes) {
            tooLarge = true;
            break;
        }
    }
    const bool failed = std::ferror(f) != 0;
    const int error = errno;
    std::fclose(f);
    if (tooLarge) return TXlsxStatus::TooLarge;
    if (failed) {
        NoteSystemError(error);
        return TXlsxStatus::NotReadable;
    }
    return ReadXlsxSheet(bytes, sheetName, out, limits);
}

} // namespace vm

#include "io/VmXlsx.h"

#include "io/VmExport.h"
#include "io/VmZip.h"
#include "model/VmOemText.h"

#include <algorithm>
#include <array>
#include <cerrno>
#include <charconv>
#include <condition_variable>
#include <cstdio>
#include <ctime>
#include <deque>
#include <exception>
#include <mutex>
#include <new>
#include <system_error>
#include <thread>

namespace vm {

namespace {

constexpr std::size_t MaxSheetChars = 31;
// The last row index of a sheet is 1048575; row 0 is the header.
constexpr std::size_t MaxRows = 1048575;
// On the sheets' repetitive XML zlib's level 3 is as fast as its fastest level 1 and
// gives a sixth less; from level 4 on it takes longer for little gain.
constexpr int DeflateLevel = 3;
// The XML of a sheet is handed to the deflater in pieces of about this size.
constexpr std::size_t PieceBytes = 256 * 1024;

// Cell formats (the index into cellXfs of the styles part).
constexpr const char* StyleBold = "1";
constexpr const char* StyleTwoDecimals = "2";

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

// ---- XML text ------------------------------------------------------------------------

// What each byte of a stored (code page 850) text becomes in the sheet's XML: its
// UTF-8 form, the markup characters as entities, and the control characters that XML
// cannot carry as the workbook's escape _xHHHH_ (a carriage return as a character
// reference, which survives the parser's line-end handling).
struct TOemXml {
    std::array<std::array<char, 7>, 256> bytes{};
    std::array<std::uint8_t, 256> length{};
    std::array<bool, 256> plain{}; // copied as it is
};

const TOemXml& OemXml() {
    static const TOemXml table = [] {
        TOemXml t;
        auto set = [&](int b, std::string_view text) {
            std::copy(text.begin(), text.end(), t.bytes[static_cast<std::size_t>(b)].begin());
            t.length[static_cast<std::size_t>(b)] = static_cast<std::uint8_t>(text.size());
        };
        constexpr char hex[] = "0123456789ABCDEF";
        for (int b = 0; b < 256; ++b) {
            const std::uint32_t cp = OemToUnicodeTable[b];
            std::string utf8;
            if (cp < 0x80) {
                utf8.push_back(static_cast<char>(cp));
            } else if (cp < 0x800) {
                utf8.push_back(static_cast<char>(0xC0 | (cp >> 6)));
                utf8.push_back(static_cast<char>(0x80 | (cp & 0x3F)));
            } else {
                utf8.push_back(static_cast<char>(0xE0 | (cp >> 12)));
                utf8.push_back(static_cast<char>(0x80 | ((cp >> 6) & 0x3F)));
                utf8.push_back(static_cast<char>(0x80 | (cp & 0x3F)));
            }
            if (cp == '&')
                utf8 = "&amp;";
            else if (cp == '<')
                utf8 = "&lt;";
            else if (cp == '>')
                utf8 = "&gt;";
            else if (cp == '"')
                utf8 = "&quot;";
            else if (cp == '\r')
                utf8 = "&#13;";
            else if (cp < 0x20 && cp != '\t' && cp != '\n')
                utf8 = std::string("_x00") + hex[cp >> 4] + hex[cp & 15] + "_";
            set(b, utf8);
            t.plain[static_cast<std::size_t>(b)] =
                cp >= 0x20 && cp < 0x7F && utf8.size() == 1 && cp != '_';
        }
        return t;
    }();
    return table;
}

bool IsHex(char ch) {
    return (ch >= '0' && ch <= '9') || (ch >= 'A' && ch <= 'F') || (ch >= 'a' && ch <= 'f');
}

// True when the text at `i` reads like the escape _xHHHH_, whose underscore must then
// be escaped itself so that the text comes back as it was.
bool LooksEscaped(std::string_view text, std::size_t i) {
    if (i + 7 > text.size() || text[i] != '_' || (text[i + 1] != 'x' && text[i + 1] != 'X') ||
        text[i + 6] != '_')
        return false;
    return IsHex(text[i + 2]) && IsHex(text[i + 3]) && IsHex(text[i + 4]) && IsHex(text[i + 5]);
}

// A stored text as the content of an XML element.
void AppendOemXml(std::string& out, std::string_view text) {
    const TOemXml& t = OemXml();
    std::size_t i = 0;
    while (i < text.size()) {
        std::size_t run = i;
        while (run < text.size() && t.plain[static_cast<unsigned char>(text[run])])
            ++run;
        out.append(text.data() + i, run - i);
        if (run == text.size()) break;
        const auto b = static_cast<unsigned char>(text[run]);
        if (b == '_' && LooksEscaped(text, run))
            out += "_x005F_";
        else
            out.append(t.bytes[b].data(), t.length[b]);
        i = run + 1;
    }
}

// A UTF-8 text (a sheet name) as an XML attribute value or element content.
std::string Utf8Xml(std::string_view text) {
    std::string out;
    constexpr char hex[] = "0123456789ABCDEF";
    for (std::size_t i = 0; i < text.size(); ++i) {
        const auto b = static_cast<unsigned char>(text[i]);
        switch (b) {
        case '&':
            out += "&amp;";
            break;
        case '<':
            out += "&lt;";
            break;
        case '>':
            out += "&gt;";
            break;
        case '"':
            out += "&quot;";
            break;
        case '_':
            out += LooksEscaped(text, i) ? "_x005F_" : "_";
            break;
        default:
            if (b < 0x20) {
                out += "_x00";
                out += hex[b >> 4];
                out += hex[b & 15];
                out += '_';
            } else {
                out += static_cast<char>(b);
            }
        }
    }
    return out;
}

bool IsBlank(char ch) {
    return ch == ' ' || ch == '\t' || ch == '\n' || ch == '\r';
}

// An inline text cell; the spreadsheet keeps its spaces at either end only when told so.
void AppendTextCell(std::string& out, std::string_view oem, const char* style = nullptr) {
    out += "<c";
    if (style) {
        out += " s=\"";
        out += style;
        out += '"';
    }
    out += " t=\"inlineStr\"><is><t";
    if (IsBlank(oem.front()) || IsBlank(oem.back())) out += " xml:space=\"preserve\"";
    out += '>';
    AppendOemXml(out, oem);
    out += "</t></is></c>";
}

// A number given in units of its last decimal, written as its decimal value: the
// shortest text that reads back as the double nearest to that value.
void AppendDecimal(std::string& out, std::int64_t units, int decimals) {
    char buf[32];
    char* end = buf;
    std::uint64_t u =
        units < 0 ? 0 - static_cast<std::uint64_t>(units) : static_cast<std::uint64_t>(units);
    std::uint64_t scale = 1;
    for (int d = 0; d < decimals; ++d)
        scale *= 10;
    const std::uint64_t whole = u / scale;
    std::uint64_t fraction = u % scale;
    if (units < 0) *end++ = '-';
    end = std::to_chars(end, buf + sizeof buf, whole).ptr;
    if (fraction != 0) {
        int digits = decimals;
        while (fraction % 10 == 0) {
            fraction /= 10;
            --digits;
        }
        *end++ = '.';
        char* last = end + digits;
        for (char* p = last; p > end; fraction /= 10)
            *--p = static_cast<char>('0' + fraction % 10);
        end = last;
    }
    out.append(buf, end);
}

std::string ColumnName(int col) {
    std::string name;
    for (int n = col + 1; n > 0; n = (n - 1) / 26)
        name.insert(name.begin(), static_cast<char>('A' + (n - 1) % 26));
    return name;
}

std::string Number(std::size_t n) {
    return std::to_string(n);
}

// "A1:AI<rows + 1>": the header and the rows of a sheet.
std::string SheetRange(std::size_t rows) {
    return "A1:" + ColumnName(ExportColumnCount - 1) + Number(rows + 1);
}

std::string IsoTime(std::time_t t) {
    std::tm tm{};
    ::gmtime_r(&t, &tm);
    char buf[64];
    std::snprintf(buf, sizeof buf, "%04d-%02d-%02dT%02d:%02d:%02dZ", tm.tm_year + 1900,
                  tm.tm_mon + 1, tm.tm_mday, tm.tm_hour, tm.tm_min, tm.tm_sec);
    return buf;
}

// ---- the parts -----------------------------------------------------------------------

constexpr const char* XmlDecl = "<?xml version=\"1.0\" encoding=\"UTF-8\" standalone=\"yes\"?>\n";
constexpr const char* MainNs = "http://schemas.openxmlformats.org/spreadsheetml/2006/main";
constexpr const char* RelNs = "http://schemas.openxmlformats.org/officeDocument/2006/relationships";
constexpr const char* PackageRelNs = "http://schemas.openxmlformats.org/package/2006/relationships";

bool TwoDecimals(const TExportColumn& k) {
    return k.DbfType == 'N' && k.DbfDecimals == 2;
}

std::string SheetPath(std::size_t i) {
    return "xl/worksheets/sheet" + Number(i + 1) + ".xml";
}

// The sheet's XML up to and including the header row: the size, the first row frozen,
// the column widths and formats.
std::string SheetHead(const std::vector<TExportColumn>& columns, std::size_t rows, bool first) {
    std::string x = XmlDecl;
    x += "<worksheet xmlns=\"";
    x += MainNs;
    x += "\" xmlns:r=\"";
    x += RelNs;
    x += "\"><dimension ref=\"" + SheetRange(rows) + "\"/><sheetViews><sheetView ";
    if (first) x += "tabSelected=\"1\" ";
    x += "workbookViewId=\"0\"><pane ySplit=\"1\" topLeftCell=\"A2\" activePane=\"bottomLeft\" "
         "state=\"frozen\"/><selection pane=\"bottomLeft\" activeCell=\"A2\" sqref=\"A2\"/>"
         "</sheetView></sheetViews><sheetFormatPr defaultRowHeight=\"15\"/><cols>";
    for (int col = 0; col < ExportColumnCount; ++col) {
        const TExportColumn& k = columns[static_cast<std::size_t>(col)];
        // Room for the header text and the filter button beside it; the fraction is the
        // cell's margin, as the spreadsheets store a width of whole characters.
        const std::size_t width =
            std::max<std::size_t>(static_cast<std::size_t>(k.TextWidth), k.XlsName.size()) + 2;
        const std::string n = Number(static_cast<std::size_t>(col) + 1);
        x += "<col min=\"" + n + "\" max=\"" + n + "\" width=\"" + Number(width) + ".7109375\"";
        if (TwoDecimals(k)) {
            x += " style=\"";
            x += StyleTwoDecimals;
            x += '"';
        }
        x += " customWidth=\"1\"/>";
    }
    x += "</cols><sheetData><row r=\"1\">";
    for (const TExportColumn& k : columns)
        AppendTextCell(x, k.XlsName, StyleBold);
    x += "</row>";
    return x;
}

std::string SheetTail(std::size_t rows) {
    return "</sheetData><autoFilter ref=\"" + SheetRange(rows) +
           "\"/><pageMargins left=\"0.7\" right=\"0.7\" top=\"0.75\" bottom=\"0.75\" "
           "header=\"0.3\" footer=\"0.3\"/></worksheet>";
}

struct TSheetInfo {
    std::string name; // UTF-8
    std::size_t rows = 0;
};

std::string ContentTypes(std::size_t sheets) {
    std::string x = XmlDecl;
    x += "<Types xmlns=\"http://schemas.openxmlformats.org/package/2006/content-types\">"
         "<Default Extension=\"rels\" "
         "ContentType=\"application/vnd.openxmlformats-package.relationships+xml\"/>"
         "<Default Extension=\"xml\" ContentType=\"application/xml\"/>"
         "<Override PartName=\"/xl/workbook.xml\" ContentType=\"application/"
         "vnd.openxmlformats-officedocument.spreadsheetml.sheet.main+xml\"/>"
         "<Override PartName=\"/xl/styles.xml\" ContentType=\"application/"
         "vnd.openxmlformats-officedocument.spreadsheetml.styles+xml\"/>"
         "<Override PartName=\"/docProps/core.xml\" "
         "ContentType=\"application/vnd.openxmlformats-package.core-properties+xml\"/>"
         "<Override PartName=\"/docProps/app.xml\" ContentType=\"application/"
         "vnd.openxmlformats-officedocument.extended-properties+xml\"/>";
    for (std::size_t i = 0; i < sheets; ++i)
        x += "<Override PartName=\"/" + SheetPath(i) +
             "\" ContentType=\"application/"
             "vnd.openxmlformats-officedocument.spreadsheetml.worksheet+xml\"/>";
    x += "</Types>";
    return x;
}

std::string PackageRels() {
    std::string x = XmlDecl;
    x += "<Relationships xmlns=\"";
    x += PackageRelNs;
    x += "\"><Relationship Id=\"rId1\" Type=\"";
    x += RelNs;
    x += "/officeDocument\" Target=\"xl/workbook.xml\"/><Relationship Id=\"rId2\" "
         "Type=\"http://schemas.openxmlformats.org/package/2006/relationships/metadata/"
         "core-properties\" Target=\"docProps/core.xml\"/><Relationship Id=\"rId3\" Type=\"";
    x += RelNs;
    x += "/extended-properties\" Target=\"docProps/app.xml\"/></Relationships>";
    return x;
}

std::string CoreProperties(std::time_t created) {
    const std::string when = IsoTime(created);
    std::string x = XmlDecl;
    x += "<cp:coreProperties "
         "xmlns:cp=\"http://schemas.openxmlformats.org/package/2006/metadata/core-properties\" "
         "xmlns:dc=\"http://purl.org/dc/elements/1.1/\" "
         "xmlns:dcterms=\"http://purl.org/dc/terms/\" "
         "xmlns:xsi=\"http://www.w3.org/2001/XMLSchema-instance\">"
         "<dcterms:created xsi:type=\"dcterms:W3CDTF\">" +
         when + "</dcterms:created><dcterms:modified xsi:type=\"dcterms:W3CDTF\">" + when +
         "</dcterms:modified></cp:coreProperties>";
    return x;
}

std::string AppProperties() {
    std::string x = XmlDecl;
    x += "<Properties xmlns=\"http://schemas.openxmlformats.org/officeDocument/2006/"
         "extended-properties\"><Application>Velmora</Application></Properties>";
    return x;
}

// The sheets in their order; each one's filter range also as the hidden name that the
// spreadsheets keep for it.
std::string WorkbookPart(const std::vector<TSheetInfo>& sheets) {
    std::string x = XmlDecl;
    x += "<workbook xmlns=\"";
    x += MainNs;
    x += "\" xmlns:r=\"";
    x += RelNs;
    x += "\"><bookViews><workbookView/></bookViews><sheets>";
    for (std::size_t i = 0; i < sheets.size(); ++i)
        x += "<sheet name=\"" + Utf8Xml(sheets[i].name) + "\" sheetId=\"" + Number(i + 1) +
             "\" r:id=\"rId" + Number(i + 1) + "\"/>";
    x += "</sheets><definedNames>";
    for (std::size_t i = 0; i < sheets.size(); ++i) {
        std::string quoted;
        for (char ch : sheets[i].name)
            quoted += ch == '\'' ? std::string("''") : std::string(1, ch);
        const std::string last = ColumnName(ExportColumnCount - 1);
        x += "<definedName name=\"_xlnm._FilterDatabase\" localSheetId=\"" + Number(i) +
             "\" hidden=\"1\">'" + Utf8Xml(quoted) + "'!$A$1:$" + last + "$" +
             Number(sheets[i].rows + 1) + "</definedName>";
    }
    x += "</definedNames></workbook>";
    return x;
}

std::string WorkbookRels(std::size_t sheets) {
    std::string x = XmlDecl;
    x += "<Relationships xmlns=\"";
    x += PackageRelNs;
    x += "\">";
    for (std::size_t i = 0; i < sheets; ++i)
        x += "<Relationship Id=\"rId" + Number(i + 1) + "\" Type=\"" + RelNs +
             "/worksheet\" Target=\"worksheets/sheet" + Number(i + 1) + ".xml\"/>";
    x += "<Relationship Id=\"rId" + Number(sheets + 1) + "\" Type=\"" + RelNs +
         "/styles\" Target=\"styles.xml\"/></Relationships>";
    return x;
}

// Three cell formats: the default, bold (the header) and two decimals.
std::string Styles() {
    std::string x = XmlDecl;
    x += "<styleSheet xmlns=\"";
    x += MainNs;
    x += "\"><numFmts count=\"1\"><numFmt numFmtId=\"164\" formatCode=\"0.00\"/></numFmts>"
         "<fonts count=\"2\"><font><sz val=\"11\"/><name val=\"Sans\"/><family val=\"2\"/>"
         "</font><font><b/><sz val=\"11\"/><name val=\"Sans\"/><family val=\"2\"/></font>"
         "</fonts><fills count=\"2\"><fill><patternFill patternType=\"none\"/></fill><fill>"
         "<patternFill patternType=\"gray125\"/></fill></fills><borders count=\"1\"><border>"
         "<left/><right/><top/><bottom/><diagonal/></border></borders>"
         "<cellStyleXfs count=\"1\"><xf numFmtId=\"0\" fontId=\"0\" fillId=\"0\" "
         "borderId=\"0\"/></cellStyleXfs><cellXfs count=\"3\"><xf numFmtId=\"0\" fontId=\"0\" "
         "fillId=\"0\" borderId=\"0\" xfId=\"0\"/><xf numFmtId=\"0\" fontId=\"1\" fillId=\"0\" "
         "borderId=\"0\" xfId=\"0\" applyFont=\"1\"/><xf numFmtId=\"164\" fontId=\"0\" "
         "fillId=\"0\" borderId=\"0\" xfId=\"0\" applyNumberFormat=\"1\"/></cellXfs>"
         "<cellStyles count=\"1\"><cellStyle name=\"Normal\" xfId=\"0\" builtinId=\"0\"/>"
         "</cellStyles></styleSheet>";
    return x;
}

// ---- deflating beside the rows -------------------------------------------------------

// A piece of a sheet's XML and, once deflated, its deflated form. The rows of an age
// class are pieces of both its own sheet and the sheet with everybody.
struct TBlock {
    std::string xml;
    TZipPiece piece;
    bool last = false;
};

// Deflates blocks on a second thread while the first one writes the rows. When too
// much XML waits, and at the end, the first thread deflates blocks itself.
class TDeflatePool {
public:
    TDeflatePool() {
        // Without a second thread (the system may refuse one) the first does it all.
        try {
            thread_ = std::thread([this] { Run(); });
        } catch (const std::system_error&) {
        }
    }
    ~TDeflatePool() {
        {
            std::lock_guard<std::mutex> lock(mutex_);
            stop_ = true;
        }
        wake_.notify_all();
        if (thread_.joinable()) thread_.join();
    }
    TDeflatePool(const TDeflatePool&) = delete;
    TDeflatePool& operator=(const TDeflatePool&) = delete;

    void Put(TBlock& block) {
        std::unique_lock<std::mutex> lock(mutex_);
        waiting_.push_back(&block);
        waitingBytes_ += block.xml.size();
        wake_.notify_one();
        while (waitingBytes_ > MaxWaitingBytes && !waiting_.empty())
            DoOne(lock, mine_);
    }

    // Deflates what still waits, together with the second thread, and waits for it.
    void Finish() {
        std::unique_lock<std::mutex> lock(mutex_);
        while (!waiting_.empty())
            DoOne(lock, mine_);
        idle_.wait(lock, [&] { return busy_ == 0; });
        if (error_) std::rethrow_exception(error_);
    }

private:
    // Takes the oldest waiting block and deflates it with the lock released.
    void DoOne(std::unique_lock<std::mutex>& lock, std::unique_ptr<TZipDeflater>& deflater) {
        TBlock* block = waiting_.front();
        waiting_.pop_front();
        waitingBytes_ -= block->xml.size();
        ++busy_;
        lock.unlock();
        std::exception_ptr error;
        try {
            if (!deflater) deflater = std::make_unique<TZipDeflater>(DeflateLevel);
            block->piece = deflater->Deflate(block->xml, block->last);
            std::string().swap(block->xml);
        } catch (...) {
            error = std::current_exception();
        }
        lock.lock();
        if (error && !error_) error_ = error;
        if (--busy_ == 0) idle_.notify_all();
    }

    void Run() {
        std::unique_lock<std::mutex> lock(mutex_);
        for (;;) {
            wake_.wait(lock, [&] { return stop_ || !waiting_.empty(); });
            if (waiting_.empty()) return;
            DoOne(lock, theirs_);
        }
    }

    static constexpr std::size_t MaxWaitingBytes = 4 * PieceBytes;

    std::unique_ptr<TZipDeflater> mine_, theirs_; // one for each thread
    std::mutex mutex_;
    std::condition_variable wake_; // a block came, or stop
    std::condition_variable idle_; // nothing is being deflated
    std::deque<TBlock*> waiting_;
    std::size_t waitingBytes_ = 0;
    int busy_ = 0;
    bool stop_ = false;
    std::exception_ptr error_;
    std::thread thread_;
};

// ---- the rows ------------------------------------------------------------------------

// One participant's row, the same in both of its sheets. Neither the row nor a cell
// names its place: rows and cells follow one another, an empty cell as <c/>. That makes
// the XML more than a quarter smaller, lets the deflater find the repeats (most of its
// speed: three times as fast) and lets both sheets share the deflated rows.
void AppendRow(std::string& out, const TWettkampf& c, const TTeilnehmer& p,
               const std::vector<TExportColumn>& columns) {
    out += "<row>";
    for (int col = 0; col < ExportColumnCount; ++col) {
        const TExportColumn& k = columns[static_cast<std::size_t>(col)];
        const TExportCell cell = ExportCell(c, p, col);
        if (!cell.Present || cell.Text.empty()) {
            out += "<c/>";
            continue;
        }
        // A numeric column holds a status mark ("disq.", "n.a." ...) as its text.
        const char first = cell.Text[0];
        if (k.DbfType == 'N' && ((first >= '0' && first <= '9') || first == '-')) {
            out += TwoDecimals(k) ? "<c s=\"2\"><v>" : "<c><v>";
            AppendDecimal(out, cell.Number, k.DbfDecimals);
            out += "</v></c>";
        } else {
            AppendTextCell(out, cell.Text);
        }
    }
    out += "</row>";
}

// Builds every part; the sheets are deflated block by block on both threads.
void BuildParts(const TWettkampf& c, std::vector<TZipEntry>& parts, std::time_t created) {
    const auto& columns = ExportColumns(IsSingleCompetition(c));
    std::vector<std::string> taken = {"History"}; // a name the spreadsheets reserve
    std::vector<TSheetInfo> sheets;
    sheets.push_back({MakeSheetName(XlsxAllSheetName, taken), ExportRowCount(c)});
    for (const TAltersklasse& ac : c)
        if (ac.Count() > 0)
            sheets.push_back(
                {MakeSheetName(OemToUtf8(ac.Name()), taken), static_cast<std::size_t>(ac.Count())});

    parts.push_back(DeflatedZipEntry("[Content_Types].xml", ContentTypes(sheets.size())));
    parts.push_back(DeflatedZipEntry("_rels/.rels", PackageRels()));
    parts.push_back(DeflatedZipEntry("docProps/core.xml", CoreProperties(created)));
    parts.push_back(DeflatedZipEntry("docProps/app.xml", AppProperties()));
    parts.push_back(DeflatedZipEntry("xl/workbook.xml", WorkbookPart(sheets)));
    parts.push_back(DeflatedZipEntry("xl/_rels/workbook.xml.rels", WorkbookRels(sheets.size())));
    parts.push_back(DeflatedZipEntry("xl/styles.xml", Styles()));

    // The blocks stay in place while the pool works on them; the pool ends first.
    std::deque<TBlock> blocks;
    std::vector<std::vector<TBlock*>> members(sheets.size());
    TDeflatePool pool;
    auto put = [&](std::string xml, bool last) {
        blocks.push_back({std::move(xml), {}, last});
        pool.Put(blocks.back());
        return &blocks.back();
    };
    members[0].push_back(put(SheetHead(columns, sheets[0].rows, true), false));
    std::size_t sheet = 0;
    std::string xml;
    for (const TAltersklasse& ac : c) {
        if (ac.Count() == 0) continue;
        ++sheet;
        members[sheet].push_back(put(SheetHead(columns, sheets[sheet].rows, false), false));
        auto rows = [&] {
            TBlock* b = put(std::move(xml), false);
            members[0].push_back(b);
            members[sheet].push_back(b);
            xml = std::string();
            xml.reserve(PieceBytes + (PieceBytes >> 2));
        };
        for (const TTeilnehmer& p : ac) {
            AppendRow(xml, c, p, columns);
            if (xml.size() >= PieceBytes) rows();
        }
        if (!xml.empty()) rows();
        members[sheet].push_back(put(SheetTail(sheets[sheet].rows), true));
    }
    members[0].push_back(put(SheetTail(sheets[0].rows), true));
    pool.Finish();

    for (std::size_t i = 0; i < members.size(); ++i) {
        std::vector<const TZipPiece*> pieces;
        for (const TBlock* b : members[i])
            pieces.push_back(&b->piece);
        parts.push_back(JoinZipPieces(SheetPath(i), pieces));
    }
}

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
    const std::time_t created = CreatedTime(c);
    std::vector<TZipEntry> parts;
    try {
        BuildParts(c, parts, created);
    } catch (const std::bad_alloc&) {
        NoteSystemError(ENOMEM);
        return false;
    }
    switch (WriteZip(s, parts, created)) {
    case TZipResult::Ok:
        return true;
    case TZipResult::TooLarge:
        ShowMessage("Die Excel-Arbeitsmappe würde größer als 4 GiB und kann so nicht "
                    "geschrieben werden."_oem);
        return false;
    case TZipResult::WriteFailed:
        break;
    }
    return false;
}

} // namespace vm

#include "live/VmSite.h"

#include "io/VmExport.h"
#include "io/VmTxtExport.h"
#include "io/VmXlsx.h"

#include <cerrno>
#include <cstdio>
#include <cstring>
#include <fcntl.h>
#include <filesystem>
#include <future>
#include <system_error>
#include <set>
#include <sys/stat.h>
#include <unistd.h>

namespace vm {

namespace {

constexpr const char* HtmlType = "text/html; charset=utf-8";

// ---- texts ---------------------------------------------------------------------------

// Stored text (code page 850) as HTML text: every character that could start markup
// or end an attribute value is written as its entity.
void AppendHtml(std::string& out, std::string_view oem) {
    const std::string utf8 = OemToUtf8(oem);
    for (char ch : utf8) {
        switch (ch) {
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
        case '\'':
            out += "&#39;";
            break;
        default:
            out += ch;
        }
    }
}

std::string Html(std::string_view oem) {
    std::string out;
    AppendHtml(out, oem);
    return out;
}

void AppendJsonString(std::string& out, std::string_view oem) {
    const std::string utf8 = OemToUtf8(oem);
    out += '"';
    for (char ch : utf8) {
        const auto b = static_cast<unsigned char>(ch);
        if (ch == '"' || ch == '\\') {
            out += '\\';
            out += ch;
        } else if (b < 0x20) {
            char buf[8];
            std::snprintf(buf, sizeof buf, "\\u%04x", b);
            out += buf;
        } else {
            out += ch;
        }
    }
    out += '"';
}

// Hundredths as a JSON number: 68706 -> 687.06.
std::string Hundredths(long long v) {
    const bool negative = v < 0;
    const unsigned long long a = negative ? 0ULL - static_cast<unsigned long long>(v)
                                          : static_cast<unsigned long long>(v);
    char buf[32];
    std::snprintf(buf, sizeof buf, "%s%llu.%02llu", negative ? "-" : "", a / 100, a % 100);
    return buf;
}

std::string Two(int n) {
    char buf[16];
    std::snprintf(buf, sizeof buf, "%02d", n);
    return buf;
}

std::tm LocalTime(std::time_t t) {
    std::tm tm{};
    localtime_r(&t, &tm);
    return tm;
}

std::string IsoTime(std::time_t t) {
    const std::tm tm = LocalTime(t);
    return IntToText(tm.tm_year + 1900) + "-" + Two(tm.tm_mon + 1) + "-" + Two(tm.tm_mday) + "T" +
           Two(tm.tm_hour) + ":" + Two(tm.tm_min) + ":" + Two(tm.tm_sec);
}

bool Team(const TWettkampf& c) {
    return !IsSingleCompetition(c);
}

std::string EntrantCountText(const TWettkampf& c, int n) {
    if (Team(c)) return IntToText(n) + (n == 1 ? " Mannschaft" : " Mannschaften");
    return IntToText(n) + " Teilnehmer";
}

// The status name of a penalty field in the JSON document; empty for none.
const char* StatusName(int code) {
    switch (code) {
    case PenaltyCode(TStatus::Disq):
        return "disqualifiziert";
    case PenaltyCode(TStatus::NichtAngetretenOW):
        return "nicht_angetreten_ohne_wertung";
    case PenaltyCode(TStatus::NichtAngetreten):
        return "nicht_angetreten";
    case PenaltyCode(TStatus::NichtErreicht):
        return "nicht_erreicht";
    default:
        return "";
    }
}

// ---- the pages -----------------------------------------------------------------------

const char* StyleSheet() {
    return R"(:root{--fg:#1b1f24;--muted:#5b6470;--line:#d7dce2;--accent:#0b5cad;--band:#f3f6f9}
*{box-sizing:border-box}
body{margin:0;font:16px/1.4 system-ui,-apple-system,"Segoe UI",Roboto,sans-serif;color:var(--fg);background:#fff}
header{background:var(--accent);color:#fff;padding:.8rem 1rem}
header h1{margin:0;font-size:1.3rem}
header p{margin:.2rem 0 0}
header a{color:#fff}
main{padding:.8rem 1rem}
ul.ak,.filter{max-width:48rem}
.stand{font-size:.9rem;opacity:.9}
.muted{color:var(--muted)}
ul.ak{list-style:none;margin:0;padding:0}
ul.ak li{border-bottom:1px solid var(--line)}
ul.ak a{display:flex;justify-content:space-between;gap:1rem;padding:.7rem .2rem;text-decoration:none;color:var(--accent)}
ul.ak .n{color:var(--muted);white-space:nowrap}
h2{font-size:1.1rem;margin:1.2rem 0 .4rem}
.scroll{overflow-x:auto;-webkit-overflow-scrolling:touch}
table{border-collapse:collapse;font-size:.9rem}
th,td{padding:.35rem .5rem;border-bottom:1px solid var(--line);text-align:left;white-space:nowrap}
th{background:var(--band);position:sticky;top:0}
td.r,th.r{text-align:right}
tbody tr:nth-child(even){background:#fafbfc}
.filter{width:100%;max-width:24rem;padding:.5rem;font-size:1rem;margin:.3rem 0 .6rem;border:1px solid var(--line);border-radius:4px}
footer{padding:1rem;color:var(--muted);font-size:.8rem}
@media (max-width:40rem){main{padding:.6rem .4rem}th,td{padding:.3rem .3rem}td.w{white-space:normal;min-width:5rem;word-break:break-word}}
)";
}

// Adds a filter box over the table (by name or Gliederung) and keeps the scroll
// position when the page refreshes itself. The pages read well without it.
const char* Script() {
    return R"((function(){
var key='velmora-scroll:'+location.pathname;
try{var y=sessionStorage.getItem(key);if(y!==null)window.scrollTo(0,parseInt(y,10)||0);}catch(e){}
window.addEventListener('beforeunload',function(){try{sessionStorage.setItem(key,String(window.scrollY));}catch(e){}});
var table=document.querySelector('table.erg');
if(!table)return;
var box=document.createElement('input');
box.type='search';box.className='filter';box.placeholder='Filter: Name oder Gliederung';
box.setAttribute('aria-label','Filter nach Name oder Gliederung');
var fkey='velmora-filter:'+location.pathname;
try{box.value=sessionStorage.getItem(fkey)||'';}catch(e){}
table.parentNode.parentNode.insertBefore(box,table.parentNode);
function apply(){
var q=box.value.trim().toLowerCase();
try{sessionStorage.setItem(fkey,box.value);}catch(e){}
var rows=table.tBodies[0].rows;
for(var i=0;i<rows.length;i++){
var r=rows[i],t=(r.getAttribute('data-such')||'').toLowerCase();
r.style.display=(q===''||t.indexOf(q)>=0)?'':'none';}}
box.addEventListener('input',apply);apply();
})();
)";
}

void PageHead(std::string& out, const std::string& title) {
    out += "<!DOCTYPE html>\n<html lang=\"de\">\n<head>\n<meta charset=\"utf-8\">\n"
           "<meta name=\"viewport\" content=\"width=device-width, initial-scale=1\">\n"
           "<meta http-equiv=\"refresh\" content=\"60\">\n<title>";
    out += title;
    out += "</title>\n<link rel=\"stylesheet\" href=\"velmora.css\">\n</head>\n<body>\n";
}

void PageFoot(std::string& out) {
    out += "<footer>Live-Ergebnisse, erstellt mit Velmora. Die Seite erneuert sich jede "
           "Minute.</footer>\n<script src=\"velmora.js\" defer></script>\n</body>\n</html>\n";
}

std::string CompetitionLine(const TWettkampf& c) {
    std::string line;
    for (std::string_view part : {c.Header.Datum.View(), c.Header.Veranstaltungsstaette.View()}) {
        if (part.empty()) continue;
        if (!line.empty()) line += " · ";
        line += Html(part);
    }
    return line;
}

std::string IndexPage(const TWettkampf& c, const std::string& stand, bool workbook) {
    std::string out;
    const std::string title = Html(c.Header.Veranstaltung.View());
    PageHead(out, (title.empty() ? std::string() : title + " – ") + "Live-Ergebnisse");
    out += "<header>\n<h1>" + (title.empty() ? std::string("Live-Ergebnisse") : title) + "</h1>\n";
    const std::string line = CompetitionLine(c);
    if (!line.empty()) out += "<p>" + line + "</p>\n";
    out += "<p class=\"stand\">Stand: " + stand + "</p>\n</header>\n<main>\n";
    out += "<h2>Altersklassen</h2>\n";
    bool any = false;
    for (int i = 0; i < c.Count(); ++i) {
        const TAltersklasse& ac = *c.At(i);
        if (ac.Count() == 0) continue;
        if (!any) out += "<ul class=\"ak\">\n";
        any = true;
        out += "<li><a href=\"" + AgeClassPageName(i + 1) + "\"><span>" +
               Html(ac.Name()) + "</span><span class=\"n\">" +
               EntrantCountText(c, ac.Count()) + "</span></a></li>\n";
    }
    out += any ? "</ul>\n" : "<p class=\"muted\">Noch keine Teilnehmer gemeldet.</p>\n";
    out += "<h2>Downloads</h2>\n<ul>\n"
           "<li><a href=\"ergebnisse.csv\">Ergebnisse als CSV (Semikolon, UTF-8)</a></li>\n";
    if (workbook)
        out += "<li><a href=\"ergebnisse.xlsx\">Ergebnisse als Excel-Arbeitsmappe</a></li>\n";
    out += "<li><a href=\"ergebnisse.json\">Ergebnisse als JSON</a></li>\n</ul>\n</main>\n";
    PageFoot(out);
    return out;
}

void Cell(std::string& out, std::string_view oem, bool right = false, bool wraps = false) {
    out += right ? "<td class=\"r\">" : wraps ? "<td class=\"w\">" : "<td>";
    AppendHtml(out, oem);
    out += "</td>";
}

// The time column of a discipline as the printed list shows it: the status mark in
// place of the time, nothing where no result was entered yet.
std::string TimeCell(const TTeilnehmer& p, int k, bool hundredths) {
    const auto i = static_cast<std::size_t>(k);
    if (p.Abzug[i] < 0) return StatusMark(p.Abzug[i]);
    if (p.Zeit[i] == 0 && p.Abzug[i] == 0) return "";
    return TimeToText(p.Zeit[i], hundredths);
}

std::string AgeClassPage(const TWettkampf& c, const TAltersklasse& ac, const std::string& stand,
                         const TSiteOptions& options) {
    std::string out;
    out.reserve(static_cast<std::size_t>(ac.Count()) * 400 + 4096);
    const bool team = Team(c), hundredths = WithHundredths(c), hlw = HasHLW(ac);
    const int disciplines = ac.Data.DisciplineCount();
    const std::string acTitle = Html(AgeClassTitle(ac, true));
    PageHead(out, acTitle + " – " + Html(c.Header.Veranstaltung.View()));
    out += "<header>\n<p><a href=\"index.html\">← Übersicht</a></p>\n<h1>" + acTitle + "</h1>\n";
    if (!c.Header.Veranstaltung.View().empty())
        out += "<p>" + Html(c.Header.Veranstaltung.View()) + "</p>\n";
    out += "<p class=\"stand\">Stand: " + stand + " · " + EntrantCountText(c, ac.Count());
    auto changed = options.LastChange.find(ac.Name());
    if (changed != options.LastChange.end())
        out += "<br>Letzte Änderung: " + SiteTimeText(changed->second);
    out += "</p>\n</header>\n<main>\n<div class=\"scroll\">\n<table class=\"erg\">\n<thead>\n<tr>";
    out += "<th class=\"r\">Pl.</th>";
    out += team ? "<th>Mannschaft</th><th>Zusatz</th>" : "<th>Name</th><th>Vorname</th>";
    out += "<th>Gliederung</th><th class=\"r\">Punkte</th>";
    for (int k = 0; k < disciplines; ++k) {
        out += "<th class=\"r\">";
        AppendHtml(out, ac.Discipline(k).Bezeichnung.View());
        out += "</th><th class=\"r\">Pkt.</th>";
    }
    if (hlw) out += "<th class=\"r\">HLW</th>";
    out += "</tr>\n</thead>\n<tbody>\n";
    for (const TTeilnehmer& p : ac) {
        out += "<tr data-such=\"";
        AppendHtml(out, p.NameKey());
        out += ' ';
        AppendHtml(out, team ? p.Zusatz() : p.Vorname());
        out += ' ';
        AppendHtml(out, p.Gliederung.View());
        out += "\">";
        Cell(out, FieldText(p, "PLATZ", hundredths), true);
        if (team) {
            Cell(out, p.Mannschaft(), false, true);
            Cell(out, p.Zusatz(), false, true);
        } else {
            Cell(out, p.Name(), false, true);
            Cell(out, p.Vorname(), false, true);
        }
        Cell(out, p.Gliederung.View());
        Cell(out, FieldText(p, "GESAMTPKT", hundredths), true);
        for (int k = 0; k < disciplines; ++k) {
            Cell(out, TimeCell(p, k, hundredths), true);
            const auto i = static_cast<std::size_t>(k);
            Cell(out, p.Abzug[i] < 0 ? std::string() : PointsToText(p.Punkte[i], 2), true);
        }
        if (hlw) Cell(out, p.HLWPunkte == 0 ? std::string() : FieldText(p, "HLW", hundredths), true);
        out += "</tr>\n";
    }
    out += "</tbody>\n</table>\n</div>\n</main>\n";
    PageFoot(out);
    return out;
}

void JsonField(std::string& out, const char* name, std::string_view oem, bool comma = true) {
    out += '"';
    out += name;
    out += "\":";
    AppendJsonString(out, oem);
    if (comma) out += ',';
}

void JsonStatus(std::string& out, int code) {
    const char* name = StatusName(code);
    if (*name) {
        out += '"';
        out += name;
        out += '"';
    } else {
        out += "null";
    }
}

const char* Bool(bool b) {
    return b ? "true" : "false";
}

} // namespace

// ---- site ------------------------------------------------------------------------------

const TSiteFile* TSite::Find(std::string_view name) const {
    auto it = index_.find(name);
    return it == index_.end() ? nullptr : &Files[it->second];
}

void TSite::Add(TSiteFile file) {
    index_[file.Name] = Files.size();
    Files.push_back(std::move(file));
}

std::string AgeClassPageName(int position) {
    return "ak-" + IntToText(position) + ".html";
}

bool IsAgeClassPageName(std::string_view name) {
    if (name.size() < 9 || name.substr(0, 3) != "ak-" || name.substr(name.size() - 5) != ".html")
        return false;
    const std::string_view digits = name.substr(3, name.size() - 8);
    for (char ch : digits)
        if (ch < '0' || ch > '9') return false;
    return !digits.empty();
}

std::string SiteTimeText(std::time_t t) {
    const std::tm tm = LocalTime(t);
    return Two(tm.tm_mday) + "." + Two(tm.tm_mon + 1) + "." + IntToText(tm.tm_year + 1900) + ", " +
           Two(tm.tm_hour) + ":" + Two(tm.tm_min) + " Uhr";
}

std::string SiteJson(const TWettkampf& c, std::time_t now) {
    std::string out;
    out.reserve(ExportRowCount(c) * 420 + 4096);
    const bool team = Team(c), hundredths = WithHundredths(c);
    out += "{\"format\":\"velmora-ergebnisse\",\"version\":" + IntToText(SiteJsonVersion) +
           ",\"stand\":\"" + IsoTime(now) + "\",\n\"wettkampf\":{";
    JsonField(out, "veranstaltung", c.Header.Veranstaltung.View());
    JsonField(out, "veranstalter", c.Header.Veranstalter.View());
    JsonField(out, "ausrichter", c.Header.Ausrichter.View());
    JsonField(out, "datum", c.Header.Datum.View());
    JsonField(out, "ort", c.Header.Veranstaltungsstaette.View());
    out += "\"art\":\"";
    out += team ? "mannschaft" : "einzel";
    out += "\",\"hundertstel\":";
    out += Bool(hundredths);
    out += "},\n\"altersklassen\":[";
    bool firstAc = true;
    for (int i = 0; i < c.Count(); ++i) {
        const TAltersklasse& ac = *c.At(i);
        if (!firstAc) out += ',';
        firstAc = false;
        out += "\n{\"nummer\":" + IntToText(i + 1) + ",";
        JsonField(out, "name", ac.Name());
        out += "\"weiblich\":";
        out += Bool(IsFemale(ac));
        out += ",\"jahrgangVon\":" + IntToText(ac.Data.JahrgangVon) +
               ",\"jahrgangBis\":" + IntToText(ac.Data.JahrgangBis) + ",\"hlw\":" + Bool(HasHLW(ac)) +
               ",\"seite\":";
        out += ac.Count() > 0 ? "\"" + AgeClassPageName(i + 1) + "\"" : std::string("null");
        out += ",\"disziplinen\":[";
        const int disciplines = ac.Data.DisciplineCount();
        for (int k = 0; k < disciplines; ++k) {
            if (k) out += ',';
            out += "{\"nummer\":" + IntToText(k + 1) + ",";
            JsonField(out, "name", ac.Discipline(k).Bezeichnung.View(), false);
            out += '}';
        }
        out += "],\"teilnehmer\":[";
        bool firstP = true;
        for (const TTeilnehmer& p : ac) {
            if (!firstP) out += ',';
            firstP = false;
            out += "\n{\"platz\":";
            out += p.Gesamtpunkte > 0 && !p.Has(tnAusserKonkurrenz) ? IntToText(p.Platz)
                                                                    : std::string("null");
            out += ",\"ausserKonkurrenz\":";
            out += Bool(p.Has(tnAusserKonkurrenz));
            out += ',';
            if (team) {
                JsonField(out, "mannschaft", p.Mannschaft());
                JsonField(out, "zusatz", p.Zusatz());
            } else {
                JsonField(out, "name", p.Name());
                JsonField(out, "vorname", p.Vorname());
                JsonField(out, "geburtsdatum", p.Geburtsdatum());
            }
            JsonField(out, "gliederung", p.Gliederung.View());
            out += "\"gesamtpunkte\":" + Hundredths(p.Gesamtpunkte) + ",\"disziplinen\":[";
            for (int k = 0; k < disciplines; ++k) {
                const auto j = static_cast<std::size_t>(k);
                if (k) out += ',';
                const bool entered = p.Zeit[j] != 0 || p.Abzug[j] != 0;
                out += "{\"zeit\":";
                if (entered && p.Abzug[j] >= 0)
                    AppendJsonString(out, TimeToText(p.Zeit[j], hundredths));
                else
                    out += "null";
                out += ",\"zeitHundertstel\":" + IntToText(p.Zeit[j]) + ",\"strafpunkte\":" +
                       IntToText(p.Abzug[j] < 0 ? 0 : p.Abzug[j]) + ",\"status\":";
                JsonStatus(out, p.Abzug[j]);
                out += ",\"punkte\":" + Hundredths(p.Abzug[j] < 0 ? 0 : p.Punkte[j]) +
                       ",\"lauf\":" + IntToText(p.Lauf[j]) + ",\"bahn\":" + IntToText(p.Bahn[j]) +
                       "}";
            }
            out += "]";
            if (HasHLW(ac)) {
                out += ",\"hlw\":{\"punkte\":" + Hundredths(p.HLWPunkte < 0 ? 0 : p.HLWPunkte) +
                       ",\"status\":";
                JsonStatus(out, p.HLWPunkte < 0 ? p.HLWPunkte / 100 : 0);
                out += "}";
            }
            out += "}";
        }
        out += "]}";
    }
    out += "\n]}\n";
    return out;
}

std::unique_ptr<TSite> RenderSite(const TWettkampf& c, const TSiteOptions& options) {
    auto site = std::make_unique<TSite>();
    const std::time_t now = options.Now ? options.Now : std::time(nullptr);
    const std::string stand = SiteTimeText(now);

    // The workbook costs the most; it is built on a second thread beside the pages.
    // Both only read the competition.
    TMemoryStream xlsx;
    std::future<bool> book;
    bool bookHere = false; // the system gave no thread for it: built below
    if (options.Workbook) {
        try {
            book = std::async(std::launch::async, [&c, &xlsx] { return ExportXlsx(c, xlsx); });
        } catch (const std::system_error&) {
            bookHere = true;
        }
    }

    TMemoryStream csv;
    TTextExportOptions text;
    text.Charset = TTextExportOptions::csUtf8;
    text.Separator = ';';
    ExportText(c, csv, text);
    std::vector<std::pair<int, std::string>> pages;
    for (int i = 0; i < c.Count(); ++i)
        if (c.At(i)->Count() > 0) pages.emplace_back(i + 1, AgeClassPage(c, *c.At(i), stand, options));
    std::string json = SiteJson(c, now);

    const bool workbook = bookHere ? ExportXlsx(c, xlsx) : book.valid() && book.get();

    site->Add({"index.html", HtmlType, IndexPage(c, stand, workbook)});
    for (auto& [position, page] : pages)
        site->Add({AgeClassPageName(position), HtmlType, std::move(page)});
    site->Add({"velmora.css", "text/css; charset=utf-8", StyleSheet()});
    site->Add({"velmora.js", "text/javascript; charset=utf-8", Script()});
    site->Add({"ergebnisse.csv", "text/csv; charset=utf-8", csv.Data()});
    if (workbook)
        site->Add({"ergebnisse.xlsx",
                   "application/vnd.openxmlformats-officedocument.spreadsheetml.sheet",
                   xlsx.Data()});
    site->Add({"ergebnisse.json", "application/json; charset=utf-8", std::move(json)});
    return site;
}

// ---- publishing ----------------------------------------------------------------------------

namespace {

std::string Reason(int error) {
    return std::strerror(error);
}

// Writes `body` to a fresh temporary name in `dir`, then renames it to `name`.
bool WriteAtomically(const std::filesystem::path& dir, const TSiteFile& file, int& error) {
    const std::string target = (dir / file.Name).string();
    std::string temp = (dir / ("." + file.Name + ".XXXXXX")).string();
    const int fd = ::mkstemp(temp.data());
    if (fd < 0) {
        error = errno;
        return false;
    }
    // A published page is read by the web server, whatever umask the writer runs under.
    ::fchmod(fd, 0644);
    const char* p = file.Body.data();
    std::size_t left = file.Body.size();
    bool ok = true;
    while (left > 0) {
        const ssize_t n = ::write(fd, p, left);
        if (n < 0) {
            if (errno == EINTR) continue;
            error = errno;
            ok = false;
            break;
        }
        p += n;
        left -= static_cast<std::size_t>(n);
    }
    if (::close(fd) != 0 && ok) {
        error = errno;
        ok = false;
    }
    if (ok && std::rename(temp.c_str(), target.c_str()) != 0) {
        error = errno;
        ok = false;
    }
    if (!ok) ::unlink(temp.c_str());
    return ok;
}

} // namespace

bool PublishSite(const TSite& site, const std::string& dir, std::string& message) {
    namespace fs = std::filesystem;
    const std::string& shown = dir;
    std::error_code ec;
    const fs::path folder(dir);
    fs::create_directories(folder, ec);
    if (ec || !fs::is_directory(folder, ec)) {
        message = "Der Ordner " + shown + " kann nicht angelegt werden: " +
                  (ec ? ec.message() : std::string("kein Ordner"));
        return false;
    }
    std::set<std::string> written;
    for (const TSiteFile& file : site.Files) {
        int error = 0;
        if (!WriteAtomically(folder, file, error)) {
            message = "In den Ordner " + shown + " kann nicht geschrieben werden (" + file.Name +
                      "): " + Reason(error);
            return false;
        }
        written.insert(file.Name);
    }
    // Pages of age classes that no longer have participants (or no longer exist).
    for (fs::directory_iterator it(folder, ec), end; !ec && it != end; it.increment(ec)) {
        const std::string name = it->path().filename().string();
        if (IsAgeClassPageName(name) && !written.count(name) && it->is_regular_file(ec))
            fs::remove(it->path(), ec);
    }
    return true;
}

} // namespace vm

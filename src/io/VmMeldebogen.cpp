#include "io/VmMeldebogen.h"

#include "file/VmErg.h"
#include "model/VmUtf8.h"

#include <xlsxwriter.h>

#include <algorithm>
#include <array>
#include <cerrno>
#include <cstdio>
#include <filesystem>
#include <map>
#include <set>
#include <unistd.h>

#if defined(__SANITIZE_ADDRESS__)
#define VM_LEAK_CHECKED 1
#elif defined(__has_feature)
#if __has_feature(address_sanitizer)
#define VM_LEAK_CHECKED 1
#endif
#endif
#ifdef VM_LEAK_CHECKED
#include <sanitizer/lsan_interface.h>
#endif

namespace vm {

namespace {

// ---- columns --------------------------------------------------------------------------

enum TField { fName, fVorname, fJahrgang, fMannschaft, fZusatz, fGeschlecht, fAltersklasse,
              fGliederung, fCount };

const char* const kCaption[fCount] = {"Name",   "Vorname",    "Jahrgang",     "Mannschaft",
                                      "Zusatz", "Geschlecht", "Altersklasse", "Gliederung"};

std::vector<TField> FieldsOf(bool team) {
    if (team) return {fMannschaft, fZusatz, fGeschlecht, fAltersklasse, fGliederung};
    return {fName, fVorname, fJahrgang, fGeschlecht, fAltersklasse, fGliederung};
}

// Capacities of the stored fields (characters of code page 850).
std::size_t Capacity(TField f) {
    switch (f) {
    case fName:
    case fVorname:
        return 20;
    case fMannschaft:
        return 30;
    case fZusatz:
        return 21;
    case fGliederung:
        return 5;
    default:
        return 30;
    }
}

std::string Trim(std::string_view s) {
    // Blanks, tabs, line breaks and the no-break space a spreadsheet likes to keep.
    auto blank = [](std::string_view t, std::size_t i, bool back) -> std::size_t {
        if (back) {
            if (t.size() >= 2 && t.substr(t.size() - 2) == "\xC2\xA0") return 2;
            const char ch = t.back();
            return ch == ' ' || ch == '\t' || ch == '\r' || ch == '\n' ? 1 : 0;
        }
        if (t.substr(i, 2) == "\xC2\xA0") return 2;
        const char ch = t[i];
        return ch == ' ' || ch == '\t' || ch == '\r' || ch == '\n' ? 1 : 0;
    };
    while (!s.empty()) {
        const std::size_t n = blank(s, 0, false);
        if (n == 0) break;
        s.remove_prefix(n);
    }
    while (!s.empty()) {
        const std::size_t n = blank(s, 0, true);
        if (n == 0) break;
        s.remove_suffix(n);
    }
    return std::string(s);
}

std::string LowerAscii(std::string_view s) {
    std::string out(s);
    for (char& ch : out)
        if (ch >= 'A' && ch <= 'Z') ch = static_cast<char>(ch - 'A' + 'a');
    return out;
}

// The field a header cell names; fCount for none.
TField HeaderField(std::string_view cell) {
    const std::string h = LowerAscii(Trim(cell));
    if (h.rfind("jahrgang", 0) == 0 || h.rfind("geburtsdatum", 0) == 0) return fJahrgang;
    for (int f = 0; f < fCount; ++f)
        if (h == LowerAscii(kCaption[f])) return static_cast<TField>(f);
    return fCount;
}

struct THeader {
    int row = 0;
    std::array<int, fCount> column{}; // -1 when the sheet has no such column
    bool team = false;
    bool ok = false;
};

THeader FindHeader(const TEntrySheet& sheet) {
    THeader h;
    h.column.fill(-1);
    if (sheet.rows.empty()) return h;
    const TXlsxRow& first = sheet.rows.front();
    h.row = first.number;
    for (std::size_t k = 0; k < first.cells.size(); ++k) {
        const TField f = HeaderField(first.cells[k]);
        if (f != fCount && h.column[f] < 0) h.column[f] = static_cast<int>(k);
    }
    h.team = h.column[fMannschaft] >= 0 && h.column[fName] < 0;
    h.ok = h.column[fAltersklasse] >= 0 &&
           (h.team || (h.column[fName] >= 0 && h.column[fJahrgang] >= 0));
    return h;
}

// ---- code pages -----------------------------------------------------------------------


// A CSV from a spreadsheet that is not UTF-8 is Windows 1252; its five undefined bytes
// become U+FFFD, which the row check then refuses as a character that cannot be kept.
std::string Win1252ToUtf8(std::string_view text) {
    static const std::uint16_t high[32] = {
        0x20AC, 0xFFFD, 0x201A, 0x0192, 0x201E, 0x2026, 0x2020, 0x2021, 0x02C6, 0x2030, 0x0160,
        0x2039, 0x0152, 0xFFFD, 0x017D, 0xFFFD, 0xFFFD, 0x2018, 0x2019, 0x201C, 0x201D, 0x2022,
        0x2013, 0x2014, 0x02DC, 0x2122, 0x0161, 0x203A, 0x0153, 0xFFFD, 0x017E, 0x0178,
    };
    std::string out;
    out.reserve(text.size() + text.size() / 8);
    for (char ch : text) {
        const auto b = static_cast<std::uint8_t>(ch);
        AppendUtf8(out, b >= 0x80 && b < 0xA0 ? high[b - 0x80] : b);
    }
    return out;
}

// The text in code page 850 through the conversion every import uses. `refused` gets
// the first character that the result file cannot store (empty when there is none).
std::string ToStored(const std::string& utf8, std::string& refused) {
    bool bad = false;
    std::string oem = DecodeToOem(utf8, TTextEncoding::Utf8, &bad);
    refused.clear();
    if (bad) {
        // Name the character: the first one that does not convert on its own.
        for (std::size_t i = 0; i < utf8.size();) {
            std::size_t len = 1;
            const auto b = static_cast<std::uint8_t>(utf8[i]);
            if (b >= 0xF0) len = 4;
            else if (b >= 0xE0) len = 3;
            else if (b >= 0xC0) len = 2;
            len = std::min(len, utf8.size() - i);
            bool one = false;
            DecodeToOem(std::string_view(utf8).substr(i, len), TTextEncoding::Utf8, &one);
            if (one) {
                refused = utf8.substr(i, len);
                break;
            }
            i += len;
        }
        if (refused.empty()) refused = "?";
    }
    return oem;
}

std::string Quoted(std::string_view s) {
    return "„" + std::string(s) + "“";
}

// ---- CSV ------------------------------------------------------------------------------

char GuessSeparator(std::string_view text) {
    int semi = 0, comma = 0, tab = 0;
    bool quoted = false;
    for (char ch : text) {
        if (ch == '"') quoted = !quoted;
        if (quoted) continue;
        if (ch == '\n') break;
        if (ch == ';') ++semi;
        if (ch == ',') ++comma;
        if (ch == '\t') ++tab;
    }
    if (tab > semi && tab > comma) return '\t';
    return comma > semi ? ',' : ';';
}

// Records of a CSV text, each numbered as the spreadsheet's row it came from; quoted
// fields may hold separators, doubled quotes and line breaks.
std::vector<TXlsxRow> ParseCsv(std::string_view text) {
    const char sep = GuessSeparator(text);
    std::vector<TXlsxRow> rows;
    TXlsxRow row;
    row.number = 1;
    std::string field;
    bool quoted = false, anyText = false;
    auto endField = [&] {
        if (!field.empty()) anyText = true;
        row.cells.push_back(std::move(field));
        field.clear();
    };
    auto endRecord = [&] {
        endField();
        const int number = row.number;
        if (anyText) rows.push_back(std::move(row));
        row = TXlsxRow{};
        row.number = number + 1;
        anyText = false;
    };
    for (std::size_t i = 0; i < text.size(); ++i) {
        const char ch = text[i];
        if (quoted) {
            if (ch == '"') {
                if (i + 1 < text.size() && text[i + 1] == '"') {
                    field += '"';
                    ++i;
                } else {
                    quoted = false;
                }
            } else {
                field += ch;
            }
        } else if (ch == '"' && field.empty()) {
            quoted = true;
        } else if (ch == sep) {
            endField();
        } else if (ch == '\n') {
            endRecord();
        } else if (ch != '\r') {
            field += ch;
        }
    }
    if (!field.empty() || !row.cells.empty()) endRecord();
    return rows;
}

std::string_view WithoutBom(std::string_view bytes) {
    if (bytes.substr(0, 3) == "\xEF\xBB\xBF") bytes.remove_prefix(3);
    return bytes;
}

std::string CsvText(std::string_view bytes) {
    bytes = WithoutBom(bytes);
    return IsUtf8(bytes) ? std::string(bytes) : Win1252ToUtf8(bytes);
}

constexpr std::size_t kMaxFileBytes = 32u << 20;

// ---- the row checks -------------------------------------------------------------------

struct TRowData {
    int row = 0;
    std::array<std::string, fCount> cell; // UTF-8, trimmed
    // What the row becomes, in code page 850.
    std::string name, vorname, birth, mannschaft, zusatz, glied;
    int year = -1;
    bool female = false;
    const TAltersklasse* target = nullptr;
    // The entry it updates, and the class that entry is in; nullptr for a new one.
    const TTeilnehmer* existing = nullptr;
    const TAltersklasse* existingClass = nullptr;
    bool changes = false;
    bool bad = false;
};

std::string Key(std::string_view ageClass, std::string_view a, std::string_view b, int year) {
    std::string k = UpperText(ageClass);
    k += '\x01';
    k += UpperText(a);
    k += '\x01';
    k += UpperText(b);
    k += '\x01';
    k += std::to_string(year);
    return k;
}

// A four-digit year of birth, or a date (TT.MM.JJJJ, T.M.JJJJ, JJJJ-MM-TT with an
// optional time) read for its year; `date` gets the date as TT.MM.JJJJ.
bool ParseBirth(std::string_view s, int& year, std::string& date) {
    auto digits = [](std::string_view t) {
        return !t.empty() && std::all_of(t.begin(), t.end(), [](char ch) {
            return ch >= '0' && ch <= '9';
        });
    };
    auto num = [](std::string_view t) {
        int v = 0;
        for (char ch : t)
            v = v * 10 + (ch - '0');
        return v;
    };
    date.clear();
    if (s.size() == 4 && digits(s)) {
        year = num(s);
        return true;
    }
    int d = 0, m = 0, y = 0;
    if (s.size() >= 10 && s[4] == '-' && s[7] == '-' && digits(s.substr(0, 4)) &&
        digits(s.substr(5, 2)) && digits(s.substr(8, 2)) && (s.size() == 10 || s[10] == 'T' || s[10] == ' ')) {
        y = num(s.substr(0, 4));
        m = num(s.substr(5, 2));
        d = num(s.substr(8, 2));
    } else {
        const std::size_t p1 = s.find('.');
        const std::size_t p2 = p1 == std::string_view::npos ? p1 : s.find('.', p1 + 1);
        if (p2 == std::string_view::npos) return false;
        const std::string_view ds = s.substr(0, p1), ms = s.substr(p1 + 1, p2 - p1 - 1),
                               ys = s.substr(p2 + 1);
        if (!digits(ds) || !digits(ms) || !digits(ys) || ds.size() > 2 || ms.size() > 2 ||
            ys.size() != 4)
            return false;
        d = num(ds);
        m = num(ms);
        y = num(ys);
    }
    static const int days[] = {31, 29, 31, 30, 31, 30, 31, 31, 30, 31, 30, 31};
    if (m < 1 || m > 12 || d < 1 || d > days[m - 1]) return false;
    if (m == 2 && d == 29 && !(y % 4 == 0 && (y % 100 != 0 || y % 400 == 0))) return false;
    year = y;
    char buf[40];
    std::snprintf(buf, sizeof buf, "%02d.%02d.%04d", d, m, y);
    date = buf;
    return true;
}

enum class TSex { Unknown, Female, Male, Bad };

TSex ParseSex(std::string_view s) {
    const std::string t = LowerAscii(s);
    if (t.empty()) return TSex::Unknown;
    if (t == "w" || t == "weiblich") return TSex::Female;
    if (t == "m" || t == "männlich" || t == "maennlich" || t == "mannlich") return TSex::Male;
    return TSex::Bad;
}

class TChecker {
public:
    TChecker(const TWettkampf& c, const TEntrySheet& sheet) : c_(c), sheet_(sheet) {}

    TEntryReport Run(std::vector<TRowData>& rows) {
        TEntryReport r;
        const THeader h = FindHeader(sheet_);
        if (!h.ok) {
            r.read = false;
            r.failure = "Das Tabellenblatt „Meldungen“ hat keine Kopfzeile eines Meldebogens "
                        "(Name, Vorname, Jahrgang, Geschlecht, Altersklasse, Gliederung); die "
                        "Datei ist kein Meldebogen.";
            return r;
        }
        const bool team = !IsSingleCompetition(c_);
        if (h.team != team) {
            r.read = false;
            r.failure = h.team ? "Der Meldebogen ist für einen Mannschaftswettkampf, der "
                                 "Wettkampf ist ein Einzelwettkampf."
                               : "Der Meldebogen ist für einen Einzelwettkampf, der Wettkampf "
                                 "ist ein Mannschaftswettkampf.";
            return r;
        }
        IndexCompetition(team);
        std::map<std::string, int> seen; // key -> row
        std::set<std::string> noted;
        for (const TXlsxRow& in : sheet_.rows) {
            if (in.number <= h.row) continue;
            TRowData d;
            d.row = in.number;
            bool empty = true;
            for (int f = 0; f < fCount; ++f) {
                const int k = h.column[static_cast<std::size_t>(f)];
                if (k >= 0 && static_cast<std::size_t>(k) < in.cells.size())
                    d.cell[static_cast<std::size_t>(f)] = Trim(in.cells[static_cast<std::size_t>(k)]);
                // A Gliederung filled in beforehand does not make an entry.
                if (f != fGliederung && !d.cell[static_cast<std::size_t>(f)].empty()) empty = false;
            }
            if (empty) continue;
            const std::size_t errorsBefore = r.errors.size();
            CheckRow(d, team, r);
            if (r.errors.size() == errorsBefore) {
                const std::string key = team ? Key(d.target->Name(), d.mannschaft, d.zusatz, 0)
                                             : Key(d.target->Name(), d.name, d.vorname, d.year);
                const auto [it, fresh] = seen.emplace(key, d.row);
                if (!fresh)
                    Error(r, d, team ? fMannschaft : fName,
                          "dieselbe Meldung wie in Zeile " + std::to_string(it->second) + ".");
                else
                    Match(d, key);
            }
            d.bad = r.errors.size() != errorsBefore;
            if (d.bad) {
                ++r.rowsWithErrors;
                continue;
            }
            if (!d.glied.empty() && !Known(d.glied) && noted.insert(d.glied).second)
                r.notes.push_back("Gliederung " + Quoted(OemToUtf8(d.glied)) +
                                  " ist im Wettkampf noch nicht bekannt (Zeile " +
                                  std::to_string(d.row) + ").");
            if (!d.existing)
                ++r.added;
            else if (d.changes)
                ++r.changed;
            else
                ++r.unchanged;
            rows.push_back(std::move(d));
        }
        return r;
    }

private:
    void Error(TEntryReport& r, const TRowData& d, TField f, std::string text) {
        r.errors.push_back({d.row, kCaption[f], std::move(text)});
    }

    // A text field in code page 850, with its checks: storable and within capacity.
    bool Text(TEntryReport& r, const TRowData& d, TField f, std::string& out) {
        const std::string& v = d.cell[f];
        std::string refused;
        out = ToStored(v, refused);
        if (!refused.empty()) {
            Error(r, d, f, "das Zeichen " + Quoted(refused) + " kann nicht gespeichert werden.");
            return false;
        }
        if (out.size() > Capacity(f)) {
            Error(r, d, f,
                  Quoted(v) + " ist länger als " +
                      (f == fGliederung ? std::string("fünf") : std::to_string(Capacity(f))) +
                      " Zeichen.");
            return false;
        }
        return true;
    }

    void CheckRow(TRowData& d, bool team, TEntryReport& r) {
        const std::size_t before = r.errors.size();
        if (team) {
            if (d.cell[fMannschaft].empty())
                Error(r, d, fMannschaft, "fehlt.");
            else
                Text(r, d, fMannschaft, d.mannschaft);
            Text(r, d, fZusatz, d.zusatz);
        } else {
            if (d.cell[fName].empty())
                Error(r, d, fName, "fehlt.");
            else
                Text(r, d, fName, d.name);
            Text(r, d, fVorname, d.vorname);
        }
        if (Text(r, d, fGliederung, d.glied)) d.glied = UpperCode(d.glied);

        bool yearOk = team;
        if (!team) {
            const std::string& y = d.cell[fJahrgang];
            std::string date;
            if (y.empty()) {
                Error(r, d, fJahrgang, "fehlt.");
            } else if (!ParseBirth(y, d.year, date)) {
                Error(r, d, fJahrgang, Quoted(y) + " ist weder ein vierstelliges Jahr noch ein Datum.");
            } else if (d.year < 1800 || d.year > CurrentYear()) {
                Error(r, d, fJahrgang, std::to_string(d.year) + " ist kein mögliches Geburtsjahr.");
            } else {
                yearOk = true;
                d.birth = date.empty() ? std::to_string(d.year) : date;
            }
        }

        const TSex sex = ParseSex(d.cell[fGeschlecht]);
        if (sex == TSex::Bad) {
            Error(r, d, fGeschlecht, Quoted(d.cell[fGeschlecht]) + " ist weder w noch m.");
            return;
        }
        const std::string& akText = d.cell[fAltersklasse];
        if (akText.empty()) {
            if (team) {
                Error(r, d, fAltersklasse, "fehlt.");
                return;
            }
            if (sex == TSex::Unknown) {
                Error(r, d, fGeschlecht, "fehlt; ohne Altersklasse ist es nötig.");
                return;
            }
            if (!yearOk) return;
            // The class the year and sex point to, as the text import finds it.
            for (const TAltersklasse& ac : c_)
                if (IsFemale(ac) == (sex == TSex::Female) && ac.Data.JahrgangVon <= d.year &&
                    d.year <= ac.Data.JahrgangBis) {
                    d.target = &ac;
                    break;
                }
            if (!d.target)
                Error(r, d, fJahrgang, std::to_string(d.year) + " passt zu keiner Altersklasse.");
        } else {
            std::string refused;
            const std::string name = UpperText(ToStored(akText, refused));
            std::vector<const TAltersklasse*> named;
            for (const TAltersklasse& ac : c_)
                if (refused.empty() && UpperText(ac.Name()) == name) named.push_back(&ac);
            if (named.empty()) {
                Error(r, d, fAltersklasse, Quoted(akText) + " gibt es in diesem Wettkampf nicht.");
                return;
            }
            if (sex == TSex::Unknown) {
                if (named.size() > 1) {
                    Error(r, d, fGeschlecht, "fehlt.");
                    return;
                }
                d.target = named.front();
            } else {
                for (const TAltersklasse* ac : named)
                    if (IsFemale(*ac) == (sex == TSex::Female)) d.target = ac;
                if (!d.target) {
                    Error(r, d, fGeschlecht,
                          Quoted(d.cell[fGeschlecht]) + " passt nicht zur Altersklasse " +
                              Quoted(akText) + ".");
                    return;
                }
            }
            if (!team && yearOk &&
                (d.year < d.target->Data.JahrgangVon || d.year > d.target->Data.JahrgangBis))
                Error(r, d, fJahrgang,
                      std::to_string(d.year) + " passt nicht zur Altersklasse " +
                          Quoted(akText) + " (" + std::to_string(d.target->Data.JahrgangVon) +
                          " - " + std::to_string(d.target->Data.JahrgangBis) + ").");
        }
        if (d.target) d.female = IsFemale(*d.target);
        if (r.errors.size() != before) d.target = nullptr;
    }

    void IndexCompetition(bool team) {
        for (const TAltersklasse& ac : c_)
            for (const TTeilnehmer& p : ac) {
                if (!p.Gliederung.Empty()) known_.insert(p.Gliederung.Get());
                const std::string key = team ? Key(ac.Name(), p.Mannschaft(), p.Zusatz(), 0)
                                             : Key(ac.Name(), p.Name(), p.Vorname(),
                                                   FullBirthYear(c_, p));
                existing_.emplace(key, std::make_pair(&ac, &p));
            }
        for (const TGliederungStat& g : c_.Gliederungen)
            known_.insert(g.Kurz.Get());
        for (const std::string& code : ProgramGliederungCodes())
            known_.insert(Utf8ToOem(code));
    }

    bool Known(const std::string& glied) const { return known_.count(glied) > 0; }

    void Match(TRowData& d, const std::string& key) {
        const auto it = existing_.find(key);
        if (it == existing_.end()) return;
        d.existingClass = it->second.first;
        d.existing = it->second.second;
        const bool newGlied = !d.glied.empty() && d.glied != d.existing->Gliederung.Get();
        d.changes = d.existingClass != d.target || newGlied;
    }

    const TWettkampf& c_;
    const TEntrySheet& sheet_;
    std::map<std::string, std::pair<const TAltersklasse*, const TTeilnehmer*>> existing_;
    std::set<std::string> known_;
};

TAltersklasse& Mutable(TWettkampf& c, const TAltersklasse* ac) {
    return *c.At(c.IndexOf(ac));
}

void Apply(TWettkampf& c, std::vector<TRowData>& rows, bool team) {
    std::set<TAltersklasse*> touched;
    for (TRowData& d : rows) {
        TAltersklasse& target = Mutable(c, d.target);
        if (!d.existing) {
            auto p = NewParticipant();
            if (team) {
                p->SetMannschaft(d.mannschaft);
                p->SetZusatz(d.zusatz);
            } else {
                p->SetName(d.name);
                p->SetVorname(d.vorname);
                p->SetGeburtsdatum(d.birth);
            }
            p->Gliederung.Set(d.glied);
            p->SetFlag(tnWeiblich, d.female);
            RecalcParticipant(target, *p);
            target.Insert(std::move(p));
            touched.insert(&target);
            continue;
        }
        if (!d.changes) continue;
        TAltersklasse& from = Mutable(c, d.existingClass);
        TTeilnehmer* p = from.At(from.IndexOf(d.existing));
        if (!d.glied.empty()) p->Gliederung.Set(d.glied);
        if (&from != &target) {
            std::unique_ptr<TTeilnehmer> moved = from.Delete(p);
            moved->SetFlag(tnWeiblich, d.female);
            RecalcParticipant(target, *moved);
            target.Insert(std::move(moved));
            touched.insert(&from);
        }
        touched.insert(&target);
    }
    for (TAltersklasse* ac : touched)
        RankAgeClass(*ac);
}

// ---- the workbook ---------------------------------------------------------------------

std::string Utf8(std::string_view oem) {
    return OemToUtf8(oem);
}

// libxlsxwriter 1.1 keeps a copy of a list validation's range formula that it never
// frees: a few bytes per workbook, which the leak checker of the sanitizer builds is
// told to overlook while such a validation is added.
class TLibraryLeak {
public:
    TLibraryLeak() {
#ifdef VM_LEAK_CHECKED
        __lsan_disable();
#endif
    }
    ~TLibraryLeak() {
#ifdef VM_LEAK_CHECKED
        __lsan_enable();
#endif
    }
    TLibraryLeak(const TLibraryLeak&) = delete;
    TLibraryLeak& operator=(const TLibraryLeak&) = delete;
};

// Cell range text of column `col` (0 = A), rows 1..n, absolute, on the list sheet.
std::string ListRange(char col, std::size_t n) {
    return std::string("=") + MeldSheetListen + "!$" + col + "$1:$" + col + "$" + std::to_string(n);
}

class TFormBook {
public:
    TFormBook(const TWettkampf& c, const std::string& file, std::string gliederung)
        : c_(c), glied_(std::move(gliederung)) {
        lxw_workbook_options options = {};
        book_ = workbook_new_opt(file.c_str(), &options);
        if (!book_) return;
        lxw_doc_properties properties = {};
        properties.title = Mutable("Meldebogen");
        workbook_set_properties(book_, &properties);
        bold_ = workbook_add_format(book_);
        format_set_bold(bold_);
        title_ = workbook_add_format(book_);
        format_set_bold(title_);
        format_set_font_size(title_, 14);
        text_ = workbook_add_format(book_);
        format_set_num_format(text_, "@");
        year_ = workbook_add_format(book_);
        format_set_num_format(year_, "0");
    }
    ~TFormBook() {
        if (book_) workbook_close(book_);
    }
    TFormBook(const TFormBook&) = delete;
    TFormBook& operator=(const TFormBook&) = delete;

    bool Write() {
        if (!book_) return false;
        lxw_worksheet* hints = workbook_add_worksheet(book_, MeldSheetHinweise);
        lxw_worksheet* form = workbook_add_worksheet(book_, MeldSheetMeldungen);
        lxw_worksheet* lists = workbook_add_worksheet(book_, MeldSheetListen);
        if (!hints || !form || !lists) return false;
        Lists(lists);
        Hints(hints);
        Form(form);
        if (!ok_) return false;
        errno = 0;
        const lxw_error closed = workbook_close(book_);
        book_ = nullptr;
        if (closed != LXW_NO_ERROR) NoteSystemError(errno);
        return closed == LXW_NO_ERROR;
    }

private:
    void Check(lxw_error e) {
        if (e != LXW_NO_ERROR) ok_ = false;
    }
    // The library's option records take plain char pointers; the texts live as long
    // as the workbook object.
    char* Mutable(std::string text) {
        texts_.push_back(std::make_unique<std::string>(std::move(text)));
        return texts_.back()->data();
    }
    void Put(lxw_worksheet* ws, lxw_row_t row, lxw_col_t col, const std::string& text,
             lxw_format* f = nullptr) {
        if (!text.empty()) Check(worksheet_write_string(ws, row, col, text.c_str(), f));
    }

    void Lists(lxw_worksheet* ws) {
        std::set<std::string> seen;
        for (const TAltersklasse& ac : c_)
            if (seen.insert(UpperText(ac.Name())).second) classes_.push_back(Utf8(ac.Name()));
        // The competition's codes first, then the program's.
        std::set<std::string> own;
        for (const TGliederungStat& g : c_.Gliederungen)
            if (!g.Kurz.Empty()) own.insert(Utf8(g.Kurz.Get()));
        for (const TAltersklasse& ac : c_)
            for (const TTeilnehmer& p : ac)
                if (!p.Gliederung.Empty()) own.insert(Utf8(p.Gliederung.Get()));
        codes_.assign(own.begin(), own.end());
        for (const std::string& code : ProgramGliederungCodes())
            if (!own.count(code)) codes_.push_back(code);
        for (std::size_t i = 0; i < classes_.size(); ++i)
            Put(ws, static_cast<lxw_row_t>(i), 0, classes_[i]);
        for (std::size_t i = 0; i < codes_.size(); ++i)
            Put(ws, static_cast<lxw_row_t>(i), 1, codes_[i]);
        worksheet_hide(ws);
    }

    void Hints(lxw_worksheet* ws) {
        const bool team = !IsSingleCompetition(c_);
        Check(worksheet_set_column(ws, 0, 0, 22, nullptr));
        Check(worksheet_set_column(ws, 1, 1, 12, nullptr));
        Check(worksheet_set_column(ws, 2, 2, 14, nullptr));
        Check(worksheet_set_column(ws, 3, 3, 100, nullptr));
        lxw_row_t row = 0;
        Put(ws, row, 0, "Meldebogen", title_);
        row += 2;
        const TWettkampfHeader& h = c_.Header;
        const std::pair<const char*, std::string> head[] = {
            {"Wettkampf", Utf8(h.Veranstaltung.Get())},
            {"Datum", Utf8(h.Datum.Get())},
            {"Ort", Utf8(h.Veranstaltungsstaette.Get())},
            {"Veranstalter", Utf8(h.Veranstalter.Get())},
            {"Ausrichter", Utf8(h.Ausrichter.Get())},
            {"Wertung", team ? "Mannschaften" : "Einzel"},
        };
        for (const auto& [label, value] : head) {
            if (value.empty()) continue;
            Put(ws, row, 0, label, bold_);
            // Across the table's columns, so that a long title is seen and printed whole.
            Check(worksheet_merge_range(ws, row, 1, row, 3, value.c_str(), nullptr));
            ++row;
        }
        ++row;
        Put(ws, row++, 0, "Altersklassen", bold_);
        Put(ws, row, 0, "Altersklasse", bold_);
        Put(ws, row, 1, "Geschlecht", bold_);
        Put(ws, row, 2, "Jahrgänge", bold_);
        Put(ws, row++, 3, "Disziplinen", bold_);
        for (const TAltersklasse& ac : c_) {
            std::string disciplines;
            for (int i = 0; i < ac.Data.DisciplineCount(); ++i) {
                const std::string name = Utf8(ac.Discipline(i).Bezeichnung.Get());
                if (name.empty()) continue;
                if (!disciplines.empty()) disciplines += ", ";
                disciplines += name;
            }
            if (HasHLW(ac)) disciplines += disciplines.empty() ? "HLW" : ", HLW";
            Put(ws, row, 0, Utf8(ac.Name()));
            Put(ws, row, 1, IsFemale(ac) ? "w" : "m");
            Put(ws, row, 2,
                std::to_string(ac.Data.JahrgangVon) + " - " + std::to_string(ac.Data.JahrgangBis));
            Put(ws, row++, 3, disciplines);
        }
        ++row;
        Put(ws, row++, 0, "So füllen Sie den Meldebogen aus", bold_);
        std::vector<std::string> how = {
            "Jede Meldung kommt in eine Zeile des Tabellenblatts „Meldungen“, von Zeile 2 an; "
            "der Bogen hat Platz für " + std::to_string(MeldRows) + " Meldungen.",
        };
        if (team) {
            how.push_back("Mannschaft: der Name der Mannschaft (höchstens 30 Zeichen); Zusatz: "
                          "unterscheidet mehrere Mannschaften derselben Gliederung, z. B. „1“.");
            how.push_back("Altersklasse: aus der Liste wählen; Geschlecht: w oder m.");
        } else {
            how.push_back("Name und Vorname: höchstens 20 Zeichen. Jahrgang: vierstellig, "
                          "z. B. 2012; ein Geburtsdatum (TT.MM.JJJJ) wird auch angenommen.");
            how.push_back("Geschlecht: w oder m. Altersklasse: aus der Liste wählen oder leer "
                          "lassen; dann ergibt sie sich aus Jahrgang und Geschlecht.");
        }
        how.push_back("Gliederung: das Kürzel Ihrer Gliederung, höchstens fünf Zeichen; aus der "
                      "Liste wählen oder eintippen.");
        how.push_back("Bitte die Kopfzeile und die Reihenfolge der Spalten nicht ändern und keine "
                      "Formeln verwenden.");
        how.push_back("Wer schon gemeldet ist (gleiche Altersklasse, gleicher Name und Jahrgang), "
                      "wird beim Einlesen nicht doppelt angelegt, sondern aktualisiert.");
        how.push_back("Den ausgefüllten Bogen als Excel-Datei (.xlsx) oder als CSV gespeichert "
                      "an den Ausrichter zurücksenden.");
        for (std::size_t i = 0; i < how.size(); ++i) {
            Put(ws, row, 0, std::to_string(i + 1) + ".");
            Check(worksheet_merge_range(ws, row, 1, row, 3, how[i].c_str(), nullptr));
            ++row;
        }
        worksheet_activate(ws);
        // Printed on one page width, as a club prints it to read along.
        worksheet_set_landscape(ws);
        worksheet_fit_to_pages(ws, 1, 0);
    }

    void Form(lxw_worksheet* ws) {
        const bool team = !IsSingleCompetition(c_);
        const std::vector<TField> fields = FieldsOf(team);
        const lxw_row_t last = static_cast<lxw_row_t>(MeldRows);
        for (std::size_t k = 0; k < fields.size(); ++k) {
            const auto col = static_cast<lxw_col_t>(k);
            const TField f = fields[k];
            const double width = f == fMannschaft ? 32 : f == fName || f == fVorname ? 22
                                 : f == fAltersklasse                              ? 24
                                                                                   : 13;
            Check(worksheet_set_column(ws, col, col, width, f == fJahrgang ? year_ : text_));
            Put(ws, 0, col, kCaption[f], bold_);
            switch (f) {
            case fJahrgang: {
                lxw_data_validation v = {};
                v.validate = LXW_VALIDATION_TYPE_INTEGER;
                v.criteria = LXW_VALIDATION_CRITERIA_BETWEEN;
                v.minimum_number = 1900;
                v.maximum_number = CurrentYear();
                v.ignore_blank = LXW_VALIDATION_ON;
                // A date of birth is accepted too, so a value outside the years only warns.
                v.error_type = LXW_VALIDATION_ERROR_TYPE_WARNING;
                v.input_title = Mutable("Jahrgang");
                v.input_message = Mutable("Vierstellig, z. B. 2012.");
                v.error_title = Mutable("Jahrgang");
                v.error_message = Mutable("Bitte den Jahrgang vierstellig eingeben, z. B. 2012.");
                Check(worksheet_data_validation_range(ws, 1, col, last, col, &v));
                break;
            }
            case fGeschlecht: {
                char* sexes[] = {Mutable("w"), Mutable("m"), nullptr};
                lxw_data_validation v = {};
                v.validate = LXW_VALIDATION_TYPE_LIST;
                v.value_list = sexes;
                v.ignore_blank = LXW_VALIDATION_ON;
                v.error_type = LXW_VALIDATION_ERROR_TYPE_STOP;
                v.error_title = Mutable("Geschlecht");
                v.error_message = Mutable("Bitte w oder m eingeben.");
                Check(worksheet_data_validation_range(ws, 1, col, last, col, &v));
                break;
            }
            case fAltersklasse: {
                if (classes_.empty()) break;
                const std::string range = ListRange('A', classes_.size());
                lxw_data_validation v = {};
                v.validate = LXW_VALIDATION_TYPE_LIST_FORMULA;
                v.value_formula = Mutable(range);
                v.ignore_blank = LXW_VALIDATION_ON;
                v.error_type = LXW_VALIDATION_ERROR_TYPE_STOP;
                v.error_title = Mutable("Altersklasse");
                v.error_message =
                    Mutable("Bitte eine Altersklasse aus der Liste wählen oder das Feld leer lassen.");
                TLibraryLeak overlooked;
                Check(worksheet_data_validation_range(ws, 1, col, last, col, &v));
                break;
            }
            case fGliederung: {
                if (codes_.empty()) break;
                const std::string range = ListRange('B', codes_.size());
                lxw_data_validation v = {};
                v.validate = LXW_VALIDATION_TYPE_LIST_FORMULA;
                v.value_formula = Mutable(range);
                v.ignore_blank = LXW_VALIDATION_ON;
                // Any code is allowed; one outside the list only asks once.
                v.error_type = LXW_VALIDATION_ERROR_TYPE_WARNING;
                v.error_title = Mutable("Gliederung");
                v.error_message = Mutable("Dieses Kürzel steht nicht in der Liste. Trotzdem "
                                         "übernehmen? (höchstens fünf Zeichen)");
                {
                    TLibraryLeak overlooked;
                    Check(worksheet_data_validation_range(ws, 1, col, last, col, &v));
                }
                if (!glied_.empty())
                    for (lxw_row_t r = 1; r <= last; ++r)
                        Put(ws, r, col, glied_, text_);
                break;
            }
            default:
                break;
            }
        }
        worksheet_freeze_panes(ws, 1, 0);
        worksheet_repeat_rows(ws, 0, 0);
        worksheet_fit_to_pages(ws, 1, 0);
    }

    const TWettkampf& c_;
    std::string glied_;
    std::vector<std::string> classes_;
    std::vector<std::string> codes_;
    std::vector<std::unique_ptr<std::string>> texts_;
    lxw_workbook* book_ = nullptr;
    lxw_format *bold_ = nullptr, *title_ = nullptr, *text_ = nullptr, *year_ = nullptr;
    bool ok_ = true;
};

bool CopyInto(const std::string& fileName, TStream& s) {
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

} // namespace

const std::vector<std::string>& ProgramGliederungCodes() {
    static const std::vector<std::string> codes = {
        "BA", "BY", "BE", "BB", "HB",  "HH",  "HE",  "MV",  "NI",  "NR",  "RP",  "SL", "SN",
        "SA", "SH", "TH", "WF", "WÜ", "VB", "OBB", "NDB", "OPF", "OFR", "MFR", "UFR"};
    return codes;
}

std::vector<std::string> MeldColumns(bool team) {
    std::vector<std::string> out;
    for (TField f : FieldsOf(team))
        out.emplace_back(kCaption[f]);
    return out;
}

bool WriteMeldebogen(const TWettkampf& c, const std::string& fileName, std::string_view gliederung) {
    if (IsResultFile(fileName)) {
        ShowMessage(fileName + " ist eine Ergebnisdatei und wird nicht mit einem Meldebogen "
                               "überschrieben."_oem);
        return false;
    }
    std::error_code ec;
    std::filesystem::path dir = std::filesystem::temp_directory_path(ec);
    if (ec) dir = "/tmp";
    std::string scratch = (dir / "velmora-meld-XXXXXX").string();
    const int fd = ::mkstemp(scratch.data());
    if (fd < 0) {
        NoteSystemError(errno);
        ShowMessage("Fehler beim Speichern der Datei.");
        return false;
    }
    ::close(fd);
    bool built;
    {
        TFormBook book(c, scratch, std::string(gliederung));
        built = book.Write();
    }
    const bool ok = built && WriteFileSafely(
                                 fileName, [&](TStream& s) { return CopyInto(scratch, s); }, false);
    std::remove(scratch.c_str());
    if (!built) ShowMessage("Fehler beim Speichern der Datei.");
    return ok;
}

// ---- reading --------------------------------------------------------------------------

bool ReadEntryBytes(std::string_view bytes, TEntrySheet& out, std::string& failure) {
    out.rows.clear();
    if (bytes.size() > kMaxFileBytes) {
        failure = "Die Datei ist zu groß für einen Meldebogen.";
        return false;
    }
    if (bytes.substr(0, 4) != std::string_view("PK\x03\x04", 4)) {
        out.rows = ParseCsv(CsvText(bytes));
        return true;
    }
    TXlsxSheet sheet;
    switch (ReadXlsxSheet(bytes, MeldSheetMeldungen, sheet)) {
    case TXlsxStatus::Ok:
        out.rows = std::move(sheet.rows);
        return true;
    case TXlsxStatus::TooLarge:
        failure = "Die Arbeitsmappe ist zu groß für einen Meldebogen.";
        return false;
    case TXlsxStatus::NoSheet:
        failure = "Die Arbeitsmappe hat kein Tabellenblatt „Meldungen“; sie ist kein Meldebogen.";
        return false;
    case TXlsxStatus::NotReadable:
    case TXlsxStatus::NotAWorkbook:
        break;
    }
    failure = "Die Datei ist keine lesbare Excel-Arbeitsmappe (beschädigt oder kein .xlsx).";
    return false;
}

bool ReadEntryFile(const std::string& fileName, TEntrySheet& out, std::string& failure) {
    out.rows.clear();
    std::FILE* f = std::fopen(fileName.c_str(), "rb");
    if (!f) {
        NoteSystemError(errno);
        failure = "Die Datei kann nicht gelesen werden.";
        return false;
    }
    std::string bytes;
    char buf[1 << 16];
    std::size_t n;
    while ((n = std::fread(buf, 1, sizeof buf, f)) > 0 && bytes.size() <= kMaxFileBytes)
        bytes.append(buf, n);
    const bool failed = std::ferror(f) != 0;
    const int error = errno;
    std::fclose(f);
    if (failed) {
        NoteSystemError(error);
        failure = "Die Datei kann nicht gelesen werden.";
        return false;
    }
    return ReadEntryBytes(bytes, out, failure);
}

bool LooksLikeEntryCsv(std::string_view bytes) {
    const std::string text = CsvText(bytes.substr(0, 4096));
    TEntrySheet sheet;
    sheet.rows = ParseCsv(text.substr(0, text.find('\n')));
    // Every caption must be the form's own: the text import's files carry a header of
    // their own choosing, often with the same words among others (Zeit1, Abzug1 ...).
    if (sheet.rows.empty()) return false;
    for (const std::string& cell : sheet.rows.front().cells)
        if (!Trim(cell).empty() && HeaderField(cell) == fCount) return false;
    return FindHeader(sheet).ok;
}

std::string ProblemLine(const TEntryProblem& p) {
    return "Zeile " + std::to_string(p.row) + ", " + p.field + ": " + p.text;
}

std::string TEntryReport::SummaryLine() const {
    return "Meldungen: " + std::to_string(added) + " neu, " + std::to_string(changed) +
           " geändert, " + std::to_string(unchanged) + " unverändert.";
}

TEntryReport CheckEntries(const TWettkampf& c, const TEntrySheet& sheet) {
    std::vector<TRowData> rows;
    return TChecker(c, sheet).Run(rows);
}

TEntryReport ImportEntries(TWettkampf& c, const TEntrySheet& sheet, bool skipErrors) {
    std::vector<TRowData> rows;
    TEntryReport r = TChecker(c, sheet).Run(rows);
    if (!r.read || (!r.errors.empty() && !skipErrors)) return r;
    Apply(c, rows, !IsSingleCompetition(c));
    r.applied = r.added + r.changed > 0;
    return r;
}

} // namespace vm

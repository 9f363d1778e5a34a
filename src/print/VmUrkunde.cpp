#include "print/VmUrkunde.h"

#include "file/VmErg.h"
#include "model/VmBasis.h"

#include <algorithm>
#include <cmath>
#include <fstream>
#include <iterator>
#include <sstream>

namespace vm {

namespace {

std::string Trim(std::string_view s) {
    std::size_t a = 0, b = s.size();
    while (a < b && (s[a] == ' ' || s[a] == '\t' || s[a] == '\r'))
        ++a;
    while (b > a && (s[b - 1] == ' ' || s[b - 1] == '\t' || s[b - 1] == '\r'))
        --b;
    return std::string(s.substr(a, b - a));
}

std::string Lower(std::string_view s) {
    std::string out(s);
    for (char& ch : out)
        if (ch >= 'A' && ch <= 'Z') ch = static_cast<char>(ch - 'A' + 'a');
    return out;
}

std::vector<std::string> SplitFields(std::string_view line, std::size_t maxParts) {
    std::vector<std::string> parts;
    std::size_t start = 0;
    while (parts.size() + 1 < maxParts) {
        const std::size_t semi = line.find(';', start);
        if (semi == std::string_view::npos) break;
        parts.push_back(Trim(line.substr(start, semi - start)));
        start = semi + 1;
    }
    parts.push_back(Trim(line.substr(start)));
    return parts;
}

// A decimal number of millimetres or points ("105", "12,5", "12.5") in tenths.
bool ParseTenths(const std::string& text, std::int32_t& out) {
    if (text.empty() || text.size() > 12) return false;
    double value = 0;
    double scale = 0;
    bool digits = false;
    for (char ch : text) {
        if (ch >= '0' && ch <= '9') {
            digits = true;
            if (scale > 0) {
                value += (ch - '0') * scale;
                scale /= 10;
            } else {
                value = value * 10 + (ch - '0');
            }
        } else if ((ch == ',' || ch == '.') && scale == 0) {
            scale = 0.1;
        } else {
            return false;
        }
    }
    // Ten metres is more than any sheet or font.
    if (!digits || value > 100000) return false;
    out = static_cast<std::int32_t>(std::lround(value * 10));
    return true;
}

std::string TenthsText(std::int32_t v) {
    std::string s = IntToText(v / 10);
    if (v % 10 != 0) s += "," + IntToText(v % 10);
    return s;
}

// The placeholders of a certificate; a discipline's ones end in 1 to 5.
constexpr const char* Placeholders[] = {"Name",       "Vorname",   "Mannschaft",   "Zusatz",
                                        "Gliederung", "Jahrgang",  "Altersklasse", "Platz",
                                        "Punkte",     "Wettkampf", "Ort",          "Datum"};
constexpr const char* DisciplinePlaceholders[] = {"Disziplin", "Zeit", "Punkte"};

bool KnownPlaceholder(std::string_view name) {
    for (const char* p : Placeholders)
        if (name == p) return true;
    for (const char* p : DisciplinePlaceholders) {
        const std::string_view base = p;
        if (name.size() == base.size() + 1 && name.substr(0, base.size()) == base &&
            name.back() >= '1' && name.back() <= '5')
            return true;
    }
    return false;
}

// Checks the braces and names of a field text; the reason, or empty when it is fine.
std::string CheckPlaceholders(std::string_view text) {
    std::size_t pos = 0;
    while (pos < text.size()) {
        const std::size_t open = text.find_first_of("{}", pos);
        if (open == std::string_view::npos) break;
        if (text[open] == '}') return "\xE2\x80\x9E}\xE2\x80\x9C ohne \xE2\x80\x9E{\xE2\x80\x9C";
        const std::size_t close = text.find_first_of("{}", open + 1);
        if (close == std::string_view::npos || text[close] == '{')
            return "\xE2\x80\x9E{\xE2\x80\x9C ohne \xE2\x80\x9E}\xE2\x80\x9C";
        const std::string_view name = text.substr(open + 1, close - open - 1);
        if (!KnownPlaceholder(name))
            return "unbekannter Platzhalter \xE2\x80\x9E{" + OemToUtf8(name) + "}\xE2\x80\x9C";
        pos = close + 1;
    }
    return {};
}

bool ParseFont(const std::string& word, TUrkFont& font) {
    const std::string w = Lower(word);
    if (w == "serif" || w == "serifen")
        font = TUrkFont::Serif;
    else if (w == "sans-serif" || w == "sans" || w == "serifenlos")
        font = TUrkFont::SansSerif;
    else if (w == "fixed" || w == "fest" || w == "monospace")
        font = TUrkFont::Fixed;
    else
        return false;
    return true;
}

const char* FontWord(TUrkFont f) {
    switch (f) {
    case TUrkFont::SansSerif:
        return "sans-serif";
    case TUrkFont::Fixed:
        return "fixed";
    default:
        return "serif";
    }
}

bool ParseStyle(const std::string& word, std::uint8_t& style) {
    std::uint8_t s = fsNormal;
    std::string token;
    const std::string w = Lower(word) + "+";
    for (char ch : w) {
        if (ch == '+' || ch == ',' || ch == ' ') {
            if (token.empty()) continue;
            if (token == "fett" || token == "bold")
                s |= fsBold;
            else if (token == "kursiv" || token == "italic")
                s |= fsItalic;
            else if (token != "normal" && token != "-")
                return false;
            token.clear();
        } else {
            token += ch;
        }
    }
    style = s;
    return true;
}

std::string StyleWord(std::uint8_t style) {
    const bool bold = style & fsBold, italic = style & fsItalic;
    if (bold && italic) return "fett+kursiv";
    if (bold) return "fett";
    if (italic) return "kursiv";
    return "normal";
}

bool ParseAlign(const std::string& word, TUrkAlign& align) {
    const std::string w = Lower(word);
    if (w == "links" || w == "left")
        align = TUrkAlign::Left;
    else if (w == "mitte" || w == "zentriert" || w == "centre" || w == "center")
        align = TUrkAlign::Centre;
    else if (w == "rechts" || w == "right")
        align = TUrkAlign::Right;
    else
        return false;
    return true;
}

const char* AlignWord(TUrkAlign a) {
    switch (a) {
    case TUrkAlign::Centre:
        return "mitte";
    case TUrkAlign::Right:
        return "rechts";
    default:
        return "links";
    }
}

bool PaperSize(const std::string& name, std::int32_t& w, std::int32_t& h) {
    for (const TUrkPapier& p : UrkPapiere())
        if (Lower(name) == Lower(p.name)) {
            w = p.width;
            h = p.height;
            return true;
        }
    // "BREITExHÖHE" in millimetres.
    const std::size_t x = Lower(name).find('x');
    if (x == std::string::npos) return false;
    std::int32_t a = 0, b = 0;
    if (!ParseTenths(Trim(name.substr(0, x)), a) || !ParseTenths(Trim(name.substr(x + 1)), b))
        return false;
    if (a < 500 || b < 500 || a > 10000 || b > 10000) return false;
    w = a;
    h = b;
    return true;
}

} // namespace

bool ParseUrkLayout(std::string_view name, TUrkLayout& layout) {
    const std::string n = Lower(name);
    if (n == "klassisch" || n == "classic")
        layout = TUrkLayout::Klassisch;
    else if (n == "modern")
        layout = TUrkLayout::Modern;
    else if (n == "vorgedruckt" || n == "preprinted")
        layout = TUrkLayout::Vorgedruckt;
    else
        return false;
    return true;
}

const char* UrkLayoutName(TUrkLayout layout) {
    switch (layout) {
    case TUrkLayout::Modern:
        return "modern";
    case TUrkLayout::Vorgedruckt:
        return "vorgedruckt";
    default:
        return "klassisch";
    }
}

const std::vector<TUrkPapier>& UrkPapiere() {
    static const std::vector<TUrkPapier> papers = {
        {"A4", 2100, 2970}, {"A5", 1480, 2100}, {"A3", 2970, 4200}, {"Letter", 2159, 2794}};
    return papers;
}

std::int32_t TUrkVorlage::PageWidth() const {
    std::int32_t w = 2100, h = 2970;
    PaperSize(paper, w, h);
    return landscape ? std::max(w, h) : std::min(w, h);
}

std::int32_t TUrkVorlage::PageHeight() const {
    std::int32_t w = 2100, h = 2970;
    PaperSize(paper, w, h);
    return landscape ? std::min(w, h) : std::max(w, h);
}

std::string TUrkFehler::Text() const {
    if (line <= 0) return message;
    return "Zeile " + std::to_string(line) + ": " + message;
}

bool ParseUrkVorlage(std::string_view text, TUrkVorlage& vorlage, TUrkFehler& error) {
    if (text.substr(0, 3) == "\xEF\xBB\xBF") text.remove_prefix(3);
    TUrkVorlage result;
    bool paperSeen = false;
    std::vector<int> fieldLines;
    int lineNo = 0;
    auto fail = [&](int line, std::string message) {
        error = {line, std::move(message)};
        return false;
    };
    std::size_t pos = 0;
    while (pos <= text.size()) {
        std::size_t end = text.find('\n', pos);
        if (end == std::string_view::npos) end = text.size();
        const std::string_view raw = text.substr(pos, end - pos);
        pos = end + 1;
        ++lineNo;
        const std::string line = Trim(raw);
        if (line.empty() || line[0] == '#') {
            if (end == text.size()) break;
            continue;
        }
        if (!IsUtf8(line)) return fail(lineNo, "kein gültiger UTF-8-Text");
        const std::vector<std::string> parts = SplitFields(line, 9);
        const std::string key = Lower(parts[0]);
        if (key == "papier" || key == "paper") {
            if (paperSeen) return fail(lineNo, "das Papier ist schon angegeben");
            if (parts.size() != 3) return fail(lineNo, "erwartet: Papier; Format; hoch oder quer");
            std::int32_t w = 0, h = 0;
            if (!PaperSize(parts[1], w, h))
                return fail(lineNo,
                            "unbekanntes Papierformat \xE2\x80\x9E" + parts[1] +
                                "\xE2\x80\x9C (A3, A4, A5, Letter oder BREITExH\xC3\x96HE)");
            const std::string o = Lower(parts[2]);
            if (o == "hoch" || o == "portrait")
                result.landscape = false;
            else if (o == "quer" || o == "landscape")
                result.landscape = true;
            else
                return fail(lineNo, "Ausrichtung des Papiers muss hoch oder quer sein");
            result.paper = parts[1];
            paperSeen = true;
        } else if (key == "feld" || key == "field") {
            if (parts.size() != 9)
                return fail(lineNo,
                            "ein Feld hat neun Angaben: Feld; x; y; Schrift; Gr\xC3\xB6\xC3\x9F"
                            "e; Stil; Ausrichtung; Breite; Text");
            TUrkFeld f;
            if (!ParseTenths(parts[1], f.x)) return fail(lineNo, "x ist keine Zahl (mm)");
            if (!ParseTenths(parts[2], f.y)) return fail(lineNo, "y ist keine Zahl (mm)");
            if (!ParseFont(parts[3], f.font))
                return fail(lineNo, "Schrift muss serif, sans-serif oder fixed sein");
            if (!ParseTenths(parts[4], f.size) || f.size < 10 || f.size > 2000)
                return fail(lineNo, "Gr\xC3\xB6\xC3\x9F"
                                    "e muss zwischen 1 und 200 Punkt liegen");
            if (!ParseStyle(parts[5], f.style))
                return fail(lineNo, "Stil muss normal, fett, kursiv oder fett+kursiv sein");
            if (!ParseAlign(parts[6], f.align))
                return fail(lineNo, "Ausrichtung muss links, mitte oder rechts sein");
            if (!ParseTenths(parts[7], f.width)) return fail(lineNo, "Breite ist keine Zahl (mm)");
            if (const std::string why = CheckPlaceholders(parts[8]); !why.empty())
                return fail(lineNo, why);
            bool replaced = false;
            f.text = DecodeToOem(parts[8], TTextEncoding::Utf8, &replaced);
            if (replaced)
                return fail(lineNo, "der Text enth\xC3\xA4lt Zeichen, die nicht gedruckt "
                                    "werden k\xC3\xB6nnen");
            if (f.text.size() > MaxItemText) return fail(lineNo, "der Text ist zu lang");
            result.felder.push_back(std::move(f));
            fieldLines.push_back(lineNo);
        } else {
            return fail(lineNo, "unbekannte Angabe \xE2\x80\x9E" + parts[0] +
                                    "\xE2\x80\x9C (erwartet: Papier oder Feld)");
        }
        if (end == text.size()) break;
    }
    const std::int32_t w = result.PageWidth(), h = result.PageHeight();
    for (std::size_t i = 0; i < result.felder.size(); ++i) {
        const TUrkFeld& f = result.felder[i];
        if (f.x > w || f.y > h)
            return fail(fieldLines[i], "das Feld liegt au\xC3\x9F"
                                       "erhalb des Papiers");
        if (f.width > w) return fail(fieldLines[i], "das Feld ist breiter als das Papier");
    }
    vorlage = std::move(result);
    return true;
}

std::string FormatUrkVorlage(const TUrkVorlage& v) {
    std::string s = "# Velmora-Urkundenvorlage\n";
    s += "Papier; " + v.paper + "; " + (v.landscape ? "quer" : "hoch") + "\n";
    s += "# Feld; x (mm); y (mm); Schrift; Gr\xC3\xB6\xC3\x9F"
         "e (pt); Stil; Ausrichtung; "
         "Breite (mm, 0 = ohne); Text\n";
    for (const TUrkFeld& f : v.felder)
        s += "Feld; " + TenthsText(f.x) + "; " + TenthsText(f.y) + "; " + FontWord(f.font) + "; " +
             TenthsText(f.size) + "; " + StyleWord(f.style) + "; " + AlignWord(f.align) + "; " +
             TenthsText(f.width) + "; " + OemToUtf8(f.text) + "\n";
    return s;
}

bool LoadUrkVorlage(const std::string& fileName, TUrkVorlage& vorlage, TUrkFehler& error) {
    std::ifstream in(fileName, std::ios::binary);
    if (!in) {
        error = {0, "Die Vorlage " + fileName + " kann nicht gelesen werden."};
        return false;
    }
    std::string text;
    // A template is a few lines; anything far larger is not one.
    constexpr std::size_t limit = 1 << 20;
    text.resize(limit + 1);
    in.read(text.data(), static_cast<std::streamsize>(text.size()));
    text.resize(static_cast<std::size_t>(in.gcount()));
    if (text.size() > limit) {
        error = {0, "Die Vorlage " + fileName + " ist zu gro\xC3\x9F."};
        return false;
    }
    return ParseUrkVorlage(text, vorlage, error);
}

bool SaveUrkVorlage(const std::string& fileName, const TUrkVorlage& vorlage) {
    const std::string text = FormatUrkVorlage(vorlage);
    return WriteFileSafely(
        fileName,
        [&](TStream& s) {
            s.Write(text.data(), text.size());
            return !s.WriteFailed();
        },
        false);
}

// ---- built-in layouts ----------------------------------------------------------------

TUrkVorlage BuiltInVorlage(TUrkLayout layout, bool team, std::int32_t pageWidth,
                           std::int32_t pageHeight) {
    TUrkVorlage v;
    v.landscape = pageWidth > pageHeight;
    v.paper = TenthsText(std::min(pageWidth, pageHeight)) + "x" +
              TenthsText(std::max(pageWidth, pageHeight));
    for (const TUrkPapier& p : UrkPapiere())
        if (p.width == std::min(pageWidth, pageHeight) &&
            p.height == std::max(pageWidth, pageHeight))
            v.paper = p.name;

    const TUrkFont font = layout == TUrkLayout::Modern ? TUrkFont::SansSerif : TUrkFont::Serif;
    const std::int32_t cx = pageWidth / 2;
    const std::int32_t nameWidth = std::max<std::int32_t>(pageWidth - 600, 200);
    // Positions are those of A4 portrait, moved closer together on a lower sheet.
    const double scale = pageHeight / 2970.0;
    const std::int32_t start = layout == TUrkLayout::Klassisch ? 560
                               : layout == TUrkLayout::Modern  ? 720
                                                               : 800;
    auto y = [&](int offset) {
        return static_cast<std::int32_t>(std::lround((start + offset) * scale));
    };
    auto add = [&](std::int32_t x, int offset, std::int32_t size, std::uint8_t style,
                   TUrkAlign align, std::int32_t width, std::string text) {
        v.felder.push_back({x, y(offset), font, size, style, align, width, std::move(text)});
    };
    int at = 0;
    if (layout == TUrkLayout::Vorgedruckt) {
        add(cx, at, 180, fsBold, TUrkAlign::Centre, nameWidth, "{Wettkampf}");
        at += 100;
    }
    add(cx, at, 140, fsItalic, TUrkAlign::Centre, nameWidth, "{Ort}");
    add(cx, at + 70, 140, fsItalic, TUrkAlign::Centre, nameWidth, "{Datum}");
    add(cx, at + 260, 180, fsNormal, TUrkAlign::Centre, nameWidth, "{Altersklasse}");
    if (team) {
        add(cx, at + 440, 320, fsBold, TUrkAlign::Centre, nameWidth, "{Mannschaft}");
        add(cx, at + 610, 160, fsNormal, TUrkAlign::Centre, nameWidth, "{Zusatz}");
        add(cx, at + 690, 160, fsNormal, TUrkAlign::Centre, nameWidth, "{Gliederung}");
    } else {
        add(cx, at + 440, 320, fsBold, TUrkAlign::Centre, nameWidth, "{Vorname} {Name}");
        add(cx, at + 610, 180, fsNormal, TUrkAlign::Centre, nameWidth, "{Gliederung}");
    }
    add(cx, at + 860, 260, fsBold, TUrkAlign::Centre, nameWidth,
        layout == TUrkLayout::Vorgedruckt ? "{Platz}. Platz" : "belegte den {Platz}. Platz");
    add(cx, at + 1000, 160, fsNormal, TUrkAlign::Centre, nameWidth,
        layout == TUrkLayout::Vorgedruckt ? "{Punkte} Punkte" : "mit {Punkte} Punkten");
    const std::int32_t table = std::min<std::int32_t>(1500, pageWidth - 400);
    const std::int32_t left = cx - table / 2, right = cx + table / 2;
    for (int i = 1; i <= 5; ++i) {
        const int row = at + 1220 + (i - 1) * 110;
        const std::string n = std::to_string(i);
        add(left, row, 130, fsNormal, TUrkAlign::Left, table * 6 / 10, "{Disziplin" + n + "}");
        add(left + table * 8 / 10, row, 130, fsNormal, TUrkAlign::Right, table * 2 / 10 - 20,
            "{Zeit" + n + "}");
        add(right, row, 130, fsNormal, TUrkAlign::Right, table * 2 / 10 - 20,
            "{Punkte" + n + "} Pkt.");
    }
    return v;
}

// ---- recipients ----------------------------------------------------------------------

std::vector<TUrkEmpfaenger> UrkEmpfaenger(const TWettkampf& c, const TUrkAuswahl& a) {
    std::vector<TUrkEmpfaenger> out;
    if (a.einzeln) {
        if (a.ageClass < 0 || a.ageClass >= c.Count()) return out;
        const TAltersklasse& ac = *c.At(a.ageClass);
        for (int row : a.rows)
            if (row >= 0 && row < ac.Count()) out.push_back({&ac, ac.At(row)});
        return out;
    }
    std::vector<int> classes = a.ageClasses;
    if (classes.empty())
        for (int i = 0; i < c.Count(); ++i)
            classes.push_back(i);
    for (int index : classes) {
        if (index < 0 || index >= c.Count()) continue;
        const TAltersklasse& ac = *c.At(index);
        const std::size_t first = out.size();
        for (const TTeilnehmer& p : ac) {
            if (p.Has(tnAusserKonkurrenz) || p.Gesamtpunkte < 1) continue;
            if (p.Platz < 1 || p.Platz > a.places) continue;
            out.push_back({&ac, &p});
        }
        std::stable_sort(out.begin() + static_cast<std::ptrdiff_t>(first), out.end(),
                         [](const TUrkEmpfaenger& x, const TUrkEmpfaenger& y) {
                             return x.entry->Platz < y.entry->Platz;
                         });
    }
    return out;
}

// ---- the report ------------------------------------------------------------------------

namespace {

// The value of one placeholder; `known` false for a name that is none.
std::string PlaceholderValue(const TWettkampf& c, const TAltersklasse& ac, const TTeilnehmer& p,
                             std::string_view name) {
    const bool single = IsSingleCompetition(c);
    const bool placed = p.Gesamtpunkte >= 1 && !p.Has(tnAusserKonkurrenz) && p.Platz > 0;
    if (name == "Name") return std::string(single ? p.Name() : p.Mannschaft());
    if (name == "Vorname") return single ? std::string(p.Vorname()) : std::string();
    if (name == "Mannschaft") return single ? std::string() : std::string(p.Mannschaft());
    if (name == "Zusatz") return single ? std::string() : std::string(p.Zusatz());
    if (name == "Gliederung") return std::string(p.Gliederung.View());
    if (name == "Jahrgang") {
        const int year = single ? FullBirthYear(c, p) : 0;
        return year > 0 ? IntToText(year) : std::string();
    }
    if (name == "Altersklasse") return ac.Name();
    if (name == "Platz") return placed ? IntToText(p.Platz) : std::string();
    if (name == "Punkte") return p.Gesamtpunkte >= 1 ? PointsToText(p.Gesamtpunkte, 2) : "";
    if (name == "Wettkampf") return std::string(c.Header.Veranstaltung.View());
    if (name == "Ort") return std::string(c.Header.Veranstaltungsstaette.View());
    if (name == "Datum") return std::string(c.Header.Datum.View());
    // Per discipline: the last character is its number.
    const int i = name.back() - '1';
    if (i < 0 || i >= ac.Data.DisciplineCount()) return {};
    const auto k = static_cast<std::size_t>(i);
    const std::string_view base = name.substr(0, name.size() - 1);
    if (base == "Disziplin") return ac.Discipline(i).Bezeichnung.Get();
    const bool status = p.Abzug[k] < 0;
    if (!status && p.Zeit[k] <= 0) return {}; // not swum
    if (base == "Zeit")
        return status ? StatusMark(p.Abzug[k]) : TimeToText(p.Zeit[k], WithHundredths(c));
    if (base == "Punkte") return PointsToText(p.Punkte[k], 2);
    return {};
}

// The field text with its placeholders replaced; `empty` when it has placeholders and
// every one of them came out empty (a discipline the age class does not have).
std::string Substitute(const TWettkampf& c, const TAltersklasse& ac, const TTeilnehmer& p,
                       std::string_view text, bool& empty) {
    std::string out;
    bool any = false, filled = false;
    std::size_t pos = 0;
    while (pos < text.size()) {
        const std::size_t open = text.find('{', pos);
        const std::size_t close = open == std::string_view::npos ? open : text.find('}', open);
        if (open == std::string_view::npos || close == std::string_view::npos) {
            out.append(text.substr(pos));
            break;
        }
        out.append(text.substr(pos, open - pos));
        const std::string value =
            PlaceholderValue(c, ac, p, text.substr(open + 1, close - open - 1));
        any = true;
        filled = filled || !Trim(value).empty();
        out += value;
        pos = close + 1;
    }
    empty = any && !filled;
    return out;
}

bool UsesPlaceOrTotal(std::string_view text) {
    return text.find("{Platz}") != std::string_view::npos ||
           text.find("{Punkte}") != std::string_view::npos;
}

std::int16_t FaceOf(TUrkFont f) {
    switch (f) {
    case TUrkFont::SansSerif:
        return fiArial;
    case TUrkFont::Fixed:
        return fiCourier;
    default:
        return fiTimes;
    }
}

void PlaceField(TVmReport& r, TBvPage& page, const TUrkFeld& f, const std::string& text,
                const TUrkOptions& o) {
    const std::int16_t face = FaceOf(f.font);
    std::int16_t height = UrkFontHeight(f.size);
    std::uint8_t align = taTop;
    std::int32_t left = 0, right = 0;
    const std::int32_t w = r.PageWidth;
    switch (f.align) {
    case TUrkAlign::Left:
        align |= taLeft;
        left = f.x;
        right = f.width > 0 ? f.x + f.width : std::max(w, f.x + 10);
        break;
    case TUrkAlign::Centre: {
        align |= taHCenter;
        const std::int32_t half = f.width > 0 ? f.width / 2 : std::max(std::min(f.x, w - f.x), 10);
        left = f.x - half;
        right = f.x + half;
        break;
    }
    case TUrkAlign::Right:
        align |= taRight;
        left = f.width > 0 ? f.x - f.width : 1;
        right = f.x;
        break;
    }
    if (f.width > 0) {
        align |= taShrink;
        if (o.measure) {
            double width = o.measure(face, f.style, height, text);
            while (width > f.width && height > 3) {
                const auto next = static_cast<std::int16_t>(std::floor(height * f.width / width));
                height = std::max<std::int16_t>(3, std::min<std::int16_t>(next, height - 1));
                width = o.measure(face, f.style, height, text);
            }
        }
    }
    // A text item at the very left edge would not be drawn by every device.
    left = std::max<std::int32_t>(left, 1);
    r.AddText(page, left, f.y, right, f.y + height, text, ReportFont(face, height, f.style, align));
}

void DrawRaster(TVmReport& r, TBvPage& page) {
    const std::int32_t w = r.PageWidth, h = r.PageHeight;
    for (std::int32_t x = 10; x < w; x += 10) {
        const bool cm = x % 100 == 0;
        r.AddLine(page, x, 0, x, h, cm ? 4 : 1, cm ? clBlack : clBlue);
    }
    for (std::int32_t y = 10; y < h; y += 10) {
        const bool cm = y % 100 == 0;
        r.AddLine(page, 0, y, w, y, cm ? 4 : 1, cm ? clBlack : clBlue);
    }
    const TFontSpec label = ReportFont(fiArial, 25, fsNormal, taLeft | taTop);
    for (std::int32_t x = 100; x < w; x += 100)
        r.AddText(page, x + 5, 5, x + 95, 35, IntToText(x / 10), label);
    for (std::int32_t y = 100; y < h; y += 100)
        r.AddText(page, 5, y + 5, 95, y + 35, IntToText(y / 10), label);
}

void DrawDecoration(TVmReport& r, TBvPage& page, TUrkLayout layout) {
    const std::int32_t w = r.PageWidth, h = r.PageHeight;
    if (layout == TUrkLayout::Klassisch) {
        r.AddRect(page, r.MarginLeft, r.MarginTop, w - r.MarginRight, h - r.MarginBottom, 12,
                  clBlack, false, clBlack);
        r.AddRect(page, r.MarginLeft + 25, r.MarginTop + 25, w - r.MarginRight - 25,
                  h - r.MarginBottom - 25, 4, clBlack, false, clBlack);
        // The title block of the lists, inside the frame.
        const std::int32_t ml = r.MarginLeft, mt = r.MarginTop, mr = r.MarginRight;
        r.MarginLeft += 60;
        r.MarginTop += 60;
        r.MarginRight += 60;
        const bool head = r.PrintHead;
        r.PrintHead = true;
        r.TitleBlock(page, "Urkunde");
        r.PrintHead = head;
        r.MarginLeft = ml;
        r.MarginTop = mt;
        r.MarginRight = mr;
    } else if (layout == TUrkLayout::Modern) {
        const double scale = h / 2970.0;
        auto y = [&](int v) { return static_cast<std::int32_t>(std::lround(v * scale)); };
        r.AddRect(page, 0, y(200), w, y(620), 0, clBlue, true, clBlue);
        r.AddRect(page, 0, h - y(220), w, h - y(180), 0, clBlue, true, clBlue);
        page.TextColour = clWhite;
        r.AddText(page, 100, y(240), w - 100, y(240) + 230, "Urkunde",
                  ReportFont(fiArial, 230, fsBold, taHCenter | taTop));
        r.AddText(page, 100, y(500), w - 100, y(500) + 70,
                  std::string(r.Competition.Header.Veranstaltung.View()),
                  ReportFont(fiArial, 70, fsNormal, taHCenter | taTop | taShrink));
        page.TextColour = clBlack;
    }
}

} // namespace

std::string UrkFeldText(const TWettkampf& c, const TAltersklasse& ac, const TTeilnehmer& p,
                        std::string_view text) {
    bool empty = false;
    return Substitute(c, ac, p, text, empty);
}

std::int16_t UrkFontHeight(std::int32_t sizeTenthPt) {
    return static_cast<std::int16_t>(std::lround(sizeTenthPt * 25.4 / 72.0));
}

void PrintCertificates(TVmReport& r, const std::vector<TUrkEmpfaenger>& recipients,
                       const TUrkOptions& o) {
    const bool vorlage = o.vorlage != nullptr;
    const TUrkLayout layout = vorlage ? TUrkLayout::Vorgedruckt : o.layout;
    const bool team = !IsSingleCompetition(r.Competition);
    const TUrkVorlage fields =
        vorlage ? *o.vorlage : BuiltInVorlage(layout, team, r.PageWidth, r.PageHeight);
    int made = 0;
    for (const TUrkEmpfaenger& e : recipients) {
        if (o.limit > 0 && made >= o.limit) break;
        TBvPage* page = r.CreatePage(r.PageCount() + 1);
        if (!page) break;
        ++made;
        r.AgeClass = e.ageClass;
        if (o.raster) DrawRaster(r, *page);
        DrawDecoration(r, *page, layout);
        for (const TUrkFeld& f : fields.felder) {
            if (o.ohnePlatzUndPunkte && UsesPlaceOrTotal(f.text)) continue;
            bool empty = false;
            std::string text = Substitute(r.Competition, *e.ageClass, *e.entry, f.text, empty);
            if (empty || Trim(text).empty()) continue;
            if (text.size() > MaxItemText) text.resize(MaxItemText);
            PlaceField(r, *page, f, text, o);
        }
        if (o.shiftX != 0 || o.shiftY != 0)
            for (TBvItem& item : *page) {
                item.Left += o.shiftX;
                item.Right += o.shiftX;
                item.Top += o.shiftY;
                item.Bottom += o.shiftY;
            }
    }
    r.AgeClass = nullptr;
}

} // namespace vm

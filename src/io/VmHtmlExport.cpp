#include "io/VmHtmlExport.h"

#include "print/VmDruck.h"

#include <array>
#include <cstdint>

namespace vm {

namespace {

// Unicode code point of a stored byte (code page 850).
std::uint32_t CodePointOfOem(unsigned char b) {
    const std::string u = OemToUtf8(std::string_view(reinterpret_cast<const char*>(&b), 1));
    const auto* p = reinterpret_cast<const unsigned char*>(u.data());
    if (u.size() == 1) return p[0];
    if (u.size() == 2) return ((p[0] & 0x1Fu) << 6) | (p[1] & 0x3Fu);
    if (u.size() == 3) return ((p[0] & 0x0Fu) << 12) | ((p[1] & 0x3Fu) << 6) | (p[2] & 0x3Fu);
    return '?';
}

// A file name in an attribute: bytes that are not plain ASCII, blanks and the
// characters that would end the attribute are percent-encoded; & becomes &amp;.
std::string UrlAttribute(std::string_view name) {
    static const char* hex = "0123456789ABCDEF";
    std::string out;
    for (char ch : name) {
        const auto b = static_cast<unsigned char>(ch);
        if (b == '&') {
            out += "&amp;";
        } else if (b >= 0x80 || b <= 0x20 || b == '"' || b == '<' || b == '>' || b == 0x7F) {
            out += '%';
            out += hex[b >> 4];
            out += hex[b & 0x0F];
        } else {
            out += ch;
        }
    }
    return out;
}

std::string Years(const TAltersklasse& ac) {
    return " (Jahrg&auml;nge von " + IntToText(ac.Data.JahrgangVon) + " bis " +
           IntToText(ac.Data.JahrgangBis) + ")</A></B>";
}

std::string AgeClassAnchor(const TAltersklasse& ac, int n) {
    return "<B><A NAME=\"Ak" + IntToText(n) + "\">" + HtmlEscape(ac.Data.Bezeichnung.View()) +
           Years(ac);
}

std::vector<std::string> TableKeys(const TWettkampf& c, const TAltersklasse& ac,
                                   const THtmlExportOptions& o) {
    std::vector<std::string> keys = {"PLATZ", "GESAMTPKT"};
    if (IsSingleCompetition(c))
        keys.insert(keys.end(), {"GLIEDERUNG", "NAME", "VORNAME", "JAHRGANG"});
    else
        keys.insert(keys.end(), {"GLIEDERUNG", "MANNSCHAFT"});
    if (o.WithDisciplines) {
        for (int i = 1; i <= ac.Data.DisciplineCount(); ++i) {
            const std::string d = IntToText(i);
            keys.insert(keys.end(), {"ZEIT" + d, "STRAFPKT" + d, "PUNKTE" + d});
            if (o.WithHeatLane) keys.insert(keys.end(), {"LAUF" + d, "BAHN" + d});
        }
    }
    if (HasHLW(ac)) keys.push_back("HLW");
    return keys;
}

void WriteTableForm(const TWettkampf& c, const TAltersklasse& ac, int n, bool first, TStream& s,
                    const THtmlExportOptions& o) {
    if (!first) s.WriteTextLine("<HR NOSHADE>");
    s.WriteTextLine(AgeClassAnchor(ac, n));
    s.WriteTextLine("<TABLE BORDER>");
    const auto keys = TableKeys(c, ac, o);
    const bool hundredths = WithHundredths(c);
    for (int row = 0; row <= ac.Count(); ++row) {
        // Each cell text is escaped on its own so that the tags around it stay tags.
        std::string line;
        for (const std::string& key : keys)
            line += "<TH>" + HtmlEscape(FieldCell(ac, row, key, hundredths)) + " ";
        line += "<TR>";
        s.WriteTextLine(line);
    }
    s.WriteTextLine("</TABLE>");
}

void WriteTextForm(const TWettkampf& c, const TAltersklasse& ac, int n, bool first, TStream& s,
                   const THtmlExportOptions& o) {
    if (!first) s.WriteTextLine("<HR NOSHADE>");
    s.WriteTextLine(AgeClassAnchor(ac, n) + "<PRE>");
    TResultLineOptions lineOptions;
    lineOptions.heatLane = false;
    lineOptions.recordMarks = false;
    lineOptions.times = o.WithDisciplines;
    for (int k = 1; k <= ac.Count(); ++k)
        s.WriteTextLine(HtmlEscape(ResultLine(c, ac, k, lineOptions)));
    s.WriteTextLine("</PRE>");
}

} // namespace

const std::vector<std::string>& HtmlColourEntries() {
    static const std::vector<std::string> entries = {
        "Voreinstellung", "schwarz", "weiß", "rot", "grün", "blau", "gelb", "magenta", "cyan"};
    return entries;
}

std::string HtmlColourValue(std::string_view entry) {
    struct TColour {
        std::string_view name;
        const char* value;
    };
    static constexpr std::array<TColour, 11> colours = {{
        {"Voreinstellung", "#ffffff"},
        {"schwarz", "#000000"},
        {"weiß", "#ffffff"},
        {"weiss", "#ffffff"},
        {"rot", "#ff0000"},
        {"grün", "#008000"},
        {"gruen", "#008000"},
        {"blau", "#0000ff"},
        {"gelb", "#ffff00"},
        {"magenta", "#ff00ff"},
        {"cyan", "#00ffff"},
    }};
    for (const TColour& c : colours)
        if (c.name == entry) return c.value;
    return "#ffffff";
}

std::string HtmlEscape(std::string_view oemText) {
    std::string out;
    out.reserve(oemText.size());
    for (char ch : oemText) {
        const auto b = static_cast<unsigned char>(ch);
        switch (b) {
        case 0x84:
            out += "&auml;";
            break;
        case 0x94:
            out += "&ouml;";
            break;
        case 0x81:
            out += "&uuml;";
            break;
        case 0x8E:
            out += "&Auml;";
            break;
        case 0x99:
            out += "&Ouml;";
            break;
        case 0x9A:
            out += "&Uuml;";
            break;
        case 0xE1:
            out += "&szlig;";
            break;
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
        default:
            // The page declares no character set: any other letter of the stored code
            // page is written as its character reference so every browser shows it.
            if (b >= 0x80)
                out += "&#" + IntToText(CodePointOfOem(b)) + ";";
            else
                out += ch;
            break;
        }
    }
    return out;
}

bool ExportHtml(const TWettkampf& c, TStream& s, const THtmlExportOptions& o) {
    const std::string title = HtmlEscape(c.Header.Veranstaltung.View());
    s.WriteTextLine("<HTML>");
    s.WriteTextLine("<HEAD>");
    s.WriteTextLine("<TITLE>" + title + "</TITLE>");
    s.WriteTextLine("<!-- Diese Seite wurde von Velmora erstellt. -->");
    s.WriteTextLine("</HEAD>");
    if (!o.BackgroundColour.empty())
        s.WriteTextLine("<BODY BGCOLOR=\"" + HtmlColourValue(o.BackgroundColour) + "\">");
    if (!o.BackgroundPicture.empty())
        s.WriteTextLine("<BODY BACKGROUND=\"" + UrlAttribute(o.BackgroundPicture) + "\">");
    s.WriteTextLine("<meta name=\"keywords\" value=\"velbund,rettungssport\">");
    s.WriteTextLine("<meta name=\"resource-type\" value=\"document\">");
    s.WriteTextLine("<meta name=\"distribution\" value=\"global\">");
    s.WriteTextLine(std::string("<H2><A NAME=\"Velbund\" HREF=\"") + VelbundWebAddress +
                    "\">Velbund-Verband e.V.</A></H2>");
    s.WriteTextLine("<TABLE>");
    s.WriteTextLine(
        "<TD VALIGN=\"MIDDLE\"><IMG SRC=\"Bilder/rsport.gif\" ALT=\"[Vm]\" ALIGN=\"RIGHT\">");
    s.WriteTextLine("<TD VALIGN=\"MIDDLE\"><H3>Rettungssport</H3></TR>");
    s.WriteTextLine("</TABLE>");
    s.WriteTextLine("<HR SIZE=3>");
    s.WriteTextLine("<B>" + title + "<BR>");
    s.WriteTextLine(IsSingleCompetition(c) ? "Einzelwettbewerbe<BR>"
                                           : "Mannschaftswettbewerbe<BR>");
    s.WriteTextLine(HtmlEscape(c.Header.Datum.View()) + "</B>");

    // n counts every age class, empty ones included, so links and targets agree.
    if (o.AgeClassLinks) {
        s.WriteTextLine("<HR>");
        s.WriteTextLine("Zu den Ergebnissen der einzelnen Altersklassen: <BR>");
        int n = 0;
        for (const TAltersklasse& ac : c) {
            ++n;
            if (ac.Count() == 0) continue;
            std::string line = "<A HREF=\"#Ak" + IntToText(n) + "\">" +
                               HtmlEscape(ac.Data.Bezeichnung.View()) + "</A>";
            if (n < c.Count()) line += ", ";
            s.WriteTextLine(line);
        }
    }
    s.WriteTextLine("<HR>");
    int n = 0;
    for (const TAltersklasse& ac : c) {
        ++n;
        if (ac.Count() == 0) continue;
        const bool first = n == 1;
        if (o.TableForm)
            WriteTableForm(c, ac, n, first, s, o);
        else
            WriteTextForm(c, ac, n, first, s, o);
    }
    s.WriteTextLine("<HR>");
    s.WriteTextLine("</BODY>");
    s.WriteTextLine("</HTML>");
    return true;
}

} // namespace vm

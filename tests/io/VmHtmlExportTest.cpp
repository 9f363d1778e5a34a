#include "io/VmHtmlExport.h"

#include "print/VmDruck.h"
#include "support/Builders.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <string>
#include <vector>

namespace {

using namespace vm;

// The page split at CR LF; every line must end with it.
std::vector<std::string> Page(const TWettkampf& c, const THtmlExportOptions& o = {}) {
    TMemoryStream s;
    EXPECT_TRUE(ExportHtml(c, s, o));
    const std::string& data = s.Data();
    std::vector<std::string> lines;
    std::size_t pos = 0;
    while (pos < data.size()) {
        std::size_t end = data.find("\r\n", pos);
        EXPECT_NE(end, std::string::npos) << "line without CR LF";
        if (end == std::string::npos) break;
        lines.push_back(data.substr(pos, end - pos));
        pos = end + 2;
    }
    return lines;
}

std::size_t IndexOf(const std::vector<std::string>& lines, const std::string& line) {
    auto it = std::find(lines.begin(), lines.end(), line);
    return it == lines.end() ? std::string::npos : static_cast<std::size_t>(it - lines.begin());
}

TEST(HtmlEscape, EntitiesForUmlautsMarkupAndOtherLetters) {
    EXPECT_EQ(HtmlEscape(""), "");
    EXPECT_EQ(HtmlEscape("Müller"_oem), "M&uuml;ller");
    EXPECT_EQ(HtmlEscape("äöüÄÖÜß"_oem), "&auml;&ouml;&uuml;&Auml;&Ouml;&Uuml;&szlig;");
    EXPECT_EQ(HtmlEscape("<a href=\"x\">&</a>"), "&lt;a href=&quot;x&quot;&gt;&amp;&lt;/a&gt;");
    EXPECT_EQ(HtmlEscape("René ç"_oem), "Ren&#233; &#231;"); // é and ç of code page 850
    EXPECT_EQ(HtmlEscape("plain 12,50 'x'"), "plain 12,50 'x'");
    // No 255-character limit.
    EXPECT_EQ(HtmlEscape(std::string(200, '\x81')).size(), 200u * 6);
}

TEST(HtmlExport, PageLineByLineWithDefaults) {
    auto c = vmtest::ExportCompetition();
    const auto lines = Page(*c);
    const std::string title = "M&uuml;ller-Pokal &lt;2004&gt; &amp; &quot;Cup&quot;";
    const std::vector<std::string> head = {
        "<HTML>",
        "<HEAD>",
        "<TITLE>" + title + "</TITLE>",
        lines.size() > 3 ? lines[3] : "",
        "</HEAD>",
        "<meta name=\"keywords\" value=\"velbund,rettungssport\">",
        "<meta name=\"resource-type\" value=\"document\">",
        "<meta name=\"distribution\" value=\"global\">",
        std::string("<H2><A NAME=\"Velbund\" HREF=\"") + VelbundWebAddress +
            "\">Velbund-Verband e.V.</A></H2>",
        "<TABLE>",
        "<TD VALIGN=\"MIDDLE\"><IMG SRC=\"Bilder/rsport.gif\" ALT=\"[Vm]\" ALIGN=\"RIGHT\">",
        "<TD VALIGN=\"MIDDLE\"><H3>Rettungssport</H3></TR>",
        "</TABLE>",
        "<HR SIZE=3>",
        "<B>" + title + "<BR>",
        "Einzelwettbewerbe<BR>",
        "12.06.2004</B>",
        "<HR>",
        "Zu den Ergebnissen der einzelnen Altersklassen: <BR>",
        // The empty second age class has no link but keeps its number.
        "<A HREF=\"#Ak1\">AK 13/14 M&auml;dchen</A>, ",
        "<A HREF=\"#Ak3\">AK offen</A>",
        "<HR>",
        "<B><A NAME=\"Ak1\">AK 13/14 M&auml;dchen (Jahrg&auml;nge von 1990 bis 1991)</A></B>",
        "<TABLE BORDER>",
        "<TH>Pl. <TH>GesPkt <TH>Glied. <TH>Name <TH>Vorname <TH>Jg <TH>Zeit1 <TH>Abz1 <TH>Pkt1 "
        "<TH>Zeit2 "
        "<TH>Abz2 <TH>Pkt2 <TH>HLW <TR>",
    };
    ASSERT_GE(lines.size(), head.size());
    EXPECT_TRUE(lines[3].rfind("<!--", 0) == 0 && lines[3].find("Velmora") != std::string::npos)
        << lines[3];
    for (std::size_t i = 0; i < head.size(); ++i)
        EXPECT_EQ(lines[i], head[i]) << "line " << i + 1;
    const std::vector<std::string> tail = {"</TABLE>", "<HR>", "</BODY>", "</HTML>"};
    ASSERT_GE(lines.size(), tail.size());
    EXPECT_TRUE(std::equal(tail.begin(), tail.end(), lines.end() - 4));
    // The third age class follows a rule; the first one does not.
    const std::size_t ak3 =
        IndexOf(lines, "<B><A NAME=\"Ak3\">AK offen (Jahrg&auml;nge von 1900 bis 1987)</A></B>");
    ASSERT_NE(ak3, std::string::npos);
    EXPECT_EQ(lines[ak3 - 1], "<HR NOSHADE>");
    EXPECT_EQ(std::count(lines.begin(), lines.end(), "<HR NOSHADE>"), 1);
    EXPECT_EQ(lines[ak3 + 2], "<TH>Pl. <TH>GesPkt <TH>Glied. <TH>Name <TH>Vorname <TH>Jg <TH>Zeit1 "
                              "<TH>Abz1 <TH>Pkt1 <TR>");
}

TEST(HtmlExport, MarkupInNamesStaysText) {
    auto c = vmtest::ExportCompetition();
    const auto lines = Page(*c);
    bool found = false;
    for (const auto& line : lines) {
        if (line.find("&lt;b&gt;&quot;Ed&quot;&lt;/b&gt;") == std::string::npos) continue;
        found = true;
        EXPECT_EQ(line.find("<b>"), std::string::npos);
        EXPECT_NE(line.find("<TH>&lt;b&gt;&quot;Ed&quot;&lt;/b&gt; <TH>Anna; Lena <TH>91 "),
                  std::string::npos)
            << line;
        EXPECT_EQ(line.substr(line.size() - 4), "<TR>");
    }
    EXPECT_TRUE(found);
}

TEST(HtmlExport, TeamTableAndLongRowsAreNotCut) {
    auto c = vmtest::ExportCompetition(true);
    TAltersklasse& ac = *c->At(0);
    TAltersklasseData data = ac.Data;
    data.Disziplinenanzahl = 5;
    for (std::size_t i = 2; i < 5; ++i)
        data.Disziplinen[i] = data.Disziplinen[0];
    SetAgeClassData(ac, data);
    THtmlExportOptions o;
    o.WithHeatLane = true;
    const auto lines = Page(*c, o);
    EXPECT_NE(std::find(lines.begin(), lines.end(), "Mannschaftswettbewerbe<BR>"), lines.end());
    const std::size_t anchor = IndexOf(
        lines,
        "<B><A NAME=\"Ak1\">AK 13/14 M&auml;dchen (Jahrg&auml;nge von 1990 bis 1991)</A></B>");
    ASSERT_NE(anchor, std::string::npos);
    const std::string& caption = lines[anchor + 2];
    EXPECT_EQ(caption.rfind("<TH>Pl. <TH>GesPkt <TH>Glied. <TH>Mannschaft <TH>Zeit1 <TH>Abz1 "
                            "<TH>Pkt1 <TH>Lauf1 <TH>Bahn1 <TH>Zeit2 ",
                            0),
              0u);
    const std::string end = "<TH>Bahn5 <TH>HLW <TR>";
    EXPECT_EQ(caption.substr(caption.size() - end.size()), end);
    std::size_t longest = caption.size();
    for (int r = 1; r <= ac.Count(); ++r) {
        const std::string& row = lines[anchor + 2 + static_cast<std::size_t>(r)];
        longest = std::max(longest, row.size());
        EXPECT_EQ(row.substr(row.size() - 4), "<TR>");
    }
    EXPECT_GT(longest, 255u);
}

TEST(HtmlExport, LinksAndBackgroundOptions) {
    auto c = vmtest::ExportCompetition();
    THtmlExportOptions noLinks;
    noLinks.AgeClassLinks = false;
    auto lines = Page(*c, noLinks);
    const std::size_t date = IndexOf(lines, "12.06.2004</B>");
    ASSERT_NE(date, std::string::npos);
    EXPECT_EQ(lines[date + 1], "<HR>");
    EXPECT_EQ(lines[date + 2].rfind("<B><A NAME=\"Ak1\">", 0), 0u);
    for (const auto& line : lines)
        EXPECT_EQ(line.find("HREF=\"#"), std::string::npos);
    for (const auto& line : lines)
        EXPECT_EQ(line.find("<BODY"), std::string::npos);

    THtmlExportOptions both;
    both.BackgroundColour = "rot";
    both.BackgroundPicture = "Mü ll\"er.gif";
    lines = Page(*c, both);
    EXPECT_EQ(lines[5], "<BODY BGCOLOR=\"#ff0000\">");
    EXPECT_EQ(lines[6], "<BODY BACKGROUND=\"M%C3%BC%20ll%22er.gif\">");
    EXPECT_EQ(lines[7], "<meta name=\"keywords\" value=\"velbund,rettungssport\">");
}

TEST(HtmlExport, ColourEntriesMapToTheirColours) {
    const std::vector<std::pair<std::string, std::string>> cases = {
        {"Voreinstellung", "#ffffff"}, {"schwarz", "#000000"},
        {"weiß", "#ffffff"},           {"rot", "#ff0000"},
        {"grün", "#008000"},           {"blau", "#0000ff"},
        {"gelb", "#ffff00"},           {"magenta", "#ff00ff"},
        {"cyan", "#00ffff"},           {"weiss", "#ffffff"},
        {"gruen", "#008000"},          {"lila", "#ffffff"},
    };
    for (const auto& [entry, value] : cases)
        EXPECT_EQ(HtmlColourValue(entry), value) << entry;
    EXPECT_EQ(HtmlColourEntries().size(), 9u);
}

TEST(HtmlExport, TextFormUsesResultListLines) {
    auto c = vmtest::ExportCompetition();
    for (bool disciplines : {true, false}) {
        SCOPED_TRACE(disciplines);
        THtmlExportOptions o;
        o.TableForm = false;
        o.WithDisciplines = disciplines;
        const auto lines = Page(*c, o);
        const TAltersklasse& ac = *c->At(0);
        const std::size_t anchor =
            IndexOf(lines, "<B><A NAME=\"Ak1\">AK 13/14 M&auml;dchen (Jahrg&auml;nge von 1990 bis "
                           "1991)</A></B><PRE>");
        ASSERT_NE(anchor, std::string::npos);
        TResultLineOptions lo;
        lo.times = disciplines;
        for (int k = 1; k <= ac.Count(); ++k)
            EXPECT_EQ(lines[anchor + static_cast<std::size_t>(k)],
                      HtmlEscape(ResultLine(*c, ac, k, lo)));
        EXPECT_EQ(lines[anchor + static_cast<std::size_t>(ac.Count()) + 1], "</PRE>");
        const std::string& first = lines[anchor + 1];
        EXPECT_EQ(first.find("1:01,50") != std::string::npos ||
                      lines[anchor + 2].find("1:01,50") != std::string::npos ||
                      lines[anchor + 3].find("1:01,50") != std::string::npos,
                  disciplines);
        EXPECT_EQ(IndexOf(lines, "<TABLE BORDER>"), std::string::npos);
    }
}

} // namespace

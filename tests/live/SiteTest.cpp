// The live results site as written: its pages, escaping, the JSON document against its
// documented structure, and publishing into a folder.
#include "live/VmSite.h"

#include "support/Builders.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <filesystem>
#include <fstream>

using namespace vm;
using namespace vmtest;

namespace {

std::time_t Noon() {
    std::tm tm{};
    tm.tm_year = 126;
    tm.tm_mon = 11;
    tm.tm_mday = 11;
    tm.tm_hour = 14;
    tm.tm_min = 5;
    tm.tm_isdst = -1;
    return std::mktime(&tm);
}

const std::string& Body(const TSite& site, const std::string& name) {
    const TSiteFile* f = site.Find(name);
    if (!f) throw std::runtime_error("no file " + name);
    return f->Body;
}

bool Contains(const std::string& text, const std::string& part) {
    return text.find(part) != std::string::npos;
}

} // namespace

TEST(Site, IndexAndPagesCarryTheirParts) {
    auto c = ExportCompetition();
    TSiteOptions o;
    o.Now = Noon();
    o.LastChange["AK offen"] = Noon() - 3600;
    const auto site = RenderSite(*c, o);

    // The empty age class (second in the competition's order) has no page; the
    // others keep their position in the name.
    EXPECT_NE(site->Find("ak-1.html"), nullptr);
    EXPECT_EQ(site->Find("ak-2.html"), nullptr);
    EXPECT_NE(site->Find("ak-3.html"), nullptr);
    for (const char* name : {"index.html", "velmora.css", "velmora.js", "ergebnisse.csv",
                             "ergebnisse.xlsx", "ergebnisse.json"})
        EXPECT_NE(site->Find(name), nullptr) << name;

    const std::string& index = Body(*site, "index.html");
    EXPECT_TRUE(Contains(index, "<a href=\"ak-1.html\"><span>AK 13/14 Mädchen</span><span "
                                "class=\"n\">3 Teilnehmer</span>"));
    EXPECT_TRUE(Contains(index, "ak-3.html"));
    EXPECT_FALSE(Contains(index, "ak-2.html"));
    EXPECT_FALSE(Contains(index, "AK 15/16"));
    EXPECT_TRUE(Contains(index, "Stand: 11.12.2026, 14:05 Uhr"));
    for (const char* link : {"ergebnisse.csv", "ergebnisse.xlsx", "ergebnisse.json"})
        EXPECT_TRUE(Contains(index, link)) << link;

    for (const char* name : {"index.html", "ak-1.html", "ak-3.html"}) {
        const std::string& page = Body(*site, name);
        SCOPED_TRACE(name);
        EXPECT_EQ(page.rfind("<!DOCTYPE html>", 0), 0u);
        EXPECT_TRUE(Contains(page, "<meta charset=\"utf-8\">"));
        EXPECT_TRUE(Contains(page, "<meta http-equiv=\"refresh\" content=\"60\">"));
        EXPECT_TRUE(Contains(page, "name=\"viewport\""));
        EXPECT_TRUE(Contains(page, "href=\"velmora.css\""));
        EXPECT_EQ(site->Find(name)->ContentType, "text/html; charset=utf-8");
    }

    // Status marks as printed, the discipline names as the age class names them, the
    // last change only where it is known.
    const std::string& ak1 = Body(*site, "ak-1.html");
    const std::string& ak3 = Body(*site, "ak-3.html");
    EXPECT_TRUE(Contains(ak1, "<td class=\"r\">n.a.</td>"));
    EXPECT_TRUE(Contains(ak3, "<td class=\"r\">disq.</td>"));
    EXPECT_TRUE(Contains(ak1, "<td class=\"r\">0:61,50</td>") || Contains(ak1, "1:01,50"));
    EXPECT_TRUE(Contains(ak1, "<th class=\"r\">HLW</th>"));
    EXPECT_FALSE(Contains(ak3, "<th class=\"r\">HLW</th>"));
    EXPECT_TRUE(Contains(ak3, "Letzte Änderung: 11.12.2026, 13:05 Uhr"));
    EXPECT_FALSE(Contains(ak1, "Letzte Änderung"));
    EXPECT_TRUE(Contains(ak3, "<td class=\"w\">Ärger</td><td class=\"w\">Ödi Ülf ß</td>"));
}

TEST(Site, TextsFromTheCompetitionAreEscaped) {
    for (bool team : {false, true}) {
        SCOPED_TRACE(team ? "team" : "single");
        auto c = ExportCompetition(team);
        const auto site = RenderSite(*c);
        for (const auto& f : site->Files) {
            if (f.Name.find(".html") == std::string::npos) continue;
            SCOPED_TRACE(f.Name);
            EXPECT_FALSE(Contains(f.Body, "<b>")) << "markup of a name reached the page";
            EXPECT_FALSE(Contains(f.Body, "<2004>"));
            EXPECT_FALSE(Contains(f.Body, "\"Cup\""));
            EXPECT_FALSE(Contains(f.Body, "\"Ed\""));
        }
        EXPECT_TRUE(Contains(Body(*site, "index.html"),
                             "Müller-Pokal &lt;2004&gt; &amp; &quot;Cup&quot;"));
        const std::string& ak1 = Body(*site, "ak-1.html");
        EXPECT_TRUE(Contains(ak1, "<td class=\"w\">&lt;b&gt;&quot;Ed&quot;&lt;/b&gt;</td>"));
        EXPECT_TRUE(Contains(ak1, "data-such=\"&lt;b&gt;&quot;Ed&quot;&lt;/b&gt;"));
    }
}

TEST(Site, DownloadsComeFromTheExports) {
    auto c = ExportCompetition();
    const auto site = RenderSite(*c);
    const std::string& csv = Body(*site, "ergebnisse.csv");
    ASSERT_GE(csv.size(), 3u);
    EXPECT_EQ(csv.substr(0, 3), "\xEF\xBB\xBF");
    EXPECT_TRUE(Contains(csv, "\"NAME\";\"VORNAME\""));
    EXPECT_TRUE(Contains(csv, "Schröder"));
    EXPECT_EQ(Body(*site, "ergebnisse.xlsx").substr(0, 2), "PK");

    TSiteOptions o;
    o.Workbook = false;
    const auto lean = RenderSite(*c, o);
    EXPECT_EQ(lean->Find("ergebnisse.xlsx"), nullptr);
    EXPECT_FALSE(Contains(Body(*lean, "index.html"), "ergebnisse.xlsx"));
}

// The JSON document read by a real JSON reader and checked against the structure the
// README documents.
TEST(Site, JsonFollowsItsDocumentedStructure) {
    for (bool team : {false, true}) {
        SCOPED_TRACE(team ? "team" : "single");
        auto c = ExportCompetition(team);
        TempDir dir;
        const std::string file = dir.File("e.json");
        WriteFileBytes(file, SiteJson(*c, 0));
        const std::string check = dir.File("check.py");
        WriteFileBytes(check, R"PY(
import json, sys
d = json.load(open(sys.argv[1], encoding='utf-8'))
team = sys.argv[2] == '1'
assert d['format'] == 'velmora-ergebnisse' and d['version'] == 1, d
w = d['wettkampf']
assert w['veranstaltung'] == 'Müller-Pokal <2004> & "Cup"', w
assert w['art'] == ('mannschaft' if team else 'einzel') and w['hundertstel'] is True
aks = d['altersklassen']
assert [a['name'] for a in aks] == ['AK 13/14 Mädchen', 'AK 15/16', 'AK offen'], aks
assert [a['seite'] for a in aks] == ['ak-1.html', None, 'ak-3.html']
a1, a3 = aks[0], aks[2]
assert a1['weiblich'] is True and a1['hlw'] is True and a3['hlw'] is False
assert [x['nummer'] for x in a1['disziplinen']] == [1, 2]
names = [p['mannschaft' if team else 'name'] for p in a1['teilnehmer']]
assert '<b>"Ed"</b>' in names and 'Schröder' in names, names
for p in a1['teilnehmer']:
    assert len(p['disziplinen']) == 2
    assert isinstance(p['gesamtpunkte'], float) or isinstance(p['gesamtpunkte'], int)
    assert 'hlw' in p
    for key in (('mannschaft', 'zusatz') if team else ('name', 'vorname', 'geburtsdatum')):
        assert key in p, (key, p)
absent = next(p for p in a1['teilnehmer'] if p['mannschaft' if team else 'name'] == 'Absent')
assert absent['disziplinen'][1]['status'] == 'nicht_angetreten' and absent['disziplinen'][1]['zeit'] is None
assert absent['disziplinen'][0]['status'] is None and absent['disziplinen'][0]['zeit'] == '1:05,00'
s = next(p for p in a1['teilnehmer'] if p['mannschaft' if team else 'name'] == 'Schröder')
assert s['disziplinen'][0]['strafpunkte'] == 5 and s['disziplinen'][0]['zeitHundertstel'] == 6150
assert s['disziplinen'][0]['lauf'] == 2 and s['disziplinen'][0]['bahn'] == 4
assert s['hlw']['punkte'] == 85.5 and s['hlw']['status'] is None
assert s['platz'] in (1, 2, 3)
disq = a3['teilnehmer'][0]
assert disq['disziplinen'][0]['status'] == 'disqualifiziert' and disq['disziplinen'][0]['punkte'] == 0
assert 'hlw' not in disq
)PY");
        const std::string cmd = "python3 " + check + " " + file + (team ? " 1" : " 0");
        EXPECT_EQ(std::system(cmd.c_str()), 0) << SiteJson(*c, 0);
    }
}

TEST(Publish, WritesEveryFileRemovesStalePagesAndLeavesOthersAlone) {
    auto c = ExportCompetition();
    TempDir dir;
    const std::string out = dir.File("site");
    std::filesystem::create_directories(out);
    // Files the site did not write, some of them named like its own.
    const std::vector<std::string> foreign = {"ak-1.htm", "ak-x.html", "notiz.txt", "ak-7.html.bak"};
    for (const auto& f : foreign)
        WriteFileBytes(out + "/" + f, "fremd " + f);
    // A page of an age class that no longer has participants.
    WriteFileBytes(out + "/ak-2.html", "alt");
    WriteFileBytes(out + "/ak-17.html", "alt");

    const auto site = RenderSite(*c);
    std::string message;
    ASSERT_TRUE(PublishSite(*site, out, message)) << message;
    for (const auto& f : site->Files)
        EXPECT_EQ(ReadFileBytes(out + "/" + f.Name), f.Body) << f.Name;
    EXPECT_FALSE(std::filesystem::exists(out + "/ak-2.html"));
    EXPECT_FALSE(std::filesystem::exists(out + "/ak-17.html"));
    for (const auto& f : foreign)
        EXPECT_EQ(ReadFileBytes(out + "/" + f), "fremd " + f);
    // Nothing left under a temporary name.
    std::size_t count = 0;
    for (const auto& e : std::filesystem::directory_iterator(out)) {
        ++count;
        EXPECT_NE(e.path().filename().string()[0], '.') << e.path();
    }
    EXPECT_EQ(count, site->Files.size() + foreign.size());
    EXPECT_EQ(std::filesystem::status(out + "/index.html").permissions() &
                  std::filesystem::perms::others_read,
              std::filesystem::perms::others_read);
}

TEST(Publish, AFolderThatCannotBeWrittenGivesOneMessage) {
    auto c = ExportCompetition();
    TempDir dir;
    WriteFileBytes(dir.File("datei"), "kein Ordner");
    const auto site = RenderSite(*c);
    std::string message;
    EXPECT_FALSE(PublishSite(*site, dir.File("datei") + "/site", message));
    EXPECT_TRUE(Contains(message, "kann nicht")) << message;
    EXPECT_EQ(ReadFileBytes(dir.File("datei")), "kein Ordner");
}

TEST(Publish, TheCommandLine) {
    TempDir dir;
    const std::string erg = SmallCompetitionFile(dir, "Tag1.ERG", false);
    const std::string out = dir.File("www/live");
    CliResult r = RunCli({"publish", erg, out});
    EXPECT_EQ(r.status, 0) << r.err;
    EXPECT_TRUE(std::filesystem::exists(out + "/index.html"));
    EXPECT_TRUE(std::filesystem::exists(out + "/ak-1.html"));
    EXPECT_TRUE(std::filesystem::exists(out + "/ergebnisse.json"));

    WriteFileBytes(dir.File("blocker"), "x");
    r = RunCli({"publish", erg, dir.File("blocker") + "/live"});
    EXPECT_EQ(r.status, 1);
    EXPECT_TRUE(Contains(r.err, "kann nicht")) << r.err;

    r = RunCli({"publish", dir.File("fehlt.ERG"), out});
    EXPECT_EQ(r.status, 1);
    EXPECT_EQ(RunCli({"publish", erg}).status, 2);
}

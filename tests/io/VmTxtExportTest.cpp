#include "io/VmTxtExport.h"

#include "io/VmExport.h"
#include "support/Builders.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace {

using namespace vm;

std::string Export(const TWettkampf& c, const TTextExportOptions& o = {}) {
    TMemoryStream s;
    EXPECT_TRUE(ExportText(c, s, o));
    return s.Data();
}

// Lines split at LF CR; every line must end with it.
std::vector<std::string> Lines(const std::string& data) {
    std::vector<std::string> lines;
    std::size_t pos = 0;
    while (pos < data.size()) {
        std::size_t end = data.find("\n\r", pos);
        EXPECT_NE(end, std::string::npos) << "line without LF CR";
        if (end == std::string::npos) break;
        lines.push_back(data.substr(pos, end - pos));
        pos = end + 2;
    }
    return lines;
}

const TTeilnehmer& Find(const TWettkampf& c, std::string_view name) {
    for (const TAltersklasse& ac : c)
        for (const TTeilnehmer& p : ac)
            if (p.NameKey() == name) return p;
    throw std::runtime_error("no such participant");
}

TEST(ExportColumns, NameSetsWidthsAndTypes) {
    const auto& single = ExportColumns(true);
    const auto& team = ExportColumns(false);
    ASSERT_EQ(single.size(), 35u);
    ASSERT_EQ(team.size(), 35u);
    EXPECT_EQ(team[0].TextName, "ORTSGRUPPE");
    EXPECT_EQ(team[1].DbfName, "ZUSATZ");
    EXPECT_EQ(team[2].XlsName, "TEILN");
    EXPECT_EQ(team[2].DbfLength, 5);
    EXPECT_EQ(single[6].TextName, "GLD");
    EXPECT_EQ(single[6].DbfName, "GLIEDERUNG");
    EXPECT_EQ(single[6].XlsName, "GLIEDERUNG");
    // The fifth discipline group and the HLW columns.
    EXPECT_EQ(single[27].TextName, "ZEIT5");
    EXPECT_EQ(single[28].TextName, "ABZ5");
    EXPECT_EQ(single[28].DbfName, "ABZUG5");
    EXPECT_EQ(single[31].XlsName, "BAHN5");
    EXPECT_EQ(single[34].TextName, "HLWBAH");
    EXPECT_EQ(single[34].DbfName, "HLWBAHN");
    EXPECT_EQ(single[34].TextWidth, 4);
    int recordLength = 1;
    for (const auto& col : single)
        recordLength += col.DbfLength;
    EXPECT_EQ(recordLength, 266);
}

TEST(ExportColumns, ValuesOfOneParticipant) {
    auto c = vmtest::ExportCompetition();
    const TTeilnehmer& p = Find(*c, "Schr\x94"
                                    "der");
    auto text = [&](int col) { return ExportCell(*c, p, col).Text; };
    EXPECT_EQ(text(0), "Schr\x94"
                       "der");
    EXPECT_EQ(text(2), "12.03.1990");
    EXPECT_EQ(text(4), IntToText(p.Platz));
    EXPECT_EQ(text(5), "AK 13/14 M\x84"
                       "dchen");
    EXPECT_EQ(text(7), "1:01,50");
    EXPECT_EQ(text(8), "5");
    EXPECT_EQ(text(10), "2");
    EXPECT_EQ(text(15), "3");
    EXPECT_EQ(text(16), "1");
    EXPECT_EQ(text(17), "0:00,00"); // third discipline: not in the age class, exported anyway
    EXPECT_EQ(text(32), "85,50");
    EXPECT_EQ(text(33), "09:05");
    EXPECT_EQ(text(34), "3");
    EXPECT_EQ(ExportCell(*c, p, 32).Number, 8550);

    const TTeilnehmer& disq = Find(*c, "\x8E"
                                       "rger");
    EXPECT_EQ(ExportCell(*c, disq, 8).Text, "disq.");
    EXPECT_EQ(ExportCell(*c, disq, 8).Number, -1);

    auto team = vmtest::ExportCompetition(true);
    const TTeilnehmer& t = Find(*team, "Schr\x94"
                                       "der");
    EXPECT_EQ(ExportCell(*team, t, 1).Text, "J\x81rgen");
    EXPECT_FALSE(ExportCell(*team, t, 2).Present);
}

TEST(ExportColumns, RowOrderFollowsAgeClassesAndRanking) {
    auto c = vmtest::ExportCompetition();
    std::vector<std::string> order;
    ForEachExportRow(
        *c, [&](const TAltersklasse&, const TTeilnehmer& p) { order.emplace_back(p.NameKey()); });
    std::vector<std::string> expected;
    for (const TAltersklasse& ac : *c)
        for (const TTeilnehmer& p : ac)
            expected.emplace_back(p.NameKey());
    EXPECT_EQ(order, expected);
    ASSERT_EQ(order.size(), 4u);
    EXPECT_EQ(order.back(), "\x8E"
                            "rger"); // the oldest class comes last
}

TEST(TextExport, HeaderNamesAreCutToTheirWidthsAndLinesEndLfCr) {
    auto c = vmtest::ExportCompetition();
    const std::string data = Export(*c);
    const std::string header =
        "\"NAME\";\"VORNAME\";\"GEBDATUM\";\"GESAMTPK\";\"PLATZ\";\"ALTERSKL\";\"GLD\";"
        "\"ZEIT1\";\"ABZ1\";\"PUNKTE1\";\"LAUF1\";\"BAHN1\";\"ZEIT2\";\"ABZ2\";\"PUNKTE2\";"
        "\"LAUF2\";\"BAHN2\";"
        "\"ZEIT3\";\"ABZ3\";\"PUNKTE3\";\"LAUF3\";\"BAHN3\";\"ZEIT4\";\"ABZ4\";\"PUNKTE4\";"
        "\"LAUF4\";\"BAHN4\";"
        "\"ZEIT5\";\"ABZ5\";\"PUNKTE5\";\"LAUF5\";\"BAHN5\";\"HLW\";\"HLWZE\";\"HLWB\"\n\r";
    EXPECT_EQ(data.substr(0, header.size()), header);
    EXPECT_EQ(data.substr(data.size() - 2), "\n\r");
    EXPECT_EQ(data.find("\r\n"), std::string::npos);
}

TEST(TextExport, WholeRowWithDefaults) {
    auto c = vmtest::ExportCompetition();
    const auto lines = Lines(Export(*c));
    const TTeilnehmer& p = Find(*c, "Schr\x94"
                                    "der");
    std::string expected = "\"Schr\xF6"
                           "der\";\"J\xFCrgen\";\"12.03.1990\";\"" +
                           PointsToText(p.Gesamtpunkte, 2) + "\";\"" + IntToText(p.Platz) +
                           "\";\"AK 13/14 M\xE4"
                           "dchen\";\"BY\";" +
                           "\"1:01,50\";\"5\";\"" + PointsToText(p.Punkte[0], 2) +
                           "\";\"2\";\"4\";" + "\"0:43,21\";\"0\";\"" +
                           PointsToText(p.Punkte[1], 2) + "\";\"3\";\"1\";";
    for (int i = 3; i <= 5; ++i)
        expected += "\"0:00,00\";\"0\";\"0,00\";\"0\";\"0\";";
    expected += "\"85,50\";\"09:05\";\"3\"";
    bool found = false;
    for (const auto& line : lines)
        found = found || line == expected;
    EXPECT_TRUE(found) << expected;
}

TEST(TextExport, QuoteInsideValueIsDoubledAndSeparatorStaysInside) {
    auto c = vmtest::ExportCompetition();
    const std::string data = Export(*c);
    EXPECT_NE(data.find("\"<b>\"\"Ed\"\"</b>\";\"Anna; Lena\";\"1991\";"), std::string::npos);

    TTextExportOptions single;
    single.QuoteChar = '\'';
    single.Separator = ',';
    auto c2 = vmtest::ExportCompetition();
    c2->At(0)->At(0)->SetVorname("O'Neil");
    const std::string data2 = Export(*c2, single);
    EXPECT_NE(data2.find(",'O''Neil',"), std::string::npos);
}

TEST(TextExport, UnquotedValuesAreWrittenUnchanged) {
    auto c = vmtest::ExportCompetition();
    TTextExportOptions o;
    o.QuoteFields = false;
    o.Separator = ',';
    o.WithDisciplines = false;
    const auto lines = Lines(Export(*c, o));
    ASSERT_FALSE(lines.empty());
    EXPECT_EQ(lines[0], "NAME,VORNAME,GEBDATUM,GESAMTPK,PLATZ,ALTERSKL,GLD");
    // A separator inside a value is not protected without quoting.
    bool found = false;
    for (const auto& line : lines)
        found = found || line.rfind("<b>\"Ed\"</b>,Anna; Lena,1991,", 0) == 0;
    EXPECT_TRUE(found);
}

TEST(TextExport, OptionsShapeTheFile) {
    auto c = vmtest::ExportCompetition();
    struct Case {
        const char* what;
        TTextExportOptions o;
        std::size_t lines;
        std::size_t columns;
    };
    TTextExportOptions noHeader;
    noHeader.WithHeader = false;
    TTextExportOptions nonStarters;
    nonStarters.WithNonStarters = true;
    TTextExportOptions noDisciplines;
    noDisciplines.WithDisciplines = false;
    TTextExportOptions tab;
    tab.Separator = SeparatorFromText("{TAB}");
    tab.QuoteFields = false;
    const Case cases[] = {
        {"defaults: header, three starters", {}, 4, 35},
        {"no header", noHeader, 3, 35},
        {"with non-starters", nonStarters, 5, 35},
        {"without disciplines", noDisciplines, 4, 7},
        {"tab separated", tab, 4, 35},
    };
    for (const Case& k : cases) {
        SCOPED_TRACE(k.what);
        const auto lines = Lines(Export(*c, k.o));
        ASSERT_EQ(lines.size(), k.lines);
        const char sep = k.o.Separator;
        // Count the separators outside quotes (the fixture has "Anna; Lena").
        std::size_t seps = 0;
        bool inQuote = false;
        for (char ch : lines[0]) {
            if (k.o.QuoteFields && ch == k.o.QuoteChar) inQuote = !inQuote;
            if (!inQuote && ch == sep) ++seps;
        }
        EXPECT_EQ(seps + 1, k.columns);
    }
    // The absent participant appears only with non-starters.
    EXPECT_EQ(Export(*c).find("Absent"), std::string::npos);
    EXPECT_NE(Export(*c, nonStarters).find("Absent"), std::string::npos);
}

TEST(TextExport, CharsetDosKeepsStoredBytesWindowsConverts) {
    auto c = vmtest::ExportCompetition();
    TTextExportOptions dos;
    dos.Charset = TTextExportOptions::csDos;
    EXPECT_NE(Export(*c, dos).find("\"\x8E"
                                   "rger\";\"\x99"
                                   "di \x9A"
                                   "lf \xE1\""),
              std::string::npos);
    EXPECT_NE(Export(*c).find("\"\xC4"
                              "rger\";\"\xD6"
                              "di \xDC"
                              "lf \xDF\""),
              std::string::npos);
}

TEST(TextExport, Utf8StartsWithByteOrderMarkAndCutsByCharacters) {
    auto c = vmtest::ExportCompetition();
    // A name of 20 umlauts fills its column exactly; cutting by bytes would halve it.
    const std::string umlauts(20, '\x81');
    for (TAltersklasse& ac : *c)
        for (TTeilnehmer& p : ac)
            if (p.NameKey() == "\x8E"
                               "rger")
                p.SetVorname(umlauts);
    TTextExportOptions utf8;
    utf8.Charset = TTextExportOptions::csUtf8;
    const std::string data = Export(*c, utf8);
    ASSERT_EQ(data.rfind("\xEF\xBB\xBF\"NAME\";", 0), 0u);
    std::string expected = "\"\xC3\x84rger\";\"";
    for (int i = 0; i < 20; ++i)
        expected += "\xC3\xBC";
    EXPECT_NE(data.find(expected + "\""), std::string::npos);
    EXPECT_EQ(Lines(data.substr(3)).size(), Lines(Export(*c)).size());
}

TEST(TextExport, TeamRowsLeaveTeilnEmpty) {
    auto c = vmtest::ExportCompetition(true);
    const auto lines = Lines(Export(*c));
    ASSERT_EQ(lines.size(), 4u);
    EXPECT_EQ(lines[0].rfind("\"ORTSGRUPPE\";\"ZUSATZ\";\"TEILN\";\"GESAMTPK\";", 0), 0u);
    bool found = false;
    for (const auto& line : lines)
        found = found || line.rfind("\"Schr\xF6"
                                    "der\";\"J\xFCrgen\";\"\";",
                                    0) == 0;
    EXPECT_TRUE(found);
}

TEST(TextExport, NotStartedUsesStoredHlwPoints) {
    struct Case {
        std::int16_t penalty;
        std::int32_t hlw;
        bool notStarted;
    };
    const Case cases[] = {
        {0, 0, false},    {-1, 0, false},  {-2, 0, true},   {-3, 0, true},  {-4, 0, false},
        {0, -100, false}, {0, -200, true}, {0, -300, true}, {0, -3, false}, {0, -2, false},
    };
    for (const Case& k : cases) {
        SCOPED_TRACE(std::to_string(k.penalty) + "/" + std::to_string(k.hlw));
        auto p = NewParticipant();
        p->Abzug[4] = k.penalty;
        p->HLWPunkte = k.hlw;
        EXPECT_EQ(NotStartedForExport(*p), k.notStarted);
    }
}

TEST(TextTableWriter, CutsValuesIgnoresUnknownColumnsAndLimitsColumns) {
    TMemoryStream s;
    TTextTableWriter w;
    EXPECT_EQ(w.Separator, ';');
    w.AddColumn("A", 3);
    w.AddColumn("B", 0);
    w.SetStream(&s);
    w.SetValue(0, "abcdef");
    w.SetValue(1, "x");
    w.SetValue(2, "ignored");
    w.SetValue(-1, "ignored");
    w.WriteRow();
    w.ClearValues();
    w.WriteRow();
    EXPECT_EQ(s.Data(), std::string("abc;\n\r;\n\r"));
    for (int i = 2; i < TTextTableWriter::MaxColumns; ++i)
        EXPECT_TRUE(w.AddColumn("C", 1));
    EXPECT_FALSE(w.AddColumn("too many", 1));
    EXPECT_EQ(w.ColumnCount(), TTextTableWriter::MaxColumns);
}

TEST(TextTableWriter, SeparatorNames) {
    EXPECT_EQ(SeparatorFromText(";"), ';');
    EXPECT_EQ(SeparatorFromText("|"), '|');
    EXPECT_EQ(SeparatorFromText("{TAB}"), '\t');
    EXPECT_EQ(SeparatorFromText("{LEER}"), ' ');
    EXPECT_EQ(SeparatorFromText(""), ';');
}

} // namespace

// Participant import: text lines for individuals and teams, 96-byte legacy records,
// and the import command of velmora-cli. Every input file is assembled byte by byte.
#include "io/VmImport.h"
#include "file/VmErg.h"
#include "support/TestSupport.h"

#include <gtest/gtest.h>

#include <random>

namespace vm {
namespace {

// Little-endian byte assembly of legacy records.
struct TBytes {
    std::string b;
    TBytes& I16(int v) {
        const auto u = static_cast<std::uint16_t>(static_cast<std::int16_t>(v));
        b += static_cast<char>(u & 0xFF);
        b += static_cast<char>(u >> 8);
        return *this;
    }
    // A blank-padded fixed-width character field.
    TBytes& Fixed(std::string_view text, std::size_t width) {
        std::string t(text.substr(0, width));
        t.resize(width, ' ');
        b += t;
        return *this;
    }
    TBytes& Zero(std::size_t n) {
        b.append(n, '\0');
        return *this;
    }
};

struct TDiscIn {
    int heatLane = 0, tenths = 0, points = 0, penalty = 0;
};

std::string IndividualRecord(std::string_view name, std::string_view first, std::string_view glied,
                             int code, std::array<TDiscIn, 3> d, int year, int hlw) {
    TBytes r;
    r.Fixed(name, 14).Fixed(first, 14).Fixed(glied, 4).I16(code).Zero(2);
    for (auto& x : d)
        r.I16(x.heatLane);
    r.Zero(2);
    for (auto& x : d)
        r.I16(x.tenths);
    for (auto& x : d)
        r.I16(x.points);
    for (auto& x : d)
        r.I16(x.penalty);
    r.I16(year).I16(hlw).Zero(30);
    EXPECT_EQ(r.b.size(), 96u);
    return r.b;
}

std::string TeamRecord(std::string_view name, std::string_view glied, int code,
                       std::array<TDiscIn, 4> d, int hlw) {
    TBytes r;
    r.Fixed(name, 28).Fixed(glied, 4).I16(code).Zero(2);
    for (auto& x : d)
        r.I16(x.heatLane);
    r.Zero(2);
    for (auto& x : d)
        r.I16(x.tenths);
    r.Zero(2);
    for (auto& x : d)
        r.I16(x.points);
    r.Zero(2);
    for (auto& x : d)
        r.I16(x.penalty);
    r.Zero(6).I16(hlw).Zero(14);
    EXPECT_EQ(r.b.size(), 96u);
    return r.b;
}

void AddClass(TWettkampf& c, std::string_view name, int from, int to, bool female) {
    auto ac = NewAgeClass();
    ac->Data.Bezeichnung.Set(name);
    ac->Data.JahrgangVon = static_cast<std::int16_t>(from);
    ac->Data.JahrgangBis = static_cast<std::int16_t>(to);
    ac->Data.Eigenschaften = female ? akWeiblich : 0;
    ac->Data.Disziplinenanzahl = 4;
    for (auto& d : ac->Data.Disziplinen) {
        d.Bezeichnung.Set("50m");
        d.Berechnungsart = baLinear;
        d.V[0] = 135000;
        d.V[1] = 100;
    }
    ASSERT_TRUE(c.InsertAgeClass(std::move(ac)));
}

std::unique_ptr<TWettkampf> Competition(std::int16_t art) {
    auto c = NewCompetition();
    c->Header.Art = art;
    return c;
}

const TTeilnehmer* Find(const TWettkampf& c, std::string_view name) {
    for (const TAltersklasse& ac : c)
        for (const TTeilnehmer& p : ac)
            if (p.NameKey() == name) return &p;
    return nullptr;
}

int Total(const TWettkampf& c) {
    int n = 0;
    for (const TAltersklasse& ac : c)
        n += ac.Count();
    return n;
}

// ---- text import ---------------------------------------------------------------------

TEST(TextImport, IndividualLinesFillEveryField) {
    auto c = Competition(wkEinzel);
    AddClass(*c, "AK 13/14w", 1990, 1991, true);
    AddClass(*c, "AK 13/14m", 1990, 1991, false);
    TMemoryStream s("Name;Vorname;Glied;AK;...\r\n"
                    "Meier;Anna;by;AK "
                    "13/14w;w;0:35,12;2;1:10,0;DISQ;0:40,00;N-AN;0:50,00;n-an;1250;12.03.1991\r\n"
                    "\r\n"
                    "Eine sehr lange Nachnamenzeile;Karl;nrwxyz;AK 13/14m;M\r\n");
    TMessageCapture messages;
    EXPECT_EQ(ImportText(s, *c), 2);
    EXPECT_TRUE(messages.Messages().empty());

    const TTeilnehmer* anna = Find(*c, "Meier");
    ASSERT_NE(anna, nullptr);
    EXPECT_EQ(anna->Vorname(), "Anna");
    EXPECT_EQ(anna->Gliederung.Get(), "BY");
    EXPECT_EQ(anna->Altersklasse.Get(), "AK 13/14w");
    EXPECT_TRUE(anna->Has(tnWeiblich));
    EXPECT_TRUE(anna->Has(tnMeldet));
    EXPECT_EQ(anna->Zeit[0], 3512);
    EXPECT_EQ(anna->Abzug[0], 2);
    EXPECT_EQ(anna->Zeit[1], 7000);
    EXPECT_EQ(anna->Abzug[1], -1);
    EXPECT_EQ(anna->Abzug[2], -2);
    EXPECT_EQ(anna->Abzug[3], 0); // "n-an" is not a status: an integer that does not parse
    EXPECT_EQ(anna->Zeit[4], 0);
    EXPECT_EQ(anna->HLWPunkte, 125000);
    EXPECT_EQ(anna->Geburtsdatum(), "12.03.1991");
    EXPECT_EQ(anna->Gesamtpunkte, 0); // N-AN in one discipline voids the total

    const TTeilnehmer* karl = Find(*c, "Eine sehr lange Nach");
    ASSERT_NE(karl, nullptr);
    EXPECT_EQ(karl->Gliederung.Get(), "NRWXY");
    EXPECT_FALSE(karl->Has(tnWeiblich));
    EXPECT_EQ(karl->Zeit[0], 0);
    EXPECT_EQ(karl->HLWPunkte, 0);
    EXPECT_EQ(karl->Geburtsdatum(), "");
}

TEST(TextImport, TeamLinesUseTheTeamColumns) {
    auto c = Competition(wkMannschaft);
    AddClass(*c, "OFFENE KLASSE", 1900, 2100, false);
    TMemoryStream s(
        "Mannschaft;Glied;AK\n"
        "SG Musterstadt I;by;offene Klasse;m;1:05,30;3;1:10,00;DISQ;;;0:30,00;N-AN;800\n"
        "Ohne Klasse;be;keine;m\n");
    TMessageCapture messages;
    EXPECT_EQ(ImportText(s, *c), 1);
    const TTeilnehmer* t = Find(*c, "SG Musterstadt I");
    ASSERT_NE(t, nullptr);
    EXPECT_EQ(t->Gliederung.Get(), "by"); // team Gliederung stays as written
    EXPECT_EQ(t->Altersklasse.Get(), "OFFENE KLASSE");
    EXPECT_EQ(t->Zeit[0], 6530);
    EXPECT_EQ(t->Abzug[0], 3);
    EXPECT_EQ(t->Abzug[1], -1);
    EXPECT_EQ(t->Zeit[3], 3000);
    EXPECT_EQ(t->Abzug[3], -2);
    EXPECT_EQ(t->HLWPunkte, 80000);
    ASSERT_EQ(messages.Messages().size(), 1u);
    EXPECT_EQ(messages.Messages()[0],
              "Ohne Klasse (Altersklasse KEINE) konnte nicht eingefügt werden."_oem);
}

TEST(TextImport, HeaderOnlyEmptyAndUnfiledLines) {
    auto c = Competition(wkEinzel);
    AddClass(*c, "AK 13/14m", 1990, 1991, false);
    {
        TMemoryStream s("Name;Vorname\r\n");
        EXPECT_EQ(ImportText(s, *c), 0);
        TMemoryStream e("");
        EXPECT_EQ(ImportText(e, *c), 0);
    }
    // A line that names an unknown age class is reported; the lines around it count.
    TMemoryStream s("kopf\r\nA;Eins;;AK 13/14m\r\nB;Zwei;;AK 99\r\nC;Drei;;;m;;;;;;;;;;03.04.91\r\n"
                    "D;Vier;;;m;;;;;;;;;;1985\r\n");
    TMessageCapture messages;
    EXPECT_EQ(ImportText(s, *c), 2);
    EXPECT_NE(Find(*c, "A"), nullptr);
    // The automatic age class reads a two-digit year into the century of the ranges.
    ASSERT_NE(Find(*c, "C"), nullptr);
    EXPECT_EQ(Find(*c, "C")->Altersklasse.Get(), "AK 13/14m");
    ASSERT_EQ(messages.Messages().size(), 2u);
    EXPECT_EQ(messages.Messages()[0],
              "B, Zwei (Altersklasse AK 99) konnte nicht eingefügt werden."_oem);
    EXPECT_EQ(messages.Messages()[1],
              "D, Vier (Altersklasse ?) konnte nicht eingefügt werden."_oem);
}

TEST(TextImport, LinesAreSplitIntoAtMostThirtyFields) {
    EXPECT_EQ(SplitImportLine("").size(), 1u);
    EXPECT_EQ(SplitImportLine("a;;b;").size(), 4u);
    std::string line;
    for (int i = 1; i <= 35; ++i)
        line += (i > 1 ? ";f" : "f") + std::to_string(i);
    const auto f = SplitImportLine(line);
    ASSERT_EQ(f.size(), 30u);
    EXPECT_EQ(f[29], "f30");

    // A line longer than 255 characters keeps its first 255.
    auto c = Competition(wkEinzel);
    AddClass(*c, "AK", 1900, 2100, false);
    std::string longLine = "Lang;Hans;;AK;m;" + std::string(300, ';') + "\r\n";
    TMemoryStream s("kopf\r\n" + longLine + "Kurz;Eva;;AK;m\r\n");
    EXPECT_EQ(ImportText(s, *c), 2);
}

TEST(TextImport, PenaltyTexts) {
    const std::vector<std::pair<std::string, int>> cases = {{"N-AN", -2}, {"DISQ", -1}, {"n-an", 0},
                                                            {"disq", 0},  {"N-AN ", 0}, {"", 0},
                                                            {"12", 12},   {"-3", -3},   {"x1", 0}};
    for (const auto& [text, expected] : cases)
        EXPECT_EQ(ImportPenalty(text), expected) << text;
}

// ---- character sets of the text import -----------------------------------------------

// The same two lines in each character set; "wü" and "WÜ" name one Gliederung.
TEST(TextImportCharset, EveryEncodingGivesTheSameCompetition) {
    struct Case {
        const char* what;
        std::string file;
    };
    const std::vector<Case> cases = {
        {"UTF-8",
         "Name;Vorname\nM\xC3\xBCller;J\xC3\xB6rg \xC3\x9F\xC3\xA9;w\xC3\xBC;Sch\xC3\xBCler\n"
         "\xC3\x84rger;\xC3\x96"
         "di \xC3\x9C\xC3\xA4;W\xC3\x9C;Sch\xC3\xBCler\n"},
        {"UTF-8 with mark",
         "\xEF\xBB\xBFName;Vorname\r\nM\xC3\xBCller;J\xC3\xB6rg \xC3\x9F\xC3\xA9;"
         "w\xC3\xBC;Sch\xC3\xBCler\r\n\xC3\x84rger;\xC3\x96"
         "di \xC3\x9C\xC3\xA4;"
         "W\xC3\x9C;Sch\xC3\xBCler\r\n"},
        {"Windows 1252", "Name;Vorname\r\nM\xFCller;J\xF6rg \xDF\xE9;w\xFC;Sch\xFCler\r\n"
                         "\xC4rger;\xD6"
                         "di \xDC\xE4;W\xDC;Sch\xFCler\r\n"},
        {"code page 850", "Name;Vorname\r\nM\x81ller;J\x94rg \xE1\x82;w\x81;Sch\x81ler\r\n"
                          "\x8Erger;\x99"
                          "di \x9A\x84;W\x9A;Sch\x81ler\r\n"},
    };
    for (const Case& k : cases) {
        SCOPED_TRACE(k.what);
        auto c = Competition(wkEinzel);
        AddClass(*c, "Schüler"_oem, 1900, 2100, false);
        TMemoryStream s(k.file);
        TMessageCapture messages;
        EXPECT_EQ(ImportText(s, *c), 2);
        EXPECT_TRUE(messages.Messages().empty());
        const TTeilnehmer* a = Find(*c, "Müller"_oem);
        const TTeilnehmer* b = Find(*c, "Ärger"_oem);
        ASSERT_TRUE(a && b);
        EXPECT_EQ(a->Vorname(), "Jörg ßé"_oem);
        EXPECT_EQ(b->Vorname(), "Ödi Üä"_oem);
        EXPECT_EQ(a->Gliederung.Get(), "WÜ"_oem);
        EXPECT_EQ(b->Gliederung.Get(), "WÜ"_oem);
    }
}

TEST(TextImportCharset, Detection) {
    const std::vector<std::pair<std::string, TTextEncoding>> cases = {
        {"Meier;Anna", TTextEncoding::Dos},
        {"M\xC3\xBCller", TTextEncoding::Utf8},
        {"M\xFCller", TTextEncoding::Windows},
        {"M\x81ller", TTextEncoding::Dos},
        {"Ren\xE9", TTextEncoding::Windows},
        // 0xE1 is ß in 850 and á in 1252: more of 850's letters decide for 850.
        {"Stra\xE1"
         "e M\x81ller \xFC",
         TTextEncoding::Dos},
        {"\xB0\xB1", TTextEncoding::Dos},     // no German letters of either page
        {"\xC0\x80", TTextEncoding::Dos},     // an overlong sequence is not UTF-8
        {"\xED\xA0\x80", TTextEncoding::Dos}, // nor is a surrogate
    };
    for (const auto& [text, expected] : cases)
        EXPECT_EQ(DetectTextEncoding(text), expected) << text;
}

// A character that cannot be read becomes '?'; only the first bad line is named and
// the entries already in the competition stay as they were.
TEST(TextImportCharset, UnreadableCharactersAreReplacedAndReportedOnce) {
    struct Case {
        TTextEncoding encoding;
        std::string bad;
    };
    const std::vector<Case> cases = {
        {TTextEncoding::Utf8, "\xFF"},         // not UTF-8
        {TTextEncoding::Utf8, "\xE2\x82\xAC"}, // the euro sign: not in code page 850
        {TTextEncoding::Windows, "\x81"},      // undefined in 1252
        {TTextEncoding::Windows, "\x80"},      // the euro sign again
    };
    for (const Case& k : cases) {
        SCOPED_TRACE(k.bad);
        auto c = Competition(wkEinzel);
        AddClass(*c, "AK", 1900, 2100, false);
        TMemoryStream first("kopf\nAlt;Anna;BY;AK;m\n");
        ASSERT_EQ(ImportText(first, *c), 1);
        TMemoryStream s("kopf" + k.bad + "\n\nGut;Gerd;;AK\nB" + k.bad + "se;Bea;;AK\nZ" + k.bad +
                        ";Zoe;;AK\n");
        TMessageCapture messages;
        EXPECT_EQ(ImportText(s, *c, k.encoding), 3);
        ASSERT_EQ(messages.Messages().size(), 1u);
        EXPECT_EQ(messages.Messages()[0], "Zeile 4: Zeichen, die im Zeichensatz der Datei "
                                          "ungültig oder nicht darstellbar sind, wurden durch "
                                          "? ersetzt."_oem);
        EXPECT_NE(Find(*c, "B?se"), nullptr);
        EXPECT_NE(Find(*c, "Z?"), nullptr);
        const TTeilnehmer* alt = Find(*c, "Alt");
        ASSERT_NE(alt, nullptr);
        EXPECT_EQ(alt->Gliederung.Get(), "BY");
        EXPECT_EQ(Total(*c), 4);
    }
}

// Letters with a close letter in code page 850 arrive as that letter and are no fault;
// a line with a character that has none is still named.
TEST(TextImportCharset, MissingLettersAreTransliterated) {
    auto c = Competition(wkEinzel);
    AddClass(*c, "AK", 1900, 2100, false);
    TMemoryStream s("kopf\n\xC5\x81ukasiewicz;\xC5\xA0imon;;AK\nErd\xC5\x91s;Ann;;AK\n"
                    "\xCE\xA9mega;Olga;;AK\n");
    TMessageCapture messages;
    EXPECT_EQ(ImportText(s, *c, TTextEncoding::Utf8), 3);
    const TTeilnehmer* l = Find(*c, "Lukasiewicz");
    ASSERT_NE(l, nullptr);
    EXPECT_EQ(l->Vorname(), "Simon");
    EXPECT_NE(Find(*c, "Erd\x94s"), nullptr);
    EXPECT_NE(Find(*c, "?mega"), nullptr);
    ASSERT_EQ(messages.Messages().size(), 1u);
    EXPECT_EQ(messages.Messages()[0].substr(0, 8), "Zeile 4:");
}

// ---- binary import -------------------------------------------------------------------

TEST(BinaryImport, IndividualRecord) {
    auto c = Competition(wkEinzel);
    AddClass(*c, "Jugend (weiblich)", 1985, 1990, true);
    TMemoryStream s(IndividualRecord("Schulz", "Maria", "BY", 4,
                                     {TDiscIn{41, 352, 900, -2}, TDiscIn{0, 6000, 0, -4},
                                      TDiscIn{19, 10, 0, -3}},
                                     1988, 12) +
                    IndividualRecord("Weber", "Lena", "NI", 4, {}, 1989, 0));
    TMessageCapture messages;
    EXPECT_EQ(ImportBinary(s, *c), 2);
    EXPECT_TRUE(messages.Messages().empty());
    const TTeilnehmer* p = Find(*c, "Schulz");
    ASSERT_NE(p, nullptr);
    EXPECT_EQ(p->Vorname(), "Maria");
    EXPECT_EQ(p->Gliederung.Get(), "BY");
    EXPECT_EQ(p->Altersklasse.Get(), "Jugend (weiblich)");
    EXPECT_TRUE(p->Has(tnWeiblich));
    EXPECT_TRUE(p->Has(tnMeldet));
    EXPECT_EQ(p->Geburtsdatum(), "1988");
    EXPECT_EQ(p->Lauf[0], 2);
    EXPECT_EQ(p->Bahn[0], 2);
    EXPECT_EQ(p->Lauf[2], 0);
    EXPECT_EQ(p->Bahn[2], 20);
    EXPECT_EQ(p->Lauf[3], 0);
    EXPECT_EQ(p->Bahn[3], 0);
    EXPECT_EQ(p->Zeit[0], 3520);
    EXPECT_EQ(p->Zeit[1], 60000); // ten minutes and more keep their value
    EXPECT_EQ(p->Zeit[2], 100);
    EXPECT_EQ(p->Abzug[0], -1);
    EXPECT_EQ(p->Abzug[1], 0);
    EXPECT_EQ(p->Abzug[2], -2);
    EXPECT_EQ(p->HLWPunkte, 1200);
}

TEST(BinaryImport, TeamRecord) {
    auto c = Competition(wkMannschaft);
    AddClass(*c, "Herren", 1900, 2100, false);
    TMemoryStream s(
        TeamRecord("SG Nordheim", "HE", 7,
                   {TDiscIn{21, 600, 0, 5}, TDiscIn{}, TDiscIn{}, TDiscIn{62, 700, 0, -2}}, 30));
    EXPECT_EQ(ImportBinary(s, *c), 1);
    const TTeilnehmer* t = Find(*c, "SG Nordheim");
    ASSERT_NE(t, nullptr);
    EXPECT_FALSE(t->Has(tnMeldet));
    EXPECT_FALSE(t->Has(tnWeiblich));
    EXPECT_EQ(t->Gliederung.Get(), "HE");
    EXPECT_EQ(t->Lauf[0], 1);
    EXPECT_EQ(t->Bahn[0], 2);
    EXPECT_EQ(t->Zeit[0], 6000);
    EXPECT_EQ(t->Abzug[0], 5);
    EXPECT_EQ(t->Lauf[3], 3);
    EXPECT_EQ(t->Bahn[3], 3);
    EXPECT_EQ(t->Zeit[3], 7000);
    EXPECT_EQ(t->Abzug[3], -1);
    EXPECT_EQ(t->HLWPunkte, 3000);
}

TEST(BinaryImport, LegacyCodes) {
    const char* names[] = {"Schüler"_oem,
                           "Schülerinnen"_oem,
                           "Jugend (männlich)"_oem,
                           "Jugend (weiblich)",
                           "Junioren",
                           "Juniorinnen",
                           "Herren",
                           "Damen",
                           "Jungsenioren",
                           "Jungseniorinnen"};
    for (int code = 1; code <= 10; ++code)
        EXPECT_EQ(LegacyAgeClassName(code), names[code - 1]);
    EXPECT_EQ(LegacyAgeClassName(0), "");
    EXPECT_EQ(LegacyAgeClassName(11), "");
    EXPECT_EQ(LegacyAgeClassName(-1), "");
    const std::vector<std::pair<int, int>> penalties = {{-4, 0}, {-3, -2}, {-2, -1}, {-1, -1},
                                                        {0, 0},  {7, 7},   {-5, -5}};
    for (auto [in, out] : penalties)
        EXPECT_EQ(LegacyPenalty(static_cast<std::int16_t>(in)), out) << in;
}

TEST(BinaryImport, UnknownCodesAndEmptyNames) {
    auto c = Competition(wkEinzel);
    AddClass(*c, "AK 13/14m", 1990, 1991, false);
    // Code 11 has no name: the automatic age class by year of birth takes over, and
    // without a fitting class the entry is reported. A record without a name is dropped.
    TMemoryStream s(IndividualRecord("Neu", "Nils", "", 11, {}, 1990, 0) +
                    IndividualRecord("Alt", "Otto", "", 0, {}, 1950, 0) +
                    IndividualRecord("", "Niemand", "", 1, {}, 1990, 0));
    TMessageCapture messages;
    EXPECT_EQ(ImportBinary(s, *c), 1);
    EXPECT_EQ(Find(*c, "Neu")->Altersklasse.Get(), "AK 13/14m");
    ASSERT_EQ(messages.Messages().size(), 1u);
    EXPECT_EQ(messages.Messages()[0],
              "Alt, Otto (Altersklasse ?) konnte nicht eingefügt werden."_oem);

    auto t = Competition(wkMannschaft);
    AddClass(*t, "AK", 1900, 2100, false);
    TMemoryStream ts(TeamRecord("Team X", "", 12, {}, 0));
    messages.Clear();
    EXPECT_EQ(ImportBinary(ts, *t), 0);
    ASSERT_EQ(messages.Messages().size(), 1u);
    EXPECT_EQ(messages.Messages()[0], "Team X (Altersklasse ) konnte nicht eingefügt werden."_oem);
}

TEST(BinaryImport, EveryCompleteRecordIsRead) {
    const std::string rec = IndividualRecord("A", "B", "", 7, {}, 1980, 0);
    const std::string rec2 = IndividualRecord("C", "D", "", 7, {}, 1980, 0);
    const std::vector<std::pair<std::string, int>> files = {
        {"", 0},         {rec.substr(0, 95), 0},   {rec, 1},
        {rec + rec2, 2}, {rec + rec2 + "\x1A", 2}, {rec + rec2 + rec.substr(0, 95), 2}};
    for (const auto& [bytes, expected] : files) {
        auto c = Competition(wkEinzel);
        AddClass(*c, "Herren", 1900, 2100, false);
        TMemoryStream s(bytes);
        EXPECT_EQ(ImportBinary(s, *c), expected) << bytes.size() << " bytes";
        EXPECT_EQ(Total(*c), expected);
    }
}

// Arbitrary bytes never crash either import; whatever is filed lands in a class.
TEST(ImportRobustness, RandomBytes) {
    std::mt19937 rng(4711);
    for (int round = 0; round < 300; ++round) {
        std::string bytes(rng() % 700, '\0');
        for (char& ch : bytes)
            ch = static_cast<char>(rng() % 4 ? rng() % 256 : ";\r\n"[rng() % 3]);
        for (std::int16_t art : {wkEinzel, wkMannschaft}) {
            auto c = Competition(art);
            AddClass(*c, "", 0, 0, false);
            AddClass(*c, "Herren", 1900, 2100, false);
            TMessageCapture quiet;
            TMemoryStream t(bytes);
            const int text = ImportText(t, *c);
            TMemoryStream b(bytes);
            const int binary = ImportBinary(b, *c);
            EXPECT_EQ(Total(*c), text + binary);
            EXPECT_LE(binary, static_cast<int>(bytes.size() / 96));
        }
    }
}

// ---- through the load dispatch and velmora-cli -------------------------------------

TEST(ImportDispatch, LoadFormatsThreeAndFive) {
    InstallImporters();
    vmtest::TempDir dir;
    const std::string txt = dir.File("teilnehmer.txt");
    const std::string bin = dir.File("teilnehmer.dat");
    vmtest::WriteFileBytes(txt, "kopf\r\nText;Tom;;Herren;m\r\n");
    vmtest::WriteFileBytes(bin, IndividualRecord("Binaer", "Ben", "", 7, {}, 1980, 0));
    auto c = Competition(wkEinzel);
    AddClass(*c, "Herren", 1900, 2100, false);
    EXPECT_TRUE(LoadInto(txt, *c, TLoadFormat::TeilnehmerText));
    EXPECT_TRUE(LoadInto(bin, *c, TLoadFormat::TeilnehmerBinaer));
    EXPECT_NE(Find(*c, "Text"), nullptr);
    EXPECT_NE(Find(*c, "Binaer"), nullptr);

    TMessageCapture messages;
    EXPECT_FALSE(LoadInto(dir.File("fehlt.txt"), *c, TLoadFormat::TeilnehmerText));
    EXPECT_FALSE(LoadInto(dir.File("fehlt.dat"), *c, TLoadFormat::TeilnehmerBinaer));
    EXPECT_EQ(messages.Messages(), (std::vector<std::string>{"Fehler beim Laden der Datei.",
                                                             "Fehler beim Laden der Datei."}));
    EXPECT_EQ(Total(*c), 2);
}

class ImportCli : public ::testing::Test {
protected:
    vmtest::TempDir dir;
    std::string erg = dir.File("WK.ERG");
    void SetUp() override {
        ASSERT_EQ(vmtest::RunCli({"new", erg, "--type", "0", "--year", "2004"}).status, 0);
    }
};

TEST_F(ImportCli, TextImportSavesWithBackup) {
    const std::string input = dir.File("meldung.CsV");
    vmtest::WriteFileBytes(input, "Name;Vorname;Gl;AK;G\r\n"
                                  "M\x81ller;Jana;by;AK 13/14w;w;0:45,00;0\r\n"
                                  "Fremd;Fritz;;AK 99;m\r\n");
    const std::string before = vmtest::ReadFileBytes(erg);
    auto r = vmtest::RunCli({"import", erg, input});
    EXPECT_EQ(r.status, 0) << r.err;
    EXPECT_EQ(r.err, "Fremd, Fritz (Altersklasse AK 99) konnte nicht eingefügt werden.\n"
                     "Import: 1 Teilnehmer übernommen.\n");
    EXPECT_EQ(vmtest::ReadFileBytes(dir.File("WK.BAK")), before);
    auto info = vmtest::RunCli({"info", erg});
    ASSERT_EQ(info.status, 0);
    EXPECT_NE(info.out.find("Müller\tJana"), std::string::npos) << info.out;
}

TEST_F(ImportCli, BinaryByDefaultAndOutputFile) {
    const std::string input = dir.File("MELDUNG.DAT");
    vmtest::WriteFileBytes(input, IndividualRecord("Bin", "Bea", "NI", 4, {}, 1990, 0));
    const std::string before = vmtest::ReadFileBytes(erg);
    const std::string out = dir.File("NEU.ERG");
    auto r = vmtest::RunCli({"import", erg, input, "-o", out});
    EXPECT_EQ(r.status, 0) << r.err;
    // The legacy class name does not exist in the preset: reported, nothing lost.
    EXPECT_EQ(r.err, "Bin, Bea (Altersklasse Jugend (weiblich)) konnte nicht eingefügt werden.\n"
                     "Import: 0 Teilnehmer übernommen.\n");
    EXPECT_EQ(vmtest::ReadFileBytes(erg), before);
    EXPECT_TRUE(std::filesystem::exists(out));

    // The same bytes read as text: a header line only, nothing imported, no message.
    r = vmtest::RunCli({"import", erg, input, "--format", "text", "-o", out});
    EXPECT_EQ(r.status, 0);
    EXPECT_EQ(r.err, "Import: 0 Teilnehmer übernommen.\n");
}

TEST_F(ImportCli, CharsetOverridesDetection) {
    const std::string input = dir.File("meldung.txt");
    vmtest::WriteFileBytes(input, "Name;Vorname;Gl;AK;G\r\n"
                                  "M\xFCller;Jana;w\xFC;AK 13/14w;w\r\n");
    const std::vector<std::pair<std::vector<std::string>, std::string>> cases = {
        {{}, "Müller\tJana"},                    // detected as 1252
        {{"--charset", "dos"}, "M³ller\tJana"},  // 0xFC is ³ in code page 850
        {{"--charset", "utf8"}, "M?ller\tJana"}, // not UTF-8
    };
    for (const auto& [flags, shown] : cases) {
        std::vector<std::string> args = {"import", erg, input, "-o", dir.File("NEU.ERG")};
        args.insert(args.end(), flags.begin(), flags.end());
        auto r = vmtest::RunCli(args);
        EXPECT_EQ(r.status, 0) << r.err;
        auto info = vmtest::RunCli({"info", dir.File("NEU.ERG")});
        EXPECT_NE(info.out.find(shown), std::string::npos) << shown << "\n" << info.out;
    }
    EXPECT_EQ(vmtest::RunCli({"import", erg, input, "--charset", "latin1"}).status, 2);
    EXPECT_EQ(vmtest::RunCli({"import", erg, dir.File("x.dat"), "--charset", "win"}).status, 2);
}

TEST_F(ImportCli, Failures) {
    const std::string before = vmtest::ReadFileBytes(erg);
    auto r = vmtest::RunCli({"import", erg, dir.File("fehlt.txt")});
    EXPECT_EQ(r.status, 1);
    EXPECT_EQ(r.err, "Fehler beim Laden der Datei.\n" + dir.File("fehlt.txt") +
                         ": No such file or directory\n");
    EXPECT_EQ(vmtest::ReadFileBytes(erg), before);
    EXPECT_FALSE(std::filesystem::exists(dir.File("WK.BAK")));

    EXPECT_EQ(vmtest::RunCli({"import", erg, dir.File("x.txt"), "--format", "dbase"}).status, 2);
    EXPECT_EQ(vmtest::RunCli({"import", erg}).status, 2);
    auto help = vmtest::RunCli({"import", "--help"});
    EXPECT_EQ(help.status, 0);
    EXPECT_NE(help.out.find("--format text|binary"), std::string::npos);
}

} // namespace
} // namespace vm

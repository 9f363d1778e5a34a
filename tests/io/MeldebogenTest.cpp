// The clubs' entry form: the workbook as a spreadsheet reads it (openpyxl), filled-in
// forms imported through velmora-cli, every row check with its row and field, all or
// nothing, the cell kinds a returned workbook may hold, and files that are no form.
#include "io/VmMeldebogen.h"

#include "file/VmErg.h"
#include "support/Builders.h"
#include "support/TestSupport.h"

#include <gtest/gtest.h>
#include <xlsxwriter.h>
#include <zip.h>

#include <cstdio>
#include <ctime>
#include <filesystem>

namespace vm {
namespace {

using vmtest::RunCli;

// "AK 13/14" for girls and for boys (one name, both sexes), "Offen" for men, with three
// entries that already have times.
std::unique_ptr<TWettkampf> EntriesCompetition(bool team) {
    auto c = vmtest::Competition(5, team);
    c->Header.Veranstaltung.Set("Bezirksmeisterschaft");
    for (TAltersklasse* ac : {&vmtest::AddAgeClass(*c, "AK 13/14", 2012, 2013, akWeiblich, 2),
                              &vmtest::AddAgeClass(*c, "AK 13/14", 2012, 2013, 0, 2),
                              &vmtest::AddAgeClass(*c, "Offen", 1950, 2011, 0, 2)})
        for (TDisziplin& d : ac->Data.Disziplinen) {
            d.Bezeichnung.Set("50m Retten");
            d.Berechnungsart = baNeu;
            d.V[0] = 2700;
        }
    auto add = [&](vmtest::TPerson who, TZeit time) {
        who.team = team;
        auto p = vmtest::Person(who);
        p->Zeit[0] = time;
        p->Abzug[1] = PenaltyCode(TStatus::Disq);
        c->FindAgeClass(who.ageClass, who.female)->InsertParticipant(std::move(p));
    };
    if (team) {
        add({"Nordstadt", "1", "", "NORD", "AK 13/14", true}, 3000);
        add({"Nordstadt", "2", "", "NORD", "AK 13/14", false}, 2900);
    } else {
        add({"Meier", "Anna", "2012", "NORD", "AK 13/14", true}, 3000);
        add({"Schulz", "Ben", "2013", "OST", "AK 13/14", false}, 2900);
        add({"Alt", "Otto", "1970", "OST", "Offen", false}, 2800);
    }
    return c;
}

std::string SaveFile(const vmtest::TempDir& dir, const TWettkampf& c, const std::string& name) {
    const std::string file = dir.File(name);
    auto copy = CopyCompetition(c);
    EXPECT_TRUE(Save(file, *copy, TSaveFormat::Ergebnis));
    return file;
}

std::string Serialised(const TWettkampf& c) {
    TMemoryStream s;
    WriteNative(s, c);
    return s.Data();
}

const TTeilnehmer* FindEntry(const TWettkampf& c, const std::string& name, const std::string& second,
                             const TAltersklasse** in = nullptr) {
    for (const TAltersklasse& ac : c)
        for (const TTeilnehmer& p : ac) {
            const bool team = !IsSingleCompetition(c);
            if ((team ? p.Mannschaft() : p.Name()) == name &&
                (team ? p.Zusatz() : p.Vorname()) == second) {
                if (in) *in = &ac;
                return &p;
            }
        }
    return nullptr;
}

// Runs the helper with the system's Python, where the Debian package installs openpyxl.
std::string Python(const std::string& args, const std::string& input = "") {
    vmtest::TempDir tmp;
    const std::string in = tmp.File("in");
    vmtest::WriteFileBytes(in, input);
    const std::string cmd = std::string("/usr/bin/python3 '") + VELMORA_SOURCE_DIR +
                            "/tests/io/meldebogen_xlsx.py' " + args + " < '" + in + "' 2>&1";
    std::FILE* p = ::popen(cmd.c_str(), "r");
    if (!p) return "cannot run python3";
    std::string out;
    char buf[512];
    while (std::fgets(buf, sizeof buf, p))
        out += buf;
    return ::pclose(p) == 0 ? std::string() : "failed:\n" + out;
}

std::string Q(const std::string& path) {
    return "'" + path + "'";
}

TEST(Meldebogen, WorkbookReadsBackWithItsListsAndValidations) {
    vmtest::TempDir dir;
    for (bool team : {false, true}) {
        SCOPED_TRACE(team ? "team" : "individual");
        const std::string erg = SaveFile(dir, *EntriesCompetition(team), "T.ERG");
        const std::string form = dir.File("form.xlsx");
        std::vector<std::string> args = {"entry-form", erg, form};
        if (!team) args.insert(args.end(), {"--gliederung", "wü"});
        const auto r = RunCli(args);
        ASSERT_EQ(r.status, 0) << r.err;
        EXPECT_NE(r.err.find("Meldebogen: 3 Altersklassen"), std::string::npos) << r.err;
        EXPECT_EQ(Python("check " + Q(form) + (team ? " team ''" : " single WÜ") +
                         " 'AK 13/14' Offen"),
                  "");
    }

    // Never over a result file, and a code longer than five characters is a usage error.
    const std::string erg = dir.File("T.ERG");
    const std::string other = SaveFile(dir, *EntriesCompetition(false), "Other.ERG");
    const std::string before = vmtest::ReadFileBytes(other);
    const auto refused = RunCli({"entry-form", erg, other});
    EXPECT_EQ(refused.status, 1);
    EXPECT_NE(refused.err.find("ist eine Ergebnisdatei"), std::string::npos) << refused.err;
    EXPECT_EQ(vmtest::ReadFileBytes(other), before);
    EXPECT_EQ(RunCli({"entry-form", erg, dir.File("x.xlsx"), "--gliederung", "ABCDEF"}).status, 2);
    EXPECT_FALSE(std::filesystem::exists(dir.File("x.xlsx")));
}

TEST(Meldebogen, FilledInFormAddsNewUpdatesKnownAndKeepsTheirTimes) {
    vmtest::TempDir dir;
    const std::string erg = SaveFile(dir, *EntriesCompetition(false), "T.ERG");
    const std::string form = dir.File("form.xlsx"), filled = dir.File("filled.xlsx");
    ASSERT_EQ(RunCli({"entry-form", erg, form}).status, 0);
    // Anna Meier now girl -> boy (sex and age class change), Ben Schulz with a new
    // Gliederung and his date of birth as a date cell, Otto Alt as he was; two new ones,
    // one of them without an age class; row 5 left empty.
    ASSERT_EQ(Python("fill " + Q(form) + " " + Q(filled),
                     "2\tMeier\tAnna\t#2012\tm\t\t\n"
                     "3\tSchulz\tBen\t@2013-05-04\tm\tAK 13/14\tSÜD\n"
                     "4\tAlt\tOtto\t#1970\tm\tOffen\tOST\n"
                     "6\tNeu\tNora\t#2013\tw\t\tWÜ\n"
                     "7\tKurz\tKarl\t1999\tm\tOffen\t\n"),
              "");
    const auto r = RunCli({"import", erg, filled});
    ASSERT_EQ(r.status, 0) << r.err;
    EXPECT_NE(r.err.find("Meldungen: 2 neu, 2 geändert, 1 unverändert."), std::string::npos) << r.err;
    // A code the competition does not know is a note, not an error; a program code is known.
    EXPECT_NE(r.err.find("Gliederung „SÜD“ ist im Wettkampf noch nicht bekannt (Zeile 3)."),
              std::string::npos)
        << r.err;
    EXPECT_EQ(r.err.find("„WÜ“"), std::string::npos) << r.err;

    auto c = Load(erg);
    ASSERT_TRUE(c);
    const TAltersklasse* ac = nullptr;
    const TTeilnehmer* anna = FindEntry(*c, "Meier", "Anna", &ac);
    ASSERT_TRUE(anna);
    EXPECT_FALSE(IsFemale(*ac));
    EXPECT_FALSE(anna->Has(tnWeiblich));
    EXPECT_EQ(anna->Zeit[0], 3000);
    EXPECT_EQ(anna->Abzug[1], PenaltyCode(TStatus::Disq));
    EXPECT_EQ(anna->Gliederung.Get(), "NORD"); // an empty cell keeps the code
    const TTeilnehmer* ben = FindEntry(*c, "Schulz", "Ben");
    ASSERT_TRUE(ben);
    EXPECT_EQ(ben->Gliederung.Get(), std::string("SÜD"_oem));
    EXPECT_EQ(ben->Zeit[0], 2900);
    EXPECT_EQ(ben->Geburtsdatum(), "2013"); // the key, not something the update changes
    const TTeilnehmer* nora = FindEntry(*c, "Neu", "Nora", &ac);
    ASSERT_TRUE(nora);
    EXPECT_TRUE(IsFemale(*ac));
    EXPECT_EQ(ac->Name(), "AK 13/14");
    EXPECT_EQ(nora->Gliederung.Get(), std::string("WÜ"_oem));
    EXPECT_TRUE(FindEntry(*c, "Kurz", "Karl"));
    int entries = 0;
    for (const TAltersklasse& a : *c)
        entries += a.Count();
    EXPECT_EQ(entries, 5);

    // The same form again: nothing new, nothing changed.
    const auto again = RunCli({"import", erg, filled});
    ASSERT_EQ(again.status, 0) << again.err;
    EXPECT_NE(again.err.find("Meldungen: 0 neu, 0 geändert, 5 unverändert."), std::string::npos)
        << again.err;
}

std::string Csv(const std::vector<std::string>& rows) {
    std::string text = "Name;Vorname;Jahrgang;Geschlecht;Altersklasse;Gliederung\r\n";
    for (const std::string& row : rows)
        text += row + "\r\n";
    return text;
}

TEST(Meldebogen, EveryRowErrorNamesRowAndFieldAndNothingIsImported) {
    const std::string name21(21, 'x');
    struct Case {
        std::string row, problem; // problem empty: a good row
    };
    const Case cases[] = {
        {"Gut;Gerda;2012;w;;", ""},
        {";Anna;2012;w;;", "Name: fehlt."},
        {"Meier;Anna;;w;;", "Jahrgang: fehlt."},
        {"A;B;20x2;w;;", "Jahrgang: „20x2“ ist weder ein vierstelliges Jahr noch ein Datum."},
        {"A;B;31.02.2012;w;;",
         "Jahrgang: „31.02.2012“ ist weder ein vierstelliges Jahr noch ein Datum."},
        {"A;B;1750;w;;", "Jahrgang: 1750 ist kein mögliches Geburtsjahr."},
        {"A;B;1890;m;;", "Jahrgang: 1890 passt zu keiner Altersklasse."},
        {"A;B;2012;w;AK 99;", "Altersklasse: „AK 99“ gibt es in diesem Wettkampf nicht."},
        {"A;B;2005;w;AK 13/14;",
         "Jahrgang: 2005 passt nicht zur Altersklasse „AK 13/14“ (2012 - 2013)."},
        {"A;B;2012;x;;", "Geschlecht: „x“ ist weder w noch m."},
        {"A;B;2012;;;", "Geschlecht: fehlt; ohne Altersklasse ist es nötig."},
        {"A;B;2012;;AK 13/14;", "Geschlecht: fehlt."},
        {"A;B;1990;w;Offen;", "Geschlecht: „w“ passt nicht zur Altersklasse „Offen“."},
        {"A;B;2012;w;;ABCDEF", "Gliederung: „ABCDEF“ ist länger als fünf Zeichen."},
        {name21 + ";B;2012;w;;", "Name: „" + name21 + "“ ist länger als 20 Zeichen."},
        {"漢;B;2012;w;;", "Name: das Zeichen „漢“ kann nicht gespeichert werden."},
        {"Gut;Gerda;12.03.2012;w;AK 13/14;", "Name: dieselbe Meldung wie in Zeile 2."},
        // Case does not make another age class, and a date of birth is read for its year.
        {"Gut;Greta;24.12.1980;m;offen;", ""},
    };
    std::vector<std::string> rows;
    std::vector<std::string> expected;
    for (std::size_t i = 0; i < std::size(cases); ++i) {
        rows.push_back(cases[i].row);
        if (!cases[i].problem.empty())
            expected.push_back("Zeile " + std::to_string(i + 2) + ", " + cases[i].problem);
    }
    TEntrySheet sheet;
    std::string failure;
    ASSERT_TRUE(ReadEntryBytes(Csv(rows), sheet, failure)) << failure;

    auto c = EntriesCompetition(false);
    const std::string before = Serialised(*c);
    const TEntryReport refused = ImportEntries(*c, sheet, false);
    std::vector<std::string> lines;
    for (const TEntryProblem& p : refused.errors)
        lines.push_back(ProblemLine(p));
    EXPECT_EQ(lines, expected);
    EXPECT_EQ(refused.rowsWithErrors, static_cast<int>(expected.size()));
    EXPECT_FALSE(refused.applied);
    EXPECT_EQ(Serialised(*c), before);

    const TEntryReport skipped = ImportEntries(*c, sheet, true);
    EXPECT_EQ(skipped.errors.size(), expected.size());
    EXPECT_EQ(skipped.SummaryLine(), "Meldungen: 2 neu, 0 geändert, 0 unverändert.");
    const TTeilnehmer* greta = FindEntry(*c, "Gut", "Greta");
    ASSERT_TRUE(greta);
    EXPECT_EQ(greta->Geburtsdatum(), "24.12.1980");
    EXPECT_TRUE(FindEntry(*c, "Gut", "Gerda"));
}

TEST(Meldebogen, CliRefusesAFormWithErrorsWholeAndSkipsBadRowsWhenAsked) {
    vmtest::TempDir dir;
    const std::string erg = SaveFile(dir, *EntriesCompetition(false), "T.ERG");
    const std::string csv = dir.File("meldungen.csv");
    vmtest::WriteFileBytes(csv, Csv({"Gut;Gerda;2012;w;;", "A;B;1890;m;;", "", "C;D;2012;q;;"}));
    const std::string before = vmtest::ReadFileBytes(erg);
    const auto r = RunCli({"import", erg, csv});
    EXPECT_EQ(r.status, 1);
    EXPECT_EQ(r.err,
              "Zeile 3, Jahrgang: 1890 passt zu keiner Altersklasse.\n"
              "Zeile 5, Geschlecht: „q“ ist weder w noch m.\n"
              "Nichts importiert: 2 Zeilen mit Fehlern (--skip-errors übernimmt die fehlerfreien "
              "Zeilen).\n");
    EXPECT_EQ(vmtest::ReadFileBytes(erg), before);
    EXPECT_FALSE(std::filesystem::exists(BackupName(erg)));

    const auto s = RunCli({"import", erg, csv, "--skip-errors"});
    EXPECT_EQ(s.status, 0) << s.err;
    EXPECT_NE(s.err.find("Zeile 3, Jahrgang"), std::string::npos) << s.err;
    EXPECT_NE(s.err.find("2 fehlerhafte Zeilen übersprungen.\n"
                         "Meldungen: 1 neu, 0 geändert, 0 unverändert.\n"),
              std::string::npos)
        << s.err;
    auto c = Load(erg);
    ASSERT_TRUE(c);
    EXPECT_TRUE(FindEntry(*c, "Gut", "Gerda"));
}

TEST(Meldebogen, TeamsAreKnownByNameAndZusatz) {
    TEntrySheet sheet;
    std::string failure;
    ASSERT_TRUE(ReadEntryBytes("Mannschaft,Zusatz,Geschlecht,Altersklasse,Gliederung\n"
                               "Nordstadt,1,w,AK 13/14,SH\n"
                               "Nordstadt,2,m,AK 13/14,\n"
                               "Nordstadt,3,m,AK 13/14,NORD\n"
                               "Südstadt,1,m,,\n",
                               sheet, failure))
        << failure;
    auto c = EntriesCompetition(true);
    const TEntryReport r = ImportEntries(*c, sheet, false);
    ASSERT_EQ(r.errors.size(), 1u);
    EXPECT_EQ(ProblemLine(r.errors[0]), "Zeile 5, Altersklasse: fehlt.");
    const TEntryReport s = ImportEntries(*c, sheet, true);
    EXPECT_EQ(s.SummaryLine(), "Meldungen: 1 neu, 1 geändert, 1 unverändert.");
    const TTeilnehmer* first = FindEntry(*c, "Nordstadt", "1");
    ASSERT_TRUE(first);
    EXPECT_EQ(first->Gliederung.Get(), "SH");
    EXPECT_EQ(first->Zeit[0], 3000);
    EXPECT_TRUE(FindEntry(*c, "Nordstadt", "3"));

    // A team form does not go into an individual competition, nor the other way round.
    auto single = EntriesCompetition(false);
    const TEntryReport wrong = ImportEntries(*single, sheet, true);
    EXPECT_FALSE(wrong.read);
    EXPECT_NE(wrong.failure.find("Mannschaftswettkampf"), std::string::npos);
}

// A workbook written here with libxlsxwriter: shared strings, or inline strings in the
// library's constant-memory mode; formulas with the values a spreadsheet stored, a date
// cell, a date as text, a year as a number.
std::string CellKindsWorkbook(const vmtest::TempDir& dir, bool inlineStrings) {
    const std::string file = dir.File(inlineStrings ? "inline.xlsx" : "shared.xlsx");
    lxw_workbook_options options = {};
    options.constant_memory = inlineStrings ? LXW_TRUE : LXW_FALSE;
    lxw_workbook* wb = workbook_new_opt(file.c_str(), &options);
    workbook_add_worksheet(wb, "Hinweise");
    lxw_worksheet* ws = workbook_add_worksheet(wb, "Meldungen");
    lxw_format* date = workbook_add_format(wb);
    format_set_num_format(date, "dd.mm.yyyy");
    const char* head[] = {"Name", "Vorname", "Jahrgang", "Geschlecht", "Altersklasse"};
    for (lxw_col_t k = 0; k < 5; ++k)
        worksheet_write_string(ws, 0, k, head[k], nullptr);
    // Row 2: a name and a year from formulas; their stored values count, the formulas
    // are never evaluated (this one would give something else).
    worksheet_write_formula_str(ws, 1, 0, "=UPPER(\"anders\")", nullptr, "Formel");
    worksheet_write_string(ws, 1, 1, "Fritz", nullptr);
    worksheet_write_formula_num(ws, 1, 2, "=2000+1", nullptr, 2012);
    worksheet_write_string(ws, 1, 3, "m", nullptr);
    // Row 3: a date cell.
    worksheet_write_string(ws, 2, 0, "Datum", nullptr);
    worksheet_write_string(ws, 2, 1, "Dora", nullptr);
    lxw_datetime when = {2013, 5, 4, 0, 0, 0};
    worksheet_write_datetime(ws, 2, 2, &when, date);
    worksheet_write_string(ws, 2, 3, "w", nullptr);
    // Row 5: a date as text; row 6: a year as a number, with an age class.
    worksheet_write_string(ws, 4, 0, "Text", nullptr);
    worksheet_write_string(ws, 4, 1, "Tina", nullptr);
    worksheet_write_string(ws, 4, 2, "04.05.2013", nullptr);
    worksheet_write_string(ws, 4, 3, "w", nullptr);
    worksheet_write_string(ws, 5, 0, "Zahl", nullptr);
    worksheet_write_string(ws, 5, 1, "Zeno", nullptr);
    worksheet_write_number(ws, 5, 2, 1985, nullptr);
    worksheet_write_string(ws, 5, 3, "m", nullptr);
    worksheet_write_string(ws, 5, 4, "Offen", nullptr);
    EXPECT_EQ(workbook_close(wb), LXW_NO_ERROR);
    return file;
}

TEST(Meldebogen, CellKindsOfAReturnedWorkbook) {
    vmtest::TempDir dir;
    for (bool inlineStrings : {false, true}) {
        SCOPED_TRACE(inlineStrings ? "inline strings" : "shared strings");
        TXlsxSheet sheet;
        ASSERT_EQ(ReadXlsxSheetFile(CellKindsWorkbook(dir, inlineStrings), "Meldungen", sheet),
                  TXlsxStatus::Ok);
        ASSERT_EQ(sheet.rows.size(), 5u);
        const std::vector<std::vector<std::string>> expected = {
            {"Name", "Vorname", "Jahrgang", "Geschlecht", "Altersklasse"},
            {"Formel", "Fritz", "2012", "m"},
            {"Datum", "Dora", "04.05.2013", "w"},
            {"Text", "Tina", "04.05.2013", "w"},
            {"Zahl", "Zeno", "1985", "m", "Offen"},
        };
        const int numbers[] = {1, 2, 3, 5, 6};
        for (std::size_t i = 0; i < expected.size(); ++i) {
            EXPECT_EQ(sheet.rows[i].number, numbers[i]);
            EXPECT_EQ(sheet.rows[i].cells, expected[i]);
        }
    }
    TEntrySheet form;
    std::string failure;
    ASSERT_TRUE(ReadEntryFile(CellKindsWorkbook(dir, false), form, failure)) << failure;
    auto c = EntriesCompetition(false);
    const TEntryReport r = ImportEntries(*c, form, false);
    EXPECT_TRUE(r.errors.empty()) << ProblemLine(r.errors.front());
    EXPECT_EQ(r.added, 4);
    const TTeilnehmer* dora = FindEntry(*c, "Datum", "Dora");
    ASSERT_TRUE(dora);
    EXPECT_EQ(dora->Geburtsdatum(), "04.05.2013");
}

TEST(Meldebogen, DateSerials) {
    struct Case {
        double serial;
        bool date1904;
        const char* text;
    };
    const Case cases[] = {
        {1, false, "01.01.1900"},    {59, false, "28.02.1900"},   {60, false, "29.02.1900"},
        {61, false, "01.03.1900"},   {41398.75, false, "04.05.2013"}, {0, true, "01.01.1904"},
        {39936, true, "04.05.2013"}, {0, false, ""},                {-5, true, ""},
        {2958466, false, ""},
    };
    for (const Case& k : cases)
        EXPECT_EQ(XlsxSerialToDate(k.serial, k.date1904), k.text) << k.serial;
}

// A zip in memory with the given parts.
std::string Zip(const std::vector<std::pair<std::string, std::string>>& parts) {
    vmtest::TempDir dir;
    const std::string file = dir.File("z.zip");
    int error = 0;
    zip_t* z = zip_open(file.c_str(), ZIP_CREATE | ZIP_TRUNCATE, &error);
    for (const auto& [name, data] : parts) {
        zip_source_t* src = zip_source_buffer(z, data.data(), data.size(), 0);
        zip_file_add(z, name.c_str(), src, ZIP_FL_OVERWRITE);
    }
    EXPECT_EQ(zip_close(z), 0);
    return vmtest::ReadFileBytes(file);
}

std::string MinimalBook(const std::string& sheetXml) {
    return Zip({{"xl/workbook.xml",
                 "<workbook xmlns:r=\"http://schemas.openxmlformats.org/officeDocument/2006/"
                 "relationships\"><sheets><sheet name=\"Meldungen\" sheetId=\"1\" r:id=\"rId1\"/>"
                 "</sheets></workbook>"},
                {"xl/_rels/workbook.xml.rels",
                 "<Relationships><Relationship Id=\"rId1\" Target=\"worksheets/sheet1.xml\"/>"
                 "</Relationships>"},
                {"xl/worksheets/sheet1.xml", sheetXml}});
}

TEST(Meldebogen, FilesThatAreNoFormFailCleanly) {
    vmtest::TempDir dir;
    const std::string good = vmtest::ReadFileBytes(CellKindsWorkbook(dir, false));
    std::string bomb = "<worksheet><sheetData>";
    bomb.append(20u << 20, ' ');
    bomb += "</sheetData></worksheet>";
    const std::string laughs =
        "<?xml version=\"1.0\"?><!DOCTYPE w [<!ENTITY a \"aaaaaaaaaa\">"
        "<!ENTITY b \"&a;&a;&a;&a;&a;&a;&a;&a;&a;&a;\">]><worksheet><sheetData><row r=\"1\">"
        "<c r=\"A1\" t=\"inlineStr\"><is><t>&b;</t></is></c></row></sheetData></worksheet>";
    struct Case {
        const char* what;
        std::string bytes;
        const char* failure;
    };
    const Case cases[] = {
        {"not a zip", std::string("PK\x03\x04", 4) + "no archive at all",
         "keine lesbare Excel-Arbeitsmappe"},
        {"cut short", good.substr(0, good.size() / 2), "keine lesbare Excel-Arbeitsmappe"},
        {"damaged", [&] {
             std::string b = good;
             for (std::size_t i = 200; i < b.size() - 200; i += 97)
                 b[i] = static_cast<char>(b[i] ^ 0x5A);
             return b;
         }(),
         "keine lesbare Excel-Arbeitsmappe"},
        {"zip bomb", MinimalBook(bomb), "zu groß"},
        {"entity expansion", MinimalBook(laughs), "keine lesbare Excel-Arbeitsmappe"},
        {"no sheet", Zip({{"xl/workbook.xml", "<workbook><sheets><sheet name=\"Tabelle1\"/>"
                                              "</sheets></workbook>"}}),
         "kein Tabellenblatt „Meldungen“"},
    };
    std::string bombFile;
    for (const Case& k : cases) {
        SCOPED_TRACE(k.what);
        TEntrySheet sheet;
        std::string failure;
        EXPECT_FALSE(ReadEntryBytes(k.bytes, sheet, failure));
        EXPECT_NE(failure.find(k.failure), std::string::npos) << failure;
        if (std::string(k.what) == "zip bomb") {
            EXPECT_LT(k.bytes.size(), 1u << 20);
            bombFile = dir.File("bomb.xlsx");
            vmtest::WriteFileBytes(bombFile, k.bytes);
        }
    }
    TXlsxLimits small;
    small.maxFileBytes = 1000;
    TXlsxSheet out;
    EXPECT_EQ(ReadXlsxSheet(good, "Meldungen", out, small), TXlsxStatus::TooLarge);

    // A sheet "Meldungen" without the form's header is no form either.
    TEntrySheet sheet;
    std::string failure;
    ASSERT_TRUE(ReadEntryBytes(MinimalBook("<worksheet><sheetData><row r=\"3\"><c r=\"B3\" "
                                           "t=\"inlineStr\"><is><t>Liste</t></is></c></row>"
                                           "</sheetData></worksheet>"),
                               sheet, failure));
    auto c = EntriesCompetition(false);
    const TEntryReport r = ImportEntries(*c, sheet, true);
    EXPECT_FALSE(r.read);
    EXPECT_NE(r.failure.find("kein Meldebogen"), std::string::npos);

    // Through velmora-cli: the message, exit 1, the result file untouched.
    const std::string erg = SaveFile(dir, *c, "T.ERG");
    const std::string before = vmtest::ReadFileBytes(erg);
    const auto cli = RunCli({"import", erg, bombFile});
    EXPECT_EQ(cli.status, 1);
    EXPECT_NE(cli.err.find("Die Arbeitsmappe ist zu groß für einen Meldebogen."), std::string::npos)
        << cli.err;
    EXPECT_EQ(vmtest::ReadFileBytes(erg), before);
}

TEST(Meldebogen, CsvSavedFromTheFormIsReadAsOne) {
    // Windows 1252 with semicolons, as a German spreadsheet saves it; UTF-8 with a
    // byte-order mark and commas, quoted fields included.
    const std::string win = "Name;Vorname;Jahrgang;Geschlecht;Altersklasse;Gliederung\r\n"
                            "M\xFCller;J\xFCrgen;1990;m;;\r\n";
    const std::string utf = "\xEF\xBB\xBFName,Vorname,Jahrgang,Geschlecht,Altersklasse,Gliederung\n"
                            "\"Graf, von\",\"Ute \"\"Uschi\"\"\",2012,w,,WÜ\n";
    EXPECT_TRUE(LooksLikeEntryCsv(win));
    EXPECT_TRUE(LooksLikeEntryCsv(utf));
    // The text import's own files keep going to the text import.
    EXPECT_FALSE(LooksLikeEntryCsv("Name;Vorname;Gliederung;Altersklasse;Geschlecht;Zeit1;Abzug1;"
                                   "Zeit2;Abzug2;Zeit3;Abzug3;Zeit4;Abzug4;HLW;Geburtsdatum\n"));
    auto c = EntriesCompetition(false);
    for (const std::string& bytes : {win, utf}) {
        TEntrySheet sheet;
        std::string failure;
        ASSERT_TRUE(ReadEntryBytes(bytes, sheet, failure));
        const TEntryReport r = ImportEntries(*c, sheet, false);
        EXPECT_TRUE(r.errors.empty()) << ProblemLine(r.errors.front());
        EXPECT_EQ(r.added, 1);
    }
    EXPECT_TRUE(FindEntry(*c, "Müller"_oem, "Jürgen"_oem));
    const TTeilnehmer* ute = FindEntry(*c, "Graf, von", "Ute \"Uschi\"");
    ASSERT_TRUE(ute);
    EXPECT_EQ(ute->Gliederung.Get(), std::string("WÜ"_oem));
}

} // namespace
} // namespace vm

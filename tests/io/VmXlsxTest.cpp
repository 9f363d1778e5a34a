#include "io/VmXlsx.h"

#include "file/VmWFile.h"
#include "io/VmExport.h"
#include "io/VmHtmlExport.h"
#include "io/VmTxtExport.h"
#include "support/Builders.h"
#include "support/TestSupport.h"

#include <gtest/gtest.h>

#include <cstdio>
#include <filesystem>
#include <string>
#include <vector>

namespace {

using namespace vm;

TEST(XlsxSheetName, ReplacesCutsAndMakesUnique) {
    const std::string maedchen = "Mädchen";
    const std::string long40(40, 'x');
    std::string umlauts31;
    for (int i = 0; i < 31; ++i)
        umlauts31 += "ü";
    struct Case {
        std::string wanted, expected;
    };
    const Case cases[] = {
        {"AK 13/14 " + maedchen, "AK 13_14 " + maedchen},
        {"[a]:*?/\\b", "_a______b"},
        {"'AK'", "_AK_"},
        {"", "Altersklasse"},
        {long40, std::string(31, 'x')},
        {long40, std::string(27, 'x') + " (2)"},
        // Characters, not bytes, count; a cut never splits one.
        {umlauts31 + "ü", umlauts31},
        // Taken names compare without case, umlauts included.
        {"ak OFFEN", "ak OFFEN"},
        {"AK offen", "AK offen (2)"},
        {"AK offen", "AK offen (3)"},
        {"AK " + maedchen, "AK " + maedchen},
        {"AK MÄDCHEN", "AK MÄDCHEN (2)"},
        {"history", "history (2)"},
    };
    std::vector<std::string> taken = {"History"};
    for (const Case& k : cases)
        EXPECT_EQ(MakeSheetName(k.wanted, taken), k.expected) << k.wanted;
}

// Runs the openpyxl check on a written workbook with the system's Python, where the
// Debian package installs openpyxl; its output names the failed checks.
std::string CheckWithOpenpyxl(const std::string& file, const char* mode) {
    const std::string cmd = std::string("/usr/bin/python3 '") + VELMORA_SOURCE_DIR +
                            "/tests/io/check_xlsx.py' '" + file + "' " + mode + " 2>&1";
    std::FILE* p = ::popen(cmd.c_str(), "r");
    if (!p) return "cannot run python3";
    std::string out;
    char buf[512];
    while (std::fgets(buf, sizeof buf, p))
        out += buf;
    const int status = ::pclose(p);
    return status == 0 ? std::string() : "check failed:\n" + out;
}

TEST(XlsxExport, WorkbookReadsBackAsTyped) {
    InstallExportWriters();
    for (bool team : {false, true}) {
        SCOPED_TRACE(team ? "team" : "individual");
        vmtest::TempDir dir;
        auto c = vmtest::ExportCompetition(team);
        // A name that a spreadsheet would take as a formula if written as one.
        // Its HLW points, 687,06, are ones that a division in steps would not give exactly.
        auto formula = vmtest::Person({"=HYPERLINK(\"http://a.example\",\"x\")", "Eva", "1980",
                                       "SH", "AK offen", false, team});
        formula->HLWPunkte = 68706;
        c->FindAgeClass("AK offen", false)->InsertParticipant(std::move(formula));
        // Spaces at either end, a control character that XML cannot carry and a text
        // that looks like the workbook's own escape of one.
        c->FindAgeClass("AK offen", false)
            ->InsertParticipant(vmtest::Person(
                {" Tab\x01_x0041_ ", "a&b<c>", "1981", "SH", "AK offen", false, team}));
        TVmFile doc(dir.File("none.ERG"));
        doc.SetCompetition(std::move(c));
        const std::string out = dir.File("WK.XLSX");
        ASSERT_TRUE(doc.SaveAs(out, TFileType::Xlsx));
        EXPECT_EQ(vmtest::ReadFileBytes(out).substr(0, 4), std::string("PK\x03\x04", 4));
        // Only the workbook remains: no scratch or temporary file beside it.
        std::vector<std::string> names;
        for (const auto& e : std::filesystem::directory_iterator(dir.Path()))
            names.push_back(e.path().filename().string());
        EXPECT_EQ(names, std::vector<std::string>{"WK.XLSX"});
        EXPECT_EQ(CheckWithOpenpyxl(out, team ? "team" : "single"), "");
        // The same competition gives the same bytes.
        const std::string again = dir.File("WK2.XLSX");
        ASSERT_TRUE(doc.SaveAs(again, TFileType::Xlsx));
        EXPECT_TRUE(vmtest::ReadFileBytes(again) == vmtest::ReadFileBytes(out));
    }
}

TEST(XlsxExport, CompetitionWithoutParticipantsGivesTheHeaderSheet) {
    InstallExportWriters();
    vmtest::TempDir dir;
    TVmFile doc(dir.File("none.ERG"));
    doc.SetCompetition(vmtest::Competition());
    const std::string out = dir.File("LEER.XLSX");
    ASSERT_TRUE(doc.SaveAs(out, TFileType::Xlsx));
    EXPECT_EQ(CheckWithOpenpyxl(out, "empty"), "");
}

// Enough rows that each sheet is deflated in many pieces, more than wait at a time,
// through velmora-cli as a user saves it.
TEST(XlsxExport, LargeWorkbookHasEveryRowInOrder) {
    vmtest::TempDir dir;
    const std::string erg = dir.File("WK.ERG"), out = dir.File("WK.XLSX");
    const auto made = vmtest::RunCli(
        {"generate", erg, "--participants", "3000", "--seed", "5", "--year", "2004"});
    ASSERT_EQ(made.status, 0) << made.err;
    const auto saved = vmtest::RunCli({"save-as", erg, out, "--type", "xlsx"});
    ASSERT_EQ(saved.status, 0) << saved.err;
    EXPECT_EQ(CheckWithOpenpyxl(out, "large 3000"), "");
}

} // namespace

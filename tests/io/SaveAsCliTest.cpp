// velmora-cli save-as with every export type and the export options as flags.
#include "file/VmErg.h"
#include "file/VmWFile.h"
#include "io/VmExport.h"
#include "io/VmHtmlExport.h"
#include "io/VmTxtExport.h"
#include "support/Builders.h"
#include "support/TestSupport.h"

#include <gtest/gtest.h>

#include <filesystem>

namespace {

using namespace vm;
using vmtest::ReadFileBytes;
using vmtest::RunCli;

class SaveAsCli : public ::testing::Test {
protected:
    void SetUp() override {
        auto c = vmtest::ExportCompetition();
        ASSERT_TRUE(Save(erg, *c, TSaveFormat::Ergebnis));
    }
    vmtest::TempDir dir;
    std::string erg = dir.File("WK.ERG");
};

TEST_F(SaveAsCli, TextExportFlags) {
    const std::string out = dir.File("out.csv");
    auto r = RunCli({"save-as", erg, out, "--type", "csv"});
    ASSERT_EQ(r.status, 0) << r.err;
    auto c = vmtest::ExportCompetition();
    TMemoryStream expected;
    ExportText(*c, expected, TTextExportOptions{});
    EXPECT_EQ(ReadFileBytes(out), expected.Data());

    r = RunCli({"save-as", erg, out, "--type", "csv", "--separator", "{TAB}", "--no-quotes",
                "--no-header", "--charset", "dos", "--no-disciplines", "--non-starters"});
    ASSERT_EQ(r.status, 0) << r.err;
    const std::string data = ReadFileBytes(out);
    EXPECT_EQ(data.rfind("Schr\x94"
                         "der\tJ\x81rgen\t12.03.1990\t",
                         0),
              0u)
        << data;
    EXPECT_NE(data.find("Absent\t"), std::string::npos);
    EXPECT_EQ(data.find('"'), data.find("\"Ed\"")); // the only quotes are the name's own

    r = RunCli(
        {"save-as", erg, out, "--type", "csv", "--separator", "{LEER}", "--quote-char", "*"});
    ASSERT_EQ(r.status, 0) << r.err;
    EXPECT_EQ(ReadFileBytes(out).rfind("*NAME* *VORNAME* ", 0), 0u);
}

TEST_F(SaveAsCli, HtmlExportFlags) {
    const std::string out = dir.File("out.htm");
    auto r = RunCli({"save-as", erg, out, "--type", "htm", "--text-form", "--no-links",
                     "--background-colour", "grün", "--background-picture", "bg.gif"});
    ASSERT_EQ(r.status, 0) << r.err;
    THtmlExportOptions o;
    o.TableForm = false;
    o.AgeClassLinks = false;
    o.BackgroundColour = "grün";
    o.BackgroundPicture = "bg.gif";
    auto c = vmtest::ExportCompetition();
    TMemoryStream expected;
    ExportHtml(*c, expected, o);
    EXPECT_EQ(ReadFileBytes(out), expected.Data());
    EXPECT_NE(
        expected.Data().find("<BODY BGCOLOR=\"#008000\">\r\n<BODY BACKGROUND=\"bg.gif\">\r\n"),
        std::string::npos);
}

// Each type with --type, and without it by the extensions that name it, in any case.
TEST_F(SaveAsCli, EveryTypeWritesItsFormat) {
    struct Case {
        const char* type;
        std::string head;
        std::vector<std::string> byExtension;
    };
    const Case cases[] = {
        {"erg", std::string(SignatureV21), {"e1.ERG", "e2.erg"}},
        {"copy", std::string(SignatureV21), {}},
        {"dbf", std::string("\x03\x00\x01\x01\x04\x00\x00\x00", 8), {"d.dbf"}},
        {"xls", std::string("\x09\x02\x06\x00", 4), {"x.XLS"}},
        {"xlsx", std::string("PK\x03\x04", 4), {"w.xlsx", "w.XlSx"}},
        {"htm", "<HTML>\r\n", {"h1.htm", "h2.HTML"}},
        {"csv", "\"NAME\";", {"c.Csv"}},
        {"pdf", "%PDF-", {"p.PDF"}},
    };
    for (const Case& k : cases) {
        SCOPED_TRACE(k.type);
        std::vector<std::vector<std::string>> runs = {
            {"save-as", erg, dir.File(std::string("out.") + k.type), "--type", k.type}};
        for (const std::string& name : k.byExtension)
            runs.push_back({"save-as", erg, dir.File(name)});
        for (const auto& args : runs) {
            auto r = RunCli(args);
            ASSERT_EQ(r.status, 0) << args[2] << ": " << r.err;
            EXPECT_EQ(ReadFileBytes(args[2]).substr(0, k.head.size()), k.head) << args[2];
        }
    }
}

TEST_F(SaveAsCli, TypeOverExtensionAndUnknownExtensions) {
    ASSERT_EQ(RunCli({"save-as", erg, dir.File("t.csv"), "--type", "erg"}).status, 0);
    EXPECT_EQ(ReadFileBytes(dir.File("t.csv")).substr(0, SignatureV21.size()), SignatureV21);

    // No extension, an unknown one, or a dot only in a folder's name: a usage error that
    // lists the types, and no file.
    std::filesystem::create_directory(dir.File("a.erg"));
    for (const std::string name : {"x.txt", "x", "x.", "a.erg/x"}) {
        SCOPED_TRACE(name);
        auto r = RunCli({"save-as", erg, dir.File(name)});
        EXPECT_EQ(r.status, 2);
        EXPECT_NE(r.err.find("erg|copy|csv|htm|dbf|xls|xlsx|pdf"), std::string::npos) << r.err;
        EXPECT_FALSE(std::filesystem::exists(dir.File(name)));
    }
}

TEST_F(SaveAsCli, UsageErrorsLeaveNoFile) {
    const std::string out = dir.File("bad.out");
    const std::vector<std::vector<std::string>> bad = {
        {"save-as", erg, out, "--type", "doc"},
        {"save-as", erg, out, "--type", "csv", "--text-form"},
        {"save-as", erg, out, "--type", "dbf", "--no-header"},
        {"save-as", erg, out, "--type", "htm", "--separator", ","},
        {"save-as", erg, out, "--type", "csv", "--separator", "ab"},
        {"save-as", erg, out, "--type", "csv", "--quote-char", ""},
        {"save-as", erg, out, "--type", "csv", "--charset", "latin1"},
        {"save-as", erg, out, "--type", "htm", "--background-colour", "lila"},
    };
    for (const auto& args : bad) {
        auto r = RunCli(args);
        EXPECT_EQ(r.status, 2) << args[4] << " " << (args.size() > 5 ? args[5] : "");
    }
    EXPECT_FALSE(std::filesystem::exists(out));
    // A missing input is a failed operation, not a usage error.
    EXPECT_EQ(RunCli({"save-as", dir.File("none.ERG"), out, "--type", "csv"}).status, 1);
    EXPECT_FALSE(std::filesystem::exists(out));
    // PDF is accepted as a type; without a PDF writer the save fails cleanly.
    auto pdf = RunCli({"save-as", erg, dir.File("out.pdf"), "--type", "pdf"});
    EXPECT_NE(pdf.status, 2) << pdf.err;
}

TEST(ExportInstaller, SaveAsDispatchesToTheInstalledWriters) {
    vmtest::TempDir dir;
    InstallExportWriters();
    TSaveOptions options;
    options.Text.Separator = '|';
    options.Text.WithHeader = false;
    options.Html.AgeClassLinks = false;
    TVmFile doc(dir.File("none.ERG"));
    auto c = vmtest::ExportCompetition();
    doc.SetCompetition(std::move(c));
    doc.SetModified(true);
    ASSERT_TRUE(doc.SaveAs(dir.File("A.CSV"), TFileType::Text, options));
    EXPECT_EQ(vmtest::ReadFileBytes(dir.File("A.CSV"))
                  .rfind("\"Schr\xF6"
                         "der\"|",
                         0),
              0u);
    ASSERT_TRUE(doc.SaveAs(dir.File("A.HTM"), TFileType::Html, options));
    EXPECT_EQ(vmtest::ReadFileBytes(dir.File("A.HTM")).find("HREF=\"#Ak"), std::string::npos);
    // The options belong to that save only: the next one has the dialogs' defaults.
    ASSERT_TRUE(doc.SaveAs(dir.File("B.CSV"), TFileType::Text));
    EXPECT_EQ(vmtest::ReadFileBytes(dir.File("B.CSV")).rfind("\"NAME\";", 0), 0u);
    ASSERT_TRUE(doc.SaveAs(dir.File("B.HTM"), TFileType::Html));
    EXPECT_NE(vmtest::ReadFileBytes(dir.File("B.HTM")).find("HREF=\"#Ak"), std::string::npos);
    ASSERT_TRUE(doc.SaveAs(dir.File("A.DBF"), TFileType::Dbf));
    ASSERT_TRUE(doc.SaveAs(dir.File("A.XLS"), TFileType::Xls));
    EXPECT_EQ(vmtest::ReadFileBytes(dir.File("A.DBF")).size(), 1153u + 4 * 266 + 1);
    // Exports leave the document's name and modified state alone.
    EXPECT_TRUE(doc.IsUnnamed());
    EXPECT_TRUE(doc.Modified());
}

} // namespace

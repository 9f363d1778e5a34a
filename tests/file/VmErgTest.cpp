#include "file/VmErg.h"
#include "file/VmWFile.h"
#include "support/TestSupport.h"

#include <gtest/gtest.h>

#include <csignal>
#include <filesystem>
#include <sys/resource.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

namespace vm {
namespace {

// Little helpers that lay bytes down by hand, independent of the record code.
struct Bytes {
    std::string b;
    Bytes& u8(int v) {
        b += static_cast<char>(v & 0xFF);
        return *this;
    }
    Bytes& i16(int v) { return u8(v).u8(v >> 8); }
    Bytes& i32(std::int64_t v) {
        return u8(static_cast<int>(v))
            .u8(static_cast<int>(v >> 8))
            .u8(static_cast<int>(v >> 16))
            .u8(static_cast<int>(v >> 24));
    }
    Bytes& str(std::size_t capacity, const std::string& s) {
        u8(static_cast<int>(s.size()));
        b += s;
        b.append(capacity - s.size(), '\0');
        return *this;
    }
    Bytes& zeros(std::size_t n) {
        b.append(n, '\0');
        return *this;
    }
};

std::string Header(const std::string& title) {
    Bytes h;
    h.str(80, title)
        .i16(0)
        .str(80, "Veranstalter")
        .str(80, "-")
        .str(80, "1.5.2004")
        .str(80, "Kiel");
    h.i16(3).i16(1).i16(2).zeros(81).i16(1).i16(4).i16(2).zeros(201);
    EXPECT_EQ(h.b.size(), 701u);
    return h.b;
}

std::string AgeClassRecord() {
    Bytes a;
    a.str(30, "AK 13/14w").i16(1990).i16(1991).i16(3).i16(1);
    // discipline 1: "neue Berechnung", base time 0:27,00, rule code 9
    Bytes d;
    d.str(80, "50m Hindernisschwimmen")
        .i16(1)
        .i32(2700)
        .i32(0)
        .i32(0)
        .i32(0)
        .i32(0)
        .str(255, "")
        .i16(9)
        .str(80, "Meisterschaftsdisziplin Regelwerk 1999");
    EXPECT_EQ(d.b.size(), 442u);
    a.b += d.b;
    a.zeros(4 * 442);
    a.i32(0).i16(0).i32(2700).i16(0).zeros(78); // no record yet; this year's best 0:27,00
    a.zeros(4 * 90);
    a.i32(0).i32(100000); // previous best total, this year's best total
    a.zeros(78);
    EXPECT_EQ(a.b.size(), 2785u);
    return a.b;
}

std::string ParticipantRecord() {
    Bytes p;
    p.str(20, "Meyer").str(20, "Lena").str(10, "01.02.1991").str(5, "BY").str(30, "AK 13/14w");
    p.i16(1 | 8);                              // weiblich, meldet
    p.i32(2700).i32(0).i32(0).i32(0).i32(0);   // times
    p.zeros(10).zeros(10).zeros(10);           // penalties, heats, lanes
    p.i32(0).i16(0).i16(0).i16(0).i16(0);      // HLW points, start, station, HLW heat, reserved
    p.i32(100000).i32(0).i32(0).i32(0).i32(0); // points
    p.i32(100000).i16(1);                      // total, place
    EXPECT_EQ(p.b.size(), 180u);
    return p.b;
}

std::string GliederungRecord() {
    Bytes g;
    g.str(5, "BY")
        .str(30, "Bayern")
        .i16(1)
        .i16(1)
        .i16(0)
        .i16(0)
        .i16(1)
        .i16(0)
        .i16(0)
        .i16(1)
        .i32(1000)
        .i32(0)
        .zeros(38);
    EXPECT_EQ(g.b.size(), 99u);
    return g.b;
}

// A complete result file assembled byte by byte.
std::string HandMadeFile(int headerSize = 701) {
    Bytes f;
    f.b += std::string("Ergebnisdatei von Vm.EXE Version 2.1 \x1A", 38);
    f.i32(headerSize);
    f.b += Header("Bezirksmeisterschaft");
    f.zeros(static_cast<std::size_t>(headerSize - 701));
    f.i16(1).i16(10).i16(10); // age classes: count, limit, delta
    f.i16(1001).b += AgeClassRecord();
    f.i16(1).i16(10).i16(10); // participants
    f.i16(1000).b += ParticipantRecord();
    f.u8(1); // participants allow duplicates
    f.u8(0); // age classes do not
    f.i16(1).i16(10).i16(10).i16(1002).b += GliederungRecord();
    f.u8(0);
    f.i16(0).i16(10).i16(10).u8(0); // organisation list
    return f.b;
}

// The offset of the first difference, or -1 (keeps failure output short).
long FirstDifference(const std::string& a, const std::string& b) {
    for (std::size_t i = 0; i < std::min(a.size(), b.size()); ++i)
        if (a[i] != b[i]) return static_cast<long>(i);
    return a.size() == b.size() ? -1 : static_cast<long>(std::min(a.size(), b.size()));
}

} // namespace

TEST(ResultFile, WritesTheStoredLayoutByteForByte) {
    vmtest::TempDir dir;
    const std::string in = dir.File("IN.ERG"), out = dir.File("OUT.ERG");
    const std::string bytes = HandMadeFile();
    vmtest::WriteFileBytes(in, bytes);

    TMessageCapture cap;
    auto c = Load(in);
    ASSERT_NE(c, nullptr);
    EXPECT_TRUE(cap.Messages().empty());
    ASSERT_EQ(c->Count(), 1);
    EXPECT_EQ(c->At(0)->Count(), 1);
    EXPECT_EQ(c->Header.Veranstaltung.Get(), "Bezirksmeisterschaft");
    EXPECT_EQ(c->Gliederungen.Count(), 1);
    ASSERT_TRUE(Save(out, *c, TSaveFormat::Ergebnis));
    EXPECT_EQ(FirstDifference(vmtest::ReadFileBytes(out), bytes), -1);
    EXPECT_EQ(bytes.substr(38, 4), std::string("\xBD\x02\x00\x00", 4));
}

TEST(ResultFile, KeepsBytesBehindTheTextsAndRecomputesResults) {
    vmtest::TempDir dir;
    std::string bytes = HandMadeFile();
    // Stale points and place in the file, and leftovers behind a short title.
    const std::size_t participant = 38 + 4 + 701 + 6 + 2 + 2785 + 6 + 2;
    bytes[participant + 174] = 0x01; // total
    bytes[participant + 178] = 0x07; // place
    bytes[42 + 40] = 'Z';            // behind "Bezirksmeisterschaft", inside the title field
    vmtest::WriteFileBytes(dir.File("A.ERG"), bytes);
    auto c = Load(dir.File("A.ERG"));
    ASSERT_NE(c, nullptr);
    EXPECT_EQ(c->At(0)->At(0)->Gesamtpunkte, 100000);
    EXPECT_EQ(c->At(0)->At(0)->Platz, 1);
    ASSERT_TRUE(Save(dir.File("B.ERG"), *c, TSaveFormat::Ergebnis));
    const std::string again = vmtest::ReadFileBytes(dir.File("B.ERG"));
    ASSERT_EQ(again.size(), bytes.size());
    EXPECT_EQ(again[42 + 40], 'Z');
    EXPECT_EQ(FirstDifference(again, HandMadeFile().replace(42 + 40, 1, "Z")), -1);
}

TEST(ResultFile, LongerHeaderIsSkipped) {
    vmtest::TempDir dir;
    vmtest::WriteFileBytes(dir.File("H.ERG"), HandMadeFile(720));
    auto c = Load(dir.File("H.ERG"));
    ASSERT_NE(c, nullptr);
    EXPECT_EQ(c->At(0)->Count(), 1);
    EXPECT_EQ(c->Header.Veranstaltungsstaette.Get(), "Kiel");
}

TEST(ResultFile, DamagedFilesFailCleanlyAndLeaveTheDocument) {
    vmtest::TempDir dir;
    const std::string good = HandMadeFile();
    const std::size_t ageTag = 38 + 4 + 701 + 6;
    std::vector<std::pair<std::string, std::string>> cases;
    cases.push_back({"truncated", good.substr(0, good.size() - 40)});
    cases.push_back({"signature only", good.substr(0, 38)});
    std::string wrongTag = good;
    wrongTag[ageTag] = 0x02;
    cases.push_back({"wrong age-class tag", wrongTag});
    std::string wrongParticipantTag = good;
    wrongParticipantTag[ageTag + 2 + 2785 + 6] = 0x05;
    cases.push_back({"wrong participant tag", wrongParticipantTag});
    std::string hugeCount = good;
    hugeCount[ageTag - 6] = '\xFF';
    hugeCount[ageTag - 5] = '\x7F';
    cases.push_back({"impossible count", hugeCount});
    std::string negativeHeader = good;
    negativeHeader[41] = '\x80';
    cases.push_back({"negative header size", negativeHeader});
    cases.push_back(
        {"unknown signature", "Ergebnisdatei von XY.EXE Version 9.9 \x1A" + good.substr(38)});

    for (const auto& [what, bytes] : cases) {
        vmtest::WriteFileBytes(dir.File("BAD.ERG"), bytes);
        TVmFile doc;
        doc.New(0, 2004);
        const int classes = doc.Competition().Count();
        TMessageCapture cap;
        EXPECT_FALSE(doc.Open(dir.File("BAD.ERG"))) << what;
        EXPECT_EQ(doc.Competition().Count(), classes) << what;
        EXPECT_TRUE(doc.IsUnnamed()) << what;
        ASSERT_FALSE(cap.Messages().empty()) << what;
        EXPECT_EQ(cap.Messages().back(), "Fehler beim Laden der Datei.") << what;
        if (what == "unknown signature") {
            EXPECT_EQ(cap.Messages().front(), "Unbekanntes Ergebnisdateiformat.");
        }
    }
    // The same for loading into an open competition.
    TWettkampf c;
    TMessageCapture cap;
    vmtest::WriteFileBytes(dir.File("BAD.ERG"), wrongTag);
    EXPECT_FALSE(LoadInto(dir.File("BAD.ERG"), c, TLoadFormat::Ergebnis));
    EXPECT_FALSE(LoadInto(dir.File("missing.ERG"), c, TLoadFormat::Ergebnis));
    {
        TMessageCapture unknown;
        EXPECT_FALSE(LoadInto(dir.File("missing.ERG"), c, LoadFormatFromCode(8)));
        EXPECT_EQ(unknown.Messages(), (std::vector<std::string>{"Unbekanntes Dateiformat.",
                                                                "Fehler beim Laden der Datei."}));
    }
    for (TLoadFormat nothing : {TLoadFormat::Leer4, TLoadFormat::Leer6, TLoadFormat::Leer7})
        EXPECT_TRUE(LoadInto(dir.File("missing.ERG"), c, nothing)); // nothing to read
    EXPECT_EQ(Load(dir.File("missing.ERG"), TLoadFormat::ErgebnisAktuellesJahr), nullptr);
}

TEST(ResultFile, BackupNames) {
    EXPECT_EQ(BackupName("WK2004.ERG"), "WK2004.BAK");
    EXPECT_EQ(BackupName("TEST"), "TEST.BAK");
    EXPECT_EQ(BackupName("A.B.ERG"), "A.BAK");
    EXPECT_EQ(BackupName("/home/x.y/wk.erg"), "/home/x.y/wk.BAK");
    EXPECT_EQ(BackupName("/home/x.y/Wettkampf"), "/home/x.y/Wettkampf.BAK");
}

TEST(ResultFile, SavingKeepsTheOldFileAsBackup) {
    vmtest::TempDir dir;
    const std::string name = dir.File("TEST");
    vmtest::WriteFileBytes(name, "old content");
    TVmFile doc;
    doc.New(0, 2004);
    ASSERT_TRUE(doc.SaveAs(name, TFileType::Ergebnis));
    EXPECT_EQ(vmtest::ReadFileBytes(dir.File("TEST.BAK")), "old content");
    EXPECT_EQ(doc.FileName(), name);
    EXPECT_FALSE(doc.Modified());
    // A copy does not take the name.
    ASSERT_TRUE(doc.SaveAs(dir.File("COPY.ERG"), TFileType::Kopie));
    EXPECT_EQ(doc.FileName(), name);
    // No temporary files are left behind.
    int files = 0;
    for (auto& e : std::filesystem::directory_iterator(dir.Path())) {
        (void)e;
        ++files;
    }
    EXPECT_EQ(files, 3);
}

TEST(ResultFile, FailedSaveReportsAndKeepsThePreviousFile) {
    vmtest::TempDir dir;
    TVmFile doc;
    doc.New(0, 2004);
    doc.SetModified();
    TMessageCapture cap;
    EXPECT_FALSE(doc.SaveAs(dir.File("missing/folder/X.ERG"), TFileType::Ergebnis));
    ASSERT_EQ(cap.Messages().size(), 1u);
    EXPECT_EQ(cap.Messages()[0], "Fehler beim Speichern der Datei.");
    EXPECT_TRUE(doc.Modified());
    EXPECT_TRUE(doc.IsUnnamed());

    // A file-size limit makes the write fail half way: the old file stays whole.
    const std::string name = dir.File("WK.ERG");
    vmtest::WriteFileBytes(name, "previous");
    pid_t pid = fork();
    if (pid == 0) {
        signal(SIGXFSZ, SIG_IGN);
        rlimit lim{1000, 1000};
        setrlimit(RLIMIT_FSIZE, &lim);
        TVmFile child;
        child.New(4, 2004);
        _exit(child.SaveAs(name, TFileType::Ergebnis) ? 0 : 1);
    }
    int status = 0;
    waitpid(pid, &status, 0);
    EXPECT_TRUE(WIFEXITED(status));
    EXPECT_EQ(WEXITSTATUS(status), 1);
    EXPECT_EQ(vmtest::ReadFileBytes(name), "previous");
    EXPECT_FALSE(std::filesystem::exists(dir.File("WK.BAK")));
}

TEST(ResultFile, YearNeutralFormat) {
    vmtest::TempDir dir;
    TVmFile doc;
    doc.New(0, CurrentYear());
    const int from = doc.Competition().At(0)->Data.JahrgangVon;
    ASSERT_TRUE(Save(dir.File("N.ERG"), doc.Competition(), TSaveFormat::ErgebnisJahrNeutral));
    EXPECT_EQ(doc.Competition().At(0)->Data.JahrgangVon, from); // shifted back
    auto stored = Load(dir.File("N.ERG"));
    ASSERT_NE(stored, nullptr);
    EXPECT_EQ(stored->At(0)->Data.JahrgangVon, from - (CurrentYear() - 1990));
    TWettkampf c;
    ASSERT_TRUE(LoadInto(dir.File("N.ERG"), c, TLoadFormat::ErgebnisAktuellesJahr));
    EXPECT_EQ(c.At(0)->Data.JahrgangVon, from);
}

TEST(ResultFile, FormatsByTheirStoredNumbers) {
    vmtest::TempDir dir;
    TVmFile doc;
    const std::string erg = dir.File("WK.ERG");
    ASSERT_TRUE(Save(erg, doc.Competition(), SaveFormatFromCode(1)));
    // 99 is the other number of the result file.
    EXPECT_NE(Load(erg, LoadFormatFromCode(99)), nullptr);
    TWettkampf c;
    EXPECT_TRUE(LoadInto(erg, c, LoadFormatFromCode(99)));
    EXPECT_EQ(c.Count(), doc.Competition().Count());
    // The formats without a writer, and numbers that name none, replace the file by an
    // empty one.
    for (int code : {0, 3, 4, 8, 10, 11, 14, -1}) {
        SCOPED_TRACE(code);
        const std::string name = dir.File("LEER" + std::to_string(code + 1) + ".DAT");
        vmtest::WriteFileBytes(name, "previous");
        ASSERT_TRUE(Save(name, doc.Competition(), SaveFormatFromCode(code)));
        EXPECT_EQ(vmtest::ReadFileBytes(name), "");
    }
}

TEST(ResultFile, EmptyCompetitionLayout) {
    TWettkampf c;
    TMemoryStream s;
    WriteNative(s, c);
    Bytes tail;
    tail.i16(0).i16(10).i16(10).u8(0).i16(0).i16(10).i16(10).u8(1).i16(0).i16(10).i16(10).u8(0);
    ASSERT_EQ(s.Data().size(), 38u + 4 + 701 + tail.b.size());
    EXPECT_EQ(s.Data().substr(743), tail.b);
}

// An export is refused over a file of any result-file signature, whatever its name; a
// result file (or its copy) may replace one, and other files may be replaced by exports.
TEST(ResultFile, ExportsNeverWriteOverAResultFile) {
    vmtest::TempDir dir;
    const struct {
        const char* name;
        std::string bytes;
        bool result;
    } files[] = {
        {"V21.ERG", std::string(SignatureV21) + "rest", true},
        {"V15.CSV", std::string(SignatureV15), true},
        {"V10", std::string(SignatureV10) + "\x01\x02", true},
        {"TPN.htm", std::string(SignatureTPN), true},
        {"SHORT.ERG", std::string(SignatureV21.substr(0, 37)), false}, // cut before its end
        {"TEXT.CSV", "Name;Vorname\r\n", false},
        {"EMPTY.ERG", "", false},
    };
    for (const auto& f : files) {
        vmtest::WriteFileBytes(dir.File(f.name), f.bytes);
        EXPECT_EQ(IsResultFile(dir.File(f.name)), f.result) << f.name;
        for (TFileType t : {TFileType::Dbf, TFileType::Xls, TFileType::Html, TFileType::Pdf,
                            TFileType::Text, TFileType::Xlsx})
            EXPECT_EQ(ExportWouldOverwriteResult(dir.File(f.name), t), f.result) << f.name;
        EXPECT_FALSE(ExportWouldOverwriteResult(dir.File(f.name), TFileType::Ergebnis));
        EXPECT_FALSE(ExportWouldOverwriteResult(dir.File(f.name), TFileType::Kopie));
    }
    EXPECT_FALSE(IsResultFile(dir.File("MISSING.ERG")));
    EXPECT_FALSE(ExportWouldOverwriteResult(dir.File("MISSING.ERG"), TFileType::Text));
}

} // namespace vm

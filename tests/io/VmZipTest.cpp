#include "io/VmZip.h"

#include "support/TestSupport.h"

#include <gtest/gtest.h>
#include <zip.h>

#include <cstdio>
#include <cstdlib>
#include <random>
#include <string>
#include <vector>

namespace {

using namespace vm;

// Text that deflates well but not trivially, like a sheet's XML.
std::string Sample(std::size_t bytes, unsigned seed) {
    std::mt19937 rng(seed);
    std::string s;
    while (s.size() < bytes)
        s += "<row><c><v>" + std::to_string(rng() % 100000) + "</v></c><c t=\"inlineStr\"><is><t>" +
             std::string(1 + rng() % 12, static_cast<char>('a' + rng() % 26)) +
             "</t></is></c></row>";
    s.resize(bytes);
    return s;
}

struct TMember {
    std::string name, bytes;
};

// Reads every member back with libzip, which checks each member's CRC-32 as it reads.
std::vector<TMember> ReadBack(const std::string& archive, std::time_t* mtime = nullptr) {
    std::vector<TMember> out;
    zip_error_t error;
    zip_error_init(&error);
    zip_source_t* src = zip_source_buffer_create(archive.data(), archive.size(), 0, &error);
    zip_t* z = src ? zip_open_from_source(src, ZIP_RDONLY | ZIP_CHECKCONS, &error) : nullptr;
    zip_error_fini(&error);
    if (!z) {
        if (src) zip_source_free(src);
        ADD_FAILURE() << "libzip cannot open the archive";
        return out;
    }
    for (zip_int64_t i = 0; i < zip_get_num_entries(z, 0); ++i) {
        zip_stat_t st;
        // Strictly as the format says: a name is UTF-8 only when its entry says so.
        zip_stat_index(z, static_cast<zip_uint64_t>(i), ZIP_FL_ENC_STRICT, &st);
        if (mtime) *mtime = st.mtime;
        TMember m{st.name, std::string(st.size, '\0')};
        zip_file_t* f = zip_fopen_index(z, static_cast<zip_uint64_t>(i), 0);
        EXPECT_NE(f, nullptr) << st.name;
        if (!f) continue;
        zip_uint64_t got = 0;
        while (got < st.size) {
            const zip_int64_t n = zip_fread(f, m.bytes.data() + got, st.size - got);
            if (n <= 0) break;
            got += static_cast<zip_uint64_t>(n);
        }
        // One more read reaches the end of the member, where libzip compares the CRC-32.
        char extra;
        EXPECT_EQ(zip_fread(f, &extra, 1), 0) << st.name << ": " << zip_strerror(z);
        EXPECT_EQ(got, st.size) << st.name;
        zip_fclose(f);
        out.push_back(std::move(m));
    }
    zip_discard(z);
    return out;
}

TEST(ZipWrite, MembersReadBackWithLibzipAndUnzip) {
    const std::string big = Sample(3 << 20, 1);
    const std::string small = Sample(1000, 2);
    // Noon of 14 June 2025 (UTC), a time the archive can hold to the second.
    const std::time_t when = 1749902400;

    auto build = [&] {
        std::vector<TZipEntry> entries;
        entries.push_back(StoredZipEntry("[Content_Types].xml", small));
        entries.push_back(DeflatedZipEntry("xl/styles.xml", small, 6));
        entries.push_back(StoredZipEntry("leer.txt", ""));
        entries.push_back(DeflatedZipEntry("leer.xml", "", 1));
        // A big member of pieces from two deflaters, one of its pieces also in a second
        // member, as the workbook shares the rows between two sheets.
        TZipDeflater a(1), b(6);
        std::vector<TZipPiece> pieces;
        pieces.push_back(a.Deflate(small, false));
        for (std::size_t at = 0; at < big.size(); at += 70001)
            pieces.push_back((pieces.size() % 2 ? b : a)
                                 .Deflate(std::string_view(big).substr(at, 70001), false));
        pieces.push_back(b.Deflate("", true));
        const TZipPiece end = a.Deflate("</ende>", true);
        std::vector<const TZipPiece*> all, shared = {&pieces[1], &end};
        for (const TZipPiece& p : pieces)
            all.push_back(&p);
        entries.push_back(JoinZipPieces("zweit.xml", shared));
        entries.push_back(JoinZipPieces("xl/worksheets/Blätter ß.xml", all));
        return entries;
    };
    const std::vector<TZipEntry> entries = build();
    EXPECT_LT(entries.back().Data.size(), big.size() / 3) << "deflated";

    TMemoryStream s;
    ASSERT_EQ(WriteZip(s, entries, when), TZipResult::Ok);
    std::time_t mtime = 0;
    const std::vector<TMember> back = ReadBack(s.Data(), &mtime);
    const std::vector<std::pair<std::string, std::string>> expected = {
        {"[Content_Types].xml", small},
        {"xl/styles.xml", small},
        {"leer.txt", ""},
        {"leer.xml", ""},
        {"zweit.xml", big.substr(0, 70001) + "</ende>"},
        {"xl/worksheets/Blätter ß.xml", small + big}};
    ASSERT_EQ(back.size(), expected.size());
    for (std::size_t i = 0; i < back.size(); ++i) {
        EXPECT_EQ(back[i].name, expected[i].first);
        EXPECT_TRUE(back[i].bytes == expected[i].second) << back[i].name;
    }
    // libzip gives the stored DOS time as local time; the archive holds it as written.
    std::tm tm{};
    ::localtime_r(&mtime, &tm);
    EXPECT_EQ(tm.tm_year, 125);
    EXPECT_EQ(tm.tm_mon, 5);
    EXPECT_EQ(tm.tm_mday, 14);
    EXPECT_EQ(tm.tm_hour, 12);
    EXPECT_EQ(tm.tm_min, 0);

    // The same members give the same bytes.
    TMemoryStream again;
    ASSERT_EQ(WriteZip(again, build(), when), TZipResult::Ok);
    EXPECT_TRUE(again.Data() == s.Data());

    // The command-line tool agrees: every member's data and CRC-32 check out.
    vmtest::TempDir dir;
    const std::string file = dir.File("a.zip");
    vmtest::WriteFileBytes(file, s.Data());
    const std::string cmd = "unzip -tqq '" + file + "' >/dev/null 2>&1";
    EXPECT_EQ(std::system(cmd.c_str()), 0) << "unzip -t";
}

// A stream whose writes fail, like a full disk.
class TFullStream : public TMemoryStream {
public:
    void Write(const void*, std::size_t) override { writeFailed_ = true; }
};

TEST(ZipWrite, RefusesWhatTheFormatCannotHoldAndReportsFailedWrites) {
    // Over 4 GiB without ZIP64: a member's size, its data, too many members.
    TZipEntry huge = StoredZipEntry("a.xml", "x");
    huge.Size = 0x100000000ull;
    TZipEntry longName = StoredZipEntry(std::string(70000, 'n'), "x");
    std::vector<TZipEntry> many(70000, StoredZipEntry("m", ""));
    for (const std::vector<TZipEntry>& entries :
         {std::vector<TZipEntry>{StoredZipEntry("b.xml", "y"), huge},
          std::vector<TZipEntry>{longName}, many}) {
        TMemoryStream s;
        EXPECT_EQ(WriteZip(s, entries, 0), TZipResult::TooLarge);
        EXPECT_EQ(s.Data().size(), 0u) << "nothing written";
    }
    TFullStream full;
    EXPECT_EQ(WriteZip(full, {StoredZipEntry("a.xml", "x")}, 0), TZipResult::WriteFailed);
}

} // namespace

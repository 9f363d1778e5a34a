#include "io/VmDbf.h"

#include "io/VmExport.h"
#include "support/Builders.h"

#include <gtest/gtest.h>

#include <string>

namespace {

using namespace vm;

std::string Export(const TWettkampf& c) {
    TMemoryStream s;
    EXPECT_TRUE(ExportDbf(c, s));
    return s.Data();
}

unsigned U8(const std::string& d, std::size_t i) {
    return static_cast<unsigned char>(d.at(i));
}
unsigned U16(const std::string& d, std::size_t i) {
    return U8(d, i) | (U8(d, i + 1) << 8);
}
unsigned U32(const std::string& d, std::size_t i) {
    return U16(d, i) | (U16(d, i + 2) << 16);
}

// The text of field `col` in record `r` of an exported file.
std::string Field(const std::string& d, bool single, std::size_t r, int col) {
    const std::size_t headerLength = U16(d, 8), recordLength = U16(d, 10);
    std::size_t offset = headerLength + r * recordLength + 1;
    const auto& cols = ExportColumns(single);
    for (int i = 0; i < col; ++i)
        offset += static_cast<std::size_t>(cols[static_cast<std::size_t>(i)].DbfLength);
    return d.substr(offset,
                    static_cast<std::size_t>(cols[static_cast<std::size_t>(col)].DbfLength));
}

TEST(DbfExport, HeaderAndLayoutOfIndividualAndTeamFiles) {
    struct Case {
        bool team;
        unsigned recordLength;
    };
    for (const Case k : {Case{false, 266}, Case{true, 272}}) {
        SCOPED_TRACE(k.team);
        auto c = vmtest::ExportCompetition(k.team);
        const std::string d = Export(*c);
        EXPECT_EQ(U8(d, 0), 3u);
        EXPECT_EQ(U8(d, 1), 0u);
        EXPECT_EQ(U8(d, 2), 1u);
        EXPECT_EQ(U8(d, 3), 1u);
        EXPECT_EQ(U32(d, 4), 4u);
        EXPECT_EQ(U16(d, 8), 1153u);
        EXPECT_EQ(U16(d, 10), k.recordLength);
        EXPECT_EQ(U8(d, 29), 0x02u); // code page 850
        EXPECT_EQ(U8(d, 1152), 0x0Du);
        ASSERT_EQ(d.size(), 1153u + 4 * k.recordLength + 1);
        EXPECT_EQ(U8(d, d.size() - 1), 0x1Au);
        // Descriptor of GESAMTPKT (fourth field) and of HLWBAHN (last field).
        const std::string gesamt = d.substr(32 + 3 * 32, 32);
        EXPECT_EQ(gesamt.substr(0, 11), std::string("GESAMTPKT\0\0", 11));
        EXPECT_EQ(gesamt[11], 'N');
        EXPECT_EQ(U8(gesamt, 16), 8u);
        EXPECT_EQ(U8(gesamt, 17), 2u);
        EXPECT_EQ(gesamt.substr(18), std::string(14, '\0'));
        EXPECT_EQ(d.substr(32 + 34 * 32, 11), std::string("HLWBAHN\0\0\0\0", 11));
        EXPECT_EQ(d.substr(32, 10), k.team ? "ORTSGRUPPE" : std::string("NAME\0\0\0\0\0\0", 10));
        // Every record starts with the blank of a record that is not deleted.
        for (std::size_t r = 0; r < 4; ++r)
            EXPECT_EQ(d[1153 + r * k.recordLength], ' ');
    }
}

TEST(DbfExport, ValuesAreBlankPaddedNumbersRightAligned) {
    auto c = vmtest::ExportCompetition();
    const std::string d = Export(*c);
    const TTeilnehmer& p = *c->At(0)->At(0);
    ASSERT_EQ(p.NameKey(), "Schr\x94"
                           "der"); // the winner of the first age class
    EXPECT_EQ(Field(d, true, 0, 0), "Schr\x94"
                                    "der            ");
    EXPECT_EQ(Field(d, true, 0, 1), "J\x81rgen              ");
    EXPECT_EQ(Field(d, true, 0, 3), PadLeft(IntToText(p.Gesamtpunkte / 100) + "." +
                                                PadLeftZero(IntToText(p.Gesamtpunkte % 100), 2),
                                            8));
    EXPECT_EQ(Field(d, true, 0, 4), "    1");
    EXPECT_EQ(Field(d, true, 0, 6), "BY   ");
    EXPECT_EQ(Field(d, true, 0, 7), "1:01,50");
    EXPECT_EQ(Field(d, true, 0, 8), "    5");
    EXPECT_EQ(Field(d, true, 0, 10), "    2");
    EXPECT_EQ(Field(d, true, 0, 19), "    0.00");
    EXPECT_EQ(Field(d, true, 0, 32), "   85.50");
    EXPECT_EQ(Field(d, true, 0, 33), "09:05");
    EXPECT_EQ(Field(d, true, 0, 34), "   3");
    // The absent participant is exported (no filter); status marks as their codes.
    EXPECT_EQ(Field(d, true, 2, 0).substr(0, 6), "Absent");
    EXPECT_EQ(Field(d, true, 2, 13), "   -3");
    EXPECT_EQ(Field(d, true, 3, 8), "   -1");
    EXPECT_EQ(Field(d, true, 3, 5), PadRight("AK offen", 30));

    auto team = vmtest::ExportCompetition(true);
    const std::string t = Export(*team);
    for (std::size_t r = 0; r < 4; ++r)
        EXPECT_EQ(Field(t, false, r, 2), "     ");
    EXPECT_EQ(Field(t, false, 0, 1), PadRight("J\x81rgen", 21));
}

TEST(DbfExport, CompetitionWithoutParticipants) {
    auto c = vmtest::ExportCompetition();
    for (TAltersklasse& ac : *c)
        ac.FreeAll();
    const std::string d = Export(*c);
    ASSERT_EQ(d.size(), 1153u + 1);
    EXPECT_EQ(U32(d, 4), 0u);
    EXPECT_EQ(U8(d, 1153), 0x1Au);
}

TEST(DbfNumberText, DecimalPointSignAndOverflow) {
    struct Case {
        std::int64_t value;
        int decimals, length;
        const char* text;
    };
    const Case cases[] = {
        {1250, 2, 8, "12.50"},         {5, 2, 8, "0.05"},       {0, 2, 8, "0.00"},
        {-300, 2, 8, "-3.00"},         {-1, 0, 5, "-1"},        {0, 0, 5, "0"},
        {99999, 0, 5, "99999"},        {100000, 0, 5, "*****"}, {-5, 2, 8, "-0.05"},
        {123456789, 2, 8, "********"},
    };
    for (const Case& k : cases)
        EXPECT_EQ(DbfNumberText(k.value, k.decimals, k.length), k.text) << k.value;
}

TEST(DbfWriter, FieldsNamesAndLimits) {
    TMemoryStream s;
    TDbfWriter w;
    EXPECT_TRUE(w.AddField("VERYLONGFIELDNAME", 'C', 4, 0));
    EXPECT_TRUE(w.AddField("N", 'N', 3, 0));
    EXPECT_FALSE(w.AddField("ZERO", 'C', 0, 0));
    w.SetStream(&s);
    w.WriteHeader();
    EXPECT_EQ(s.Data().size(), 33u + 64);
    EXPECT_EQ(s.Data().substr(32, 11), std::string("VERYLONGFI\0", 11));
    w.ClearRecord();
    w.SetField(0, "abcdef");
    w.SetField(1, "7");
    w.SetField(2, "ignored");
    w.SetField(-1, "ignored");
    w.WriteRecord();
    w.ClearRecord();
    w.WriteRecord();
    w.Finish();
    EXPECT_EQ(s.Data().substr(97), std::string(" abcd  7"
                                               "        "
                                               "\x1A"));
    EXPECT_EQ(U32(s.Data(), 4), 2u);
    EXPECT_EQ(w.RecordLength(), 8u);

    TDbfWriter full;
    for (int i = 0; i < TDbfWriter::MaxFields; ++i)
        EXPECT_TRUE(full.AddField("F", 'C', 1, 0));
    EXPECT_FALSE(full.AddField("F", 'C', 1, 0));
    TDbfWriter wide;
    for (int i = 0; i < 15; ++i)
        EXPECT_TRUE(wide.AddField("W", 'C', 255, 0));
    EXPECT_TRUE(wide.AddField("W", 'C', 175, 0)); // exactly 4000 data bytes
    EXPECT_FALSE(wide.AddField("W", 'C', 1, 0));
}

} // namespace

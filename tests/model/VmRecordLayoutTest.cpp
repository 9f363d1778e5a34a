#include "model/VmWettk.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <vector>

namespace {

using namespace vm;

// Runs the check once for every stored record.
template <class Check> void ForEachRecord(Check check) {
    check(TTeilnehmer{}, "TTeilnehmer");
    check(TDisziplin{}, "TDisziplin");
    check(TRekordEintrag{}, "TRekordEintrag");
    check(TAltersklasseData{}, "TAltersklasseData");
    check(TWettkampfHeader{}, "TWettkampfHeader");
    check(TGliederungStat{}, "TGliederungStat");
}

TEST(RecordLayout, WriteGivesBackEveryByteReadAndNothingBeyond) {
    // A byte no field reads keeps what the buffer held before the write, a field
    // beyond the record overwrites the guard behind it; two fillings show either.
    ForEachRecord([](auto record, const char* name) {
        using R = decltype(record);
        SCOPED_TRACE(name);
        // Small values, so that every length byte is within its capacity.
        std::vector<std::uint8_t> bytes(R::Size);
        for (std::size_t i = 0; i < bytes.size(); ++i)
            bytes[i] = static_cast<std::uint8_t>(1 + i % 5);
        R r;
        r.Read(bytes.data());
        for (std::uint8_t fill : {0x00, 0xEE}) {
            std::vector<std::uint8_t> out(R::Size + 16, fill);
            r.Write(out.data());
            EXPECT_TRUE(std::equal(bytes.begin(), bytes.end(), out.begin()));
            EXPECT_EQ(std::count(out.begin() + R::Size, out.end(), fill), 16);
        }
    });
}

TEST(RecordLayout, LengthBeyondTheCapacityIsReadAsTheCapacity) {
    // The characters behind it stay as they were.
    std::vector<std::uint8_t> bytes(TTeilnehmer::Size, 'x');
    bytes[53] = 0xFF; // Gliederung, string[5]
    bytes[59] = 3;    // Altersklasse "xxx"
    TTeilnehmer p;
    p.Read(bytes.data());
    EXPECT_EQ(p.Gliederung.Get(), "xxxxx");
    std::vector<std::uint8_t> out(TTeilnehmer::Size);
    p.Write(out.data());
    bytes[53] = 5;
    EXPECT_EQ(out, bytes);
}

// The stored bytes of a record after `set` has filled some of its fields.
template <class R, class Set> std::vector<std::uint8_t> Written(Set set) {
    R r;
    set(r);
    std::vector<std::uint8_t> bytes(R::Size);
    r.Write(bytes.data());
    return bytes;
}
std::int32_t I16At(const std::vector<std::uint8_t>& b, std::size_t at) {
    return GetI16(b.data() + at);
}
std::int32_t I32At(const std::vector<std::uint8_t>& b, std::size_t at) {
    return GetI32(b.data() + at);
}

TEST(RecordLayout, FieldsLieAtTheirStoredOffsets) {
    // A few fields per record, set through the model and found at their offsets.
    const auto p = Written<TTeilnehmer>([](TTeilnehmer& t) {
        t.Eigenschaften = 0x0102;
        t.Zeit[4] = 0x03040506;
        t.Bahn[0] = 0x0708;
        t.Platz = 0x090A;
    });
    EXPECT_EQ(I16At(p, 90), 0x0102);
    EXPECT_EQ(I32At(p, 108), 0x03040506);
    EXPECT_EQ(I16At(p, 132), 0x0708);
    EXPECT_EQ(I16At(p, 178), 0x090A);

    const auto a = Written<TAltersklasseData>([](TAltersklasseData& d) {
        d.Disziplinen[2].RegelwerkCode = 9;
        d.Rekorde[1].BestAbzug = 5;
        d.BestGesamtpunkte = 123456;
    });
    EXPECT_EQ(I16At(a, 39 + 2 * 442 + 359), 9);
    EXPECT_EQ(I16At(a, 2249 + 90 + 10), 5);
    EXPECT_EQ(I32At(a, 2703), 123456);

    const auto h = Written<TWettkampfHeader>([](TWettkampfHeader& w) {
        w.HLWStationen = 6;
        w.HLWMassnahmen = 3;
    });
    EXPECT_EQ(I16At(h, 411), 6);
    EXPECT_EQ(I16At(h, 498), 3);

    const auto g = Written<TGliederungStat>([](TGliederungStat& s) {
        s.Br = 4;
        s.AbzugSumme = 77;
    });
    EXPECT_EQ(I16At(g, 43), 4);
    EXPECT_EQ(I32At(g, 57), 77);
}

} // namespace

#include "io/VmXls.h"

#include "io/VmExport.h"
#include "support/Builders.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace {

using namespace vm;

std::string Bytes(std::initializer_list<int> b) {
    std::string s;
    for (int v : b)
        s += static_cast<char>(v);
    return s;
}

struct TRecord {
    unsigned opcode;
    std::string data;
};

// Splits a BIFF stream into its records; fails when a record runs past the end.
std::vector<TRecord> Records(const std::string& d) {
    std::vector<TRecord> out;
    std::size_t pos = 0;
    while (pos + 4 <= d.size()) {
        const unsigned op =
            static_cast<unsigned char>(d[pos]) | (static_cast<unsigned char>(d[pos + 1]) << 8);
        const std::size_t len =
            static_cast<unsigned char>(d[pos + 2]) | (static_cast<unsigned char>(d[pos + 3]) << 8);
        EXPECT_LE(pos + 4 + len, d.size());
        out.push_back({op, d.substr(pos + 4, len)});
        pos += 4 + len;
    }
    EXPECT_EQ(pos, d.size());
    return out;
}

std::string Label(const TRecord& r) {
    return r.data.substr(8);
}
unsigned Row(const TRecord& r) {
    return static_cast<unsigned char>(r.data[0]) | (static_cast<unsigned char>(r.data[1]) << 8);
}
unsigned Col(const TRecord& r) {
    return static_cast<unsigned char>(r.data[2]) | (static_cast<unsigned char>(r.data[3]) << 8);
}

TEST(XlsExport, CompetitionWithoutParticipantsBytes) {
    auto c = vmtest::ExportCompetition();
    for (TAltersklasse& ac : *c)
        ac.FreeAll();
    TMemoryStream s;
    ASSERT_TRUE(ExportXls(*c, s));
    const std::string& d = s.Data();
    const std::string start =
        Bytes({0x09, 0x02, 0x06, 0x00, 0x00, 0x00, 0x10, 0x00, 0x00, 0x00, // BOF
               0x42, 0x00, 0x02, 0x00, 0x52, 0x03,                         // CODEPAGE 850
               0x00, 0x02, 0x0A, 0x00, 0x00, 0x00, 0x01, 0x00, 0x00, 0x00, // DIMENSIONS
               0x23, 0x00, 0x00, 0x00, 0x04, 0x00, 0x0C, 0x00, 0x00, 0x00,
               0x00, 0x00, 0x00, 0x00, 0x00, 0x04}) +
        "NAME";
    EXPECT_EQ(d.substr(0, start.size()), start);
    EXPECT_EQ(d.substr(d.size() - 4), Bytes({0x0A, 0x00, 0x00, 0x00}));
    const auto records = Records(d);
    ASSERT_EQ(records.size(), 3u + 35 + 1);
    const auto& cols = ExportColumns(true);
    for (std::size_t i = 0; i < 35; ++i) {
        const TRecord& r = records[3 + i];
        EXPECT_EQ(r.opcode, 0x0004u);
        EXPECT_EQ(Row(r), 0u);
        EXPECT_EQ(Col(r), i);
        EXPECT_EQ(Label(r), cols[i].XlsName);
    }
}

TEST(XlsExport, RowsAsTextCellsTeamsWithoutTeilnAndRealExtent) {
    for (bool team : {false, true}) {
        SCOPED_TRACE(team);
        auto c = vmtest::ExportCompetition(team);
        TMemoryStream s;
        ASSERT_TRUE(ExportXls(*c, s));
        const auto records = Records(s.Data());
        // DIMENSIONS: rows 0..4 (last + 1 = 5), columns 0..34 (35).
        ASSERT_GE(records.size(), 3u);
        EXPECT_EQ(records[2].opcode, 0x0200u);
        EXPECT_EQ(records[2].data, Bytes({0, 0, 5, 0, 0, 0, 35, 0, 0, 0}));
        std::size_t cellsInRow[5] = {};
        bool teilnCell = false;
        const TTeilnehmer& winner = *c->At(0)->At(0);
        for (const TRecord& r : records) {
            if (r.opcode != 0x0004) continue;
            ASSERT_LT(Row(r), 5u);
            ++cellsInRow[Row(r)];
            if (Row(r) > 0 && Col(r) == 2) teilnCell = true;
            if (Row(r) == 1 && Col(r) == 0) {
                EXPECT_EQ(Label(r), "Schröder"_oem);
            }
            if (Row(r) == 1 && Col(r) == 3) {
                EXPECT_EQ(Label(r), PointsToText(winner.Gesamtpunkte, 2));
            }
            if (Row(r) == 1 && Col(r) == 32) {
                EXPECT_EQ(Label(r), "85,50");
            }
            if (Row(r) == 4 && Col(r) == 8) {
                EXPECT_EQ(Label(r), "disq.");
            }
            if (Row(r) == 0 && Col(r) == 0) {
                EXPECT_EQ(Label(r), team ? "ORTSGRUPPE" : "NAME");
            }
        }
        EXPECT_EQ(teilnCell, !team);
        EXPECT_EQ(cellsInRow[0], 35u);
        for (int r = 1; r < 5; ++r)
            EXPECT_EQ(cellsInRow[r], team ? 34u : 35u);
        EXPECT_EQ(records.back().opcode, 0x000Au);
    }
}

TEST(XlsExport, RefusesMoreRowsThanTheDimensionsCanHold) {
    // 65535 participants and the header row: the last row + 1 does not fit 16 bits.
    auto c = NewCompetition();
    for (int k = 0; k < 5; ++k) {
        auto ac = NewAgeClass();
        ac->Data.Bezeichnung.Set("AK " + std::to_string(k));
        ac->Data.JahrgangVon = ac->Data.JahrgangBis = static_cast<std::int16_t>(1990 + k);
        for (int i = 0; i < 65535 / 5; ++i)
            ASSERT_TRUE(ac->Append(NewParticipant()));
        ASSERT_TRUE(c->InsertAgeClass(std::move(ac)));
    }
    ASSERT_EQ(ExportRowCount(*c), 65535u);
    TMemoryStream s;
    TMessageCapture msgs;
    EXPECT_FALSE(ExportXls(*c, s));
    EXPECT_EQ(msgs.Messages(),
              std::vector<std::string>{
                  "Zu viele Teilnehmer für eine Excel-Tabelle (höchstens 65534)."_oem});
    EXPECT_TRUE(s.Data().empty());

    // The highest row that is still allowed gives the largest extent there is.
    TMemoryStream top;
    {
        TXlsWriter w(top, 3, 0);
        w.WriteBlank(65534, 0);
    }
    const auto records = Records(top.Data());
    ASSERT_EQ(records.size(), 4u);
    EXPECT_EQ(records[1].data, Bytes({0xFE, 0xFF, 0xFF, 0xFF, 0, 0, 1, 0, 0, 0}));
}

TEST(XlsWriter, CellKindsAndVersions) {
    TMemoryStream s;
    {
        TXlsWriter w(s, 2, 0);
        w.WriteBlank(1, 2);
        w.WriteInteger(3, 4, 513);
        w.WriteNumber(0, 1, 1.5);
        w.WriteBool(2, 0, true);
        w.WriteLabel(5, 6, std::string(300, 'x'));
    } // the destructor ends the sheet
    const auto records = Records(s.Data());
    ASSERT_EQ(records.size(), 8u);
    EXPECT_EQ(records[0].opcode, 0x0009u);
    EXPECT_EQ(records[0].data, Bytes({0x00, 0x00, 0x10, 0x00}));
    EXPECT_EQ(records[1].opcode, 0x0000u); // BIFF2 DIMENSIONS: rows 0..5, columns 0..6
    EXPECT_EQ(records[1].data, Bytes({0, 0, 6, 0, 0, 0, 7, 0}));
    EXPECT_EQ(records[2].opcode, 0x0001u);
    EXPECT_EQ(records[2].data, Bytes({1, 0, 2, 0, 0, 0, 0}));
    EXPECT_EQ(records[3].opcode, 0x0002u);
    EXPECT_EQ(records[3].data, Bytes({3, 0, 4, 0, 0, 0, 0, 0x01, 0x02}));
    EXPECT_EQ(records[4].opcode, 0x0003u);
    EXPECT_EQ(records[4].data, Bytes({0, 0, 1, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0xF8, 0x3F}));
    EXPECT_EQ(records[5].opcode, 0x0005u);
    EXPECT_EQ(records[5].data, Bytes({2, 0, 0, 0, 0, 0, 0, 1, 0}));
    EXPECT_EQ(records[6].opcode, 0x0004u);
    EXPECT_EQ(records[6].data.size(), 263u); // a label is cut to 255 characters
    EXPECT_EQ(static_cast<unsigned char>(records[6].data[7]), 255u);
    EXPECT_EQ(records[7].opcode, 0x000Au);
    EXPECT_EQ(records[7].data, "");

    for (auto [version, bof] :
         {std::pair{4, 0x0409u}, std::pair{5, 0x0809u}, std::pair{3, 0x0209u}}) {
        TMemoryStream v;
        TXlsWriter w(v, version);
        w.Finish();
        const auto r = Records(v.Data());
        ASSERT_EQ(r.size(), 4u);
        EXPECT_EQ(r[0].opcode, bof);
        EXPECT_EQ(r[0].data, Bytes({0, 0, 0x10, 0, 0, 0}));
        EXPECT_EQ(r[1].opcode, 0x0042u);
        EXPECT_EQ(r[2].opcode, 0x0200u);
        EXPECT_EQ(r[2].data, std::string(10, '\0')); // an empty sheet
    }
}

} // namespace

#include "model/VmVorg.h"

#include "model/VmBasis.h"

#include <gtest/gtest.h>

#include <stdexcept>
#include <string>
#include <vector>

namespace {

using namespace vm;

const std::string kRule1999 = "Meisterschaftsdisziplin Regelwerk 1999";

std::vector<std::uint8_t> Bytes(const TDisziplin& d) {
    std::vector<std::uint8_t> b(TDisziplin::Size);
    d.Write(b.data());
    return b;
}

// ---- discipline templates ---------------------------------------------------

TEST(VorgTemplates, EveryTemplateRoundTripsThroughMakeDiscipline) {
    EXPECT_EQ(DisciplineTemplate(0), nullptr);
    EXPECT_EQ(DisciplineTemplate(69), nullptr);
    EXPECT_EQ(DisciplineTemplate(-1), nullptr);
    for (int n = 1; n <= 68; ++n) {
        SCOPED_TRACE(n);
        const TDisziplinVorlage* t = DisciplineTemplate(n);
        ASSERT_NE(t, nullptr);
        EXPECT_FALSE(t->Bezeichnung.empty());
        EXPECT_LE(t->Bezeichnung.size(), 55u);
        EXPECT_EQ(t->Berechnungsart, n <= 40 ? baNeu : baLinear);
        EXPECT_GT(t->V[0], 0);
        EXPECT_EQ(t->V[2], 0);
        EXPECT_EQ(t->V[3], 0);
        EXPECT_EQ(t->V[4], 0);
        if (n > 40) {
            EXPECT_EQ(t->V[1], 100);
        }

        const int code = n <= 40 ? 9 : 7;
        TDisziplin d = MakeDiscipline(*t, code);
        EXPECT_EQ(d.Bezeichnung.Get(), t->Bezeichnung);
        EXPECT_EQ(d.Berechnungsart, t->Berechnungsart);
        EXPECT_EQ(d.V, t->V);
        EXPECT_TRUE(d.Formel.Empty());
        EXPECT_EQ(d.RegelwerkCode, code);
        EXPECT_EQ(d.Regelwerk.Get(), RuleText(code));

        // The stored form carries nothing but these fields.
        TDisziplin back;
        auto bytes = Bytes(d);
        back.Read(bytes.data());
        EXPECT_EQ(Bytes(back), bytes);
        TDisziplin expected;
        expected.Bezeichnung.Set(t->Bezeichnung);
        expected.Berechnungsart = t->Berechnungsart;
        expected.V = t->V;
        expected.RegelwerkCode = static_cast<std::int16_t>(code);
        expected.Regelwerk.Set(RuleText(code));
        EXPECT_EQ(bytes, Bytes(expected));
    }
}

TEST(VorgTemplates, FemaleAndMaleTemplatesPairUp) {
    // 1..11 pair with 12..22 and 23..31 with 32..40: same names, the female base
    // time is the longer one.
    auto check = [](int female, int male) {
        SCOPED_TRACE(female);
        EXPECT_EQ(DisciplineTemplate(female)->Bezeichnung, DisciplineTemplate(male)->Bezeichnung);
        EXPECT_GT(DisciplineTemplate(female)->V[0], DisciplineTemplate(male)->V[0]);
    };
    for (int n = 1; n <= 11; ++n)
        check(n, n + 11);
    for (int n = 23; n <= 31; ++n)
        check(n, n + 9);
}

TEST(VorgTemplates, SelectedValues) {
    struct TCase {
        int number;
        const char* name;
        int method;
        int v1;
        int v2;
    };
    // clang-format off
    const TCase cases[] = {
        {1, "50m Hindernisschwimmen", 1, 2700, 0},
        {3, "200m Hindernisschwimmen", 1, 13266, 0},
        {19, "100m Retten mit Flossen", 1, 5213, 0},
        {22, "100m kombiniertes Rettungsschwimmen", 1, 6778, 0},
        {23, "4x25m Hindernisstaffel", 1, 5700, 0},
        {24, "4x50m Hindernisstaffel", 1, 11400, 1},
        {31, "4x25m Rückenlage-Beinschlag"_oem, 1, 6000, 1},
        {32, "4x25m Hindernisstaffel", 1, 5100, 0},
        {38, "4x50m Gurtretterstaffel", 1, 9769, 1},
        {42, "50m Rückenschwimmen -ohne Armtätigkeit-"_oem, 2, 150000, 100},
        {51, "50m kombiniertes Schnell- und Rückenschwimmen"_oem, 2, 140000, 100},
        {56, "4x25m Rückenschwimmstaffel ohne Armtätigkeit"_oem, 2, 190000, 100},
        {62, "4x50m Rettungsschwimmstaffel mit Puppe", 2, 340000, 100},
        {67, "4x50m kombinierte Schnell- und Rückenschwimmstaffel"_oem, 2, 250000, 100},
        {68, "4x25m Rettungsschwimmstaffel mit Puppe", 2, 250000, 100},
    };
    // clang-format on
    for (const auto& c : cases) {
        SCOPED_TRACE(c.number);
        const TDisziplinVorlage* t = DisciplineTemplate(c.number);
        ASSERT_NE(t, nullptr);
        EXPECT_EQ(t->Bezeichnung, c.name);
        EXPECT_EQ(t->Berechnungsart, c.method);
        EXPECT_EQ(t->V[0], c.v1);
        EXPECT_EQ(t->V[1], c.v2);
    }
}

// ---- age classes ------------------------------------------------------------

TEST(VorgMakeAgeClass, SlotsAfterTheCountAreEmptyAndTheNameIsCut) {
    std::array<TDisziplin, 5> disciplines;
    for (int i = 0; i < 5; ++i)
        disciplines[static_cast<std::size_t>(i)] = MakeDiscipline(*DisciplineTemplate(41 + i), 7);
    const std::string longName(40, 'X');
    auto ac = MakeAgeClass(longName, 1978, 1981, akWeiblich | akHLW, 2, disciplines);
    ASSERT_NE(ac, nullptr);
    EXPECT_EQ(ac->Name(), std::string(30, 'X'));
    EXPECT_EQ(ac->Data.JahrgangVon, 1978);
    EXPECT_EQ(ac->Data.JahrgangBis, 1981);
    EXPECT_EQ(ac->Data.Eigenschaften, akWeiblich | akHLW);
    EXPECT_EQ(ac->Data.Disziplinenanzahl, 2);
    EXPECT_EQ(Bytes(ac->Discipline(0)), Bytes(disciplines[0]));
    EXPECT_EQ(Bytes(ac->Discipline(1)), Bytes(disciplines[1]));
    for (int i = 2; i < 5; ++i)
        EXPECT_TRUE(ac->Discipline(i).IsEmpty()) << i;
    EXPECT_EQ(ac->Count(), 0);

    // The record block and the reserved bytes are cleared.
    std::vector<std::uint8_t> record(TAltersklasseData::Size);
    ac->Data.Write(record.data());
    for (std::size_t i = 2249; i < record.size(); ++i)
        ASSERT_EQ(record[i], 0) << i;
}

// ---- presets ----------------------------------------------------------------

const TAltersklasse& FindClass(const TWettkampf& c, std::string_view name, bool female) {
    TAltersklasse* ac = c.FindAgeClass(name, female);
    if (!ac) throw std::runtime_error("age class missing: " + std::string(name));
    return *ac;
}

TEST(PresetApply, Youth2004) {
    TMessageCapture messages;
    auto c = NewCompetition();
    ASSERT_TRUE(ApplyPreset(*c, 0, 2004));
    EXPECT_TRUE(messages.Messages().empty());
    EXPECT_EQ(c->Header.Art, wkEinzel);
    ASSERT_EQ(c->Count(), 10);

    const TAltersklasse& ak12 = FindClass(*c, "AK 12w", true);
    EXPECT_EQ(ak12.Data.JahrgangVon, 1992);
    EXPECT_EQ(ak12.Data.JahrgangBis, 1995);
    EXPECT_EQ(ak12.Data.Eigenschaften, akWeiblich);
    ASSERT_EQ(ak12.Data.Disziplinenanzahl, 3);
    const char* names[] = {"50m Hindernisschwimmen", "50m kombiniertes Schwimmen",
                           "50m Flossenschwimmen"};
    const char* baseTimes[] = {"0:27,00", "0:29,00", "0:21,00"};
    for (int i = 0; i < 3; ++i) {
        const TDisziplin& d = ak12.Discipline(i);
        EXPECT_EQ(d.Bezeichnung.Get(), names[i]);
        EXPECT_EQ(d.Berechnungsart, baNeu);
        EXPECT_EQ(TimeToText(d.V[0], true), baseTimes[i]);
        EXPECT_EQ(d.RegelwerkCode, 9);
        EXPECT_EQ(d.Regelwerk.Get(), kRule1999);
    }
    EXPECT_TRUE(ak12.Discipline(3).IsEmpty());
    EXPECT_TRUE(ak12.Discipline(4).IsEmpty());

    const TAltersklasse& ak13 = FindClass(*c, "AK 13/14w", true);
    EXPECT_EQ(ak13.Data.JahrgangVon, 1990);
    EXPECT_EQ(ak13.Data.JahrgangBis, 1991);
    EXPECT_EQ(ak13.Data.Eigenschaften, akWeiblich | akHLW);
    const TAltersklasse& open = FindClass(*c, "Offene Altersklasse (m)", false);
    EXPECT_EQ(open.Data.Eigenschaften, akHLW);
    EXPECT_EQ(open.Data.Disziplinenanzahl, 4);
    EXPECT_EQ(open.Discipline(3).Bezeichnung.Get(), "100m kombiniertes Rettungsschwimmen");
    EXPECT_EQ(open.Discipline(3).V[0], 6778);
}

TEST(PresetApply, Seniors1997AreLinearFromSE20ToSE80) {
    TMessageCapture messages;
    auto c = NewCompetition();
    ASSERT_TRUE(ApplyPreset(*c, 8, 1997));
    EXPECT_TRUE(messages.Messages().empty());
    ASSERT_EQ(c->Count(), 26);
    const TAltersklasse* first = c->At(0);
    const TAltersklasse* last = c->At(25);
    EXPECT_EQ(first->Name(), "Seniorinnen (SE 20)");
    EXPECT_EQ(first->Data.JahrgangVon, 1973);
    EXPECT_EQ(first->Data.JahrgangBis, 1977);
    EXPECT_EQ(last->Name(), "Senioren (SE 80)");
    EXPECT_EQ(last->Data.JahrgangVon, 1913);
    EXPECT_EQ(last->Data.JahrgangBis, 1917);
    for (const TAltersklasse& ac : *c) {
        SCOPED_TRACE(ac.Name());
        ASSERT_EQ(ac.Data.Disziplinenanzahl, 3);
        for (int i = 0; i < 3; ++i) {
            EXPECT_EQ(ac.Discipline(i).Berechnungsart, baLinear);
            EXPECT_EQ(ac.Discipline(i).Regelwerk.Get(), "Meisterschaftsdisziplin Regelwerk 1995");
        }
        EXPECT_TRUE(ac.Discipline(3).IsEmpty());
        EXPECT_TRUE(ac.Discipline(4).IsEmpty());
    }
}

TEST(PresetApply, UmlautNamesAreStoredInCodePage850) {
    auto c = NewCompetition();
    ASSERT_TRUE(ApplyPreset(*c, 10, 1996));
    EXPECT_NE(c->FindAgeClass(Utf8ToOem("Schülerinnen 1"), true), nullptr);
    EXPECT_NE(c->FindAgeClass(Utf8ToOem("Schüler 2"), false), nullptr);
    const TAltersklasse& jugend = FindClass(*c, Utf8ToOem("Jugend (männlich)"), false);
    EXPECT_EQ(jugend.Name(), "Jugend (männlich)"_oem);
    EXPECT_EQ(OemToUtf8(jugend.Name()), "Jugend (männlich)");
    EXPECT_EQ(jugend.Data.JahrgangVon, 1982);
    EXPECT_EQ(jugend.Data.JahrgangBis, 1983);
}

// Every preset builds completely, with its kind, rule code and the disciplines of
// its table, and each class uses templates of its own sex and kind of event.
TEST(PresetApply, EveryPresetBuildsAsTabled) {
    struct TCase {
        int code;
        int classes;
        int art;
        int ruleCode;
    };
    const TCase cases[] = {
        {0, 10, 0, 9}, {1, 10, 1, 9}, {2, 24, 0, 9}, {3, 12, 1, 9}, {4, 12, 0, 9},  {5, 12, 1, 9},
        {6, 8, 0, 7},  {7, 8, 1, 7},  {8, 26, 0, 7}, {9, 14, 1, 7}, {10, 10, 0, 7}, {11, 10, 1, 7},
    };
    for (const auto& tc : cases) {
        SCOPED_TRACE(tc.code);
        const TVorgabe* table = PresetTable(tc.code);
        ASSERT_NE(table, nullptr);
        EXPECT_EQ(table->Anzahl, tc.classes);

        TMessageCapture messages;
        auto c = NewCompetition();
        c->Header.Art = static_cast<std::int16_t>(1 - tc.art);
        ASSERT_TRUE(ApplyPreset(*c, tc.code, 2001));
        EXPECT_TRUE(messages.Messages().empty());
        EXPECT_EQ(c->Header.Art, tc.art);
        ASSERT_EQ(c->Count(), tc.classes);

        for (int k = 0; k < table->Anzahl; ++k) {
            const TAltersklasseVorgabe& row = table->Klassen[k];
            SCOPED_TRACE(row.Bezeichnung);
            const bool female = (row.Eigenschaften & akWeiblich) != 0;
            const TAltersklasse& ac = FindClass(*c, row.Bezeichnung, female);
            EXPECT_EQ(ac.Data.JahrgangVon, row.JahrgangVon + 11);
            EXPECT_EQ(ac.Data.JahrgangBis, row.JahrgangBis + 11);
            EXPECT_LE(row.JahrgangVon, row.JahrgangBis);
            EXPECT_EQ(ac.Data.Eigenschaften, row.Eigenschaften);
            ASSERT_GE(row.Count(), 3);
            ASSERT_EQ(ac.Data.Disziplinenanzahl, row.Count());
            for (int i = 0; i < 5; ++i) {
                const TDisziplin& d = ac.Discipline(i);
                if (i >= row.Count()) {
                    EXPECT_TRUE(d.IsEmpty());
                    continue;
                }
                const int n = row.Vorlagen[static_cast<std::size_t>(i)];
                EXPECT_EQ(Bytes(d), Bytes(MakeDiscipline(*DisciplineTemplate(n), tc.ruleCode)));
                if (tc.code <= 5) {
                    const bool team = n >= 23;
                    const bool femaleTemplate = team ? n <= 31 : n <= 11;
                    EXPECT_EQ(team, tc.art == 1) << n;
                    EXPECT_EQ(femaleTemplate, female) << n;
                } else {
                    EXPECT_EQ(n >= 53, tc.art == 1) << n;
                    EXPECT_GE(n, 41);
                }
            }
        }
    }
}

TEST(PresetApply, CombinedCodesJoinTwoPresets) {
    struct TCase {
        int code;
        int classes;
        int art;
    };
    const TCase cases[] = {
        {1001, 10 + 24, 0}, {1002, 10 + 12, 1}, {1003, 12 + 24, 0}, {1004, 12 + 12, 1},
        {1011, 8 + 26, 0},  {1012, 8 + 14, 1},  {1013, 10 + 26, 0}, {1014, 10 + 14, 1},
    };
    for (const auto& tc : cases) {
        SCOPED_TRACE(tc.code);
        TMessageCapture messages;
        auto c = NewCompetition();
        ASSERT_TRUE(ApplyPreset(*c, tc.code, 2004));
        EXPECT_TRUE(messages.Messages().empty());
        EXPECT_EQ(c->Count(), tc.classes);
        EXPECT_EQ(c->Header.Art, tc.art);
    }

    auto c = NewCompetition();
    ASSERT_TRUE(ApplyPreset(*c, 1001, 2004));
    EXPECT_EQ(FindClass(*c, "AK 12w", true).Data.JahrgangVon, 1992);
    const TAltersklasse& oldest = FindClass(*c, "AK 80+m", false);
    EXPECT_EQ(oldest.Data.JahrgangVon, 1904);
    EXPECT_EQ(oldest.Data.JahrgangBis, 1924);
}

TEST(PresetApply, UnknownCodesChangeNothing) {
    for (int code : {-1, 12, 1000, 1005, 1010, 1015, 2001}) {
        SCOPED_TRACE(code);
        TMessageCapture messages;
        auto c = NewCompetition();
        c->Header.Art = wkMannschaft;
        EXPECT_FALSE(ApplyPreset(*c, code, 2004));
        EXPECT_EQ(c->Count(), 0);
        EXPECT_EQ(c->Header.Art, wkMannschaft);
        EXPECT_TRUE(messages.Messages().empty());
    }
}

// ---- preset choice of a new competition -------------------------------------

TEST(PresetCodeFor, TypeAndYearSelectThePreset) {
    struct TRow {
        int type;
        int code1995; // 1995..1998
        int code1999; // from 1999 on
    };
    const TRow rows[] = {
        {0, 6, 0},        {1, 7, 1},        {2, 8, 2},        {10, 8, 2},
        {3, 9, 3},        {11, 9, 3},       {4, 1011, 1001},  {6, 1011, 1001},
        {5, 1012, 1002},  {7, 1012, 1002},  {8, 10, 4},       {9, 11, 5},
        {12, 1013, 1003}, {14, 1013, 1003}, {13, 1014, 1004}, {15, 1014, 1004},
    };
    for (const auto& r : rows) {
        SCOPED_TRACE(r.type);
        EXPECT_EQ(PresetCodeFor(r.type, 1990), 4);
        EXPECT_EQ(PresetCodeFor(r.type, 1994), 4);
        EXPECT_EQ(PresetCodeFor(r.type, 1995), r.code1995);
        EXPECT_EQ(PresetCodeFor(r.type, 1998), r.code1995);
        EXPECT_EQ(PresetCodeFor(r.type, 1999), r.code1999);
        EXPECT_EQ(PresetCodeFor(r.type, 2010), r.code1999);
        EXPECT_EQ(PresetCodeFor(r.type, 2011), r.code1999);
        EXPECT_EQ(PresetCodeFor(r.type, 2030), r.code1999);
    }
    // Types outside the table fall back to the default preset.
    EXPECT_EQ(PresetCodeFor(-1, 2004), 4);
    EXPECT_EQ(PresetCodeFor(16, 1996), 4);
}

} // namespace

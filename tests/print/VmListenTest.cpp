#include "print/VmListen.h"

#include "support/Builders.h"

#include <gtest/gtest.h>

using namespace vm;
using vmtest::AddEntry;
using vmtest::MakeAgeClass;

namespace {

std::string Sp(int n) {
    return std::string(static_cast<std::size_t>(n), ' ');
}

TEST(QualificationLineTest, HeaderFlagsAndTeams) {
    auto c = NewCompetition();
    auto ac = MakeAgeClass("AK 13/14w", 2, false);
    TTeilnehmer& p = AddEntry(*ac, {"Meier", "Anna", "1990", "BY", 2700, 5400});
    p.SetFlag(tnDirektQualifiziert, true);
    p.Platz = 3;
    EXPECT_EQ(QualificationLine(*c, *ac, 0), "Nr.  GesamtP.  Gl.    Start Teilnehmer");
    EXPECT_EQ(QualificationLine(*c, *ac, 1),
              "  3. 1400,00 Q BY     nein  Meier" + Sp(16) + "Anna" + Sp(16) + "  ");
    p.SetFlag(tnDirektQualifiziert, false);
    p.SetFlag(tnStartberechtigt, true);
    c->Header.Art = wkMannschaft;
    EXPECT_EQ(QualificationLine(*c, *ac, 1), "  3. 1400,00   BY     ja    Meier" + Sp(27));
    EXPECT_EQ(QualificationLine(*c, *ac, 2), "");
}

TEST(HeatLineTest, ModesAAndBLineUp) {
    auto c = NewCompetition();
    auto ac = MakeAgeClass("AK 13/14w", 2, false);
    TTeilnehmer& p = AddEntry(*ac, {"Meier", "Anna", "1990", "BY", 2700, 5400});
    p.Lauf = {2, 12, 0, 0, 0};
    p.Bahn = {3, 10, 0, 0, 0};
    const std::string names = "Meier" + Sp(16) + "Anna" + Sp(16) + "  ";
    EXPECT_EQ(HeatLine(*c, 1, nullptr, false),
              "Lauf* Bahn* Teilnehmer" + Sp(33) + "Glied. Altersklasse");
    EXPECT_EQ(HeatLine(*c, 1, &p, false), "    2     3 " + names + "BY     AK 13/14w" + Sp(21));
    EXPECT_EQ(HeatLine(*c, -1, &p, false), "");

    const std::string header = HeatLine(*c, 1, nullptr, true);
    const std::string heat = HeatLine(*c, -1, &p, true);
    const std::string line = HeatLine(*c, 1, &p, true);
    EXPECT_EQ(header,
              "Teilnehmer" + Sp(33) + "Glied.      Disz1 Disz2 Disz3 Disz4 Disz5 Altersklasse");
    EXPECT_EQ(heat, Sp(50) + "Lauf     2    12     0     0     0 ");
    EXPECT_EQ(line, names + "BY     Bahn     3    10     0     0     0 AK 13/14w" + Sp(21));
    // "Bahn " stands under "Lauf ", each lane under its heat and its "DiszN".
    EXPECT_EQ(heat.find("Lauf "), line.find("Bahn "));
    for (int d = 1; d <= 5; ++d) {
        const std::size_t end = header.find("Disz" + std::to_string(d)) + 5;
        EXPECT_EQ(heat[end - 1] != ' ', true) << d;
        EXPECT_EQ(line[end - 1] != ' ', true) << d;
    }

    c->Header.Art = wkMannschaft;
    EXPECT_EQ(HeatLine(*c, 1, nullptr, false),
              "Lauf* Bahn* Teilnehmer" + Sp(22) + "Glied. Altersklasse");
    EXPECT_EQ(HeatLine(*c, 1, &p, false).size(), 12u + 32u + 7u + 30u);
}

TEST(HLWLineTest, HeadersAndZeroFilledStartNumber) {
    auto c = NewCompetition();
    auto ac = MakeAgeClass("AK 13/14w", 0, true);
    TTeilnehmer& p = AddEntry(*ac, {"Meier", "Anna", "1990", "BY"});
    p.Startzeit = 905;
    p.HLWBahn = 4;
    p.HLWLauf = 7;
    EXPECT_EQ(HLWLine(*c, nullptr),
              "Start Bahn   Nr Teilnehmer                                 Glied. Altersklasse");
    EXPECT_EQ(HLWLine(*c, &p),
              "09:05    4 0007 Meier" + Sp(16) + "Anna" + Sp(16) + "  BY     AK 13/14w" + Sp(21));
    p.HLWLauf = 12345;
    EXPECT_EQ(HLWLine(*c, &p).substr(11, 5), "2345 ");
    c->Header.Art = wkMannschaft;
    EXPECT_EQ(HLWLine(*c, nullptr),
              "Start Bahn   Nr Teilnehmer                      Glied. Altersklasse");
    // Header columns line up with the team layout.
    EXPECT_EQ(HLWLine(*c, nullptr).find("Glied."), HLWLine(*c, &p).find("BY"));
}

} // namespace

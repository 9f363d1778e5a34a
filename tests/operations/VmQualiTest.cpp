#include "operations/VmQuali.h"

#include "support/Builders.h"

#include <gtest/gtest.h>

namespace {

using namespace vm;
using namespace vmtest;

const std::string kOverflow =
    "Überhang (durch TN mit gleicher Punktzahl oder mit der Eig. qualifiziert) in der Altersklasse "_oem;

std::vector<std::string> Admitted(const TAltersklasse& ac) {
    std::vector<std::string> out;
    for (const TTeilnehmer& p : ac)
        if (p.Has(tnStartberechtigt)) out.emplace_back(p.Name());
    return out;
}

// Ten entries, the 8th and 9th tied at 700.
TAltersklasse& TenWithTieAtEight(TWettkampf& c) {
    TAltersklasse& ac = AddAgeClass(c, "AK 13/14w", 1990, 1991, akWeiblich);
    const int points[] = {900, 880, 860, 840, 820, 800, 750, 700, 700, 600};
    for (int i = 0; i < 10; ++i)
        AddEntrant(ac, "P" + std::to_string(i + 1), points[i]);
    return ac;
}

TEST(Qualification, TieAtTheCutExtendsTheQuotaAndSaysSo) {
    for (int mode : {qmBeide, qmSetzen}) {
        SCOPED_TRACE(mode);
        auto c = Competition();
        TAltersklasse& ac = TenWithTieAtEight(*c);
        TMessageCapture msgs;
        QualifyCompetition(*c, {8, mode});
        ASSERT_EQ(msgs.Messages().size(), 1u);
        EXPECT_EQ(msgs.Messages()[0], kOverflow + "AK 13/14w.");
        const std::vector<std::string> nine = {"P1", "P2", "P3", "P4", "P5",
                                               "P6", "P7", "P8", "P9"};
        EXPECT_EQ(Admitted(ac), nine);
        // Mode 1 keeps everybody; mode 0 deletes the one not admitted.
        EXPECT_EQ(ac.Count(), mode == qmSetzen ? 10 : 9);
        EXPECT_EQ(Find(ac, "P10") == nullptr, mode == qmBeide);
    }
}

TEST(Qualification, NobodyWithoutPointsIsAdmittedAndZeroTiesDoNotExtend) {
    auto c = Competition();
    TAltersklasse& ac = AddAgeClass(*c, "AK 12", 1992, 1992);
    AddEntrant(ac, "A", 500);
    AddEntrant(ac, "B", 0);
    AddEntrant(ac, "C", 0);
    AddEntrant(ac, "D", 0);
    TMessageCapture msgs;
    QualifyCompetition(*c, {2, qmSetzen});
    EXPECT_TRUE(msgs.Messages().empty());
    EXPECT_EQ(Admitted(ac), std::vector<std::string>{"A"});
}

TEST(Qualification, DirectlyQualifiedGoFirstAndTiesOnlyAmongThemselves) {
    auto c = Competition();
    TAltersklasse& ac = AddAgeClass(*c, "AK 15/16", 1988, 1989);
    AddEntrant(ac, "A", 300, "", tnDirektQualifiziert);
    AddEntrant(ac, "B", 200, "", tnDirektQualifiziert);
    AddEntrant(ac, "C", 100, "", tnDirektQualifiziert);
    AddEntrant(ac, "D", 900);
    AddEntrant(ac, "E", 100); // tied with C, but not directly qualified
    TMessageCapture msgs;
    QualifyCompetition(*c, {2, qmSetzen});
    ASSERT_EQ(msgs.Messages().size(), 1u);
    EXPECT_EQ(Admitted(ac), (std::vector<std::string>{"A", "B", "C"}));
    // The age class's properties are as before: ranking order, D first.
    EXPECT_EQ(ac.Data.Eigenschaften, 0);
    EXPECT_EQ(Names(ac).front(), "D");

    // A second directly qualified entry tied with the last admitted one joins.
    AddEntrant(ac, "F", 100, "", tnDirektQualifiziert);
    QualifyCompetition(*c, {2, qmSetzen});
    EXPECT_EQ(Admitted(ac), (std::vector<std::string>{"A", "B", "C", "F"}));
}

TEST(Qualification, ModeTwoDeletesOnFlagsSetEarlier) {
    auto c = Competition();
    TAltersklasse& ac = AddAgeClass(*c, "AK 12", 1992, 1992, akAlphabetisch);
    AddEntrant(ac, "A", 500);
    AddEntrant(ac, "B", 400).SetFlag(tnStartberechtigt, true);
    AddEntrant(ac, "C", 300);
    QualifyCompetition(*c, {3, qmLoeschen});
    EXPECT_EQ(Names(ac), std::vector<std::string>{"B"});
    EXPECT_EQ(ac.Data.Eigenschaften, akAlphabetisch);
}

TEST(Qualification, LargeQuotaAdmitsEveryoneWithPointsAndKeepsDisplayOrder) {
    auto c = Competition();
    TAltersklasse& ac = AddAgeClass(*c, "AK 12", 1992, 1992, akAlphabetisch);
    AddEntrant(ac, "Zorn", 500);
    AddEntrant(ac, "Adam", 100);
    AddEntrant(ac, "Mai", 0);
    AddAgeClass(*c, "leer", 1980, 1981); // no participants
    TMessageCapture msgs;
    QualifyCompetition(*c, {100, qmBeide});
    EXPECT_TRUE(msgs.Messages().empty());
    EXPECT_EQ(Names(ac), (std::vector<std::string>{"Adam", "Zorn"}));
    EXPECT_EQ(Admitted(ac), (std::vector<std::string>{"Adam", "Zorn"}));
    EXPECT_EQ(Find(ac, "Zorn")->Platz, 1);
}

TEST(Qualification, DefaultQuotaIsThreeTimesTheLanes) {
    EXPECT_EQ(DefaultQualiSettings(*Competition(4)).quota, 12);
    EXPECT_EQ(DefaultQualiSettings(*Competition(10)).quota, 30);
    EXPECT_EQ(DefaultQualiSettings(*Competition()).mode, qmBeide);
}

} // namespace

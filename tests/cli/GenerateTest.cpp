// velmora-cli generate: reproducible files, the asked sizes, sound content, limits.
#include "file/VmErg.h"
#include "model/VmAk.h"
#include "model/VmWettk.h"
#include "support/TestSupport.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <string>
#include <vector>

namespace {

using vmtest::RunCli;
using vmtest::TempDir;

std::vector<std::string> Args(const std::string& out, std::vector<std::string> rest) {
    std::vector<std::string> a = {"generate", out};
    a.insert(a.end(), rest.begin(), rest.end());
    return a;
}

// Generates and loads; the load must not show any message.
std::unique_ptr<vm::TWettkampf> GenerateAndLoad(const TempDir& dir,
                                                const std::vector<std::string>& rest) {
    const std::string file = dir.File("GEN.ERG");
    const auto r = RunCli(Args(file, rest));
    EXPECT_EQ(r.status, 0) << r.err;
    EXPECT_EQ(r.err, "");
    vm::TMessageCapture messages;
    auto c = vm::Load(file);
    EXPECT_TRUE(messages.Messages().empty()) << messages.Messages().front();
    return c;
}

TEST(Generate, SameArgumentsGiveTheSameBytesAndAnotherSeedAnotherFile) {
    TempDir dir;
    for (const std::vector<std::string>& mode : {std::vector<std::string>{}, {"--team"}}) {
        std::vector<std::string> base = {"--participants", "300", "--year", "2004"};
        base.insert(base.end(), mode.begin(), mode.end());
        auto with = [&](const std::string& seed) {
            auto a = base;
            a.insert(a.end(), {"--seed", seed});
            return a;
        };
        ASSERT_EQ(RunCli(Args(dir.File("A.ERG"), with("7"))).status, 0);
        ASSERT_EQ(RunCli(Args(dir.File("B.ERG"), with("7"))).status, 0);
        ASSERT_EQ(RunCli(Args(dir.File("C.ERG"), with("8"))).status, 0);
        const std::string a = vmtest::ReadFileBytes(dir.File("A.ERG"));
        EXPECT_GT(a.size(), 300u * vm::TTeilnehmer::Size);
        EXPECT_EQ(a, vmtest::ReadFileBytes(dir.File("B.ERG")));
        EXPECT_NE(a, vmtest::ReadFileBytes(dir.File("C.ERG")));
        std::filesystem::remove(dir.File("A.ERG"));
        std::filesystem::remove(dir.File("B.ERG"));
        std::filesystem::remove(dir.File("C.ERG"));
    }
}

TEST(Generate, SizesAsAskedAndEveryParticipantInItsClass) {
    struct Case {
        std::vector<std::string> args;
        int classes;
        int participants;
        bool team;
    };
    const Case cases[] = {
        {{}, 34, 200, false},
        {{"--participants", "10"}, 34, 10, false},
        {{"--participants", "16000", "--age-classes", "1"}, 1, 16000, false},
        {{"--participants", "20000"}, 40, 20000, false},
        {{"--participants", "5", "--age-classes", "3"}, 3, 5, false},
        {{"--team", "--participants", "90"}, 22, 90, true},
        {{"--team", "--participants", "120", "--age-classes", "40"}, 40, 120, true},
    };
    for (const Case& k : cases) {
        SCOPED_TRACE(testing::PrintToString(k.args));
        TempDir dir;
        auto args = k.args;
        args.insert(args.end(), {"--year", "2010", "--seed", "3"});
        auto c = GenerateAndLoad(dir, args);
        ASSERT_TRUE(c);
        EXPECT_EQ(c->Header.Art, k.team ? vm::wkMannschaft : vm::wkEinzel);
        EXPECT_TRUE(vm::WithHundredths(*c));
        EXPECT_NE(c->Header.Veranstaltung.Get().find("2010"), std::string::npos);
        ASSERT_EQ(c->Count(), k.classes);
        int total = 0;
        for (const vm::TAltersklasse& ac : *c) {
            if (k.participants >= k.classes) {
                EXPECT_GT(ac.Count(), 0) << ac.Name();
            }
            EXPECT_LE(ac.Count(), vm::MaxCollectionSize);
            total += ac.Count();
            for (const vm::TTeilnehmer& p : ac) {
                ASSERT_TRUE(vm::BelongsTo(ac, p)) << ac.Name();
                EXPECT_FALSE(p.Gliederung.Empty());
                if (k.team) {
                    EXPECT_EQ(p.Mannschaft().rfind("SG ", 0), 0u);
                } else {
                    EXPECT_FALSE(p.Name().empty());
                    EXPECT_FALSE(p.Vorname().empty());
                    const std::string birth(p.Geburtsdatum());
                    ASSERT_EQ(birth.size(), 10u);
                    const long long year = vm::TextToInt(birth.substr(6));
                    EXPECT_GE(year, ac.Data.JahrgangVon) << birth;
                    EXPECT_LE(year, ac.Data.JahrgangBis) << birth;
                }
            }
        }
        EXPECT_EQ(total, k.participants);
    }
}

TEST(Generate, ResultsLookLikeACompetition) {
    TempDir dir;
    auto c = GenerateAndLoad(dir, {"--participants", "4000", "--year", "2004"});
    ASSERT_TRUE(c);
    int scored = 0, penalties = 0, disq = 0, absent = 0, outside = 0, all = 0;
    for (const vm::TAltersklasse& ac : *c) {
        for (int row = 0; row < ac.Count(); ++row) {
            const vm::TTeilnehmer& p = *ac.At(row);
            ++all;
            if (p.Gesamtpunkte > 0) ++scored;
            if (p.Has(vm::tnAusserKonkurrenz)) ++outside;
            if (!vm::IsPresent(p)) ++absent;
            for (int i = 0; i < ac.Data.DisciplineCount(); ++i) {
                const auto k = static_cast<std::size_t>(i);
                if (p.Abzug[k] > 0) ++penalties;
                if (vm::IsStatus(p.Abzug[k], vm::TStatus::Disq)) ++disq;
                if (p.Abzug[k] >= 0 && p.Zeit[k] > 0) {
                    // Plausible times around the base time, within what the editor shows.
                    EXPECT_GE(p.Zeit[k], ac.Discipline(i).V[0] * 9 / 10);
                    EXPECT_LE(p.Zeit[k], 59999);
                }
            }
            if (vm::IsPresent(p) && p.HLWPunkte >= 0) {
                if (vm::HasHLW(ac)) {
                    EXPECT_GE(p.HLWPunkte, 15000);
                    EXPECT_LE(p.HLWPunkte, 30000);
                } else {
                    EXPECT_EQ(p.HLWPunkte, 0);
                }
            }
        }
        // Ranked: the first entry in display order holds place 1 or is out of competition.
        if (ac.Count() > 0 && !ac.At(0)->Has(vm::tnAusserKonkurrenz)) {
            EXPECT_EQ(ac.At(0)->Platz, 1);
        }
    }
    EXPECT_EQ(all, 4000);
    EXPECT_GT(scored, all * 9 / 10);
    EXPECT_GT(penalties, 0);
    EXPECT_GT(disq, 0);
    EXPECT_GT(absent, 0);
    EXPECT_GT(outside, 0);
    EXPECT_GT(c->Gliederungen.Count(), 5);
}

TEST(Generate, RequestsBeyondTheLimitsAreUsageErrors) {
    TempDir dir;
    const std::string out = dir.File("X.ERG");
    const std::vector<std::vector<std::string>> bad = {
        {"--participants", "16380", "--age-classes", "1"},
        {"--participants", "50000", "--age-classes", "3"}, // 3 classes hold 49137
        {"--participants", "655161"},
        {"--age-classes", "41"},
        {"--age-classes", "0"},
        {"--participants", "-1"},
        {"--year", "1990"},
        {"--seed", "abc"},
    };
    for (const auto& args : bad) {
        SCOPED_TRACE(testing::PrintToString(args));
        const auto r = RunCli(Args(out, args));
        EXPECT_EQ(r.status, 2);
        EXPECT_NE(r.err.find("usage:"), std::string::npos);
        EXPECT_FALSE(std::filesystem::exists(out));
    }
    const auto r = RunCli(Args(out, {"--participants", "16380", "--age-classes", "1"}));
    EXPECT_NE(r.err.find("16379"), std::string::npos) << r.err;
}

TEST(Generate, InfoReadsTheGeneratedFile) {
    TempDir dir;
    const std::string file = dir.File("DEMO.ERG");
    ASSERT_EQ(
        RunCli({"generate", file, "--participants", "120", "--seed", "1", "--year", "2004"}).status,
        0);
    const auto r = RunCli({"info", file});
    EXPECT_EQ(r.status, 0) << r.err;
    EXPECT_EQ(r.err, "");
    EXPECT_NE(r.out.find("Altersklasse AK 13/14w (1990 - 1991)"), std::string::npos);
    EXPECT_NE(r.out.find("Zeiten mit Hundertstel: ja"), std::string::npos);
}

TEST(Generate, SavingIntoAMissingFolderFails) {
    TempDir dir;
    const auto r = RunCli({"generate", dir.File("missing/GEN.ERG"), "--year", "2004"});
    EXPECT_EQ(r.status, 1);
    EXPECT_NE(r.err.find("Fehler beim Speichern der Datei."), std::string::npos) << r.err;
}

} // namespace

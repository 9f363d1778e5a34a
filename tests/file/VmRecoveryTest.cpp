#include "file/VmRecovery.h"
#include "support/TestSupport.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <filesystem>
#include <sys/wait.h>
#include <unistd.h>

namespace vm {
namespace {

namespace fs = std::filesystem;

long DeadPid() {
    const pid_t child = ::fork();
    if (child == 0) ::_exit(0);
    int status = 0;
    ::waitpid(child, &status, 0);
    return static_cast<long>(child);
}

void Sidecar(const std::string& file, long pid, const std::string& start, const std::string& doc) {
    vmtest::WriteFileBytes(file, "document=" + doc + "\npid=" + std::to_string(pid) +
                                     "\nstart=" + start + "\ntime=1700000000\n");
}

TEST(Recovery, FolderFollowsTheStateHome) {
    const char* before = std::getenv("XDG_STATE_HOME");
    const std::string keep = before ? before : "";
    ::setenv("XDG_STATE_HOME", "/srv/zustand", 1);
    EXPECT_EQ(RecoveryFolder(), "/srv/zustand/velmora");
    // A relative value does not count.
    ::setenv("XDG_STATE_HOME", "zustand", 1);
    ::setenv("HOME", "/home/kampfrichter", 1);
    EXPECT_EQ(RecoveryFolder(), "/home/kampfrichter/.local/state/velmora");
    if (before)
        ::setenv("XDG_STATE_HOME", keep.c_str(), 1);
    else
        ::unsetenv("XDG_STATE_HOME");
}

TEST(Recovery, OnlyCopiesOfEndedProgramsAreOffered) {
    vmtest::TempDir dir;
    const std::string folder = dir.File("velmora");
    TRecoveryCopies mine(folder);
    std::string error;
    ASSERT_TRUE(mine.Write("Inhalt", "/daten/Tag1.ERG", error)) << error;
    EXPECT_TRUE(mine.Exists());
    EXPECT_EQ(vmtest::ReadFileBytes(mine.CopyFile()), "Inhalt");
    // This process runs: its copy is nobody's to take.
    EXPECT_TRUE(OrphanedCopies(folder).empty());

    // A program that ended, and one whose id a later process got (other start time).
    const long dead = DeadPid();
    vmtest::WriteFileBytes(folder + "/" + std::to_string(dead) + "-0.ERG", "alt");
    Sidecar(folder + "/" + std::to_string(dead) + "-0.info", dead, "123", "/daten/Alt.ERG");
    vmtest::WriteFileBytes(folder + "/" + std::to_string(::getpid()) + "-7.ERG", "frueher");
    Sidecar(folder + "/" + std::to_string(::getpid()) + "-7.info", ::getpid(), "1", "");

    const std::vector<TRecoveryCopy> orphans = OrphanedCopies(folder);
    ASSERT_EQ(orphans.size(), 2u);
    std::vector<std::string> documents;
    for (const TRecoveryCopy& c : orphans)
        documents.push_back(c.document);
    EXPECT_EQ(documents.size(), 2u);
    EXPECT_NE(std::find(documents.begin(), documents.end(), "/daten/Alt.ERG"), documents.end());
    EXPECT_NE(std::find(documents.begin(), documents.end(), ""), documents.end());

    // Set aside: renamed, not deleted, and no longer offered.
    for (const TRecoveryCopy& c : orphans)
        ASSERT_TRUE(SetAside(c));
    EXPECT_TRUE(OrphanedCopies(folder).empty());
    int aside = 0;
    for (const auto& e : fs::directory_iterator(folder))
        aside += e.path().string().find(".verworfen") != std::string::npos ? 1 : 0;
    EXPECT_EQ(aside, 4);

    mine.Remove();
    EXPECT_FALSE(mine.Exists());
    EXPECT_FALSE(fs::exists(folder + "/" + std::to_string(::getpid()) + "-0.ERG"));
}

TEST(Recovery, AFolderThatCannotBeMadeIsReported) {
    vmtest::TempDir dir;
    vmtest::WriteFileBytes(dir.File("datei"), "x");
    TRecoveryCopies copies(dir.File("datei") + "/velmora");
    std::string error;
    EXPECT_FALSE(copies.Write("Inhalt", "", error));
    EXPECT_NE(error.find("velmora"), std::string::npos);
}

} // namespace
} // namespace vm

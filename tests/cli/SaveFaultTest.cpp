// Saving against a failing file system: every writing command of velmora-cli reports
// the failure, shows the save error and leaves every file it touched exactly as it
// was: the previous file, its backup, and no temporary or half-written file.
#include "file/VmErg.h"
#include "support/TestSupport.h"

#include <gtest/gtest.h>

#include <csignal>
#include <fcntl.h>
#include <filesystem>
#include <map>
#include <memory>
#include <poll.h>
#include <stdexcept>
#include <string>
#include <sys/inotify.h>
#include <sys/resource.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>
#include <vector>

namespace {

namespace fs = std::filesystem;
using vmtest::ReadFileBytes;
using vmtest::TempDir;
using vmtest::WriteFileBytes;

constexpr const char* kSaveError = "Fehler beim Speichern der Datei.";
// Lets every output start but none of them finish with the large competition.
constexpr rlim_t kSizeLimit = 4096;

// Every entry below a folder with its bytes; folders and other entries by kind.
using Snapshot = std::map<std::string, std::string>;

Snapshot Take(const fs::path& folder) {
    Snapshot s;
    for (const auto& e : fs::recursive_directory_iterator(folder)) {
        const std::string name = fs::relative(e.path(), folder).string();
        if (e.is_symlink())
            s[name] = "<link>";
        else if (e.is_directory())
            s[name] = "<folder>";
        else if (e.is_regular_file())
            s[name] = ReadFileBytes(e.path().string());
        else
            s[name] = "<other>";
    }
    return s;
}

// What differs between a snapshot and the folder now, by name; empty when nothing.
std::string Changes(const Snapshot& before, const fs::path& folder) {
    const Snapshot now = Take(folder);
    std::string changes;
    for (const auto& [name, bytes] : before) {
        auto it = now.find(name);
        if (it == now.end())
            changes += "gone: " + name + "\n";
        else if (it->second != bytes)
            changes += "changed: " + name + " (" + std::to_string(bytes.size()) + " -> " +
                       std::to_string(it->second.size()) + " bytes)\n";
    }
    for (const auto& [name, bytes] : now)
        if (!before.count(name))
            changes += "new: " + name + " (" + std::to_string(bytes.size()) + " bytes)\n";
    return changes;
}

// velmora-cli in a child process, optionally under a file-size limit. The child
// ignores SIGXFSZ, so writes beyond the limit fail with EFBIG as on a full medium.
class CliProcess {
public:
    explicit CliProcess(const std::vector<std::string>& args, rlim_t sizeLimit = RLIM_INFINITY) {
        const std::string out = io_.File("out"), err = io_.File("err");
        pid_ = fork();
        if (pid_ == 0) {
            const int o = open(out.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0600);
            const int e = open(err.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0600);
            if (o < 0 || e < 0 || dup2(o, 1) < 0 || dup2(e, 2) < 0) _exit(126);
            if (sizeLimit != RLIM_INFINITY) {
                signal(SIGXFSZ, SIG_IGN);
                const rlimit lim{sizeLimit, sizeLimit};
                if (setrlimit(RLIMIT_FSIZE, &lim) != 0) _exit(126);
            }
            vmtest::ExecCli(args);
        }
    }
    ~CliProcess() {
        if (pid_ > 0 && !waited_) {
            kill(pid_, SIGKILL);
            waitpid(pid_, nullptr, 0);
        }
    }
    CliProcess(const CliProcess&) = delete;
    CliProcess& operator=(const CliProcess&) = delete;

    pid_t Pid() const { return pid_; }

    vmtest::CliResult Wait() {
        int status = 0;
        waitpid(pid_, &status, 0);
        waited_ = true;
        vmtest::CliResult r;
        r.status = WIFEXITED(status) ? WEXITSTATUS(status) : 128 + WTERMSIG(status);
        r.out = ReadFileBytes(io_.File("out"));
        r.err = ReadFileBytes(io_.File("err"));
        return r;
    }

private:
    TempDir io_;
    pid_t pid_ = -1;
    bool waited_ = false;
};

vmtest::CliResult RunVelmora(const std::vector<std::string>& args,
                             rlim_t sizeLimit = RLIM_INFINITY) {
    return CliProcess(args, sizeLimit).Wait();
}

bool ShowsSaveError(const vmtest::CliResult& r) {
    return r.err.find(kSaveError) != std::string::npos;
}

// The competitions to save, generated once: a large one whose every output is far
// beyond the size limit, and a small one for the cases that fail before writing.
class Inputs {
public:
    static const Inputs& Get() {
        static const Inputs inputs;
        return inputs;
    }
    std::string Large() const { return dir_.File("LARGE.ERG"); }
    std::string Small() const { return dir_.File("SMALL.ERG"); }

private:
    Inputs() {
        for (const auto& [file, count] : {std::pair{Large(), "1000"}, std::pair{Small(), "20"}}) {
            const auto r = RunVelmora(
                {"generate", file, "--participants", count, "--seed", "7", "--year", "2004"});
            if (r.status != 0) throw std::runtime_error("generate failed: " + r.err);
        }
    }
    TempDir dir_;
};

struct SaveType {
    const char* type; // --type of save-as
    const char* out;  // name of the output file; the backup of each is OUT.BAK
};

const SaveType kSaveTypes[] = {{"erg", "OUT.ERG"},   {"copy", "OUT.ERG"}, {"csv", "OUT.CSV"},
                               {"htm", "OUT.HTM"},   {"dbf", "OUT.DBF"},  {"xls", "OUT.XLS"},
                               {"xlsx", "OUT.XLSX"}, {"pdf", "OUT.PDF"}};

std::string TypeName(const testing::TestParamInfo<SaveType>& info) {
    return info.param.type;
}
void PrintTo(const SaveType& t, std::ostream* os) {
    *os << t.type;
}

// A folder with a previous output and an older backup of it.
void PutPreviousFiles(const fs::path& folder, const std::string& out) {
    WriteFileBytes((folder / out).string(),
                   "previous " + out + std::string("\r\n\x1A\0 bytes", 10));
    WriteFileBytes((folder / "OUT.BAK").string(), "older backup\n");
}

// ---- every save-as type under a file-size limit ----------------------------------

class SaveAsUnderSizeLimit : public testing::TestWithParam<SaveType> {};

TEST_P(SaveAsUnderSizeLimit, FailsAndLeavesTheFolderAsItWas) {
    const SaveType& t = GetParam();
    TempDir dir;
    PutPreviousFiles(dir.Path(), t.out);
    const Snapshot before = Take(dir.Path());
    const std::vector<std::string> args = {"save-as", Inputs::Get().Large(), dir.File(t.out),
                                           "--type", t.type};

    const auto r = RunVelmora(args, kSizeLimit);
    EXPECT_EQ(r.status, 1) << r.err;
    EXPECT_TRUE(ShowsSaveError(r)) << r.err;
    EXPECT_NE(r.err.find(dir.File(t.out) + ": File too large\n"), std::string::npos) << r.err;
    EXPECT_EQ(Changes(before, dir.Path()), "");

    // Without the limit the same save works: the limit really cut a write short, and
    // the previous file then becomes the backup.
    const auto ok = RunVelmora(args);
    ASSERT_EQ(ok.status, 0) << ok.err;
    EXPECT_GT(fs::file_size(dir.File(t.out)), kSizeLimit);
    EXPECT_EQ(ReadFileBytes(dir.File("OUT.BAK")), before.at(t.out));
}

INSTANTIATE_TEST_SUITE_P(EveryType, SaveAsUnderSizeLimit, testing::ValuesIn(kSaveTypes), TypeName);

// ---- the other writing commands under a file-size limit --------------------------

struct WritingCommand {
    const char* name;
    // Arguments for the competition WK.ERG in `dir`; the command writes `written`.
    std::vector<std::string> (*args)(const TempDir& dir);
    const char* written;
};

const WritingCommand kWritingCommands[] = {
    {"heats_saves_back",
     [](const TempDir& d) {
         return std::vector<std::string>{"heats", d.File("WK.ERG")};
     },
     "WK.ERG"},
    {"heats_to_other_file",
     [](const TempDir& d) {
         return std::vector<std::string>{"heats", d.File("WK.ERG"), "-o", d.File("OUT.ERG")};
     },
     "OUT.ERG"},
    {"print_pdf",
     [](const TempDir& d) {
         return std::vector<std::string>{"print", d.File("WK.ERG"), d.File("OUT.PDF"), "--list",
                                         "result"};
     },
     "OUT.PDF"},
    {"generate_over_a_file",
     [](const TempDir& d) {
         return std::vector<std::string>{"generate", d.File("OUT.ERG"), "--participants", "1000"};
     },
     "OUT.ERG"},
};

void PrintTo(const WritingCommand& c, std::ostream* os) {
    *os << c.name;
}

class WritingCommandUnderSizeLimit : public testing::TestWithParam<WritingCommand> {};

TEST_P(WritingCommandUnderSizeLimit, FailsAndLeavesTheFolderAsItWas) {
    const WritingCommand& cmd = GetParam();
    TempDir dir;
    WriteFileBytes(dir.File("WK.ERG"), ReadFileBytes(Inputs::Get().Large()));
    WriteFileBytes(dir.File("WK.BAK"), "older backup of WK\n");
    if (std::string(cmd.written) != "WK.ERG") PutPreviousFiles(dir.Path(), cmd.written);
    const Snapshot before = Take(dir.Path());

    const auto r = RunVelmora(cmd.args(dir), kSizeLimit);
    EXPECT_EQ(r.status, 1) << r.err;
    EXPECT_TRUE(ShowsSaveError(r)) << r.err;
    EXPECT_NE(r.err.find(dir.File(cmd.written) + ": File too large\n"), std::string::npos) << r.err;
    EXPECT_EQ(Changes(before, dir.Path()), "");

    const auto ok = RunVelmora(cmd.args(dir));
    ASSERT_EQ(ok.status, 0) << ok.err;
    EXPECT_NE(ReadFileBytes(dir.File(cmd.written)), before.at(cmd.written));
}

INSTANTIATE_TEST_SUITE_P(Commands, WritingCommandUnderSizeLimit,
                         testing::ValuesIn(kWritingCommands),
                         [](const testing::TestParamInfo<WritingCommand>& info) {
                             return std::string(info.param.name);
                         });

// ---- destinations that cannot be written ------------------------------------------

struct Destination {
    const char* name;
    // Prepares `dir` and returns the path to save to; sets `skip` when the case cannot
    // fail for this user.
    std::string (*prepare)(const TempDir& dir, const std::string& out, std::string& skip);
};

const Destination kDestinations[] = {
    {"missing_folder",
     [](const TempDir& d, const std::string& out, std::string&) {
         PutPreviousFiles(d.Path(), out);
         return d.File("missing/" + out);
     }},
    {"parent_is_a_file",
     [](const TempDir& d, const std::string& out, std::string&) {
         WriteFileBytes(d.File("plain"), "a plain file, not a folder");
         return d.File("plain/" + out);
     }},
    {"target_is_a_folder",
     [](const TempDir& d, const std::string& out, std::string&) {
         fs::create_directory(d.File(out));
         WriteFileBytes(d.File(out + "/inside"), "kept");
         WriteFileBytes(d.File("OUT.BAK"), "older backup\n");
         return d.File(out);
     }},
    // Fails for root as well: nothing can be created at the top of procfs.
    {"read_only_file_system",
     [](const TempDir&, const std::string& out, std::string&) { return "/proc/" + out; }},
    {"read_only_folder",
     [](const TempDir& d, const std::string& out, std::string& skip) {
         const fs::path ro = d.Path() / "ro";
         fs::create_directory(ro);
         PutPreviousFiles(ro, out);
         fs::permissions(ro, fs::perms::owner_read | fs::perms::owner_exec | fs::perms::group_read |
                                 fs::perms::group_exec | fs::perms::others_read |
                                 fs::perms::others_exec);
         // Root writes into read-only folders anyway.
         const std::string probe = (ro / "probe").string();
         const int fd = open(probe.c_str(), O_WRONLY | O_CREAT | O_EXCL, 0600);
         if (fd >= 0) {
             close(fd);
             unlink(probe.c_str());
             skip = "folder permissions do not stop this user from writing";
         }
         return (ro / out).string();
     }},
};

void PrintTo(const Destination& d, std::ostream* os) {
    *os << d.name;
}

class SaveAsToUnwritablePlace : public testing::TestWithParam<std::tuple<Destination, SaveType>> {};

TEST_P(SaveAsToUnwritablePlace, FailsAndLeavesTheFolderAsItWas) {
    const auto& [where, t] = GetParam();
    TempDir dir;
    std::string skip;
    const std::string target = where.prepare(dir, t.out, skip);
    if (!skip.empty()) GTEST_SKIP() << skip;
    const Snapshot before = Take(dir.Path());

    const auto r = RunVelmora({"save-as", Inputs::Get().Small(), target, "--type", t.type});
    EXPECT_EQ(r.status, 1) << r.err;
    EXPECT_TRUE(ShowsSaveError(r)) << r.err;
    EXPECT_EQ(Changes(before, dir.Path()), "");
    if (target.rfind("/proc/", 0) == 0) {
        EXPECT_FALSE(fs::exists(target));
    }
}

INSTANTIATE_TEST_SUITE_P(Places, SaveAsToUnwritablePlace,
                         testing::Combine(testing::ValuesIn(kDestinations),
                                          testing::ValuesIn(kSaveTypes)),
                         [](const testing::TestParamInfo<std::tuple<Destination, SaveType>>& info) {
                             return std::string(std::get<0>(info.param).name) + "_" +
                                    std::get<1>(info.param).type;
                         });

// ---- the folder vanishes while the file is written --------------------------------

struct Vanishing {
    SaveType save;
    bool fileInItsPlace; // a regular file appears under the folder's name
};

void PrintTo(const Vanishing& v, std::ostream* os) {
    *os << v.save.type << (v.fileInItsPlace ? " replaced by a file" : " moved away");
}

class FolderVanishesDuringSave : public testing::TestWithParam<Vanishing> {};

// The writer is stopped as soon as it creates its first file in the folder; the
// folder is then moved away (and maybe replaced by a file) before it goes on. On a busy
// machine the writer may have put its file in place before the stop arrives, even when
// the process has not ended yet: that try proves nothing and is made again in a fresh
// folder. The writer runs at the lowest priority so that the stop usually comes first.
TEST_P(FolderVanishesDuringSave, FailsAndLeavesTheMovedFolderAsItWas) {
    const Vanishing& v = GetParam();
    TempDir dir;
    fs::path work, moved;
    Snapshot before;
    std::unique_ptr<CliProcess> cli;
    bool stopped = false;
    for (int attempt = 0; attempt < 50 && !stopped; ++attempt) {
        work = dir.Path() / ("work" + std::to_string(attempt));
        moved = dir.Path() / ("moved" + std::to_string(attempt));
        fs::create_directory(work);
        PutPreviousFiles(work, v.save.out);
        before = Take(work);

        const int watch = inotify_init1(IN_CLOEXEC | IN_NONBLOCK);
        ASSERT_GE(watch, 0);
        ASSERT_GE(inotify_add_watch(watch, work.c_str(), IN_CREATE), 0);
        cli = std::make_unique<CliProcess>(std::vector<std::string>{
            "save-as", Inputs::Get().Large(), (work / v.save.out).string(), "--type",
            v.save.type});
        setpriority(PRIO_PROCESS, static_cast<id_t>(cli->Pid()), 19);
        pollfd p{watch, POLLIN, 0};
        const int ready = poll(&p, 1, 60000);
        close(watch);
        ASSERT_EQ(ready, 1) << "the save never created a file";
        ASSERT_EQ(kill(cli->Pid(), SIGSTOP), 0);
        int status = 0;
        ASSERT_EQ(waitpid(cli->Pid(), &status, WUNTRACED), cli->Pid());
        stopped = WIFSTOPPED(status);
        // Only the writer's own new files may be there yet; a previous file that
        // changed or went means the save got past its last step before the stop.
        if (stopped) {
            const Snapshot now = Take(work);
            for (const auto& [name, bytes] : before) {
                const auto it = now.find(name);
                if (it == now.end() || it->second != bytes) stopped = false;
            }
            if (!stopped) cli.reset(); // killed and reaped
        }
    }
    ASSERT_TRUE(stopped) << "every save got past its last step before it could be stopped";
    CliProcess& running = *cli;

    fs::rename(work, moved);
    if (v.fileInItsPlace) WriteFileBytes(work.string(), "now a file");
    kill(running.Pid(), SIGCONT);
    const auto r = running.Wait();

    EXPECT_EQ(r.status, 1) << r.err;
    EXPECT_TRUE(ShowsSaveError(r)) << r.err;
    EXPECT_EQ(Changes(before, moved), "");
    if (v.fileInItsPlace)
        EXPECT_EQ(ReadFileBytes(work.string()), "now a file");
    else
        EXPECT_FALSE(fs::exists(work));
}

const Vanishing kVanishing[] = {
    {{"erg", "OUT.ERG"}, false},
    {{"erg", "OUT.ERG"}, true},
    {{"pdf", "OUT.PDF"}, false},
    {{"pdf", "OUT.PDF"}, true},
};

INSTANTIATE_TEST_SUITE_P(Cases, FolderVanishesDuringSave, testing::ValuesIn(kVanishing),
                         [](const testing::TestParamInfo<Vanishing>& info) {
                             return std::string(info.param.save.type) + (info.param.fileInItsPlace
                                                                             ? "_replaced_by_a_file"
                                                                             : "_moved_away");
                         });

// ---- the last step fails ---------------------------------------------------------

// The new file cannot be put in place after the previous one became the backup
// (here its temporary file is gone by then): the previous file is back under its
// name and the older backup is still there.
TEST(SaveFinalRename, FailureKeepsThePreviousFileAndTheOlderBackup) {
    TempDir dir;
    PutPreviousFiles(dir.Path(), "OUT.ERG");
    const Snapshot before = Take(dir.Path());
    vm::TMessageCapture messages;
    const bool saved = vm::WriteFileSafely(dir.File("OUT.ERG"), [&](vm::TStream& s) {
        s.Write("new content", 11);
        for (const auto& e : fs::directory_iterator(dir.Path()))
            if (e.path().filename().string().rfind(".OUT.ERG.tmp", 0) == 0) fs::remove(e.path());
        return true;
    });
    EXPECT_FALSE(saved);
    EXPECT_EQ(messages.Messages(), std::vector<std::string>{kSaveError});
    EXPECT_EQ(Changes(before, dir.Path()), "");
}

} // namespace

#include "support/TestSupport.h"

#include <cstdlib>
#include <fcntl.h>
#include <fstream>
#include <random>
#include <sstream>
#include <stdexcept>
#include <sys/wait.h>
#include <unistd.h>

namespace vmtest {

TempDir::TempDir() {
    std::string tmpl = (std::filesystem::temp_directory_path() / "velmora-test-XXXXXX").string();
    if (!mkdtemp(tmpl.data())) throw std::runtime_error("mkdtemp failed");
    path_ = tmpl;
}

TempDir::~TempDir() {
    std::error_code ec;
    std::filesystem::permissions(path_, std::filesystem::perms::owner_all,
                                 std::filesystem::perm_options::add, ec);
    std::filesystem::remove_all(path_, ec);
}

std::string ReadFileBytes(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    std::ostringstream ss;
    ss << in.rdbuf();
    return ss.str();
}

void WriteFileBytes(const std::string& path, const std::string& bytes) {
    std::ofstream out(path, std::ios::binary | std::ios::trunc);
    out.write(bytes.data(), static_cast<std::streamsize>(bytes.size()));
}

namespace {} // namespace

CliResult RunCli(const std::vector<std::string>& args) {
#ifndef VELMORA_CLI
#error "VELMORA_CLI must name the velmora-cli binary"
#endif
    TempDir tmp;
    std::string outPath = tmp.File("out"), errPath = tmp.File("err");
    pid_t pid = fork();
    if (pid == 0) {
        int o = open(outPath.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0600);
        int e = open(errPath.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0600);
        dup2(o, 1);
        dup2(e, 2);
        std::vector<char*> argv;
        std::string exe = VELMORA_CLI;
        argv.push_back(exe.data());
        std::vector<std::string> copy = args;
        for (auto& a : copy)
            argv.push_back(a.data());
        argv.push_back(nullptr);
        execv(exe.c_str(), argv.data());
        _exit(127);
    }
    int status = 0;
    waitpid(pid, &status, 0);
    CliResult r;
    r.status = WIFEXITED(status) ? WEXITSTATUS(status) : 128 + WTERMSIG(status);
    r.out = ReadFileBytes(outPath);
    r.err = ReadFileBytes(errPath);
    return r;
}

} // namespace vmtest

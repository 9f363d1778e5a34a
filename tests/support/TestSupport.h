// Shared helpers for the test suites: temporary folders and running velmora-cli.
#pragma once

#include <filesystem>
#include <string>
#include <vector>

namespace vmtest {

// A fresh folder under the system's temporary directory, removed again at the end.
class TempDir {
public:
    TempDir();
    ~TempDir();
    TempDir(const TempDir&) = delete;
    TempDir& operator=(const TempDir&) = delete;
    const std::filesystem::path& Path() const { return path_; }
    std::string File(const std::string& name) const { return (path_ / name).string(); }

private:
    std::filesystem::path path_;
};

std::string ReadFileBytes(const std::string& path);
void WriteFileBytes(const std::string& path, const std::string& bytes);

struct CliResult {
    int status = -1;
    std::string out;
    std::string err;
};

// Runs velmora-cli with the arguments (no shell involved).
CliResult RunCli(const std::vector<std::string>& args);

} // namespace vmtest

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

// In a forked child: becomes velmora-cli with the arguments (exit 127 when it cannot).
[[noreturn]] void ExecCli(const std::vector<std::string>& args);

struct HttpReply {
    int status = 0; // 0: no answer that reads as HTTP/1.1
    std::string head;
    std::string body;
};

// Sends `request` as it stands to 127.0.0.1:port and reads until the server closes the
// connection.
HttpReply SendHttp(int port, const std::string& request);
// One request of `method` for `path`, with `extra` header lines, closing afterwards.
HttpReply HttpGet(int port, const std::string& path, const std::string& method = "GET",
                  const std::string& extra = "");

} // namespace vmtest

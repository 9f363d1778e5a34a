#include "support/TestSupport.h"

#include <arpa/inet.h>
#include <cstdlib>
#include <fcntl.h>
#include <fstream>
#include <netinet/in.h>
#include <random>
#include <sstream>
#include <stdexcept>
#include <sys/socket.h>
#include <sys/time.h>
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
        ExecCli(args);
    }
    int status = 0;
    waitpid(pid, &status, 0);
    CliResult r;
    r.status = WIFEXITED(status) ? WEXITSTATUS(status) : 128 + WTERMSIG(status);
    r.out = ReadFileBytes(outPath);
    r.err = ReadFileBytes(errPath);
    return r;
}

void ExecCli(const std::vector<std::string>& args) {
    std::string exe = VELMORA_CLI;
    std::vector<std::string> copy = args;
    std::vector<char*> argv{exe.data()};
    for (auto& a : copy)
        argv.push_back(a.data());
    argv.push_back(nullptr);
    execv(exe.c_str(), argv.data());
    _exit(127);
}

HttpReply SendHttp(int port, const std::string& request) {
    HttpReply reply;
    const int fd = ::socket(AF_INET, SOCK_STREAM, 0);
    if (fd < 0) return reply;
    timeval tv{5, 0};
    ::setsockopt(fd, SOL_SOCKET, SO_RCVTIMEO, &tv, sizeof tv);
    sockaddr_in addr{};
    addr.sin_family = AF_INET;
    addr.sin_port = htons(static_cast<std::uint16_t>(port));
    addr.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
    if (::connect(fd, reinterpret_cast<sockaddr*>(&addr), sizeof addr) != 0) {
        ::close(fd);
        return reply;
    }
    std::size_t sent = 0;
    while (sent < request.size()) {
        const ssize_t n = ::send(fd, request.data() + sent, request.size() - sent, MSG_NOSIGNAL);
        if (n <= 0) break; // the server may refuse before reading everything
        sent += static_cast<std::size_t>(n);
    }
    std::string all;
    char buf[65536];
    for (ssize_t n; (n = ::recv(fd, buf, sizeof buf, 0)) > 0;)
        all.append(buf, static_cast<std::size_t>(n));
    ::close(fd);
    const auto end = all.find("\r\n\r\n");
    if (all.rfind("HTTP/1.1 ", 0) != 0 || end == std::string::npos) return reply;
    reply.status = std::atoi(all.c_str() + 9);
    reply.head = all.substr(0, end);
    reply.body = all.substr(end + 4);
    return reply;
}

HttpReply HttpGet(int port, const std::string& path, const std::string& method,
                  const std::string& extra) {
    return SendHttp(port, method + " " + path + " HTTP/1.1\r\nHost: 127.0.0.1\r\n" + extra +
                              "Connection: close\r\n\r\n");
}

} // namespace vmtest

#include "file/VmRecovery.h"

#include "base/BvBase.h"
#include "file/VmErg.h"

#include <algorithm>
#include <cerrno>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <signal.h>
#include <sstream>
#include <unistd.h>

namespace vm {

namespace fs = std::filesystem;

namespace {

// Field 22 of /proc/<pid>/stat, the start time; the command name before it may hold
// blanks and parentheses, so counting starts after its last ")".
std::string StartOf(long pid) {
    std::ifstream in("/proc/" + std::to_string(pid) + "/stat");
    std::string line;
    if (!std::getline(in, line)) return {};
    const std::size_t close = line.rfind(')');
    if (close == std::string::npos) return {};
    std::istringstream rest(line.substr(close + 1));
    std::string field;
    for (int i = 3; i <= 22 && rest >> field; ++i)
        if (i == 22) return field;
    return {};
}

bool ReadSidecar(const std::string& file, TRecoveryCopy& copy) {
    std::ifstream in(file);
    if (!in) return false;
    std::string line;
    bool any = false;
    while (std::getline(in, line)) {
        const std::size_t eq = line.find('=');
        if (eq == std::string::npos) continue;
        const std::string key = line.substr(0, eq);
        const std::string value = line.substr(eq + 1);
        any = true;
        if (key == "document")
            copy.document = value;
        else if (key == "pid")
            copy.pid = std::strtol(value.c_str(), nullptr, 10);
        else if (key == "start")
            copy.processStart = value;
        else if (key == "time")
            copy.written = static_cast<std::time_t>(std::strtoll(value.c_str(), nullptr, 10));
    }
    return any && copy.pid > 0;
}

std::string ErrorText(int error) {
    return error ? std::strerror(error) : "unbekannter Fehler";
}

} // namespace

std::string RecoveryFolder() {
    const char* state = std::getenv("XDG_STATE_HOME");
    if (state && *state == '/') return (fs::path(state) / "velmora").string();
    const char* home = std::getenv("HOME");
    const fs::path base = home && *home ? fs::path(home) : fs::temp_directory_path();
    return (base / ".local" / "state" / "velmora").string();
}

std::string OwnProcessStart() {
    static const std::string start = StartOf(static_cast<long>(::getpid()));
    return start;
}

bool ProcessRunning(long pid, const std::string& processStart) {
    if (pid <= 0) return false;
    if (::kill(static_cast<pid_t>(pid), 0) != 0 && errno == ESRCH) return false;
    // Another process may have got the id since; its start time tells them apart.
    const std::string now = StartOf(pid);
    return now.empty() || processStart.empty() || now == processStart;
}

// ---- this process's copies ----------------------------------------------------------------

TRecoveryCopies::TRecoveryCopies(std::string folder) : folder_(std::move(folder)) {}

std::string TRecoveryCopies::Base() const {
    return (fs::path(folder_) / (std::to_string(::getpid()) + "-" + std::to_string(serial_)))
        .string();
}

std::string TRecoveryCopies::CopyFile() const {
    return Base() + ".ERG";
}

bool TRecoveryCopies::Exists() const {
    std::error_code ec;
    return fs::exists(CopyFile(), ec);
}

bool TRecoveryCopies::Write(const std::string& bytes, const std::string& document,
                            std::string& error) {
    std::error_code ec;
    fs::create_directories(folder_, ec);
    if (ec) {
        error = folder_ + ": " + ec.message();
        return false;
    }
    ResetSystemError();
    auto put = [](const std::string& text) {
        return [&text](TStream& s) {
            s.Write(text.data(), text.size());
            return true;
        };
    };
    if (!WriteFileAtomically(CopyFile(), put(bytes), false)) {
        error = CopyFile() + ": " + ErrorText(LastSystemError());
        return false;
    }
    std::ostringstream info;
    info << "document=" << document << "\n"
         << "pid=" << ::getpid() << "\n"
         << "start=" << OwnProcessStart() << "\n"
         << "time=" << static_cast<long long>(std::time(nullptr)) << "\n"
         << "program=Velmora\n";
    const std::string sidecar = Base() + ".info";
    if (!WriteFileAtomically(sidecar, put(info.str()), false)) {
        error = sidecar + ": " + ErrorText(LastSystemError());
        return false;
    }
    return true;
}

void TRecoveryCopies::Remove() {
    std::error_code ec;
    fs::remove(CopyFile(), ec);
    fs::remove(Base() + ".info", ec);
    ++serial_;
}

// ---- copies of programs that ended -------------------------------------------------------

std::vector<TRecoveryCopy> OrphanedCopies(const std::string& folder) {
    std::vector<TRecoveryCopy> found;
    std::error_code ec;
    for (const fs::directory_entry& e : fs::directory_iterator(folder, ec)) {
        const fs::path p = e.path();
        if (p.extension() != ".ERG" || !e.is_regular_file(ec)) continue;
        TRecoveryCopy copy;
        copy.copyFile = p.string();
        copy.sidecarFile = fs::path(p).replace_extension(".info").string();
        if (ReadSidecar(copy.sidecarFile, copy)) {
            if (ProcessRunning(copy.pid, copy.processStart)) continue;
        } else {
            // Written by a process that died before the sidecar followed; still its own
            // process's while that runs.
            const std::string stem = p.stem().string();
            const long pid = std::strtol(stem.c_str(), nullptr, 10);
            if (pid > 0 && ProcessRunning(pid, {})) continue;
        }
        if (!copy.written) {
            const auto t = fs::last_write_time(p, ec);
            copy.written = ec ? 0
                              : std::chrono::system_clock::to_time_t(
                                    std::chrono::file_clock::to_sys(t));
        }
        found.push_back(std::move(copy));
    }
    std::sort(found.begin(), found.end(), [](const TRecoveryCopy& a, const TRecoveryCopy& b) {
        return a.written < b.written;
    });
    return found;
}

bool SetAside(const TRecoveryCopy& copy) {
    const std::string stamp = std::to_string(static_cast<long long>(std::time(nullptr)));
    bool ok = ::rename(copy.copyFile.c_str(), (copy.copyFile + "." + stamp + ".verworfen").c_str()) == 0;
    if (::access(copy.sidecarFile.c_str(), F_OK) == 0)
        ok = ::rename(copy.sidecarFile.c_str(),
                      (copy.sidecarFile + "." + stamp + ".verworfen").c_str()) == 0 &&
             ok;
    return ok;
}

void RemoveCopy(const TRecoveryCopy& copy) {
    std::error_code ec;
    fs::remove(copy.copyFile, ec);
    fs::remove(copy.sidecarFile, ec);
}

} // namespace vm

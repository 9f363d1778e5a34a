// What the desktop program's benchmarks share: velmora-cli run as a child, the
// standard workloads it generates, milliseconds and a painted grid.
#pragma once

#include "file/VmErg.h"
#include "ui/VmMain.h"

#include <QAbstractItemView>
#include <QTableView>

#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <string>
#include <sys/wait.h>
#include <unistd.h>
#include <vector>

namespace uibench {

using Clock = std::chrono::steady_clock;

inline double Ms(Clock::duration d) {
    return std::chrono::duration<double, std::milli>(d).count();
}

// Runs velmora-cli; its messages are dropped unless VELMORA_BENCH_VERBOSE is set.
inline bool RunCli(const std::vector<std::string>& args) {
    const pid_t pid = fork();
    if (pid == 0) {
        std::vector<char*> argv;
        std::string cli = VELMORA_CLI;
        argv.push_back(cli.data());
        std::vector<std::string> copy = args;
        for (auto& a : copy)
            argv.push_back(a.data());
        argv.push_back(nullptr);
        if (!std::getenv("VELMORA_BENCH_VERBOSE")) {
            std::FILE* null = std::fopen("/dev/null", "w");
            if (null) dup2(fileno(null), 2);
        }
        execv(argv[0], argv.data());
        _exit(127);
    }
    int status = 0;
    waitpid(pid, &status, 0);
    return WIFEXITED(status) && WEXITSTATUS(status) == 0;
}

// The standard workload in `dir`: "WK20000.ERG", 20 000 participants in 40 age classes,
// and "WK36000.ERG", the same with an age class of 16 000 beside them.
struct TWorkload {
    std::string many;
    std::string both;
};

inline bool MakeWorkload(const std::filesystem::path& dir, TWorkload& w) {
    w.many = (dir / "WK20000.ERG").string();
    w.both = (dir / "WK36000.ERG").string();
    const std::string one = (dir / "AK16000.ERG").string();
    if (!RunCli({"generate", w.many, "--participants", "20000", "--seed", "1", "--year", "2004"}) ||
        !RunCli({"generate", one, "--participants", "16000", "--seed", "1", "--year", "2004",
                 "--age-classes", "1"}))
        return false;
    auto c = vm::Load(w.many);
    auto big = vm::Load(one);
    if (!c || !big || big->Count() != 1) return false;
    auto ac = big->AtDelete(0);
    ac->Data.Bezeichnung.Set("AK 16000");
    for (vm::TTeilnehmer& p : *ac)
        p.Altersklasse.Set("AK 16000");
    c->InsertAgeClass(std::move(ac));
    return vm::Save(w.both, *c, vm::TSaveFormat::Ergebnis);
}

// Paints the grid now, as the screen would after the event loop's next turn.
inline void PaintGrid(vm::ui::TMainForm& form) {
    form.Grid()->viewport()->repaint();
}

} // namespace uibench

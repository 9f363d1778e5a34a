// The command gate's targets on the standard workload, offscreen on the real main
// window: the snapshot and comparison around one changed time in the age class of
// 16 000, undo and redo of a qualification until the grid is painted, and the longest
// the event loop waits while recovery copies of the whole competition are written.

#include "UiBenchSupport.h"
#include "file/VmErg.h"
#include "file/VmUndo.h"
#include "operations/VmQuali.h"
#include "ui/VmApp.h"
#include "ui/VmAutosave.h"
#include "ui/VmMain.h"

#include <QElapsedTimer>
#include <QEventLoop>
#include <QTableView>
#include <QTimer>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <iostream>
#include <string>
#include <sys/wait.h>
#include <unistd.h>
#include <vector>

namespace {

namespace fs = std::filesystem;
using uibench::Clock;
using uibench::Ms;
using uibench::PaintGrid;

void Report(const std::string& name, std::vector<double> runs, double target) {
    std::sort(runs.begin(), runs.end());
    const double best = runs.front(), median = runs[runs.size() / 2];
    std::printf("%-62s best %8.2f  median %8.2f ms  (target < %g ms) %s\n", name.c_str(), best,
                median, target, median < target ? "ok" : "MISSED");
}

} // namespace

int main(int argc, char** argv) {
    char templ[] = "/tmp/velmora-undobench-XXXXXX";
    if (!mkdtemp(templ)) return 1;
    const fs::path dir = templ;
    uibench::TWorkload workload;
    if (!uibench::MakeWorkload(dir, workload)) {
        std::cerr << "velmora-cli generate failed\n";
        return 1;
    }
    const std::string& many = workload.many;
    const std::string& both = workload.both;
    qputenv("XDG_STATE_HOME", QByteArray::fromStdString((dir / "state").string()));
    vm::ui::TVelmoraApp app(argc, argv);
    vm::SetMessageHook([](const std::string&) {});
    const int runs = 15;

    // One changed time in the class of 16 000: the gate around a change that itself
    // costs nothing, so that the figure is the snapshot and the comparison.
    {
        vm::ui::TMainForm form(QString::fromStdString(both));
        form.show();
        const vm::TWettkampf& c = form.Document()->Competition();
        int bigIndex = 0;
        for (int i = 0; i < c.Count(); ++i)
            if (c.At(i)->Count() == 16000) bigIndex = i;
        std::vector<double> gate;
        for (int i = 0; i < runs; ++i) {
            const auto t0 = Clock::now();
            form.RunCommand("Zeit", [&](vm::TWettkampf& w) {
                vm::TTeilnehmer* p = w.At(bigIndex)->At(8000);
                p->Zeit[0] += (i % 2 ? -1 : 1);
            });
            gate.push_back(Ms(Clock::now() - t0));
        }
        Report("the whole gate around it, redraw included", gate, 20);
        // The gate's own work for one changed time: the snapshot taken against the state
        // before and compared with it.
        std::vector<double> changedOne;
        for (int i = 0; i < runs; ++i) {
            const vm::TSnapshot before = form.History().Current();
            form.RunCommand("Zeit", [&](vm::TWettkampf& w) {
                w.At(bigIndex)->At(8000)->Zeit[0] += (i % 2 ? -1 : 1);
            });
            const auto t0 = Clock::now();
            const vm::TSnapshot after = vm::TSnapshot::Take(c, &before);
            const bool differs = !after.SameAs(before);
            changedOne.push_back(Ms(Clock::now() - t0));
            if (!differs) std::cerr << "the change was not seen\n";
        }
        Report("snapshot and comparison for one changed time (class of 16 000)", changedOne, 10);
        // The snapshot alone, of a competition whose blocks all match the state before.
        std::vector<double> take;
        for (int i = 0; i < runs; ++i) {
            const auto t0 = Clock::now();
            const vm::TSnapshot s = vm::TSnapshot::Take(c, &form.History().Current());
            take.push_back(Ms(Clock::now() - t0));
        }
        Report("snapshot of 36 000 participants, nothing changed", take, 10);
    }

    vm::ui::TMainForm form(QString::fromStdString(many));
    form.show();
    PaintGrid(form);
    form.RunCommand("Qualifikation", [](vm::TWettkampf& c) {
        vm::TQualiSettings s = vm::DefaultQualiSettings(c);
        vm::QualifyCompetition(c, s);
    }, vm::ui::TStepKind::Whole);
    std::vector<double> undo, redo;
    for (int i = 0; i < runs; ++i) {
        auto t0 = Clock::now();
        form.CmdUndo();
        PaintGrid(form);
        undo.push_back(Ms(Clock::now() - t0));
        t0 = Clock::now();
        form.CmdRedo();
        PaintGrid(form);
        redo.push_back(Ms(Clock::now() - t0));
    }
    Report("undo of a qualification until the grid is painted", undo, 50);
    Report("redo of a qualification until the grid is painted", redo, 50);

    // The event loop's longest wait while whole-competition copies are written: a timer
    // ticks every millisecond and the largest gap between two ticks is taken, with the
    // gate's own work (the changes) excluded.
    std::vector<double> gaps;
    {
        QElapsedTimer clock;
        clock.start();
        qint64 last = clock.nsecsElapsed();
        double worst = 0;
        bool inGate = false;
        QTimer tick;
        tick.setInterval(1);
        QObject::connect(&tick, &QTimer::timeout, [&] {
            const qint64 now = clock.nsecsElapsed();
            if (!inGate) worst = std::max(worst, (now - last) / 1e6);
            last = now;
        });
        tick.start();
        int written = 0;
        QObject::connect(form.Autosave(), &vm::ui::TAutosave::written, [&] { ++written; });
        for (int i = 0; i < 8; ++i) {
            inGate = true;
            form.RunCommand("Zeit", [i](vm::TWettkampf& c) { c.At(0)->At(0)->Zeit[0] += i % 2 ? -1 : 1; },
                            vm::ui::TStepKind::Whole);
            inGate = false;
            last = clock.nsecsElapsed();
            worst = 0;
            QEventLoop loop;
            QTimer until;
            QObject::connect(form.Autosave(), &vm::ui::TAutosave::attempted, &loop, &QEventLoop::quit);
            until.singleShot(5000, &loop, &QEventLoop::quit);
            loop.exec();
            gaps.push_back(worst);
        }
        if (written == 0) std::cerr << "no recovery copy was written\n";
    }
    Report("longest event-loop wait while a recovery copy is written", gaps, 16);
    fs::remove_all(dir);
    return 0;
}

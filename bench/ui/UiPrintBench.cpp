// Printing in the desktop program on the standard workload (20 000 participants in 40
// age classes), offscreen: one page of the full result list drawn in the preview at
// 100 %, and opening the preview of that list with its build. Each figure is the best
// and the median of several runs, printed next to its target.

#include "cli/Cli.h"
#include "file/VmWFile.h"
#include "model/VmBasis.h"
#include "ui/BvPrev.h"
#include "ui/VmApp.h"
#include "ui/VmWPrn.h"

#include <QCoreApplication>
#include <QImage>
#include <QPainter>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <iostream>
#include <string>
#include <vector>

namespace {

namespace fs = std::filesystem;
using Clock = std::chrono::steady_clock;

double Ms(Clock::duration d) {
    return std::chrono::duration<double, std::milli>(d).count();
}

void Report(const char* name, double target, std::vector<double> runs) {
    std::sort(runs.begin(), runs.end());
    const double best = runs.front(), median = runs[runs.size() / 2];
    std::printf("%-62s best %8.2f  median %8.2f ms  (target < %g ms) %s\n", name, best, median,
                target, median < target ? "ok" : "MISSED");
}

} // namespace

int main(int argc, char** argv) {
    char templ[] = "/tmp/velmora-printbench-XXXXXX";
    if (!mkdtemp(templ)) return 1;
    const fs::path dir = templ;
    const std::string file = (dir / "WK20000.ERG").string();
    vm::SetMessageHook([](const std::string&) {});
    if (vm::cli::Run({"generate", file, "--participants", "20000", "--seed", "1"}) != 0) {
        std::cerr << "velmora-cli generate failed\n";
        return 1;
    }

    vm::ui::TVelmoraApp app(argc, argv);
    vm::SetMessageHook([](const std::string&) {});
    vm::TVmFile doc(file);
    const int runs = 9;

    // Opening the preview as "Ansicht" does: the build, the form, its first paint.
    std::vector<double> open;
    int pages = 0;
    for (int i = 0; i < runs; ++i) {
        vm::ui::TDruckenDlg dlg;
        dlg.Attach(&doc.Competition(), 0, 0, 0, 0);
        const auto t0 = Clock::now();
        if (!dlg.Build()) {
            std::cerr << "the result list was not built\n";
            return 1;
        }
        vm::ui::TPreviewForm form;
        form.resize(1280, 900);
        form.Initialise(dlg.Job().Report(), 1, dlg.BuiltWidth(), dlg.BuiltHeight());
        form.show();
        // The window appears, then the sheet is painted.
        QCoreApplication::processEvents();
        form.PaintBox()->repaint();
        open.push_back(Ms(Clock::now() - t0));
        pages = form.PageCount();
        if (form.PaintBox()->PaintCount() < 1) {
            std::cerr << "the preview did not paint\n";
            return 1;
        }
    }

    // One page at 100 %, as the preview paints it, across the list.
    vm::ui::TDruckenDlg dlg;
    dlg.Attach(&doc.Competition(), 0, 0, 0, 0);
    if (!dlg.Build()) return 1;
    vm::ui::TPreviewForm form;
    form.Initialise(dlg.Job().Report(), 1, dlg.BuiltWidth(), dlg.BuiltHeight());
    form.SetZoom(100);
    QImage sheet(form.PaintBox()->size(), QImage::Format_ARGB32_Premultiplied);
    std::vector<double> page;
    for (int i = 0; i < runs * 3; ++i) {
        form.GoToPage(1 + (i * 97) % std::max(1, pages));
        QPainter p(&sheet);
        const auto t0 = Clock::now();
        form.PaintSheet(p, sheet.size());
        p.end();
        page.push_back(Ms(Clock::now() - t0));
    }

    std::printf("result list of the whole competition: %d pages\n", pages);
    Report("one page of the full result list drawn in the preview at 100 %", 30, page);
    Report("open the preview of the full result list (build included)", 500, open);
    std::error_code ec;
    fs::remove_all(dir, ec);
    return 0;
}

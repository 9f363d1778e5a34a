#include "cli/CmdPrint.h"

#include "cli/CliSupport.h"
#include "cli/CmdCertificates.h"
#include "output/PdfDevice.h"
#include "output/VmPdfExport.h"
#include "print/VmQr.h"
#include "print/VmReport.h"
#include "print/VmStat.h"

#include <cstdint>
#include <cstdlib>
#include <iostream>
#include <memory>
#include <vector>

#if defined(__GLIBC__)
#include <malloc.h>
#include <sys/mman.h>
#include <unistd.h>
#endif

namespace vm::cli {

namespace {

const TCommandSpec& PrintSpec() {
    static const TCommandSpec cmd{
        "print FILE OUT.pdf [--list result|qualification|heats|hlw|statistics] [options]",
        "Builds a printed list with the options of the print dialog and writes it as a PDF\n"
        "file on A4: portrait, or landscape when the widest column header or participant\n"
        "line of the list does not fit between the margins of the portrait page.\n"
        "\n"
        "  --list KIND          result (default), qualification, heats, hlw, statistics,\n"
        "                       certificates (see print --list certificates --help)\n"
        "  --age-class NAME     only this age class (default: all age classes)\n"
        "  --disciplines        age-class data (disciplines) under each heading\n"
        "  --new-page           every age class on a new page\n"
        "  --records            record marks\n"
        "  --two-lines          two lines per participant\n"
        "  --medal-table        result list: append the medal table\n"
        "  --gliederungen       qualification and heat list: append the Gliederungen\n"
        "  --all-disciplines    heat list: heat and lane for all disciplines\n"
        "  --stats-index N      statistics: 0 Gliederungen (default), 1 medal table,\n"
        "                       2 best total points, 3 trophy ranking\n"
        "  --no-head            without the print head (title block)\n"
        "  --no-legend          without notes and explanations\n"
        "  --no-footer          without the footer (date, time, page)\n"
        "  --no-empty-lines     without the empty line after every 5 lines\n"
        "  --orientation O      auto (default), portrait or landscape\n"
        "  --landscape          the same as --orientation landscape\n"
        "  --qr URL             a small QR code of URL (the live results) in the print head",
        {"--list", "--age-class", "--stats-index", "--orientation", "--qr"},
        {"--disciplines", "--new-page", "--records", "--two-lines", "--medal-table",
         "--gliederungen", "--all-disciplines", "--no-head", "--no-legend", "--no-footer",
         "--no-empty-lines", "--landscape"},
        2,
        2};
    return cmd;
}

const TCommandSpec& StatsSpec() {
    static const TCommandSpec cmd{
        "stats FILE --mode 0|1|3|4",
        "Recomputes the statistics of the Gliederungen and prints the header and one line per\n"
        "Gliederung: 0 by short code, 1 medal table, 3 by total points, 4 trophy ranking.",
        {"--mode"},
        {},
        1,
        1};
    return cmd;
}

// A list of the whole competition holds the competition and every line of the report
// in memory, some ten thousand pages of 4 KiB. Each page is handed to the process on
// its first touch, and on a virtual machine that fault costs as much as building the
// lines on it. The heap therefore grows once by a large step that the kernel may back
// with huge pages (one fault per 2 MiB), where it offers them on request; elsewhere
// nothing changes. Only address space is reserved: pages never touched take no memory.
void PrepareLargeHeap() {
#if defined(__GLIBC__) && defined(MADV_HUGEPAGE) && !defined(__SANITIZE_ADDRESS__)
    constexpr std::size_t Step = 64u << 20;
    constexpr std::size_t Huge = 2u << 20;
    // Large blocks come from the heap as well, and the heap is not given back while
    // the command runs.
    mallopt(M_MMAP_THRESHOLD, 32 << 20);
    mallopt(M_TRIM_THRESHOLD, 2 * static_cast<int>(Step));
    mallopt(M_TOP_PAD, static_cast<int>(Step));
    const auto before = reinterpret_cast<std::uintptr_t>(sbrk(0));
    // Grows the heap by the step now (volatile: the block must really be taken).
    void* volatile probe = std::malloc(Huge);
    const auto after = reinterpret_cast<std::uintptr_t>(sbrk(0));
    const std::uintptr_t start = (before + Huge - 1) & ~(Huge - 1);
    if (after > start + Huge)
        madvise(reinterpret_cast<void*>(start), (after - start) & ~(Huge - 1), MADV_HUGEPAGE);
    std::free(probe);
#endif
}

// What the command built stays until the process ends, which gives the memory back in
// one step; the competition and report of a large list are tens of thousands of
// blocks that would otherwise be freed one by one on the way out. They stay reachable,
// so leak checkers do not count them.
template <class T> void KeepUntilExit(std::unique_ptr<T> kept) {
    static auto* all = new std::vector<std::unique_ptr<T>>;
    all->push_back(std::move(kept));
}

int ListKind(const std::string& name) {
    if (name == "result") return rkErgebnis;
    if (name == "qualification") return rkQualifikation;
    if (name == "heats") return rkLaufliste;
    if (name == "hlw") return rkHLWStartliste;
    if (name == "statistics") return rkStatistik;
    return -1;
}

} // namespace

int CmdPrint(const std::vector<std::string>& args) {
    if (IsCertificatesList(args)) return CmdCertificates(args);
    const TCommandSpec& cmd = PrintSpec();
    TArgs a;
    int status = 0;
    if (!ParseArgs(args, cmd, a, status)) return status;

    const int kind = ListKind(a.Get("--list", "result"));
    if (kind < 0) return UsageError(cmd, "unknown list " + a.Get("--list"));
    long long statsIndex = 0;
    if (!GetInt(a, cmd, "--stats-index", 0, 0, 3, statsIndex, status)) return status;
    const std::string orientationName =
        a.Get("--orientation", a.Has("--landscape") ? "landscape" : "auto");
    TOrientation orientation = TOrientation::Auto;
    if (orientationName == "portrait")
        orientation = TOrientation::Portrait;
    else if (orientationName == "landscape")
        orientation = TOrientation::Landscape;
    else if (orientationName != "auto")
        return UsageError(cmd, "--orientation must be auto, portrait or landscape");
    if (a.Has("--landscape") && orientation != TOrientation::Landscape)
        return UsageError(cmd, "--landscape contradicts --orientation " + orientationName);

    PrepareLargeHeap();
    auto c = LoadCompetitionToRead(a.positional[0]);
    if (!c) return 1;

    TPrintOptions o;
    o.ageClassData = a.Has("--disciplines");
    o.newPagePerAgeClass = a.Has("--new-page");
    o.recordMarks = a.Has("--records");
    o.twoLines = a.Has("--two-lines");
    o.medalTable = a.Has("--medal-table");
    o.gliederungen = a.Has("--gliederungen");
    o.laneAllDisciplines = a.Has("--all-disciplines");
    o.statisticsIndex = static_cast<int>(statsIndex);
    o.printHead = !a.Has("--no-head");
    o.legend = !a.Has("--no-legend");
    o.footer = !a.Has("--no-footer");
    o.emptyLineAfter5 = !a.Has("--no-empty-lines");

    int selected = 0;
    if (a.Has("--age-class")) {
        const std::string name = Utf8ToOem(a.Get("--age-class"));
        selected = -1;
        for (int i = 0; i < c->Count(); ++i)
            if (c->At(i)->Name() == name) {
                selected = i;
                break;
            }
        if (selected < 0) {
            std::cerr << "velmora-cli: no age class " << a.Get("--age-class") << " in "
                      << a.positional[0] << "\n";
            return 1;
        }
        o.allAgeClasses = false;
    }

    // The Gliederung rows a list prints are brought up to date here, once; building
    // only reads the competition.
    RefreshForBuild(*c, kind, o);
    TVmPrintJob job(c.get(), selected);
    job.QrText = a.Get("--qr");
    if (!job.QrText.empty() && EncodeQr(job.QrText).Width == 0) {
        std::cerr << "Die Adresse ist zu lang für einen QR-Code.\n";
        return 1;
    }
    const TVmReport& report = job.Build(kind, o, orientation);

    TPdfInfo info = TPdfInfo::Defaults();
    FillPdfInfo(info, *c);
    const bool written = ReportingFailure(a.positional[1], "nicht geschrieben", [&] {
        return ExportDocumentToPdf(report, a.positional[1], report.PageWidth, report.PageHeight,
                                   info);
    });
    KeepUntilExit(job.TakeReport());
    KeepUntilExit(std::move(c));
    return written ? 0 : 1;
}

int CmdStats(const std::vector<std::string>& args) {
    const TCommandSpec& cmd = StatsSpec();
    TArgs a;
    int status = 0;
    if (!ParseArgs(args, cmd, a, status)) return status;
    long long mode = 0;
    if (!GetInt(a, cmd, "--mode", 0, 0, 4, mode, status)) return status;
    if (mode == 2) return UsageError(cmd, "--mode must be 0, 1, 3 or 4");

    auto c = LoadCompetitionToRead(a.positional[0]);
    if (!c) return 1;
    ComputeStatistics(*c, static_cast<int>(mode));
    for (int row = 0; row <= c->Gliederungen.Count(); ++row)
        std::cout << ToUtf8(StatLine(c->Gliederungen, static_cast<int>(mode), row)) << "\n";
    return 0;
}

} // namespace vm::cli

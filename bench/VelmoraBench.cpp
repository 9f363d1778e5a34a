// The speed and memory targets, measured on the standard workload: a generated
// competition of 20 000 participants in 40 age classes, and one age class of 16 000.
//
// The workload files are made once per run by velmora-cli generate in a temporary
// folder that is removed at the end. Every figure is printed again at the end next to
// its target, with the best and the median of the repetitions (the machine this runs
// on is usually shared, so the best run is the fairer figure, the median the usual one).
//
// File-writing benchmarks run in the temporary folder under /tmp (on a disk, unless
// /tmp is a tmpfs) exactly as the user gets them: temporary file, sync, backup,
// rename, sync of the folder. Save and each export run a second time on /dev/shm,
// where the sync costs nothing, and the save once more as pure serialisation, so that
// the share of the sync is visible. The summary judges the targets by the disk runs.

#include "cli/CmdGenerate.h"
#include "file/VmErg.h"
#include "io/VmExport.h"
#include "io/VmHtmlExport.h"
#include "io/VmMeldebogen.h"
#include "io/VmTxtExport.h"
#include "journal/VmJournal.h"
#include "io/VmXlsx.h"
#include "model/VmAk.h"
#include "model/VmBasis.h"
#include "operations/VmLauf.h"
#include "operations/VmLaufEingabe.h"
#include "operations/VmPruefung.h"
#include "operations/VmQuali.h"
#include "output/PdfDevice.h"
#include "output/VmPdfExport.h"
#include "print/VmReport.h"
#include "live/VmServer.h"
#include "live/VmSite.h"
#include "print/VmUrkunde.h"

#include <benchmark/benchmark.h>
#include <xlsxwriter.h>

#include <algorithm>
#include <atomic>
#include <cerrno>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <sstream>
#include <filesystem>
#include <iostream>
#include <map>
#include <memory>
#include <set>
#include <string>
#include <sys/resource.h>
#include <sys/wait.h>
#include <unistd.h>
#include <thread>
#include <vector>

namespace {

namespace fs = std::filesystem;

// ---- workload ------------------------------------------------------------------------

struct TWorkload {
    fs::path dir;     // temporary folder on the disk
    fs::path shmDir;  // temporary folder on /dev/shm (empty when there is none)
    std::string many; // 20 000 participants in 40 age classes
    std::string one;  // 16 000 participants in one age class
    bool ready = false;
    std::string error;
};

TWorkload& Workload() {
    static TWorkload w;
    return w;
}

// Messages of the model would mean that an operation failed; the benchmark that
// caused one reports it as an error instead of a time.
std::string& LastMessage() {
    static std::string m;
    return m;
}

struct TChildResult {
    int status = -1;     // exit status, or -1 when it did not exit normally
    double maxRssMB = 0; // peak resident set size of the child
    double seconds = 0;  // wall time
};

// Runs velmora-cli with the arguments (no shell) and waits for it.
TChildResult RunCli(const std::vector<std::string>& args, bool quiet = true) {
    TChildResult r;
    std::vector<char*> argv;
    std::string exe = VELMORA_CLI;
    argv.push_back(exe.data());
    std::vector<std::string> copy = args;
    for (std::string& a : copy)
        argv.push_back(a.data());
    argv.push_back(nullptr);
    const auto start = std::chrono::steady_clock::now();
    const pid_t pid = fork();
    if (pid < 0) return r;
    if (pid == 0) {
        if (quiet) {
            if (std::freopen("/dev/null", "w", stdout) == nullptr) _exit(126);
        }
        execv(argv[0], argv.data());
        _exit(127);
    }
    int status = 0;
    struct rusage ru {};
    pid_t got = -1;
    do {
        got = wait4(pid, &status, 0, &ru);
    } while (got < 0 && errno == EINTR);
    r.seconds = std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
    if (got == pid && WIFEXITED(status)) r.status = WEXITSTATUS(status);
    r.maxRssMB = static_cast<double>(ru.ru_maxrss) / 1024.0; // Linux: kilobytes
    return r;
}

bool MakeWorkload() {
    TWorkload& w = Workload();
    char templ[] = "/tmp/velmora-bench-XXXXXX";
    if (mkdtemp(templ) == nullptr) {
        w.error = "cannot create a temporary folder";
        return false;
    }
    w.dir = templ;
    if (fs::is_directory("/dev/shm")) {
        char shm[] = "/dev/shm/velmora-bench-XXXXXX";
        if (mkdtemp(shm) != nullptr) w.shmDir = shm;
    }
    w.many = (w.dir / "WK20000.ERG").string();
    w.one = (w.dir / "AK16000.ERG").string();
    const TChildResult a =
        RunCli({"generate", w.many, "--participants", "20000", "--seed", "1", "--year", "2004"});
    const TChildResult b = RunCli({"generate", w.one, "--participants", "16000", "--seed", "1",
                                   "--year", "2004", "--age-classes", "1"});
    if (a.status != 0 || b.status != 0) {
        w.error = "velmora-cli generate failed";
        return false;
    }
    w.ready = true;
    return true;
}

void RemoveWorkload() {
    TWorkload& w = Workload();
    std::error_code ec;
    if (!w.dir.empty()) fs::remove_all(w.dir, ec);
    if (!w.shmDir.empty()) fs::remove_all(w.shmDir, ec);
}

// The loaded competitions, loaded once and shared by the benchmarks that only read or
// write them out.
vm::TWettkampf* Many() {
    static std::unique_ptr<vm::TWettkampf> c = vm::Load(Workload().many);
    return c.get();
}

bool Prepare(benchmark::State& state, vm::TWettkampf*& c) {
    if (!Workload().ready) {
        state.SkipWithError(Workload().error.c_str());
        return false;
    }
    c = Many();
    if (c == nullptr) {
        state.SkipWithError("the workload could not be loaded");
        return false;
    }
    return true;
}

void CheckNoMessage(benchmark::State& state) {
    if (!LastMessage().empty()) state.SkipWithError(LastMessage().c_str());
}

// ---- benchmarks ----------------------------------------------------------------------

void BM_Load(benchmark::State& state) {
    if (!Workload().ready) {
        state.SkipWithError(Workload().error.c_str());
        return;
    }
    std::size_t classes = 0;
    for (auto _ : state) {
        auto c = vm::Load(Workload().many);
        if (!c) {
            state.SkipWithError("load failed");
            break;
        }
        classes = static_cast<std::size_t>(c->Count());
        benchmark::DoNotOptimize(c.get());
    }
    state.counters["classes"] = static_cast<double>(classes);
    CheckNoMessage(state);
}

// Save as the user gets it: temporary file, sync, backup, rename, folder sync.
void SaveInto(benchmark::State& state, const fs::path& dir) {
    vm::TWettkampf* c = nullptr;
    if (!Prepare(state, c)) return;
    if (dir.empty()) {
        state.SkipWithError("no such folder");
        return;
    }
    const std::string name = (dir / "SAVE.ERG").string();
    for (auto _ : state) {
        if (!vm::Save(name, *c, vm::TSaveFormat::Ergebnis)) {
            state.SkipWithError("save failed");
            break;
        }
    }
    CheckNoMessage(state);
}

void BM_Save(benchmark::State& state) {
    SaveInto(state, Workload().dir);
}
void BM_Save_Shm(benchmark::State& state) {
    SaveInto(state, Workload().shmDir);
}

// The serialisation alone: a stream that only counts the bytes (a growing memory
// stream would mostly measure its own reallocation).
class TCountingStream : public vm::TStream {
public:
    void Read(void*, std::size_t) override { status_ = vm::stReadError; }
    void Write(const void*, std::size_t count) override {
        size_ += static_cast<std::int64_t>(count);
    }
    void Seek(std::int64_t) override {}
    std::int64_t GetSize() override { return size_; }
    std::int64_t GetPos() override { return size_; }

private:
    std::int64_t size_ = 0;
};

void BM_Save_SerialiseOnly(benchmark::State& state) {
    vm::TWettkampf* c = nullptr;
    if (!Prepare(state, c)) return;
    std::int64_t bytes = 0;
    for (auto _ : state) {
        TCountingStream s;
        vm::WriteNative(s, *c);
        bytes = s.GetSize();
        benchmark::DoNotOptimize(bytes);
    }
    state.counters["file_MB"] = static_cast<double>(bytes) / (1024.0 * 1024.0);
}

// One changed result in the class of 16 000: the participant is recalculated and
// the class ranked again. The time toggles between the original and a much worse one,
// so that the participant really moves through the ranking every iteration.
void BM_RecalcOneChange(benchmark::State& state) {
    if (!Workload().ready) {
        state.SkipWithError(Workload().error.c_str());
        return;
    }
    auto c = vm::Load(Workload().one);
    if (!c || c->Count() != 1) {
        state.SkipWithError("the one-class workload could not be loaded");
        return;
    }
    vm::TAltersklasse& ac = *c->At(0);
    state.counters["participants"] = static_cast<double>(ac.Count());
    // A participant from the middle of the field with a valid time in the first
    // discipline.
    vm::TTeilnehmer* p = nullptr;
    for (int i = ac.Count() / 2; i < ac.Count() && p == nullptr; ++i)
        if (ac.At(i)->Zeit[0] > 0 && ac.At(i)->Abzug[0] >= 0) p = ac.At(i);
    if (p == nullptr) {
        state.SkipWithError("no participant with a time");
        return;
    }
    const std::int32_t original = p->Zeit[0];
    bool worse = false;
    for (auto _ : state) {
        worse = !worse;
        p->Zeit[0] = worse ? original + 6000 : original;
        vm::RecalcParticipant(ac, *p);
        vm::RankAgeClass(ac);
        benchmark::DoNotOptimize(p->Platz);
    }
    p->Zeit[0] = original;
}

void ExportFormat(benchmark::State& state, const fs::path& dir, vm::TSaveFormat format,
                  const char* ext) {
    vm::TWettkampf* c = nullptr;
    if (!Prepare(state, c)) return;
    if (dir.empty()) {
        state.SkipWithError("no such folder");
        return;
    }
    const std::string name = (dir / (std::string("EXPORT.") + ext)).string();
    vm::TSaveOptions options;
    if (format == vm::TSaveFormat::Pdf) vm::FillPdfInfo(options.Pdf, *c);
    for (auto _ : state) {
        if (!vm::Save(name, *c, format, options)) {
            state.SkipWithError("export failed");
            break;
        }
    }
    std::error_code ec;
    state.counters["file_MB"] = static_cast<double>(fs::file_size(name, ec)) / (1024.0 * 1024.0);
    CheckNoMessage(state);
}

// Each export on the disk as the user gets it, and on /dev/shm for the share of the sync.
void BM_ExportCsv(benchmark::State& state) {
    ExportFormat(state, Workload().dir, vm::TSaveFormat::Text, "CSV");
}
void BM_ExportDbf(benchmark::State& state) {
    ExportFormat(state, Workload().dir, vm::TSaveFormat::Dbf, "DBF");
}
void BM_ExportXls(benchmark::State& state) {
    ExportFormat(state, Workload().dir, vm::TSaveFormat::Xls, "XLS");
}
void BM_ExportXlsx(benchmark::State& state) {
    ExportFormat(state, Workload().dir, vm::TSaveFormat::Xlsx, "XLSX");
}
void BM_ExportHtml(benchmark::State& state) {
    ExportFormat(state, Workload().dir, vm::TSaveFormat::Html, "HTM");
}
// "Speichern unter..." as PDF: the result list on landscape A4.
void BM_ExportPdf(benchmark::State& state) {
    ExportFormat(state, Workload().dir, vm::TSaveFormat::Pdf, "PDF");
}
void BM_ExportCsv_Shm(benchmark::State& state) {
    ExportFormat(state, Workload().shmDir, vm::TSaveFormat::Text, "CSV");
}
void BM_ExportDbf_Shm(benchmark::State& state) {
    ExportFormat(state, Workload().shmDir, vm::TSaveFormat::Dbf, "DBF");
}
void BM_ExportXls_Shm(benchmark::State& state) {
    ExportFormat(state, Workload().shmDir, vm::TSaveFormat::Xls, "XLS");
}
void BM_ExportXlsx_Shm(benchmark::State& state) {
    ExportFormat(state, Workload().shmDir, vm::TSaveFormat::Xlsx, "XLSX");
}
void BM_ExportHtml_Shm(benchmark::State& state) {
    ExportFormat(state, Workload().shmDir, vm::TSaveFormat::Html, "HTM");
}
void BM_ExportPdf_Shm(benchmark::State& state) {
    ExportFormat(state, Workload().shmDir, vm::TSaveFormat::Pdf, "PDF");
}

// velmora-cli print --list result: the print job's result list on portrait A4,
// built and written as PDF.
void BM_PrintResultListPdf(benchmark::State& state) {
    vm::TWettkampf* c = nullptr;
    if (!Prepare(state, c)) return;
    const std::string name = (Workload().dir / "PRINT.PDF").string();
    int pages = 0;
    for (auto _ : state) {
        vm::TVmPrintJob job(c, 0);
        const vm::TVmReport& report = job.Build(vm::rkErgebnis, vm::TPrintOptions{});
        vm::TPdfInfo info = vm::TPdfInfo::Defaults();
        vm::FillPdfInfo(info, *c);
        if (!vm::ExportDocumentToPdf(report, name, report.PageWidth, report.PageHeight, info)) {
            state.SkipWithError("PDF failed");
            break;
        }
        pages = report.PageCount();
    }
    state.counters["pages"] = pages;
    CheckNoMessage(state);
}

// Certificates for the first three places of every age class (about 120), classic
// layout with shrinking fields, built and written as PDF.
void BM_CertificatesPdf(benchmark::State& state) {
    vm::TWettkampf* c = nullptr;
    if (!Prepare(state, c)) return;
    const std::string name = (Workload().dir / "URKUNDEN.PDF").string();
    int pages = 0;
    for (auto _ : state) {
        vm::TVmPrintJob job(c, 0);
        vm::TUrkOptions u;
        u.measure = [](std::int16_t face, std::uint8_t style, std::int16_t height,
                       std::string_view text) {
            return vm::PdfTextWidth(vm::PdfFontNumber(face, style), vm::OemToAnsi(text), height,
                                    style);
        };
        const vm::TVmReport& report =
            job.BuildCertificates(vm::TPrintOptions{}, vm::TUrkAuswahl{}, u);
        vm::TPdfInfo info = vm::TPdfInfo::Defaults();
        vm::FillPdfInfo(info, *c);
        if (!vm::ExportDocumentToPdf(report, name, report.PageWidth, report.PageHeight, info)) {
            state.SkipWithError("PDF failed");
            break;
        }
        pages = report.PageCount();
    }
    state.counters["pages"] = pages;
    CheckNoMessage(state);
}

// Peak memory of the whole program on the load and print path, as a child process.
void BM_PeakMemoryCliPrint(benchmark::State& state) {
    if (!Workload().ready) {
        state.SkipWithError(Workload().error.c_str());
        return;
    }
    const std::string out = (Workload().dir / "CLI.PDF").string();
    double peak = 0;
    for (auto _ : state) {
        const TChildResult r = RunCli({"print", Workload().many, out, "--list", "result"});
        if (r.status != 0) {
            state.SkipWithError("velmora-cli print failed");
            break;
        }
        peak = std::max(peak, r.maxRssMB);
    }
    state.counters["peak_MB"] = peak;
}

// The data checks of the whole competition, in the program (as "Daten prüfen..."
// runs them) and as velmora-cli check, loading included.
void BM_Check(benchmark::State& state) {
    vm::TWettkampf* c = nullptr;
    if (!Prepare(state, c)) return;
    std::size_t findings = 0;
    for (auto _ : state) {
        const std::vector<vm::TBefund> found = vm::CheckCompetition(*c);
        findings = found.size();
        benchmark::DoNotOptimize(found.data());
    }
    state.counters["findings"] = static_cast<double>(findings);
}
void BM_CheckCli(benchmark::State& state) {
    if (!Workload().ready) {
        state.SkipWithError(Workload().error.c_str());
        return;
    }
    for (auto _ : state) {
        // Exit 1 only says that there are findings.
        const TChildResult r = RunCli({"check", Workload().many});
        if (r.status != 0 && r.status != 1) {
            state.SkipWithError("velmora-cli check failed");
            break;
        }
    }
}

// One heat of eight entered: the times written, the participants recalculated, their
// age class ranked, and the rows of the next heat found, as the heat-wise entry does
// when the desk leaves a heat. The times toggle, so every iteration changes the ranking.
void BM_ApplyHeat(benchmark::State& state) {
    if (!Workload().ready) {
        state.SkipWithError(Workload().error.c_str());
        return;
    }
    auto c = vm::Load(Workload().many);
    if (!c) {
        state.SkipWithError("the workload could not be loaded");
        return;
    }
    c->Header.Startplaetze = 5; // eight lanes
    vm::AssignHeats(*c, vm::THeatSettings{});
    // A heat from the middle of the largest age class.
    const vm::TAltersklasse* largest = c->At(0);
    for (const vm::TAltersklasse& ac : *c)
        if (ac.Count() > largest->Count()) largest = &ac;
    const int heat = largest->At(largest->Count() / 2)->Lauf[0];
    std::vector<vm::TLaufErgebnis> results;
    for (const vm::TLaufPlatz& r : vm::HeatRows(*c, heat, 1))
        if (r.participant)
            results.push_back({r.ageClass, r.participant, 1, r.participant->Zeit[0], 0});
    if (results.size() != 8) {
        state.SkipWithError("no full heat of eight");
        return;
    }
    state.counters["class_size"] = largest->Count();
    const std::vector<vm::TLaufErgebnis> original = results;
    bool slower = false;
    for (auto _ : state) {
        slower = !slower;
        for (std::size_t i = 0; i < results.size(); ++i)
            results[i].time = original[i].time + (slower ? 300 + 100 * static_cast<int>(i) : 0);
        vm::ApplyHeatResults(results);
        benchmark::DoNotOptimize(vm::HeatRows(*c, heat + 1, 1).size());
    }
    CheckNoMessage(state);
}

// The journal block of a qualification that deletes about 10 000 of the 20 000
// participants: every entry before and after paired, the lines of the deleted ones
// and of those whose "startberechtigt" changed written, the block formatted. The quota
// that deletes closest to 10 000 is found before the timing starts.
void BM_JournalQualification(benchmark::State& state) {
    vm::TWettkampf* before = nullptr;
    if (!Prepare(state, before)) return;
    auto qualified = [&](int quota) {
        auto c = vm::CopyCompetition(*before);
        vm::TQualiSettings s = vm::DefaultQualiSettings(*c);
        s.quota = quota;
        vm::QualifyCompetition(*c, s);
        return c;
    };
    auto deleted = [&](const vm::TWettkampf& c) {
        return static_cast<int>(vm::ExportRowCount(*before) - vm::ExportRowCount(c));
    };
    int lo = 1, hi = 20000;
    while (lo < hi) { // the smallest quota that deletes at most 10 000
        const int mid = (lo + hi) / 2;
        if (deleted(*qualified(mid)) > 10000)
            lo = mid + 1;
        else
            hi = mid;
    }
    const auto after = qualified(lo);
    std::size_t lines = 0, bytes = 0;
    for (auto _ : state) {
        vm::TJournalEntry entry{0, "Qualifikation", "Velmora",
                                vm::DescribeChanges(*before, *after)};
        const std::string block = vm::FormatJournalBlock(entry);
        lines = entry.lines.size();
        bytes = block.size();
        benchmark::DoNotOptimize(block.data());
    }
    state.counters["deleted"] = deleted(*after);
    state.counters["lines"] = static_cast<double>(lines);
    state.counters["block_kB"] = static_cast<double>(bytes) / 1024.0;
}

// The clubs' entry form of the workload's competition (40 age classes): the workbook
// with its lists, written as the user gets it.
void BM_EntryForm(benchmark::State& state) {
    vm::TWettkampf* c = nullptr;
    if (!Prepare(state, c)) return;
    const std::string name = (Workload().dir / "Meldebogen.xlsx").string();
    for (auto _ : state) {
        if (!vm::WriteMeldebogen(*c, name, "SH")) {
            state.SkipWithError("entry form failed");
            break;
        }
    }
    state.counters["classes"] = c->Count();
    CheckNoMessage(state);
}

// A returned form of 2 000 rows for the workload: 1 000 entries already there (half of
// them with a new Gliederung) and 1 000 new ones, spread over every age class. Written
// as a spreadsheet writes it, with shared strings and the year as a number.
std::string EntriesWorkbook(const vm::TWettkampf& c) {
    const std::string file = (Workload().dir / "Meldungen2000.xlsx").string();
    lxw_workbook* wb = workbook_new(file.c_str());
    workbook_add_worksheet(wb, vm::MeldSheetHinweise);
    lxw_worksheet* ws = workbook_add_worksheet(wb, vm::MeldSheetMeldungen);
    const std::vector<std::string> head = vm::MeldColumns(false);
    for (std::size_t k = 0; k < head.size(); ++k)
        worksheet_write_string(ws, 0, static_cast<lxw_col_t>(k), head[k].c_str(), nullptr);
    lxw_row_t row = 1;
    auto put = [&](const std::string& name, const std::string& first, int year,
                   const vm::TAltersklasse& ac, const std::string& glied) {
        worksheet_write_string(ws, row, 0, vm::OemToUtf8(name).c_str(), nullptr);
        worksheet_write_string(ws, row, 1, vm::OemToUtf8(first).c_str(), nullptr);
        worksheet_write_number(ws, row, 2, year, nullptr);
        worksheet_write_string(ws, row, 3, vm::IsFemale(ac) ? "w" : "m", nullptr);
        worksheet_write_string(ws, row, 4, vm::OemToUtf8(ac.Name()).c_str(), nullptr);
        if (!glied.empty()) worksheet_write_string(ws, row, 5, glied.c_str(), nullptr);
        ++row;
    };
    // The generated names repeat now and then; a form names each entry once.
    std::set<std::string> named;
    for (int k = 0; row <= 1000; ++k) {
        for (const vm::TAltersklasse& ac : c) {
            if (k >= ac.Count() || row > 1000) continue;
            const vm::TTeilnehmer& p = *ac.At(k);
            const std::string key = ac.Name() + "|" + std::string(p.Name()) + "|" +
                                    std::string(p.Vorname()) + "|" +
                                    std::to_string(vm::FullBirthYear(c, p));
            if (!named.insert(key).second) continue;
            put(std::string(p.Name()), std::string(p.Vorname()), vm::FullBirthYear(c, p), ac,
                row % 2 ? "NEU" : "");
        }
    }
    for (int n = 0; row <= 2000; ++n) {
        const vm::TAltersklasse& ac = *c.At(n % c.Count());
        put("Gemeldet" + std::to_string(n), "Vorname", ac.Data.JahrgangVon, ac, "SH");
    }
    workbook_close(wb);
    return file;
}

// Import of that form: read, every row checked, new entries filed and known ones
// updated, the touched classes ranked. Each iteration starts from a fresh copy of the
// competition (the copy is not timed).
void BM_ImportEntries(benchmark::State& state) {
    vm::TWettkampf* c = nullptr;
    if (!Prepare(state, c)) return;
    const std::string file = EntriesWorkbook(*c);
    vm::TEntryReport r;
    for (auto _ : state) {
        state.PauseTiming();
        auto copy = vm::CopyCompetition(*c);
        state.ResumeTiming();
        vm::TEntrySheet sheet;
        std::string failure;
        if (!vm::ReadEntryFile(file, sheet, failure)) {
            state.SkipWithError(failure.c_str());
            break;
        }
        r = vm::ImportEntries(*copy, sheet, false);
        if (!r.errors.empty() || r.added + r.changed + r.unchanged != 2000) {
            state.SkipWithError(r.errors.empty() ? "not every row imported"
                                                 : vm::ProblemLine(r.errors.front()).c_str());
            break;
        }
        state.PauseTiming();
        copy.reset();
        state.ResumeTiming();
    }
    state.counters["new"] = r.added;
    state.counters["changed"] = r.changed;
    state.counters["unchanged"] = r.unchanged;
}

double MinOf(const std::vector<double>& v) {
    return v.empty() ? 0 : *std::min_element(v.begin(), v.end());
}
double MaxOf(const std::vector<double>& v) {
    return v.empty() ? 0 : *std::max_element(v.begin(), v.end());
}

// Every benchmark also reports the best (min) and the worst (max) repetition.
void Timed(benchmark::internal::Benchmark* b) {
    b->Unit(benchmark::kMillisecond)
        ->UseRealTime()
        ->ComputeStatistics("min", MinOf)
        ->ComputeStatistics("max", MaxOf);
}
// A child process per iteration: one iteration per repetition is enough.
void OncePerRepetition(benchmark::internal::Benchmark* b) {
    Timed(b);
    b->Iterations(1);
}

// ---- live results ----------------------------------------------------------------------

// velmora-cli publish without the process: the whole site (pages, CSV, JSON, workbook)
// rendered and written into a folder on the disk, every file renamed into place.
void BM_Publish(benchmark::State& state) {
    vm::TWettkampf* c = nullptr;
    if (!Prepare(state, c)) return;
    const std::string dir = (Workload().dir / "live").string();
    std::size_t bytes = 0;
    for (auto _ : state) {
        const auto site = vm::RenderSite(*c);
        std::string message;
        if (!vm::PublishSite(*site, dir, message)) {
            state.SkipWithError(message.c_str());
            break;
        }
        bytes = 0;
        for (const auto& f : site->Files)
            bytes += f.Body.size();
    }
    state.counters["site_MB"] = static_cast<double>(bytes) / (1024.0 * 1024.0);
}
// The same without the workbook, to show the workbook's share.
void BM_RenderSiteWithoutWorkbook(benchmark::State& state) {
    vm::TWettkampf* c = nullptr;
    if (!Prepare(state, c)) return;
    vm::TSiteOptions o;
    o.Workbook = false;
    for (auto _ : state)
        benchmark::DoNotOptimize(vm::RenderSite(*c, o));
}
// The workbook export alone, into memory: without the file's write and sync.
void BM_XlsxToMemory(benchmark::State& state) {
    vm::TWettkampf* c = nullptr;
    if (!Prepare(state, c)) return;
    for (auto _ : state) {
        vm::TMemoryStream s;
        if (!vm::ExportXlsx(*c, s)) {
            state.SkipWithError("workbook failed");
            break;
        }
    }
}

// velmora-cli print --list result as a whole process (start, load, build once, PDF).
void BM_CliPrintResult(benchmark::State& state) {
    if (!Workload().ready) {
        state.SkipWithError(Workload().error.c_str());
        return;
    }
    const std::string out = (Workload().dir / "CLI-RESULT.PDF").string();
    for (auto _ : state) {
        const TChildResult r = RunCli({"print", Workload().many, out, "--list", "result"});
        if (r.status != 0) {
            state.SkipWithError("velmora-cli print failed");
            break;
        }
    }
}

// The built-in server under wrk: 200 connections on the loopback for a few seconds,
// asking for one age-class page. wrk runs once per kind of run; the median and the
// 99th percentile it reports are the figures (as manual time). wrk's own figures are
// printed as it gives them.
//
// The judged run asks as every phone's browser does, with "Accept-Encoding: gzip",
// and gets the page compressed once per renewal (some 34 KB). The plain run asks
// without it and gets the whole page (some 190 KB): wrk then spends as much of the
// two cores reading as the server spends sending, so that run mostly shows what the
// loopback and the client manage. The renewal run is the judged one while the site
// is renewed every 100 ms, alternating between two renderings.
enum class TWrkKind { Phone, Plain, Renewing };

struct TWrkFigures {
    bool ran = false;
    std::string error;
    double medianMs = 0, p99Ms = 0, requestsPerSecond = 0;
    int renewals = 0;
};

// "  50%    1.23ms" -> 1.23 (us, ms and s are converted).
double WrkPercentile(const std::string& text, const std::string& percent) {
    const auto at = text.find(" " + percent + "% ");
    if (at == std::string::npos) return -1;
    std::istringstream in(text.substr(at + percent.size() + 2));
    std::string word;
    in >> word;
    double v = std::atof(word.c_str());
    if (word.find("us") != std::string::npos) return v / 1000.0;
    if (word.find("ms") != std::string::npos) return v;
    if (word.find('s') != std::string::npos) return v * 1000.0;
    return v;
}

const TWrkFigures& WrkRun(TWrkKind kind) {
    static std::map<TWrkKind, TWrkFigures> all;
    TWrkFigures& f = all[kind];
    if (f.ran) return f;
    f.ran = true;
    if (!Workload().ready) {
        f.error = Workload().error;
        return f;
    }
    if (std::system("command -v wrk >/dev/null 2>&1") != 0) {
        f.error = "wrk is not installed";
        return f;
    }
    auto c = vm::Load(Workload().many);
    if (!c) {
        f.error = "the workload could not be loaded";
        return f;
    }
    std::shared_ptr<const vm::TSite> site = vm::RenderSite(*c);
    std::shared_ptr<const vm::TSite> other;
    if (kind == TWrkKind::Renewing) {
        // A second rendering with one changed time, as after a change at the desk.
        vm::TTeilnehmer* p = c->At(0)->At(0);
        p->Zeit[0] += 1;
        other = vm::RenderSite(*c);
    }
    vm::TLiveServer server;
    server.Update(site);
    std::string message;
    if (!server.Start("127.0.0.1", 0, message)) {
        f.error = message;
        return f;
    }
    std::atomic<bool> stop{false};
    std::thread renewer;
    if (kind == TWrkKind::Renewing)
        renewer = std::thread([&] {
            while (!stop) {
                std::this_thread::sleep_for(std::chrono::milliseconds(100));
                server.Update(f.renewals % 2 ? site : other);
                ++f.renewals;
            }
        });
    const std::string out = (Workload().dir / "wrk.txt").string();
    const std::string header = kind == TWrkKind::Plain ? "" : "-H 'Accept-Encoding: gzip' ";
    const std::string cmd = "wrk -t2 -c200 -d5s --timeout 5s --latency " + header +
                            "http://127.0.0.1:" + std::to_string(server.Port()) +
                            "/ak-1.html > " + out + " 2>&1";
    const int status = std::system(cmd.c_str());
    stop = true;
    if (renewer.joinable()) renewer.join();
    server.Stop();
    std::ifstream in(out);
    std::stringstream text;
    text << in.rdbuf();
    std::cout << "wrk " << (kind == TWrkKind::Plain ? "(plain)" : kind == TWrkKind::Phone
                                                                     ? "(Accept-Encoding: gzip)"
                                                                     : "(gzip, renewals)")
              << ":\n"
              << text.str() << std::flush;
    if (status != 0) {
        f.error = "wrk failed: " + text.str();
        return f;
    }
    f.medianMs = WrkPercentile(text.str(), "50");
    f.p99Ms = WrkPercentile(text.str(), "99");
    const auto rps = text.str().find("Requests/sec:");
    if (rps != std::string::npos) f.requestsPerSecond = std::atof(text.str().c_str() + rps + 13);
    if (f.medianMs < 0 || f.p99Ms < 0) f.error = "no latency in wrk's output: " + text.str();
    return f;
}

void ServerFigure(benchmark::State& state, TWrkKind kind, bool p99) {
    const TWrkFigures& f = WrkRun(kind);
    if (!f.error.empty()) {
        state.SkipWithError(f.error.c_str());
        return;
    }
    for (auto _ : state)
        state.SetIterationTime((p99 ? f.p99Ms : f.medianMs) / 1000.0);
    state.counters["requests_per_s"] = f.requestsPerSecond;
    if (kind == TWrkKind::Renewing) state.counters["renewals"] = f.renewals;
}
void BM_ServeAgeClassPageMedian(benchmark::State& state) {
    ServerFigure(state, TWrkKind::Phone, false);
}
void BM_ServeAgeClassPageP99(benchmark::State& state) {
    ServerFigure(state, TWrkKind::Phone, true);
}
void BM_ServeAgeClassPagePlainMedian(benchmark::State& state) {
    ServerFigure(state, TWrkKind::Plain, false);
}
void BM_ServeAgeClassPagePlainP99(benchmark::State& state) {
    ServerFigure(state, TWrkKind::Plain, true);
}
void BM_ServeAgeClassPageRenewingMedian(benchmark::State& state) {
    ServerFigure(state, TWrkKind::Renewing, false);
}
void BM_ServeAgeClassPageRenewingP99(benchmark::State& state) {
    ServerFigure(state, TWrkKind::Renewing, true);
}
// wrk's figures are taken once; a run of the benchmark only reports them.
void FromWrk(benchmark::internal::Benchmark* b) {
    b->Unit(benchmark::kMillisecond)->UseManualTime()->Iterations(1)->Repetitions(1);
}

BENCHMARK(BM_Load)->Apply(Timed);
BENCHMARK(BM_Save)->Apply(Timed);
BENCHMARK(BM_Save_Shm)->Apply(Timed);
BENCHMARK(BM_Save_SerialiseOnly)->Apply(Timed);
BENCHMARK(BM_RecalcOneChange)->Apply(Timed);
BENCHMARK(BM_ExportCsv)->Apply(Timed);
BENCHMARK(BM_ExportDbf)->Apply(Timed);
BENCHMARK(BM_ExportXls)->Apply(Timed);
BENCHMARK(BM_ExportXlsx)->Apply(Timed);
BENCHMARK(BM_ExportHtml)->Apply(Timed);
BENCHMARK(BM_ExportPdf)->Apply(Timed);
BENCHMARK(BM_ExportCsv_Shm)->Apply(Timed);
BENCHMARK(BM_ExportDbf_Shm)->Apply(Timed);
BENCHMARK(BM_ExportXls_Shm)->Apply(Timed);
BENCHMARK(BM_ExportXlsx_Shm)->Apply(Timed);
BENCHMARK(BM_ExportHtml_Shm)->Apply(Timed);
BENCHMARK(BM_ExportPdf_Shm)->Apply(Timed);
BENCHMARK(BM_PrintResultListPdf)->Apply(Timed);
BENCHMARK(BM_CertificatesPdf)->Apply(Timed);
BENCHMARK(BM_PeakMemoryCliPrint)->Apply(OncePerRepetition);
BENCHMARK(BM_Check)->Apply(Timed);
BENCHMARK(BM_CheckCli)->Apply(Timed);
BENCHMARK(BM_ApplyHeat)->Apply(Timed);
BENCHMARK(BM_JournalQualification)->Apply(Timed);
BENCHMARK(BM_Publish)->Apply(Timed);
BENCHMARK(BM_RenderSiteWithoutWorkbook)->Apply(Timed);
BENCHMARK(BM_XlsxToMemory)->Apply(Timed);
BENCHMARK(BM_CliPrintResult)->Apply(OncePerRepetition);
BENCHMARK(BM_ServeAgeClassPageMedian)->Apply(FromWrk);
BENCHMARK(BM_ServeAgeClassPageP99)->Apply(FromWrk);
BENCHMARK(BM_ServeAgeClassPagePlainMedian)->Apply(FromWrk);
BENCHMARK(BM_ServeAgeClassPagePlainP99)->Apply(FromWrk);
BENCHMARK(BM_ServeAgeClassPageRenewingMedian)->Apply(FromWrk);
BENCHMARK(BM_ServeAgeClassPageRenewingP99)->Apply(FromWrk);
BENCHMARK(BM_EntryForm)->Apply(Timed);
BENCHMARK(BM_ImportEntries)->Apply(Timed);

// ---- summary -------------------------------------------------------------------------

struct TTarget {
    const char* what;
    double limit; // milliseconds, or MB for the memory figure
    bool memory = false;
};

struct TNamedTarget {
    std::string name;
    TTarget target;
};

const std::vector<TNamedTarget>& Targets() {
    static const std::vector<TNamedTarget> t{
        {"BM_Load", {"load (recalculating every class)", 30}},
        {"BM_Save", {"save (with sync, on disk)", 30}},
        {"BM_Save_Shm", {"save (on /dev/shm)", 30}},
        {"BM_Save_SerialiseOnly", {"save (serialisation only)", 30}},
        {"BM_RecalcOneChange", {"recalc + rank one class of 16 000", 5}},
        {"BM_ExportCsv", {"export CSV", 100}},
        {"BM_ExportCsv_Shm", {"export CSV (on /dev/shm)", 100}},
        {"BM_ExportDbf", {"export dBase", 100}},
        {"BM_ExportDbf_Shm", {"export dBase (on /dev/shm)", 100}},
        {"BM_ExportXls", {"export Excel", 100}},
        {"BM_ExportXls_Shm", {"export Excel (on /dev/shm)", 100}},
        {"BM_ExportXlsx", {"export Excel workbook", 300}},
        {"BM_ExportXlsx_Shm", {"export Excel workbook (on /dev/shm)", 300}},
        {"BM_ExportHtml", {"export HTML", 100}},
        {"BM_ExportHtml_Shm", {"export HTML (on /dev/shm)", 100}},
        {"BM_ExportPdf", {"result list as PDF (save as)", 300}},
        {"BM_ExportPdf_Shm", {"result list as PDF (save as, /dev/shm)", 300}},
        {"BM_PrintResultListPdf", {"result list as PDF (print)", 300}},
        {"BM_CertificatesPdf", {"120 certificates as PDF", 200}},
        {"BM_PeakMemoryCliPrint", {"peak memory velmora-cli print", 100, true}},
        {"BM_Check", {"data checks of the competition", 100}},
        {"BM_CheckCli", {"velmora-cli check (load included)", 100}},
        {"BM_ApplyHeat", {"apply a heat of eight, rank, next heat", 20}},
        {"BM_JournalQualification", {"journal block of a qualification", 50}},
        {"BM_Publish", {"publish the live results site", 500}},
        {"BM_CliPrintResult", {"velmora-cli print --list result", 60}},
        {"BM_ServeAgeClassPageMedian", {"server, 200 connections: median", 5}},
        {"BM_ServeAgeClassPageP99", {"server, 200 connections: 99th pct.", 50}},
        {"BM_ServeAgeClassPageRenewingMedian", {"server, renewed every 100 ms: median", 5}},
        {"BM_ServeAgeClassPageRenewingP99", {"server, renewed every 100 ms: 99th", 50}},
        {"BM_EntryForm", {"entry form of 40 age classes", 100}},
        {"BM_ImportEntries", {"import an entry form of 2 000 rows", 200}},
    };
    return t;
}

// Prints the usual console output and keeps the median, best and worst of each
// benchmark for the summary at the end. With a single repetition there are no
// aggregates; the one run then stands for all three.
class TSummaryReporter : public benchmark::ConsoleReporter {
public:
    using ConsoleReporter::ConsoleReporter;

    void ReportRuns(const std::vector<Run>& runs) override {
        ConsoleReporter::ReportRuns(runs);
        for (const Run& r : runs) {
            TCollected& c = collected_[r.run_name.function_name];
            if (r.error_occurred) {
                c.error = r.error_message;
                continue;
            }
            const double value = Value(r);
            if (r.run_type == Run::RT_Iteration) {
                c.median = c.best = c.worst = value;
                c.have = true;
            } else if (r.aggregate_name == "median") {
                c.median = value;
            } else if (r.aggregate_name == "min") {
                c.best = value;
            } else if (r.aggregate_name == "max") {
                c.worst = value;
            }
            if (r.run_type == Run::RT_Aggregate) c.have = true;
        }
    }

    void Finalize() override {
        ConsoleReporter::Finalize();
        std::ostream& out = GetOutputStream();
        out << "\nSummary (best and median of the repetitions; a target counts as met by the "
               "median,\n"
               "memory by the highest peak):\n";
        bool allOk = true;
        char line[256];
        for (const auto& [name, target] : Targets()) {
            auto it = collected_.find(name);
            if (it == collected_.end()) continue;
            const TCollected& c = it->second;
            if (!c.error.empty() || !c.have) {
                std::snprintf(line, sizeof line, "  %-40s ERROR %s\n", target.what,
                              c.error.c_str());
                out << line;
                allOk = false;
                continue;
            }
            const bool ok = (target.memory ? c.worst : c.median) < target.limit;
            allOk = allOk && ok;
            if (target.memory)
                std::snprintf(line, sizeof line,
                              "  %-40s peak %8.1f MB                     (target %4g MB) %s\n",
                              target.what, c.worst, target.limit, ok ? "OK" : "MISSED");
            else
                std::snprintf(line, sizeof line,
                              "  %-40s best %8.2f ms  median %8.2f ms  (target %4g ms) %s\n",
                              target.what, c.best, c.median, target.limit, ok ? "OK" : "MISSED");
            out << line;
        }
        out << (allOk ? "All targets met.\n" : "Some targets missed.\n");
    }

private:
    struct TCollected {
        bool have = false;
        double median = 0, best = 0, worst = 0;
        std::string error;
    };

    // Milliseconds of real time, or the peak memory counter where there is one.
    static double Value(const Run& r) {
        if (auto it = r.counters.find("peak_MB"); it != r.counters.end()) return it->second.value;
        const double t = r.GetAdjustedRealTime();
        switch (r.time_unit) {
        case benchmark::kNanosecond:
            return t / 1e6;
        case benchmark::kMicrosecond:
            return t / 1e3;
        case benchmark::kMillisecond:
            return t;
        case benchmark::kSecond:
            return t * 1e3;
        }
        return t;
    }

    std::map<std::string, TCollected> collected_;
};

} // namespace

int main(int argc, char** argv) {
    // Defaults that the command line may override (a later flag wins): a few
    // repetitions for the noise of a shared machine, short runs, aggregates on screen.
    std::vector<char*> args;
    args.push_back(argv[0]);
    std::string reps = "--benchmark_repetitions=5";
    std::string minTime = "--benchmark_min_time=0.2";
    std::string aggregates = "--benchmark_display_aggregates_only=true";
    args.push_back(reps.data());
    args.push_back(minTime.data());
    args.push_back(aggregates.data());
    for (int i = 1; i < argc; ++i)
        args.push_back(argv[i]);
    int n = static_cast<int>(args.size());
    args.push_back(nullptr);

    benchmark::Initialize(&n, args.data());
    if (benchmark::ReportUnrecognizedArguments(n, args.data())) return 1;

    vm::SetMessageHook([](const std::string& text) { LastMessage() = text; });
    vm::InstallExportWriters();
    vm::InstallPdfExport();

    if (!MakeWorkload()) std::cerr << "velmora_bench: " << Workload().error << "\n";

    // Colours only on a terminal.
    TSummaryReporter reporter(isatty(STDOUT_FILENO) ? benchmark::ConsoleReporter::OO_ColorTabular
                                                    : benchmark::ConsoleReporter::OO_Tabular);
    benchmark::RunSpecifiedBenchmarks(&reporter);
    benchmark::Shutdown();
    RemoveWorkload();
    return Workload().ready ? 0 : 1;
}

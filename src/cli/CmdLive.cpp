#include "cli/CmdLive.h"

#include "cli/CliSupport.h"
#include "journal/VmJournal.h"
#include "live/VmPoster.h"
#include "live/VmServer.h"
#include "live/VmSite.h"
#include "output/PdfDevice.h"
#include "output/VmPdfExport.h"

#include <atomic>
#include <chrono>
#include <csignal>
#include <iostream>
#include <sys/stat.h>
#include <thread>

namespace vm::cli {

namespace {

// The pages name the time of each age class's last change, as the journal beside the
// result file records it.
TSiteOptions SiteOptionsOf(const std::string& file) {
    TSiteOptions options;
    options.LastChange = LastChangeOfFile(file);
    return options;
}

const TCommandSpec& PublishSpec() {
    static const TCommandSpec cmd{
        "publish FILE DIR",
        "Writes the live results site of the competition into DIR (created when missing):\n"
        "index.html, ak-N.html per age class with participants, velmora.css, velmora.js,\n"
        "ergebnisse.csv, ergebnisse.xlsx and ergebnisse.json. Every file is written under a\n"
        "temporary name and renamed into place; pages of age classes that are gone are\n"
        "removed; other files in DIR are left alone. Put DIR on any web host, e.g.\n"
        "  rsync -a --delete-after DIR/ user@host:/var/www/live/",
        {},
        {},
        2,
        2};
    return cmd;
}

const TCommandSpec& ServeSpec() {
    static const TCommandSpec cmd{
        "serve FILE [--port P] [--bind ADDR]",
        "Serves the live results site of FILE on the network (default port 8080, every\n"
        "interface) and renews it whenever FILE changes on disk. Runs until interrupted\n"
        "(Ctrl+C, SIGTERM) and then exits with 0.\n"
        "\n"
        "  --port P      the TCP port (1..65535, default 8080)\n"
        "  --bind ADDR   the address to listen on (default 0.0.0.0, e.g. 127.0.0.1)",
        {"--port", "--bind"},
        {},
        1,
        1};
    return cmd;
}

const TCommandSpec& PosterSpec() {
    static const TCommandSpec cmd{
        "poster FILE OUT.pdf --url URL",
        "Writes the notice for the board at the venue as a one-page A4 PDF: the competition,\n"
        "\"Live-Ergebnisse\", URL in large type and its QR code.",
        {"--url"},
        {},
        2,
        2};
    return cmd;
}

std::atomic<bool> stopRequested{false};

extern "C" void OnStopSignal(int) {
    stopRequested = true;
}

// What tells a changed result file: modification time and size.
struct TFileStamp {
    long long seconds = -1, nanos = 0, size = -1;
    bool operator==(const TFileStamp&) const = default;
};

TFileStamp StampOf(const std::string& file) {
    struct stat st {};
    if (::stat(file.c_str(), &st) != 0) return {};
    return {static_cast<long long>(st.st_mtim.tv_sec), static_cast<long long>(st.st_mtim.tv_nsec),
            static_cast<long long>(st.st_size)};
}

} // namespace

int CmdPublish(const std::vector<std::string>& args) {
    const TCommandSpec& cmd = PublishSpec();
    TArgs a;
    int status = 0;
    if (!ParseArgs(args, cmd, a, status)) return status;
    auto c = LoadCompetition(a.positional[0]);
    if (!c) return 1;
    const auto site = RenderSite(*c, SiteOptionsOf(a.positional[0]));
    std::string message;
    if (!PublishSite(*site, a.positional[1], message)) {
        std::cerr << message << "\n";
        return 1;
    }
    Summary("Veröffentlicht: " + std::to_string(site->Files.size()) + " Dateien in " +
            a.positional[1] + ".");
    return 0;
}

int CmdServe(const std::vector<std::string>& args) {
    const TCommandSpec& cmd = ServeSpec();
    TArgs a;
    int status = 0;
    if (!ParseArgs(args, cmd, a, status)) return status;
    long long port = LiveDefaultPort;
    if (!GetInt(a, cmd, "--port", LiveDefaultPort, 1, 65535, port, status)) return status;
    const std::string address = a.Get("--bind", "0.0.0.0");
    const std::string& file = a.positional[0];

    TFileStamp stamp = StampOf(file);
    auto c = LoadCompetition(file);
    if (!c) return 1;
    TLiveServer server;
    server.Update(RenderSite(*c, SiteOptionsOf(file)));
    c.reset();
    std::string message;
    if (!server.Start(address, static_cast<int>(port), message)) {
        std::cerr << message << "\n";
        return 1;
    }
    stopRequested = false;
    struct sigaction sa {};
    sa.sa_handler = OnStopSignal;
    sigemptyset(&sa.sa_mask);
    ::sigaction(SIGINT, &sa, nullptr);
    ::sigaction(SIGTERM, &sa, nullptr);

    const std::string shown = address == "0.0.0.0" ? LanAddress() : address;
    std::cerr << "Live-Ergebnisse unter http://" << (shown.empty() ? "127.0.0.1" : shown) << ":"
              << server.Port() << "/ (Ende mit Strg+C)" << std::endl;

    // The file is looked at twice a second; a changed one is read again once it has
    // stayed the same for one look, so that a save in progress is not read half way.
    TFileStamp seen = stamp;
    for (int tick = 1; !stopRequested; ++tick) {
        // Short naps, so that a signal ends the loop at once.
        std::this_thread::sleep_for(std::chrono::milliseconds(100));
        if (tick % 5 != 0) continue;
        const TFileStamp now = StampOf(file);
        if (now == stamp) continue;
        if (!(now == seen)) {
            seen = now;
            continue;
        }
        stamp = now;
        auto changed = LoadCompetition(file);
        if (!changed) {
            std::cerr << "Die Datei " << file
                      << " konnte nicht gelesen werden; die bisherigen Ergebnisse bleiben."
                      << std::endl;
            continue;
        }
        server.Update(RenderSite(*changed, SiteOptionsOf(file)));
        std::cerr << "Erneuert: " << SiteTimeText(std::time(nullptr)) << std::endl;
    }
    server.Stop();
    return 0;
}

int CmdPoster(const std::vector<std::string>& args) {
    const TCommandSpec& cmd = PosterSpec();
    TArgs a;
    int status = 0;
    if (!ParseArgs(args, cmd, a, status)) return status;
    if (!a.Has("--url") || a.Get("--url").empty()) return UsageError(cmd, "--url is required");
    auto c = LoadCompetition(a.positional[0]);
    if (!c) return 1;
    const auto poster = BuildPoster(*c, a.Get("--url"));
    if (!poster) {
        std::cerr << "Die Adresse ist zu lang für einen QR-Code.\n";
        return 1;
    }
    TPdfInfo info = TPdfInfo::Defaults();
    FillPdfInfo(info, *c);
    info.Title = "Live-Ergebnisse";
    return ReportingFailure(a.positional[1], "nicht geschrieben",
                            [&] {
                                return ExportDocumentToPdf(*poster, a.positional[1], PosterWidth,
                                                           PosterHeight, info);
                            })
               ? 0
               : 1;
}

} // namespace vm::cli

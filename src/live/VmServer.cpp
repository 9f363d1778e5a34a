#include "live/VmServer.h"

#include <httplib.h>
#include <zlib.h>

#include <algorithm>
#include <arpa/inet.h>
#include <atomic>
#include <cerrno>
#include <cctype>
#include <chrono>
#include <condition_variable>
#include <cstdlib>
#include <cstring>
#include <ifaddrs.h>
#include <mutex>
#include <net/if.h>
#include <netinet/in.h>
#include <netinet/tcp.h>
#include <sys/resource.h>
#include <sys/socket.h>
#include <thread>

namespace vm {

namespace {

// Enough workers that every connection of a full gym hall's worth of phones (and a
// load test of 200 connections) is served at once instead of queueing behind others
// that hold their connection open.
constexpr std::size_t WorkerCount = 256;
constexpr std::size_t MaxHeaderCount = 64;
constexpr std::size_t MaxPayload = 16 * 1024;

// The request header the pre-routing step leaves for the handler: the client takes gzip.
constexpr const char* GzipMark = "X-Velmora-Gzip";

// The body as gzip (fastest level: it is made once per renewal for every reader);
// empty when zlib fails or the result would not be smaller. With `stop`, the body is
// taken in pieces and the work given up (empty) once it is set.
std::string Gzip(const std::string& body, const std::atomic<bool>* stop = nullptr) {
    z_stream z{};
    if (deflateInit2(&z, 1, Z_DEFLATED, 15 + 16, 8, Z_DEFAULT_STRATEGY) != Z_OK) return {};
    std::string out(deflateBound(&z, body.size()) + 32, '\0');
    z.next_out = reinterpret_cast<Bytef*>(out.data());
    z.avail_out = static_cast<uInt>(out.size());
    const std::size_t piece = stop ? std::size_t{256} << 10 : body.size();
    std::size_t taken = 0;
    int rc = Z_OK;
    for (;;) {
        const std::size_t n = std::min(piece, body.size() - taken);
        z.next_in = reinterpret_cast<Bytef*>(const_cast<char*>(body.data() + taken));
        z.avail_in = static_cast<uInt>(n);
        taken += n;
        const bool last = taken == body.size();
        rc = deflate(&z, last ? Z_FINISH : Z_NO_FLUSH);
        if (last || rc != Z_OK || (stop && *stop)) break;
    }
    const std::size_t size = z.total_out;
    deflateEnd(&z);
    if (rc != Z_STREAM_END || size >= body.size()) return {};
    out.resize(size);
    return out;
}

bool Compressible(const std::string& contentType) {
    return contentType.rfind("text/", 0) == 0 || contentType.rfind("application/json", 0) == 0;
}

// Whether an Accept-Encoding value allows gzip (not refused with q=0).
bool AcceptsGzip(const std::string& accept) {
    std::size_t start = 0;
    while (start <= accept.size()) {
        std::size_t end = accept.find(',', start);
        if (end == std::string::npos) end = accept.size();
        std::string item = accept.substr(start, end - start);
        start = end + 1;
        const auto semi = item.find(';');
        std::string name = item.substr(0, semi);
        name.erase(0, name.find_first_not_of(" \t"));
        name.erase(name.find_last_not_of(" \t") + 1);
        for (char& ch : name)
            ch = static_cast<char>(std::tolower(static_cast<unsigned char>(ch)));
        if (name != "gzip" && name != "*") continue;
        if (semi == std::string::npos) return true;
        const auto q = item.find("q=", semi);
        return q == std::string::npos || std::atof(item.c_str() + q + 2) > 0;
    }
    return false;
}

} // namespace

// One renewal as the readers get it: the site and its files compressed once.
using TCompressed = std::shared_ptr<const std::string>;
struct TServedSite {
    std::shared_ptr<const TSite> site;
    std::vector<TCompressed> gzip; // by the site's file index; none: send as is
};

// Files from this size on (the downloads of a large competition, megabytes each) are
// compressed by a worker of the lowest priority once the renewal has been served for
// a moment: until then they go out as they are. Pages are compressed by the renewal
// itself.
constexpr std::size_t LargeFile = 1u << 20;
// How long a renewal must stay before its large files are compressed.
constexpr std::chrono::milliseconds QuietTime{500};

struct TLiveServer::TImpl {
    httplib::Server server;
    std::thread thread;
    int port = 0;
    int listenSocket = -1; // the socket the library listens on, seen when it was made
    mutable std::mutex siteMutex;
    std::shared_ptr<const TServedSite> served;

    // The worker for the large files: it takes the latest renewal with large files
    // left and works only while nothing else wants the processor.
    std::mutex workMutex;
    std::condition_variable workCv;
    std::shared_ptr<const TServedSite> work;
    std::atomic<bool> workStop{false};
    std::thread worker;

    ~TImpl() {
        {
            std::lock_guard<std::mutex> lock(workMutex);
            workStop = true;
        }
        workCv.notify_one();
        if (worker.joinable()) worker.join();
    }

    std::shared_ptr<const TServedSite> Served() const {
        std::lock_guard<std::mutex> lock(siteMutex);
        return served;
    }

    // Swaps in a renewal; the one it replaces is freed outside the lock (or by the
    // last reader still holding it).
    void Publish(std::shared_ptr<const TServedSite> next) {
        std::shared_ptr<const TServedSite> old;
        std::lock_guard<std::mutex> lock(siteMutex);
        old = std::move(served);
        served = std::move(next);
    }

    void Defer(std::shared_ptr<const TServedSite> site) {
        {
            std::lock_guard<std::mutex> lock(workMutex);
            work = std::move(site);
            if (!worker.joinable()) worker = std::thread([this] { CompressLargeFiles(); });
        }
        workCv.notify_one();
    }

    void CompressLargeFiles() {
        ::setpriority(PRIO_PROCESS, static_cast<id_t>(::gettid()), 19);
        for (;;) {
            std::shared_ptr<const TServedSite> target;
            {
                std::unique_lock<std::mutex> lock(workMutex);
                workCv.wait(lock, [this] { return workStop || work; });
                // Renewals that follow one another closely (results typed in a row) are
                // let pass: only the one that stays for a moment is compressed.
                do {
                    if (workStop) return;
                    target = std::move(work);
                } while (workCv.wait_for(lock, QuietTime, [this] { return workStop || work; }));
            }
            const std::vector<TSiteFile>& files = target->site->Files;
            for (std::size_t i = 0; i < files.size(); ++i) {
                if (target->gzip[i] || !Compressible(files[i].ContentType) ||
                    files[i].Body.size() < LargeFile)
                    continue;
                {
                    // A newer renewal is worked on instead.
                    std::lock_guard<std::mutex> lock(workMutex);
                    if (workStop || work) break;
                }
                auto gz = std::make_shared<const std::string>(Gzip(files[i].Body, &workStop));
                if (gz->empty()) continue;
                Install(files[i], std::move(gz));
            }
        }
    }

    // Puts a compressed file into the renewal served now, when that still has this very
    // file. Files are compared outside the lock, which is held only for the swap.
    void Install(const TSiteFile& file, TCompressed gz) {
        for (;;) {
            const std::shared_ptr<const TServedSite> current = Served();
            if (!current || !current->site) return;
            const TSiteFile* now = current->site->Find(file.Name);
            if (!now || (&now->Body != &file.Body && now->Body != file.Body)) return;
            const auto k = static_cast<std::size_t>(now - current->site->Files.data());
            if (current->gzip[k]) return;
            auto next = std::make_shared<TServedSite>(*current);
            next->gzip[k] = gz;
            std::shared_ptr<const TServedSite> old;
            {
                std::lock_guard<std::mutex> lock(siteMutex);
                if (served != current) continue; // renewed meanwhile: look again
                old = std::move(served);
                served = std::move(next);
            }
            return;
        }
    }

    void Serve(const httplib::Request& req, httplib::Response& res) const {
        std::shared_ptr<const TServedSite> snapshot = Served();
        const TSite* current = snapshot ? snapshot->site.get() : nullptr;
        // The path as decoded by the library: only the exact name of one of the site's
        // files matches; "..", slashes (encoded or not) and anything else find nothing.
        std::string name = req.path;
        if (name == "/") name = "/index.html";
        const TSiteFile* file = nullptr;
        if (current && name.size() > 1 && name[0] == '/') file = current->Find(name.substr(1));
        res.set_header("Cache-Control", "no-cache");
        res.set_header("X-Content-Type-Options", "nosniff");
        if (!file) {
            res.status = current ? 404 : 503;
            res.set_content(current ? "Nicht gefunden.\n" : "Noch keine Ergebnisse.\n",
                            "text/plain; charset=utf-8");
            return;
        }
        res.status = 200;
        const auto index = static_cast<std::size_t>(file - current->Files.data());
        const TCompressed& gz = snapshot->gzip[index];
        if (Compressible(file->ContentType)) res.set_header("Vary", "Accept-Encoding");
        const bool zipped = gz && !gz->empty() && req.has_header(GzipMark);
        if (zipped) res.set_header("Content-Encoding", "gzip");
        const std::string& body = zipped ? *gz : file->Body;
        if (body.empty()) {
            res.set_content(body, file->ContentType.c_str());
            return;
        }
        // Sent straight from the renewal it belongs to, which the answer holds until it
        // is written, instead of being copied into every answer.
        res.set_content_provider(
            body.size(), file->ContentType,
            [snapshot, data = body.data()](std::size_t offset, std::size_t length,
                                           httplib::DataSink& sink) {
                return sink.write(data + offset, length);
            });
    }
};

TLiveServer::TLiveServer() : impl_(std::make_unique<TImpl>()) {
    httplib::Server& s = impl_->server;
    s.new_task_queue = [] { return new httplib::ThreadPool(WorkerCount); };
    s.set_keep_alive_max_count(1000);
    s.set_keep_alive_timeout(2);
    s.set_read_timeout(5);
    s.set_write_timeout(5);
    s.set_payload_max_length(MaxPayload);
    // The library's default also sets SO_REUSEPORT, which lets a second server share a
    // port that is in use instead of being refused; only the address is reused here, so
    // that a restart right after a stop still binds.
    TImpl* self = impl_.get();
    //
    // The library writes an answer's head and body with two sends. With Nagle's
    // algorithm the body, when smaller than one segment, waits until the client has
    // acknowledged the head, and clients delay that acknowledgement by up to 40 ms:
    // every compressed page would take that long. Accepted connections take
    // TCP_NODELAY over from the listening socket.
    s.set_socket_options([self](int sock) {
        int yes = 1;
        ::setsockopt(sock, SOL_SOCKET, SO_REUSEADDR, &yes, sizeof yes);
        ::setsockopt(sock, IPPROTO_TCP, TCP_NODELAY, &yes, sizeof yes);
        self->listenSocket = sock;
    });
    s.set_pre_routing_handler([](const httplib::Request& req, httplib::Response& res) {
        if (req.method != "GET" && req.method != "HEAD") {
            res.status = 405;
            res.set_header("Allow", "GET, HEAD");
            res.set_header("Connection", "close");
            res.set_content("Nur GET und HEAD.\n", "text/plain; charset=utf-8");
            return httplib::Server::HandlerResponse::Handled;
        }
        const std::size_t headerCount = req.headers.size();
        // The library would compress every answer anew for each reader, brotli taking
        // seconds for one large page; the site's files are compressed once per renewal
        // instead. The client's wish is kept as our own mark and the header removed, so
        // that the library sends what the handler gives it. The request object is the
        // library's own, not a constant one; only the handler reads it after this.
        auto& headers = const_cast<httplib::Request&>(req).headers;
        const bool gzip = AcceptsGzip(req.get_header_value("Accept-Encoding"));
        headers.erase("Accept-Encoding");
        headers.erase(GzipMark);
        if (gzip) headers.emplace(GzipMark, "1");
        if (headerCount > MaxHeaderCount) {
            res.status = 431;
            res.set_header("Connection", "close");
            res.set_content("Zu viele Kopfzeilen.\n", "text/plain; charset=utf-8");
            return httplib::Server::HandlerResponse::Handled;
        }
        return httplib::Server::HandlerResponse::Unhandled;
    });
    TImpl* impl = impl_.get();
    s.Get(".*", [impl](const httplib::Request& req, httplib::Response& res) { impl->Serve(req, res); });
    s.set_exception_handler([](const httplib::Request&, httplib::Response& res, std::exception_ptr) {
        res.status = 500;
        res.set_content("Interner Fehler.\n", "text/plain; charset=utf-8");
    });
}

TLiveServer::~TLiveServer() {
    Stop();
}

bool TLiveServer::Start(const std::string& address, int port, std::string& message) {
    if (Running()) {
        message = "Die Live-Ergebnisse werden schon angeboten.";
        return false;
    }
    httplib::Server& s = impl_->server;
    errno = 0;
    int bound = -1;
    if (port == 0) {
        bound = s.bind_to_any_port(address);
    } else if (s.bind_to_port(address, port)) {
        bound = port;
    }
    if (bound <= 0) {
        const int error = errno;
        if (error == EADDRINUSE)
            message = "Der Port " + std::to_string(port) +
                      " ist schon belegt (läuft dort ein anderer Server?). Bitte einen anderen "
                      "Port wählen.";
        else
            message = "Die Live-Ergebnisse können nicht unter " + address + ":" +
                      std::to_string(port) + " angeboten werden" +
                      (error ? std::string(": ") + std::strerror(error) : std::string(".")) ;
        return false;
    }
    impl_->port = bound;
    // The library listens with a queue of 5 pending connections: a hall of phones (or
    // a load test) opening connections at once overflows it, and each dropped one waits
    // a second or more for its retry. Listening again on the same socket only makes the
    // queue longer.
    if (impl_->listenSocket >= 0) ::listen(impl_->listenSocket, SOMAXCONN);
    impl_->thread = std::thread([this] { impl_->server.listen_after_bind(); });
    // Requests are only answered once the accept loop runs; Start returns when it does.
    while (!impl_->server.is_running())
        std::this_thread::yield();
    return true;
}

void TLiveServer::Stop() {
    if (impl_->thread.joinable()) {
        impl_->server.stop();
        impl_->thread.join();
    }
}

bool TLiveServer::Running() const {
    return impl_->thread.joinable() && impl_->server.is_running();
}

int TLiveServer::Port() const {
    return impl_->port;
}

void TLiveServer::Update(std::shared_ptr<const TSite> site) {
    // Compressed here, by the one who renews, never by a reader. A file that is the
    // same as in the site served so far keeps its compressed form: a change touches
    // one age class's page, the overview and the downloads, not the other pages.
    const std::shared_ptr<const TServedSite> previous = impl_->Served();
    const TSite* before = previous ? previous->site.get() : nullptr;
    auto served = std::make_shared<TServedSite>();
    bool deferred = false;
    if (site)
        for (const TSiteFile& f : site->Files) {
            TCompressed gz;
            if (Compressible(f.ContentType)) {
                const TSiteFile* old = before ? before->Find(f.Name) : nullptr;
                if (old && old->ContentType == f.ContentType && old->Body == f.Body)
                    gz = previous->gzip[static_cast<std::size_t>(old - before->Files.data())];
                if (!gz && f.Body.size() >= LargeFile)
                    deferred = true;
                else if (!gz)
                    gz = std::make_shared<const std::string>(Gzip(f.Body));
            }
            served->gzip.push_back(std::move(gz));
        }
    served->site = std::move(site);
    if (deferred) {
        impl_->Publish(served);
        impl_->Defer(std::move(served));
    } else {
        impl_->Publish(std::move(served));
    }
}

std::shared_ptr<const TSite> TLiveServer::Current() const {
    auto served = impl_->Served();
    return served ? served->site : nullptr;
}

std::string LanAddress() {
    ifaddrs* list = nullptr;
    if (::getifaddrs(&list) != 0) return {};
    std::string found;
    for (ifaddrs* a = list; a && found.empty(); a = a->ifa_next) {
        if (!a->ifa_addr || a->ifa_addr->sa_family != AF_INET) continue;
        if (!(a->ifa_flags & IFF_UP) || (a->ifa_flags & IFF_LOOPBACK)) continue;
        char buf[INET_ADDRSTRLEN];
        const auto* in = reinterpret_cast<const sockaddr_in*>(a->ifa_addr);
        if (::inet_ntop(AF_INET, &in->sin_addr, buf, sizeof buf)) found = buf;
    }
    ::freeifaddrs(list);
    return found;
}

} // namespace vm

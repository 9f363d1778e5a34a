// The built-in server under real HTTP requests on the loopback interface.
#include "live/VmServer.h"

#include "support/Builders.h"

#include <gtest/gtest.h>

#include <arpa/inet.h>
#include <atomic>
#include <chrono>
#include <netinet/in.h>
#include <sys/socket.h>
#include <sys/time.h>
#include <thread>
#include <csignal>
#include <poll.h>
#include <sys/wait.h>
#include <unistd.h>

#include "file/VmErg.h"

using namespace vm;
using namespace vmtest;

namespace {

using TReply = HttpReply;

TReply Get(int port, const std::string& path, const std::string& method = "GET",
           const std::string& extra = "") {
    return HttpGet(port, path, method, extra);
}

class Served : public ::testing::Test {
protected:
    void SetUp() override {
        c_ = ExportCompetition();
        site_ = RenderSite(*c_);
        server_.Update(site_);
        std::string message;
        ASSERT_TRUE(server_.Start("127.0.0.1", 0, message)) << message;
        port_ = server_.Port();
    }
    std::unique_ptr<TWettkampf> c_;
    std::shared_ptr<const TSite> site_;
    TLiveServer server_;
    int port_ = 0;
};

} // namespace

TEST_F(Served, AnswersTheSitesFilesAndNothingElse) {
    TReply r = Get(port_, "/");
    EXPECT_EQ(r.status, 200);
    EXPECT_EQ(r.body, site_->Find("index.html")->Body);
    EXPECT_NE(r.head.find("Content-Type: text/html; charset=utf-8"), std::string::npos);

    for (const auto& f : site_->Files) {
        r = Get(port_, "/" + f.Name);
        EXPECT_EQ(r.status, 200) << f.Name;
        EXPECT_EQ(r.body, f.Body) << f.Name;
    }

    r = Get(port_, "/ak-1.html", "HEAD");
    EXPECT_EQ(r.status, 200);
    EXPECT_TRUE(r.body.empty());
    EXPECT_NE(r.head.find("Content-Length: " + std::to_string(site_->Find("ak-1.html")->Body.size())),
              std::string::npos)
        << r.head;
}

TEST_F(Served, RefusesOtherMethodsAndPaths) {
    for (const char* method : {"POST", "PUT", "DELETE", "OPTIONS", "PATCH", "TRACE"}) {
        const TReply r = Get(port_, "/index.html", method, "Content-Length: 0\r\n");
        EXPECT_EQ(r.status, 405) << method;
        EXPECT_NE(r.head.find("Allow: GET, HEAD"), std::string::npos) << method;
    }
    // Traversal and encoded slashes find no file, whatever exists on disk.
    for (const char* path : {"/../etc/passwd", "/..%2f..%2fetc%2fpasswd", "/%2e%2e/index.html",
                             "/ak-1.html%2F", "/%2Fetc%2Fpasswd", "/etc/passwd", "/index.html/",
                             "//index.html", "/ak-2.html", "/ak-1.html%00.txt", "/.velmora"}) {
        const TReply r = Get(port_, path);
        EXPECT_TRUE(r.status == 404 || r.status == 400) << path << " " << r.status;
        EXPECT_EQ(r.body.find("root:"), std::string::npos) << path;
    }
}

TEST_F(Served, OversizedRequestsAreRefusedAndTheServerGoesOn) {
    std::string many;
    for (int i = 0; i < 200; ++i)
        many += "X-Zeile-" + std::to_string(i) + ": 1\r\n";
    EXPECT_EQ(Get(port_, "/", "GET", many).status, 431);

    const TReply huge = Get(port_, "/", "GET", "X-Gross: " + std::string(100000, 'a') + "\r\n");
    EXPECT_NE(huge.status, 200);
    const TReply longPath = Get(port_, "/" + std::string(20000, 'a'));
    EXPECT_NE(longPath.status, 200);
    const TReply body = SendHttp(port_, "POST / HTTP/1.1\r\nHost: x\r\nContent-Length: 10000000\r\n"
                                    "Connection: close\r\n\r\n" + std::string(1000, 'x'));
    EXPECT_NE(body.status, 200);
    EXPECT_EQ(SendHttp(port_, "KAPUTT\r\n\r\n").status == 200, false);

    EXPECT_EQ(Get(port_, "/index.html").status, 200);
}

TEST_F(Served, APortInUseGivesOneMessage) {
    TLiveServer second;
    std::string message;
    EXPECT_FALSE(second.Start("127.0.0.1", port_, message));
    EXPECT_NE(message.find("Port " + std::to_string(port_)), std::string::npos) << message;
    EXPECT_NE(message.find("belegt"), std::string::npos) << message;
    EXPECT_EQ(Get(port_, "/").status, 200);
}

// Readers hammer a page while the site is renewed again and again: every answer is
// one whole version of the page, never a mixture or an error.
TEST_F(Served, ARenewalNeverDisturbsAReader) {
    auto other = ExportCompetition();
    other->Header.Veranstaltung.Set("Zweite Fassung");
    std::shared_ptr<const TSite> second = RenderSite(*other);
    const std::string& a = site_->Find("ak-1.html")->Body;
    const std::string& b = second->Find("ak-1.html")->Body;
    ASSERT_NE(a, b);

    std::atomic<bool> stop{false};
    std::atomic<int> bad{0}, seenA{0}, seenB{0};
    std::vector<std::thread> readers;
    for (int t = 0; t < 4; ++t)
        readers.emplace_back([&] {
            for (int i = 0; i < 60 && !stop; ++i) {
                const TReply r = Get(port_, "/ak-1.html");
                if (r.status == 200 && r.body == a)
                    ++seenA;
                else if (r.status == 200 && r.body == b)
                    ++seenB;
                else
                    ++bad;
            }
        });
    for (int i = 0; i < 200; ++i)
        server_.Update(i % 2 ? site_ : second);
    server_.Update(second);
    for (auto& t : readers)
        t.join();
    EXPECT_EQ(bad, 0);
    EXPECT_EQ(seenA + seenB, 240);
    EXPECT_EQ(Get(port_, "/ak-1.html").body, b);
}

TEST(Server, StopsAndStartsAgain) {
    TLiveServer server;
    std::string message;
    EXPECT_EQ(Get(1, "/").status, 0);
    ASSERT_TRUE(server.Start("127.0.0.1", 0, message)) << message;
    const int port = server.Port();
    EXPECT_EQ(Get(port, "/").status, 503); // nothing rendered yet
    server.Stop();
    EXPECT_FALSE(server.Running());
    EXPECT_EQ(Get(port, "/").status, 0);
    ASSERT_TRUE(server.Start("127.0.0.1", 0, message)) << message;
    auto c = ExportCompetition();
    server.Update(RenderSite(*c));
    EXPECT_EQ(Get(server.Port(), "/").status, 200);
}

// Phones ask for compressed pages. Each file is compressed once per renewal and sent as
// gzip to whoever takes it; nothing is compressed per request (brotli took seconds for
// one large page), and a client without gzip gets the plain file.
TEST_F(Served, CompressedOncePerRenewal) {
    const std::string& page = site_->Find("ak-1.html")->Body;
    const TReply gz = Get(port_, "/ak-1.html", "GET", "Accept-Encoding: gzip, deflate, br\r\n");
    ASSERT_EQ(gz.status, 200);
    EXPECT_NE(gz.head.find("Content-Encoding: gzip"), std::string::npos) << gz.head;
    EXPECT_NE(gz.head.find("Vary: Accept-Encoding"), std::string::npos) << gz.head;
    TempDir dir;
    WriteFileBytes(dir.File("p.gz"), gz.body);
    EXPECT_EQ(std::system(("gzip -dc '" + dir.File("p.gz") + "' > '" + dir.File("p") + "'").c_str()), 0);
    EXPECT_EQ(ReadFileBytes(dir.File("p")), page);

    for (const char* accept : {"br", "identity", "gzip;q=0, br", ""}) {
        const TReply plain = Get(port_, "/ak-1.html", "GET",
                                 *accept ? "Accept-Encoding: " + std::string(accept) + "\r\n" : "");
        EXPECT_EQ(plain.status, 200) << accept;
        EXPECT_EQ(plain.head.find("Content-Encoding"), std::string::npos) << accept << plain.head;
        EXPECT_EQ(plain.body, page) << accept;
    }
    // The workbook is a zip already and goes as it is.
    const TReply xlsx = Get(port_, "/ergebnisse.xlsx", "GET", "Accept-Encoding: gzip\r\n");
    EXPECT_EQ(xlsx.head.find("Content-Encoding"), std::string::npos);
    EXPECT_EQ(xlsx.body, site_->Find("ergebnisse.xlsx")->Body);
}

// A renewal compresses only what changed; every compressed answer is the file of the
// site served at that moment, the changed page as well as the ones taken over.
TEST_F(Served, ARenewalCompressesWhatChangedAndServesItsOwnFiles) {
    auto gunzip = [](const std::string& body) {
        TempDir dir;
        WriteFileBytes(dir.File("p.gz"), body);
        if (std::system(("gzip -dc '" + dir.File("p.gz") + "' > '" + dir.File("p") + "'").c_str()))
            return std::string("(not gzip)");
        return ReadFileBytes(dir.File("p"));
    };
    // Both written at the same time, so that only the changed time tells them apart.
    TSiteOptions options;
    options.Now = 1700000000;
    std::shared_ptr<const TSite> first = RenderSite(*c_, options);
    auto changed = ExportCompetition();
    changed->At(0)->At(0)->Zeit[0] += 100;
    std::shared_ptr<const TSite> second = RenderSite(*changed, options);
    ASSERT_NE(first->Find("ak-1.html")->Body, second->Find("ak-1.html")->Body);
    ASSERT_EQ(first->Find("ak-3.html")->Body, second->Find("ak-3.html")->Body);
    for (const auto& version : {first, second, first, second}) {
        server_.Update(version);
        for (const char* name : {"ak-1.html", "ak-3.html", "index.html", "ergebnisse.csv"}) {
            const TReply r = Get(port_, std::string("/") + name, "GET", "Accept-Encoding: gzip\r\n");
            ASSERT_EQ(r.status, 200) << name;
            ASSERT_NE(r.head.find("Content-Encoding: gzip"), std::string::npos) << name;
            EXPECT_EQ(gunzip(r.body), version->Find(name)->Body) << name;
        }
    }
}

// The downloads of a large competition are compressed after the renewal is served, by
// a worker of low priority: until then they go out as they are. Either way an answer is
// the file of the renewal served, and the compressed form follows.
TEST(Server, LargeFilesAreCompressedAfterTheRenewal) {
    auto gunzip = [](const std::string& body) {
        TempDir dir;
        WriteFileBytes(dir.File("p.gz"), body);
        if (std::system(("gzip -dc '" + dir.File("p.gz") + "' > '" + dir.File("p") + "'").c_str()))
            return std::string("(not gzip)");
        return ReadFileBytes(dir.File("p"));
    };
    auto big = [](char mark) {
        auto site = std::make_shared<TSite>();
        std::string csv;
        for (int i = 0; csv.size() < (3u << 20); ++i)
            csv += std::string(1, mark) + ";Teilnehmer " + std::to_string(i) + ";BY;1:02,34\n";
        site->Add({"index.html", "text/html; charset=utf-8", std::string("<p>") + mark + "</p>"});
        site->Add({"ergebnisse.csv", "text/csv; charset=utf-8", csv});
        return std::shared_ptr<const TSite>(std::move(site));
    };
    TLiveServer server;
    std::string message;
    ASSERT_TRUE(server.Start("127.0.0.1", 0, message)) << message;
    for (char mark : {'a', 'b'}) {
        SCOPED_TRACE(std::string(1, mark));
        const std::shared_ptr<const TSite> site = big(mark);
        server.Update(site);
        const std::string& csv = site->Find("ergebnisse.csv")->Body;
        bool compressed = false;
        for (int i = 0; i < 200 && !compressed; ++i) {
            const TReply r = Get(server.Port(), "/ergebnisse.csv", "GET", "Accept-Encoding: gzip\r\n");
            ASSERT_EQ(r.status, 200);
            compressed = r.head.find("Content-Encoding: gzip") != std::string::npos;
            ASSERT_EQ(compressed ? gunzip(r.body) : r.body, csv);
            if (!compressed) std::this_thread::sleep_for(std::chrono::milliseconds(50));
        }
        EXPECT_TRUE(compressed);
        // The small page was compressed by the renewal itself.
        const TReply page = Get(server.Port(), "/index.html", "GET", "Accept-Encoding: gzip\r\n");
        EXPECT_EQ(page.body, site->Find("index.html")->Body); // too small to gain: as is
    }
}

namespace {

// velmora-cli serve as a child process whose standard error is read line by line.
struct TServeChild {
    pid_t pid = -1;
    FILE* err = nullptr;

    explicit TServeChild(const std::vector<std::string>& args) {
        int fds[2];
        if (::pipe(fds) != 0) return;
        pid = ::fork();
        if (pid == 0) {
            ::dup2(fds[1], 2);
            ::close(fds[0]);
            ::close(fds[1]);
            ExecCli(args);
        }
        ::close(fds[1]);
        err = ::fdopen(fds[0], "r");
    }
    // The next line, or empty when none comes within 20 seconds (a hanging child fails
    // the test instead of stopping the suite).
    std::string Line() {
        if (!err) return {};
        pollfd p{::fileno(err), POLLIN, 0};
        if (::poll(&p, 1, 20000) <= 0) return {};
        char buf[1024];
        return std::fgets(buf, sizeof buf, err) ? std::string(buf) : std::string();
    }
    int Stop(int signal) {
        int status = 0;
        ::kill(pid, signal);
        ::waitpid(pid, &status, 0);
        if (err) std::fclose(err);
        err = nullptr;
        return WIFEXITED(status) ? WEXITSTATUS(status) : -1;
    }
};

int FreePort() {
    TLiveServer probe;
    std::string message;
    if (!probe.Start("127.0.0.1", 0, message)) return 0;
    return probe.Port();
}

} // namespace

TEST(Serve, TheCommandLineServesRenewsAndEndsOnASignal) {
    TempDir dir;
    const std::string file = SmallCompetitionFile(dir, "Tag1.ERG", false);
    const int port = FreePort();
    ASSERT_GT(port, 0);
    TServeChild child({"serve", file, "--port", std::to_string(port), "--bind", "127.0.0.1"});
    ASSERT_GT(child.pid, 0);
    const std::string first = child.Line();
    EXPECT_NE(first.find("http://127.0.0.1:" + std::to_string(port) + "/"), std::string::npos)
        << first;
    TReply r = Get(port, "/ak-1.html");
    EXPECT_EQ(r.status, 200);
    EXPECT_NE(r.body.find("Zander"), std::string::npos);

    // The file changes on disk: the next pages come from it.
    auto c = vm::Load(file);
    ASSERT_TRUE(c);
    c->At(0)->At(0)->SetName("Neuname");
    ASSERT_TRUE(vm::Save(file, *c, TSaveFormat::Ergebnis));
    EXPECT_NE(child.Line().find("Erneuert"), std::string::npos);
    r = Get(port, "/ak-1.html");
    EXPECT_NE(r.body.find("Neuname"), std::string::npos);

    // A second one on the same port is refused with one message.
    const CliResult busy = RunCli({"serve", file, "--port", std::to_string(port), "--bind", "127.0.0.1"});
    EXPECT_EQ(busy.status, 1);
    EXPECT_NE(busy.err.find("belegt"), std::string::npos) << busy.err;

    EXPECT_EQ(child.Stop(SIGTERM), 0);
    EXPECT_EQ(Get(port, "/").status, 0);
}

// The built-in web server of the live results: serves the files of the current site
// from memory, nothing else. A renewal swaps in a new site as a whole (an immutable
// snapshot), so a reader gets either the old or the new page and never waits for the
// renderer.
#pragma once

#include "live/VmSite.h"

#include <memory>
#include <string>

namespace vm {

inline constexpr int LiveDefaultPort = 8080;

class TLiveServer {
public:
    TLiveServer();
    ~TLiveServer(); // stops
    TLiveServer(const TLiveServer&) = delete;
    TLiveServer& operator=(const TLiveServer&) = delete;

    // Binds to `address` ("0.0.0.0" for every interface) and `port` (0: any free one)
    // and serves from a thread pool of its own. False with one German message when the
    // port cannot be opened (in use, not allowed) or the server is already running.
    bool Start(const std::string& address, int port, std::string& message);
    // Stops serving; open connections are closed. Safe to call when not running.
    void Stop();
    bool Running() const;
    // The port actually bound (after Start).
    int Port() const;

    // Swaps in the site every following request reads.
    void Update(std::shared_ptr<const TSite> site);
    std::shared_ptr<const TSite> Current() const;

private:
    struct TImpl;
    std::unique_ptr<TImpl> impl_;
};

// The address phones on the local network reach this machine by: the first IPv4
// address of an interface that is up and not the loopback; empty when there is none.
std::string LanAddress();

} // namespace vm

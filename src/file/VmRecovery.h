// Recovery copies: what the desktop program writes now and then while a document has
// unsaved changes, so that a crash or a power cut loses at most the last seconds.
//
// Each running program writes its copies under its own name, "<pid>-<n>.ERG", with a
// sidecar "<pid>-<n>.info" beside it: lines "key=value" in UTF-8 that name the
// document's file, the process (its id and its start time, so that a later process
// that happens to get the same id is not taken for it) and the time of writing. A copy
// whose process is no longer running is an orphan; the next start offers it.
#pragma once

#include <ctime>
#include <string>
#include <vector>

namespace vm {

// $XDG_STATE_HOME/velmora, else ~/.local/state/velmora.
std::string RecoveryFolder();

struct TRecoveryCopy {
    std::string copyFile;    // the result file bytes
    std::string sidecarFile; // what it is
    std::string document;    // the document's own file name; empty for an unnamed one
    long pid = 0;
    std::string processStart;
    std::time_t written = 0;
};

// The copies of one document of this process: created with its names, written again and
// again, removed when the document is saved or given up.
class TRecoveryCopies {
public:
    explicit TRecoveryCopies(std::string folder = RecoveryFolder());

    const std::string& Folder() const { return folder_; }
    // Writes the bytes as the copy of `document` (empty: unnamed) through a temporary
    // file, then the sidecar; false with `error` (the system's reason) on failure. Safe
    // to call from a worker thread while the owner does nothing else with this object.
    bool Write(const std::string& bytes, const std::string& document, std::string& error);
    // Removes this process's copy and starts a new name for the next document.
    void Remove();
    bool Exists() const;
    std::string CopyFile() const;

private:
    std::string Base() const;

    std::string folder_;
    unsigned serial_ = 0;
};

// The copies in the folder whose program is no longer running, oldest first. A copy
// without a readable sidecar counts as an orphan too (its document unknown).
std::vector<TRecoveryCopy> OrphanedCopies(const std::string& folder = RecoveryFolder());
// Moves an offered copy and its sidecar aside (renamed, never deleted): "<name>.verworfen".
bool SetAside(const TRecoveryCopy& copy);
// Deletes a copy and its sidecar once its changes are back in a document.
void RemoveCopy(const TRecoveryCopy& copy);

// Whether the process with this id and start time still runs.
bool ProcessRunning(long pid, const std::string& processStart);
// The start time of this process as the system counts it (clock ticks since boot).
std::string OwnProcessStart();

} // namespace vm

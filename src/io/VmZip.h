// ZIP archives written in one pass, as the workbook export needs them: each member is
// deflated beforehand (raw deflate, in pieces, possibly on another thread), the writer
// puts the local headers, the members and the central directory onto a stream. Members
// and the archive stay under 4 GiB (no ZIP64); names are stored as given (UTF-8).
#pragma once

#include "base/BvBase.h"

#include <cstdint>
#include <ctime>
#include <memory>
#include <string>
#include <string_view>
#include <vector>

struct z_stream_s;

namespace vm {

// One member of an archive with its data as the archive stores it.
struct TZipEntry {
    std::string Name;
    std::string Data;       // raw deflate data when Deflated, else the bytes themselves
    bool Deflated = false;
    std::uint32_t Crc = 0;  // CRC-32 of the uncompressed bytes
    std::uint64_t Size = 0; // number of uncompressed bytes
};

// A member stored without compression.
TZipEntry StoredZipEntry(std::string name, std::string_view bytes);

// Deflates members piece by piece. One deflater serves any number of members in turn;
// each one runs on one thread at a time.
class TZipDeflater {
public:
    // level: zlib's 1 (fastest) .. 9 (smallest).
    explicit TZipDeflater(int level);
    ~TZipDeflater();
    TZipDeflater(const TZipDeflater&) = delete;
    TZipDeflater& operator=(const TZipDeflater&) = delete;

    // Starts the next member.
    void Begin(std::string name);
    void Add(std::string_view bytes);
    // The finished member; empty Data and Failed() when zlib ran out of memory.
    TZipEntry End();
    bool Failed() const { return failed_; }

private:
    void Deflate(int flush);

    std::unique_ptr<z_stream_s> z_;
    bool ready_ = false;
    bool failed_ = false;
    TZipEntry entry_;
};

// A member deflated in one piece.
TZipEntry DeflatedZipEntry(std::string name, std::string_view bytes, int level = 6);

enum class TZipResult {
    Ok,
    TooLarge,   // a member, the archive or the number of members exceeds the format
    WriteFailed // the stream reported a failed write
};

// Writes the archive onto the stream; every member gets the modification time `time`
// (taken as UTC, at least 1 January 1980), so that the same members give the same bytes.
// Nothing is written when the archive would be too large.
TZipResult WriteZip(TStream& s, const std::vector<TZipEntry>& entries, std::time_t time);

} // namespace vm

// ZIP archives written in one pass, as the workbook export needs them: each member is
// deflated beforehand (raw deflate, possibly in pieces on several threads), the writer
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
    std::string Data; // raw deflate data when Deflated, else the bytes themselves
    bool Deflated = false;
    std::uint32_t Crc = 0;  // CRC-32 of the uncompressed bytes
    std::uint64_t Size = 0; // number of uncompressed bytes
};

// A member stored without compression.
TZipEntry StoredZipEntry(std::string name, std::string_view bytes);

// A stretch of a member's bytes deflated on its own: it refers to nothing before it
// and ends on a byte boundary, so that pieces can be deflated on different threads and
// the same piece can belong to several members. A member is its pieces joined in order;
// only its last piece ends the deflate stream.
struct TZipPiece {
    std::string Data;
    std::uint32_t Crc = 0;
    std::uint64_t Size = 0;
    bool Last = false;
};

// Deflates pieces, one after the other; one deflater per thread.
class TZipDeflater {
public:
    // level: zlib's 1 (fastest) .. 9 (smallest). Throws std::bad_alloc when zlib has no
    // memory.
    explicit TZipDeflater(int level);
    ~TZipDeflater();
    TZipDeflater(const TZipDeflater&) = delete;
    TZipDeflater& operator=(const TZipDeflater&) = delete;

    // `last`: the piece that ends its member.
    TZipPiece Deflate(std::string_view bytes, bool last);

private:
    std::unique_ptr<z_stream_s> z_;
};

// The deflated member made of the pieces in their order; the last one must end it.
TZipEntry JoinZipPieces(std::string name, const std::vector<const TZipPiece*>& pieces);

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

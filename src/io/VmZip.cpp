#include "io/VmZip.h"

#include <zlib.h>

#include <algorithm>
#include <limits>
#include <new>

namespace vm {

namespace {

// Sizes and offsets are 32-bit fields; all ones would announce a ZIP64 record.
constexpr std::uint64_t MaxField = 0xFFFFFFFEu;
constexpr std::size_t MaxEntries = 0xFFFF;
constexpr std::size_t MaxName = 0xFFFF;
constexpr std::uint16_t VersionNeeded = 20; // 2.0: deflate
constexpr std::uint16_t MethodStored = 0;
constexpr std::uint16_t MethodDeflated = 8;
constexpr std::size_t LocalHeaderSize = 30;
constexpr std::size_t CentralHeaderSize = 46;
constexpr std::size_t EndRecordSize = 22;

void Put16(std::string& out, std::uint32_t v) {
    out.push_back(static_cast<char>(v & 0xFF));
    out.push_back(static_cast<char>((v >> 8) & 0xFF));
}
void Put32(std::string& out, std::uint64_t v) {
    Put16(out, static_cast<std::uint32_t>(v & 0xFFFF));
    Put16(out, static_cast<std::uint32_t>((v >> 16) & 0xFFFF));
}

std::uint32_t Crc32(std::uint32_t crc, std::string_view bytes) {
    uLong c = crc;
    while (!bytes.empty()) {
        const std::size_t n = std::min<std::size_t>(bytes.size(), std::numeric_limits<uInt>::max());
        c = ::crc32(c, reinterpret_cast<const Bytef*>(bytes.data()), static_cast<uInt>(n));
        bytes.remove_prefix(n);
    }
    return static_cast<std::uint32_t>(c);
}

struct TDosTime {
    std::uint16_t date = (0 << 9) | (1 << 5) | 1; // 1 January 1980
    std::uint16_t time = 0;
};

TDosTime DosTime(std::time_t t) {
    TDosTime d;
    std::tm tm{};
    if (::gmtime_r(&t, &tm) == nullptr || tm.tm_year < 80 || tm.tm_year > 80 + 127) return d;
    d.date =
        static_cast<std::uint16_t>(((tm.tm_year - 80) << 9) | ((tm.tm_mon + 1) << 5) | tm.tm_mday);
    d.time = static_cast<std::uint16_t>((tm.tm_hour << 11) | (tm.tm_min << 5) | (tm.tm_sec / 2));
    return d;
}

// The fields that a local header and a central directory header share, from the
// version needed up to the lengths of the name and the extra field.
void PutCommon(std::string& out, const TZipEntry& e, TDosTime when) {
    Put16(out, VersionNeeded);
    // Sizes known beforehand, no encryption; a name beyond ASCII is marked as UTF-8.
    const bool ascii = std::all_of(e.Name.begin(), e.Name.end(),
                                   [](char ch) { return static_cast<unsigned char>(ch) < 0x80; });
    Put16(out, ascii ? 0 : 0x0800);
    Put16(out, e.Deflated ? MethodDeflated : MethodStored);
    Put16(out, when.time);
    Put16(out, when.date);
    Put32(out, e.Crc);
    Put32(out, e.Data.size());
    Put32(out, e.Size);
    Put16(out, static_cast<std::uint32_t>(e.Name.size()));
    Put16(out, 0); // extra field
}

} // namespace

TZipEntry StoredZipEntry(std::string name, std::string_view bytes) {
    TZipEntry e;
    e.Name = std::move(name);
    e.Data.assign(bytes);
    e.Crc = Crc32(0, bytes);
    e.Size = bytes.size();
    return e;
}

TZipDeflater::TZipDeflater(int level) : z_(std::make_unique<z_stream_s>()) {
    *z_ = {};
    // Negative window bits: raw deflate, without zlib's own header and checksum.
    if (::deflateInit2(z_.get(), level, Z_DEFLATED, -MAX_WBITS, 8, Z_DEFAULT_STRATEGY) != Z_OK) {
        z_.reset();
        throw std::bad_alloc();
    }
}

TZipDeflater::~TZipDeflater() {
    if (z_) ::deflateEnd(z_.get());
}

TZipPiece TZipDeflater::Deflate(std::string_view bytes, bool last) {
    TZipPiece piece;
    piece.Crc = Crc32(0, bytes);
    piece.Size = bytes.size();
    piece.Last = last;
    // A fresh start: nothing of the piece before refers back. A piece that is not the
    // last ends with a sync flush, which closes its blocks on a byte boundary.
    if (::deflateReset(z_.get()) != Z_OK) throw std::bad_alloc();
    const int flush = last ? Z_FINISH : Z_SYNC_FLUSH;
    std::string& out = piece.Data;
    for (;;) {
        const std::size_t n = std::min<std::size_t>(bytes.size(), std::numeric_limits<uInt>::max());
        z_->next_in = reinterpret_cast<Bytef*>(const_cast<char*>(bytes.data()));
        z_->avail_in = static_cast<uInt>(n);
        bytes.remove_prefix(n);
        const int f = bytes.empty() ? flush : Z_NO_FLUSH;
        for (;;) {
            const std::size_t used = out.size();
            // Text deflates to about a tenth; more room follows when that is not enough.
            const std::size_t room = std::min<std::size_t>(
                std::max<std::size_t>(1 << 12, z_->avail_in / 8), std::numeric_limits<uInt>::max());
            out.resize(used + room);
            z_->next_out = reinterpret_cast<Bytef*>(out.data() + used);
            z_->avail_out = static_cast<uInt>(room);
            const int r = ::deflate(z_.get(), f);
            const bool full = z_->avail_out == 0;
            out.resize(used + room - z_->avail_out);
            if (r == Z_STREAM_END) break;
            if (r != Z_OK && !(r == Z_BUF_ERROR && full)) throw std::bad_alloc();
            // Done with this input once zlib left room in the output.
            if (!full && z_->avail_in == 0) break;
        }
        if (bytes.empty()) break;
    }
    out.shrink_to_fit();
    return piece;
}

TZipEntry JoinZipPieces(std::string name, const std::vector<const TZipPiece*>& pieces) {
    TZipEntry e;
    e.Name = std::move(name);
    e.Deflated = true;
    std::size_t bytes = 0;
    for (const TZipPiece* p : pieces)
        bytes += p->Data.size();
    e.Data.reserve(bytes);
    for (const TZipPiece* p : pieces) {
        e.Data += p->Data;
        e.Crc = static_cast<std::uint32_t>(
            ::crc32_combine(e.Crc, p->Crc, static_cast<z_off_t>(p->Size)));
        e.Size += p->Size;
    }
    return e;
}

TZipEntry DeflatedZipEntry(std::string name, std::string_view bytes, int level) {
    TZipDeflater d(level);
    const TZipPiece piece = d.Deflate(bytes, true);
    return JoinZipPieces(std::move(name), {&piece});
}

TZipResult WriteZip(TStream& s, const std::vector<TZipEntry>& entries, std::time_t time) {
    if (entries.size() > MaxEntries) return TZipResult::TooLarge;
    std::uint64_t offset = 0;
    std::uint64_t directory = 0;
    for (const TZipEntry& e : entries) {
        if (e.Name.size() > MaxName || e.Data.size() > MaxField || e.Size > MaxField)
            return TZipResult::TooLarge;
        offset += LocalHeaderSize + e.Name.size() + e.Data.size();
        directory += CentralHeaderSize + e.Name.size();
    }
    // The directory's offset and size are 32-bit fields too.
    if (offset > MaxField || directory > MaxField || offset + directory + EndRecordSize > MaxField)
        return TZipResult::TooLarge;

    const TDosTime when = DosTime(time);
    std::string head;
    std::string central;
    central.reserve(static_cast<std::size_t>(directory) + EndRecordSize);
    offset = 0;
    for (const TZipEntry& e : entries) {
        head.clear();
        Put32(head, 0x04034B50);
        PutCommon(head, e, when);
        head += e.Name;
        s.Write(head.data(), head.size());
        s.Write(e.Data.data(), e.Data.size());

        Put32(central, 0x02014B50);
        Put16(central, VersionNeeded); // made by: version 2.0, MS-DOS attributes
        PutCommon(central, e, when);
        Put16(central, 0); // comment
        Put16(central, 0); // disk
        Put16(central, 0); // internal attributes
        Put32(central, 0); // external attributes
        Put32(central, offset);
        central += e.Name;
        offset += head.size() + e.Data.size();
    }
    const std::uint64_t size = central.size();
    Put32(central, 0x06054B50);
    Put16(central, 0); // this disk
    Put16(central, 0); // the disk where the directory starts
    Put16(central, static_cast<std::uint32_t>(entries.size()));
    Put16(central, static_cast<std::uint32_t>(entries.size()));
    Put32(central, size);
    Put32(central, offset);
    Put16(central, 0); // comment
    s.Write(central.data(), central.size());
    return s.WriteFailed() ? TZipResult::WriteFailed : TZipResult::Ok;
}

} // namespace vm

// Little-endian fields and length-prefixed short strings of the stored records.
#pragma once

#include <algorithm>
#include <array>
#include <cstdint>
#include <cstring>
#include <string>
#include <string_view>

namespace vm {

inline std::int16_t GetI16(const std::uint8_t* p) {
    return static_cast<std::int16_t>(static_cast<std::uint16_t>(p[0] | (p[1] << 8)));
}
inline std::int32_t GetI32(const std::uint8_t* p) {
    return static_cast<std::int32_t>(
        static_cast<std::uint32_t>(p[0]) | (static_cast<std::uint32_t>(p[1]) << 8) |
        (static_cast<std::uint32_t>(p[2]) << 16) | (static_cast<std::uint32_t>(p[3]) << 24));
}
inline void PutI16(std::uint8_t* p, std::int16_t v) {
    auto u = static_cast<std::uint16_t>(v);
    p[0] = static_cast<std::uint8_t>(u & 0xFF);
    p[1] = static_cast<std::uint8_t>(u >> 8);
}
inline void PutI32(std::uint8_t* p, std::int32_t v) {
    auto u = static_cast<std::uint32_t>(v);
    for (int i = 0; i < 4; ++i)
        p[i] = static_cast<std::uint8_t>((u >> (8 * i)) & 0xFF);
}

// A computed value stored in a 16-bit field: clamped instead of wrapped.
inline std::int16_t ClampI16(long long v) {
    if (v > 32767) return 32767;
    if (v < -32768) return -32768;
    return static_cast<std::int16_t>(v);
}

// string[N]: a length byte and N characters, kept as its N + 1 stored bytes so that
// whatever stood behind the text in a file survives loading and saving. A length
// byte above the capacity (a damaged or hostile file) is read as the capacity.
template <std::size_t N> struct TShortStr {
    static constexpr std::size_t Capacity = N;
    static constexpr std::size_t Size = N + 1;
    std::array<std::uint8_t, N + 1> raw{};

    std::size_t Length() const { return std::min<std::size_t>(raw[0], N); }
    std::string Get() const {
        return std::string(reinterpret_cast<const char*>(raw.data() + 1), Length());
    }
    std::string_view View() const {
        return std::string_view(reinterpret_cast<const char*>(raw.data() + 1), Length());
    }
    // Stores the text cut to the capacity; bytes behind the new text stay.
    void Set(std::string_view text) {
        std::size_t n = std::min(text.size(), N);
        raw[0] = static_cast<std::uint8_t>(n);
        if (n) std::memcpy(raw.data() + 1, text.data(), n);
    }
    bool Empty() const { return Length() == 0; }
    void Read(const std::uint8_t* p) {
        std::memcpy(raw.data(), p, N + 1);
        if (raw[0] > N) raw[0] = static_cast<std::uint8_t>(N);
    }
    void Write(std::uint8_t* p) const { std::memcpy(p, raw.data(), N + 1); }
};

// Reads a short string that lies at an offset of a byte block, capped to capacity.
inline std::string_view ShortStrAt(const std::uint8_t* block, std::size_t offset,
                                   std::size_t capacity) {
    std::size_t len = std::min<std::size_t>(block[offset], capacity);
    return std::string_view(reinterpret_cast<const char*>(block + offset + 1), len);
}
inline void SetShortStrAt(std::uint8_t* block, std::size_t offset, std::size_t capacity,
                          std::string_view text) {
    std::size_t n = std::min(text.size(), capacity);
    block[offset] = static_cast<std::uint8_t>(n);
    if (n) std::memcpy(block + offset + 1, text.data(), n);
}

// ---- stored records ------------------------------------------------------------------
//
// A record declares its layout once, as a static template that names every field
// with its offset:
//
//     template <class Self, class IO> static void Fields(Self& r, IO& io) {
//         io.Str(0, r.Kurz).I16(37, r.TN).I32(53, r.Punkte).Raw(61, r.reserved);
//     }
//
// Reading runs it with a TFieldReader over the stored bytes (Self non-const), writing
// with a TFieldWriter (Self const). A field of the record is never written out in any
// other place. Arrays of numbers lie back to back; arrays of nested records with the
// stride of the nested record's Size.

class TFieldReader {
public:
    explicit TFieldReader(const std::uint8_t* p) : p_(p) {}

    TFieldReader& I16(std::size_t at, std::int16_t& v) {
        v = GetI16(p_ + at);
        return *this;
    }
    TFieldReader& I32(std::size_t at, std::int32_t& v) {
        v = GetI32(p_ + at);
        return *this;
    }
    template <std::size_t N> TFieldReader& I16(std::size_t at, std::array<std::int16_t, N>& a) {
        for (std::size_t i = 0; i < N; ++i)
            a[i] = GetI16(p_ + at + 2 * i);
        return *this;
    }
    template <std::size_t N> TFieldReader& I32(std::size_t at, std::array<std::int32_t, N>& a) {
        for (std::size_t i = 0; i < N; ++i)
            a[i] = GetI32(p_ + at + 4 * i);
        return *this;
    }
    // The length byte is capped to the capacity (TShortStr::Read).
    template <std::size_t N> TFieldReader& Str(std::size_t at, TShortStr<N>& s) {
        s.Read(p_ + at);
        return *this;
    }
    template <std::size_t N> TFieldReader& Raw(std::size_t at, std::array<std::uint8_t, N>& b) {
        std::memcpy(b.data(), p_ + at, N);
        return *this;
    }
    template <class R> TFieldReader& Rec(std::size_t at, R& r) {
        TFieldReader inner(p_ + at);
        R::Fields(r, inner);
        return *this;
    }
    template <class R, std::size_t N> TFieldReader& Rec(std::size_t at, std::array<R, N>& a) {
        for (std::size_t i = 0; i < N; ++i)
            Rec(at + R::Size * i, a[i]);
        return *this;
    }

private:
    const std::uint8_t* p_;
};

class TFieldWriter {
public:
    explicit TFieldWriter(std::uint8_t* p) : p_(p) {}

    TFieldWriter& I16(std::size_t at, const std::int16_t& v) {
        PutI16(p_ + at, v);
        return *this;
    }
    TFieldWriter& I32(std::size_t at, const std::int32_t& v) {
        PutI32(p_ + at, v);
        return *this;
    }
    template <std::size_t N>
    TFieldWriter& I16(std::size_t at, const std::array<std::int16_t, N>& a) {
        for (std::size_t i = 0; i < N; ++i)
            PutI16(p_ + at + 2 * i, a[i]);
        return *this;
    }
    template <std::size_t N>
    TFieldWriter& I32(std::size_t at, const std::array<std::int32_t, N>& a) {
        for (std::size_t i = 0; i < N; ++i)
            PutI32(p_ + at + 4 * i, a[i]);
        return *this;
    }
    // All N + 1 bytes as they are held (TShortStr::Write).
    template <std::size_t N> TFieldWriter& Str(std::size_t at, const TShortStr<N>& s) {
        s.Write(p_ + at);
        return *this;
    }
    template <std::size_t N>
    TFieldWriter& Raw(std::size_t at, const std::array<std::uint8_t, N>& b) {
        std::memcpy(p_ + at, b.data(), N);
        return *this;
    }
    template <class R> TFieldWriter& Rec(std::size_t at, const R& r) {
        TFieldWriter inner(p_ + at);
        R::Fields(r, inner);
        return *this;
    }
    template <class R, std::size_t N> TFieldWriter& Rec(std::size_t at, const std::array<R, N>& a) {
        for (std::size_t i = 0; i < N; ++i)
            Rec(at + R::Size * i, a[i]);
        return *this;
    }

private:
    std::uint8_t* p_;
};

// A stored record R (struct R : TStoredRecord<R>) reads and writes its R::Size bytes
// through its Fields declaration.
template <class R> struct TStoredRecord {
    void Read(const std::uint8_t* p) {
        TFieldReader io(p);
        R::Fields(static_cast<R&>(*this), io);
    }
    void Write(std::uint8_t* p) const {
        TFieldWriter io(p);
        R::Fields(static_cast<const R&>(*this), io);
    }
};

// Pascal-style comparison of two short strings by byte value.
inline int CompareBytes(std::string_view a, std::string_view b) {
    std::size_t n = std::min(a.size(), b.size());
    int c = n ? std::memcmp(a.data(), b.data(), n) : 0;
    if (c != 0) return c < 0 ? -1 : 1;
    if (a.size() == b.size()) return 0;
    return a.size() < b.size() ? -1 : 1;
}

} // namespace vm

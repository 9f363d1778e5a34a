#include "base/BvBase.h"

#include <cerrno>
#include <cstdio>
#include <cstring>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace vm {

namespace {
thread_local int lastSystemError = 0;
} // namespace

int LastSystemError() {
    return lastSystemError;
}
void ResetSystemError() {
    lastSystemError = 0;
}
void NoteSystemError(int error) {
    if (error != 0) lastSystemError = error;
}

namespace {
TCollectionErrorHook collectionErrorHook = nullptr;
} // namespace

void SetCollectionErrorHook(TCollectionErrorHook hook) {
    collectionErrorHook = hook;
}

void CollectionError(const char* what, int index) {
    const std::string text = "Interner Programmfehler aufgetreten: \r\nListenfehler (" +
                             std::string(what) + ", Index " + std::to_string(index) + ")";
    if (collectionErrorHook)
        collectionErrorHook(text);
    else
        std::fprintf(stderr, "%s\n", text.c_str());
}

// ---- TStream ---------------------------------------------------------------------

std::uint8_t TStream::ReadU8() {
    unsigned char b[1] = {0};
    Read(b, 1);
    return b[0];
}

std::int16_t TStream::ReadI16() {
    return static_cast<std::int16_t>(ReadU16());
}

std::uint16_t TStream::ReadU16() {
    unsigned char b[2] = {0, 0};
    Read(b, 2);
    return static_cast<std::uint16_t>(b[0] | (b[1] << 8));
}

std::int32_t TStream::ReadI32() {
    unsigned char b[4] = {0, 0, 0, 0};
    Read(b, 4);
    std::uint32_t v = static_cast<std::uint32_t>(b[0]) | (static_cast<std::uint32_t>(b[1]) << 8) |
                      (static_cast<std::uint32_t>(b[2]) << 16) |
                      (static_cast<std::uint32_t>(b[3]) << 24);
    return static_cast<std::int32_t>(v);
}

void TStream::WriteU8(std::uint8_t v) {
    Write(&v, 1);
}

void TStream::WriteI16(std::int16_t v) {
    auto u = static_cast<std::uint16_t>(v);
    unsigned char b[2] = {static_cast<unsigned char>(u & 0xFF), static_cast<unsigned char>(u >> 8)};
    Write(b, 2);
}

void TStream::WriteI32(std::int32_t v) {
    auto u = static_cast<std::uint32_t>(v);
    unsigned char b[4] = {
        static_cast<unsigned char>(u & 0xFF), static_cast<unsigned char>((u >> 8) & 0xFF),
        static_cast<unsigned char>((u >> 16) & 0xFF), static_cast<unsigned char>(u >> 24)};
    Write(b, 4);
}

bool TStream::ReadTextLine(std::string& text, std::size_t max) {
    if (max > 255) max = 255;
    text.clear();
    std::int64_t size = GetSize();
    std::int64_t pos = GetPos();
    if (size < 0 || pos < 0 || pos >= size) return false;
    while (pos < size) {
        std::uint8_t c = ReadU8();
        ++pos;
        if (Status() != stOk) break;
        if (c == '\n') break;
        if (c == '\r') continue;
        if (text.size() < max) text += static_cast<char>(c);
    }
    return true;
}

void TStream::WriteTextLine(std::string_view text) {
    WriteText(text);
    WriteText("\r\n");
}

// ---- TBufStream ------------------------------------------------------------------

TBufStream::TBufStream(const std::string& fileName, TOpenMode mode, std::size_t bufferSize)
    : fileName_(fileName), buf_(bufferSize > 0 ? bufferSize : 1) {
    int flags = 0;
    switch (mode) {
    case TOpenMode::Create:
        flags = O_RDWR | O_CREAT | O_TRUNC;
        break;
    case TOpenMode::OpenRead:
        flags = O_RDONLY;
        break;
    case TOpenMode::OpenWrite:
        flags = O_WRONLY;
        break;
    case TOpenMode::OpenReadWrite:
        flags = O_RDWR;
        break;
    }
    fd_ = ::open(fileName.c_str(), flags | O_CLOEXEC, 0644);
    if (fd_ < 0) {
        NoteSystemError(errno);
        status_ = openResult_ = stInitError;
        return;
    }
    struct stat st {};
    if (fstat(fd_, &st) == 0 && S_ISDIR(st.st_mode)) {
        NoteSystemError(EISDIR);
        ::close(fd_);
        fd_ = -1;
        status_ = openResult_ = stInitError;
    }
}

TBufStream::~TBufStream() {
    Done();
}

bool TBufStream::FlushWrite() {
    if (!writing_ || bufPos_ == 0) {
        writing_ = false;
        return true;
    }
    std::size_t off = 0;
    bool ok = true;
    while (off < bufPos_) {
        ssize_t n = ::write(fd_, buf_.data() + off, bufPos_ - off);
        if (n < 0 && errno == EINTR) continue;
        if (n <= 0) {
            NoteSystemError(n < 0 ? errno : ENOSPC);
            ok = false;
            break;
        }
        off += static_cast<std::size_t>(n);
    }
    filePos_ += static_cast<std::int64_t>(off);
    bufPos_ = 0;
    writing_ = false;
    if (!ok) {
        status_ = stWriteError;
        writeFailed_ = true;
    }
    return ok;
}

void TBufStream::DropReadBuffer() {
    if (!writing_ && bufLen_ > bufPos_) {
        // The descriptor is ahead of the logical position by the unread bytes.
        filePos_ -= static_cast<std::int64_t>(bufLen_ - bufPos_);
        ::lseek(fd_, filePos_, SEEK_SET);
    }
    bufPos_ = bufLen_ = 0;
}

void TBufStream::Read(void* buffer, std::size_t count) {
    if (fd_ < 0) {
        status_ = stReadError;
        return;
    }
    if (writing_ && !FlushWrite()) return;
    auto* out = static_cast<unsigned char*>(buffer);
    std::size_t done = 0;
    while (done < count) {
        if (bufPos_ < bufLen_) {
            std::size_t n = std::min(count - done, bufLen_ - bufPos_);
            std::memcpy(out + done, buf_.data() + bufPos_, n);
            bufPos_ += n;
            done += n;
            continue;
        }
        ssize_t n = ::read(fd_, buf_.data(), buf_.size());
        if (n < 0 && errno == EINTR) continue;
        if (n <= 0) {
            if (n < 0) NoteSystemError(errno);
            bufPos_ = bufLen_ = 0;
            status_ = stReadError;
            return;
        }
        filePos_ += n;
        bufPos_ = 0;
        bufLen_ = static_cast<std::size_t>(n);
    }
    status_ = stOk;
}

void TBufStream::Write(const void* buffer, std::size_t count) {
    if (fd_ < 0) {
        status_ = stWriteError;
        writeFailed_ = true;
        return;
    }
    if (!writing_) {
        DropReadBuffer();
        writing_ = true;
        bufPos_ = 0;
    }
    const auto* in = static_cast<const unsigned char*>(buffer);
    bool ok = true;
    while (count > 0) {
        if (bufPos_ == buf_.size()) {
            if (!FlushWrite()) ok = false;
            writing_ = true;
        }
        std::size_t n = std::min(count, buf_.size() - bufPos_);
        std::memcpy(buf_.data() + bufPos_, in, n);
        bufPos_ += n;
        in += n;
        count -= n;
    }
    status_ = ok ? stOk : stWriteError;
}

void TBufStream::Seek(std::int64_t position) {
    if (fd_ < 0) {
        status_ = stError;
        return;
    }
    if (writing_ && !FlushWrite()) return;
    if (!writing_ && bufLen_ > 0) {
        // A seek inside the read buffer keeps it.
        std::int64_t bufStart = filePos_ - static_cast<std::int64_t>(bufLen_);
        if (position >= bufStart && position <= filePos_) {
            bufPos_ = static_cast<std::size_t>(position - bufStart);
            status_ = stOk;
            return;
        }
    }
    bufPos_ = bufLen_ = 0;
    if (position < 0 || ::lseek(fd_, position, SEEK_SET) < 0) {
        status_ = stError;
        return;
    }
    filePos_ = position;
    status_ = stOk;
}

std::int64_t TBufStream::GetSize() {
    if (fd_ < 0) {
        status_ = stError;
        return -1;
    }
    struct stat st {};
    if (fstat(fd_, &st) != 0) {
        status_ = stError;
        return -1;
    }
    std::int64_t size = st.st_size;
    if (writing_) size = std::max(size, filePos_ + static_cast<std::int64_t>(bufPos_));
    status_ = stOk;
    return size;
}

std::int64_t TBufStream::GetPos() {
    if (fd_ < 0) {
        status_ = stError;
        return -1;
    }
    status_ = stOk;
    if (writing_) return filePos_ + static_cast<std::int64_t>(bufPos_);
    return filePos_ - static_cast<std::int64_t>(bufLen_ - bufPos_);
}

bool TBufStream::Done() {
    if (fd_ < 0) return !writeFailed_ && openResult_ == stOk;
    bool ok = FlushWrite();
    if (writeFailed_) ok = false;
    if (ok && fsync(fd_) != 0 && errno != EINVAL && errno != EROFS) {
        NoteSystemError(errno);
        ok = false;
    }
    if (::close(fd_) != 0) {
        NoteSystemError(errno);
        ok = false;
    }
    fd_ = -1;
    if (!ok) {
        status_ = stWriteError;
        writeFailed_ = true;
    }
    return ok && openResult_ == stOk;
}

// ---- TMemoryStream ---------------------------------------------------------------

void TMemoryStream::Read(void* buffer, std::size_t count) {
    if (pos_ > data_.size() || count > data_.size() - pos_) {
        if (pos_ < data_.size()) {
            std::memcpy(buffer, data_.data() + pos_, data_.size() - pos_);
            pos_ = data_.size();
        }
        status_ = stReadError;
        return;
    }
    std::memcpy(buffer, data_.data() + pos_, count);
    pos_ += count;
    status_ = stOk;
}

void TMemoryStream::Write(const void* buffer, std::size_t count) {
    if (pos_ > data_.size()) data_.resize(pos_, '\0');
    std::size_t overlap = std::min(count, data_.size() - pos_);
    data_.replace(pos_, overlap, static_cast<const char*>(buffer), count);
    pos_ += count;
    status_ = stOk;
}

void TMemoryStream::Seek(std::int64_t position) {
    if (position < 0) {
        status_ = stError;
        return;
    }
    pos_ = static_cast<std::size_t>(position);
    status_ = stOk;
}

} // namespace vm

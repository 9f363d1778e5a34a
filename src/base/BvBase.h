// The foundation layer: collections of owned objects, sorted collections, and the
// binary file stream on which the competition model and every file format rest. It
// depends on nothing of the program above it.
#pragma once

#include "base/VmAssert.h"

#include <algorithm>
#include <cstdint>
#include <memory>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

namespace vm {

// The capacity limit of every collection; it is also a limit of the stored lists.
inline constexpr int MaxCollectionSize = 16379;

// Reports a caller error of a collection (index out of range, full list). The
// operation itself is not carried out; the list stays intact. The text goes to the
// routine installed with SetCollectionErrorHook (the model routes it to its message
// routine); without one it is written to standard error.
void CollectionError(const char* what, int index);
using TCollectionErrorHook = void (*)(const std::string& text);
void SetCollectionErrorHook(TCollectionErrorHook hook);

template <class T> class TCollection {
public:
    explicit TCollection(int limit = 10, int delta = 10) : delta_(delta) { SetLimit(limit); }
    virtual ~TCollection() = default;
    TCollection(const TCollection&) = delete;
    TCollection& operator=(const TCollection&) = delete;

    int Count() const { return static_cast<int>(items_.size()); }
    int Limit() const { return limit_; }
    int Delta() const { return delta_; }
    void SetDelta(int delta) { delta_ = delta; }

    // Capacity: at most MaxCollectionSize, never below the count.
    void SetLimit(int limit) {
        if (limit > MaxCollectionSize) limit = MaxCollectionSize;
        if (limit < Count()) limit = Count();
        if (limit < 0) limit = 0;
        limit_ = limit;
    }

    T* At(int index) const {
        if (index < 0 || index >= Count()) {
            CollectionError("At", index);
            return nullptr;
        }
        return items_[static_cast<std::size_t>(index)].get();
    }

    // Replaces (and frees) the item at index.
    bool AtPut(int index, std::unique_ptr<T> item) {
        if (index < 0 || index >= Count()) {
            CollectionError("AtPut", index);
            return false;
        }
        items_[static_cast<std::size_t>(index)] = std::move(item);
        return true;
    }

    // Inserts before index; grows by delta when full. Fails (item freed) on a bad
    // index or when the list cannot grow.
    bool AtInsert(int index, std::unique_ptr<T> item) {
        if (index < 0 || index > Count()) {
            CollectionError("AtInsert", index);
            return false;
        }
        if (Count() >= limit_) SetLimit(limit_ + (delta_ > 0 ? delta_ : 0));
        if (Count() >= limit_) {
            CollectionError("AtInsert (Liste voll)", index);
            return false;
        }
        items_.insert(items_.begin() + index, std::move(item));
        return true;
    }

    // Removes without freeing: ownership goes to the caller.
    std::unique_ptr<T> AtDelete(int index) {
        if (index < 0 || index >= Count()) {
            CollectionError("AtDelete", index);
            return nullptr;
        }
        auto it = items_.begin() + index;
        std::unique_ptr<T> out = std::move(*it);
        items_.erase(it);
        return out;
    }

    std::unique_ptr<T> Delete(const T* item) {
        int i = IndexOf(item);
        return i >= 0 ? AtDelete(i) : nullptr;
    }
    void Free(const T* item) { Delete(item); }

    // Gives up every item without freeing it (the caller takes them).
    std::vector<std::unique_ptr<T>> DeleteAll() { return std::exchange(items_, {}); }

    // Frees every item, from the last to the first.
    void FreeAll() {
        while (!items_.empty())
            items_.pop_back();
    }

    virtual int IndexOf(const T* item) const {
        for (int i = 0; i < Count(); ++i)
            if (items_[static_cast<std::size_t>(i)].get() == item) return i;
        return -1;
    }

    // Appends (a sorted collection inserts at its place instead).
    virtual bool Insert(std::unique_ptr<T> item) { return AtInsert(Count(), std::move(item)); }

    template <class F> void ForEach(F&& f) const {
        for (auto& p : items_)
            f(*p);
    }
    template <class F> T* FirstThat(F&& test) const {
        for (auto& p : items_)
            if (test(*p)) return p.get();
        return nullptr;
    }

    // Iteration over the items as references.
    class iterator {
    public:
        using Base = typename std::vector<std::unique_ptr<T>>::const_iterator;
        explicit iterator(Base b) : b_(b) {}
        T& operator*() const { return **b_; }
        T* operator->() const { return b_->get(); }
        iterator& operator++() {
            ++b_;
            return *this;
        }
        bool operator==(const iterator& o) const { return b_ == o.b_; }
        bool operator!=(const iterator& o) const { return b_ != o.b_; }

    private:
        Base b_;
    };
    iterator begin() const { return iterator(items_.begin()); }
    iterator end() const { return iterator(items_.end()); }

protected:
    std::vector<std::unique_ptr<T>> items_;
    int limit_ = 0;
    int delta_ = 0;
};

// A collection kept in the order of Compare. With duplicates allowed an item is
// inserted before the first item that compares equal to it.
template <class T> class TSortedCollection : public TCollection<T> {
public:
    using TCollection<T>::TCollection;
    using TCollection<T>::Count;

    bool Duplicates = false;

    virtual int Compare(const T& a, const T& b) const = 0;

    // Binary search: index is where key is, or would be inserted; with duplicates
    // the first of the equal items.
    bool Search(const T& key, int& index) const {
        int l = 0, h = Count() - 1;
        bool found = false;
        while (l <= h) {
            int i = (l + h) >> 1;
            int c = Compare(*this->items_[static_cast<std::size_t>(i)], key);
            if (c < 0) {
                l = i + 1;
            } else {
                h = i - 1;
                if (c == 0) {
                    found = true;
                    if (!Duplicates) l = i;
                }
            }
        }
        index = l;
        VM_ASSERT(index >= 0 && index <= Count() && (!found || index < Count()));
        return found;
    }

    // False when the item was not inserted (an equal key without duplicates, or the
    // list is full); the item is then freed.
    bool Insert(std::unique_ptr<T> item) override {
        int i = 0;
        if (!Search(*item, i) || Duplicates) return this->AtInsert(i, std::move(item));
        return false;
    }

    int IndexOf(const T* item) const override {
        if (!item) return -1;
        int i = 0;
        if (!Search(*item, i)) return TCollection<T>::IndexOf(item);
        if (Duplicates)
            while (i < Count() && this->items_[static_cast<std::size_t>(i)].get() != item)
                ++i;
        if (i < Count() && this->items_[static_cast<std::size_t>(i)].get() == item) return i;
        // The item's key changed since it was placed: fall back to a plain scan.
        return TCollection<T>::IndexOf(item);
    }

    // Entries that compare equal have no fixed order among themselves; the sort is
    // stable all the same, so that sorting a sorted list changes nothing and a file
    // that is loaded and saved again keeps its order byte for byte.
    void Sort() {
        std::stable_sort(this->items_.begin(), this->items_.end(),
                         [this](const std::unique_ptr<T>& a, const std::unique_ptr<T>& b) {
                             return Compare(*a, *b) < 0;
                         });
    }

    // Appends without looking at the order (a bulk load that ends in Sort()).
    bool Append(std::unique_ptr<T> item) { return this->AtInsert(Count(), std::move(item)); }
};

// ---- streams ---------------------------------------------------------------------

enum class TOpenMode { Create, OpenRead, OpenWrite, OpenReadWrite };

// Status codes of a stream (0 = success).
enum : int {
    stOk = 0,
    stError = 1,      // an operating-system error
    stInitError = 2,  // the file could not be opened or created
    stReadError = 3,  // read past the end
    stWriteError = 4, // the data could not be written
};

// The operating system's error number of the last file operation that failed (0 when
// none failed since the last reset), so that a caller can name the system's reason.
int LastSystemError();
void ResetSystemError();
void NoteSystemError(int error);

// A binary stream with a status word. No operation raises: each one sets the
// status, and a read past the end leaves the rest of the buffer unchanged.
class TStream {
public:
    virtual ~TStream() = default;

    virtual void Read(void* buffer, std::size_t count) = 0;
    virtual void Write(const void* buffer, std::size_t count) = 0;
    virtual void Seek(std::int64_t position) = 0;
    virtual std::int64_t GetSize() = 0;
    virtual std::int64_t GetPos() = 0;

    int Status() const { return status_; }
    int OpenResult() const { return openResult_; }
    // True once any write failed since the stream was opened (a save checks it).
    bool WriteFailed() const { return writeFailed_; }

    std::uint8_t ReadU8();
    std::int16_t ReadI16();
    std::uint16_t ReadU16();
    std::int32_t ReadI32();
    void WriteU8(std::uint8_t v);
    void WriteI16(std::int16_t v);
    void WriteU16(std::uint16_t v) { WriteI16(static_cast<std::int16_t>(v)); }
    void WriteI32(std::int32_t v);
    void WriteText(std::string_view text) { Write(text.data(), text.size()); }

    // Characters up to the next line feed (CR and LF dropped), at most max (<= 255).
    // False at the end of the stream with nothing read.
    bool ReadTextLine(std::string& text, std::size_t max = 255);
    // The text followed by CR LF.
    void WriteTextLine(std::string_view text);

protected:
    int status_ = stOk;
    int openResult_ = stOk;
    bool writeFailed_ = false;
};

// A buffered file stream.
class TBufStream : public TStream {
public:
    TBufStream(const std::string& fileName, TOpenMode mode, std::size_t bufferSize = 1 << 16);
    ~TBufStream() override;
    TBufStream(const TBufStream&) = delete;
    TBufStream& operator=(const TBufStream&) = delete;

    void Read(void* buffer, std::size_t count) override;
    void Write(const void* buffer, std::size_t count) override;
    void Seek(std::int64_t position) override;
    std::int64_t GetSize() override;
    std::int64_t GetPos() override;

    // Writes what is buffered and closes; false when anything failed to reach the
    // file (a write, the flush, the sync or the close).
    bool Done();
    const std::string& FileName() const { return fileName_; }
    bool IsOpen() const { return fd_ >= 0; }

private:
    bool FlushWrite();
    void DropReadBuffer();

    std::string fileName_;
    int fd_ = -1;
    std::vector<unsigned char> buf_;
    std::size_t bufPos_ = 0; // read: next byte in buf_; write: bytes pending
    std::size_t bufLen_ = 0; // read: valid bytes in buf_
    bool writing_ = false;
    std::int64_t filePos_ = 0; // position of the underlying descriptor
};

// A stream over bytes in memory (tests, fuzzing, building files before writing).
class TMemoryStream : public TStream {
public:
    TMemoryStream() = default;
    explicit TMemoryStream(std::string bytes) : data_(std::move(bytes)) {}

    void Read(void* buffer, std::size_t count) override;
    void Write(const void* buffer, std::size_t count) override;
    void Seek(std::int64_t position) override;
    std::int64_t GetSize() override {
        status_ = stOk;
        return static_cast<std::int64_t>(data_.size());
    }
    std::int64_t GetPos() override {
        status_ = stOk;
        return static_cast<std::int64_t>(pos_);
    }

    const std::string& Data() const { return data_; }

private:
    std::string data_;
    std::size_t pos_ = 0;
};

} // namespace vm

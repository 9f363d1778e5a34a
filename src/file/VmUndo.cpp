#include "file/VmUndo.h"

#include "file/VmErg.h"

#include <cstring>
#include <unordered_set>

namespace vm {

namespace {

// One piece written into a block of its own.
template <class Write> TSnapshot::TBlock Piece(Write write) {
    TMemoryStream s;
    write(s);
    return std::make_shared<const std::string>(s.Data());
}

bool SameBlock(const TSnapshot::TBlock& a, const TSnapshot::TBlock& b) {
    return a == b || (a && b && *a == *b);
}

// A stream that compares what is written with the bytes of the block before, and keeps
// its own copy only from the first difference on: an age class that did not change is
// recognised without copying its bytes anywhere, and a changed one is written once.
class TBlockStream : public TStream {
public:
    explicit TBlockStream(const std::string* expected) : expected_(expected) {
        if (!expected_) data_.reserve(4096);
    }
    void Read(void*, std::size_t) override { status_ = stError; }
    void Write(const void* buffer, std::size_t count) override {
        if (expected_) {
            if (pos_ + count <= expected_->size() &&
                std::memcmp(expected_->data() + pos_, buffer, count) == 0) {
                pos_ += count;
                return;
            }
            data_.reserve(expected_->size() + 512);
            data_.assign(expected_->data(), pos_);
            expected_ = nullptr;
        }
        data_.append(static_cast<const char*>(buffer), count);
    }
    void Seek(std::int64_t) override { status_ = stError; }
    std::int64_t GetSize() override { return GetPos(); }
    std::int64_t GetPos() override {
        return static_cast<std::int64_t>(expected_ ? pos_ : data_.size());
    }
    // Everything written so far equals the block before, to its end.
    bool Same() const { return expected_ && pos_ == expected_->size(); }
    // The bytes written (when not Same()).
    std::string Take() {
        if (expected_) data_.assign(expected_->data(), pos_);
        expected_ = nullptr;
        return std::move(data_);
    }

private:
    const std::string* expected_;
    std::size_t pos_ = 0;
    std::string data_;
};

// The block of `previous` with these bytes, if any: most often the one at the same
// position; after an age class was inserted or removed, one near it.
TSnapshot::TBlock Shared(const std::string& bytes, const std::vector<TSnapshot::TBlock>& previous,
                         std::size_t at) {
    if (at < previous.size() && *previous[at] == bytes) return previous[at];
    for (const auto& b : previous)
        if (b->size() == bytes.size() && *b == bytes) return b;
    return nullptr;
}

} // namespace

std::string TSnapshot::Bytes() const {
    std::string out;
    out.reserve(Size());
    if (head_) out += *head_;
    for (const auto& b : classes_)
        out += *b;
    if (tail_) out += *tail_;
    return out;
}

std::size_t TSnapshot::Size() const {
    std::size_t n = (head_ ? head_->size() : 0) + (tail_ ? tail_->size() : 0);
    for (const auto& b : classes_)
        n += b->size();
    return n;
}

bool TSnapshot::SameAs(const TSnapshot& other) const {
    if (classes_.size() != other.classes_.size()) return false;
    if (!SameBlock(head_, other.head_) || !SameBlock(tail_, other.tail_)) return false;
    for (std::size_t i = 0; i < classes_.size(); ++i)
        if (!SameBlock(classes_[i], other.classes_[i])) return false;
    return true;
}

TSnapshot TSnapshot::Take(const TWettkampf& c, const TSnapshot* previous) {
    TSnapshot s;
    s.head_ = Piece([&](TStream& out) { WriteNativeHead(out, c); });
    if (previous && SameBlock(previous->head_, s.head_)) s.head_ = previous->head_;
    s.classes_.reserve(static_cast<std::size_t>(c.Count()));
    for (const TAltersklasse& ac : c) {
        // Most age classes are what they were in the snapshot before, at the same place.
        const std::size_t at = s.classes_.size();
        const bool hasBefore = previous && at < previous->classes_.size();
        TBlockStream out(hasBefore ? previous->classes_[at].get() : nullptr);
        WriteNativeAgeClass(out, ac);
        if (out.Same()) {
            s.classes_.push_back(previous->classes_[at]);
            continue;
        }
        std::string bytes = out.Take();
        TBlock shared = previous ? Shared(bytes, previous->classes_, at) : nullptr;
        s.classes_.push_back(shared ? std::move(shared)
                                    : std::make_shared<const std::string>(std::move(bytes)));
    }
    s.tail_ = Piece([&](TStream& out) { WriteNativeTail(out, c); });
    if (previous && SameBlock(previous->tail_, s.tail_)) s.tail_ = previous->tail_;
    return s;
}

std::unique_ptr<TWettkampf> TSnapshot::Restore() const {
    TMemoryStream in(Bytes());
    auto c = std::make_unique<TWettkampf>();
    if (!ReadNative(in, *c, true)) return nullptr;
    return c;
}

std::unique_ptr<TWettkampf> TSnapshot::Restore(const std::vector<std::size_t>& ageClasses) const {
    if (!head_ || head_->size() < 6) return nullptr;
    std::string bytes = *head_;
    // The head ends with count, limit and delta of the age-class list.
    const std::size_t at = bytes.size() - 6;
    const auto count = static_cast<std::uint16_t>(ageClasses.size());
    bytes[at] = static_cast<char>(count & 0xFF);
    bytes[at + 1] = static_cast<char>(count >> 8);
    for (std::size_t i : ageClasses)
        if (i < classes_.size()) bytes += *classes_[i];
    if (tail_) bytes += *tail_;
    TMemoryStream in(std::move(bytes));
    auto c = std::make_unique<TWettkampf>();
    if (!ReadNative(in, *c, true)) return nullptr;
    return c;
}

TChangedClasses ChangedClasses(const TSnapshot& a, const TSnapshot& b) {
    auto pointers = [](const TSnapshot& s) {
        std::unordered_set<const std::string*> set;
        for (const auto& block : s.AgeClasses())
            set.insert(block.get());
        return set;
    };
    const auto inA = pointers(a), inB = pointers(b);
    TChangedClasses changed;
    for (std::size_t i = 0; i < a.AgeClasses().size(); ++i)
        if (!inB.count(a.AgeClasses()[i].get())) changed.inA.push_back(i);
    for (std::size_t i = 0; i < b.AgeClasses().size(); ++i)
        if (!inA.count(b.AgeClasses()[i].get())) changed.inB.push_back(i);
    return changed;
}

// ---- history ---------------------------------------------------------------------------

TUndoHistory::TUndoHistory(std::size_t maxSteps, std::size_t maxBytes)
    : maxSteps_(maxSteps), maxBytes_(maxBytes) {
    states_.emplace_back();
}

void TUndoHistory::Reset(TSnapshot state, TCursor cursor, bool saved) {
    states_.clear();
    states_.push_back({std::move(state), cursor, {}, std::time(nullptr), {}});
    current_ = 0;
    saved_ = saved ? 0 : -1;
    Count();
}

void TUndoHistory::Push(std::string label, TSnapshot after, TCursor before, TCursor cursorAfter,
                        std::vector<std::string> notes) {
    states_.resize(current_ + 1);
    if (saved_ > static_cast<long>(current_)) saved_ = -1;
    states_[current_].cursor = before;
    states_.push_back(
        {std::move(after), cursorAfter, std::move(label), std::time(nullptr), std::move(notes)});
    ++current_;
    Trim();
}

const std::string& TUndoHistory::UndoLabel() const {
    static const std::string none;
    return CanUndo() ? states_[current_].label : none;
}

const std::string& TUndoHistory::RedoLabel() const {
    static const std::string none;
    return CanRedo() ? states_[current_ + 1].label : none;
}

const THistoryState& TUndoHistory::Undo(TCursor leaving) {
    if (CanUndo()) {
        states_[current_].cursor = leaving;
        --current_;
    }
    return states_[current_];
}

const THistoryState& TUndoHistory::Redo(TCursor leaving) {
    if (CanRedo()) {
        states_[current_].cursor = leaving;
        ++current_;
    }
    return states_[current_];
}

void TUndoHistory::Trim() {
    Count();
    while (states_.size() > 1 && current_ > 0 &&
           (Steps() > maxSteps_ || bytes_ > maxBytes_)) {
        states_.erase(states_.begin());
        --current_;
        saved_ = saved_ > 0 ? saved_ - 1 : -1;
        states_.front().label.clear();
        Count();
    }
}

void TUndoHistory::Count() {
    std::unordered_set<const std::string*> seen;
    bytes_ = 0;
    auto add = [&](const TSnapshot::TBlock& b) {
        if (b && seen.insert(b.get()).second) bytes_ += b->size();
    };
    for (const THistoryState& st : states_) {
        add(st.snapshot.Head());
        add(st.snapshot.Tail());
        for (const auto& b : st.snapshot.AgeClasses())
            add(b);
    }
}

} // namespace vm

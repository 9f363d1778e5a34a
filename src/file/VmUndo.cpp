#include "file/VmUndo.h"

#include "file/VmErg.h"

#include <algorithm>
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

bool SameClass(const TSnapshot::TClass& a, const TSnapshot::TClass& b) {
    return a == b || (a && b && *a == *b);
}

} // namespace

// A stream that builds an age class's block against the block before: while what is
// written equals the piece at the same place before, nothing is copied; a piece that
// is the same to its end is shared, a piece that differs is written once.
class TClassWriter : public TStream {
public:
    explicit TClassWriter(TSnapshot::TClass before) : before_(std::move(before)) {
        block_ = std::make_shared<TClassBlock>();
        if (before_) block_->pieces_.reserve(before_->pieces_.size());
        same_ = before_ != nullptr;
    }
    void Read(void*, std::size_t) override { status_ = stError; }
    void Write(const void* buffer, std::size_t count) override {
        const char* from = static_cast<const char*>(buffer);
        while (count > 0) {
            const std::size_t take = std::min(count, TClassBlock::PieceSize - used_);
            if (same_) {
                const TClassBlock::TPiece* old = Before();
                if (old && used_ + take <= (*old)->size() &&
                    std::memcmp((*old)->data() + used_, from, take) == 0) {
                    used_ += take;
                } else {
                    Diverge();
                    piece_.append(from, take);
                    used_ += take;
                }
            } else {
                piece_.append(from, take);
                used_ += take;
            }
            from += take;
            count -= take;
            block_->size_ += take;
            if (used_ == TClassBlock::PieceSize) EndPiece();
        }
    }
    void Seek(std::int64_t) override { status_ = stError; }
    std::int64_t GetSize() override { return GetPos(); }
    std::int64_t GetPos() override { return static_cast<std::int64_t>(block_->size_); }

    // The block written: the one before itself when every piece is the same.
    TSnapshot::TClass Finish() {
        if (used_ > 0) EndPiece();
        if (before_ && allSame_ && block_->pieces_.size() == before_->pieces_.size())
            return before_;
        return std::move(block_);
    }

private:
    const TClassBlock::TPiece* Before() const {
        const std::size_t i = block_->pieces_.size();
        return before_ && i < before_->pieces_.size() ? &before_->pieces_[i] : nullptr;
    }
    // From here on this piece is our own: it starts with what matched so far.
    void Diverge() {
        const TClassBlock::TPiece* old = Before();
        piece_.reserve(TClassBlock::PieceSize);
        if (old) piece_.assign((*old)->data(), used_);
        same_ = false;
        allSame_ = false;
    }
    void EndPiece() {
        const TClassBlock::TPiece* old = Before();
        if (same_ && old && (*old)->size() == used_) {
            block_->pieces_.push_back(*old);
        } else {
            if (same_) Diverge();
            block_->pieces_.push_back(std::make_shared<const std::string>(std::move(piece_)));
            piece_ = std::string();
        }
        used_ = 0;
        same_ = before_ != nullptr;
    }

    TSnapshot::TClass before_;
    std::shared_ptr<TClassBlock> block_;
    std::string piece_;
    std::size_t used_ = 0; // bytes of the current piece
    bool same_ = false;    // the current piece so far equals the one before
    bool allSame_ = true;
};

namespace {

// The block of `previous` with these bytes, if any (after an age class was inserted or
// removed, one near its old place).
TSnapshot::TClass Shared(const TClassBlock& block, const std::vector<TSnapshot::TClass>& previous) {
    for (const auto& b : previous)
        if (b->size() == block.size() && *b == block) return b;
    return nullptr;
}

} // namespace

std::string TClassBlock::Bytes() const {
    std::string out;
    AppendTo(out);
    return out;
}

void TClassBlock::AppendTo(std::string& out) const {
    out.reserve(out.size() + size_);
    for (const TPiece& p : pieces_)
        out += *p;
}

bool TClassBlock::operator==(const TClassBlock& other) const {
    if (size_ != other.size_ || pieces_.size() != other.pieces_.size()) return false;
    for (std::size_t i = 0; i < pieces_.size(); ++i)
        if (pieces_[i] != other.pieces_[i] && *pieces_[i] != *other.pieces_[i]) return false;
    return true;
}

std::string TSnapshot::Bytes() const {
    std::string out;
    out.reserve(Size());
    if (head_) out += *head_;
    for (const auto& b : classes_)
        b->AppendTo(out);
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
        if (!SameClass(classes_[i], other.classes_[i])) return false;
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
        const TClass before = hasBefore ? previous->classes_[at] : nullptr;
        TClassWriter out(before);
        WriteNativeAgeClass(out, ac);
        TClass block = out.Finish();
        if (previous && block != before)
            if (TClass shared = Shared(*block, previous->classes_)) block = std::move(shared);
        s.classes_.push_back(std::move(block));
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
        if (i < classes_.size()) classes_[i]->AppendTo(bytes);
    if (tail_) bytes += *tail_;
    TMemoryStream in(std::move(bytes));
    auto c = std::make_unique<TWettkampf>();
    if (!ReadNative(in, *c, true)) return nullptr;
    return c;
}

TChangedClasses ChangedClasses(const TSnapshot& a, const TSnapshot& b) {
    auto pointers = [](const TSnapshot& s) {
        std::unordered_set<const TClassBlock*> set;
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
    std::unordered_set<const TClassBlock*> classes;
    for (const THistoryState& st : states_) {
        add(st.snapshot.Head());
        add(st.snapshot.Tail());
        for (const auto& b : st.snapshot.AgeClasses())
            if (classes.insert(b.get()).second)
                for (const auto& piece : b->Pieces())
                    add(piece);
    }
}

} // namespace vm

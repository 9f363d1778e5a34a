// Undo and redo of the document: snapshots of the competition in the result file's own
// bytes, and the history of the states the user went through.
//
// A snapshot holds exactly what saving would write, in three kinds of pieces: the head
// (signature, header, head of the age-class list), one block per age class, and the
// tail (Gliederung and organisation lists). A block that did not change is shared with
// the snapshot before, so that a history of a hundred small edits in a large
// competition costs little more than one copy of it. An age-class block is kept in
// pieces, so that one changed time in a class of thousands costs one new piece, not a
// copy of the whole class.
#pragma once

#include "model/VmWettk.h"

#include <cstddef>
#include <ctime>
#include <memory>
#include <string>
#include <vector>

namespace vm {

// The bytes of one age class, in pieces of at most PieceSize bytes (the last may be
// shorter); a piece equal to the one at the same place in the block before is shared.
class TClassBlock {
public:
    using TPiece = std::shared_ptr<const std::string>;
    static constexpr std::size_t PieceSize = 32 * 1024;

    std::size_t size() const { return size_; }
    const std::vector<TPiece>& Pieces() const { return pieces_; }
    std::string Bytes() const;
    void AppendTo(std::string& out) const;
    // Same bytes; shared pieces are not compared again.
    bool operator==(const TClassBlock& other) const;

private:
    friend class TClassWriter;
    std::vector<TPiece> pieces_;
    std::size_t size_ = 0;
};

class TSnapshot {
public:
    using TBlock = std::shared_ptr<const std::string>;
    using TClass = std::shared_ptr<const TClassBlock>;

    bool Empty() const { return !head_; }
    // The result file's bytes: what WriteNative writes.
    std::string Bytes() const;
    std::size_t Size() const;
    // Same bytes; shared blocks are not compared again.
    bool SameAs(const TSnapshot& other) const;

    const TBlock& Head() const { return head_; }
    const TBlock& Tail() const { return tail_; }
    const std::vector<TClass>& AgeClasses() const { return classes_; }

    // Takes the competition as it is now; blocks equal to a block of `previous` are
    // shared with it.
    static TSnapshot Take(const TWettkampf& c, const TSnapshot* previous = nullptr);
    // The competition of the snapshot, as loading its bytes would give it; nullptr when
    // the bytes cannot be read (which a snapshot of ours never has).
    std::unique_ptr<TWettkampf> Restore() const;
    // The same with only the age classes at these positions: enough to say what changed
    // between two snapshots without reading what both share.
    std::unique_ptr<TWettkampf> Restore(const std::vector<std::size_t>& ageClasses) const;

private:
    TBlock head_;
    TBlock tail_;
    std::vector<TClass> classes_;
};

// The positions of the age classes in which two snapshots differ: those of `a` not
// shared with `b`, and those of `b` not shared with `a`.
struct TChangedClasses {
    std::vector<std::size_t> inA;
    std::vector<std::size_t> inB;
};
TChangedClasses ChangedClasses(const TSnapshot& a, const TSnapshot& b);

// Where the user was: the age class (its position) and the grid row.
struct TCursor {
    int ageClass = 0;
    int row = 0;
};

struct THistoryState {
    TSnapshot snapshot;
    TCursor cursor;
    std::string label; // the command that led here (empty for the first state)
    std::time_t time = 0; // when it did
    // What the change journal says of the step beyond the fields it changed (the watches
    // a heat's times were derived from).
    std::vector<std::string> notes;
};

// The states of the document from oldest to newest, one of them current. Undo steps
// back, Redo forward; a new change drops the states ahead. The oldest states go first
// when there are more than `maxSteps` steps or their blocks take more than `maxBytes`.
class TUndoHistory {
public:
    explicit TUndoHistory(std::size_t maxSteps = 100, std::size_t maxBytes = 160u << 20);

    // A new or opened document: no steps, and this state is the saved one (unless
    // `saved` is false: a recovered document that no file holds yet).
    void Reset(TSnapshot state, TCursor cursor = {}, bool saved = true);
    const TSnapshot& Current() const { return states_[current_].snapshot; }

    // Records a change that led from the current state to `after`. `before` is where the
    // user was when the change started (undo returns there); `cursorAfter` where the
    // change left him.
    void Push(std::string label, TSnapshot after, TCursor before, TCursor cursorAfter,
              std::vector<std::string> notes = {});

    bool CanUndo() const { return current_ > 0; }
    bool CanRedo() const { return current_ + 1 < states_.size(); }
    // The label of the step Undo or Redo would take.
    const std::string& UndoLabel() const;
    const std::string& RedoLabel() const;
    // Moves one step and answers the state to show now; `leaving` is where the user is
    // in the state he leaves, so that coming back to it puts him there again.
    const THistoryState& Undo(TCursor leaving = {});
    const THistoryState& Redo(TCursor leaving = {});

    // The current state is what the file on disk holds.
    void MarkSaved() { saved_ = static_cast<long>(current_); }
    bool AtSaved() const { return saved_ == static_cast<long>(current_); }
    long SavedIndex() const { return saved_; }
    std::size_t CurrentIndex() const { return current_; }
    const THistoryState& State(std::size_t i) const { return states_[i]; }

    std::size_t Steps() const { return states_.size() - 1; }
    // The bytes of every distinct block the history holds.
    std::size_t Bytes() const { return bytes_; }

private:
    void Trim();
    void Count();

    std::size_t maxSteps_;
    std::size_t maxBytes_;
    std::vector<THistoryState> states_;
    std::size_t current_ = 0;
    long saved_ = 0; // -1: the saved state is gone
    std::size_t bytes_ = 0;
};

} // namespace vm

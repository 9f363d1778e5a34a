#include "file/VmErg.h"
#include "file/VmUndo.h"
#include "support/Builders.h"

#include <gtest/gtest.h>

#include <functional>

namespace vm {
namespace {

using vmtest::AddAgeClass;
using vmtest::AddEntrant;

std::string Saved(const TWettkampf& c) {
    TMemoryStream s;
    WriteNative(s, c);
    return s.Data();
}

std::unique_ptr<TWettkampf> ThreeClasses() {
    auto c = vmtest::Competition();
    for (const char* name : {"AK 10", "AK 11", "AK 12"}) {
        TAltersklasse& ac = AddAgeClass(*c, name, 2010, 2011);
        for (int i = 0; i < 4; ++i)
            AddEntrant(ac, std::string(name) + "-" + std::to_string(i), 10 * i + 1, "OG");
    }
    return c;
}

TEST(Snapshot, HoldsTheSavedBytesAndRestoresThem) {
    auto c = ThreeClasses();
    const TSnapshot s = TSnapshot::Take(*c);
    EXPECT_EQ(s.Bytes(), Saved(*c));
    EXPECT_EQ(s.Size(), Saved(*c).size());
    ASSERT_EQ(s.AgeClasses().size(), 3u);
    auto back = s.Restore();
    ASSERT_TRUE(back);
    EXPECT_EQ(Saved(*back), Saved(*c));
}

TEST(Snapshot, SharesWhatDidNotChange) {
    auto c = ThreeClasses();
    const TSnapshot before = TSnapshot::Take(*c);
    c->At(1)->At(2)->Zeit[0] = 3723;
    const TSnapshot after = TSnapshot::Take(*c, &before);
    EXPECT_FALSE(after.SameAs(before));
    EXPECT_EQ(after.Head(), before.Head());
    EXPECT_EQ(after.Tail(), before.Tail());
    EXPECT_EQ(after.AgeClasses()[0], before.AgeClasses()[0]);
    EXPECT_NE(after.AgeClasses()[1], before.AgeClasses()[1]);
    EXPECT_EQ(after.AgeClasses()[2], before.AgeClasses()[2]);
    EXPECT_EQ(after.Bytes(), Saved(*c));

    // Removing the first age class shifts the others; their blocks are still found.
    c->Free(c->At(0));
    const TSnapshot shifted = TSnapshot::Take(*c, &after);
    ASSERT_EQ(shifted.AgeClasses().size(), 2u);
    EXPECT_EQ(shifted.AgeClasses()[0], after.AgeClasses()[1]);
    EXPECT_EQ(shifted.AgeClasses()[1], after.AgeClasses()[2]);
    EXPECT_NE(shifted.Head(), after.Head()); // the count of the age-class list

    // A change and its reversal compare equal to the state before, block by block.
    const TSnapshot same = TSnapshot::Take(*c, nullptr);
    EXPECT_TRUE(same.SameAs(shifted));

    // What differs between two snapshots, read back without what they share.
    const TChangedClasses changed = ChangedClasses(before, after);
    EXPECT_EQ(changed.inA, std::vector<std::size_t>{1});
    EXPECT_EQ(changed.inB, std::vector<std::size_t>{1});
    auto part = after.Restore(changed.inB);
    ASSERT_TRUE(part);
    ASSERT_EQ(part->Count(), 1);
    EXPECT_EQ(part->At(0)->Name(), "AK 11");
    EXPECT_EQ(part->Header.Veranstaltung.Get(), c->Header.Veranstaltung.Get());
}

TSnapshot State(TWettkampf& c, int time) {
    c.At(0)->At(0)->Zeit[0] = static_cast<std::int32_t>(time);
    return TSnapshot::Take(c);
}

TEST(UndoHistory, StepsBackAndForthAndFollowsTheSavedState) {
    auto c = ThreeClasses();
    TUndoHistory h;
    h.Reset(State(*c, 0), {0, 0});
    EXPECT_FALSE(h.CanUndo());
    EXPECT_FALSE(h.CanRedo());
    EXPECT_TRUE(h.AtSaved());

    h.Push("eins", State(*c, 1), {0, 3}, {1, 1});
    h.Push("zwei", State(*c, 2), {1, 2}, {2, 0});
    EXPECT_FALSE(h.AtSaved());
    EXPECT_EQ(h.UndoLabel(), "zwei");

    h.MarkSaved();
    EXPECT_TRUE(h.AtSaved());
    const THistoryState& back = h.Undo({2, 0});
    EXPECT_EQ(back.snapshot.Bytes(), State(*c, 1).Bytes());
    // Undo returns to where the user was when the step began.
    EXPECT_EQ(back.cursor.ageClass, 1);
    EXPECT_EQ(back.cursor.row, 2);
    EXPECT_FALSE(h.AtSaved()); // undone past the save
    EXPECT_EQ(h.RedoLabel(), "zwei");
    EXPECT_EQ(h.Undo({1, 7}).cursor.row, 3);
    EXPECT_FALSE(h.CanUndo());
    // Where the user left a state is where he finds himself again.
    EXPECT_EQ(h.Redo({0, 3}).cursor.row, 7);
    EXPECT_EQ(h.Redo({1, 7}).cursor.ageClass, 2);
    EXPECT_TRUE(h.AtSaved()); // redone back to what was saved
    EXPECT_FALSE(h.CanRedo());

    // A new change after undoing drops the steps ahead, the saved one among them.
    h.Undo();
    h.Push("drei", State(*c, 3), {0, 0}, {0, 0});
    EXPECT_FALSE(h.CanRedo());
    EXPECT_EQ(h.SavedIndex(), -1);
    EXPECT_FALSE(h.AtSaved());
    h.Undo();
    h.Undo();
    EXPECT_FALSE(h.AtSaved()); // the saved state is gone for good
}

// A large age class is kept in pieces: one changed time costs one new piece; a change
// at the end of the class, or in its last and shorter piece, and a class that grows or
// shrinks by a participant still give exactly the saved bytes.
TEST(Snapshot, ALargeClassSharesItsUnchangedPieces) {
    auto c = vmtest::Competition();
    TAltersklasse& ac = AddAgeClass(*c, "AK groß", 2010, 2011);
    for (int i = 0; i < 1000; ++i)
        AddEntrant(ac, "N" + std::to_string(1000 + i), 100 + i, "OG");
    const TSnapshot before = TSnapshot::Take(*c);
    const auto& old = before.AgeClasses()[0]->Pieces();
    ASSERT_GT(old.size(), 4u);

    struct Case {
        const char* what;
        std::function<void(TWettkampf&)> change;
        std::size_t newPieces; // 0: every piece from the first change on
    };
    const Case cases[] = {
        {"a time in the middle", [](TWettkampf& w) { w.At(0)->At(500)->Zeit[0] = 4711; }, 1},
        {"the last participant", [](TWettkampf& w) { w.At(0)->At(999)->Zeit[1] = 4711; }, 1},
        {"one more participant",
         [](TWettkampf& w) { AddEntrant(*w.At(0), "Z9999", 9, "OG"); }, 0},
        {"one participant fewer", [](TWettkampf& w) { w.At(0)->Free(w.At(0)->At(999)); }, 0},
    };
    for (const Case& k : cases) {
        SCOPED_TRACE(k.what);
        auto w = before.Restore();
        ASSERT_TRUE(w);
        k.change(*w);
        const TSnapshot after = TSnapshot::Take(*w, &before);
        EXPECT_EQ(after.Bytes(), Saved(*w));
        EXPECT_FALSE(after.SameAs(before));
        const auto& now = after.AgeClasses()[0]->Pieces();
        std::size_t fresh = 0;
        for (std::size_t i = 0; i < now.size(); ++i) {
            EXPECT_LE(now[i]->size(), TClassBlock::PieceSize);
            if (i >= old.size() || now[i] != old[i]) ++fresh;
        }
        if (k.newPieces) {
            EXPECT_EQ(fresh, k.newPieces);
        }
        EXPECT_TRUE(TSnapshot::Take(*w, &after).SameAs(after));
        EXPECT_EQ(TSnapshot::Take(*w, &after).AgeClasses()[0], after.AgeClasses()[0]);
    }
}

TEST(UndoHistory, DropsTheOldestStepFirst) {
    auto c = ThreeClasses();
    struct Case {
        std::size_t maxSteps;
        std::size_t maxBytes;
        std::size_t steps;
    };
    const TSnapshot first = TSnapshot::Take(*c);
    const std::size_t one = first.Size();
    const std::size_t block = first.AgeClasses()[0]->size();
    // By count; and by bytes, where every state holds its own copy of the first age
    // class and shares the rest.
    for (const Case& k : {Case{3, 1u << 30, 3}, Case{100, one + 2 * block, 2}}) {
        SCOPED_TRACE(k.maxSteps);
        TUndoHistory h(k.maxSteps, k.maxBytes);
        TSnapshot s = State(*c, 0);
        h.Reset(s);
        for (int i = 1; i <= 5; ++i) {
            c->At(0)->At(0)->Zeit[0] = static_cast<std::int32_t>(i);
            TSnapshot next = TSnapshot::Take(*c, &h.Current());
            h.Push("Schritt " + std::to_string(i), std::move(next), {}, {});
        }
        EXPECT_EQ(h.Steps(), k.steps);
        EXPECT_LE(h.Bytes(), k.maxBytes);
        EXPECT_EQ(h.SavedIndex(), -1);
        // The newest steps are kept.
        EXPECT_EQ(h.UndoLabel(), "Schritt 5");
        while (h.CanUndo())
            h.Undo();
        EXPECT_EQ(h.RedoLabel(), "Schritt " + std::to_string(6 - k.steps));
        EXPECT_EQ(h.Current().Bytes(), State(*c, static_cast<int>(5 - k.steps)).Bytes());
    }
}

} // namespace
} // namespace vm

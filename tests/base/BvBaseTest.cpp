#include "base/BvBase.h"
#include "base/VmAssert.h"
#include "model/VmBasis.h"
#include "support/TestSupport.h"

#include <gtest/gtest.h>

namespace vm {
namespace {
struct Item {
    int key;
    int tag;
};
class Sorted : public TSortedCollection<Item> {
public:
    using TSortedCollection<Item>::TSortedCollection;
    int Compare(const Item& a, const Item& b) const override {
        return a.key < b.key ? -1 : a.key > b.key ? 1 : 0;
    }
};
} // namespace

TEST(Collection, SortedInsertPutsEqualItemsBeforeExistingOnes) {
    Sorted s(4, 4);
    s.Duplicates = true;
    s.Insert(std::make_unique<Item>(Item{1, 0}));
    s.Insert(std::make_unique<Item>(Item{2, 1}));
    s.Insert(std::make_unique<Item>(Item{3, 2}));
    s.Insert(std::make_unique<Item>(Item{2, 3}));
    ASSERT_EQ(s.Count(), 4);
    EXPECT_EQ(s.At(1)->tag, 3);
    EXPECT_EQ(s.At(2)->tag, 1);
    int idx = -1;
    EXPECT_TRUE(s.Search(Item{2, 0}, idx));
    EXPECT_EQ(idx, 1);
    EXPECT_EQ(s.IndexOf(s.At(2)), 2);

    Sorted unique(4, 4);
    EXPECT_TRUE(unique.Insert(std::make_unique<Item>(Item{5, 0})));
    EXPECT_FALSE(unique.Insert(std::make_unique<Item>(Item{5, 1})));
    EXPECT_EQ(unique.Count(), 1);
}

TEST(Collection, LimitIsCappedAndNeverBelowCount) {
    Sorted s(2, 0);
    s.SetLimit(20000);
    EXPECT_EQ(s.Limit(), MaxCollectionSize);
    s.SetLimit(1);
    s.Insert(std::make_unique<Item>(Item{1, 0}));
    s.Insert(std::make_unique<Item>(Item{2, 0}));
    s.SetLimit(0);
    EXPECT_EQ(s.Limit(), s.Count());
}

TEST(Collection, BadIndexAndFullListLeaveTheListIntact) {
    TMessageCapture cap;
    TCollection<Item> c(2, 0);
    EXPECT_TRUE(c.Insert(std::make_unique<Item>(Item{1, 0})));
    EXPECT_TRUE(c.Insert(std::make_unique<Item>(Item{2, 0})));
    EXPECT_FALSE(c.Insert(std::make_unique<Item>(Item{3, 0}))); // full, no growth step
    EXPECT_EQ(c.At(5), nullptr);
    EXPECT_EQ(c.AtDelete(-1), nullptr);
    EXPECT_FALSE(c.AtInsert(7, std::make_unique<Item>(Item{4, 0})));
    ASSERT_EQ(c.Count(), 2);
    EXPECT_EQ(c.At(0)->key, 1);
    EXPECT_EQ(c.At(1)->key, 2);
    EXPECT_EQ(cap.Messages().size(), 4u);

    TCollection<Item> big(MaxCollectionSize, 100);
    for (int i = 0; i < MaxCollectionSize; ++i)
        big.Insert(std::make_unique<Item>(Item{i, 0}));
    EXPECT_FALSE(big.Insert(std::make_unique<Item>(Item{-1, 0})));
    EXPECT_EQ(big.Count(), MaxCollectionSize);
    EXPECT_EQ(big.At(MaxCollectionSize - 1)->key, MaxCollectionSize - 1);
}

TEST(Collection, SortKeepsEveryItem) {
    Sorted s(10, 10);
    s.Duplicates = true;
    for (int k : {5, 5})
        s.Append(std::make_unique<Item>(Item{k, 0}));
    s.Sort();
    EXPECT_EQ(s.Count(), 2);
    Sorted t(100, 10);
    t.Duplicates = true;
    unsigned x = 7;
    for (int i = 0; i < 60; ++i) {
        x = x * 1103515245u + 12345u;
        t.Append(std::make_unique<Item>(Item{static_cast<int>((x >> 16) % 10), i}));
    }
    t.Sort();
    ASSERT_EQ(t.Count(), 60);
    for (int i = 1; i < 60; ++i)
        EXPECT_LE(t.At(i - 1)->key, t.At(i)->key);
}

TEST(Stream, StatusFollowsTheLastOperationOpenResultStays) {
    TMemoryStream m(std::string("\x01\x02\x03", 3));
    unsigned char buf[8] = {9, 9, 9, 9, 9, 9, 9, 9};
    m.Read(buf, 5);
    EXPECT_NE(m.Status(), stOk);
    EXPECT_EQ(buf[0], 1);
    EXPECT_EQ(buf[3], 9); // the rest of the buffer is left alone
    m.Seek(0);
    EXPECT_EQ(m.Status(), stOk);
    EXPECT_EQ(m.ReadI16(), 0x0201);
    // Asking for the size or the position is an operation of its own as well.
    m.Read(buf, 5);
    ASSERT_NE(m.Status(), stOk);
    EXPECT_EQ(m.GetSize(), 3);
    EXPECT_EQ(m.Status(), stOk);
    m.Read(buf, 5);
    EXPECT_EQ(m.GetPos(), 3);
    EXPECT_EQ(m.Status(), stOk);

    vmtest::TempDir dir;
    vmtest::WriteFileBytes(dir.File("S.BIN"), "abc");
    TBufStream file(dir.File("S.BIN"), TOpenMode::OpenRead);
    file.Read(buf, 5);
    ASSERT_NE(file.Status(), stOk);
    EXPECT_EQ(file.GetSize(), 3);
    EXPECT_EQ(file.Status(), stOk);
    file.Read(buf, 5);
    EXPECT_EQ(file.GetPos(), 3);
    EXPECT_EQ(file.Status(), stOk);

    TBufStream missing("/nonexistent/velmora/file", TOpenMode::OpenRead);
    EXPECT_NE(missing.OpenResult(), stOk);
    EXPECT_EQ(missing.GetSize(), -1);
}
TEST(Collection, CallerErrorsReachTheMessageRoutine) {
    TMessageCapture messages;
    Sorted s(4, 4);
    s.Insert(std::make_unique<Item>(Item{1, 0}));
    EXPECT_EQ(s.At(3), nullptr);
    EXPECT_FALSE(s.AtPut(-1, std::make_unique<Item>(Item{2, 0})));
    EXPECT_EQ(s.Count(), 1);
    ASSERT_EQ(messages.Messages().size(), 2u);
    EXPECT_EQ(messages.Messages()[0],
              "Interner Programmfehler aufgetreten: \r\nListenfehler (At, Index 3)");
    EXPECT_EQ(messages.Messages()[1],
              "Interner Programmfehler aufgetreten: \r\nListenfehler (AtPut, Index -1)");
}

TEST(Invariants, CheckedOnlyWhereAssertionsAreOn) {
    int evaluated = 0;
#if defined(VELMORA_ASSERTS)
    EXPECT_DEATH(VM_ASSERT(++evaluated == 5), "Annahme verletzt: \\+\\+evaluated == 5");
    VM_ASSERT(++evaluated == 1);
    EXPECT_EQ(evaluated, 1);
#else
    VM_ASSERT(++evaluated == 5); // compiled, never evaluated
    EXPECT_EQ(evaluated, 0);
#endif
}

} // namespace vm

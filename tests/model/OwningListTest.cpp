#include "model/COwningList.h"

#include <gtest/gtest.h>

namespace {
// Counts live items so the tests see which ones the list deleted.
struct Item {
    explicit Item(int v, int* live) : value(v), alive(live) { ++*alive; }
    ~Item() { --*alive; }
    int value;
    int* alive;
};

struct OwningListFixture : ::testing::Test {
    void Fill(int n) {
        for (int i = 1; i <= n; ++i)
            list.Append(std::make_unique<Item>(i * 10, &live));
    }
    int live = 0;
    COwningList<Item> list;
};
} // namespace

TEST_F(OwningListFixture, AppendLeavesCursorOnTheNewItem) {
    EXPECT_EQ(list.GetCursorIndex(), 0);
    Fill(3);
    EXPECT_EQ(list.GetCount(), 3);
    EXPECT_EQ(list.GetCursorIndex(), 3);
    EXPECT_EQ(list.GetAt(1)->value, 10);
    EXPECT_EQ(list.GetCursorIndex(), 1);
    EXPECT_EQ(list.GetAt(3)->value, 30);
    EXPECT_EQ(list.GetCursorIndex(), 3);
}

TEST_F(OwningListFixture, OutOfRangeIndicesChangeNothing) {
    Fill(3);
    list.GetAt(2);
    EXPECT_EQ(list.GetAt(0), nullptr);
    EXPECT_EQ(list.GetAt(4), nullptr);
    EXPECT_EQ(list.GetAt(-1), nullptr);
    EXPECT_EQ(list.GetCursorIndex(), 2);
    EXPECT_FALSE(list.RemoveAt(0));
    EXPECT_FALSE(list.RemoveAt(4));
    EXPECT_EQ(list.GetCount(), 3);
    EXPECT_EQ(live, 3);
}

TEST_F(OwningListFixture, RemoveAtDeletesAndMovesTheCursor) {
    Fill(4);
    // Removing the last item: cursor on the new last node, index count - 1.
    EXPECT_TRUE(list.RemoveAt(4));
    EXPECT_EQ(live, 3);
    EXPECT_EQ(list.GetCursorIndex(), 3);
    EXPECT_EQ(list.GetAt(3)->value, 30);
    // Removing a middle item: the following item takes its index.
    EXPECT_TRUE(list.RemoveAt(2));
    EXPECT_EQ(list.GetCursorIndex(), 2);
    EXPECT_EQ(list.GetAt(2)->value, 30);
    // Removing the first.
    EXPECT_TRUE(list.RemoveAt(1));
    EXPECT_EQ(list.GetCursorIndex(), 1);
    EXPECT_EQ(list.GetAt(1)->value, 30);
    // The only item: the list empties as with RemoveAll.
    EXPECT_TRUE(list.RemoveAt(1));
    EXPECT_EQ(list.GetCount(), 0);
    EXPECT_EQ(list.GetCursorIndex(), 0);
    EXPECT_EQ(live, 0);
}

TEST_F(OwningListFixture, RemoveAllDeletesEverythingOnce) {
    EXPECT_FALSE(list.RemoveAll());
    Fill(5);
    EXPECT_TRUE(list.RemoveAll());
    EXPECT_EQ(live, 0);
    EXPECT_EQ(list.GetCount(), 0);
    EXPECT_FALSE(list.RemoveAll());
    Fill(2);
    EXPECT_EQ(list.GetCursorIndex(), 2);
}

TEST_F(OwningListFixture, ReleaseKeepsTheItemAliveAndInsertAtPutsItBack) {
    Fill(3);
    std::unique_ptr<Item> middle = list.Release(2);
    Item* raw = middle.get();
    ASSERT_TRUE(raw);
    EXPECT_EQ(live, 3);                  // taken out, not deleted
    EXPECT_EQ(list.GetCursorIndex(), 2); // on the item that took its place, as RemoveAt
    EXPECT_EQ(list.GetAt(2)->value, 30);
    EXPECT_EQ(list.Release(3), nullptr);
    EXPECT_EQ(list.InsertAt(2, std::move(middle)), raw);
    EXPECT_EQ(list.GetCursorIndex(), 2);
    EXPECT_EQ(list.GetAt(3)->value, 30);
    list.InsertAt(9, std::make_unique<Item>(40, &live)); // past the end: last
    EXPECT_EQ(list.GetAt(4)->value, 40);
    for (int i = 4; i >= 1; --i)
        list.Release(i);
    EXPECT_EQ(list.GetCursorIndex(), 0);
    EXPECT_EQ(live, 0); // each released item deleted by its unique_ptr
}

#include <gtest/gtest.h>

#include <memory>

#include "rvm/list_idx.h"

namespace {

using IntList = list_idx<int>;

std::unique_ptr<IntList> NewList() { return std::make_unique<IntList>(); }

TEST(ListIdx, SlotsFollowTheFreeStackAndKeepExistingEntries) {
    auto list = NewList();
    EXPECT_EQ(list->Slot(40), 0);
    EXPECT_EQ(list->Slot(7), 1);
    EXPECT_EQ(list->Count(), 2);
    EXPECT_EQ(list->Slot(40), 0);  // found, not made again
    EXPECT_EQ(list->Count(), 2);
}

TEST(ListIdx, IterationKeepsInsertionOrderAndResetReplacesInPlace) {
    auto list = NewList();
    list->Begin();
    EXPECT_TRUE(list->IsEnd());
    list->Set(5, 50);
    list->Set(1, 10);
    list->Set(3, 30);
    list->Set(5, 55);
    int keys[3] = {};
    int values[3] = {};
    int n = 0;
    for (list->Begin(); !list->IsEnd(); list->Next()) {
        ASSERT_LT(n, 3);
        keys[n] = list->Key();
        values[n] = list->Value();
        ++n;
    }
    EXPECT_EQ(n, 3);
    EXPECT_EQ(keys[0], 5);
    EXPECT_EQ(values[0], 55);
    EXPECT_EQ(keys[1], 1);
    EXPECT_EQ(keys[2], 3);
    EXPECT_EQ(values[2], 30);
}

TEST(ListIdx, ClearStartsAgainAtSlotZero) {
    auto list = NewList();
    list->Set(9, 1);
    list->Set(8, 2);
    list->Clear();
    EXPECT_EQ(list->Count(), 0);
    EXPECT_EQ(list->Find(9), nullptr);
    EXPECT_EQ(list->Slot(8), 0);
}

TEST(ListIdx, FindAddsNothing) {
    auto list = NewList();
    EXPECT_EQ(list->Find(2), nullptr);
    EXPECT_EQ(list->Count(), 0);
    list->Set(2, 20);
    ASSERT_NE(list->Find(2), nullptr);
    EXPECT_EQ(*list->Find(2), 20);
}

TEST(ListIdx, FullListRefusesANewKeyButKeepsOldOnes) {
    auto list = NewList();
    for (int k = 0; k < LIST_IDX_ENTRY_NUM; ++k)
        ASSERT_EQ(list->Set(k, k * 2), 1);
    EXPECT_EQ(list->Count(), 1024);
    EXPECT_EQ(list->Slot(5000), -1);
    EXPECT_EQ(list->Set(5000, 1), 0);
    EXPECT_EQ(list->Count(), 1024);
    EXPECT_EQ(list->Set(1023, 7), 1);  // an existing key still takes a new value
    EXPECT_EQ(*list->Find(1023), 7);
    list->Begin();
    for (int k = 0; k < 1024; ++k)
        list->Next();
    EXPECT_TRUE(list->IsEnd());
    list->Next();  // stepping past the end stays at the end
    EXPECT_TRUE(list->IsEnd());
}

}  // namespace

#include <gtest/gtest.h>

#include <vector>

#include "rvm/RVMArray.h"

namespace {

typedef CRVMArray<int*, 32> ARRAY;

TEST(RVMArray, AddsTakeTheLowestFreeSlotAndTheArrayHoldsNoMoreThanItsCapacity)
{
    ARRAY a;
    int v[300];
    EXPECT_EQ(a.Add(&v[0]), 0);
    EXPECT_EQ(a.Add(&v[1]), 1);
    EXPECT_EQ(a.Add(&v[2]), 2);
    EXPECT_EQ(a.Remove(1, &v[1]), 1);
    EXPECT_EQ(a.Add(&v[3]), 1);
    // A removal names the object: another one in the slot, or an empty slot, is left alone.
    EXPECT_EQ(a.Remove(1, &v[0]), 0);
    EXPECT_EQ(a.Get(1), &v[3]);
    EXPECT_EQ(a.Remove(7, &v[0]), 0);
    EXPECT_EQ(a.GetCount(), 3);

    for (int i = 3; i < 256; i++)
        EXPECT_EQ(a.Add(&v[i]), i);
    EXPECT_EQ(a.GetCount(), 256);
    EXPECT_EQ(a.Add(&v[256]), -1);
    EXPECT_EQ(a.GetCount(), 256);
    EXPECT_EQ(a.Get(256), nullptr);
    EXPECT_EQ(a.Get(-1), nullptr);
    // A hole high up is found past the full words below it.
    EXPECT_EQ(a.Remove(200, &v[200]), 1);
    EXPECT_EQ(a.Add(&v[299]), 200);
}

TEST(RVMArray, AWalkVisitsLiveSlotsInAscendingOrderAndSeesChangesMadeDuringIt)
{
    ARRAY a;
    int v[8];
    for (int i = 0; i < 5; i++)
        a.Add(&v[i]);
    a.Remove(1, &v[1]);
    a.Remove(3, &v[3]);
    // Slots 0, 2, 4 live. At slot 2: slot 1 is filled (behind the walk) and slot 4 removed;
    // the add lands in slot 1 and is not seen, then an add into slot 3 is.
    std::vector<int*> seen;
    for (ARRAY::rvmarray_iterator it = a.begin(); it != a.end(); ++it) {
        seen.push_back(*it);
        if (it.GetSlot() == 2) {
            EXPECT_EQ(a.Add(&v[5]), 1);
            EXPECT_EQ(a.Add(&v[6]), 3);
            a.Remove(4, &v[4]);
        }
    }
    EXPECT_EQ(seen, (std::vector<int*>{&v[0], &v[2], &v[6]}));

    ARRAY empty;
    int n = 0;
    for (int* p : empty) {
        (void)p;
        n++;
    }
    EXPECT_EQ(n, 0);
}

} // namespace

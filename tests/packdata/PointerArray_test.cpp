// The growable pointer array: growth steps, sizes and the edges of indexing.
#include "packdata/PointerArray.h"

#include <gtest/gtest.h>

namespace {

void* Pointer(int i) { return reinterpret_cast<void*>(static_cast<intptr_t>(i + 1) * 16); }

TEST(PointerArray, GrowsByAQuarterPlus32)
{
    struct Case {
        const char* rule;
        int adds;
        int capacity;
    } cases[] = {
        {"the first Add grows an empty array to 32", 1, 32},
        {"32 elements still fit", 32, 32},
        {"the 33rd grows to 72", 33, 72},
        {"the 73rd grows to 122", 73, 122},
        {"the 123rd grows to 184", 123, 184},
    };
    for (const Case& c : cases) {
        PointerArray array;
        for (int i = 0; i < c.adds; ++i) ASSERT_EQ(i, array.Add(Pointer(i))) << c.rule;
        EXPECT_EQ(c.capacity, array.GetCapacity()) << c.rule;
        for (int i = 0; i < c.adds; ++i)
            ASSERT_EQ(Pointer(i), array.GetAt(i)) << c.rule << " index " << i;
    }
}

TEST(PointerArray, SetSizeGrowsFromCapacityMinusOne)
{
    struct Case {
        const char* rule;
        int size;
        int capacity;
    } cases[] = {
        {"SetSize(100) from capacity 32 gives 157", 100, 157},
        {"a size of capacity - 1 already grows", 31, 70},
        {"a smaller size keeps the storage", 30, 32},
    };
    for (const Case& c : cases) {
        PointerArray array;
        ASSERT_TRUE(array.Grow(-1));
        EXPECT_TRUE(array.SetSize(c.size)) << c.rule;
        EXPECT_EQ(c.capacity, array.GetCapacity()) << c.rule;
        EXPECT_EQ(c.size, array.GetCount()) << c.rule;
    }
}

TEST(PointerArray, SetSizeAndSetAt)
{
    PointerArray array;
    ASSERT_TRUE(array.Grow(-1));
    EXPECT_EQ(32, array.GetCapacity());
    array.Add(Pointer(0));
    ASSERT_TRUE(array.SetSize(100));
    EXPECT_EQ(157, array.GetCapacity()) << "SetSize(100) from capacity 32";
    EXPECT_EQ(100, array.GetCount());
    EXPECT_EQ(Pointer(0), array.GetAt(0)) << "growth keeps the elements";
    EXPECT_EQ(nullptr, array.GetAt(99)) << "new slots are empty";

    ASSERT_TRUE(array.SetSize(3));
    EXPECT_EQ(3, array.GetCount()) << "a smaller size only lowers the count";
    EXPECT_EQ(157, array.GetCapacity());

    array.SetAt(Pointer(7), -1);
    EXPECT_EQ(3, array.GetCount()) << "a negative index changes nothing";
    array.SetAt(Pointer(5), array.GetCount() + 2);
    EXPECT_EQ(6, array.GetCount()) << "SetAt(count + 2) lengthens by three";
    EXPECT_EQ(nullptr, array.GetAt(3));
    EXPECT_EQ(nullptr, array.GetAt(4));
    EXPECT_EQ(Pointer(5), array.GetAt(5));

    EXPECT_EQ(nullptr, array.GetAt(-1));
    EXPECT_EQ(nullptr, array.GetAt(array.GetCount()));

    array.RemoveAll();
    EXPECT_EQ(0, array.GetCount());
    EXPECT_EQ(0, array.GetCapacity());
    EXPECT_EQ(nullptr, array.GetAt(0));
}

TEST(PointerArray, RefusesStorageThatCannotBeCounted)
{
    PointerArray array;
    array.Add(Pointer(0));
    EXPECT_FALSE(array.SetSize(0x7FFFFFF0)) << "no storage for that many pointers";
    EXPECT_EQ(1, array.GetCount());
    EXPECT_EQ(Pointer(0), array.GetAt(0)) << "a failed growth keeps the elements";
    array.SetAt(Pointer(1), 0x7FFFFFF0);
    EXPECT_EQ(1, array.GetCount()) << "SetAt gives up when no room can be made";
}

TEST(PointerArray, GrowNeverDropsElements)
{
    PointerArray array;
    for (int i = 0; i < 40; ++i) ASSERT_EQ(i, array.Add(Pointer(i)));
    ASSERT_EQ(72, array.GetCapacity());
    EXPECT_FALSE(array.Grow(0)) << "32 slots cannot hold 40 elements";
    EXPECT_EQ(72, array.GetCapacity());
    EXPECT_TRUE(array.Grow(8)) << "42 slots hold them";
    EXPECT_EQ(42, array.GetCapacity());
    ASSERT_EQ(40, array.GetCount());
    for (int i = 0; i < 40; ++i) EXPECT_EQ(Pointer(i), array.GetAt(i)) << "index " << i;
}

}  // namespace

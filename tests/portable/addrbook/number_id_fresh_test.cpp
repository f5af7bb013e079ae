// In a process of its own: the number counter starts at 0 when the module
// is loaded.
#include <gtest/gtest.h>

#include "addrbook/records.h"

TEST(NumberIdInFreshProcess, FirstNumberIsZeroThenOne) {
    NumberRecord *first = nullptr, *second = nullptr;
    ASSERT_EQ(NewNumber(&first), 1);
    ASSERT_EQ(NewNumber(&second), 1);
    EXPECT_EQ(first->id, 0u);
    EXPECT_EQ(second->id, 1u);
    void *block = first;
    FreeRecord(&block);
    block = second;
    FreeRecord(&block);
}

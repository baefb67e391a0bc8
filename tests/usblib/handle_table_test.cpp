// The backends' handle table: stale handles, and devices shared by several handles.
#include "usblib/handle_table.h"

#include <gtest/gtest.h>

#include <cerrno>
#include <memory>

namespace {

using Table = ql260::HandleTable<std::shared_ptr<int>>;

TEST(HandleTable, ClosedHandleNamesNothingEvenAfterNewOpens) {
    Table table;
    const QL260_HANDLE first = table.add(std::make_shared<int>(1));
    ASSERT_TRUE(table.remove(first));
    const QL260_HANDLE second = table.add(std::make_shared<int>(2));
    EXPECT_NE(second, first) << "handle values are not reused";
    EXPECT_NE(second, QL260_INVALID_HANDLE);
    EXPECT_NE(second, nullptr);
    errno = 0;
    EXPECT_FALSE(table.find(first));
    EXPECT_EQ(errno, EBADF);
    errno = 0;
    EXPECT_FALSE(table.remove(first)) << "a second close fails";
    EXPECT_EQ(errno, EBADF);
    ASSERT_TRUE(table.find(second));
    EXPECT_EQ(**table.find(second), 2);
}

// The device goes back to the system only with its last handle, and a failed open adds nothing.
TEST(HandleTable, SharedValueIsLastOnlyForItsFinalHandle) {
    Table table;
    int made = 0;
    auto matchOne = [](const std::shared_ptr<int>& held) { return *held == 1; };
    auto makeOne = [&made] {
        ++made;
        return std::make_shared<int>(1);
    };
    const QL260_HANDLE a = table.addShared(matchOne, makeOne);
    const QL260_HANDLE b = table.addShared(matchOne, makeOne);
    EXPECT_EQ(made, 1) << "the second open shares the first one's device";
    EXPECT_EQ(*table.find(a), *table.find(b));
    const QL260_HANDLE other = table.add(std::make_shared<int>(1));  // equal content, other device

    auto removedA = table.remove(a);
    ASSERT_TRUE(removedA);
    EXPECT_FALSE(removedA->last);
    auto removedB = table.remove(b);
    ASSERT_TRUE(removedB);
    EXPECT_TRUE(removedB->last);
    EXPECT_TRUE(table.remove(other)->last);

    EXPECT_EQ(table.addShared(matchOne, [] { return std::shared_ptr<int>(); }), QL260_INVALID_HANDLE);
}

}  // namespace

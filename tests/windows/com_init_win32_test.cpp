// COM for the main thread: the program calls it once at start-up; a second call on the same
// thread must succeed as well (the library says "already initialised").
#include <gtest/gtest.h>

#include "app/com_init.h"

using namespace fendal;
using namespace fendal::app;

namespace {

TEST(ComInitWin32, InitialisesTheCallingThread) {
    EXPECT_TRUE(initComLibrary());
    EXPECT_TRUE(initComLibrary());
}

}  // namespace

// The library exports its 19 functions under their plain names, so programs can bind them by name.
#include <dlfcn.h>
#include <gtest/gtest.h>

TEST(Ql260Exports, AllNineteenAreBoundByName) {
    void* library = dlopen(QL260_LIBRARY_FILE, RTLD_NOW | RTLD_LOCAL);
    ASSERT_NE(library, nullptr) << dlerror();
    const char* names[] = {"QL260AbortInter",    "QL260AbortRead",      "QL260AbortWrite",     "QL260CloseDevice",
                           "QL260DriverCommand", "QL260GetConfigDescr", "QL260GetDeviceDescr", "QL260GetDeviceName",
                           "QL260GetVersion",    "QL260OpenDevice",     "QL260ReadData",       "QL260ReadInter",
                           "QL260ResetAux",      "QL260ResetInter",     "QL260ResetRead",      "QL260ResetWrite",
                           "QL260SetIntRoutine", "QL260WriteAuxData",   "QL260WriteData"};
    for (const char* name : names) EXPECT_NE(dlsym(library, name), nullptr) << name;
    dlclose(library);
}

// libFuzzer target: the received-data import.
#include "reader_checks.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, std::size_t size) {
    if (!reader_checks::receivedDataBytes(data, size)) __builtin_trap();
    return 0;
}

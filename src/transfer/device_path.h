#pragma once
// Opening a device path for reading and writing, as a plain handle (one backend per system:
// device_path_posix.cpp, device_path_win32.cpp).
#include <cstdint>
#include <string>

namespace fendal::transfer {

namespace device_path {

// -1 when the path cannot be opened.
intptr_t open(const std::string& path);
void close(intptr_t handle);

}  // namespace device_path

}  // namespace fendal::transfer

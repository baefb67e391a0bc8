#pragma once
// What must hold for any input to each reader of outside data: it returns (no crash, no
// undefined behaviour, no leak; the sanitizers see to that) and what it gives is sound: counts
// within their limits and every text ending inside its field. Used by the libFuzzer targets
// and by the mutated-file loop of the normal test suite.
#include <cstddef>
#include <cstdint>
#include <string>

namespace reader_checks {

// The bytes as the content of a file, read by the reader's own code.
bool crackFileBytes(const uint8_t* data, std::size_t size);
bool receivedDataBytes(const uint8_t* data, std::size_t size);
bool printSettingsBytes(const uint8_t* data, std::size_t size);
bool pointBlockBytes(const uint8_t* data, std::size_t size);

// A file on disk, opened the way the program opens it.
bool crackFile(const std::string& path);
bool receivedDataFile(const std::string& path);
bool printSettingsFile(const std::string& path);

}  // namespace reader_checks

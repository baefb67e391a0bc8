#pragma once
// Settings files in the program's temporary folder, as tests lay them out.
#include <cstdio>
#include <filesystem>
#include <string>
#include <vector>

#include "print/print_settings_file.h"
#include "support/temp_folder.h"

inline void removeSettingsFiles() {
    for (int i = 0; i < kPrintSettingsFileSlots; ++i) std::filesystem::remove_all(printSettingsPath(i));
}

// A file of the right size whose signature is not ours.
inline void writeForeignSettings(int index) {
    std::vector<unsigned char> bytes(kPrintSettingsFileSize, 0);
    const std::string other = "SOMEONE_ELSES_SETTINGS";
    std::copy(other.begin(), other.end(), bytes.begin());
    TempFolder::writeAll(printSettingsPath(index), bytes);
}

inline void writeSettingsAt(int index, const PrintSettings& s) {
    PrintSettingsImage image;
    encodePrintSettings(s, image);
    TempFolder::writeAll(printSettingsPath(index), std::vector<unsigned char>(image.begin(), image.end()));
}

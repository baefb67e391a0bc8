#pragma once
// Settings files in the program's temporary folder, as tests lay them out.
#include <cstdio>
#include <filesystem>
#include <string>
#include <vector>

#include "print/print_settings_file.h"
#include "support/temp_folder.h"

inline void removeSettingsFiles() {
    for (int i = 0; i < fendal::print::kPrintSettingsFileSlots; ++i)
        std::filesystem::remove_all(fendal::print::printSettingsPath(i));
}

// A file of the right size whose signature is not ours.
inline void writeForeignSettings(int index) {
    std::vector<unsigned char> bytes(fendal::print::kPrintSettingsFileSize, 0);
    const std::string other = "SOMEONE_ELSES_SETTINGS";
    std::copy(other.begin(), other.end(), bytes.begin());
    TempFolder::writeAll(fendal::print::printSettingsPath(index), bytes);
}

inline void writeSettingsAt(int index, const fendal::print::PrintSettings& s) {
    fendal::print::PrintSettingsImage image;
    fendal::print::encodePrintSettings(s, image);
    TempFolder::writeAll(fendal::print::printSettingsPath(index),
                         std::vector<unsigned char>(image.begin(), image.end()));
}

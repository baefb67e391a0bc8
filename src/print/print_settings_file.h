#pragma once
// The print settings file "<temp>QDR1_0PrintSet<i>.ini": 454 bytes, little-endian.
//   0  30  signature "VAVAVIVUD_RVX35_PRINT", zero-terminated
//  30 200  header text (GBK), zero-terminated
// 230 200  footer text (GBK), zero-terminated
// 430   4  startPage, then pageNumberFormat, pageNumberPosition, printHeader,
//          printPageNumber, printFooter (int32 each)
// The writer always uses index 0; readers probe 0..99 and take the first file that carries
// the signature.
#include <array>
#include <cstddef>
#include <span>
#include <string>
#include <system_error>

#include "print/print_settings.h"

namespace fendal::print {

inline constexpr char kPrintSettingsSignature[] = "VAVAVIVUD_RVX35_PRINT";
inline constexpr std::size_t kPrintSettingsFileSize = 454;
inline constexpr std::size_t kPrintSettingsSignatureSize = 30;
inline constexpr std::size_t kPrintSettingsTextSize = 200;
inline constexpr int kPrintSettingsFileSlots = 100;

// Path of settings file `index` in the program's temporary folder; empty without one.
std::string printSettingsPath(int index);

using PrintSettingsImage = std::array<unsigned char, kPrintSettingsFileSize>;

// The file image of the settings. False when a text does not fit its field.
bool encodePrintSettings(const PrintSettings& settings, PrintSettingsImage& out);

enum class SettingsFileRead {
    Missing,  // cannot be opened, or is not a regular file
    Foreign,  // opened, but the signature is not ours
    Read,     // values taken into the settings
};

// Reads one settings file. Values are taken as stored; texts end inside their fields. Fields
// a short file does not hold keep their values.
// Only a regular file is opened, so a FIFO cannot block the reader.
SettingsFileRead readPrintSettingsFile(const std::string& path, PrintSettings& settings);

// The same for the first bytes of a file (at most the file's size are looked at).
SettingsFileRead decodePrintSettings(std::span<const unsigned char> bytes, PrintSettings& settings);

// Writes settings file 0 through the safe writer; false when it cannot be created or written,
// with the reason in `error` (if given).
bool writePrintSettings(const PrintSettings& settings, std::error_code* error = nullptr);

// The printing side's reader: the first of files 0..99 with the signature, stopping at the first
// file that cannot be opened. Keeps the current values when none matches; never writes, never
// tells the user. True when a file was read.
bool readPrintSettings(PrintSettings& settings);

}  // namespace fendal::print

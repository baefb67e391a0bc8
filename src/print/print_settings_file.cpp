#include "print/print_settings_file.h"

#include <algorithm>
#include <cerrno>
#include <cstdint>
#include <cstdio>
#include <cstring>

#include "platform/regular_file.h"
#include "platform/safe_file_writer.h"
#include "platform/temp_dir.h"
#include "platform/text.h"

namespace fendal::print {

namespace {

constexpr std::size_t kHeaderTextAt = kPrintSettingsSignatureSize;
constexpr std::size_t kFooterTextAt = kHeaderTextAt + kPrintSettingsTextSize;
constexpr std::size_t kNumbersAt = kFooterTextAt + kPrintSettingsTextSize;
static_assert(kNumbersAt + 6 * 4 == kPrintSettingsFileSize);

void putInt(unsigned char* at, int32_t value) {
    const auto v = static_cast<uint32_t>(value);
    for (int i = 0; i < 4; ++i) at[i] = static_cast<unsigned char>(v >> (8 * i));
}

int32_t getInt(const unsigned char* at) {
    uint32_t v = 0;
    for (int i = 0; i < 4; ++i) v |= static_cast<uint32_t>(at[i]) << (8 * i);
    return static_cast<int32_t>(v);
}

bool putText(unsigned char* at, std::size_t size, const std::string& value) {
    return platform::text::setField(reinterpret_cast<char*>(at), size, value);
}

std::string getText(const unsigned char* at, std::size_t size) {
    return platform::text::fieldText(reinterpret_cast<const char*>(at), size);
}

// A stored text ends at its zero, and at the latest on the field's last byte, so a field
// without a zero never runs into the next one.
std::string getTerminatedText(const unsigned char* at, std::size_t size) { return getText(at, size - 1); }

// The six numbers in file order.
int32_t PrintSettings::*const kNumbers[] = {
    &PrintSettings::startPage,   &PrintSettings::pageNumberFormat, &PrintSettings::pageNumberPosition,
    &PrintSettings::printHeader, &PrintSettings::printPageNumber,  &PrintSettings::printFooter,
};

}  // namespace

std::string printSettingsPath(int index) {
    const std::string dir = platform::tempDir();
    if (dir.empty()) return {};
    return platform::text::format("%sQDR1_0PrintSet%d.ini", dir.c_str(), index);
}

bool encodePrintSettings(const PrintSettings& settings, PrintSettingsImage& out) {
    out.fill(0);
    std::memcpy(out.data(), kPrintSettingsSignature, sizeof kPrintSettingsSignature);
    if (!putText(out.data() + kHeaderTextAt, kPrintSettingsTextSize, settings.headerText) ||
        !putText(out.data() + kFooterTextAt, kPrintSettingsTextSize, settings.footerText))
        return false;
    std::size_t at = kNumbersAt;
    for (auto field : kNumbers) {
        putInt(out.data() + at, settings.*field);
        at += 4;
    }
    return true;
}

SettingsFileRead readPrintSettingsFile(const std::string& path, PrintSettings& settings) {
    std::error_code error;
    platform::UniqueFile file = platform::openRegularFile(path, error);
    if (!file) return SettingsFileRead::Missing;
    PrintSettingsImage image{};
    const std::size_t got = std::fread(image.data(), 1, image.size(), file.get());
    return decodePrintSettings(std::span(image.data(), got), settings);
}

SettingsFileRead decodePrintSettings(std::span<const unsigned char> bytes, PrintSettings& settings) {
    PrintSettingsImage image{};
    const std::size_t got = std::min(bytes.size(), image.size());
    std::copy_n(bytes.begin(), got, image.begin());
    if (got < kPrintSettingsSignatureSize ||
        getText(image.data(), kPrintSettingsSignatureSize) != kPrintSettingsSignature)
        return SettingsFileRead::Foreign;

    // The image is zero past what was read, so a text cut short by the end of the file ends there.
    auto textAt = [&](std::size_t at, std::string& field) {
        if (got > at) field = getTerminatedText(image.data() + at, kPrintSettingsTextSize);
    };
    textAt(kHeaderTextAt, settings.headerText);
    textAt(kFooterTextAt, settings.footerText);
    std::size_t at = kNumbersAt;
    for (auto field : kNumbers) {
        if (got >= at + 4) settings.*field = getInt(image.data() + at);
        at += 4;
    }
    return SettingsFileRead::Read;
}

bool writePrintSettings(const PrintSettings& settings, std::error_code* error) {
    std::error_code e;
    PrintSettingsImage image;
    const std::string path = printSettingsPath(0);
    if (!encodePrintSettings(settings, image))
        e = platform::systemError(EINVAL);
    else if (path.empty())
        e = platform::FileError::noPrivateFolder;
    else
        platform::writeFileSafely(path, image, e);
    if (error) *error = e;
    return !e;
}

bool readPrintSettings(PrintSettings& settings) {
    for (int i = 0; i < kPrintSettingsFileSlots; ++i) {
        switch (readPrintSettingsFile(printSettingsPath(i), settings)) {
        case SettingsFileRead::Missing: return false;
        case SettingsFileRead::Foreign: continue;
        case SettingsFileRead::Read: return true;
        }
    }
    return false;
}

}  // namespace fendal::print

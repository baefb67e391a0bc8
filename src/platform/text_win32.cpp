// GBK conversion through the system's code page 936.
#include <windows.h>

#include "platform/text.h"
#include "platform/utf16_win32.h"

namespace fendal::platform {

namespace text {
namespace {

constexpr UINT kGbk = 936;
constexpr wchar_t kReplacement = 0xFFFD;

bool isLeadByte(unsigned char c) { return c >= 0x81 && c <= 0xFE; }
bool isTrailByte(unsigned char c) { return c >= 0x40 && c <= 0xFE && c != 0x7F; }

// Character by character, so that one damaged byte costs one U+FFFD and not the rest of the
// field (the system call would replace whole runs with its own default character); with
// `exact`, a damaged byte gives nothing at all.
std::optional<std::wstring> decodeGbk(std::string_view gbk, bool exact) {
    std::wstring wide;
    wide.reserve(gbk.size());
    for (std::size_t i = 0; i < gbk.size();) {
        const auto c = static_cast<unsigned char>(gbk[i]);
        if (c < 0x80) {
            wide.push_back(static_cast<wchar_t>(c));
            ++i;
            continue;
        }
        wchar_t ch = 0;
        if (isLeadByte(c) && i + 1 < gbk.size() && isTrailByte(static_cast<unsigned char>(gbk[i + 1])) &&
            MultiByteToWideChar(kGbk, MB_ERR_INVALID_CHARS, gbk.data() + i, 2, &ch, 1) == 1) {
            wide.push_back(ch);
            i += 2;
        } else if (!isLeadByte(c) && MultiByteToWideChar(kGbk, MB_ERR_INVALID_CHARS, gbk.data() + i, 1, &ch, 1) == 1) {
            wide.push_back(ch);  // the code page's one single byte above ASCII (0x80, the euro sign)
            ++i;
        } else if (exact) {
            return std::nullopt;
        } else {
            wide.push_back(kReplacement);
            ++i;
        }
    }
    return wide;
}

}  // namespace

std::string gbkToUtf8(std::string_view gbk) { return platform::fromUtf16(*decodeGbk(gbk, false)); }

std::optional<std::string> gbkToUtf8Exact(std::string_view gbk) {
    const auto wide = decodeGbk(gbk, true);
    if (!wide) return std::nullopt;
    return platform::fromUtf16(*wide);
}

std::optional<std::string> utf8ToGbk(std::string_view utf8) {
    if (utf8.empty()) return std::string();
    const int size = static_cast<int>(utf8.size());
    const int wideSize = MultiByteToWideChar(CP_UTF8, MB_ERR_INVALID_CHARS, utf8.data(), size, nullptr, 0);
    if (wideSize <= 0) return std::nullopt;
    std::wstring wide(static_cast<std::size_t>(wideSize), L'\0');
    MultiByteToWideChar(CP_UTF8, MB_ERR_INVALID_CHARS, utf8.data(), size, wide.data(), wideSize);
    // No best-fit look-alikes: a character GBK cannot hold is refused, never replaced.
    BOOL usedDefault = FALSE;
    const int n = WideCharToMultiByte(kGbk, WC_NO_BEST_FIT_CHARS, wide.data(), wideSize, nullptr, 0, nullptr,
                                      &usedDefault);
    if (n <= 0 || usedDefault) return std::nullopt;
    std::string out(static_cast<std::size_t>(n), '\0');
    WideCharToMultiByte(kGbk, WC_NO_BEST_FIT_CHARS, wide.data(), wideSize, out.data(), n, nullptr, &usedDefault);
    if (usedDefault) return std::nullopt;
    return out;
}

}  // namespace text

}  // namespace fendal::platform

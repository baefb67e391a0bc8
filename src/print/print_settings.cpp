#include "print/print_settings.h"

#include "platform/text.h"

namespace {
// "Tesmar科技集团" in GBK: the settings keep the bytes the file holds.
constexpr char kDefaultBandText[] = "Tesmar\xBF\xC6\xBC\xBC\xBC\xAF\xCD\xC5";
}  // namespace

PrintSettings viewDefaultSettings() { return PrintSettings{}; }

PrintSettings dialogDefaultSettings() {
    PrintSettings s;
    s.headerText = kDefaultBandText;
    s.footerText = kDefaultBandText;
    return s;
}

std::string formatPageNumber(const PrintSettings& settings, int currentPage, int pageCount) {
    const int n = settings.startPage + currentPage - 1;
    switch (settings.pageNumberFormat) {
    case kPageNumberPlain: return text::format("%d", n);
    case kPageNumberDotted: return text::format(".%d.", n);
    case kPageNumberDashed: return text::format("--%d--", n);
    case kPageNumberChinese: return text::format("第%d页", n);
    case kPageNumberOfTotal: return text::format("共%d页   第%d页", settings.startPage + pageCount - 1, n);
    default: return {};
    }
}

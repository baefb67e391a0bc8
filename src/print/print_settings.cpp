#include "print/print_settings.h"

#include "platform/text.h"

namespace fendal::print {

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
    // Stored values are taken as they are, so the numbers are worked out in 64 bits: a start
    // page near the end of the int32 range still gives its page numbers.
    const long long first = settings.startPage;
    const long long n = first + currentPage - 1;
    switch (settings.pageNumberFormat) {
    case kPageNumberPlain: return platform::text::format("%lld", n);
    case kPageNumberDotted: return platform::text::format(".%lld.", n);
    case kPageNumberDashed: return platform::text::format("--%lld--", n);
    case kPageNumberChinese: return platform::text::format("第%lld页", n);
    case kPageNumberOfTotal: return platform::text::format("共%lld页   第%lld页", first + pageCount - 1, n);
    default: return {};
    }
}

}  // namespace fendal::print

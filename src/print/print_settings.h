#pragma once
// What the printed table carries besides the points: header and footer texts and the page
// number, where it stands, how it is written and where the numbering starts.
#include <cstdint>
#include <string>

namespace fendal::print {

// Page number patterns, by `pageNumberFormat`.
enum PageNumberFormat : int32_t {
    kPageNumberPlain = 0,    // "1"
    kPageNumberDotted = 1,   // ".1."
    kPageNumberDashed = 2,   // "--1--"
    kPageNumberChinese = 3,  // "第1页"
    kPageNumberOfTotal = 4,  // "共1页   第1页"
};

// Page number places, by `pageNumberPosition`: 0..2 in the header band, 3..5 in the footer band.
enum PageNumberPosition : int32_t {
    kTopLeft = 0,
    kTopCentre = 1,
    kTopRight = 2,
    kBottomLeft = 3,
    kBottomCentre = 4,
    kBottomRight = 5,
};

inline constexpr int kMaxBandTextBytes = 40;  // header and footer text, GBK bytes
inline constexpr int kMinStartPage = 1;
inline constexpr int kMaxStartPage = 50;

struct PrintSettings {
    std::string headerText;  // GBK bytes, as stored in the settings file
    std::string footerText;  // GBK bytes
    int32_t startPage = 1;
    int32_t pageNumberFormat = kPageNumberDashed;
    int32_t pageNumberPosition = kBottomCentre;
    int32_t printHeader = 1;
    int32_t printPageNumber = 1;
    int32_t printFooter = 0;

    bool operator==(const PrintSettings&) const = default;

    // The page number sits in the header band (positions 0..2) or in the footer band.
    bool pageNumberInHeader() const { return printPageNumber && pageNumberPosition <= kTopRight; }
    bool pageNumberInFooter() const { return printPageNumber && pageNumberPosition > kTopRight; }
    bool hasHeaderBand() const { return printHeader || pageNumberInHeader(); }
    bool hasFooterBand() const { return printFooter || pageNumberInFooter(); }
};

// What a view prints with until a settings file has been read: no texts.
PrintSettings viewDefaultSettings();
// What the settings dialog starts with and restores on "默认".
PrintSettings dialogDefaultSettings();

// The page number of page `currentPage` (from 1) of a job of `pageCount` pages, numbered from
// `startPage`; UTF-8. An unknown format gives an empty text.
std::string formatPageNumber(const PrintSettings& settings, int currentPage, int pageCount);

}  // namespace fendal::print

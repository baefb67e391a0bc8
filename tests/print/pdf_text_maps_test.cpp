// Reading and putting right the text maps of a written PDF, on files laid out as Qt writes them.
#include <gtest/gtest.h>
#include <sys/stat.h>

#include <string>
#include <vector>

#include "platform/text.h"
#include "print/pdf_file.h"
#include "print/pdf_text_maps.h"
#include "support/temp_folder.h"

using namespace fendal;
using namespace fendal::print;

namespace {

const std::string kMapHead =
    "/CIDInit /ProcSet findresource begin\n12 dict begin\nbegincmap\n"
    "/CMapName /Adobe-Identity-UCS def\n/CMapType 2 def\n1 begincodespacerange\n<0000> <FFFF>\nendcodespacerange\n";
const std::string kMapTail = "endcmap\nCMapName currentdict /CMap defineresource pop\nend\nend\n";

std::string readAll(const std::string& path) {
    const auto bytes = TempFolder::readAll(path);
    return std::string(bytes.begin(), bytes.end());
}

void writeAll(const std::string& path, const std::string& s) {
    TempFolder::writeAll(path, std::vector<unsigned char>(s.begin(), s.end()));
}

// A one-font PDF as Qt lays it out: objects in order, one cross-reference table, the trailer.
std::string qtLikePdf(const std::string& cmap) {
    std::vector<std::string> objects = {
        "<<\n/Type /Catalog\n/Pages 3 0 R\n>>",
        "<<\n/Type /Pages\n/Kids [4 0 R]\n/Count 1\n>>",
        "<<\n/Type /Page\n/Parent 3 0 R\n/Resources << /Font << /F5 5 0 R >> >>\n>>",
        "<< /Type /Font\n/Subtype /Type0\n/BaseFont /NotoSerifCJKsc-Regular\n/Encoding /Identity-H\n"
        "/ToUnicode 6 0 R>>",
        platform::text::format("<< /Length %zu >>\nstream\n", cmap.size()) + cmap + "\nendstream",
        "<< /Title (x) >>",
    };
    std::string pdf = "%PDF-1.4\n%\xE2\xE3\n";
    std::vector<std::size_t> offsets;
    for (std::size_t i = 0; i < objects.size(); ++i) {
        offsets.push_back(pdf.size());
        pdf += platform::text::format("%zu 0 obj\n", i + 2) + objects[i] + "\nendobj\n";
    }
    const std::size_t xref = pdf.size();
    pdf += platform::text::format("xref\n0 %zu\n0000000000 65535 f \n0000000000 65535 f \n", objects.size() + 2);
    for (std::size_t o : offsets) pdf += platform::text::format("%010zu 00000 n \n", o);
    pdf += platform::text::format("trailer\n<<\n/Size %zu \n/Info 7 0 R\n/Root 2 0 R\n>>\nstartxref\n%zu \n%%%%EOF",
                                  objects.size() + 2, xref);
    return pdf;
}

TextMap mapOf(const std::string& path) {
    PdfFile file;
    std::string error;
    EXPECT_TRUE(file.open(path, error)) << error;
    const PdfFile::Object* object = file.find(6);
    TextMap map;
    if (!object) return map;
    const auto data = file.streamData(file.body(*object).value_or(""));
    EXPECT_TRUE(data && parseTextMap(*data, map));
    return map;
}

TEST(TextMap, RangesArraysAndCharsAreRead) {
    const std::string cmap = kMapHead +
                             "2 beginbfrange\n<0000> <0000> <0000>\n<0001> <0003> [<0054> <2F42> <0009> ]\nendbfrange\n"
                             "1 beginbfrange\n<00FE> <0101> <4E00>\nendbfrange\n"
                             "1 beginbfchar\n<0200> <D83DDE00>\nendbfchar\n" +
                             kMapTail;
    TextMap map;
    bool asDeclared = false;
    ASSERT_TRUE(parseTextMap(cmap, map, &asDeclared));
    EXPECT_TRUE(asDeclared);
    EXPECT_EQ(map.size(), 9u);
    EXPECT_EQ(map[2], U"\u2F42");
    EXPECT_EQ(map[0x101], U"\u4E03");  // a range counts its text on
    EXPECT_EQ(map[0x200], U"\U0001F600");

    TextMap again;
    ASSERT_TRUE(parseTextMap(writeTextMap(map), again));
    EXPECT_EQ(again, map);
    EXPECT_FALSE(parseTextMap("not a map", again));
}

// Qt's writer leaves its buffer's old bytes in front of the entries of every section after the
// first; they may hold anything, section keywords included.
TEST(TextMap, StaleBytesBeforeLaterSectionsAreSkipped) {
    std::string first;
    for (int k = 0; k < 101; ++k) first += platform::text::format("<%04X> <%04X> <%04X>\n", k, k, 0x4E00 + k);
    const std::string second = "<0100> <0101> [<2EDA> <0020> ]\n";
    std::string stale = first;
    stale.replace(10, 20, std::string("endbfrange\n\0\xFF(<[", 16) + "9999");
    const std::string cmap = kMapHead + "101 beginbfrange\n" + first + "endbfrange\n1 beginbfrange\n" +
                             stale.substr(0, first.size()) + second + "endbfrange\n" + kMapTail;
    TextMap map;
    bool asDeclared = true;
    ASSERT_TRUE(parseTextMap(cmap, map, &asDeclared));
    EXPECT_FALSE(asDeclared);
    EXPECT_EQ(map.size(), 103u);
    EXPECT_EQ(map[100], U"\u4E64");
    EXPECT_EQ(map[0x100], U"\u2EDA");
    EXPECT_EQ(map[0x101], U" ");
}

class PdfTextMaps : public testing::Test {
protected:
    TempFolder folder;
    std::string pdf = folder.file("page.pdf");
};

TEST_F(PdfTextMaps, GlyphsReadAsTheCharactersDrawnAndPagesStayAsWritten) {
    const std::string cmap = kMapHead +
                             "2 beginbfrange\n<0000> <0000> <0000>\n<0001> <0004> [<2F42> <4EF6> <0009> <2EDA> ]\n"
                             "endbfrange\n" +
                             kMapTail;
    const std::string written = qtLikePdf(cmap);
    writeAll(pdf, written);
    DrawnText drawn;
    drawn.add("NotoSerifCJKsc-Regular", 0x2F42, U'文', 3);
    drawn.add("NotoSerifCJKsc-Regular", 0x2F42, 0x2F42, 1);  // the radical too, but less often
    drawn.add("NotoSerifCJKsc-Regular", 0x09, ' ');
    drawn.add("NotoSerifCJKsc-Regular", 0x2EDA, 0x2EDA);  // drawn as itself: stays
    drawn.add("OtherFont", 0x4EF6, U'乙');                // another font's glyphs are not these

    std::string error;
    ASSERT_TRUE(correctPdfTextMaps(pdf, drawn, error)) << error;
    const std::string corrected = readAll(pdf);
    EXPECT_EQ(corrected.substr(0, written.size()), written);
    EXPECT_NE(corrected.find("/Prev"), std::string::npos);
    const TextMap map = mapOf(pdf);
    EXPECT_EQ(map.at(1), U"文");
    EXPECT_EQ(map.at(2), U"件");
    EXPECT_EQ(map.at(3), U" ");
    EXPECT_EQ(map.at(4), U"\u2EDA");

    // A second pass finds nothing to do and writes nothing.
    ASSERT_TRUE(correctPdfTextMaps(pdf, drawn, error)) << error;
    EXPECT_EQ(readAll(pdf), corrected);
}

TEST_F(PdfTextMaps, RightMapsAreNotRewritten) {
    const std::string written = qtLikePdf(kMapHead + "1 beginbfchar\n<0001> <6587>\nendbfchar\n" + kMapTail);
    writeAll(pdf, written);
    DrawnText drawn;
    drawn.add("NotoSerifCJKsc-Regular", 0x6587, 0x6587);
    std::string error;
    ASSERT_TRUE(correctPdfTextMaps(pdf, drawn, error)) << error;
    EXPECT_EQ(readAll(pdf), written);
}

TEST_F(PdfTextMaps, FilesThatAreNotSuchPdfsAreRefusedUntouched) {
    const std::string good = qtLikePdf(kMapHead + "1 beginbfchar\n<0001> <2F42>\nendbfchar\n" + kMapTail);
    DrawnText drawn;
    drawn.add("NotoSerifCJKsc-Regular", 0x2F42, U'文');
    const std::vector<std::string> bad = {
        "",
        "plain text, no PDF",
        good.substr(0, good.size() / 2),                                        // cut short
        good.substr(0, good.find("xref")) + "startxref\n999999999\n%%EOF",      // table beyond the end
        qtLikePdf(kMapHead + "1 beginbfchar\n<0001>\nendbfchar\n" + kMapTail),  // damaged map
    };
    for (const auto& content : bad) {
        writeAll(pdf, content);
        std::string error;
        EXPECT_FALSE(correctPdfTextMaps(pdf, drawn, error)) << content.size();
        EXPECT_FALSE(error.empty());
        EXPECT_EQ(readAll(pdf), content);
    }
    std::string error;
    EXPECT_FALSE(correctPdfTextMaps(folder.file("missing.pdf"), drawn, error));
    EXPECT_FALSE(correctPdfTextMaps(folder.path().string(), drawn, error));  // a folder
    ASSERT_EQ(mkfifo(folder.file("fifo.pdf").c_str(), 0600), 0);
    EXPECT_FALSE(correctPdfTextMaps(folder.file("fifo.pdf"), drawn, error));  // and it does not wait
}

}  // namespace

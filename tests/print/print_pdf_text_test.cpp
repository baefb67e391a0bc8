// The text of a printed PDF is the text that was drawn: pdftotext gives back every character a
// page can carry, from fendal-cli print-pdf and from printing to a file.
#include <gtest/gtest.h>

#include <QFont>
#include <QPrinter>
#include <QRawFont>
#include <filesystem>
#include <map>
#include <set>
#include <sstream>
#include <string>
#include <vector>

#include "data/crack_file_io.h"
#include "platform/text.h"
#include "print/pdf_file.h"
#include "print/pdf_reading.h"
#include "print/pdf_text_maps.h"
#include "print/print_output.h"
#include "print/qpainter_canvas.h"
#include "print/qt_app.h"
#include "print/settings_files.h"
#include "support/sample_points.h"
#include "support/temp_folder.h"

using namespace fendal;
using namespace fendal::data;
using namespace fendal::print;

namespace {

constexpr std::size_t kCharactersPerNote = 16;  // fits the note column at the body font's size

// Every character GBK holds, in byte order: printable ASCII, then the two-byte characters.
std::vector<std::string> gbkCharacters() {
    std::vector<std::string> out;
    for (char c = 0x21; c < 0x7F; ++c) out.emplace_back(1, c);
    for (int lead = 0x81; lead <= 0xFE; ++lead) {
        for (int trail = 0x40; trail <= 0xFE; ++trail) {
            if (trail == 0x7F) continue;
            const std::string gbk{static_cast<char>(lead), static_cast<char>(trail)};
            if (platform::text::gbkToUtf8(gbk).find("\xEF\xBF\xBD") == std::string::npos) out.push_back(gbk);
        }
    }
    return out;
}

std::u32string codePoints(const std::string& utf8) { return QString::fromStdString(utf8).toStdU32String(); }

bool isIdeograph(char32_t c) { return (c >= 0x4E00 && c <= 0x9FFF) || (c >= 0xF900 && c <= 0xFAFF); }

// Characters that the body font draws with one glyph, by that glyph: whichever of them is
// drawn more often is what the glyph can read as.
std::map<char32_t, std::set<char32_t>> sharedGlyphs(const std::vector<std::string>& gbk) {
    testApp();
    const QRawFont face = QRawFont::fromFont(QFont(QPainterCanvas::familyFor("宋体")));
    std::map<quint32, std::set<char32_t>> byGlyph;
    for (const auto& c : gbk) {
        const QString s = QString::fromStdString(platform::text::gbkToUtf8(c));
        if (face.supportsCharacter(s.toUcs4().first()))
            byGlyph[face.glyphIndexesForString(s).first()].insert(s.toUcs4().first());
    }
    std::map<char32_t, std::set<char32_t>> twins;
    for (const auto& [glyph, chars] : byGlyph)
        if (chars.size() > 1)
            for (char32_t c : chars) twins[c] = chars;
    return twins;
}

// Every text the PDF's fonts give their glyphs, as their text maps say (what a viewer copies,
// whatever pdftotext makes of spaces).
std::set<char32_t> glyphReadings(const std::string& pdf) {
    PdfFile file;
    std::string error;
    EXPECT_TRUE(file.open(pdf, error)) << error;
    std::set<char32_t> readings;
    for (const auto& object : file.objects()) {
        const auto body = file.body(object, 1 << 20);
        const auto data = body ? file.streamData(*body) : std::nullopt;
        TextMap map;
        if (!data || data->find("begincmap") == std::string::npos || !parseTextMap(*data, map)) continue;
        for (const auto& [glyph, text] : map) readings.insert(text.begin(), text.end());
    }
    return readings;
}

// A file of points numbered "N0001".. whose notes hold `notes` (GBK).
CrackDataFile noteFile(const std::string& path, const std::vector<std::string>& notes) {
    CrackDataFile file;
    file.path = path;
    for (const auto& note : notes) {
        MeasurePoint p = samplePoint(static_cast<int>(file.points.size()));
        platform::text::setField(p.number, platform::text::format("N%04zu", file.points.size() + 1));
        platform::text::setField(p.note, note);
        file.points.push_back(p);
    }
    file.receivedPoints = file.points;
    return file;
}

// Point rows as pdftotext lays them out: ordinal, number, velocity, depth, note.
std::map<std::string, std::string> notesRead(const std::vector<std::string>& pages) {
    std::map<std::string, std::string> notes;
    for (const auto& page : pages) {
        std::istringstream lines(page);
        for (std::string line; std::getline(lines, line);) {
            std::istringstream in(line);
            std::vector<std::string> words;
            for (std::string w; in >> w;) words.push_back(w);
            if (words.size() < 5 || words[1].size() != 5 || words[1][0] != 'N') continue;
            std::string note = words[4];
            for (std::size_t k = 5; k < words.size(); ++k) note += " " + words[k];
            notes[words[1]] = note;
        }
    }
    return notes;
}

class PdfText : public testing::Test {
protected:
    void SetUp() override { removeSettingsFiles(); }
    void TearDown() override { removeSettingsFiles(); }

    std::vector<std::string> printWithCli(CrackDataFile file) {
        EXPECT_TRUE(writeCrackFile(file));
        const std::string pdf = folder.file("out.pdf");
        EXPECT_EQ(run(quote(binDir() + "/fendal-cli") + " print-pdf " + quote(file.path) + " -o " + quote(pdf)), 0);
        if (const char* dir = std::getenv("FENDAL_PRINT_GRAB"))
            std::filesystem::copy_file(pdf, std::string(dir) + "/print_text.pdf",
                                       std::filesystem::copy_options::overwrite_existing);
        return pdfPages(pdf);
    }

    TempFolder folder;
};

TEST_F(PdfText, EveryGbkCharacterComesBackAsDrawn) {
    const std::vector<std::string> characters = gbkCharacters();
    ASSERT_GT(characters.size(), 21000u);
    std::vector<std::string> notes;
    for (std::size_t at = 0; at < characters.size(); at += kCharactersPerNote) {
        std::string note;
        for (std::size_t k = at; k < std::min(characters.size(), at + kCharactersPerNote); ++k) note += characters[k];
        notes.push_back(note);
    }
    // The ideographs of the radicals' look-alikes in the path line, the bands and page numbers.
    const CrackDataFile file = noteFile(folder.file("文件页乙.fsy"), notes);
    PrintSettings settings = dialogDefaultSettings();
    settings.headerText = *platform::text::utf8ToGbk("页眉：文件 页 乙");
    settings.footerText = *platform::text::utf8ToGbk("页脚：（文）");
    settings.printFooter = 1;
    settings.pageNumberFormat = kPageNumberOfTotal;
    settings.pageNumberPosition = kTopRight;
    writeSettingsAt(0, settings);

    const auto pages = printWithCli(file);
    const int pageCount = static_cast<int>(pages.size());
    ASSERT_EQ(pageCount, 1 + (static_cast<int>(notes.size()) - 38 + 41) / 42);  // 38 rows, then 42 a page
    const auto read = notesRead(pages);
    const auto twins = sharedGlyphs(characters);

    std::size_t exact = 0, ideographs = 0, exactIdeographs = 0;
    for (std::size_t row = 0; row < notes.size(); ++row) {
        const std::string number = platform::text::format("N%04zu", row + 1);
        std::u32string want = codePoints(platform::text::gbkToUtf8(notes[row]));
        const auto it = read.find(number);
        const std::u32string got = it == read.end() ? std::u32string() : codePoints(it->second);
        // pdftotext writes the ideographic space as the break between words it is.
        for (char32_t& c : want)
            if (c == 0x3000) c = ' ';
        for (char32_t c : want) ideographs += isIdeograph(c);
        if (got.size() != want.size()) {
            ADD_FAILURE() << number << " read as " << (it == read.end() ? "nothing" : it->second);
            continue;
        }
        for (std::size_t k = 0; k < want.size(); ++k) {
            if (got[k] == want[k]) {
                ++exact;
                exactIdeographs += isIdeograph(want[k]);
                continue;
            }
            const auto twin = twins.find(want[k]);
            EXPECT_TRUE(twin != twins.end() && twin->second.count(got[k]))
                << number << ": U+" << std::hex << static_cast<unsigned>(want[k]) << " read as U+"
                << static_cast<unsigned>(got[k]);
        }
    }
    std::printf("%zu of %zu characters, %zu of %zu ideographs came back exactly; %zu share a glyph with another\n",
                exact, characters.size(), exactIdeographs, ideographs, twins.size());

    // No glyph reads as a tab or as a radical: none was drawn.
    for (char32_t c : glyphReadings(folder.file("out.pdf")))
        EXPECT_FALSE(c == '\t' || (c >= 0x2E80 && c <= 0x2FDF)) << "U+" << std::hex << static_cast<unsigned>(c);

    // The fixed texts, the path line, the bands and the page numbers; pdftotext gives one space
    // for every gap between words.
    const auto words = pdfPages(folder.file("out.pdf"), "-raw");
    ASSERT_EQ(words.size(), pages.size());
    EXPECT_EQ(count(words[0], "Tesmar科技缝深检测分析软件处理结果"), 1);
    EXPECT_EQ(count(words[0], "文件路径：" + file.path + platform::text::format("(数据个数%zu)", notes.size())), 1);
    EXPECT_EQ(count(words[0], "序 号 编 号 声速(m/s) 深度(mm) 备 注"), 1);
    for (int p = 0; p < pageCount; ++p) {
        EXPECT_EQ(count(words[p], "页眉：文件 页 乙"), 1) << p;
        EXPECT_EQ(count(words[p], "页脚：（文）"), 1) << p;
        EXPECT_EQ(count(words[p], platform::text::format("共%d页 第%d页", pageCount, p + 1)), 1) << p;
    }
}

// Which of two characters sharing a glyph is meant follows from what was drawn, not from a
// table: a radical or compatibility ideograph drawn without its twin reads as itself.
TEST_F(PdfText, LookAlikeDrawnAloneReadsAsItself) {
    const std::string radicalPage = "\xE2\xBB\x9A";     // U+2EDA, the page radical (not in GBK)
    const std::string compatibleLang = "\xEF\xA4\xAC";  // U+F92C, which Noto draws as U+90DE
    const CrackDataFile file = noteFile(folder.file("⻚.fsy"),
                                        {*platform::text::utf8ToGbk(compatibleLang + compatibleLang + "A")});
    const auto pages = printWithCli(file);
    ASSERT_EQ(pages.size(), 1u);
    EXPECT_EQ(count(pages[0], "文件路径：" + folder.file(radicalPage + ".fsy")), 1);
    EXPECT_EQ(notesRead(pages)["N0001"], compatibleLang + compatibleLang + "A");
}

// The print dialog's "print to file" writes through the printer, not through fendal-cli.
TEST_F(PdfText, PrintingToAFileGivesTheSameText) {
    testApp();
    FileGroup group;
    group.files.push_back(noteFile("/data/文件.fsy", {*platform::text::utf8ToGbk("乙页文"), "plain"}));
    PrintTable table(&group);
    table.settings().pageNumberFormat = kPageNumberChinese;
    table.settings().headerText = *platform::text::utf8ToGbk("文  页");
    PrintInfo info;
    ASSERT_EQ(table.preparePages(info), 1);

    QPrinter printer(QPrinter::HighResolution);
    printer.setOutputFormat(QPrinter::PdfFormat);
    const std::string pdf = folder.file("printed.pdf");
    printer.setOutputFileName(QString::fromStdString(pdf));
    ASSERT_TRUE(paintPages(printer, table, info, 1, info.maxPage));
    const auto pages = pdfPages(pdf);
    ASSERT_EQ(pages.size(), 1u);
    EXPECT_EQ(count(pages[0], "文件路径：/data/文件.fsy(数据个数2)"), 1);
    EXPECT_EQ(count(pages[0], "第1页"), 1);
    EXPECT_EQ(notesRead(pages)["N0001"], "乙页文");
    const std::string words = pdfPages(pdf, "-raw").at(0);
    EXPECT_EQ(count(words, "文 页"), 1);
    EXPECT_EQ(count(words, "序 号 编 号"), 1);
}

}  // namespace

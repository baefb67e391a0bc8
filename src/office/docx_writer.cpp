#include "office/docx_writer.h"

#include <zip.h>

#include <algorithm>
#include <cmath>
#include <cstring>
#include <ctime>
#include <new>
#include <optional>
#include <string_view>
#include <utility>
#include <vector>

#include "platform/staged_file.h"
#include "platform/text.h"

namespace fendal::office {

namespace {

constexpr char kContentTypes[] =
    R"(<?xml version="1.0" encoding="UTF-8" standalone="yes"?>)"
    R"(<Types xmlns="http://schemas.openxmlformats.org/package/2006/content-types">)"
    R"(<Default Extension="rels" ContentType="application/vnd.openxmlformats-package.relationships+xml"/>)"
    R"(<Default Extension="xml" ContentType="application/xml"/>)"
    R"(<Override PartName="/word/document.xml" ContentType="application/vnd.openxmlformats-officedocument.wordprocessingml.document.main+xml"/>)"
    R"(<Override PartName="/word/styles.xml" ContentType="application/vnd.openxmlformats-officedocument.wordprocessingml.styles+xml"/>)"
    R"(</Types>)";

constexpr char kPackageRels[] =
    R"(<?xml version="1.0" encoding="UTF-8" standalone="yes"?>)"
    R"(<Relationships xmlns="http://schemas.openxmlformats.org/package/2006/relationships">)"
    R"(<Relationship Id="rId1" Type="http://schemas.openxmlformats.org/officeDocument/2006/relationships/officeDocument" Target="word/document.xml"/>)"
    R"(</Relationships>)";

constexpr char kDocumentRels[] =
    R"(<?xml version="1.0" encoding="UTF-8" standalone="yes"?>)"
    R"(<Relationships xmlns="http://schemas.openxmlformats.org/package/2006/relationships">)"
    R"(<Relationship Id="rId1" Type="http://schemas.openxmlformats.org/officeDocument/2006/relationships/styles" Target="styles.xml"/>)"
    R"(</Relationships>)";

constexpr char kNamespace[] = "http://schemas.openxmlformats.org/wordprocessingml/2006/main";

// Appends text as element content: XML-escaped, and without the control characters XML
// cannot carry, so a note holding one still gives a document that opens.
void appendXmlText(std::string& out, const std::string& s) {
    for (char c : s) {
        switch (c) {
        case '&': out += "&amp;"; break;
        case '<': out += "&lt;"; break;
        case '>': out += "&gt;"; break;
        case '"': out += "&quot;"; break;
        default:
            if (static_cast<unsigned char>(c) >= 0x20 || c == '\t' || c == '\n' || c == '\r') out += c;
        }
    }
}

std::string xmlText(const std::string& s) {
    std::string out;
    appendXmlText(out, s);
    return out;
}

int halfPoints(double points) { return static_cast<int>(std::lround(points * 2)); }
int twips(double points) { return static_cast<int>(std::lround(points * 20)); }

std::string runProperties(const ReportFont& font) {
    const std::string name = xmlText(font.name);
    const int size = halfPoints(font.points);
    return platform::text::format(R"(<w:rPr><w:rFonts w:ascii="%s" w:hAnsi="%s" w:eastAsia="%s" w:cs="%s"/>)"
                                  R"(<w:sz w:val="%d"/><w:szCs w:val="%d"/></w:rPr>)",
                                  name.c_str(), name.c_str(), name.c_str(), name.c_str(), size, size);
}

// One paragraph with the given alignment ("center", "both") and, unless empty, one run.
void paragraph(std::string& xml, const char* align, const std::string& rPr, const std::string& content) {
    xml += R"(<w:p><w:pPr><w:jc w:val=")";
    xml += align;
    xml += R"("/>)";
    xml += rPr;  // the paragraph mark takes the font too
    xml += "</w:pPr>";
    if (!content.empty()) {
        xml += "<w:r>";
        xml += rPr;
        xml += R"(<w:t xml:space="preserve">)";
        appendXmlText(xml, content);
        xml += "</w:t></w:r>";
    }
    xml += "</w:p>";
}

void tableStart(std::string& xml, const WordReport& report) {
    const int column = twips(report.columnWidth);
    const int columns = static_cast<int>(ReportRow{}.size());
    xml += "<w:tbl><w:tblPr>";
    xml += platform::text::format(R"(<w:tblW w:w="%d" w:type="dxa"/><w:jc w:val="center"/>)", column * columns);
    xml += "<w:tblBorders>";
    for (const char* side : {"top", "left", "bottom", "right", "insideH", "insideV"})
        xml += platform::text::format(R"(<w:%s w:val="single" w:sz="4" w:space="0" w:color="auto"/>)", side);
    xml += R"(</w:tblBorders><w:tblLayout w:type="fixed"/></w:tblPr><w:tblGrid>)";
    for (int c = 0; c < columns; ++c) xml += platform::text::format(R"(<w:gridCol w:w="%d"/>)", column);
    xml += "</w:tblGrid>";
}

void tableRow(std::string& xml, const ReportRow& row, const std::string& cellProperties, const std::string& rPr) {
    xml += "<w:tr>";
    for (const std::string& cell : row) {
        xml += "<w:tc>";
        xml += cellProperties;
        paragraph(xml, "center", rPr, cell);
        xml += "</w:tc>";
    }
    xml += "</w:tr>";
}

// The document part, made piece by piece while libzip reads it: a large group gives hundreds
// of megabytes of XML, which are never held whole.
class DocumentXmlSource {
public:
    explicit DocumentXmlSource(const WordReport& report)
        : report_(report),
          titleRun_(runProperties(report.titleFont)),
          bodyRun_(runProperties(report.bodyFont)),
          cellProperties_(
              platform::text::format(R"(<w:tcPr><w:tcW w:w="%d" w:type="dxa"/></w:tcPr>)", twips(report.columnWidth))) {
        zip_error_init(&error_);
    }
    ~DocumentXmlSource() { zip_error_fini(&error_); }
    DocumentXmlSource(const DocumentXmlSource&) = delete;
    DocumentXmlSource& operator=(const DocumentXmlSource&) = delete;

    static zip_int64_t callback(void* self, void* data, zip_uint64_t length, zip_source_cmd_t command) {
        return static_cast<DocumentXmlSource*>(self)->answer(data, length, command);
    }

private:
    enum class Step { Start, Section, Rows, Done };
    static constexpr std::size_t kPiece = 1 << 16;

    zip_int64_t answer(void* data, zip_uint64_t length, zip_source_cmd_t command) {
        switch (command) {
        case ZIP_SOURCE_OPEN:
            // From the beginning, also when libzip reads the part a second time.
            restart();
            return 0;
        case ZIP_SOURCE_READ: return read(static_cast<char*>(data), length);
        case ZIP_SOURCE_CLOSE: return 0;
        case ZIP_SOURCE_STAT: {
            // Without the size up front libzip would mark the entry as ZIP64, which older
            // word processors do not open.
            auto* st = static_cast<zip_stat_t*>(data);
            zip_stat_init(st);
            try {
                st->size = size();
            } catch (const std::bad_alloc&) {
                zip_error_set(&error_, ZIP_ER_MEMORY, 0);
                return -1;
            }
            st->mtime = std::time(nullptr);
            st->valid |= ZIP_STAT_SIZE | ZIP_STAT_MTIME;
            return sizeof(zip_stat_t);
        }
        case ZIP_SOURCE_ERROR: return zip_error_to_data(&error_, data, length);
        case ZIP_SOURCE_FREE: return 0;  // owned by the writer
        case ZIP_SOURCE_SUPPORTS: return ZIP_SOURCE_SUPPORTS_READABLE;
        default: zip_error_set(&error_, ZIP_ER_OPNOTSUPP, 0); return -1;
        }
    }

    void restart() {
        step_ = Step::Start;
        section_ = row_ = 0;
        piece_.clear();
        at_ = 0;
    }

    // The document's length, from one pass that makes every piece and keeps none.
    zip_uint64_t size() {
        if (!size_) {
            restart();
            zip_uint64_t total = 0;
            while (makePiece()) {
                total += piece_.size();
                piece_.clear();
            }
            restart();
            size_ = total;
        }
        return *size_;
    }

    zip_int64_t read(char* out, zip_uint64_t length) {
        try {
            zip_uint64_t done = 0;
            while (done < length) {
                if (at_ == piece_.size()) {
                    piece_.clear();
                    at_ = 0;
                    if (!makePiece()) break;
                    continue;
                }
                const std::size_t n = std::min<std::size_t>(piece_.size() - at_, length - done);
                std::memcpy(out + done, piece_.data() + at_, n);
                at_ += n;
                done += n;
            }
            return static_cast<zip_int64_t>(done);
        } catch (const std::bad_alloc&) {
            zip_error_set(&error_, ZIP_ER_MEMORY, 0);
            return -1;
        }
    }

    // Appends the next part of the document to piece_; false once all of it was made.
    bool makePiece() {
        switch (step_) {
        case Step::Start:
            piece_ += R"(<?xml version="1.0" encoding="UTF-8" standalone="yes"?>)";
            piece_ += platform::text::format(R"(<w:document xmlns:w="%s"><w:body>)", kNamespace);
            paragraph(piece_, "center", titleRun_, report_.title);
            step_ = Step::Section;
            return true;
        case Step::Section:
            if (section_ == report_.sections.size()) {
                // The paragraph after the last table, where the typing would have gone on.
                paragraph(piece_, "center", bodyRun_, "");
                // A4 with the word processor's usual Chinese margins; the 400 pt table fits between them.
                piece_ +=
                    R"(<w:sectPr><w:pgSz w:w="11906" w:h="16838"/>)"
                    R"(<w:pgMar w:top="1440" w:right="1800" w:bottom="1440" w:left="1800" w:header="851" w:footer="992" w:gutter="0"/>)"
                    R"(</w:sectPr></w:body></w:document>)";
                step_ = Step::Done;
                return true;
            }
            paragraph(piece_, "both", bodyRun_, report_.sections[section_].pathLine);
            tableStart(piece_, report_);
            row_ = 0;
            step_ = Step::Rows;
            return true;
        case Step::Rows: {
            const std::vector<ReportRow>& rows = report_.sections[section_].rows;
            while (row_ < rows.size() && piece_.size() < kPiece)
                tableRow(piece_, rows[row_++], cellProperties_, bodyRun_);
            if (row_ == rows.size()) {
                piece_ += "</w:tbl>";
                ++section_;
                step_ = Step::Section;
            }
            return true;
        }
        case Step::Done: return false;
        }
        return false;
    }

    const WordReport& report_;
    const std::string titleRun_;
    const std::string bodyRun_;
    const std::string cellProperties_;
    zip_error_t error_;
    Step step_ = Step::Start;
    std::size_t section_ = 0;
    std::size_t row_ = 0;
    std::string piece_;
    std::size_t at_ = 0;
    std::optional<zip_uint64_t> size_;
};

std::string stylesXml(const WordReport& report) {
    std::string xml = R"(<?xml version="1.0" encoding="UTF-8" standalone="yes"?>)";
    xml += platform::text::format(R"(<w:styles xmlns:w="%s"><w:docDefaults><w:rPrDefault>)", kNamespace);
    xml += runProperties(report.bodyFont);
    xml += R"(</w:rPrDefault><w:pPrDefault/></w:docDefaults>)"
           R"(<w:style w:type="paragraph" w:default="1" w:styleId="Normal"><w:name w:val="Normal"/></w:style>)"
           R"(</w:styles>)";
    return xml;
}

constexpr zip_uint32_t kCompressionLevel = 6;

std::string zipMessage(zip_error_t* error) { return zip_error_strerror(error); }

// The package, written by libzip to `path`.
bool writePackage(const WordReport& report, const std::string& path, std::string& error) {
    // libzip takes the buffers and the document's source by reference until the archive is closed.
    const std::string styles = stylesXml(report);
    DocumentXmlSource document(report);
    const std::vector<std::pair<const char*, std::string_view>> parts = {
        {"[Content_Types].xml", kContentTypes},
        {"_rels/.rels", kPackageRels},
        {"word/_rels/document.xml.rels", kDocumentRels},
        {"word/document.xml", {}},  // made while it is compressed
        {"word/styles.xml", styles},
    };

    int code = 0;
    zip_t* archive = zip_open(path.c_str(), ZIP_CREATE | ZIP_TRUNCATE, &code);
    if (!archive) {
        zip_error_t e;
        zip_error_init_with_code(&e, code);
        error = zipMessage(&e);
        zip_error_fini(&e);
        return false;
    }
    for (const auto& [name, data] : parts) {
        zip_source_t* source = data.data() ? zip_source_buffer(archive, data.data(), data.size(), 0)
                                           : zip_source_function(archive, &DocumentXmlSource::callback, &document);
        const zip_int64_t index = source ? zip_file_add(archive, name, source, ZIP_FL_ENC_UTF_8 | ZIP_FL_OVERWRITE)
                                         : -1;
        // zlib's usual level: libzip's own default, the slowest, costs seconds on a large group
        // and saves a few percent.
        if (index < 0 || zip_set_file_compression(archive, static_cast<zip_uint64_t>(index), ZIP_CM_DEFLATE,
                                                  kCompressionLevel) < 0) {
            if (source && index < 0) zip_source_free(source);
            error = zipMessage(zip_get_error(archive));
            zip_discard(archive);
            return false;
        }
    }
    // The archive is written when it is closed.
    if (zip_close(archive) < 0) {
        error = zipMessage(zip_get_error(archive));
        zip_discard(archive);
        return false;
    }
    return true;
}

}  // namespace

bool writeDocx(const WordReport& report, const std::string& path, std::string& error) {
    return platform::writeStagedFile(
        path, "report",
        [&](const std::string& scratch, std::string& why) { return writePackage(report, scratch, why); }, error);
}

}  // namespace fendal::office

#include "office/docx_writer.h"

#include <zip.h>

#include <cmath>
#include <utility>
#include <vector>

#include "platform/text.h"

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
    return text::format(R"(<w:rPr><w:rFonts w:ascii="%s" w:hAnsi="%s" w:eastAsia="%s" w:cs="%s"/>)"
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

void table(std::string& xml, const ReportSection& section, const WordReport& report, const std::string& rPr) {
    const int column = twips(report.columnWidth);
    const int columns = static_cast<int>(ReportRow{}.size());
    xml += "<w:tbl><w:tblPr>";
    xml += text::format(R"(<w:tblW w:w="%d" w:type="dxa"/><w:jc w:val="center"/>)", column * columns);
    xml += "<w:tblBorders>";
    for (const char* side : {"top", "left", "bottom", "right", "insideH", "insideV"})
        xml += text::format(R"(<w:%s w:val="single" w:sz="4" w:space="0" w:color="auto"/>)", side);
    xml += R"(</w:tblBorders><w:tblLayout w:type="fixed"/></w:tblPr><w:tblGrid>)";
    for (int c = 0; c < columns; ++c) xml += text::format(R"(<w:gridCol w:w="%d"/>)", column);
    xml += "</w:tblGrid>";
    const std::string cellProperties = text::format(R"(<w:tcPr><w:tcW w:w="%d" w:type="dxa"/></w:tcPr>)", column);
    for (const ReportRow& row : section.rows) {
        xml += "<w:tr>";
        for (const std::string& cell : row) {
            xml += "<w:tc>";
            xml += cellProperties;
            paragraph(xml, "center", rPr, cell);
            xml += "</w:tc>";
        }
        xml += "</w:tr>";
    }
    xml += "</w:tbl>";
}

std::string documentXml(const WordReport& report) {
    const std::string titleRun = runProperties(report.titleFont);
    const std::string bodyRun = runProperties(report.bodyFont);
    std::string xml = R"(<?xml version="1.0" encoding="UTF-8" standalone="yes"?>)";
    xml += text::format(R"(<w:document xmlns:w="%s"><w:body>)", kNamespace);
    paragraph(xml, "center", titleRun, report.title);
    for (const ReportSection& section : report.sections) {
        paragraph(xml, "both", bodyRun, section.pathLine);
        table(xml, section, report, bodyRun);
    }
    // The paragraph after the last table, where the typing would have gone on.
    paragraph(xml, "center", bodyRun, "");
    // A4 with the word processor's usual Chinese margins; the 400 pt table fits between them.
    xml += R"(<w:sectPr><w:pgSz w:w="11906" w:h="16838"/>)"
           R"(<w:pgMar w:top="1440" w:right="1800" w:bottom="1440" w:left="1800" w:header="851" w:footer="992" w:gutter="0"/>)"
           R"(</w:sectPr></w:body></w:document>)";
    return xml;
}

std::string stylesXml(const WordReport& report) {
    std::string xml = R"(<?xml version="1.0" encoding="UTF-8" standalone="yes"?>)";
    xml += text::format(R"(<w:styles xmlns:w="%s"><w:docDefaults><w:rPrDefault>)", kNamespace);
    xml += runProperties(report.bodyFont);
    xml += R"(</w:rPrDefault><w:pPrDefault/></w:docDefaults>)"
           R"(<w:style w:type="paragraph" w:default="1" w:styleId="Normal"><w:name w:val="Normal"/></w:style>)"
           R"(</w:styles>)";
    return xml;
}

std::string zipMessage(zip_error_t* error) { return zip_error_strerror(error); }

}  // namespace

bool writeDocx(const WordReport& report, const std::string& path, std::string& error) {
    // libzip takes the buffers by reference until the archive is closed.
    const std::vector<std::pair<const char*, std::string>> parts = {
        {"[Content_Types].xml", kContentTypes},
        {"_rels/.rels", kPackageRels},
        {"word/_rels/document.xml.rels", kDocumentRels},
        {"word/document.xml", documentXml(report)},
        {"word/styles.xml", stylesXml(report)},
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
        zip_source_t* source = zip_source_buffer(archive, data.data(), data.size(), 0);
        if (!source || zip_file_add(archive, name, source, ZIP_FL_ENC_UTF_8 | ZIP_FL_OVERWRITE) < 0) {
            if (source) zip_source_free(source);
            error = zipMessage(zip_get_error(archive));
            zip_discard(archive);
            return false;
        }
    }
    // libzip writes to a temporary file and renames it over the target only when all went well.
    if (zip_close(archive) < 0) {
        error = zipMessage(zip_get_error(archive));
        zip_discard(archive);
        return false;
    }
    return true;
}

#pragma once
// Running fendal-cli and reading PDFs back as text with pdftotext, as a user's tools would.
#include <gtest/gtest.h>

#include <cstdlib>
#include <fstream>
#include <sstream>
#include <string>
#include <vector>

inline std::string binDir() {
    const char* dir = std::getenv("FENDAL_BIN_DIR");
    return dir ? dir : ".";
}

inline int run(const std::string& command) { return std::system((command + " >/dev/null 2>&1").c_str()); }

inline std::string quote(const std::string& s) { return "'" + s + "'"; }

// The PDF's pages as pdftotext reads them: "-layout" keeps the columns of a page, "-raw" the
// words in the order they were drawn, one space between them however wide the gap.
inline std::vector<std::string> pdfPages(const std::string& pdf, const std::string& mode = "-layout") {
    const std::string txt = pdf + ".txt";
    EXPECT_EQ(run("pdftotext " + mode + " " + quote(pdf) + " " + quote(txt)), 0);
    std::ifstream in(txt);
    std::stringstream all;
    all << in.rdbuf();
    std::vector<std::string> pages;
    std::string page;
    for (char c : all.str()) {
        if (c == '\f') {
            pages.push_back(page);
            page.clear();
        } else {
            page += c;
        }
    }
    return pages;
}

inline int count(const std::string& haystack, const std::string& needle) {
    int n = 0;
    for (auto at = haystack.find(needle); at != std::string::npos; at = haystack.find(needle, at + 1)) ++n;
    return n;
}

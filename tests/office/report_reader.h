#pragma once
// Reads a written report back through python-docx / openpyxl (tests/office/read_report.py),
// so the files are checked by readers that share no code with the writers.
#include <string>
#include <vector>

namespace report_reader {

// Whether python3 with both reader libraries is there; tests skip otherwise.
bool available();

// One line per paragraph, table, row or cell, as read_report.py prints them.
std::vector<std::string> read(const std::string& kind, const std::string& path);

// Joins fields with tabs, as the reader prints them.
std::string line(const std::vector<std::string>& fields);

}  // namespace report_reader

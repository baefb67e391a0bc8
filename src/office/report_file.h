#pragma once
// Report files come from libraries that write a named file of their own (libzip,
// libxlsxwriter). They write a scratch file in the private temporary folder, which then reaches
// the target through the safe writer: the report is whole or not there, and a link planted
// beside the target redirects nothing.
#include <functional>
#include <string>

using MakeReportFile = std::function<bool(const std::string& scratch, std::string& error)>;

// False with the reason in `error`; the target is then as it was.
bool writeReportFile(const std::string& path, const MakeReportFile& make, std::string& error);

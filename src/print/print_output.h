#pragma once
// Putting the printed table on paged devices: printers, the print preview and PDF files.
#include <functional>
#include <string>

#include "print/print_table.h"

class QPagedPaintDevice;

namespace fendal::print {

// Called before each page with its number and the job's page count; false stops the job.
using PageProgress = std::function<bool(int page, int pageCount)>;

// Pages from..to (clamped to the job) of a prepared table, one device page each. False when the
// device cannot be painted on or the job was stopped.
bool paintPages(QPagedPaintDevice& device, PrintTable& table, PrintInfo& info, int from, int to,
                const PageProgress& progress = {});

// The whole prepared table as an A4 PDF file whose page origin is the paper's corner.
// On failure `error` says why.
bool writeTablePdf(const std::string& path, PrintTable& table, PrintInfo& info, std::string& error,
                   const PageProgress& progress = {});

}  // namespace fendal::print

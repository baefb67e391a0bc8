#pragma once
// Measuring points as CSV rows for the user's own tools: a header row, then one row per current
// point of every file of a group, in group order. Texts are UTF-8 (GBK in the records), numbers
// are written whole, as the list and the reports show them, so every value comes back exactly.
#include <array>
#include <string>
#include <system_error>
#include <vector>

#include "data/file_group.h"

namespace fendal::office {

namespace csv {
class Reader;
}

// 文件 is the file's path as shown, 序号 the point's place in its file, from 1.
inline constexpr std::array<const char*, 6> kPointCsvHeader = {"文件", "序号", "编号", "声速(m/s)", "深度(mm)", "备注"};

// A point whose text is not GBK: it cannot be written as UTF-8 and come back the same.
struct CsvTextFault {
    int file = -1;
    int point = -1;
    const char* field = nullptr;  // "编号" or "备注"
};

// The CSV of the group's current points. False, with the point, when a text is not GBK.
bool groupToCsv(const data::FileGroup& group, std::string& out, CsvTextFault& fault);

struct CsvExportFailure {
    CsvTextFault text;      // set when a text is not GBK
    std::error_code error;  // else why the file could not be written
};

// Writes the CSV of the group to `path` through the safe writer, whole or not at all.
bool writeGroupCsv(const data::FileGroup& group, const std::string& path, CsvExportFailure& failure);

// The points of a CSV, in the order of its rows, whichever file each row names.
struct CsvPoints {
    std::vector<data::MeasurePoint> points;
    int fileCount = 0;  // how many different 文件 the rows name
};

// Why a CSV is not taken: the line its bad record starts on and the reason; when the file
// could not be opened or read, also the system's reason.
struct CsvRefusal {
    int line = 0;
    std::string reason;
    std::error_code error;
};

// Reads every record; false at the first one that cannot become a point, and then nothing is
// taken. A row must hold six fields; 序号 a whole number in 1..99999 (its value does not
// reorder the rows); 声速 and 深度 whole numbers a record holds; 编号 and 备注 text that GBK holds
// and that fits its field with the terminating NUL. At most 99999 rows, as a file holds.
bool csvToPoints(csv::Reader& reader, CsvPoints& out, CsvRefusal& refusal);

// The same from the file at `path`, opened only when it is a regular file.
bool readPointCsv(const std::string& path, CsvPoints& out, CsvRefusal& refusal);

}  // namespace fendal::office

#pragma once
// The program's CSV export: the points of the open group into a CSV file the user names.

namespace fendal::data {
class CFendalDoc;
}

namespace fendal::office {

inline constexpr char kCsvFilter[] = "CSV文件(*.csv)|*.csv|所有文件 (*.*)|*.*||";

// Asks where to write with the save dialog (starting beside the first file of the group) and
// writes every file's points; tells the user why when it cannot. Nothing changes in the group.
void exportCsv(data::CFendalDoc& doc);

}  // namespace fendal::office

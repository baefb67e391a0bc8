#pragma once
// Texts of the program that more than one subsystem shows.

namespace fendal::data {

inline constexpr char kAppTitle[] = "Tesmar科技缝深检测分析软件V1.3";     // message box caption
inline constexpr char kWindowTitle[] = "Tesmar科技缝深检测分析软件V1.0";  // main window title
inline constexpr char kIdlePrompt[] = "--Tesmar科技仪器 服务于中国建设";
inline constexpr char kCompanyPane[] = "Tesmar科技集团";
inline constexpr char kGroupTitle[] = "成组文件";
inline constexpr char kImportTitle[] = "测深数据";
inline constexpr char kCrackFilter[] = "裂缝原始数据(*.fsy)|*.fsy|所有文件 (*.*)|*.*||";
inline constexpr char kGroupSaveFilter[] = "裂缝原始数据 (*.fsy)|*.fsy||";
inline constexpr char kProfileCompany[] = "Local AppWizard-Generated Applications";
inline constexpr char kProfileApp[] = "Fendal";

}  // namespace fendal::data

#include "app/command_table.h"

namespace fendal::app {

namespace {

using enum CommandId;

// Prompt and tooltip are the two halves of each command's string.
constexpr CommandInfo kCommands[] = {
    {FileNew, nullptr, nullptr, "建立新文档", "新建", nullptr},
    {FileOpen, "打开(&O)...", "Ctrl+O", "打开一个或多个测深数据文件", "打开", "open"},
    {FileSave, "保存(&S)", "Ctrl+S", "保存打开的测深数据文件", "保存", "save"},
    {FileSaveAs, "另存为(&A)...", nullptr, "用新名称保存测深数据文件", "另存为", nullptr},
    {ExportCsv, "导出CSV(&E)...", nullptr, "把打开的全部测点导出为CSV文件", "导出CSV", nullptr},
    {FilePrintSetup, "打印设置(&R)...", nullptr, "设置打印的页眉、页脚和页码", "打印设置", "print_setup"},
    {FilePrint, "打印(&P)...", "Ctrl+P", "打印测点表格", "打印", "print"},
    {FilePrintDirect, nullptr, nullptr, "用当前设置直接打印测点表格", "直接打印", nullptr},
    {FilePrintPreview, "打印预览(&V)", nullptr, "显示整页的打印效果", "打印预览", "print_preview"},
    {EditCopy, "复制(&C)", "Ctrl+C", "复制当前测点并将其放到剪贴板上", "复制", "copy"},
    {EditCut, "剪切(&T)", "Ctrl+X", "剪切当前测点并将其放到剪贴板上", "剪切", "cut"},
    {EditPaste, "粘贴(&P)", "Ctrl+V", "用剪贴板上的测点替换当前测点", "粘贴", "paste"},
    {FileRestore, "文件还原(&U)", "Ctrl+Z", "把当前文件还原为从仪器接收时的数据", "文件还原", "restore"},
    {AppAbout, "关于本软件(&A)...", nullptr, "显示程序信息、版本号和版权", "关于", "about"},
    {AppExit, "退出(&X)", nullptr, "退出应用程序；提示保存文档", "退出", nullptr},
    {HelpTopics, "帮助主题(&H)", nullptr, "列出帮助主题", "帮助主题", nullptr},
    {ContextHelp, nullptr, nullptr, "显示所点按钮、菜单和窗口的帮助", "帮助", nullptr},
    {Help, nullptr, nullptr, "显示帮助", "帮助", nullptr},
    {DefaultHelp, nullptr, nullptr, "列出帮助主题", "帮助主题", nullptr},
    {NextPane, nullptr, nullptr, "切换到下一个窗格", "下一窗格", nullptr},
    {PreviousPane, nullptr, nullptr, "切换回前一个窗格", "前一窗格", nullptr},
    {ViewToolBar, "工具栏(&T)", nullptr, "显示或隐藏工具栏", "显隐工具栏", nullptr},
    {ViewStatusBar, "状态栏(&S)", nullptr, "显示或隐藏状态栏", "显隐状态栏", nullptr},
    {ViewDepthChart, "裂缝深度图(&D)", nullptr, "显示或隐藏当前文件的裂缝深度图", "显隐裂缝深度图", nullptr},
    {ReportWord, "生成报告(&W)", nullptr, "生成Word检测报告", "生成报告", "report_word"},
    {ReportExcel, "生成报表(&E)", nullptr, "生成Excel数据报表", "生成报表", "report_excel"},
    {DeletePoint, "删除(&D)", nullptr, "删除当前测点", "删除", "delete"},
    {InsertPoint, "插入(&I)", nullptr, "在当前测点之上插入测点", "插入", "insert"},
    {AddPoint, "添加(&A)", nullptr, "在当前文件末尾添加测点", "添加", "add"},
    {DataTransfer, "数据传输(&T)", nullptr, "将机内数据上传", "数据传输", "transfer"},
};

// The recent-file place stands in the File menu; the frame replaces it by the list's entries.
constexpr CommandId kFileMenu[] = {FileOpen,         FileSave,       FileSaveAs, ExportCsv,   Separator, FilePrint,
                                   FilePrintPreview, FilePrintSetup, Separator,  RecentFile1, Separator, AppExit};
constexpr CommandId kEditMenu[] = {FileRestore, Separator,   EditCut,     EditCopy, EditPaste,
                                   Separator,   DeletePoint, InsertPoint, AddPoint};
constexpr CommandId kViewMenu[] = {ViewToolBar, ViewStatusBar, ViewDepthChart};
constexpr CommandId kToolsMenu[] = {DataTransfer, Separator, ReportWord, ReportExcel};
constexpr CommandId kHelpMenu[] = {HelpTopics, Separator, AppAbout};

constexpr MenuInfo kMainMenu[] = {
    {"文件(&F)", kFileMenu},  {"编辑(&E)", kEditMenu}, {"查看(&V)", kViewMenu},
    {"工具(&T)", kToolsMenu}, {"帮助(&H)", kHelpMenu},
};

constexpr CommandId kToolBar[] = {FileOpen,  FileSave,  Separator,    ReportWord, ReportExcel,    Separator,
                                  EditCut,   EditCopy,  EditPaste,    Separator,  DeletePoint,    InsertPoint,
                                  AddPoint,  Separator, FileRestore,  Separator,  FilePrintSetup, FilePrintPreview,
                                  FilePrint, Separator, DataTransfer, Separator,  AppAbout};

constexpr AcceleratorInfo kAccelerators[] = {
    {"Ctrl+N", FileNew, false},    {"Ctrl+O", FileOpen, false},       {"Ctrl+S", FileSave, false},
    {"Ctrl+P", FilePrint, false},  {"Ctrl+Z", FileRestore, true},     {"Ctrl+X", EditCut, false},
    {"Ctrl+C", EditCopy, false},   {"Ctrl+V", EditPaste, false},      {"Alt+Backspace", FileRestore, true},
    {"Shift+Del", EditCut, false}, {"Ctrl+Ins", EditCopy, false},     {"Shift+Ins", EditPaste, false},
    {"F6", NextPane, false},       {"Shift+F6", PreviousPane, false}, {"Shift+F1", ContextHelp, false},
    {"F1", Help, false},
};

}  // namespace

std::span<const CommandInfo> commandTable() { return kCommands; }

const CommandInfo* findCommand(CommandId id) {
    for (const auto& c : kCommands)
        if (c.id == id) return &c;
    return nullptr;
}

std::span<const MenuInfo> mainMenu() { return kMainMenu; }
std::span<const CommandId> contextMenuItems() { return kEditMenu; }
std::span<const CommandId> toolBarButtons() { return kToolBar; }
std::span<const AcceleratorInfo> accelerators() { return kAccelerators; }

}  // namespace fendal::app

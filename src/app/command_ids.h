#pragma once
// Every command of the program keeps its numeric id: the framework's standard ids from 57600
// for file, edit, view and help commands, the program's own from 32787.

namespace fendal::app {

enum class CommandId : int {
    Separator = 0,  // marks a separator in menu and toolbar tables

    ReportWord = 32787,
    ReportExcel = 32788,
    DeletePoint = 32790,
    InsertPoint = 32791,
    AddPoint = 32792,
    DataTransfer = 32796,
    ExportCsv = 32798,  // the points of the group as a CSV file for the user's own tools

    FileNew = 57600,
    FileOpen = 57601,
    FileSave = 57603,
    FileSaveAs = 57604,
    FilePrintSetup = 57606,
    FilePrint = 57607,
    FilePrintDirect = 57608,
    FilePrintPreview = 57609,
    RecentFile1 = 57616,  // recent files 1..5 take the ids 57616..57620
    RecentFileLast = 57620,

    EditCopy = 57634,
    EditCut = 57635,
    EditPaste = 57637,
    FileRestore = 57643,  // the framework's undo id: undoes all edits of the current file

    AppAbout = 57664,
    AppExit = 57665,
    HelpTopics = 57667,
    ContextHelp = 57669,
    Help = 57670,
    DefaultHelp = 57671,
    NextPane = 57680,
    PreviousPane = 57681,

    ViewToolBar = 59392,
    ViewStatusBar = 59393,
    ViewDepthChart = 59394,  // the depth chart dock; a free id after the two bars'
};

inline bool isRecentFile(CommandId id) { return id >= CommandId::RecentFile1 && id <= CommandId::RecentFileLast; }

inline int recentFileIndex(CommandId id) { return static_cast<int>(id) - static_cast<int>(CommandId::RecentFile1); }

}  // namespace fendal::app

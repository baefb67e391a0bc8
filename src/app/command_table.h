#pragma once
// The shape of the user interface as tables: the commands with their texts and pictures, the
// main menu, the toolbar and the accelerators. The frame builds its menus, toolbar and keys
// from these tables, so the texts live in one place.
#include <span>

#include "app/command_ids.h"

namespace fendal::app {

struct CommandInfo {
    CommandId id;
    const char* menuText;      // with its mnemonic; nullptr for commands without a menu item
    const char* shortcutText;  // shown after a tab in the menu item; nullptr for none
    const char* prompt;        // status-bar prompt
    const char* tooltip;
    const char* picture;  // the toolbar picture (":/icons/<name>.svg"), also shown in the menu; nullptr for none
};

struct MenuInfo {
    const char* title;
    std::span<const CommandId> items;  // CommandId::Separator marks a separator
};

struct AcceleratorInfo {
    const char* keys;  // in Qt's portable key text, e.g. "Ctrl+O", "Alt+Backspace"
    CommandId id;
    // Run the command even while its menu item is disabled, because its handler tells the
    // user why nothing can be done (file restore without a current file).
    bool evenWhenDisabled;
};

// Every command of the program, once.
std::span<const CommandInfo> commandTable();
// nullptr for an id that is not in the table (recent files are built from the list itself).
const CommandInfo* findCommand(CommandId id);

std::span<const MenuInfo> mainMenu();
// The context menu of the point list: the Edit menu's items.
std::span<const CommandId> contextMenuItems();
std::span<const CommandId> toolBarButtons();
std::span<const AcceleratorInfo> accelerators();

// Number of entries of the recent-file list.
inline constexpr int kRecentFileCount = 4;
// Text of the recent-file place while the list is empty.
inline constexpr char kRecentFilesText[] = "最近文件";
inline constexpr char kRecentFilePrompt[] = "打开该文档";

}  // namespace fendal::app

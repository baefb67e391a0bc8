#pragma once
// Everything the document asks or tells the user goes through this interface: the desktop
// program answers with real dialogs, tests with a script of answers.
#include <optional>
#include <string>
#include <vector>

namespace fendal::data {

enum class MsgButtons { Ok, OkCancel, YesNo, YesNoCancel };
enum class MsgIcon { None, Information, Question, Warning, Error };
enum class MsgAnswer { Ok, Cancel, Yes, No };

struct FileDialogOptions {
    std::string title;       // empty: the dialog's own
    std::string defaultExt;  // without the dot, e.g. "fsy"
    std::string filter;      // "name|pattern|name|pattern||" as the Windows dialogs take it
    bool allowMultiSelect = false;
    bool hideReadOnly = false;
    bool overwritePrompt = false;
    std::string startPath;  // the file the dialog starts on: its folder, and its name to save under
};

// The group save-as dialog: one line per file (name and whether to write it).
struct GroupSaveRequest {
    FileDialogOptions options;
    std::vector<std::string> names;
    std::vector<bool> checks;
    std::string chosenPath;  // set on OK: the dialog's path name; its folder is the target
};

class DocUi {
public:
    virtual ~DocUi() = default;
    virtual MsgAnswer messageBox(const std::string& text, const std::string& caption, MsgButtons buttons,
                                 MsgIcon icon) = 0;
    // Paths in the dialog's order; nullopt on cancel.
    virtual std::optional<std::vector<std::string>> chooseOpenFiles(const FileDialogOptions& options) = 0;
    virtual std::optional<std::string> chooseSaveFile(const FileDialogOptions& options) = 0;
    // Fills names, checks and chosenPath on OK; false on cancel.
    virtual bool chooseGroupSave(GroupSaveRequest& request) = 0;
    virtual void addToRecentFiles(const std::string& path) = 0;
};

// Runs the transfer settings dialog modally; true when it ended with OK, i.e. a transfer has
// ended and the received-data file is ready.
class TransferRunner {
public:
    virtual ~TransferRunner() = default;
    virtual bool runTransfer() = 0;
};

// What an update of the views follows: a whole new or saved group, or edited points (the
// view then keeps its categories open or closed as they were).
enum class UpdateHint { Reloaded = 0, PointsEdited = 1 };

// Views of the document.
class DocObserver {
public:
    virtual ~DocObserver() = default;
    virtual void onDocumentUpdate(UpdateHint hint) = 0;
    // The title or the modified flag changed.
    virtual void onDocumentStateChanged() {}
};

}  // namespace fendal::data

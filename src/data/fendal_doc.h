#pragma once
// The document: the group of open crack data files, the current file and point, and the file
// and point commands. Qt-free; everything it asks the user goes through DocUi.
#include <cstdint>
#include <functional>
#include <string>
#include <system_error>
#include <vector>

#include "data/doc_ui.h"
#include "data/file_group.h"

namespace fendal::data {

class CFendalDoc {
public:
    static constexpr int kCurrent = -2;  // as a file or point index: the current one

    explicit CFendalDoc(DocUi& ui);

    FileGroup group;

    // --- current file and point (-1: none); choosing them changes no data and tells no view
    int currentFile() const { return currentFile_; }
    int currentPoint() const { return currentPoint_; }
    void setCurrent(int file, int point);

    // --- observers, title and modified flag
    void addObserver(DocObserver* observer);
    void removeObserver(DocObserver* observer);
    void updateAllViews(UpdateHint hint);
    bool isModified() const { return modified_; }
    void setModifiedFlag(bool modified = true);
    const std::string& title() const { return title_; }
    void setTitle(const std::string& title);

    // --- changes made from outside the document's own commands: each changes, marks the
    // document modified (or not, for a new or reloaded group) and updates the views
    // Empties the group: no file, no title, nothing to save.
    void newDocument();
    // Reads one file as the whole group (see readSingleFile) and shows it.
    bool openSingleFile(const std::string& path);
    // Lets edit change the current point in place; a true return marks it edited.
    // False when there is no current point or the edit refused.
    bool editCurrentPoint(const std::function<bool(MeasurePoint&)>& edit);
    bool replaceCurrentPoint(const MeasurePoint& record);

    // --- addressing
    bool flatToFilePoint(int flat, int& file, int& point) const;
    bool filePointToFlat(int& flat, int file, int point) const;
    int pointsBefore(int file) const;  // any index not met (e.g. -1): the total
    int totalPoints() const { return pointsBefore(-1); }
    void selectFlat(int flat);
    CrackDataFile* fileAt(int file);  // -2: current; nullptr when out of range
    const CrackDataFile* fileAt(int file) const;
    MeasurePoint* pointAt(int file, int point);  // -2: current; nullptr when out of range
    const MeasurePoint* pointAt(int file, int point) const;
    bool hasValidCurrentPoint() const { return pointAt(kCurrent, kCurrent) != nullptr; }

    // --- point operations (none sets the modified flag or updates views)
    bool setPoint(int file, int point, const MeasurePoint& record);
    bool deletePoint(int file, int point);
    bool insertPoint(int file, int point);
    bool appendPoint(int file);
    bool restoreFile(int file);
    bool readSingleFile(const std::string& path);

    // Asks whether to save changes; false when the user cancels (or a save they asked for
    // did not happen, so nothing unsaved is thrown away).
    bool promptSaveChanges();

    // --- commands
    void onFileOpen();
    void onFileSave();
    void onFileSaveAs();
    void onDeletePoint();
    void onInsertPoint();
    void onAddPoint();
    void onFileRestore();
    void onDataTransfer(TransferRunner& transfer);
    // Replaces the group by one unsaved file of the points in a received-data file. False (after
    // telling the user) when the file cannot be opened or its length is wrong.
    bool importReceivedData(const std::string& path);
    // Opens a recent file; false when the user cancelled or the file could not be read.
    bool openRecentFile(const std::string& path);
    // Deletes the current point without asking (Cut does so once the copy is on the clipboard).
    bool removeCurrentPoint();
    // Whether the main window may close.
    bool canCloseFrame() { return promptSaveChanges(); }

    // --- enable rules
    bool hasFiles() const { return group.fileCount() > 0; }
    bool canSave() const { return hasFiles(); }
    bool canPrint() const { return hasFiles(); }
    bool canDeletePoint() const;
    bool canInsertPoint() const { return canDeletePoint(); }
    bool canAddPoint() const;
    bool canRestore() const { return currentFile_ >= 0 && currentFile_ < group.fileCount(); }

    DocUi& ui() { return ui_; }

private:
    MsgAnswer ask(const std::string& text, MsgButtons buttons, MsgIcon icon);
    void tell(const std::string& text, MsgIcon icon = MsgIcon::Information);
    struct Unwritten {
        std::string path;
        std::error_code reason;
    };
    void freeGroup();
    void pointsEdited();
    template <class Call>
    void notifyObservers(Call call);
    bool readFile(const std::string& path, CrackDataFile& entry);
    bool saveAsOneFile();
    bool saveAsSeveralFiles();
    void reportUnwritten(const std::vector<Unwritten>& files);
    void titleFromPaths(const std::vector<std::string>& paths);

    DocUi& ui_;
    std::vector<DocObserver*> observers_;
    std::string title_;
    bool modified_ = false;
    int32_t currentFile_ = -1;
    int32_t currentPoint_ = -1;
};

}  // namespace fendal::data

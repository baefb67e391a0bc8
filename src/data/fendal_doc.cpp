#include "data/fendal_doc.h"

#include <algorithm>
#include <cerrno>
#include <filesystem>
#include <new>

#include "data/app_strings.h"
#include "data/crack_file_io.h"
#include "platform/file_path.h"
#include "platform/safe_file_writer.h"
#include "platform/temp_dir.h"
#include "platform/text.h"

namespace fendal::data {

CFendalDoc::CFendalDoc(DocUi& ui) : ui_(ui) {}

// --- observers, title, modified flag

void CFendalDoc::addObserver(DocObserver* observer) {
    if (std::find(observers_.begin(), observers_.end(), observer) == observers_.end()) observers_.push_back(observer);
}

void CFendalDoc::removeObserver(DocObserver* observer) {
    observers_.erase(std::remove(observers_.begin(), observers_.end(), observer), observers_.end());
}

// An observer may remove itself, or another one, while being told: the loop runs over a copy
// and skips whoever has left the list meanwhile.
template <class Call>
void CFendalDoc::notifyObservers(Call call) {
    const auto list = observers_;
    for (auto* o : list) {
        if (std::find(observers_.begin(), observers_.end(), o) != observers_.end()) call(*o);
    }
}

void CFendalDoc::updateAllViews(UpdateHint hint) {
    notifyObservers([hint](DocObserver& o) { o.onDocumentUpdate(hint); });
}

void CFendalDoc::setModifiedFlag(bool modified) {
    if (modified_ == modified) return;
    modified_ = modified;
    notifyObservers([](DocObserver& o) { o.onDocumentStateChanged(); });
}

void CFendalDoc::setTitle(const std::string& title) {
    if (title_ == title) return;
    title_ = title;
    notifyObservers([](DocObserver& o) { o.onDocumentStateChanged(); });
}

void CFendalDoc::pointsEdited() {
    updateAllViews(UpdateHint::PointsEdited);
    setModifiedFlag(true);
}

void CFendalDoc::setCurrent(int file, int point) {
    currentFile_ = file;
    currentPoint_ = point;
}

MsgAnswer CFendalDoc::ask(const std::string& text, MsgButtons buttons, MsgIcon icon) {
    return ui_.messageBox(text, kAppTitle, buttons, icon);
}

void CFendalDoc::tell(const std::string& text, MsgIcon icon) { ui_.messageBox(text, kAppTitle, MsgButtons::Ok, icon); }

// --- addressing

bool CFendalDoc::flatToFilePoint(int flat, int& file, int& point) const {
    if (flat < 0) return false;
    int rest = flat;
    for (int f = 0; f < group.fileCount(); ++f) {
        int n = group.files[f].pointCount();
        if (rest < n) {
            file = f;
            point = rest;
            return true;
        }
        rest -= n;
    }
    return false;
}

bool CFendalDoc::filePointToFlat(int& flat, int file, int point) const {
    if (file == kCurrent) file = currentFile_;
    if (point == kCurrent) point = currentPoint_;
    if (file < 0 || file >= group.fileCount()) return false;
    if (point < 0 || point >= group.files[file].pointCount()) return false;
    flat = pointsBefore(file) + point;
    return true;
}

int CFendalDoc::pointsBefore(int file) const {
    int total = 0;
    for (int f = 0; f < group.fileCount(); ++f) {
        if (f == file) return total;
        total += group.files[f].pointCount();
    }
    return total;
}

void CFendalDoc::selectFlat(int flat) {
    int file, point;
    if (flat >= 0 && flatToFilePoint(flat, file, point))
        setCurrent(file, point);
    else
        setCurrent(-1, -1);
}

const CrackDataFile* CFendalDoc::fileAt(int file) const {
    if (file == kCurrent) file = currentFile_;
    if (file < 0 || file >= group.fileCount()) return nullptr;
    return &group.files[file];
}

CrackDataFile* CFendalDoc::fileAt(int file) {
    return const_cast<CrackDataFile*>(static_cast<const CFendalDoc*>(this)->fileAt(file));
}

const MeasurePoint* CFendalDoc::pointAt(int file, int point) const {
    if (file == kCurrent) file = currentFile_;
    if (point == kCurrent) point = currentPoint_;
    const CrackDataFile* f = fileAt(file);
    if (!f || point < 0 || point >= f->pointCount()) return nullptr;
    return &f->points[point];
}

MeasurePoint* CFendalDoc::pointAt(int file, int point) {
    return const_cast<MeasurePoint*>(static_cast<const CFendalDoc*>(this)->pointAt(file, point));
}

bool CFendalDoc::canDeletePoint() const { return hasValidCurrentPoint(); }

bool CFendalDoc::canAddPoint() const { return hasFiles() && currentFile_ >= 0 && currentFile_ < group.fileCount(); }

// --- point operations

bool CFendalDoc::setPoint(int file, int point, const MeasurePoint& record) {
    MeasurePoint* p = pointAt(file, point);
    if (!p) return false;
    *p = record;
    return true;
}

bool CFendalDoc::deletePoint(int file, int point) {
    if (file == kCurrent) file = currentFile_;
    if (point == kCurrent) point = currentPoint_;
    if (!pointAt(file, point)) return false;
    auto& list = group.files[file].points;
    list.erase(list.begin() + point);
    if (list.empty()) list.shrink_to_fit();
    return true;
}

// A file holds at most kMaxFileCount points: one more could not be read back after saving.
bool CFendalDoc::insertPoint(int file, int point) {
    if (file == kCurrent) file = currentFile_;
    if (point == kCurrent) point = currentPoint_;
    const MeasurePoint* p = pointAt(file, point);
    if (!p || group.files[file].pointCount() >= kMaxFileCount) return false;
    MeasurePoint copy = *p;
    auto& list = group.files[file].points;
    try {
        list.insert(list.begin() + point, copy);
    } catch (const std::bad_alloc&) {
        return false;
    }
    return true;
}

bool CFendalDoc::appendPoint(int file) {
    CrackDataFile* f = fileAt(file);
    if (!f || f->pointCount() >= kMaxFileCount) return false;
    MeasurePoint last = f->points.empty() ? MeasurePoint{} : f->points.back();
    try {
        f->points.push_back(last);
    } catch (const std::bad_alloc&) {
        return false;
    }
    return true;
}

bool CFendalDoc::restoreFile(int file) {
    CrackDataFile* f = fileAt(file);
    if (!f || f->receivedCount() < 1 || f->receivedCount() > kMaxFileCount) return false;
    f->points = f->receivedPoints;
    return true;
}

void CFendalDoc::freeGroup() {
    group.clear();
    setCurrent(-1, -1);
}

// From the paths asked for rather than the files read: a file that could not be read still
// names the document.
void CFendalDoc::titleFromPaths(const std::vector<std::string>& paths) {
    if (paths.size() == 1)
        setTitle(platform::fileNamePart(paths[0]));
    else if (paths.size() > 1)
        setTitle(kGroupTitle);
}

bool CFendalDoc::readFile(const std::string& path, CrackDataFile& entry) {
    std::error_code error;
    if (readCrackFile(path, entry, &error)) return true;
    // A file that is simply not there stays silent; running out of memory is worth a word.
    if (error == std::errc::not_enough_memory)
        tell(platform::text::format("文件“%s”无法打开：%s", platform::text::displayPath(path).c_str(),
                                    error.message().c_str()),
             MsgIcon::Error);
    return false;
}

bool CFendalDoc::readSingleFile(const std::string& path) {
    CrackDataFile entry;
    if (!readFile(path, entry)) return false;
    freeGroup();
    group.files.push_back(std::move(entry));
    titleFromPaths({path});
    setModifiedFlag(false);
    return true;
}

bool CFendalDoc::openSingleFile(const std::string& path) {
    if (!readSingleFile(path)) return false;
    updateAllViews(UpdateHint::Reloaded);
    return true;
}

void CFendalDoc::newDocument() {
    freeGroup();
    setTitle("");
    setModifiedFlag(false);
    updateAllViews(UpdateHint::Reloaded);
}

bool CFendalDoc::editCurrentPoint(const std::function<bool(MeasurePoint&)>& edit) {
    MeasurePoint* p = pointAt(kCurrent, kCurrent);
    if (!p || !edit(*p)) return false;
    pointsEdited();
    return true;
}

bool CFendalDoc::replaceCurrentPoint(const MeasurePoint& record) {
    if (!setPoint(kCurrent, kCurrent, record)) return false;
    pointsEdited();
    return true;
}

// --- save prompt

bool CFendalDoc::promptSaveChanges() {
    if (!modified_) return true;
    switch (ask(std::string("将改动文件保存") + "？", MsgButtons::YesNoCancel, MsgIcon::Warning)) {
    case MsgAnswer::Cancel: return false;
    case MsgAnswer::Yes:
        onFileSave();
        // The user asked for the changes to be kept: if the save did not happen (the save
        // dialog was cancelled or a file could not be written), nothing goes on.
        return !modified_;
    default: return true;
    }
}

// --- commands

void CFendalDoc::onFileOpen() {
    // Cancel keeps the unsaved changes on screen instead of throwing them away.
    if (!promptSaveChanges()) return;
    FileDialogOptions options;
    options.title = "打开(支持多选)";
    options.defaultExt = "fsy";
    options.filter = kCrackFilter;
    options.hideReadOnly = true;
    options.allowMultiSelect = true;
    auto paths = ui_.chooseOpenFiles(options);
    if (!paths || paths->empty()) return;

    freeGroup();
    for (const auto& p : *paths) ui_.addToRecentFiles(p);
    group.files.resize(paths->size());
    for (std::size_t i = 0; i < paths->size(); ++i) {
        if (!readFile((*paths)[i], group.files[i])) group.files[i] = CrackDataFile{};
    }
    if (paths->size() == 1) currentFile_ = 0;
    titleFromPaths(*paths);
    setModifiedFlag(false);
    updateAllViews(UpdateHint::Reloaded);
}

void CFendalDoc::reportUnwritten(const std::vector<Unwritten>& files) {
    std::string text;
    for (const auto& f : files) {
        if (!text.empty()) text += "\n";
        text += platform::text::format("无法保存文件“%s”：%s", platform::text::displayPath(f.path).c_str(),
                                       f.reason.message().c_str());
    }
    tell(text, MsgIcon::Error);
}

void CFendalDoc::onFileSave() {
    if (!hasFiles()) return;
    for (const auto& f : group.files) {
        if (!platform::canWriteFile(f.path)) {
            onFileSaveAs();
            return;
        }
    }
    std::vector<Unwritten> failed;
    for (auto& f : group.files) {
        std::error_code error;
        if (!writeCrackFile(f, &error)) failed.push_back({f.path, error});
    }
    if (!failed.empty()) {
        reportUnwritten(failed);
        return;
    }
    setModifiedFlag(false);
    updateAllViews(UpdateHint::Reloaded);
}

bool CFendalDoc::saveAsOneFile() {
    FileDialogOptions options;
    options.defaultExt = "fsy";
    options.filter = kCrackFilter;
    options.hideReadOnly = true;
    options.overwritePrompt = true;
    options.startPath = group.files[0].path;
    auto path = ui_.chooseSaveFile(options);
    if (!path) return false;
    CrackDataFile& f = group.files[0];
    std::string old = f.path;
    f.path = *path;
    std::error_code error;
    if (!writeCrackFile(f, &error)) {
        f.path = old;
        reportUnwritten({{*path, error}});
        return false;
    }
    setTitle(platform::fileNamePart(f.path));
    return true;
}

bool CFendalDoc::saveAsSeveralFiles() {
    for (;;) {
        GroupSaveRequest request;
        request.options.filter = kGroupSaveFilter;
        request.options.allowMultiSelect = true;
        request.options.hideReadOnly = true;
        request.options.overwritePrompt = true;
        request.options.startPath = group.files[0].path;
        for (const auto& f : group.files) {
            request.names.push_back(platform::fileNamePart(f.path));
            request.checks.push_back(true);
        }
        if (!ui_.chooseGroupSave(request)) return false;
        if (request.names.size() != group.files.size() || request.checks.size() != group.files.size()) return false;

        bool any = std::find(request.checks.begin(), request.checks.end(), true) != request.checks.end();
        if (!any) {
            MsgAnswer a = ask("未选择任何文件，是否重新定义？", MsgButtons::YesNoCancel, MsgIcon::Question);
            if (a == MsgAnswer::Yes) continue;
            return false;  // Cancel, or No: nothing is written and the changes stay unsaved
        }

        std::filesystem::path folder = platform::filePath(request.chosenPath).parent_path();
        std::vector<Unwritten> failed;
        for (std::size_t i = 0; i < group.files.size(); ++i) {
            if (!request.checks[i]) continue;
            CrackDataFile& f = group.files[i];
            std::string target = (folder / request.names[i]).string();
            std::string old = f.path;
            f.path = target;
            std::error_code error;
            if (!writeCrackFile(f, &error)) {
                f.path = old;
                failed.push_back({target, error});
            }
        }
        if (!failed.empty()) {
            reportUnwritten(failed);
            return false;
        }
        return true;
    }
}

void CFendalDoc::onFileSaveAs() {
    if (!hasFiles()) return;
    bool saved = group.fileCount() == 1 ? saveAsOneFile() : saveAsSeveralFiles();
    if (!saved) return;
    setModifiedFlag(false);
    updateAllViews(UpdateHint::Reloaded);
}

void CFendalDoc::onDeletePoint() {
    if (ask("是否要删除数据？", MsgButtons::YesNoCancel, MsgIcon::Question) != MsgAnswer::Yes) return;
    if (!removeCurrentPoint()) tell("删除失败", MsgIcon::Error);
}

bool CFendalDoc::removeCurrentPoint() {
    if (!deletePoint(currentFile_, currentPoint_)) return false;
    currentPoint_ = -1;
    pointsEdited();
    return true;
}

void CFendalDoc::onInsertPoint() {
    if (!insertPoint(currentFile_, currentPoint_)) {
        tell("插入失败", MsgIcon::Error);
        return;
    }
    ++currentPoint_;
    pointsEdited();
}

void CFendalDoc::onAddPoint() {
    if (!appendPoint(currentFile_)) {
        tell("添加失败", MsgIcon::Error);
        return;
    }
    currentPoint_ = group.files[currentFile_].pointCount() - 1;
    pointsEdited();
}

void CFendalDoc::onFileRestore() {
    if (currentFile_ < 0) {
        tell("请选择要还原的文件！", MsgIcon::Warning);
        return;
    }
    if (currentFile_ < group.fileCount()) {
        std::string text = "确实要还原文件“" + platform::text::displayPath(group.files[currentFile_].path) + "”?";
        if (ask(text, MsgButtons::YesNoCancel, MsgIcon::Question) != MsgAnswer::Yes) return;
    }
    if (!restoreFile(currentFile_)) return;
    if (currentPoint_ >= group.files[currentFile_].pointCount()) currentPoint_ = -1;
    pointsEdited();
}

bool CFendalDoc::openRecentFile(const std::string& path) {
    if (!promptSaveChanges()) return false;
    if (!readSingleFile(path)) return false;
    currentFile_ = 0;
    updateAllViews(UpdateHint::Reloaded);
    return true;
}

}  // namespace fendal::data

#include "app/recent_file_list.h"

#include <algorithm>

namespace fendal::app {

namespace {
// The section and key names the framework has always used, so existing profiles keep working.
constexpr char kSection[] = "Recent File List";
std::string keyOf(int index) { return "File" + std::to_string(index + 1); }
}  // namespace

RecentFileList::RecentFileList(platform::Profile& profile, int size) : profile_(profile), size_(size) {
    for (int i = 0; i < size_; ++i) {
        auto path = profile_.readString(kSection, keyOf(i));
        if (path && !path->empty()) entries_.push_back(*path);
    }
}

void RecentFileList::add(const std::string& path) {
    if (path.empty()) return;
    std::erase(entries_, path);
    entries_.insert(entries_.begin(), path);
    if (static_cast<int>(entries_.size()) > size_) entries_.resize(size_);
    store();
    if (onChange_) onChange_();
}

void RecentFileList::store() {
    for (int i = 0; i < size_; ++i)
        profile_.writeString(kSection, keyOf(i), i < static_cast<int>(entries_.size()) ? entries_[i] : "");
}

}  // namespace fendal::app

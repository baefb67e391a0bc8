#pragma once
// The recent-file list: the newest path first, at most kRecentFileCount entries, kept in the
// user's profile so that it survives the run.
#include <functional>
#include <string>
#include <vector>

#include "platform/profile.h"

namespace fendal::app {

class RecentFileList {
public:
    RecentFileList(platform::Profile& profile, int size);

    const std::vector<std::string>& entries() const { return entries_; }
    // Puts the path first (moving it if it is already listed) and stores the list at once, so a
    // crash later does not lose it.
    void add(const std::string& path);
    void setOnChange(std::function<void()> onChange) { onChange_ = std::move(onChange); }

private:
    void store();

    platform::Profile& profile_;
    int size_;
    std::vector<std::string> entries_;
    std::function<void()> onChange_;
};

}  // namespace fendal::app

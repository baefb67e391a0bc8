#pragma once
// The few pages drawn last, kept by page number while their total cost stays within a budget;
// the page used longest ago goes first. The print preview keeps its page pictures here, so that
// scrolling back and forth draws no page twice and a long job holds no picture per page.
#include <algorithm>
#include <cstddef>
#include <cstdint>
#include <utility>
#include <vector>

namespace fendal::print {

template <typename Picture>
class RecentPageCache {
public:
    // The page's picture, now the most recently used; null when it is not kept.
    Picture* find(int page) {
        auto it = std::find_if(entries_.begin(), entries_.end(), [&](const Entry& e) { return e.page == page; });
        if (it == entries_.end()) return nullptr;
        it->used = ++clock_;
        return &it->picture;
    }

    // Keeps `picture` for `page`, replacing what was kept for it.
    Picture& insert(int page, Picture picture, std::size_t cost) {
        erase(page);
        entries_.push_back({page, std::move(picture), cost, ++clock_});
        total_ += cost;
        return entries_.back().picture;
    }

    // Lets go of the least recently used pages until the rest costs at most `budget`.
    void trim(std::size_t budget) {
        while (total_ > budget && !entries_.empty()) {
            auto oldest = std::min_element(entries_.begin(), entries_.end(),
                                           [](const Entry& a, const Entry& b) { return a.used < b.used; });
            total_ -= oldest->cost;
            entries_.erase(oldest);
        }
    }

    void clear() {
        entries_.clear();
        total_ = 0;
    }

    std::size_t size() const { return entries_.size(); }
    std::size_t totalCost() const { return total_; }
    bool contains(int page) const {
        return std::any_of(entries_.begin(), entries_.end(), [&](const Entry& e) { return e.page == page; });
    }

private:
    struct Entry {
        int page;
        Picture picture;
        std::size_t cost;
        uint64_t used;
    };

    void erase(int page) {
        auto it = std::find_if(entries_.begin(), entries_.end(), [&](const Entry& e) { return e.page == page; });
        if (it == entries_.end()) return;
        total_ -= it->cost;
        entries_.erase(it);
    }

    std::vector<Entry> entries_;
    std::size_t total_ = 0;
    uint64_t clock_ = 0;
};

}  // namespace fendal::print

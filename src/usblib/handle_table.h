#pragma once
// The open handles of a Linux driver backend: each handle is a number of our own standing for
// what the backend keeps per open device. Handle values are never reused, so a stale handle
// fails instead of reaching a newer device; one that names nothing fails with EBADF.
#include <cerrno>
#include <cstdint>
#include <map>
#include <mutex>
#include <optional>
#include <utility>

#include "usblib/ql260.h"

namespace ql260 {

template <class T>
class HandleTable {
public:
    QL260_HANDLE add(T value) {
        std::lock_guard guard(lock_);
        return insert(std::move(value));
    }

    // A new handle for the value of the first handle that `matches`, or else for what `make()`
    // gives, which may be empty (then QL260_INVALID_HANDLE). Both run under the table's lock, so
    // a value being shared cannot be released by a close in between.
    template <class Match, class Make>
    QL260_HANDLE addShared(Match matches, Make make) {
        std::lock_guard guard(lock_);
        T value{};
        for (const auto& [id, held] : values_)
            if (matches(held)) {
                value = held;
                break;
            }
        if (!value) value = make();
        if (!value) return QL260_INVALID_HANDLE;
        return insert(std::move(value));
    }

    std::optional<T> find(QL260_HANDLE handle) const {
        std::lock_guard guard(lock_);
        auto it = values_.find(reinterpret_cast<uintptr_t>(handle));
        if (it == values_.end()) {
            errno = EBADF;
            return std::nullopt;
        }
        return it->second;
    }

    struct Removed {
        T value;
        bool last = true;  // no other handle holds the same value
    };

    std::optional<Removed> remove(QL260_HANDLE handle) {
        std::lock_guard guard(lock_);
        auto it = values_.find(reinterpret_cast<uintptr_t>(handle));
        if (it == values_.end()) {
            errno = EBADF;
            return std::nullopt;
        }
        Removed removed{std::move(it->second)};
        values_.erase(it);
        for (const auto& [id, held] : values_)
            if (held == removed.value) removed.last = false;
        return removed;
    }

private:
    QL260_HANDLE insert(T value) {
        const uintptr_t id = next_;
        next_ += 4;
        values_.emplace(id, std::move(value));
        return reinterpret_cast<QL260_HANDLE>(id);
    }

    mutable std::mutex lock_;
    std::map<uintptr_t, T> values_;
    uintptr_t next_ = 4;
};

}  // namespace ql260

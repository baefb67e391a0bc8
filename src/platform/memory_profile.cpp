#include "platform/profile.h"

namespace fendal::platform {

std::optional<std::string> MemoryProfile::readString(const std::string& section, const std::string& key) {
    auto it = values_.find({section, key});
    return it == values_.end() ? std::nullopt : it->second.text;
}

void MemoryProfile::writeString(const std::string& section, const std::string& key, const std::string& value) {
    values_[{section, key}] = Value{value, std::nullopt, std::nullopt};
}

std::optional<int> MemoryProfile::readInt(const std::string& section, const std::string& key) {
    auto it = values_.find({section, key});
    return it == values_.end() ? std::nullopt : it->second.number;
}

void MemoryProfile::writeInt(const std::string& section, const std::string& key, int value) {
    values_[{section, key}] = Value{std::nullopt, value, std::nullopt};
}

std::optional<std::vector<unsigned char>> MemoryProfile::readBinary(const std::string& section,
                                                                    const std::string& key) {
    auto it = values_.find({section, key});
    return it == values_.end() ? std::nullopt : it->second.bytes;
}

void MemoryProfile::writeBinary(const std::string& section, const std::string& key,
                                const std::vector<unsigned char>& value) {
    values_[{section, key}] = Value{std::nullopt, std::nullopt, value};
}

bool MemoryProfile::contains(const std::string& section, const std::string& key) const {
    return values_.count({section, key}) != 0;
}

}  // namespace fendal::platform

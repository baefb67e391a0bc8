#pragma once
// The per-user profile (the registry on Windows, an INI file on Linux) as core code sees it.
#include <map>
#include <optional>
#include <string>
#include <vector>

namespace fendal::platform {

class Profile {
public:
    virtual ~Profile() = default;
    virtual std::optional<std::string> readString(const std::string& section, const std::string& key) = 0;
    virtual void writeString(const std::string& section, const std::string& key, const std::string& value) = 0;
    virtual std::optional<int> readInt(const std::string& section, const std::string& key) = 0;
    virtual void writeInt(const std::string& section, const std::string& key, int value) = 0;
    virtual std::optional<std::vector<unsigned char>> readBinary(const std::string& section,
                                                                 const std::string& key) = 0;
    virtual void writeBinary(const std::string& section, const std::string& key,
                             const std::vector<unsigned char>& value) = 0;
};

// A profile held in memory: for tests and for runs without a user profile.
class MemoryProfile : public Profile {
public:
    std::optional<std::string> readString(const std::string& section, const std::string& key) override;
    void writeString(const std::string& section, const std::string& key, const std::string& value) override;
    std::optional<int> readInt(const std::string& section, const std::string& key) override;
    void writeInt(const std::string& section, const std::string& key, int value) override;
    std::optional<std::vector<unsigned char>> readBinary(const std::string& section, const std::string& key) override;
    void writeBinary(const std::string& section, const std::string& key,
                     const std::vector<unsigned char>& value) override;

    bool contains(const std::string& section, const std::string& key) const;

private:
    struct Value {
        std::optional<std::string> text;
        std::optional<int> number;
        std::optional<std::vector<unsigned char>> bytes;
    };
    std::map<std::pair<std::string, std::string>, Value> values_;
};

}  // namespace fendal::platform

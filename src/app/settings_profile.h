#pragma once
// The user's profile on QSettings under the program's company and application names: the
// registry key on Windows, an INI file in the user's configuration folder on Linux.
#include <QSettings>

#include "platform/profile.h"

namespace fendal::app {

class SettingsProfile : public platform::Profile {
public:
    SettingsProfile();

    std::optional<std::string> readString(const std::string& section, const std::string& key) override;
    void writeString(const std::string& section, const std::string& key, const std::string& value) override;
    std::optional<int> readInt(const std::string& section, const std::string& key) override;
    void writeInt(const std::string& section, const std::string& key, int value) override;
    std::optional<std::vector<unsigned char>> readBinary(const std::string& section, const std::string& key) override;
    void writeBinary(const std::string& section, const std::string& key,
                     const std::vector<unsigned char>& value) override;

private:
    QSettings settings_;
};

}  // namespace fendal::app

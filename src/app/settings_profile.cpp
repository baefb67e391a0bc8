#include "app/settings_profile.h"

#include "data/app_strings.h"

namespace fendal::app {

namespace {
// Sections such as "GfxLists\TheMainList" name sub keys; QSettings separates those with '/',
// which keeps them sub keys in the registry as well.
QString keyOf(const std::string& section, const std::string& key) {
    return QString::fromStdString(section).replace('\\', '/') + '/' + QString::fromStdString(key);
}
}  // namespace

SettingsProfile::SettingsProfile() : settings_(data::kProfileCompany, data::kProfileApp) {}

std::optional<std::string> SettingsProfile::readString(const std::string& section, const std::string& key) {
    QVariant v = settings_.value(keyOf(section, key));
    if (!v.isValid()) return std::nullopt;
    return v.toString().toStdString();
}

void SettingsProfile::writeString(const std::string& section, const std::string& key, const std::string& value) {
    settings_.setValue(keyOf(section, key), QString::fromStdString(value));
}

std::optional<int> SettingsProfile::readInt(const std::string& section, const std::string& key) {
    QVariant v = settings_.value(keyOf(section, key));
    bool ok = false;
    int n = v.toInt(&ok);
    if (!v.isValid() || !ok) return std::nullopt;
    return n;
}

void SettingsProfile::writeInt(const std::string& section, const std::string& key, int value) {
    settings_.setValue(keyOf(section, key), value);
}

std::optional<std::vector<unsigned char>> SettingsProfile::readBinary(const std::string& section,
                                                                      const std::string& key) {
    QVariant v = settings_.value(keyOf(section, key));
    if (!v.isValid() || v.typeId() != QMetaType::QByteArray) return std::nullopt;
    QByteArray bytes = v.toByteArray();
    return std::vector<unsigned char>(bytes.begin(), bytes.end());
}

void SettingsProfile::writeBinary(const std::string& section, const std::string& key,
                                  const std::vector<unsigned char>& value) {
    settings_.setValue(keyOf(section, key),
                       QByteArray(reinterpret_cast<const char*>(value.data()), static_cast<qsizetype>(value.size())));
}

}  // namespace fendal::app

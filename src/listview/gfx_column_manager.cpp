#include "listview/gfx_column_manager.h"

#include <algorithm>

#include "platform/text.h"

namespace fendal::listview {

void CGfxColumnManager::defineColumn(int id, std::optional<std::string> text, std::optional<std::string> textdt,
                                     int align, int width, int dwdata, int image, std::optional<std::string> descr) {
    defs_.push_back(
        GfxColumnDef{id, align, width, image, dwdata, std::move(text), std::move(textdt), std::move(descr)});
}

bool CGfxColumnManager::setDefaultColumns(const std::vector<int>& ids) {
    if (ids.empty()) return false;
    shown_ = ids;
    return true;
}

int CGfxColumnManager::findDefinition(int id) const {
    for (std::size_t i = 0; i < defs_.size(); ++i)
        if (defs_[i].id == id) return static_cast<int>(i);
    return -1;
}

bool CGfxColumnManager::isShown(int id) const { return std::find(shown_.begin(), shown_.end(), id) != shown_.end(); }

GfxColumnDef* CGfxColumnManager::definitionById(int id) {
    int i = findDefinition(id);
    return i < 0 ? nullptr : &defs_[i];
}

const GfxColumnDef* CGfxColumnManager::definitionById(int id) const {
    int i = findDefinition(id);
    return i < 0 ? nullptr : &defs_[i];
}

GfxColumnMasks CGfxColumnManager::masks() const {
    GfxColumnMasks m;
    for (int id : shown_)
        if (const GfxColumnDef* def = definitionById(id)) m.add(id, def->dwdata);
    return m;
}

bool CGfxColumnManager::readBack(const std::vector<std::pair<int, int>>& headerItems) {
    if (headerItems.size() != shown_.size()) return false;
    for (std::size_t i = headerItems.size(); i-- > 0;) {
        auto [id, width] = headerItems[i];
        shown_[i] = id;
        if (GfxColumnDef* def = definitionById(id)) def->width = width;
    }
    return true;
}

std::string CGfxColumnManager::sectionName(const std::string& listName) { return "GfxLists\\" + listName; }

void CGfxColumnManager::load(platform::Profile& profile, const std::string& listName) {
    const std::string section = sectionName(listName);
    const int numDef = profile.readInt(section, "NumDef").value_or(0);
    if (numDef <= 0) return;

    std::vector<int> shown;
    for (int i = 0; i < numDef; ++i) {
        int id = profile.readInt(section, platform::text::format("DefColId %d", i)).value_or(-1);
        if (id >= 0) shown.push_back(id);
    }
    // A layout without a single column would leave the list empty: keep the code's columns.
    if (!shown.empty()) shown_ = std::move(shown);

    const int defNum = profile.readInt(section, "DefNum").value_or(-1);
    for (int i = 0; i < defNum; ++i) {
        int id = profile.readInt(section, platform::text::format("ColDef_id_%d", i)).value_or(-1);
        if (id < 0) continue;
        GfxColumnDef* def = definitionById(id);
        if (!def) continue;  // stored for a column this program no longer defines
        auto readInt = [&](const char* name, int current) {
            return profile.readInt(section, platform::text::format(name, i)).value_or(current);
        };
        def->align = readInt("ColDef_align_%d", def->align);
        def->width = readInt("ColDef_width_%d", def->width);
        def->image = readInt("ColDef_image_%d", def->image);
        def->dwdata = readInt("ColDef_dwdata_%d", def->dwdata);
        auto readText = [&](const char* name) {
            return profile.readString(section, platform::text::format(name, i)).value_or(std::string());
        };
        def->text = readText("ColDef_text_%d");
        def->textdt = readText("ColDef_textdt_%d");
        def->descr = readText("ColDef_descr_%d");
    }
}

void CGfxColumnManager::save(platform::Profile& profile, const std::string& listName) const {
    const std::string section = sectionName(listName);
    profile.writeInt(section, "NumDef", static_cast<int>(shown_.size()));
    for (std::size_t i = 0; i < shown_.size(); ++i)
        profile.writeInt(section, platform::text::format("DefColId %d", static_cast<int>(i)), shown_[i]);
    profile.writeInt(section, "DefNum", static_cast<int>(defs_.size()));
    for (std::size_t n = 0; n < defs_.size(); ++n) {
        const GfxColumnDef& def = defs_[n];
        const int i = static_cast<int>(n);
        profile.writeInt(section, platform::text::format("ColDef_id_%d", i), def.id);
        profile.writeInt(section, platform::text::format("ColDef_align_%d", i), def.align);
        profile.writeInt(section, platform::text::format("ColDef_width_%d", i), def.width);
        profile.writeInt(section, platform::text::format("ColDef_image_%d", i), def.image);
        profile.writeInt(section, platform::text::format("ColDef_dwdata_%d", i), def.dwdata);
        profile.writeString(section, platform::text::format("ColDef_text_%d", i), def.text.value_or(""));
        profile.writeString(section, platform::text::format("ColDef_textdt_%d", i), def.textdt.value_or(""));
        profile.writeString(section, platform::text::format("ColDef_descr_%d", i), def.descr.value_or(""));
    }
}

}  // namespace fendal::listview

#pragma once
// The columns a list knows, the ones it shows (ids in display order) and their storage in the
// user's profile under "GfxLists\<list name>".
#include <optional>
#include <string>
#include <utility>
#include <vector>

#include "listview/gfx_column.h"
#include "platform/profile.h"

namespace fendal::listview {

class CGfxColumnManager {
public:
    void defineColumn(int id, std::optional<std::string> text, std::optional<std::string> textdt, int align, int width,
                      int dwdata, int image, std::optional<std::string> descr);
    // Refuses an empty list: a list always shows at least one column.
    bool setDefaultColumns(const std::vector<int>& ids);

    int findDefinition(int id) const;  // -1 when none
    bool isShown(int id) const;

    const std::vector<GfxColumnDef>& definitions() const { return defs_; }
    GfxColumnDef* definitionById(int id);
    const GfxColumnDef* definitionById(int id) const;
    const std::vector<int>& shownColumns() const { return shown_; }

    // The masks over the shown columns that have a definition.
    GfxColumnMasks masks() const;

    // Takes back what the user changed in the header: (column id, width) per header item in
    // header order. Refused when the number of items differs from the shown columns.
    bool readBack(const std::vector<std::pair<int, int>>& headerItems);

    static std::string sectionName(const std::string& listName);
    // Missing values keep what the code defined.
    void load(platform::Profile& profile, const std::string& listName);
    void save(platform::Profile& profile, const std::string& listName) const;

private:
    std::vector<GfxColumnDef> defs_;
    std::vector<int> shown_;
};

}  // namespace fendal::listview

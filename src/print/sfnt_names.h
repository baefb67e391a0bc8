#pragma once
// Names from a font's 'name' table.
#include <string>
#include <string_view>

namespace fendal::print {

// The font's PostScript name (name 6), preferring the Windows entry as font libraries do;
// empty when the table has none or is damaged.
std::string postScriptName(std::string_view nameTable);

}  // namespace fendal::print

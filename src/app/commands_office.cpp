#include "app/subsystem_commands.h"

namespace commands {

bool canPaste() { return false; }
void copyPoint(QWidget* parent, CFendalDoc&) { notAvailableYet(parent, "复制"); }
void cutPoint(QWidget* parent, CFendalDoc&) { notAvailableYet(parent, "剪切"); }
void pastePoint(QWidget* parent, CFendalDoc&) { notAvailableYet(parent, "粘贴"); }
void wordReport(QWidget* parent, CFendalDoc&) { notAvailableYet(parent, "生成报告"); }
void excelReport(QWidget* parent, CFendalDoc&) { notAvailableYet(parent, "生成报表"); }

}  // namespace commands

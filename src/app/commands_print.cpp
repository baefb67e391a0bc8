#include "app/subsystem_commands.h"

namespace commands {

void printSettings(QWidget* parent) { notAvailableYet(parent, "打印设置"); }
void print(QWidget* parent, CFendalDoc&, bool) { notAvailableYet(parent, "打印"); }
void printPreview(QWidget* parent, CFendalDoc&) { notAvailableYet(parent, "打印预览"); }

}  // namespace commands

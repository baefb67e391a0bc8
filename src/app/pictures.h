#pragma once
// The program's own pictures: the toolbar and menu pictures of the commands and the
// application icon, drawn as SVG and compiled into the program.
#include <QIcon>

namespace fendal::app {

QIcon commandPicture(const char* name);  // empty icon for nullptr
QIcon applicationIcon();

}  // namespace fendal::app

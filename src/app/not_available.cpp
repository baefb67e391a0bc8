#include <QMessageBox>

#include "app/subsystem_commands.h"
#include "data/app_strings.h"

namespace fendal::app {

namespace commands {

void notAvailableYet(QWidget* parent, const char* what) {
    QMessageBox::information(parent, data::kAppTitle,
                             QString("“%1”功能在此版本中尚不可用。").arg(QString::fromUtf8(what)));
}

}  // namespace commands

}  // namespace fendal::app

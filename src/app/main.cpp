#include <QApplication>
#include <string>
#include <vector>

#include "app/command_table.h"
#include "app/fendal_app.h"
#include "app/qt_doc_ui.h"
#include "app/recent_file_list.h"
#include "app/settings_profile.h"

using namespace fendal::app;

int main(int argc, char** argv) {
    QApplication application(argc, argv);
    fendal::app::SettingsProfile profile;
    fendal::app::RecentFileList recentFiles(profile, fendal::app::kRecentFileCount);
    fendal::app::QtDocUi ui(recentFiles);
    fendal::app::CFendalApp app(profile, ui, recentFiles);
    // QApplication has taken its own options out of argv; the rest stay native bytes.
    app.initInstance(std::vector<std::string>(argv, argv + argc));
    return QApplication::exec();
}

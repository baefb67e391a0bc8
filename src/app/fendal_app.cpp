#include "app/fendal_app.h"

#include <QApplication>
#include <QLibraryInfo>
#include <QScreen>
#include <filesystem>
#include <system_error>

#include "app/about_dialog.h"
#include "app/menu_style.h"
#include "app/pictures.h"
#include "app/subsystem_commands.h"
#include "data/app_strings.h"
#ifdef _WIN32
#include "app/com_init.h"
#endif

namespace fendal::app {

CFendalApp::CFendalApp(platform::Profile& profile, data::DocUi& ui, RecentFileList& recentFiles)
    : profile_(profile), recentFiles_(recentFiles), doc_(ui) {}

CFendalApp::~CFendalApp() = default;

void CFendalApp::initInstance(const std::vector<std::string>& arguments) {
#ifdef _WIN32
    // The report commands automate the office programs; without COM they fail on their own.
    if (!initComLibrary())
        doc_.ui().messageBox("初始化COM支持库失败!", data::kAppTitle, data::MsgButtons::Ok, data::MsgIcon::Warning);
#endif
    // Qt's own dialogs (file choosers, message box buttons) speak the program's language.
    if (qtTexts_.load("qtbase_zh_CN", QLibraryInfo::path(QLibraryInfo::TranslationsPath)))
        QCoreApplication::installTranslator(&qtTexts_);
    QApplication::setStyle(new MenuStyle);
    qApp->installEventFilter(&boxWidth_);
    QApplication::setWindowIcon(applicationIcon());
    QGuiApplication::setDesktopFileName("fendal");  // the installed desktop entry
    frame_ = std::make_unique<CMainFrame>(doc_, profile_, recentFiles_, *this);
    // Without a window manager (a bare X server) maximising does nothing: fill the screen anyway.
    if (QScreen* screen = QGuiApplication::primaryScreen()) frame_->setGeometry(screen->availableGeometry());
    frame_->showMaximized();
    if (arguments.size() > 1 && !arguments[1].empty()) openCommandLineFile(arguments[1]);
}

void CFendalApp::openCommandLineFile(const std::string& path) {
    // A file that cannot be read leaves the group empty, without a message. The path is made
    // absolute so that saving and the recent-file list do not depend on the starting folder.
    std::error_code error;
    const std::filesystem::path full = std::filesystem::absolute(path, error);
    const std::string native = error ? path : full.lexically_normal().string();
    if (doc_.openSingleFile(native)) recentFiles_.add(native);
}

bool CFendalApp::handles(CommandId id) const {
    switch (id) {
    case CommandId::FileNew:
    case CommandId::AppAbout:
    case CommandId::AppExit:
    case CommandId::HelpTopics:
    case CommandId::Help:
    case CommandId::DefaultHelp: return true;
    default: return isRecentFile(id);
    }
}

bool CFendalApp::isEnabled(CommandId id) const {
    if (isRecentFile(id)) return recentFileIndex(id) < static_cast<int>(recentFiles_.entries().size());
    return true;
}

void CFendalApp::run(CommandId id) {
    switch (id) {
    case CommandId::FileNew: onFileNew(); break;
    case CommandId::AppAbout: {
        CAboutDialog about(frame_.get());
        about.exec();
        break;
    }
    case CommandId::AppExit: frame_->close(); break;
    case CommandId::HelpTopics:
    case CommandId::Help:
    case CommandId::DefaultHelp: commands::notAvailableYet(frame_.get(), "帮助主题"); break;
    default:
        if (isRecentFile(id)) onRecentFile(recentFileIndex(id));
        break;
    }
}

void CFendalApp::onFileNew() {
    // A new document is an empty group; unsaved changes are offered for saving first, and
    // Cancel keeps them.
    if (!doc_.promptSaveChanges()) return;
    doc_.newDocument();
}

void CFendalApp::onRecentFile(int index) {
    const auto& entries = recentFiles_.entries();
    if (index < 0 || index >= static_cast<int>(entries.size()) || entries[index].empty()) return;
    std::string path = entries[index];  // the list may change while the file opens
    if (doc_.openRecentFile(path)) recentFiles_.add(path);
}

}  // namespace fendal::app

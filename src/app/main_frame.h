#pragma once
// The main window: menus, toolbar, accelerators and status bar built from the command tables,
// the point list view in the middle, and the command route view, document, frame, application.
// Enable rules are asked before a menu shows and whenever the document, the selection or the
// clipboard changes.
#include <QMainWindow>
#include <map>

#include "app/command_router.h"
#include "app/document_commands.h"
#include "app/view_commands.h"
#include "data/fendal_doc.h"
#include "platform/profile.h"

namespace fendal::listview {
class CFendalView;
}
class QLabel;
class QMenu;
class QShortcut;
class QToolBar;

namespace fendal::app {

class DepthChartDock;
class RecentFileList;

class CMainFrame : public QMainWindow, public CommandTarget, public data::DocObserver {
    Q_OBJECT
public:
    CMainFrame(data::CFendalDoc& doc, platform::Profile& profile, RecentFileList& recentFiles,
               CommandTarget& application, QWidget* parent = nullptr);
    ~CMainFrame() override;

    CommandRouter& router() { return router_; }
    // The action of a command id; nullptr when the frame has none.
    QAction* action(CommandId id) const;
    QMenu* contextMenu() const { return contextMenu_; }
    QToolBar* toolBar() const { return toolBar_; }
    listview::CFendalView* view() const { return view_; }
    QLabel* companyPane() const { return companyPane_; }
    QLabel* messagePane() const { return messagePane_; }
    DepthChartDock* depthChart() const { return depthChart_; }

    // Asks every enable rule and sets the actions' states.
    void updateCommandStates();

    // CommandTarget: the frame's own commands.
    bool handles(CommandId id) const override;
    bool isEnabled(CommandId id) const override;
    void run(CommandId id) override;

    // DocObserver
    void onDocumentUpdate(data::UpdateHint hint) override;
    void onDocumentStateChanged() override;

protected:
    void closeEvent(QCloseEvent* event) override;

private:
    QAction* makeAction(CommandId id);
    void buildMenus();
    void buildToolBar();
    void buildStatusBar();
    void buildAccelerators();
    void fillRecentFiles();
    void updateTitle();
    void runCommand(CommandId id, bool evenWhenDisabled = false);
    // The depth chart and the statistics follow the current file and point.
    void buildDepthChart(platform::Profile& profile);
    void currentMoved();
    void showStatistics();

    data::CFendalDoc& doc_;
    platform::Profile& profile_;
    RecentFileList& recentFiles_;
    ViewCommands viewCommands_;
    DocumentCommands documentCommands_;
    CommandRouter router_;
    std::map<CommandId, QAction*> actions_;
    std::vector<QAction*> recentActions_;
    QMenu* contextMenu_ = nullptr;
    QToolBar* toolBar_ = nullptr;
    QLabel* messagePane_ = nullptr;
    QLabel* companyPane_ = nullptr;
    listview::CFendalView* view_ = nullptr;
    DepthChartDock* depthChart_ = nullptr;
};

}  // namespace fendal::app

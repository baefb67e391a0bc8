#include "app/main_frame.h"

#include <QApplication>
#include <QClipboard>
#include <QCloseEvent>
#include <QDir>
#include <QFile>
#include <QLabel>
#include <QMenuBar>
#include <QShortcut>
#include <QStatusBar>
#include <QToolBar>
#include <QWhatsThis>

#include "analysis/point_statistics.h"
#include "app/command_table.h"
#include "app/depth_chart_dock.h"
#include "app/pictures.h"
#include "app/recent_file_list.h"
#include "app/subsystem_commands.h"
#include "data/app_strings.h"
#include "listview/fendal_view.h"
#include "office/csv_export_command.h"
#include "platform/text.h"

namespace fendal::app {

namespace {

constexpr int kCompanyPaneWidth = 240;
constexpr int kRecentTextWidth = 420;  // pixels of a recent path shown in the menu
// Whether the depth chart was shown when the program last ended.
constexpr char kChartSection[] = "Settings";
constexpr char kChartVisibleKey[] = "DepthChart";

QString menuItemText(const CommandInfo& info) {
    QString text = QString::fromUtf8(info.menuText ? info.menuText : info.tooltip);
    if (info.shortcutText) text += '\t' + QString::fromUtf8(info.shortcutText);
    return text;
}

}  // namespace

CMainFrame::CMainFrame(data::CFendalDoc& doc, platform::Profile& profile, RecentFileList& recentFiles,
                       CommandTarget& application, QWidget* parent)
    : QMainWindow(parent),
      doc_(doc),
      profile_(profile),
      recentFiles_(recentFiles),
      viewCommands_(doc, this),
      documentCommands_(doc, [this] { return commands::makeTransferRunner(this); }) {
    setObjectName("mainFrame");
    router_.addTarget(viewCommands_);
    router_.addTarget(documentCommands_);
    router_.addTarget(*this);
    router_.addTarget(application);

    for (const auto& info : commandTable()) actions_[info.id] = makeAction(info.id);
    for (int i = 0; i < kRecentFileCount; ++i) {
        auto id = static_cast<CommandId>(static_cast<int>(CommandId::RecentFile1) + i);
        auto* a = new QAction(this);
        a->setStatusTip(kRecentFilePrompt);
        connect(a, &QAction::triggered, this, [this, id] { runCommand(id); });
        actions_[id] = a;
        recentActions_.push_back(a);
    }

    buildMenus();
    buildToolBar();
    buildStatusBar();
    buildAccelerators();

    view_ = new listview::CFendalView(doc_, profile, this);
    view_->setContextMenu(contextMenu_);
    setCentralWidget(view_);
    view_->onInitialUpdate();
    connect(view_, &listview::CFendalView::currentChanged, this, &CMainFrame::updateCommandStates);
    buildDepthChart(profile);

    doc_.addObserver(this);
    recentFiles_.setOnChange([this] { fillRecentFiles(); });
    connect(QApplication::clipboard(), &QClipboard::dataChanged, this, &CMainFrame::updateCommandStates);

    fillRecentFiles();
    updateTitle();
    updateCommandStates();
}

CMainFrame::~CMainFrame() {
    // Focus and visibility change while the children go, after the frame's own members.
    disconnect(qApp, nullptr, this, nullptr);
    disconnect(depthChart_, nullptr, this, nullptr);
    recentFiles_.setOnChange(nullptr);
    doc_.removeObserver(this);
}

QAction* CMainFrame::action(CommandId id) const {
    auto it = actions_.find(id);
    return it == actions_.end() ? nullptr : it->second;
}

QAction* CMainFrame::makeAction(CommandId id) {
    const CommandInfo& info = *findCommand(id);
    auto* a = new QAction(commandPicture(info.picture), menuItemText(info), this);
    a->setObjectName(QString("command%1").arg(static_cast<int>(id)));
    a->setStatusTip(QString::fromUtf8(info.prompt));
    a->setToolTip(QString::fromUtf8(info.tooltip));
    a->setWhatsThis(QString::fromUtf8(info.prompt));
    if (id == CommandId::ViewToolBar || id == CommandId::ViewStatusBar || id == CommandId::ViewDepthChart)
        a->setCheckable(true);
    connect(a, &QAction::triggered, this, [this, id] { runCommand(id); });
    return a;
}

void CMainFrame::buildMenus() {
    for (const auto& menuInfo : mainMenu()) {
        QMenu* menu = menuBar()->addMenu(QString::fromUtf8(menuInfo.title));
        connect(menu, &QMenu::aboutToShow, this, &CMainFrame::updateCommandStates);
        for (CommandId id : menuInfo.items) {
            if (id == CommandId::Separator)
                menu->addSeparator();
            else if (id == CommandId::RecentFile1)
                menu->addActions(QList<QAction*>(recentActions_.begin(), recentActions_.end()));
            else
                menu->addAction(actions_.at(id));
        }
    }
    contextMenu_ = new QMenu(this);
    connect(contextMenu_, &QMenu::aboutToShow, this, &CMainFrame::updateCommandStates);
    for (CommandId id : contextMenuItems()) {
        if (id == CommandId::Separator)
            contextMenu_->addSeparator();
        else
            contextMenu_->addAction(actions_.at(id));
    }
}

void CMainFrame::buildToolBar() {
    toolBar_ = new QToolBar("工具栏", this);
    toolBar_->setObjectName("toolBar");
    toolBar_->setIconSize(QSize(20, 19));
    toolBar_->setMovable(true);
    toolBar_->setFloatable(true);
    toolBar_->setAllowedAreas(Qt::AllToolBarAreas);
    for (CommandId id : toolBarButtons()) {
        if (id == CommandId::Separator)
            toolBar_->addSeparator();
        else
            toolBar_->addAction(actions_.at(id));
    }
    addToolBar(Qt::TopToolBarArea, toolBar_);
}

void CMainFrame::buildStatusBar() {
    // The message pane shows the idle prompt; command prompts cover it while they are shown.
    messagePane_ = new QLabel(data::kIdlePrompt, this);
    companyPane_ = new QLabel(data::kCompanyPane, this);
    companyPane_->setFixedWidth(kCompanyPaneWidth);
    statusBar()->addWidget(messagePane_, 1);
    statusBar()->addPermanentWidget(companyPane_);
}

void CMainFrame::buildDepthChart(platform::Profile& profile) {
    // Shown at the user's wish (View menu) and as it was at the last exit; the first start
    // opens the frame as it always did.
    depthChart_ = new DepthChartDock(doc_, *view_, this);
    addDockWidget(Qt::BottomDockWidgetArea, depthChart_);
    depthChart_->setVisible(profile.readInt(kChartSection, kChartVisibleKey).value_or(0) != 0);
    connect(depthChart_, &QDockWidget::visibilityChanged, this, &CMainFrame::updateCommandStates);
    connect(view_, &listview::CFendalView::currentChanged, this, &CMainFrame::currentMoved);
    connect(depthChart_, &DepthChartDock::pointChosen, this, &CMainFrame::currentMoved);
    connect(qApp, &QApplication::focusChanged, this, &CMainFrame::showStatistics);
}

void CMainFrame::currentMoved() {
    depthChart_->currentChanged();
    showStatistics();
    updateCommandStates();
}

void CMainFrame::showStatistics() {
    // The current file's figures while the user works in the list (also in one of its
    // editors); the idle text otherwise.
    const QWidget* focus = QApplication::focusWidget();
    const bool inList = focus && (focus == view_ || view_->isAncestorOf(focus));
    const data::CrackDataFile* file = inList ? doc_.fileAt(doc_.currentFile()) : nullptr;
    messagePane_->setText(
        file ? QString::fromStdString(analysis::statisticsLine(analysis::pointStatistics(file->points)))
             : data::kIdlePrompt);
}

void CMainFrame::buildAccelerators() {
    for (const auto& acc : accelerators()) {
        auto* shortcut = new QShortcut(QKeySequence(QString::fromLatin1(acc.keys)), this);
        shortcut->setContext(Qt::WindowShortcut);
        connect(shortcut, &QShortcut::activated, this,
                [this, id = acc.id, even = acc.evenWhenDisabled] { runCommand(id, even); });
    }
}

void CMainFrame::fillRecentFiles() {
    const auto& entries = recentFiles_.entries();
    QFontMetrics metrics(QApplication::font("QMenu"));
    for (int i = 0; i < kRecentFileCount; ++i) {
        QAction* a = recentActions_[i];
        if (i < static_cast<int>(entries.size())) {
            QString path = QDir::toNativeSeparators(QFile::decodeName(entries[i].c_str()));
            path = metrics.elidedText(path, Qt::ElideMiddle, kRecentTextWidth);
            a->setText(QString("&%1 %2").arg(i + 1).arg(path.replace('&', "&&")));
            a->setVisible(true);
        } else {
            // An empty list leaves its place in the menu, disabled.
            a->setText(kRecentFilesText);
            a->setVisible(i == 0);
        }
    }
    updateCommandStates();
}

void CMainFrame::updateCommandStates() {
    for (auto& [id, a] : actions_) a->setEnabled(router_.isEnabled(id));
    actions_.at(CommandId::ViewToolBar)->setChecked(!toolBar_->isHidden());
    actions_.at(CommandId::ViewStatusBar)->setChecked(!statusBar()->isHidden());
    if (depthChart_) actions_.at(CommandId::ViewDepthChart)->setChecked(!depthChart_->isHidden());
}

void CMainFrame::updateTitle() {
    QString title = QString::fromStdString(platform::text::displayPath(doc_.title()));
    if (title.isEmpty()) title = "无标题";
    setWindowTitle(title + "[*] - " + data::kWindowTitle);
    setWindowModified(doc_.isModified());
}

void CMainFrame::runCommand(CommandId id, bool evenWhenDisabled) {
    router_.run(id, evenWhenDisabled);
    updateCommandStates();
}

bool CMainFrame::handles(CommandId id) const {
    switch (id) {
    case CommandId::FilePrintSetup:
    case CommandId::EditCopy:
    case CommandId::EditCut:
    case CommandId::EditPaste:
    case CommandId::FileRestore:
    case CommandId::ReportWord:
    case CommandId::ReportExcel:
    case CommandId::ExportCsv:
    case CommandId::ViewToolBar:
    case CommandId::ViewStatusBar:
    case CommandId::ViewDepthChart:
    case CommandId::NextPane:
    case CommandId::PreviousPane:
    case CommandId::ContextHelp: return true;
    default: return false;
    }
}

bool CMainFrame::isEnabled(CommandId id) const {
    switch (id) {
    case CommandId::EditCopy:
    case CommandId::EditCut: return doc_.hasValidCurrentPoint();
    case CommandId::EditPaste: return doc_.hasValidCurrentPoint() && commands::canPaste();
    case CommandId::FileRestore: return doc_.canRestore();
    case CommandId::ReportWord:
    case CommandId::ReportExcel:
    case CommandId::ExportCsv: return doc_.hasFiles();
    default: return true;
    }
}

void CMainFrame::run(CommandId id) {
    switch (id) {
    case CommandId::FilePrintSetup: commands::printSettings(this); break;
    case CommandId::EditCopy: commands::copyPoint(this, doc_); break;
    case CommandId::EditCut: commands::cutPoint(this, doc_); break;
    case CommandId::EditPaste: commands::pastePoint(this, doc_); break;
    case CommandId::FileRestore: doc_.onFileRestore(); break;
    case CommandId::ReportWord: commands::wordReport(this, doc_); break;
    case CommandId::ReportExcel: commands::excelReport(this, doc_); break;
    case CommandId::ExportCsv: office::exportCsv(doc_); break;
    case CommandId::ViewToolBar: toolBar_->setVisible(toolBar_->isHidden()); break;
    case CommandId::ViewStatusBar: statusBar()->setVisible(statusBar()->isHidden()); break;
    case CommandId::ViewDepthChart: depthChart_->setVisible(depthChart_->isHidden()); break;
    case CommandId::NextPane:
    case CommandId::PreviousPane:
        // The list is the frame's only pane: the keys bring the focus back to it.
        view_->setFocus();
        break;
    case CommandId::ContextHelp: QWhatsThis::enterWhatsThisMode(); break;
    default: break;
    }
}

void CMainFrame::onDocumentUpdate(data::UpdateHint) {
    showStatistics();
    updateCommandStates();
}

void CMainFrame::onDocumentStateChanged() {
    updateTitle();
    updateCommandStates();
}

void CMainFrame::closeEvent(QCloseEvent* event) {
    if (doc_.canCloseFrame()) {
        profile_.writeInt(kChartSection, kChartVisibleKey, depthChart_->isHidden() ? 0 : 1);
        event->accept();
    } else {
        event->ignore();
    }
}

}  // namespace fendal::app

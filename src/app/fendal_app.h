#pragma once
// The application: start-up, the document and the main frame, and the commands that belong to
// the application itself (new, recent files, About, exit, help).
#include <QTranslator>
#include <memory>
#include <string>
#include <vector>

#include "app/command_router.h"
#include "app/main_frame.h"
#include "app/message_box_width.h"
#include "app/recent_file_list.h"
#include "data/fendal_doc.h"

namespace fendal::app {

class CFendalApp : public CommandTarget {
public:
    CFendalApp(platform::Profile& profile, data::DocUi& ui, RecentFileList& recentFiles);
    ~CFendalApp() override;

    // Builds and shows the main frame; a crack data file named after the program is opened
    // as a one-file group. Arguments are native bytes, so any file name the system holds opens.
    void initInstance(const std::vector<std::string>& arguments);

    data::CFendalDoc& document() { return doc_; }
    CMainFrame* mainFrame() const { return frame_.get(); }

    bool handles(CommandId id) const override;
    bool isEnabled(CommandId id) const override;
    void run(CommandId id) override;

private:
    void openCommandLineFile(const std::string& path);
    void onFileNew();
    void onRecentFile(int index);

    platform::Profile& profile_;
    RecentFileList& recentFiles_;
    data::CFendalDoc doc_;
    QTranslator qtTexts_;
    MessageBoxWidth boxWidth_;
    std::unique_ptr<CMainFrame> frame_;
};

}  // namespace fendal::app

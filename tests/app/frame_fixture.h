#pragma once
// The whole program in one test: the application object with its frame, a scripted document
// UI, an in-memory profile and crack data files in a fresh folder.
#include <gtest/gtest.h>

#include <QTest>
#include <memory>

#include "app/command_table.h"
#include "app/fendal_app.h"
#include "data/crack_file_io.h"
#include "listview/fendal_view.h"
#include "support/sample_points.h"
#include "support/scripted_doc_ui.h"
#include "support/temp_folder.h"

class FrameFixture : public ::testing::Test {
protected:
    void start(const std::vector<std::string>& arguments = {"fendal"}) {
        app = std::make_unique<fendal::app::CFendalApp>(profile, ui, recent);
        app->initInstance(arguments);
        frame().activateWindow();
        ASSERT_TRUE(QTest::qWaitForWindowActive(&frame()));
    }

    fendal::app::CMainFrame& frame() { return *app->mainFrame(); }
    fendal::listview::CFendalView& view() { return *frame().view(); }
    fendal::data::CFendalDoc& doc() { return app->document(); }
    QAction* action(fendal::app::CommandId id) { return frame().action(id); }
    QAction* recentAction(int index) {
        return action(
            static_cast<fendal::app::CommandId>(static_cast<int>(fendal::app::CommandId::RecentFile1) + index));
    }

    std::string writeSample(const std::string& name, int points, int first = 0) {
        fendal::data::CrackDataFile f = sampleFile(points, folder.file(name), first);
        EXPECT_TRUE(fendal::data::writeCrackFile(f));
        return f.path;
    }

    // Opens files as the user does with Ctrl+O and the open dialog.
    void openFiles(const std::vector<std::string>& paths) {
        ui.openChoices.push_back(paths);
        QTest::keyClick(&frame(), Qt::Key_O, Qt::ControlModifier);
    }

    TempFolder folder;
    ScriptedDocUi ui;
    fendal::platform::MemoryProfile profile;
    fendal::app::RecentFileList recent{profile, fendal::app::kRecentFileCount};
    std::unique_ptr<fendal::app::CFendalApp> app;
};

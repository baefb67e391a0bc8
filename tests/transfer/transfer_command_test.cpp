// The program's transfer command end to end: the settings dialog run modally by the document,
// a USB transfer from the virtual instrument, and the import into an unsaved file.
#include <gtest/gtest.h>

#include <QApplication>
#include <QMessageBox>
#include <QPushButton>
#include <QTimer>

#include "app/subsystem_commands.h"
#include "data/fendal_doc.h"
#include "instrument_process.h"
#include "transfer/set_conv_dlg.h"
#include "transfer_fakes.h"

using namespace fendal;
using namespace fendal::app;
using namespace fendal::data;
using namespace fendal::transfer;

namespace {

int argc = 1;
char arg0[] = "transfer_command_test";
char* argv[] = {arg0, nullptr};

class AnsweringDocUi : public DocUi {
public:
    MsgAnswer messageBox(const std::string& text, const std::string&, MsgButtons, MsgIcon) override {
        told.push_back(text);
        return MsgAnswer::Ok;
    }
    std::optional<std::vector<std::string>> chooseOpenFiles(const FileDialogOptions&) override { return {}; }
    std::optional<std::string> chooseSaveFile(const FileDialogOptions&) override { return {}; }
    bool chooseGroupSave(GroupSaveRequest&) override { return false; }
    void addToRecentFiles(const std::string&) override {}
    std::vector<std::string> told;
};

// The operator: presses OK in the settings dialog once, and closes every message box.
class Operator {
public:
    Operator() {
        QObject::connect(&hand_, &QTimer::timeout, [this] {
            QWidget* modal = QApplication::activeModalWidget();
            if (auto* box = qobject_cast<QMessageBox*>(modal)) {
                boxes.push_back(box->text());
                box->accept();
            } else if (auto* dialog = qobject_cast<CSetConvDlg*>(modal); dialog && !pressed) {
                pressed = true;
                dialog->findChild<QPushButton*>("ok")->click();
            }
        });
        hand_.start(10);
    }
    std::vector<QString> boxes;
    bool pressed = false;

private:
    QTimer hand_;
};

// The transfer command run on a document, with an operator who presses OK and closes the boxes.
struct CommandRun {
    CommandRun() : doc(ui) { doc.onDataTransfer(*runner); }
    Operator hand;
    AnsweringDocUi ui;
    CFendalDoc doc;
    decltype(commands::makeTransferRunner(nullptr)) runner = commands::makeTransferRunner(nullptr);
};

TEST(TransferCommand, ImportsWhatTheInstrumentHolds) {
    QApplication app(argc, argv);
    {
        InstrumentProcess instrument({"usb", "--points", "15"});
        ASSERT_TRUE(instrument.ready());
        CommandRun run;
        auto& [hand, ui, doc, runner] = run;

        EXPECT_TRUE(hand.pressed);
        EXPECT_EQ(hand.boxes, std::vector<QString>{QStringLiteral("传输完成")});
        ASSERT_EQ(doc.group.fileCount(), 1);
        EXPECT_EQ(doc.group.files[0].pointCount(), 15);
        EXPECT_EQ(doc.group.files[0].receivedCount(), 15);
        EXPECT_EQ(doc.title(), "测深数据");
        EXPECT_TRUE(doc.isModified());
        EXPECT_TRUE(ui.told.empty());

        // The received-data file stays the command's until its runner is dropped after the import.
        ScriptedTransferUi otherUi;
        FakeUsbDevice otherUsb(2);
        InstrumentTransfer other(otherUi, otherUsb);
        other.start(InstrumentTransfer::kUsb, -1);
        EXPECT_EQ(otherUi.texts(), std::vector<std::string>{kTransferBusy});
        runner.reset();
        other.start(InstrumentTransfer::kUsb, -1);
        EXPECT_TRUE(otherUi.waitForEnd());
    }

    // More points than an import takes: the transfer completes, the import says why nothing came.
    InstrumentProcess many({"usb", "--points", "20001"});
    ASSERT_TRUE(many.ready());
    CommandRun run;
    auto& [hand, ui, doc, runner] = run;
    EXPECT_EQ(hand.boxes, std::vector<QString>{QStringLiteral("传输完成")});
    EXPECT_EQ(ui.told, std::vector<std::string>{"接收数据错误，请重新传输或重新运行本程序！"});
    ASSERT_EQ(doc.group.fileCount(), 1);
    EXPECT_EQ(doc.group.files[0].pointCount(), 0);
}

}  // namespace

#include "app/settings_profile.h"
#include "app/subsystem_commands.h"
#include "transfer/set_conv_dlg.h"

namespace fendal::app {

namespace commands {

namespace {
// A new settings dialog for every transfer: it always starts from USB.
class DialogTransfer : public data::TransferRunner {
public:
    explicit DialogTransfer(QWidget* parent) : parent_(parent) {}
    bool runTransfer() override {
        // The dialog's end closes the file; the dialog itself lives on with this runner, which
        // the document command drops after the import, so no other transfer rewrites the file
        // before the document has read it.
        dialog_ = std::make_unique<transfer::CSetConvDlg>(parent_, nullptr, &profile_);
        return dialog_->exec() == QDialog::Accepted;
    }

private:
    QWidget* parent_;
    SettingsProfile profile_;
    std::unique_ptr<transfer::CSetConvDlg> dialog_;
};
}  // namespace

std::unique_ptr<data::TransferRunner> makeTransferRunner(QWidget* parent) {
    return std::make_unique<DialogTransfer>(parent);
}

}  // namespace commands

}  // namespace fendal::app

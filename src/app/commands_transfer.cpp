#include "app/settings_profile.h"
#include "app/subsystem_commands.h"
#include "transfer/set_conv_dlg.h"

namespace commands {

namespace {
// A new settings dialog for every transfer: it always starts from USB.
class DialogTransfer : public TransferRunner {
public:
    explicit DialogTransfer(QWidget* parent) : parent_(parent) {}
    bool runTransfer() override {
        SettingsProfile profile;
        // The dialog is gone before the document reads the file: its end closes the file.
        CSetConvDlg dialog(parent_, nullptr, &profile);
        return dialog.exec() == QDialog::Accepted;
    }

private:
    QWidget* parent_;
};
}  // namespace

std::unique_ptr<TransferRunner> makeTransferRunner(QWidget* parent) {
    return std::make_unique<DialogTransfer>(parent);
}

}  // namespace commands

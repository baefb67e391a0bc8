#include "app/subsystem_commands.h"

namespace commands {

namespace {
class UnavailableTransfer : public TransferRunner {
public:
    explicit UnavailableTransfer(QWidget* parent) : parent_(parent) {}
    bool runTransfer() override {
        notAvailableYet(parent_, "数据传输");
        return false;
    }

private:
    QWidget* parent_;
};
}  // namespace

std::unique_ptr<TransferRunner> makeTransferRunner(QWidget* parent) {
    return std::make_unique<UnavailableTransfer>(parent);
}

}  // namespace commands

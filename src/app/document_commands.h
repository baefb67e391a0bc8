#pragma once
// The document's place in the command route: the file and point commands of CFendalDoc with
// their enable rules.
#include <functional>
#include <memory>

#include "app/command_router.h"
#include "data/fendal_doc.h"

namespace fendal::app {

class DocumentCommands : public CommandTarget {
public:
    // The transfer dialog is made when the command runs; the factory supplies it.
    using TransferFactory = std::function<std::unique_ptr<data::TransferRunner>()>;

    DocumentCommands(data::CFendalDoc& doc, TransferFactory makeTransfer);

    bool handles(CommandId id) const override;
    bool isEnabled(CommandId id) const override;
    void run(CommandId id) override;

private:
    data::CFendalDoc& doc_;
    TransferFactory makeTransfer_;
};

}  // namespace fendal::app

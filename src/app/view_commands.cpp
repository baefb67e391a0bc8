#include "app/view_commands.h"

#include "app/subsystem_commands.h"
#include "data/fendal_doc.h"

namespace fendal::app {

bool ViewCommands::handles(CommandId id) const {
    return id == CommandId::FilePrint || id == CommandId::FilePrintDirect || id == CommandId::FilePrintPreview;
}

bool ViewCommands::isEnabled(CommandId) const { return doc_.canPrint(); }

void ViewCommands::run(CommandId id) {
    if (id == CommandId::FilePrintPreview)
        commands::printPreview(owner_, doc_);
    else
        commands::print(owner_, doc_, id == CommandId::FilePrintDirect);
}

}  // namespace fendal::app

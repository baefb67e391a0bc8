#include "app/document_commands.h"

namespace fendal::app {

DocumentCommands::DocumentCommands(data::CFendalDoc& doc, TransferFactory makeTransfer)
    : doc_(doc), makeTransfer_(std::move(makeTransfer)) {}

bool DocumentCommands::handles(CommandId id) const {
    switch (id) {
    case CommandId::FileOpen:
    case CommandId::FileSave:
    case CommandId::FileSaveAs:
    case CommandId::DeletePoint:
    case CommandId::InsertPoint:
    case CommandId::AddPoint:
    case CommandId::DataTransfer: return true;
    default: return false;
    }
}

bool DocumentCommands::isEnabled(CommandId id) const {
    switch (id) {
    case CommandId::FileSave:
    case CommandId::FileSaveAs: return doc_.canSave();
    case CommandId::DeletePoint: return doc_.canDeletePoint();
    case CommandId::InsertPoint: return doc_.canInsertPoint();
    case CommandId::AddPoint: return doc_.canAddPoint();
    default: return true;
    }
}

void DocumentCommands::run(CommandId id) {
    switch (id) {
    case CommandId::FileOpen: doc_.onFileOpen(); break;
    case CommandId::FileSave: doc_.onFileSave(); break;
    case CommandId::FileSaveAs: doc_.onFileSaveAs(); break;
    case CommandId::DeletePoint: doc_.onDeletePoint(); break;
    case CommandId::InsertPoint: doc_.onInsertPoint(); break;
    case CommandId::AddPoint: doc_.onAddPoint(); break;
    case CommandId::DataTransfer:
        if (auto transfer = makeTransfer_()) doc_.onDataTransfer(*transfer);
        break;
    default: break;
    }
}

}  // namespace fendal::app

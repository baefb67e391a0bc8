#pragma once
// The view's place in the command route: printing and print preview, carried out by the print
// subsystem, with the document's enable rule.
#include "app/command_router.h"

class QWidget;
namespace fendal::data {
class CFendalDoc;
}

namespace fendal::app {

class ViewCommands : public CommandTarget {
public:
    ViewCommands(data::CFendalDoc& doc, QWidget* owner) : doc_(doc), owner_(owner) {}

    bool handles(CommandId id) const override;
    bool isEnabled(CommandId id) const override;
    void run(CommandId id) override;

private:
    data::CFendalDoc& doc_;
    QWidget* owner_;
};

}  // namespace fendal::app

#pragma once
// Routes each command to the first target that handles it: view, document, frame and
// application, in the order they were added, so the document's handlers take precedence over
// the application's defaults.
#include <vector>

#include "app/command_ids.h"

namespace fendal::app {

class CommandTarget {
public:
    virtual ~CommandTarget() = default;
    virtual bool handles(CommandId id) const = 0;
    // The enable rule; asked only of the target that handles the command.
    virtual bool isEnabled(CommandId id) const = 0;
    virtual void run(CommandId id) = 0;
};

class CommandRouter {
public:
    void addTarget(CommandTarget& target) { targets_.push_back(&target); }
    CommandTarget* targetFor(CommandId id) const;
    // A command that no target handles is disabled.
    bool isEnabled(CommandId id) const;
    // Runs the command when it is enabled (or when the rule is not to be asked); false when
    // nothing ran.
    bool run(CommandId id, bool evenWhenDisabled = false);

private:
    std::vector<CommandTarget*> targets_;
};

}  // namespace fendal::app

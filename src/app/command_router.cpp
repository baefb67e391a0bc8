#include "app/command_router.h"

namespace fendal::app {

CommandTarget* CommandRouter::targetFor(CommandId id) const {
    for (auto* t : targets_)
        if (t->handles(id)) return t;
    return nullptr;
}

bool CommandRouter::isEnabled(CommandId id) const {
    auto* t = targetFor(id);
    return t && t->isEnabled(id);
}

bool CommandRouter::run(CommandId id, bool evenWhenDisabled) {
    auto* t = targetFor(id);
    if (!t || !(evenWhenDisabled || t->isEnabled(id))) return false;
    t->run(id);
    return true;
}

}  // namespace fendal::app

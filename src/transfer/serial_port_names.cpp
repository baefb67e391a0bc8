#include "transfer/serial_port_names.h"

#include <cstdlib>

#include "platform/profile.h"

namespace fendal::transfer {

std::string SerialPortNames::devicePath(int portNumber) const {
    if (auto chosen = m_chosen.find(portNumber); chosen != m_chosen.end()) return chosen->second;
    const std::string key = "COM" + std::to_string(portNumber);
    if (const char* env = std::getenv(("FENDAL_SERIAL_" + key).c_str()); env && *env) return env;
    if (m_profile) {
        if (auto path = m_profile->readString("Ports", key); path && !path->empty()) return *path;
    }
#ifdef _WIN32
    return "\\\\.\\" + key;
#else
    return "/dev/ttyS" + std::to_string(portNumber - 1);
#endif
}

}  // namespace fendal::transfer

#pragma once
// Which device a port number COMn means. In order: a device the program was told to use
// (named on a command line), the environment variable FENDAL_SERIAL_COM<n>, the profile key
// Ports/COM<n>, then the system's n-th serial port.
#include <map>
#include <string>

namespace fendal::platform {
class Profile;
}

namespace fendal::transfer {

class SerialPortNames {
public:
    explicit SerialPortNames(platform::Profile* profile = nullptr) : m_profile(profile) {}

    std::string devicePath(int portNumber) const;

    // Makes COMn mean `path`, ahead of everything else.
    void setDevicePath(int portNumber, const std::string& path) { m_chosen[portNumber] = path; }
    void setProfile(platform::Profile* profile) { m_profile = profile; }

private:
    platform::Profile* m_profile;
    std::map<int, std::string> m_chosen;
};

}  // namespace fendal::transfer

#include "usb_descriptors.h"

#include "platform/byte_order.h"

namespace fendal::instrument {

namespace {

// pid.codes test vendor and product numbers: never mistaken for a real chip.
constexpr uint16_t kVendor = 0x1209;
constexpr uint16_t kProduct = 0x0260;

void put16(std::vector<unsigned char>& out, uint16_t value) {
    unsigned char bytes[2];
    platform::storeLe16(bytes, value);
    out.insert(out.end(), bytes, bytes + 2);
}

void endpoint(std::vector<unsigned char>& out, unsigned char address, unsigned char attributes, uint16_t maxPacket,
              unsigned char interval) {
    out.insert(out.end(), {7, 5, address, attributes});
    put16(out, maxPacket);
    out.push_back(interval);
}

}  // namespace

std::vector<unsigned char> deviceDescriptor() {
    std::vector<unsigned char> d = {18, 1};
    put16(d, 0x0110);                    // USB 1.1
    d.insert(d.end(), {0xFF, 0, 0, 8});  // vendor-specific class, control packets of 8 bytes
    put16(d, kVendor);
    put16(d, kProduct);
    put16(d, 0x0100);                 // device release 1.00
    d.insert(d.end(), {0, 0, 0, 1});  // no strings, one configuration
    return d;
}

std::vector<unsigned char> configurationDescriptor() {
    std::vector<unsigned char> d = {9, 2, 0, 0, 1, 1, 0, 0x80, 50};  // bus powered, 100 mA
    d.insert(d.end(), {9, 4, 0, 0, 4, 0xFF, 0, 0, 0});               // one vendor interface
    endpoint(d, 0x81, 3, 8, 1);                                      // interrupt in
    endpoint(d, 0x82, 2, 64, 0);                                     // bulk data in
    endpoint(d, 0x02, 2, 64, 0);                                     // bulk data out
    endpoint(d, 0x04, 2, 64, 0);                                     // auxiliary bulk out
    platform::storeLe16(d.data() + 2, static_cast<uint16_t>(d.size()));
    return d;
}

bool answerControl(const unsigned char setup[8], std::vector<unsigned char>& reply) {
    const unsigned char requestType = setup[0];
    const unsigned char request = setup[1];
    const unsigned char type = setup[3];
    const std::size_t wanted = platform::loadLe16(setup + 6);
    if (requestType != 0x80 || request != 6) return false;
    if (type == 1)
        reply = deviceDescriptor();
    else if (type == 2)
        reply = configurationDescriptor();
    else
        return false;
    if (reply.size() > wanted) reply.resize(wanted);
    return true;
}

}  // namespace fendal::instrument

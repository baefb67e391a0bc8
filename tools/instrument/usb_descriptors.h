#pragma once
// The standard descriptors the instrument's USB chip reports.
#include <cstdint>
#include <vector>

namespace fendal::instrument {

// 18-byte device descriptor.
std::vector<unsigned char> deviceDescriptor();
// Configuration descriptor with its interface and four endpoints: interrupt in, bulk in, bulk out
// and the auxiliary bulk out (46 bytes).
std::vector<unsigned char> configurationDescriptor();

// The answer to a control transfer with the 8-byte setup packet; none when the request is not
// GET_DESCRIPTOR for the device or the configuration. Cut to the setup packet's wLength.
bool answerControl(const unsigned char setup[8], std::vector<unsigned char>& reply);

}  // namespace fendal::instrument

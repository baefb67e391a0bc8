#pragma once
// Which USB devices are instruments: a list of vendor:product ids, each with optional endpoint
// addresses for the four pipes. An entry reads
//   vvvv:pppp [read=EP] [write=EP] [aux=EP] [interrupt=EP]
// with the ids in hexadecimal and EP as 0x82 or 130. The list comes from $QL260_USB_IDS (entries
// separated by commas) when it is set, else from the file "ql260-devices" (one entry a line, '#'
// starts a comment) in the user's configuration folder and in /etc/fendal/, then from the ids
// this build was configured with.
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace ql260 {

// Endpoint addresses; 0 where the interface's descriptors decide.
struct PipeEndpoints {
    uint8_t read = 0;
    uint8_t write = 0;
    uint8_t aux = 0;
    uint8_t interrupt = 0;
};

struct InstrumentId {
    uint16_t vendor = 0;
    uint16_t product = 0;
    PipeEndpoints endpoints;
};

// One entry; none when it is malformed (bad id, unknown key, an IN address for a write pipe, ...).
std::optional<InstrumentId> parseInstrumentId(std::string_view entry);

// Entries separated by `separator`; blank entries and comments are passed over, malformed ones
// skipped. When an id appears twice the first entry counts.
std::vector<InstrumentId> parseInstrumentList(std::string_view text, char separator);

// The list in force now (read afresh at every call, so an edit takes effect at the next open).
std::vector<InstrumentId> configuredInstruments();

const InstrumentId* findInstrument(const std::vector<InstrumentId>& list, uint16_t vendor, uint16_t product);

}  // namespace ql260

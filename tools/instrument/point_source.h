#pragma once
// The records the instrument holds: demonstration points or the points of a file.
#include <string>
#include <vector>

#include "data/received_data.h"
#include "instrument_options.h"

namespace fendal::instrument {

// The records of the options, or an error text in `error`.
std::vector<data::ReceivedRecord> loadRecords(const Options& options, std::string& error);

// The record a point becomes: its number's leading digits (else `fallbackNumber`), velocity and
// depth, each held to 0..65535 as the instrument's two bytes.
data::ReceivedRecord recordFromPoint(const data::MeasurePoint& point, int fallbackNumber);

}  // namespace fendal::instrument

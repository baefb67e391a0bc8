#pragma once
// The clipboard image of one measuring point: the 448-byte in-memory record, integers
// little-endian. Exactly one point per block; nothing else travels with it.
#include <array>
#include <cstddef>
#include <optional>
#include <span>

#include "data/measure_point.h"

namespace fendal::office {

inline constexpr char kPointClipboardFormat[] = "DEDORURU_COPY_PAST_DEPTH";
inline constexpr std::size_t kPointBlockSize = 448;

using PointBlock = std::array<unsigned char, kPointBlockSize>;

PointBlock encodePointBlock(const data::MeasurePoint& point);

// nullopt for a block of any other size. The text fields come back terminated inside
// themselves, whatever another program put there.
std::optional<data::MeasurePoint> decodePointBlock(std::span<const unsigned char> block);

}  // namespace fendal::office

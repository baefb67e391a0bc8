#include "office/point_block.h"

#include <cstdint>
#include <cstring>

#include "platform/byte_order.h"
#include "platform/text.h"

namespace fendal::office {

namespace {

void putInt32(unsigned char* at, int32_t value) { platform::storeLe32(at, static_cast<uint32_t>(value)); }

int32_t getInt32(const unsigned char* at) { return static_cast<int32_t>(platform::loadLe32(at)); }

}  // namespace

PointBlock encodePointBlock(const data::MeasurePoint& point) {
    PointBlock block{};
    std::memcpy(&block[0], point.number, sizeof point.number);
    putInt32(&block[32], point.velocity);
    putInt32(&block[36], point.velocityReserved);
    putInt32(&block[40], point.depth);
    putInt32(&block[44], point.depthReserved);
    std::memcpy(&block[48], point.note, sizeof point.note);
    std::memcpy(&block[248], point.reserve, sizeof point.reserve);
    return block;
}

std::optional<data::MeasurePoint> decodePointBlock(std::span<const unsigned char> block) {
    if (block.size() != kPointBlockSize) return std::nullopt;
    data::MeasurePoint point{};
    std::memcpy(point.number, &block[0], sizeof point.number);
    point.velocity = getInt32(&block[32]);
    point.velocityReserved = getInt32(&block[36]);
    point.depth = getInt32(&block[40]);
    point.depthReserved = getInt32(&block[44]);
    std::memcpy(point.note, &block[48], sizeof point.note);
    std::memcpy(point.reserve, &block[248], sizeof point.reserve);
    platform::text::terminateField(point.number);
    platform::text::terminateField(point.note);
    return point;
}

}  // namespace fendal::office

#pragma once
// One measuring point: the fixed 448-byte in-memory record (the clipboard carries this image).
#include <cstddef>
#include <cstdint>

namespace fendal::data {

struct MeasurePoint {
    char number[32];           // point number as GBK text, NUL-terminated
    int32_t velocity;          // sound velocity, m/s
    int32_t velocityReserved;  // 0; not stored in files
    int32_t depth;             // crack depth, mm
    int32_t depthReserved;     // 0; not stored in files
    char note[200];            // note as GBK text, NUL-terminated
    char reserve[200];         // stored and read with the record, never shown or edited
};

static_assert(sizeof(MeasurePoint) == 448);
static_assert(offsetof(MeasurePoint, number) == 0);
static_assert(offsetof(MeasurePoint, velocity) == 32);
static_assert(offsetof(MeasurePoint, velocityReserved) == 36);
static_assert(offsetof(MeasurePoint, depth) == 40);
static_assert(offsetof(MeasurePoint, depthReserved) == 44);
static_assert(offsetof(MeasurePoint, note) == 48);
static_assert(offsetof(MeasurePoint, reserve) == 248);

// A new point is empty: every byte zero. Use MeasurePoint{} for one.

}  // namespace fendal::data

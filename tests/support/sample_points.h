#pragma once
// Points and files with recognisable values for tests.
#include <string>

#include "data/crack_data_file.h"
#include "platform/text.h"

inline fendal::data::MeasurePoint samplePoint(int i, const std::string& note = {}) {
    fendal::data::MeasurePoint p{};
    fendal::platform::text::setField(p.number, fendal::platform::text::format("%04d", i + 1));
    p.velocity = 3000 + i;
    p.depth = 100 + i;
    fendal::platform::text::setField(p.note, note.empty() ? fendal::platform::text::format("note %d", i) : note);
    return p;
}

// A file of n current points and the same n received points.
inline fendal::data::CrackDataFile sampleFile(int n, const std::string& path = {}, int first = 0) {
    fendal::data::CrackDataFile f;
    f.path = path;
    for (int i = 0; i < n; ++i) f.points.push_back(samplePoint(first + i));
    f.receivedPoints = f.points;
    return f;
}

#include "data/received_data.h"

#include "data/crack_file_io.h"
#include "platform/byte_order.h"
#include "platform/regular_file.h"
#include "platform/safe_file_writer.h"
#include "platform/temp_dir.h"
#include "platform/text.h"

namespace fendal::data {

std::string receivedDataPath() {
    std::string dir = platform::tempDir();
    return dir.empty() ? std::string() : dir + "QDR_TemDataFile.tem";
}

void encodeReceivedRecord(const ReceivedRecord& r, unsigned char out[6]) {
    platform::storeBe16(out, r.number);
    platform::storeBe16(out + 2, r.velocity);
    platform::storeBe16(out + 4, r.depth);
}

ReceivedRecord decodeReceivedRecord(const unsigned char in[6]) {
    return ReceivedRecord{platform::loadBe16(in), platform::loadBe16(in + 2), platform::loadBe16(in + 4)};
}

ReceivedRecord demoRecord(int index) {
    return ReceivedRecord{static_cast<uint16_t>(index + 1), static_cast<uint16_t>(3200 + (index * 137) % 1500),
                          static_cast<uint16_t>(40 + (index * 53) % 360)};
}

bool writeReceivedDataFile(const std::string& path, const std::vector<ReceivedRecord>& records,
                           std::error_code* error) {
    platform::SafeFileWriter out(path);
    auto count = static_cast<uint32_t>(records.size() * kReceivedRecordSize);
    unsigned char len[4];
    platform::storeLe32(len, count);
    out.write(len, 4);
    for (const auto& r : records) {
        unsigned char rec[6];
        encodeReceivedRecord(r, rec);
        out.write(rec, 6);
    }
    const bool written = out.commit();
    if (error) *error = out.error();
    return written;
}

MeasurePoint pointFromReceived(const ReceivedRecord& record) {
    MeasurePoint p{};
    platform::text::setField(p.number, platform::text::format("%04d", record.number));
    p.velocity = record.velocity;
    p.depth = record.depth;
    return p;
}

CrackDataFile crackFileFromReceived(std::vector<MeasurePoint> points) {
    CrackDataFile f;
    f.receivedPoints = points;
    f.points = std::move(points);
    return f;
}

ReceivedData readReceivedDataFile(const std::string& path) {
    ReceivedData data;
    platform::UniqueFile f = platform::openRegularFile(path, data.error);
    if (!f) {
        data.status = ReceivedData::Status::CannotOpen;
        return data;
    }
    return readReceivedData(f.get());
}

ReceivedData readReceivedData(std::FILE* file) {
    ReceivedData data;
    BlockReader in(file);
    unsigned char len[4];
    if (in.read(len, 4) != 4) {
        data.status = ReceivedData::Status::BadLength;
        return data;
    }
    auto byteCount = static_cast<int32_t>(platform::loadLe32(len));
    int n = byteCount / kReceivedRecordSize;
    if (n < 0 || n > kMaxReceivedPoints) {
        data.status = ReceivedData::Status::BadLength;
        return data;
    }
    data.promised = n;
    data.points.reserve(static_cast<std::size_t>(n));
    for (int i = 0; i < n; ++i) {
        unsigned char rec[6];
        if (in.read(rec, 6) != 6) break;  // only whole records count
        data.points.push_back(pointFromReceived(decodeReceivedRecord(rec)));
    }
    return data;
}

}  // namespace fendal::data

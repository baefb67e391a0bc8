#include "data/received_data.h"

#include "data/crack_file_io.h"
#include "platform/regular_file.h"
#include "platform/safe_file_writer.h"
#include "platform/temp_dir.h"
#include "platform/text.h"

std::string receivedDataPath() {
    std::string dir = platform::tempDir();
    return dir.empty() ? std::string() : dir + "QDR_TemDataFile.tem";
}

void encodeReceivedRecord(const ReceivedRecord& r, unsigned char out[6]) {
    out[0] = static_cast<unsigned char>(r.number >> 8);
    out[1] = static_cast<unsigned char>(r.number);
    out[2] = static_cast<unsigned char>(r.velocity >> 8);
    out[3] = static_cast<unsigned char>(r.velocity);
    out[4] = static_cast<unsigned char>(r.depth >> 8);
    out[5] = static_cast<unsigned char>(r.depth);
}

ReceivedRecord decodeReceivedRecord(const unsigned char in[6]) {
    return ReceivedRecord{static_cast<uint16_t>(in[0] << 8 | in[1]), static_cast<uint16_t>(in[2] << 8 | in[3]),
                          static_cast<uint16_t>(in[4] << 8 | in[5])};
}

ReceivedRecord demoRecord(int index) {
    return ReceivedRecord{static_cast<uint16_t>(index + 1), static_cast<uint16_t>(3200 + (index * 137) % 1500),
                          static_cast<uint16_t>(40 + (index * 53) % 360)};
}

bool writeReceivedDataFile(const std::string& path, const std::vector<ReceivedRecord>& records,
                           std::error_code* error) {
    platform::SafeFileWriter out(path);
    auto count = static_cast<uint32_t>(records.size() * kReceivedRecordSize);
    unsigned char len[4] = {static_cast<unsigned char>(count), static_cast<unsigned char>(count >> 8),
                            static_cast<unsigned char>(count >> 16), static_cast<unsigned char>(count >> 24)};
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
    text::setField(p.number, text::format("%04d", record.number));
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
    platform::InputFile f = platform::openRegularFile(path, data.error);
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
    auto byteCount = static_cast<int32_t>(uint32_t(len[0]) | uint32_t(len[1]) << 8 | uint32_t(len[2]) << 16 |
                                          uint32_t(len[3]) << 24);
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

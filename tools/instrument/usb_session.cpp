#include "usb_session.h"

#include <algorithm>

#include "platform/byte_order.h"

namespace fendal::instrument {

UsbSession::UsbSession(std::vector<data::ReceivedRecord> records, Faults faults) : faults_(faults) {
    data_.resize(records.size() * data::kReceivedRecordSize);
    for (std::size_t i = 0; i < records.size(); ++i)
        data::encodeReceivedRecord(records[i], &data_[i * data::kReceivedRecordSize]);
}

int UsbSession::announcedCount() const {
    const int real = static_cast<int>(data_.size() / data::kReceivedRecordSize);
    return std::min(real + faults_.overcount, 65535);
}

std::vector<unsigned char> UsbSession::blockBytes(int block) const {
    std::vector<unsigned char> bytes(kBlockSize, 0);
    const std::size_t start = static_cast<std::size_t>(block) * kBlockSize;
    if (start < data_.size())
        std::copy_n(data_.begin() + start, std::min<std::size_t>(kBlockSize, data_.size() - start), bytes.begin());
    return bytes;
}

bool UsbSession::write(const unsigned char* data, std::size_t size) {
    if (faults_.failWrite) return false;
    if (size == 1 && data[0] == 0) {
        // A count request starts a new transfer.
        blocksSent_ = 0;
        broken_ = false;
        breakPending_ = false;
        complete_ = false;
        const int count = announcedCount();
        unsigned char bytes[2];
        platform::storeBe16(bytes, static_cast<uint16_t>(count));
        answer_ = Answer{true, false, {bytes[0], bytes[1]}};
    } else if (size == 3 && data[0] == 0 && data[1] == 0 && data[2] == 0) {
        answer_.reset();
        complete_ = true;
    } else if (size == 2) {
        const int block = data[0] * 255 + data[1];
        answer_.reset();
        if (faults_.stallAfter >= 0 && blocksSent_ >= faults_.stallAfter) return true;
        const std::size_t start = static_cast<std::size_t>(block) * kBlockSize;
        const std::size_t announced = static_cast<std::size_t>(announcedCount()) * data::kReceivedRecordSize;
        // Blocks that only the overstated count promises hold nothing the instrument could send.
        if (start >= data_.size() && start < announced)
            answer_ = Answer{false, true, {}};
        else
            answer_ = Answer{true, true, blockBytes(block)};
    }
    return true;
}

std::optional<Answer> UsbSession::takeAnswer() {
    std::optional<Answer> answer = std::move(answer_);
    answer_.reset();
    if (!answer) return answer;
    if (answer->block) ++blocksSent_;
    if (faults_.breakAfter >= 0 && !broken_ && blocksSent_ == faults_.breakAfter) {
        broken_ = true;
        breakPending_ = true;
    }
    // A hung device does not come back with the next transfer.
    if (faults_.freezeAfter >= 0 && blocksSent_ >= faults_.freezeAfter) frozen_ = true;
    return answer;
}

bool UsbSession::breakDue() {
    const bool due = breakPending_;
    breakPending_ = false;
    return due;
}

}  // namespace fendal::instrument

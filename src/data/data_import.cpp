// The data transfer command: run the transfer, then turn the received-data file into a new,
// unsaved group of one file.
#include "data/app_strings.h"
#include "data/fendal_doc.h"
#include "data/received_data.h"
#include "platform/text.h"

namespace fendal::data {

void CFendalDoc::onDataTransfer(TransferRunner& transfer) {
    if (modified_) {
        MsgAnswer a = ask("将改动保存到“" + title_ + "”？", MsgButtons::YesNoCancel, MsgIcon::Warning);
        if (a == MsgAnswer::Cancel) return;
        if (a == MsgAnswer::Yes) onFileSave();
    }
    if (!transfer.runTransfer()) return;
    importReceivedData(receivedDataPath());
}

bool CFendalDoc::importReceivedData(const std::string& path) {
    setModifiedFlag(false);
    setTitle(kImportTitle);

    ReceivedData data = readReceivedDataFile(path);
    if (data.status == ReceivedData::Status::CannotOpen) {
        tell("打开临时文件失败！", MsgIcon::Error);
        return false;
    }
    freeGroup();
    group.files.emplace_back();
    if (data.status == ReceivedData::Status::BadLength) {
        // The old group is gone; the views must not go on showing its rows.
        updateAllViews(UpdateHint::Reloaded);
        tell("接收数据错误，请重新传输或重新运行本程序！", MsgIcon::Error);
        return false;
    }
    const bool complete = data.complete();
    const int promised = data.promised;
    CrackDataFile& f = group.files[0];
    f = crackFileFromReceived(std::move(data.points));
    updateAllViews(UpdateHint::Reloaded);
    setModifiedFlag(true);
    if (!complete) {
        tell(platform::text::format("数据传输不完整：仪器应传送 %d 个数据，只收到 %d 个。", promised, f.pointCount()),
             MsgIcon::Warning);
    }
    return true;
}

}  // namespace fendal::data

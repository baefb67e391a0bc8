#include "office/qt_point_clipboard.h"

#include <QByteArray>
#include <QClipboard>
#include <QGuiApplication>
#include <QMimeData>

#include "office/point_block.h"

namespace fendal::office {

QString QtPointClipboard::mimeFormat() {
#ifdef Q_OS_WIN
    // Qt maps this form to the clipboard format registered under the bare name.
    return QStringLiteral("application/x-qt-windows-mime;value=\"%1\"").arg(QLatin1String(kPointClipboardFormat));
#else
    return QLatin1String(kPointClipboardFormat);
#endif
}

bool QtPointClipboard::put(std::span<const unsigned char> block) {
    QClipboard* clipboard = QGuiApplication::clipboard();
    if (!clipboard) return false;
    const QByteArray bytes(reinterpret_cast<const char*>(block.data()), static_cast<qsizetype>(block.size()));
    auto* data = new QMimeData;
    data->setData(mimeFormat(), bytes);
    clipboard->setMimeData(data);  // the clipboard owns it from here on
    // Qt does not report a clipboard it could not take over; reading back tells.
    const QMimeData* now = clipboard->mimeData();
    return now && now->data(mimeFormat()) == bytes;
}

PointClipboard::Contents QtPointClipboard::get() {
    Contents contents;
    QClipboard* clipboard = QGuiApplication::clipboard();
    const QMimeData* data = clipboard ? clipboard->mimeData() : nullptr;
    if (!data) return contents;
    contents.opened = true;
    contents.present = data->hasFormat(mimeFormat());
    if (contents.present) {
        const QByteArray bytes = data->data(mimeFormat());
        contents.data.assign(bytes.begin(), bytes.end());
    }
    return contents;
}

}  // namespace fendal::office

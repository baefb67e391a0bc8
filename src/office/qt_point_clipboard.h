#pragma once
// The system clipboard as a PointClipboard: the block travels under the format named
// "DEDORURU_COPY_PAST_DEPTH" (a registered clipboard format on Windows, a selection target
// of that name on X11), so other running instances of the program see it.
#include <QString>

#include "office/point_clipboard.h"

namespace fendal::office {

class QtPointClipboard : public PointClipboard {
public:
    // The MIME name under which Qt carries the format natively on this platform.
    static QString mimeFormat();

    bool put(std::span<const unsigned char> block) override;
    Contents get() override;
};

}  // namespace fendal::office

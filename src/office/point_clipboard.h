#pragma once
// Cut, copy and paste of the current point through a clipboard. The clipboard itself sits
// behind PointClipboard so the rules can be exercised with one that is busy or holds junk.
#include <span>
#include <vector>

namespace fendal::data {
class CFendalDoc;
}

namespace fendal::office {

class PointClipboard {
public:
    struct Contents {
        bool opened = false;              // false: the clipboard could not be opened
        bool present = false;             // data in the point format is there
        std::vector<unsigned char> data;  // that data, whatever its size
    };

    virtual ~PointClipboard() = default;
    // Empties the clipboard and hands it the block in the point format. False when the
    // clipboard could not be opened or did not take the data.
    virtual bool put(std::span<const unsigned char> block) = 0;
    virtual Contents get() = 0;
};

// True when the current point reached the clipboard.
bool copyCurrentPoint(const data::CFendalDoc& doc, PointClipboard& clipboard);

// Copies the current point and deletes it, but only once the copy is on the clipboard:
// a busy clipboard must not cost the user the point. True when the point was deleted.
bool cutCurrentPoint(data::CFendalDoc& doc, PointClipboard& clipboard);

// Overwrites the current point with the clipboard's point (number included). A block of
// another size is refused. True when the point was replaced.
bool pasteOverCurrentPoint(data::CFendalDoc& doc, PointClipboard& clipboard);

// The clipboard half of Paste's enable rule: a usable point block is there, or the clipboard
// cannot be opened to tell (then Paste stays enabled).
bool clipboardOffersPoint(PointClipboard& clipboard);

// The whole enable rule of Paste.
bool canPastePoint(const data::CFendalDoc& doc, PointClipboard& clipboard);

}  // namespace fendal::office

#pragma once
// A document with scripted answers and a group built in memory.
#include <deque>
#include <string>
#include <vector>

#include "data/fendal_doc.h"
#include "platform/text.h"

class ScriptedUi : public DocUi {
public:
    struct Message {
        std::string text;
        std::string caption;
    };
    std::vector<Message> messages;
    std::deque<MsgAnswer> answers;  // taken in order; Ok when empty

    MsgAnswer messageBox(const std::string& text, const std::string& caption, MsgButtons, MsgIcon) override {
        messages.push_back({text, caption});
        if (answers.empty()) return MsgAnswer::Ok;
        MsgAnswer a = answers.front();
        answers.pop_front();
        return a;
    }
    std::optional<std::vector<std::string>> chooseOpenFiles(const FileDialogOptions&) override { return {}; }
    std::optional<std::string> chooseSaveFile(const FileDialogOptions&) override { return {}; }
    bool chooseGroupSave(GroupSaveRequest&) override { return false; }
    void addToRecentFiles(const std::string&) override {}
};

// Points numbered "P<i>" with velocity 1000 + i and depth i, in files of the given sizes.
inline void fillGroup(CFendalDoc& doc, const std::vector<int>& sizes) {
    doc.group.clear();
    int n = 0;
    for (std::size_t f = 0; f < sizes.size(); ++f) {
        CrackDataFile file;
        file.path = "/data/file" + std::to_string(f) + ".fsy";
        for (int i = 0; i < sizes[f]; ++i, ++n) {
            MeasurePoint p{};
            text::setField(p.number, "P" + std::to_string(n));
            p.velocity = 1000 + n;
            p.depth = n;
            file.points.push_back(p);
        }
        file.receivedPoints = file.points;
        doc.group.files.push_back(std::move(file));
    }
}

#pragma once
// A document with scripted answers and a group built in memory.
#include <deque>
#include <string>
#include <vector>

#include "data/fendal_doc.h"
#include "platform/text.h"

class ScriptedUi : public fendal::data::DocUi {
public:
    struct Message {
        std::string text;
        std::string caption;
    };
    std::vector<Message> messages;
    std::deque<fendal::data::MsgAnswer> answers;  // taken in order; Ok when empty

    fendal::data::MsgAnswer messageBox(const std::string& text, const std::string& caption, fendal::data::MsgButtons,
                                       fendal::data::MsgIcon) override {
        messages.push_back({text, caption});
        if (answers.empty()) return fendal::data::MsgAnswer::Ok;
        fendal::data::MsgAnswer a = answers.front();
        answers.pop_front();
        return a;
    }
    std::optional<std::vector<std::string>> chooseOpenFiles(const fendal::data::FileDialogOptions&) override {
        return {};
    }
    std::optional<std::string> chooseSaveFile(const fendal::data::FileDialogOptions&) override { return {}; }
    bool chooseGroupSave(fendal::data::GroupSaveRequest&) override { return false; }
    void addToRecentFiles(const std::string&) override {}
};

// Points numbered "P<i>" with velocity 1000 + i and depth i, in files of the given sizes.
inline void fillGroup(fendal::data::CFendalDoc& doc, const std::vector<int>& sizes) {
    doc.group.clear();
    int n = 0;
    for (std::size_t f = 0; f < sizes.size(); ++f) {
        fendal::data::CrackDataFile file;
        file.path = "/data/file" + std::to_string(f) + ".fsy";
        for (int i = 0; i < sizes[f]; ++i, ++n) {
            fendal::data::MeasurePoint p{};
            fendal::platform::text::setField(p.number, "P" + std::to_string(n));
            p.velocity = 1000 + n;
            p.depth = n;
            file.points.push_back(p);
        }
        file.receivedPoints = file.points;
        doc.group.files.push_back(std::move(file));
    }
}

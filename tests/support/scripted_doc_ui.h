#pragma once
// A DocUi that answers from a script and records what the user was shown.
#include <deque>
#include <functional>
#include <optional>
#include <string>
#include <vector>

#include "data/doc_ui.h"

class ScriptedDocUi : public fendal::data::DocUi {
public:
    struct Shown {
        std::string text;
        std::string caption;
        fendal::data::MsgButtons buttons;
        fendal::data::MsgIcon icon;
    };

    std::deque<fendal::data::MsgAnswer> answers;  // next message box answers
    std::deque<std::optional<std::vector<std::string>>> openChoices;
    std::deque<std::optional<std::string>> saveChoices;
    // Group save: edit the request as the user would; false = cancel.
    std::deque<std::function<bool(fendal::data::GroupSaveRequest&)>> groupSaveChoices;

    std::vector<Shown> shown;
    std::vector<std::string> recent;
    std::vector<fendal::data::FileDialogOptions> dialogs;

    fendal::data::MsgAnswer messageBox(const std::string& text, const std::string& caption,
                                       fendal::data::MsgButtons buttons, fendal::data::MsgIcon icon) override {
        shown.push_back({text, caption, buttons, icon});
        if (answers.empty())
            return buttons == fendal::data::MsgButtons::Ok ? fendal::data::MsgAnswer::Ok
                                                           : fendal::data::MsgAnswer::Cancel;
        fendal::data::MsgAnswer a = answers.front();
        answers.pop_front();
        return a;
    }
    std::optional<std::vector<std::string>> chooseOpenFiles(const fendal::data::FileDialogOptions& o) override {
        dialogs.push_back(o);
        if (openChoices.empty()) return std::nullopt;
        auto c = openChoices.front();
        openChoices.pop_front();
        return c;
    }
    std::optional<std::string> chooseSaveFile(const fendal::data::FileDialogOptions& o) override {
        dialogs.push_back(o);
        if (saveChoices.empty()) return std::nullopt;
        auto c = saveChoices.front();
        saveChoices.pop_front();
        return c;
    }
    bool chooseGroupSave(fendal::data::GroupSaveRequest& request) override {
        dialogs.push_back(request.options);
        if (groupSaveChoices.empty()) return false;
        auto c = groupSaveChoices.front();
        groupSaveChoices.pop_front();
        return c(request);
    }
    void addToRecentFiles(const std::string& path) override { recent.push_back(path); }

    std::vector<std::string> texts() const {
        std::vector<std::string> t;
        for (const auto& s : shown) t.push_back(s.text);
        return t;
    }
};

class ScriptedTransfer : public fendal::data::TransferRunner {
public:
    explicit ScriptedTransfer(bool ok) : ok_(ok) {}
    bool runTransfer() override {
        ++runs;
        return ok_;
    }
    int runs = 0;

private:
    bool ok_;
};

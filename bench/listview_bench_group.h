#pragma once
// A large group of points in a main view, for the list benchmarks.
#include <QApplication>
#include <chrono>
#include <memory>
#include <random>

#include "data/fendal_doc.h"
#include "listview/fendal_view.h"

namespace listbench {

inline constexpr int kPoints = 1'000'000;

class NoUi : public fendal::data::DocUi {
public:
    fendal::data::MsgAnswer messageBox(const std::string&, const std::string&, fendal::data::MsgButtons,
                                       fendal::data::MsgIcon) override {
        return fendal::data::MsgAnswer::Ok;
    }
    std::optional<std::vector<std::string>> chooseOpenFiles(const fendal::data::FileDialogOptions&) override {
        return {};
    }
    std::optional<std::string> chooseSaveFile(const fendal::data::FileDialogOptions&) override { return {}; }
    bool chooseGroupSave(fendal::data::GroupSaveRequest&) override { return false; }
    void addToRecentFiles(const std::string&) override {}
};

inline QApplication& app() {
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM")) qputenv("QT_QPA_PLATFORM", "offscreen");
    static int argc = 1;
    static char name[] = "listview_bench";
    static char* argv[] = {name, nullptr};
    static QApplication* instance = new QApplication(argc, argv);
    return *instance;
}

// Points with random velocities and depths: kPoints spread over `files` files, or
// `perFile` points in each file.
struct Group {
    NoUi ui;
    fendal::data::CFendalDoc doc{ui};
    fendal::platform::MemoryProfile profile;
    std::unique_ptr<fendal::listview::CFendalView> view;

    explicit Group(int files, int perFile = 0) {
        app();
        std::mt19937 random(42);
        std::uniform_int_distribution<int> velocity(1500, 5000), depth(0, 800);
        for (int f = 0; f < files; ++f) {
            fendal::data::CrackDataFile file;
            file.path = "/data/bench" + std::to_string(f) + ".fsy";
            const int n = perFile > 0 ? perFile : kPoints / files + (f < kPoints % files ? 1 : 0);
            file.points.resize(n);
            for (fendal::data::MeasurePoint& p : file.points) {
                p.velocity = velocity(random);
                p.depth = depth(random);
            }
            doc.group.files.push_back(std::move(file));
        }
        view = std::make_unique<fendal::listview::CFendalView>(doc, profile);
        view->resize(1000, 600);
        view->onInitialUpdate();
    }

    int totalPoints() const { return doc.totalPoints(); }
};

template <typename F>
double seconds(F&& f) {
    auto start = std::chrono::steady_clock::now();
    f();
    return std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
}

}  // namespace listbench

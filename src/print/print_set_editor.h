#pragma once
// What the print settings dialog does with its values, without the widgets: loading and saving
// the settings file, validating what the controls hold, refusing a page number that would be
// printed over the header or footer text, and which controls are enabled.
#include <cstddef>
#include <cstdint>
#include <string>

#include "print/print_settings.h"

namespace fendal::print {

// What the dialog tells the user: plain message boxes with an OK button.
class PrintSetUi {
public:
    virtual ~PrintSetUi() = default;
    virtual void showMessage(const std::string& utf8) = 0;
};

// The values as the dialog's controls hold them; texts in UTF-8, combo boxes as item index
// (-1 while none is chosen).
struct PrintSetControls {
    std::string headerText;
    std::string footerText;
    int startPage = 1;
    int pageNumberFormat = 0;
    int pageNumberPosition = 0;
    bool printHeader = false;
    bool printPageNumber = false;
    bool printFooter = false;
};

struct PrintSetControlStates {
    bool headerEdit = false;
    bool footerEdit = false;
    bool pageNumberControls = false;  // both combo boxes and the spin button
};

// How many bytes a band text takes in GBK: one for ASCII, two for every other character (also
// for one GBK cannot hold, which OK refuses with its own message).
std::size_t gbkLength(const std::string& utf8);

inline constexpr char kReadSettingsFailed[] = "读设置文件失败！";
inline constexpr char kWriteSettingsFailed[] = "写设置文件失败！";
inline constexpr char kHeaderInterference[] = "页码和页眉位置干涉，请重新设置！";
inline constexpr char kFooterInterference[] = "页码和页脚位置干涉，请重新设置！";

class PrintSetEditor {
public:
    // The control a failed validation points at.
    enum class Field { None, HeaderText, FooterText, StartPage };

    explicit PrintSetEditor(PrintSetUi& ui);

    const PrintSettings& values() const { return values_; }

    // The first settings file 0..99 with the signature. When a file cannot be opened before one
    // matched, the current values (the defaults) become file 0. All 100 foreign: the user is told.
    void load();
    // Writes file 0; tells the user when it cannot.
    void save();
    void restoreDefaults() { values_ = dialogDefaultSettings(); }

    PrintSetControls controls() const;
    // Takes the controls' values. A value that fails validation is kept as it was; with `report`
    // the user is told about the first one. Returns the first failing field. Values the file
    // held are taken as stored: a start page outside 1..50 as long as the control still shows
    // it, a format or position no item stands for as long as no item is chosen.
    Field takeControls(const PrintSetControls& controls, bool report);
    // OK: validation, trimmed texts, the interference checks, then saving. True when the dialog
    // may close; false when it stays open (the user has been told why).
    bool accept(const PrintSetControls& controls, Field* failed = nullptr);

    static PrintSetControlStates controlStates(const PrintSettings& settings);

private:
    PrintSetUi& ui_;
    PrintSettings values_ = dialogDefaultSettings();
    int32_t storedStartPage_ = values_.startPage;  // as the settings file held it
};

}  // namespace fendal::print

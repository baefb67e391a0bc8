#include "print/print_set_editor.h"

#include <optional>

#include "platform/text.h"
#include "print/print_settings_file.h"

namespace fendal::print {

namespace {

// A band text as the file will hold it: GBK, at most 40 bytes. The message says why not.
std::optional<std::string> bandText(const std::string& utf8, const char* label, std::string& message) {
    auto gbk = platform::text::utf8ToGbk(utf8);
    if (!gbk) {
        message = platform::text::format("%s中有无法保存的字符，请修改。", label);
        return std::nullopt;
    }
    if (gbk->size() > static_cast<std::size_t>(kMaxBandTextBytes)) {
        message = platform::text::format("%s：请输入不超过 %d 个字符（一个汉字占 2 个字符）。", label,
                                         kMaxBandTextBytes);
        return std::nullopt;
    }
    return gbk;
}

}  // namespace

std::size_t gbkLength(const std::string& utf8) {
    if (const auto gbk = platform::text::utf8ToGbk(utf8)) return gbk->size();
    std::size_t n = 0;
    for (unsigned char c : utf8)
        if (c < 0x80)
            n += 1;
        else if (c >= 0xC0)
            n += 2;  // a lead byte: one character
    return n;
}

PrintSetEditor::PrintSetEditor(PrintSetUi& ui) : ui_(ui) {}

void PrintSetEditor::load() {
    for (int i = 0; i < kPrintSettingsFileSlots; ++i) {
        switch (readPrintSettingsFile(printSettingsPath(i), values_)) {
        case SettingsFileRead::Missing: save(); return;
        case SettingsFileRead::Foreign: continue;
        case SettingsFileRead::Read: storedStartPage_ = values_.startPage; return;
        }
    }
    ui_.showMessage(kReadSettingsFailed);
}

void PrintSetEditor::save() {
    if (!writePrintSettings(values_)) ui_.showMessage(kWriteSettingsFailed);
}

PrintSetControls PrintSetEditor::controls() const {
    return {platform::text::gbkToUtf8(values_.headerText),
            platform::text::gbkToUtf8(values_.footerText),
            values_.startPage,
            values_.pageNumberFormat,
            values_.pageNumberPosition,
            values_.printHeader != 0,
            values_.printPageNumber != 0,
            values_.printFooter != 0};
}

PrintSetEditor::Field PrintSetEditor::takeControls(const PrintSetControls& c, bool report) {
    Field failed = Field::None;
    std::string message;
    auto fail = [&](Field field) {
        if (failed == Field::None) {
            failed = field;
            if (report) ui_.showMessage(message);
        }
    };
    if (auto t = bandText(c.headerText, "页眉内容", message))
        values_.headerText = *t;
    else
        fail(Field::HeaderText);
    if (auto t = bandText(c.footerText, "页脚内容", message))
        values_.footerText = *t;
    else
        fail(Field::FooterText);
    if ((c.startPage >= kMinStartPage && c.startPage <= kMaxStartPage) || c.startPage == storedStartPage_) {
        values_.startPage = c.startPage;
    } else {
        message = platform::text::format("起始页码请输入 %d 到 %d 之间的整数。", kMinStartPage, kMaxStartPage);
        fail(Field::StartPage);
    }
    if (c.pageNumberFormat >= 0) values_.pageNumberFormat = c.pageNumberFormat;
    if (c.pageNumberPosition >= 0) values_.pageNumberPosition = c.pageNumberPosition;
    values_.printHeader = c.printHeader ? 1 : 0;
    values_.printPageNumber = c.printPageNumber ? 1 : 0;
    values_.printFooter = c.printFooter ? 1 : 0;
    return failed;
}

bool PrintSetEditor::accept(const PrintSetControls& controls, Field* failed) {
    const Field f = takeControls(controls, true);
    if (failed) *failed = f;
    if (f != Field::None) return false;
    values_.headerText = std::string(platform::text::trim(values_.headerText));
    values_.footerText = std::string(platform::text::trim(values_.footerText));
    // A centred page number would be printed over the band's own centred text.
    if (!values_.headerText.empty() && values_.printHeader && values_.pageNumberPosition == kTopCentre &&
        values_.printPageNumber) {
        ui_.showMessage(kHeaderInterference);
        return false;
    }
    if (!values_.footerText.empty() && values_.printFooter && values_.pageNumberPosition == kBottomCentre &&
        values_.printPageNumber) {
        ui_.showMessage(kFooterInterference);
        return false;
    }
    save();
    return true;
}

PrintSetControlStates PrintSetEditor::controlStates(const PrintSettings& s) {
    return {s.printHeader != 0, s.printFooter != 0, s.printPageNumber != 0};
}

}  // namespace fendal::print

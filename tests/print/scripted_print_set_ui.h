#pragma once
#include <string>
#include <vector>

#include "print/print_set_editor.h"

class ScriptedPrintSetUi : public fendal::print::PrintSetUi {
public:
    std::vector<std::string> shown;
    void showMessage(const std::string& utf8) override { shown.push_back(utf8); }
};

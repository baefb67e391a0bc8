#pragma once
// A clipboard for tests: it can be made busy, and filled with whatever another program might leave.
#include <vector>

#include "office/point_clipboard.h"

class FakeClipboard : public fendal::office::PointClipboard {
public:
    bool busy = false;
    bool present = false;
    std::vector<unsigned char> data;

    bool put(std::span<const unsigned char> block) override {
        if (busy) return false;
        data.assign(block.begin(), block.end());
        present = true;
        return true;
    }
    Contents get() override {
        if (busy) return {};
        return {true, present, data};
    }
};

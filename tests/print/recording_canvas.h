#pragma once
// A canvas that remembers what was drawn, with the state it was drawn in.
#include <string>
#include <vector>

#include "print/print_canvas.h"

class RecordingCanvas : public fendal::print::PrintCanvas {
public:
    struct Text {
        std::string text;
        fendal::print::CanvasRect rect;
        unsigned align;
        fendal::print::CanvasFont font;
        fendal::print::Rgb color;
        bool opaque;
    };
    struct Line {
        fendal::print::CanvasPoint from, to;
        fendal::print::CanvasPen pen;
    };
    struct Rectangle {
        fendal::print::CanvasRect rect;
        fendal::print::Rgb fill;
        fendal::print::CanvasPen pen;
    };

    std::vector<Text> texts;
    std::vector<Line> lines;
    std::vector<Rectangle> rectangles;

    void save() override { saved_.push_back(state_); }
    void restore() override {
        state_ = saved_.back();
        saved_.pop_back();
    }
    void setFont(const fendal::print::CanvasFont& font) override { state_.font = font; }
    void setPen(const fendal::print::CanvasPen& pen) override { state_.pen = pen; }
    void setTextColor(fendal::print::Rgb color) override { state_.color = color; }
    void setTextBackgroundOpaque(bool opaque) override { state_.opaque = opaque; }
    void drawLine(fendal::print::CanvasPoint from, fendal::print::CanvasPoint to) override {
        lines.push_back({from, to, state_.pen});
    }
    void drawRectangle(const fendal::print::CanvasRect& rect, fendal::print::Rgb fill) override {
        rectangles.push_back({rect, fill, state_.pen});
    }
    void drawText(const std::string& text, const fendal::print::CanvasRect& rect, unsigned align) override {
        texts.push_back({text, rect, align, state_.font, state_.color, state_.opaque});
    }

    const Text* find(const std::string& text) const {
        for (const auto& t : texts)
            if (t.text == text) return &t;
        return nullptr;
    }
    int saveDepth() const { return static_cast<int>(saved_.size()); }

private:
    struct State {
        fendal::print::CanvasFont font;
        fendal::print::CanvasPen pen;
        fendal::print::Rgb color;
        bool opaque = false;
    };
    State state_;
    std::vector<State> saved_;
};

#include "platform/RecordingPrinter.h"

#include "platform/Text.h"

void RecordingCanvas::TextOut(int x, int y, const std::string& text) {
    marks_.push_back({page, false, x, y, x, y, text});
}

int RecordingCanvas::TextWidth(const std::string& text) {
    return static_cast<int>(Utf8Length(text)) * geometry_.charWidth;
}

int RecordingCanvas::TextHeight(const std::string&) {
    return geometry_.textHeight;
}

void RecordingCanvas::MoveTo(int x, int y) {
    x_ = x;
    y_ = y;
}

void RecordingCanvas::LineTo(int x, int y) {
    marks_.push_back({page, true, x_, y_, x, y, {}});
    MoveTo(x, y);
}

void RecordingCanvas::Rectangle(int left, int top, int right, int bottom) {
    MoveTo(left, top);
    LineTo(right, top);
    LineTo(right, bottom);
    LineTo(left, bottom);
    LineTo(left, top);
}

std::vector<RecordedMark> RecordingPrinter::Texts() const {
    std::vector<RecordedMark> texts;
    for (const RecordedMark& mark : Marks())
        if (!mark.line) texts.push_back(mark);
    return texts;
}

std::vector<RecordedMark> RecordingPrinter::Lines() const {
    std::vector<RecordedMark> lines;
    for (const RecordedMark& mark : Marks())
        if (mark.line) lines.push_back(mark);
    return lines;
}

#pragma once
// Reading a text file: its bytes whole, then its lines one after another.
// A line ends at a line feed; one carriage return before it is dropped, and
// the last line may lack its end.

#include "platform/Text.h"
#include "unified/core/Player.h"

#include <fstream>
#include <istream>
#include <string>
#include <string_view>

// No event file or player list comes near this size; a larger file is not
// one of them, and is refused rather than read into memory.
constexpr std::size_t kMaxTextFileBytes = 64u << 20;

// Appends the rest of the stream to the bytes; false when reading failed or
// the stream holds more than kMaxTextFileBytes.
inline bool ReadWholeStream(std::istream& in, std::string& bytes) {
    char chunk[65536];
    while (in.read(chunk, sizeof chunk) || in.gcount() > 0) {
        bytes.append(chunk, static_cast<std::size_t>(in.gcount()));
        if (bytes.size() > kMaxTextFileBytes) return false;
    }
    return !in.bad();
}

// The whole text of a file, converted to UTF-8 when it is not (files of
// older versions are Windows-1252); false when it cannot be opened or read.
inline bool ReadTextFile(const std::string& path, std::string& text) {
    std::ifstream in(path, std::ios::in | std::ios::binary);
    std::string bytes;
    if (!in || !ReadWholeStream(in, bytes)) return false;
    text = TextFromFile(bytes);
    return true;
}

// The lines of a text, taken with an offset: no line is copied.
class TextLines {
public:
    explicit TextLines(std::string_view text) : text_(text) {}
    // The next line; false after the last.
    bool Next(std::string_view& line) {
        if (offset_ >= text_.size()) return false;
        std::size_t end = text_.find('\n', offset_);
        if (end == std::string_view::npos) end = text_.size();
        line = text_.substr(offset_, end - offset_);
        if (!line.empty() && line.back() == '\r') line.remove_suffix(1);
        offset_ = end + 1;
        return true;
    }

private:
    std::string_view text_;
    std::size_t offset_ = 0;
};

// A text as a line of an older file gives it: at most `limit` characters,
// and without a carriage return left inside the line, which the model's
// texts never hold.
inline std::string LineText(std::string_view line, std::size_t limit) {
    std::string text = Utf8Cut(line, limit);
    StripLineBreaks(text);
    return text;
}

// The first line of a file, without its line end, when it has at most
// kFirstLineLimit bytes (no longer line names a form); false when the file
// cannot be read. Only this much is read to choose the form, so that a tree
// file is read once, by the tree reader.
constexpr std::size_t kFirstLineLimit = 999;
inline bool ReadFirstLine(const std::string& path, std::string& line) {
    std::ifstream in(path, std::ios::in | std::ios::binary);
    if (!in) return false;
    char start[kFirstLineLimit + 2];
    in.read(start, sizeof start);
    if (in.bad()) return false;
    const std::string_view read(start, static_cast<std::size_t>(in.gcount()));
    std::string_view first = read.substr(0, read.find('\n'));
    if (!first.empty() && first.back() == '\r') first.remove_suffix(1);
    line = first.size() <= kFirstLineLimit ? std::string(first) : std::string();
    return true;
}

#include "unified/core/Tree.h"

#include "platform/OutputFile.h"
#include "platform/Text.h"
#include "unified/core/textFile.h"

#include <algorithm>
#include <fstream>
#include <initializer_list>
#include <new>
#include <string_view>
#include <utility>
#include <vector>

namespace {

// The unit's shared state: one file written, one file read, one text
// written at a time.
OutputFile outStream;
std::ifstream inStream;
std::string indentation;

bool IsBlankOrControl(char c) {
    return static_cast<unsigned char>(c) <= ' ';
}

std::string_view StripLeading(std::string_view line) {
    std::size_t i = 0;
    while (i < line.size() && IsBlankOrControl(line[i]))
        ++i;
    return line.substr(i);
}

bool TooLong(std::string_view line) {
    return line.size() > kTreeLineLimit && Utf8Length(line) > kTreeLineLimit;
}

// Whether a line made of these parts is one the file reader takes.
bool Fits(std::initializer_list<std::string_view> parts) {
    std::size_t bytes = 0;
    for (std::string_view p : parts)
        bytes += p.size();
    if (bytes <= kTreeLineLimit) return true;
    std::size_t chars = 0;
    for (std::string_view p : parts)
        chars += Utf8Length(p);
    return chars <= kTreeLineLimit;
}

bool IsLineBreak(char c) {
    return c == '\r' || c == '\n';
}

// Whether a value ends in "{" followed by nothing but blanks. Written as it
// stands, a line ending in "{" would open a node; so the writer puts one
// blank of its own after such a value, and the reader takes that one blank
// off again. Files of older versions wrote "{ " for a value ending in "{",
// and read so, too.
bool EndsInBrace(std::string_view value) {
    const std::size_t last = value.find_last_not_of(' ');
    return last != std::string_view::npos && value[last] == '{';
}

// A value as it can be written: without line breaks, which would split its
// line, and with the writer's mark after a final "{".
const std::string& WritableValue(const std::string& value, std::string& scratch) {
    const bool breaks = std::any_of(value.begin(), value.end(), IsLineBreak);
    if (!breaks && !EndsInBrace(value)) return value;
    scratch.clear();
    for (char c : value)
        if (!IsLineBreak(c)) scratch += c;
    if (EndsInBrace(scratch)) scratch += ' ';
    return scratch;
}

// A value as a line holds it: without the line breaks that the writer never
// writes (a carriage return or line feed inside a line of another writer's
// file) and without the writer's mark. `scratch` holds it when it is not a
// part of the line.
std::string_view ReadValue(std::string_view written, std::string& scratch) {
    if (std::any_of(written.begin(), written.end(), IsLineBreak)) {
        scratch.assign(written);
        std::erase_if(scratch, IsLineBreak);
        written = scratch;
    }
    if (!written.empty() && written.back() == ' ' && EndsInBrace(written)) written.remove_suffix(1);
    return written;
}

// How the percent form writes a character of a value; null when as it is.
// Blanks, braces and control characters go unchanged. Sent as it stands, a
// "%" would be taken for the start of an escape.
const char* FormEscape(char c) {
    switch (c) {
    case '&':
        return "%26";
    case ';':
        return "%3B";
    case '=':
        return "%3D";
    case '+':
        return "%2B";
    case '%':
        return "%25";
    default:
        return nullptr;
    }
}

} // namespace

enum class Tree::LineTaken { Yes, Malformed, NoMemory, TooMany };

// The nodes below a root are made in blocks that the root owns: one
// allocation for many nodes rather than one each, and all of them freed
// together without walking the tree, so that no depth of nesting read from
// a file can exhaust the stack.
class Tree::Nodes {
public:
    Nodes() = default;
    Nodes(const Nodes&) = delete;
    Nodes& operator=(const Nodes&) = delete;
    ~Nodes() { Clear(); }

    // A node of the two texts; throws std::bad_alloc when memory runs out.
    template <typename NameText, typename ValueText>
    Tree* Make(NameText&& name, ValueText&& value, bool isNode) {
        if (last_ == nullptr || last_->used == kPerBlock) {
            Block* block = new Block;
            block->previous = last_;
            last_ = block;
        }
        Tree* node = new (last_->Slot(last_->used))
            Tree(this, std::forward<NameText>(name), std::forward<ValueText>(value), isNode);
        ++last_->used;
        return node;
    }

    // Every node destroyed and every block freed.
    void Clear() {
        while (Block* block = last_) {
            for (std::size_t i = 0; i < block->used; ++i)
                std::launder(static_cast<Tree*>(block->Slot(i)))->~Tree();
            last_ = block->previous;
            delete block;
        }
    }

private:
    static constexpr std::size_t kPerBlock = 256;
    struct Block {
        Block* previous = nullptr;
        std::size_t used = 0;
        alignas(Tree) unsigned char storage[kPerBlock * sizeof(Tree)];
        void* Slot(std::size_t i) { return storage + i * sizeof(Tree); }
    };
    Block* last_ = nullptr;
};

Tree::Tree() : name_("UNKNOWN") {
}

Tree::Tree(std::string name) : name_(std::move(name)) {
}

Tree::Tree(std::string name, std::string value)
    : name_(std::move(name)), value_(std::move(value)), isNode_(false) {
}

template <typename NameText, typename ValueText>
Tree::Tree(Nodes* nodes, NameText&& name, ValueText&& value, bool isNode)
    : name_(std::forward<NameText>(name)), value_(std::forward<ValueText>(value)), nodes_(nodes),
      isNode_(isNode) {
}

Tree::~Tree() {
    if (ownsNodes_) delete nodes_;
}

void Tree::DeleteChildren() {
    firstChild_ = lastChild_ = cursor_ = nullptr;
    // Below the root, nodes go with the root's.
    if (ownsNodes_) nodes_->Clear();
}

template <typename NameText, typename ValueText>
Tree* Tree::NewChild(NameText&& name, ValueText&& value, bool isNode) {
    try {
        if (nodes_ == nullptr) {
            nodes_ = new Nodes;
            ownsNodes_ = true;
        }
        Tree* child =
            nodes_->Make(std::forward<NameText>(name), std::forward<ValueText>(value), isNode);
        if (lastChild_ == nullptr) {
            firstChild_ = child;
            cursor_ = child;
        } else {
            lastChild_->next_ = child;
        }
        lastChild_ = child;
        return child;
    } catch (const std::bad_alloc&) {
        error_ = true;
        return nullptr;
    }
}

Tree* Tree::AddChild(std::string name) {
    return NewChild(std::move(name), std::string(), true);
}

void Tree::AddValue(std::string name, std::string value) {
    NewChild(std::move(name), std::move(value), false);
}

// A line ending in "{" opens a child node, "}" closes the node, and any
// other line is a leaf split at its first "=".
Tree::LineTaken Tree::TakeLine(std::string_view line, std::vector<Tree*>& open,
                               std::size_t& added) {
    Tree* node = open.back();
    if (line != "}" && ++added > kTreeNodeLimit) return LineTaken::TooMany;
    if (!line.empty() && line.back() == '{') {
        Tree* child = node->NewChild(line.substr(0, line.size() - 1), std::string_view(), true);
        if (child == nullptr) return LineTaken::NoMemory;
        open.push_back(child);
        return LineTaken::Yes;
    }
    if (line == "}") {
        open.pop_back();
        return LineTaken::Yes;
    }
    const std::size_t eq = line.find('=');
    if (eq == std::string_view::npos) return LineTaken::Malformed;
    std::string scratch;
    if (node->NewChild(line.substr(0, eq), ReadValue(line.substr(eq + 1), scratch), false) ==
        nullptr)
        return LineTaken::NoMemory;
    return LineTaken::Yes;
}

Tree* Tree::NextChild() {
    Tree* child = cursor_;
    if (child != nullptr) cursor_ = child->next_;
    return child;
}

void Tree::BecomeRoot(const std::string& name) {
    DeleteChildren();
    name_ = name;
    value_.clear();
    next_ = nullptr;
    isNode_ = true;
    error_ = false;
}

void Tree::WriteText(std::string& out, bool& fits) const {
    if (!isNode_) {
        std::string scratch;
        const std::string& value = WritableValue(value_, scratch);
        if (value.empty()) return;
        if (!Fits({indentation, name_, "=", value})) fits = false;
        out += indentation;
        out += name_;
        out += '=';
        out += value;
        out += "\r\n";
        return;
    }
    if (!Fits({indentation, name_, "{"})) fits = false;
    out += indentation;
    out += name_;
    out += "{\r\n";
    indentation += ' ';
    for (const Tree* c = firstChild_; c != nullptr; c = c->next_)
        c->WriteText(out, fits);
    indentation.pop_back();
    out += indentation;
    out += "}\r\n";
}

bool Tree::SaveToFile(const std::string& path) {
    // The text is made whole first and goes to the stream in one write. A
    // line the reader would refuse makes the save fail rather than leave a
    // file that cannot be opened again.
    std::string text;
    bool fits = true;
    indentation.clear();
    WriteText(text, fits);
    indentation.clear();
    if (!fits || !outStream.Open(path)) {
        error_ = true;
        return false;
    }
    outStream.Write(text);
    if (!outStream.Commit()) {
        error_ = true;
        return false;
    }
    return true;
}

void Tree::WriteFormText(std::string& out) const {
    if (isNode_) {
        out += name_;
        out += "{%0A";
        for (const Tree* c = firstChild_; c != nullptr; c = c->next_)
            c->WriteFormText(out);
        out += "}%0A";
        return;
    }
    std::string scratch;
    const std::string& value = WritableValue(value_, scratch);
    if (value.empty()) return;
    out += name_;
    out += "%3D";
    std::size_t plain = 0; // start of the characters not yet appended
    for (std::size_t i = 0; i < value.size(); ++i) {
        const char* escape = FormEscape(value[i]);
        if (escape == nullptr) continue;
        out.append(value, plain, i - plain);
        out += escape;
        plain = i + 1;
    }
    out.append(value, plain);
    out += '\n';
}

void Tree::SaveToFormText(std::string& text) {
    text.clear();
    WriteFormText(text);
}

void Tree::LoadFromFile(const std::string& path) {
    inStream.open(path, std::ios::in | std::ios::binary);
    if (!inStream) {
        inStream.clear();
        error_ = true;
        return;
    }
    std::string text;
    const bool read = ReadWholeStream(inStream, text);
    inStream.close();
    inStream.clear();
    if (!read) {
        error_ = true;
        return;
    }
    if (!IsValidUtf8(text)) text = Windows1252ToUtf8(text);

    TextLines lines(text);
    std::string_view line;
    if (!lines.Next(line) || TooLong(line) || line.empty() || line.back() != '{') {
        error_ = true;
        return;
    }
    BecomeRoot(std::string(line.substr(0, line.size() - 1)));

    // The nodes opened and not yet closed, innermost last. A file that ends
    // inside a node closes it; lines after the root's "}" are not read.
    std::vector<Tree*> open{this};
    std::size_t added = 0;
    while (!open.empty() && lines.Next(line)) {
        if (TooLong(line) || TakeLine(StripLeading(line), open, added) != LineTaken::Yes) {
            error_ = true;
            return;
        }
    }
}

void Tree::LoadFromText(std::string& text) {
    if (!IsValidUtf8(text)) text = Windows1252ToUtf8(text);
    const std::size_t firstEnd = text.find("\r\n");
    if (firstEnd == std::string::npos || firstEnd == 0 || text[firstEnd - 1] != '{') {
        error_ = true;
        return;
    }
    BecomeRoot(text.substr(0, firstEnd - 1));

    // Lines are taken with an offset and the text is cut once at the end.
    std::size_t offset = firstEnd + 2;
    std::vector<Tree*> open{this};
    std::size_t added = 0;
    while (!open.empty()) {
        const std::size_t end = text.find("\r\n", offset);
        // No further line, or an empty one: the whole parse ends, without error.
        if (end == std::string::npos || end == offset) break;
        const LineTaken taken = TakeLine(
            StripLeading(std::string_view(text).substr(offset, end - offset)), open, added);
        if (taken == LineTaken::Malformed) {
            // The line stays in the text; each open node meets it in turn.
            for (Tree* n : open)
                n->error_ = true;
            break;
        }
        if (taken == LineTaken::TooMany) error_ = true;
        if (taken != LineTaken::Yes) break;
        offset = end + 2;
    }
    for (Tree* n : open)
        if (n->error_) error_ = true;
    text.erase(0, offset);
}

bool IsWhole(Tree& node) {
    if (node.HasError()) return false;
    while (Tree* child = node.NextChild())
        if (child->IsNode() && !IsWhole(*child)) return false;
    return true;
}

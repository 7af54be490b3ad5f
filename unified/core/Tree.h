#pragma once
// The name/value tree that every event file is. In a file a node is its name
// and "{" on one line, then its children indented by one more blank, then
// "}"; a leaf is its name, "=" and its value, and a leaf with an empty value
// is left out. A value ending in "{" (and any blanks) is written with one
// blank more, which the readers take off again. The same tree is also
// written as one percent-encoded text for the online service, and read back
// from the text the service returns.
//
// The readers and writers share one output stream, one input stream, the
// writer's indentation and the text being written or read: one file read,
// one file write and one text read or write at a time, never nested.

#include <cstddef>
#include <iosfwd>
#include <string>
#include <string_view>
#include <vector>

// The longest line the file reader takes, in characters.
constexpr std::size_t kTreeLineLimit = 9999;
// The most nodes and leaves the readers take from one file or text; past it
// they stop with the error flag. The largest event file holds about 151,000:
// a match plan of 255 courts by 99 rounds (a box node and four leaves each)
// with 800 players and their partners; a full ladder holds about 49,000
// (800 doubles players with partners and 1,500 results), a full draw fewer.
// A text with more is no event file and is refused before it takes memory
// a small machine may not have.
constexpr std::size_t kTreeNodeLimit = 1'000'000;

class Tree {
public:
    Tree(); // a node named "UNKNOWN"
    explicit Tree(std::string name);
    Tree(std::string name, std::string value); // a leaf
    // A tree made here is a root: it releases every node below it.
    ~Tree();
    Tree(const Tree&) = delete;
    Tree& operator=(const Tree&) = delete;

    // Appends a new node and returns it; null, with this node's error flag
    // set, when memory runs out.
    Tree* AddChild(std::string name);
    // Appends a leaf; sets the error flag when memory runs out.
    void AddValue(std::string name, std::string value);
    // The child under the cursor, moving the cursor on; null once every child
    // was handed out. There is no rewind: loaders walk each node once.
    Tree* NextChild();

    const std::string& Name() const { return name_; }
    const std::string& Value() const { return value_; }
    bool IsNode() const { return isNode_; }
    bool HasError() const { return error_; }

    // Writes the tree as a file with CR LF lines; false, with the error flag
    // set, when the file cannot be written. The old file stays as it was
    // unless the whole new one was written.
    bool SaveToFile(const std::string& path);
    // Sets the text to the percent-encoded form of the tree.
    void SaveToFormText(std::string& text);
    // Parses a file into this node, which becomes the root; any failure sets
    // the error flag. A file that is not valid UTF-8 is read as Windows-1252.
    void LoadFromFile(const std::string& path);
    // Parses a CR LF text into this node, which becomes the root, and leaves
    // in the text what followed the root's closing line (or the unread rest
    // after an error).
    void LoadFromText(std::string& text);

private:
    // The nodes below one root, freed together with it.
    class Nodes;
    enum class LineTaken;

    // A node below a root.
    template <typename NameText, typename ValueText>
    Tree(Nodes* nodes, NameText&& name, ValueText&& value, bool isNode);
    // Appends a new child made of the two texts; null, with the error flag
    // set, when memory runs out.
    template <typename NameText, typename ValueText>
    Tree* NewChild(NameText&& name, ValueText&& value, bool isNode);
    // One line read, its leading blanks stripped, into the node innermost
    // in `open`; `added` counts the nodes and leaves read.
    static LineTaken TakeLine(std::string_view line, std::vector<Tree*>& open, std::size_t& added);
    void BecomeRoot(const std::string& name);
    void DeleteChildren();
    void WriteText(std::string& out, bool& fits) const;
    void WriteFormText(std::string& out) const;

    std::string name_;
    std::string value_;
    Tree* next_ = nullptr;
    Tree* firstChild_ = nullptr;
    Tree* lastChild_ = nullptr;
    Tree* cursor_ = nullptr;
    // Where this node's children are made: the root's nodes, which only the
    // root owns (and makes with its first child).
    Nodes* nodes_ = nullptr;
    bool isNode_ = true;
    bool error_ = false;
    bool ownsNodes_ = false;
};

// Whether no node of a tree ran out of memory while it was built. The walk
// hands out each child once; writers do not use the cursor.
bool IsWhole(Tree& node);

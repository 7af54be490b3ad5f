#pragma once
// Lists of values that keep their places in an event file although the tree
// writer leaves out empty values: the notes, say, of which the second is
// empty and the third is not. Where an empty value comes before a filled
// one, every value is written with its place after the key ("n1" ... "n5");
// older readers, which match the first character of a name, still take
// them, in order. A list without such a gap is written under the bare key,
// as it always was.

#include <cstddef>
#include <span>
#include <string>
#include <string_view>

class Tree;

void WriteIndexedLeaves(Tree& parent, const std::string& key, std::span<const std::string> values);

// The places of the leaves of one key, taken in file order: the place that a
// leaf's name gives after the key, or else the leaf's position among the
// leaves of its key.
class IndexedLeafPlaces {
public:
    explicit IndexedLeafPlaces(std::size_t keyLength = 1) : keyLength_(keyLength) {}
    // The 1-based place of the next leaf, by its name; 0 for a place that
    // is no place (such as "n0").
    int Next(std::string_view name);

private:
    std::size_t keyLength_;
    int position_ = 0;
};

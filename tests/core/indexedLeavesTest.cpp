#include "unified/core/indexedLeaves.h"

#include "unified/core/Tree.h"

#include <gtest/gtest.h>
#include <string>
#include <vector>

namespace {

// The leaves a list is written as, "name=value" each.
std::string Written(const std::vector<std::string>& values) {
    Tree root("R");
    WriteIndexedLeaves(root, "n", values);
    std::string out;
    while (Tree* leaf = root.NextChild())
        if (!leaf->Value().empty()) out += leaf->Name() + "=" + leaf->Value() + " ";
    return out;
}

} // namespace

TEST(IndexedLeaves, PlacesAreWrittenOnlyWhereAGapWouldMoveAValue) {
    EXPECT_EQ(Written({"a", "b", "", "", ""}), "n=a n=b ");
    EXPECT_EQ(Written({"", "", "", "", ""}), "");
    EXPECT_EQ(Written({"a", "", "c", "", ""}), "n1=a n3=c ");
    EXPECT_EQ(Written({"", "", "", "", "e"}), "n5=e ");
}

TEST(IndexedLeaves, ReadersTakeThePlaceGivenElseThePosition) {
    const std::vector<std::pair<std::vector<std::string>, std::vector<int>>> cases = {
        {{"n", "n", "n"}, {1, 2, 3}},         {{"n3", "n1", "n5"}, {3, 1, 5}},
        {{"note", "n", "n02"}, {1, 2, 2}},    // a name that gives no number
        {{"n0", "n9999999", "n"}, {0, 0, 3}}, // no place; positions count on
        {{"n-1", "n+2", "n 3"}, {1, 2, 3}},   // signs and blanks are no number
    };
    for (const auto& [names, places] : cases) {
        IndexedLeafPlaces reader;
        std::vector<int> got;
        for (const std::string& name : names)
            got.push_back(reader.Next(name));
        EXPECT_EQ(got, places) << names.front();
    }
    IndexedLeafPlaces rounds(2); // a key of two characters
    EXPECT_EQ(rounds.Next("rn"), 1);
    EXPECT_EQ(rounds.Next("rn7"), 7);
}

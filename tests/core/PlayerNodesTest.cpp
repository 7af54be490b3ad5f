#include "tests/core/FileEvent.h"

#include <gtest/gtest.h>

namespace {

// A player node holding these leaves.
Tree& Node(Tree& root, const std::vector<std::pair<std::string, std::string>>& leaves) {
    Tree* node = root.AddChild("P");
    for (const auto& [name, value] : leaves)
        node->AddValue(name, value);
    return *node;
}

std::string Repeat(const std::string& piece, int times) {
    std::string out;
    for (int i = 0; i < times; ++i)
        out += piece;
    return out;
}

} // namespace

TEST(PlayerNode, EveryTextIsHeldToItsLimitInCharacters) {
    const std::string keys = "flwhe3412cspy";
    for (std::size_t i = 0; i < keys.size(); ++i) {
        const std::string key(1, keys[i]);
        const int limit = kPlayerTextLimits[i];
        Tree root("R");
        ::Player p;
        // Two bytes a character: the limit in characters is accepted.
        EXPECT_EQ(RXEvent::ReadPlayerNode(Node(root, {{key, Repeat("é", limit)}}), p), 0) << key;
        EXPECT_EQ(*PlayerTexts(p)[i], Repeat("é", limit)) << key;
        EXPECT_EQ(RXEvent::ReadPlayerNode(Node(root, {{key, Repeat("x", limit + 1)}}), p), 5)
            << key;
    }
}

TEST(PlayerNode, ReadsIntoAClearedRecord) {
    Tree root("R");
    ::Player p;
    p.email = "left over";
    p.wins = 4;
    p.partner.Set(::Player());
    Tree& node = Node(root, {{"first", "Ann"}, // matched by its first character
                             {"l", "Bak\rer"}, // a carriage return inside a file line
                             {"n", " 12 points"},
                             {"z", "-3"},
                             {"o", "many"},
                             {"t", "99999999999"},
                             {"q", "unknown key"},
                             {"", "no name"},
                             {"g", "Female"}});
    node.AddChild("x")->AddValue("f", "inside a child node");
    EXPECT_EQ(RXEvent::ReadPlayerNode(node, p), 0);
    EXPECT_EQ(p.firstName, "Ann");
    EXPECT_EQ(p.lastName, "Baker");
    EXPECT_EQ(p.email, "");
    EXPECT_EQ(p.number, 12);
    EXPECT_EQ(p.wins, -3);
    EXPECT_EQ(p.losses, 0);
    EXPECT_EQ(p.ties, 0); // the child node "x" has no value
    EXPECT_EQ(p.points, 2147483647);
    EXPECT_EQ(p.gender, 'F');
    EXPECT_FALSE(p.partner);

    const auto gender = [&](const std::string& value) {
        Tree r("R");
        RXEvent::ReadPlayerNode(Node(r, {{"g", value}}), p);
        return p.gender;
    };
    EXPECT_EQ(gender(""), ' ');
    EXPECT_EQ(gender(" "), ' ');
    EXPECT_EQ(gender("M"), 'M');
    EXPECT_EQ(gender("é"), ' '); // never half a character
}

TEST(PlayerNode, GenderLeafOnlyForKindsThatKeepGenders) {
    ::Player p;
    p.firstName = "Ann";
    p.gender = 'F';
    for (const bool genders : {true, false}) {
        FileEvent event(false, genders);
        Tree root("R");
        event.WritePlayerNode(*root.AddChild("A"), p, false);
        Tree* node = root.NextChild();
        std::string names;
        while (Tree* leaf = node->NextChild())
            names += leaf->Name();
        EXPECT_EQ(names, genders ? "flwhe3412cspyg" : "flwhe3412cspy");
    }
}

TEST(PrintOptionsNode, RoundTripsAndReadsByFirstCharacter) {
    FileEvent event;
    PrintOptions options;
    options.leftMargin = 0.1f;
    options.rightMargin = 2.5f;
    options.topMargin = 0.333f;
    options.bottomMargin = 1e-3f;
    options.orientation = 2;
    options.fontSize = 0;
    event.SetPrintOptions(options);
    Tree root("R");
    event.WritePrintOptions(root);
    Tree* t = root.NextChild();
    ASSERT_NE(t, nullptr);
    EXPECT_EQ(t->Name(), "T");

    FileEvent back;
    back.ReadPrintOptions(*t);
    EXPECT_FALSE(back.IsModified()); // reading does not mark a change
    const PrintOptions& read = back.PrintOpts();
    EXPECT_EQ(read.leftMargin, 0.1f); // exactly: the shortest text that reads back
    EXPECT_EQ(read.rightMargin, 2.5f);
    EXPECT_EQ(read.topMargin, 0.333f);
    EXPECT_EQ(read.bottomMargin, 1e-3f);
    EXPECT_EQ(read.orientation, 2);
    EXPECT_EQ(read.fontSize, 0);
    EXPECT_EQ(read.playersPerPage, 16);

    Tree odd("T");
    odd.AddValue("bottom", "0.25");
    odd.AddValue("l", "1,5"); // a decimal comma ends the number
    odd.AddValue("r", "inf");
    odd.AddValue("font", "+14pt");
    odd.AddValue("u", "");
    back.ReadPrintOptions(odd);
    EXPECT_EQ(back.PrintOpts().bottomMargin, 0.25f);
    EXPECT_EQ(back.PrintOpts().leftMargin, 1.0f);
    EXPECT_EQ(back.PrintOpts().rightMargin, 0.0f);
    EXPECT_EQ(back.PrintOpts().fontSize, 14);
    EXPECT_EQ(back.PrintOpts().roundsPerPage, 0);
}

TEST(PlayerUpdate, TextsEnterWithoutLineBreaks) {
    FileEvent event;
    ::Player ann;
    ann.firstName = "Ann";
    ann.lastName = "Baker";
    event.AddPlayer(ann, nullptr);
    ::Player chris;
    chris.firstName = "Chris";
    chris.lastName = "Doe";
    event.AddPlayer(chris, nullptr);

    ::Player update = ann;
    update.firstName = "Ch\r\nris";
    update.lastName = "D\noe";
    EXPECT_EQ(event.UpdatePlayer("Baker, Ann", update, nullptr), 8); // the same names once cleaned
    update.lastName = "Doe-\r\nSmith";
    update.email = "ann@\nclub.example";
    EXPECT_EQ(event.UpdatePlayer("Baker, Ann", update, nullptr), 0);
    EXPECT_EQ(event.PlayerDisplayName(1), "Doe-Smith, Chris");
    EXPECT_EQ(event.Player(1)->email, "ann@club.example");
}

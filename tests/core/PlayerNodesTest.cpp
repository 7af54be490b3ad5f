#include "tests/core/FileEvent.h"

#include <gtest/gtest.h>

namespace {

// Reads a player node holding these leaves into the record.
short Read(const std::vector<std::pair<std::string, std::string>>& leaves, ::Player& p) {
    Tree node("P");
    for (const auto& [name, value] : leaves)
        node.AddValue(name, value);
    return RXEvent::ReadPlayerNode(node, p);
}

} // namespace

TEST(PlayerNode, EveryTextIsHeldToItsLimitInCharacters) {
    const std::string keys = "flwhe3412cspy";
    for (std::size_t i = 0; i < keys.size(); ++i) {
        ::Player p;
        std::string text;
        for (int n = 0; n < kPlayerTextLimits[i]; ++n)
            text += "é";
        EXPECT_EQ(Read({{keys.substr(i, 1), text}}, p), 0) << keys[i];
        EXPECT_EQ(*PlayerTexts(p)[i], text) << keys[i];
        EXPECT_EQ(Read({{keys.substr(i, 1), text + "x"}}, p), 5) << keys[i];
    }
}

TEST(PlayerNode, ReadsIntoAClearedRecord) {
    ::Player p = Named("Left", "Over");
    p.partner.Set(::Player());
    EXPECT_EQ(Read({{"first", "Ann"}, // matched by its first character
                    {"l", "Bak\rer"}, // a carriage return inside a file line
                    {"n", " 12"},
                    {"z", "-3"},
                    {"t", "+2147483647"},
                    {"q", "unknown key"},
                    {"", "no name"},
                    {"g", "Female"}},
                   p),
              0);
    EXPECT_EQ(p.firstName + "|" + p.lastName + "|" + p.email, "Ann|Baker|");
    EXPECT_EQ(p.number, 12);
    EXPECT_EQ(p.wins, -3);
    EXPECT_EQ(p.points, 2147483647);
    EXPECT_EQ(p.gender, 'F');
    EXPECT_FALSE(p.partner);
    for (const auto& [value, gender] :
         std::vector<std::pair<std::string, char>>{{"", ' '}, {"M", 'M'}, {"é", ' '}}) {
        Read({{"g", value}}, p);
        EXPECT_EQ(p.gender, gender) << value; // never half a character
    }
}

TEST(PlayerNode, ACounterThatIsNoNumberIsBadData) {
    for (const char* key : {"n", "i", "z", "o", "x", "v", "t"})
        for (const char* value : {"3xyz", "many", "", "99999999999", "1.5", "0x10"}) {
            ::Player p;
            EXPECT_EQ(Read({{"f", "Ann"}, {key, value}}, p), 5) << key << "=" << value;
        }
}

TEST(PrintOptionsNode, ReadsRealsInTheCLocaleByFirstCharacter) {
    Tree t("T");
    t.AddValue("left", "0.1");
    t.AddValue("bottom", "2.5e-1");
    t.AddValue("r", "inf");
    t.AddValue("font", "+14pt");
    t.AddValue("u", "1,5"); // a decimal comma ends the number
    FileEvent event;
    event.ReadPrintOptions(t);
    EXPECT_FALSE(event.IsModified());
    const PrintOptions& read = event.PrintOpts();
    EXPECT_EQ(read.leftMargin, 0.1f);
    EXPECT_EQ(read.bottomMargin, 0.25f);
    EXPECT_EQ(read.rightMargin, 0.0f);
    EXPECT_EQ(read.fontSize, 14);
    EXPECT_EQ(read.roundsPerPage, 1);
}

TEST(PlayerUpdate, TextsEnterWithoutLineBreaks) {
    FileEvent event;
    event.AddPlayer(Named("Ann", "Baker"), nullptr);
    event.AddPlayer(Named("Chris", "Doe"), nullptr);
    ::Player update = Named("Ch\r\nris", "D\noe");
    EXPECT_EQ(event.UpdatePlayer("Baker, Ann", update, nullptr),
              rcDuplicateName); // the same names once clean
    update.lastName = "Doe-\r\nSmith";
    update.email = "ann@\nclub.example";
    EXPECT_EQ(event.UpdatePlayer("Baker, Ann", update, nullptr), rcOk);
    EXPECT_EQ(event.PlayerDisplayName(1), "Doe-Smith, Chris");
    EXPECT_EQ(event.Player(1)->email, "ann@club.example");
}

#include "tests/core/FileEvent.h"

#include <algorithm>
#include <gtest/gtest.h>
#include <vector>

namespace {

// An event kind that keeps its players in list order and records which
// numbers it was told were deleted.
class ListEvent : public FileEvent {
public:
    short PlayerDeleted(int number) override {
        deleted.push_back(number);
        return 0;
    }
    short CheckPlayersEditable() override { return editable; }

    void MarkSaved() { state = StateSaved; }
    std::vector<int> deleted;
    short editable = 0;
};

class PlayerOps : public testing::Test {
protected:
    void SetUp() override {
        event.AddPlayer(Named("Ann", "Baker"), nullptr);
        event.AddPlayer(Named("John", "Smith, Jr."), nullptr);
        event.AddPlayer(Named("", "Cher"), nullptr);
        ::Player partner = Named("Eve", "Partner");
        event.AddPlayer(Named("Dan", "Doubles"), &partner);
        event.MarkSaved();
    }
    std::vector<std::string> Names() const {
        std::vector<std::string> names;
        for (int i = 1; i <= event.PlayerCount(); ++i)
            names.push_back(event.PlayerDisplayName(i));
        return names;
    }
    ListEvent event;
};

} // namespace

TEST_F(PlayerOps, FindsByTheWholeDisplayName) {
    EXPECT_EQ(event.FindPlayerByName("Baker, Ann"), 1);
    // A last name holding ", " is found again.
    EXPECT_EQ(event.FindPlayerByName("Smith, Jr., John"), 2);
    EXPECT_EQ(event.FindPlayerByName("Smith"), 0);
    // Without a comma only a player with no first name is found.
    EXPECT_EQ(event.FindPlayerByName("Cher"), 3);
    EXPECT_EQ(event.FindPlayerByName("Cher, "), 3);
    EXPECT_EQ(event.FindPlayerByName("Baker"), 0);
    EXPECT_EQ(event.FindPlayerByName("baker, ann"), 0); // exact
    EXPECT_EQ(event.PlayerDisplayName(0), "");
    EXPECT_EQ(event.PlayerDisplayName(5), "");

    ::Player found;
    int number = 0;
    EXPECT_EQ(event.GetPlayerByName("Doubles, Dan", found, number), rcOk);
    EXPECT_EQ(number, 4);
    ASSERT_TRUE(found.partner);
    EXPECT_EQ(found.partner->firstName, "Eve");
    // The copy is the caller's own: changing it leaves the list alone.
    found.partner->firstName = "Changed";
    EXPECT_EQ(event.Player(4)->partner->firstName, "Eve");
    EXPECT_EQ(event.GetPlayerByName("Nobody, At All", found, number), rcNotFound);
    EXPECT_NE(ErrorLocation, "");
    ErrorLocation.clear();
}

TEST_F(PlayerOps, UpdateChecksNamesBeforeChangingAnything) {
    ::Player p = Named("Ann", "Baker");
    p.email = "ann@club.example";
    p.points = 12;
    p.wins = 99; // counters stay as they were
    EXPECT_EQ(event.UpdatePlayer("Baker, Ann", p, nullptr), rcOk);
    EXPECT_EQ(event.Player(1)->email, "ann@club.example");
    EXPECT_EQ(event.Player(1)->points, 12);
    EXPECT_EQ(event.Player(1)->wins, 0);
    EXPECT_TRUE(event.IsModified());

    event.MarkSaved();
    EXPECT_EQ(event.UpdatePlayer("Baker, Ann", Named("John", "Smith, Jr."), nullptr),
              rcDuplicateName);
    EXPECT_EQ(event.UpdatePlayer("Baker, Ann", Named("  ", ""), nullptr), rcNoName);
    EXPECT_EQ(event.UpdatePlayer("Nobody, X", Named("A", "B"), nullptr), rcNotFound);
    ErrorLocation.clear();
    // A partner for a player without one: nothing changes at all.
    ::Player partner = Named("New", "Partner");
    EXPECT_EQ(event.UpdatePlayer("Baker, Ann", Named("Anne", "Baker"), &partner), rcInternal);
    ErrorLocation.clear();
    EXPECT_EQ(event.Player(1)->firstName, "Ann");
    EXPECT_FALSE(event.IsModified());

    EXPECT_EQ(event.UpdatePlayer("Doubles, Dan", Named("Dan", "Doubles"), &partner), rcOk);
    EXPECT_EQ(event.Player(4)->partner->firstName, "New");
}

TEST_F(PlayerOps, DeleteAsksTheKindAndRenumbers) {
    event.editable = 200;
    EXPECT_EQ(event.DeletePlayer(1), rcDrawExists);
    EXPECT_EQ(event.PlayerCount(), 4);
    event.editable = 0;
    EXPECT_EQ(event.DeletePlayer(5), rcNotFound);
    ErrorLocation.clear();
    EXPECT_EQ(event.DeletePlayerByName("Smith, Jr., John"), rcOk);
    EXPECT_EQ(event.deleted, std::vector<int>{2});
    EXPECT_EQ(Names(), (std::vector<std::string>{"Baker, Ann", "Cher, ", "Doubles, Dan"}));
    EXPECT_TRUE(event.IsModified());
    EXPECT_EQ(event.Player(3)->partner->firstName, "Eve");
}

TEST_F(PlayerOps, MoveKeepsEveryPlayerAndPartnerOnce) {
    event.MovePlayer(1, 3);
    EXPECT_EQ(Names(), (std::vector<std::string>{"Smith, Jr., John", "Cher, ", "Baker, Ann",
                                                 "Doubles, Dan"}));
    event.MovePlayer(4, 1);
    EXPECT_EQ(event.PlayerDisplayName(1), "Doubles, Dan");
    EXPECT_EQ(event.Player(1)->partner->firstName, "Eve");
    event.MovePlayer(1, 99); // past the end: to the last place
    EXPECT_EQ(event.PlayerDisplayName(4), "Doubles, Dan");
    event.MovePlayer(0, 2); // no such player: nothing moves
    EXPECT_EQ(event.PlayerCount(), 4);
    EXPECT_FALSE(event.IsModified()); // the caller marks the change
}

TEST_F(PlayerOps, CountersClearAndPartners) {
    event.Player(1)->inactivity = -2;
    event.Player(2)->inactivity = 3;
    EXPECT_EQ(event.PlayerInactivity(1), 0);
    EXPECT_EQ(event.PlayerInactivity(2), 3);
    EXPECT_EQ(event.PlayerWins(9), 0);
    EXPECT_EQ(event.PlayerFirstName(1), "Ann");
    EXPECT_EQ(event.PlayerLastName(9), "");
    event.AttachPartner(1, Named("Pat", "Partner"));
    ASSERT_TRUE(event.Player(1)->partner);
    EXPECT_EQ(event.Player(1)->partner->lastName, "Partner");
    event.ClearPlayers();
    EXPECT_EQ(event.PlayerCount(), 0);
    EXPECT_EQ(event.Player(1), nullptr);
    EXPECT_TRUE(event.IsModified());

    ::Player record = Named("X", "Y");
    record.partner.Set(Named("P", "Q"));
    record.gender = 'F';
    RXEvent::ClearPlayerRecord(record);
    EXPECT_EQ(record.firstName, "");
    EXPECT_EQ(record.gender, ' ');
    EXPECT_FALSE(record.partner);
}

TEST_F(PlayerOps, EntriesSortByLastThenFirstNameBytewise) {
    CurrentEvent = &event;
    event.AddPlayer(Named("Zed", "baker"), nullptr); // lower case sorts after upper
    event.AddPlayer(Named("Al", "Baker"), nullptr);
    std::vector<PlayerSortEntry> entries = {{1, 0}, {2, 0}, {3, 0}, {4, 1}, {5, 0}, {6, 0}};
    std::sort(entries.begin(), entries.end(),
              [](const auto& a, const auto& b) { return ComparePlayerEntries(a, b) < 0; });
    std::vector<int> order;
    for (const auto& e : entries)
        order.push_back(e.number);
    // Al Baker, Ann Baker, Cher, Eve Partner (4's partner), Smith, baker.
    EXPECT_EQ(order, (std::vector<int>{6, 1, 3, 4, 2, 5}));
    EXPECT_EQ(ComparePlayerEntries({1, 0}, {1, 0}), 0);
    CurrentEvent = nullptr;
}

#include "tests/core/FileEvent.h"
#include "tests/support/Responders.h"
#include "tests/support/Scratch.h"

#include <gtest/gtest.h>

namespace {

class PlayerList : public testing::Test {
protected:
    // Imports these lines (joined with CR LF) into the event.
    short Import(FileEvent& event, const std::vector<std::string>& lines) {
        std::string bytes;
        for (const std::string& line : lines)
            bytes += line + "\r\n";
        WriteFile(folder.File("list.txt"), bytes);
        return event.ImportPlayers(folder.File("list.txt"));
    }
    static std::vector<std::string> Rows(int count) {
        std::vector<std::string> lines = {"First Name\tLast Name"};
        for (int i = 1; i <= count; ++i)
            lines.push_back("Player\t" + std::to_string(i));
        return lines;
    }
    TempFolder folder;
};

} // namespace

TEST_F(PlayerList, TwoLabelsFillTwoFields) {
    FileEvent event;
    EXPECT_EQ(Import(event, {"First Name\tLast Name", "Ann\tBaker", "Chris\tDoe\textra cell"}), 0);
    ASSERT_EQ(event.PlayerCount(), 2);
    EXPECT_EQ(event.PlayerDisplayName(1), "Baker, Ann");
    EXPECT_EQ(event.PlayerDisplayName(2), "Doe, Chris");
    const ::Player& p = *event.Player(2);
    EXPECT_EQ(p.email + p.workPhone + p.homePhone + p.other1 + p.other2, "");
    EXPECT_EQ(p.gender, ' ');
    EXPECT_TRUE(event.IsModified());
}

TEST_F(PlayerList, UnknownLabelsAreNamedAndRefused) {
    FileEvent event;
    event.AddPlayer(Named("Already", "There"), nullptr);
    BoxScript boxes;
    boxes.Expect("Warning", "The following column labels are not recognized:  Phone Nick Name ",
                 MB_OK | MB_ICONEXCLAMATION);
    EXPECT_EQ(Import(event, {"First Name\tPhone\tLast Name\tNick Name \t", "Ann\t1\tBaker\tA"}), 5);
    EXPECT_EQ(event.PlayerCount(), 0);
    EXPECT_EQ(event.Player(1), nullptr);
}

TEST_F(PlayerList, ImportStopsAtTheFirstRefusedRow) {
    FileEvent event;
    // No labels at all: every row has empty names.
    EXPECT_EQ(Import(event, {"", "Ann\tBaker"}), 9);
    EXPECT_EQ(event.PlayerCount(), 0);
    // The players before a refused row stay.
    EXPECT_EQ(Import(event, {"firstname\tlastname", "Ann\tBaker", "Chris\tDoe", "Ann\tBaker",
                             "Dana\tLee"}),
              8);
    EXPECT_EQ(event.PlayerCount(), 2);
    FileEvent other;
    EXPECT_EQ(other.ImportPlayers(folder.File("no such list.txt")), 1);
    EXPECT_FALSE(other.IsModified());
}

TEST_F(PlayerList, ThePlayerLimitEndsTheImport) {
    FileEvent exact;
    EXPECT_EQ(Import(exact, Rows(MaxPlayers)), 7); // even with no line left
    EXPECT_EQ(exact.PlayerCount(), MaxPlayers);
    FileEvent over;
    EXPECT_EQ(Import(over, Rows(MaxPlayers + 5)), 7);
    EXPECT_EQ(over.PlayerCount(), MaxPlayers);
    FileEvent under;
    EXPECT_EQ(Import(under, Rows(MaxPlayers - 1)), 0);

    // In doubles a pair of rows is one player.
    FileEvent doubles(true);
    std::vector<std::string> lines = Rows(2 * MaxPlayers);
    lines.push_back("One\tMore");
    EXPECT_EQ(Import(doubles, lines), 7);
    EXPECT_EQ(doubles.PlayerCount(), MaxPlayers);
    EXPECT_EQ(doubles.Player(MaxPlayers)->partner->lastName, std::to_string(2 * MaxPlayers));
}

TEST_F(PlayerList, ExportedDoublesImportAgain) {
    FileEvent ladder(true);
    ::Player p = Named("Zoë", "Lefèvre");
    p.workPhone = "555-0101";
    p.homePhone = "555-0102";
    p.email = "zoe@club.example";
    p.other1 = "court\t3";
    p.gender = 'F';
    ::Player partner = Named("Ann", "Baker");
    partner.other2 = "weekends";
    partner.gender = 'M';
    ladder.AddPlayer(p, &partner);
    ladder.AddPlayer(Named("Chris", "Doe"), nullptr); // a doubles player without a partner record
    ladder.AddPlayer(Named("Dana", "Lee"), &partner);
    const std::string path = folder.File("export.txt");
    ASSERT_TRUE(ladder.ExportPlayers(path));

    FileEvent back(true);
    EXPECT_EQ(back.ImportPlayers(path), 0);
    ASSERT_EQ(back.PlayerCount(), 3);
    const ::Player& first = *back.Player(1);
    EXPECT_EQ(first.firstName + "|" + first.lastName + "|" + first.workPhone + "|" +
                  first.homePhone + "|" + first.email + "|" + first.other1,
              "Zoë|Lefèvre|555-0101|555-0102|zoe@club.example|court 3");
    EXPECT_EQ(first.gender, 'F');
    ASSERT_TRUE(first.partner);
    EXPECT_EQ(first.partner->lastName, "Baker");
    EXPECT_EQ(first.partner->other2, "weekends");
    EXPECT_EQ(first.partner->gender, 'M');
    // The partner rows kept their pairs: the third player is still Dana's.
    EXPECT_EQ(back.PlayerDisplayName(3), "Lee, Dana");
    EXPECT_EQ(back.Player(3)->partner->firstName, "Ann");

    EXPECT_FALSE(ladder.ExportPlayers(folder.File("missing/export.txt")));
}

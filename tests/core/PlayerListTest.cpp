#include "tests/core/FileEvent.h"
#include "tests/support/Responders.h"
#include "tests/support/Scratch.h"

#include <gtest/gtest.h>

namespace {

class PlayerList : public testing::Test {
protected:
    // Imports the header and then these rows, each with a CR LF.
    short Import(FileEvent& event, const std::string& header,
                 const std::vector<std::string>& rows) {
        std::string bytes = header + "\r\n";
        for (const std::string& row : rows)
            bytes += row + "\r\n";
        WriteFile(folder.File("list.txt"), bytes);
        return event.ImportPlayers(folder.File("list.txt"));
    }
    static std::vector<std::string> Rows(int count) {
        std::vector<std::string> rows;
        for (int i = 1; i <= count; ++i)
            rows.push_back("Player\t" + std::to_string(i));
        return rows;
    }
    TempFolder folder;
};

} // namespace

TEST_F(PlayerList, UnknownLabelsAreNamedAndRefused) {
    FileEvent event;
    event.AddPlayer(Named("Already", "There"), nullptr);
    BoxScript boxes;
    boxes.Expect("Warning", "The following column labels are not recognized:  Phone Nick Name ",
                 MB_OK | MB_ICONEXCLAMATION);
    EXPECT_EQ(Import(event, "First Name\tPhone\tLast Name\tNick Name \t", {"Ann\t1\tBaker"}),
              rcBadData);
    EXPECT_EQ(event.PlayerCount(), 0);
}

TEST_F(PlayerList, ImportStopsAtTheFirstRefusedRow) {
    FileEvent event;
    EXPECT_EQ(Import(event, "", {"Ann\tBaker"}), rcNoName); // no labels: every name is empty
    EXPECT_EQ(Import(event, "firstname\tlastname", {"Ann\tBaker", "", "Chris\tDoe", "Ann\tBaker"}),
              8);
    EXPECT_EQ(event.PlayerCount(), 2); // the players before it stay
    EXPECT_EQ(event.PlayerDisplayName(2), "Doe, Chris");
    FileEvent other;
    EXPECT_EQ(other.ImportPlayers(folder.File("no such list.txt")), rcCannotOpen);
    EXPECT_FALSE(other.IsModified());
}

TEST_F(PlayerList, ThePlayerLimitEndsTheImport) {
    for (const int rows : {MaxPlayers - 1, MaxPlayers, MaxPlayers + 5}) {
        FileEvent event;
        // The limit gives 7 even when no line is left after it.
        EXPECT_EQ(Import(event, "First Name\tLast Name", Rows(rows)), rows < MaxPlayers ? 0 : 7);
        EXPECT_EQ(event.PlayerCount(), std::min(rows, MaxPlayers));
    }
    FileEvent doubles(true); // a pair of rows is one player
    EXPECT_EQ(Import(doubles, "First Name\tLast Name", Rows(2 * MaxPlayers + 2)), rcPlayerLimit);
    EXPECT_EQ(doubles.Player(MaxPlayers)->partner->lastName, std::to_string(2 * MaxPlayers));
}

TEST_F(PlayerList, ExportedDoublesImportAgain) {
    FileEvent ladder(true);
    ::Player p = Named("Zoë", "Lefèvre");
    p.workPhone = "555-0101";
    p.email = "zoe@club.example";
    p.other1 = "court\t3";
    p.gender = 'F';
    ::Player partner = Named("Ann", "Baker");
    partner.gender = 'M';
    ladder.AddPlayer(p, &partner);
    ladder.AddPlayer(Named("Chris", "Doe"), nullptr); // no partner record
    ladder.AddPlayer(Named("Dana", "Lee"), &partner);
    ASSERT_TRUE(ladder.ExportPlayers(folder.File("export.txt")));
    EXPECT_FALSE(ladder.ExportPlayers(folder.File("missing/export.txt")));

    FileEvent back(true);
    EXPECT_EQ(back.ImportPlayers(folder.File("export.txt")), rcOk);
    ASSERT_EQ(back.PlayerCount(), 3);
    const ::Player& first = *back.Player(1);
    EXPECT_EQ(first.firstName + "|" + first.lastName + "|" + first.workPhone + "|" + first.email +
                  "|" + first.other1 + "|" + first.gender + first.partner->gender,
              "Zoë|Lefèvre|555-0101|zoe@club.example|court 3|FM");
    // Every doubles player has its partner row, so the pairs stay as they were.
    EXPECT_EQ(back.Player(3)->firstName + back.Player(3)->partner->firstName, "DanaAnn");
}

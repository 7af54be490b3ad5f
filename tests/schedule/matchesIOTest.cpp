// Match plan files beyond the golden cases: what a load refuses, with its
// code, in the tree form and the older line form; and over seeded random
// plans, that every file the plan writes opens again into the same plan and
// saves the same bytes.
#include "tests/support/Responders.h"
#include "tests/support/Scratch.h"
#include "unified/schedule/Matches.h"

#include <filesystem>
#include <gtest/gtest.h>
#include <iostream>
#include <random>
#include <string>
#include <vector>

namespace {

std::string Lines(const std::vector<std::string>& lines) {
    std::string text;
    for (const std::string& line : lines)
        text += line + "\r\n";
    return text;
}

// Three players on a doubles and a singles court for two rounds.
const std::string kTree = Lines(
    {"Matches{", " v=*2.1",  " a=0",  " o=65527", " p=100",    " y=2",   " c=2",     " r=2",
     " h=Head",  " u=3",     " C{",   "  c=D",    "  c=S",     " }",     " R{",      "  r=One",
     "  r=Two",  " }",       " P{",   "  f=Ann",  "  l=Baker", "  g=F",  " }",       " P{",
     "  f=Bob",  "  l=Cole", "  g=M", " }",       " P{",       "  f=Cy", "  l=Dunn", "  g=M",
     " }",       " M{",      "  1=1", "  2=2",    "  3=3",     "  4=0",  " }",       " M{",
     "  1=0",    "  2=0",    "  3=0", "  4=0",    " }",        " M{",    "  1=3",    "  2=0",
     "  3=1",    "  4=0",    " }",    " M{",      "  1=2",     "  2=0",  "  3=0",    "  4=0",
     " }",       "}"});

// The same kind of plan in the older line form.
const std::string kLines =
    Lines({"*1.0",       "65271 100 2", "Head",    "",    "",        "",       "",
           "",           "DS",          "2",       "One", "Two",     "3",      "F/Ann/Baker",
           "M/Bob/Cole", "M/Cy/Dunn",   "1 2 3 0", "",    "3 0 1 0", "2 0 0 0"});

// The base text with the first occurrence of `from` replaced by `to`.
std::string Edit(const std::string& base, const std::string& from, const std::string& to) {
    const std::size_t at = base.find(from);
    EXPECT_NE(at, std::string::npos) << from;
    std::string text = base;
    if (at != std::string::npos) text.replace(at, from.size(), to);
    return text;
}

struct LoadCase {
    const char* name;
    std::string text;
    short code;
};

std::vector<LoadCase> Cases() {
    const std::string m = "\r\n M{\r\n  1=0\r\n }";
    const std::string r = "\r\n R{\r\n  r=Early\r\n }";
    const std::string c = "\r\n C{\r\n  c=D\r\n  c=D\r\n }";
    const std::string mixed = "\r\n o=" + std::to_string(DefaultPlanOptions | StrictlyMixed);
    return {
        {"tree as written", kTree, rcOk},
        {"tree of another version", Edit(kTree, "v=*2.1", "v=*2.0"), rcBadData},
        {"tree without a version", Edit(kTree, " v=*2.1\r\n", ""), rcBadData},
        {"blank after the brace", Edit(kTree, "Matches{", "Matches{ "), rcBadData},
        {"another root", Edit(kTree, "Matches{", "Ladder{"), rcBadData},
        {"tree that does not parse", Edit(kTree, " h=Head", " Head"), rcInternal},
        {"courts 256", Edit(kTree, " c=2\r\n", " c=256\r\n"), rcBadData},
        {"courts negative", Edit(kTree, " c=2\r\n", " c=-1\r\n"), rcBadData},
        {"courts no number", Edit(kTree, " c=2\r\n", " c=two\r\n"), rcBadData},
        {"rounds 100", Edit(kTree, " r=2\r\n", " r=100\r\n"), rcBadData},
        {"rounds negative", Edit(kTree, " r=2\r\n", " r=-3\r\n"), rcBadData},
        {"heading of 60", Edit(kTree, "h=Head", "h=" + std::string(60, 'h')), rcOk},
        {"heading of 61", Edit(kTree, "h=Head", "h=" + std::string(61, 'h')), rcBadData},
        {"note of 61", Edit(kTree, " h=Head", " n3=" + std::string(61, 'n')), rcBadData},
        {"box node before the counts", Edit(kTree, " v=*2.1", " v=*2.1" + m), rcBadData},
        {"court count after the boxes", Edit(kTree, "\r\n}\r\n", "\r\n c=2\r\n}\r\n"), rcBadData},
        {"round count after the notations", Edit(kTree, "  r=Two\r\n }", "  r=Two\r\n }\r\n r=2"),
         rcBadData},
        {"type node before the court count", Edit(kTree, " v=*2.1", " v=*2.1" + c), rcBadData},
        {"type node shorter than the courts", Edit(kTree, "  c=S\r\n", ""), rcBadData},
        {"type node without types", Edit(kTree, " C{\r\n  c=D\r\n  c=S\r\n }\r\n", ""), rcOk},
        {"court type X", Edit(kTree, "  c=S", "  c=X"), rcBadData},
        {"notation node before the round count", Edit(kTree, " v=*2.1", " v=*2.1" + r), rcBadData},
        {"player count above the players", Edit(kTree, " u=3", " u=4"), rcBadData},
        {"player count below the players", Edit(kTree, " u=3", " u=2"), rcBadData},
        {"player count 801", Edit(kTree, " u=3", " u=801"), rcBadData},
        {"player count after the boxes",
         Edit(Edit(Edit(kTree, " u=3", " u=6"), "  4=0", "  4=6"), "\r\n}\r\n",
              "\r\n u=3\r\n}\r\n"),
         rcBadData},
        {"no players",
         Lines({"Matches{", " v=*2.1", " c=1", " r=1", " u=0", " C{", "  c=D", " }", " M{", "  1=0",
                " }", "}"}),
         rcBadData},
        {"first name of 31", Edit(kTree, "f=Ann", "f=" + std::string(31, 'f')), rcBadData},
        {"partner before any player", Edit(kTree, " u=3", " A{\r\n  f=Zed\r\n }\r\n u=3"), rcOk},
        {"player twice in a round", Edit(kTree, "  2=2", "  2=1"), rcBadData},
        {"player above the count", Edit(kTree, "  2=2", "  2=4"), rcBadData},
        {"position 5", Edit(kTree, "  4=0", "  5=0"), rcBadData},
        {"position no number", Edit(kTree, "  4=0", "  x=0"), rcBadData},
        {"more boxes than the grid", Edit(kTree, "\r\n}\r\n", m + "\r\n}\r\n"), rcBadData},
        // A full box of two men against a man and a woman while the plan is
        // strictly mixed: shuffles and gender edits leave such boxes.
        {"unmixed box of a strictly mixed plan",
         Edit(Edit(Edit(Edit(kTree, " o=65527", mixed.substr(2)), " u=3", " u=4"), " M{",
                   " P{\r\n  f=Di\r\n  l=Eck\r\n  g=M\r\n }\r\n M{"),
              "  4=0", "  4=4"),
         rcOk},
        {"line form as written", kLines, rcOk},
        {"line form options no number", Edit(kLines, "65271 100 2", "x 100 2"), rcBadData},
        {"line form court type X", Edit(kLines, "\r\nDS\r\n", "\r\nDX\r\n"), rcBadData},
        // Past 255 characters the court line is not read.
        {"line form court line past 255",
         Lines({"*1.0", "0 0 0", "", "", "", "", "", "", std::string(255, 'D') + "X", "1", "", "1",
                "M/A/B"}),
         rcOk},
        {"line form court X within 255",
         Lines({"*1.0", "0 0 0", "", "", "", "", "", "", std::string(254, 'D') + "X", "1", "", "1",
                "M/A/B"}),
         rcBadData},
        {"line form rounds negative", Edit(kLines, "\r\n2\r\nOne", "\r\n-1\r\nOne"), rcBadData},
        {"line form rounds 100", Edit(kLines, "\r\n2\r\nOne", "\r\n100\r\nOne"), rcBadData},
        {"line form players negative", Edit(kLines, "\r\n3\r\nF/", "\r\n-3\r\nF/"), rcBadData},
        {"line form no players", Edit(kLines, "\r\n3\r\nF/", "\r\n0\r\nF/"), rcBadData},
        {"line form players 801", Edit(kLines, "\r\n3\r\nF/", "\r\n801\r\nF/"), rcBadData},
        {"line form gender x", Edit(kLines, "M/Bob", "x/Bob"), rcBadData},
        {"line form blank gender", Edit(kLines, "M/Bob", " /Bob"), rcOk},
        {"line form blank gender required", Edit(Edit(kLines, "M/Bob", " /Bob"), "65271", "65527"),
         rcGenderMissing},
        {"line form empty player line", Edit(kLines, "M/Bob/Cole", ""), rcEmptyLine},
        {"line form ends in the players",
         Lines({"*1.0", "0 0 0", "", "", "", "", "", "", "D", "1", "", "3", "M/A/B"}), rcNotFound},
        {"line form one delimiter", Edit(kLines, "M/Bob/Cole", "M/BobCole"), rcBadData},
        {"line form first name of 31",
         Edit(kLines, "M/Bob/Cole", "M/" + std::string(31, 'b') + "/C"), rcBadData},
        {"line form player twice in a round", Edit(kLines, "1 2 3 0", "1 2 1 0"), rcBadData},
        {"line form player above the count", Edit(kLines, "1 2 3 0", "1 2 4 0"), rcBadData},
        {"line form unmixed box of a strictly mixed plan",
         Edit(Edit(Edit(kLines, "65271", std::to_string(65271 | StrictlyMixed)), "\r\n3\r\nF/",
                   "\r\n4\r\nF/"),
              "M/Cy/Dunn\r\n1 2 3 0", "M/Cy/Dunn\r\nM/Di/Eck\r\n1 2 3 4"),
         rcOk},
        {"neither form", "Matches\r\n", rcBadData},
    };
}

TEST(PlanLoad, RefusesEachFaultWithItsCode) {
    TempFolder scratch;
    for (const LoadCase& test : Cases()) {
        SCOPED_TRACE(test.name);
        WriteFile(scratch.File("in.rxd"), test.text);
        Matches plan;
        const short code = plan.Load(scratch.File("in.rxd"));
        EXPECT_EQ(code, test.code);
        if (code == rcOk) {
            // Whatever loads saves and opens again.
            EXPECT_EQ(plan.State(), StateSaved);
            ASSERT_TRUE(plan.Save(scratch.File("out.rxd")));
            Matches again;
            EXPECT_EQ(again.Load(scratch.File("out.rxd")), rcOk);
        } else {
            EXPECT_NE(plan.State(), StateSaved);
            EXPECT_LE(plan.PlayerCount(), 3);
        }
    }
}

TEST(PlanLoad, MissingFileGivesCannotOpen) {
    Matches plan;
    EXPECT_EQ(plan.Load("/nonexistent/plan.rxd"), rcCannotOpen);
}

TEST(PlanLoad, UnknownChildIsShownAndPassedOver) {
    TempFolder scratch;
    WriteFile(scratch.File("in.rxd"), Edit(kTree, " h=Head", " zebra=1\r\n h=Head"));
    BoxScript boxes;
    boxes.Expect("Debugging", "ERROR:  ignoring input z", MB_OK | MB_ICONEXCLAMATION);
    Matches plan;
    EXPECT_EQ(plan.Load(scratch.File("in.rxd")), rcOk);
    EXPECT_EQ(plan.Heading(), "Head");
}

// The plan has no contact list of the older kind: the call only says so.
TEST(PlanExport, OlderContactListIsNotWritten) {
    TempFolder scratch;
    BoxScript boxes;
    boxes.Expect("Debugging", "exportPlayersVer1 !!", MB_OK | MB_ICONEXCLAMATION);
    Matches plan;
    EXPECT_FALSE(plan.ExportPlayersVer1(scratch.File("contacts.txt")));
    EXPECT_FALSE(std::filesystem::exists(scratch.File("contacts.txt")));
}

TEST(PlanLoad, LineFormFillsWhatItHolds) {
    TempFolder scratch;
    WriteFile(scratch.File("in.rxd"), Edit(kLines, "M/Bob", " /Bob"));
    Matches plan;
    ASSERT_EQ(plan.Load(scratch.File("in.rxd")), rcOk);
    EXPECT_EQ(plan.CourtCount(), 2);
    EXPECT_EQ(plan.CourtType(2), 'S');
    EXPECT_EQ(plan.RoundCount(), 2);
    EXPECT_EQ(plan.RoundName(2), "Two");
    EXPECT_EQ(plan.PlayerCount(), 3);
    EXPECT_EQ(plan.Player(2)->gender, ' ');
    EXPECT_EQ(plan.Player(3)->lastName, "Dunn");
    EXPECT_EQ(plan.GetSlot(1, 1, 3), 3);
    EXPECT_EQ(plan.GetSlot(2, 1, 3), 1);
    EXPECT_EQ(plan.GetSlot(2, 2, 1), 2);
    EXPECT_EQ(plan.Options(), 65271u);
}

// A random plan as the program may hold it: courts of either type, rounds
// whose notations and notes are empty here and there, players of any gender
// (some with partners and names outside ASCII), any option word, and boxes
// filled through the checked write, so that what the model allows is kept.
void RandomPlan(std::mt19937& random, Matches& plan) {
    const auto pick = [&random](int least, int most) {
        return std::uniform_int_distribution<int>(least, most)(random);
    };
    const char* const words[] = {"", "", "Mon", "Tue 9:00", "Zoë", "Court fees", "x"};
    const auto word = [&] { return std::string(words[pick(0, 6)]); };

    const int courts = pick(1, 6);
    std::string types = " ";
    for (int c = 1; c <= courts; ++c)
        types += pick(0, 1) != 0 ? 'D' : 'S';
    ASSERT_TRUE(plan.SetCourtTypes(courts, types.c_str()));
    const int rounds = pick(1, 8);
    std::vector<std::string> notations(static_cast<std::size_t>(rounds) + 1);
    for (int r = 1; r <= rounds; ++r)
        notations[r] = word();
    ASSERT_TRUE(plan.SetRounds(rounds, notations.data()));
    plan.SetHeading(word());
    for (int n = 1; n <= 5; ++n)
        plan.SetNote(n, word());
    plan.SetEmailSubject(word());
    plan.ClearOptions(~0u);
    plan.SetOptions(static_cast<std::uint32_t>(random()));
    plan.SetScheduleType(pick(0, 1) != 0 ? stMixer : stLeague);
    plan.SetDisparityThreshold(pick(-100, 1000));
    plan.SetDiversityLimit(pick(-5, 50));

    const int players = pick(1, 16);
    const char genders[] = {'M', 'F', ' '};
    for (int p = 1; p <= players; ++p) {
        ::Player player;
        player.firstName = word() + std::to_string(p);
        player.lastName = word();
        player.email = pick(0, 3) == 0 ? "p" + std::to_string(p) + "@example.org" : "";
        player.gender = genders[pick(0, 2)];
        ::Player partner;
        partner.firstName = "Partner";
        partner.lastName = word();
        partner.gender = genders[pick(0, 2)];
        ASSERT_EQ(plan.AddPlayer(player, pick(0, 3) == 0 ? &partner : nullptr), rcOk);
    }
    for (int r = 1; r <= rounds; ++r)
        for (int c = 1; c <= courts; ++c)
            for (int p = 1; p <= 4; ++p) {
                if (plan.CourtType(c) == 'S' && p % 2 == 0) continue;
                if (pick(0, 3) == 0) continue;
                plan.SetSlot(r, c, p, pick(1, players)); // a refused write leaves the box
            }
}

void ExpectSamePlan(const Matches& a, const Matches& b) {
    EXPECT_EQ(a.CourtCount(), b.CourtCount());
    for (int c = 1; c <= a.CourtCount(); ++c)
        EXPECT_EQ(a.CourtType(c), b.CourtType(c)) << c;
    ASSERT_EQ(a.RoundCount(), b.RoundCount());
    for (int r = 1; r <= a.RoundCount(); ++r) {
        EXPECT_EQ(a.RoundName(r), b.RoundName(r)) << r;
        for (int c = 1; c <= a.CourtCount(); ++c)
            for (int p = 1; p <= 4; ++p)
                EXPECT_EQ(a.GetSlot(r, c, p), b.GetSlot(r, c, p)) << r << "/" << c << "/" << p;
    }
    ASSERT_EQ(a.PlayerCount(), b.PlayerCount());
    for (int p = 1; p <= a.PlayerCount(); ++p) {
        const ::Player& x = *a.Player(p);
        const ::Player& y = *b.Player(p);
        EXPECT_EQ(x.firstName, y.firstName);
        EXPECT_EQ(x.lastName, y.lastName);
        EXPECT_EQ(x.email, y.email);
        EXPECT_EQ(x.gender, y.gender);
        ASSERT_EQ(static_cast<bool>(x.partner), static_cast<bool>(y.partner)) << p;
        if (x.partner) {
            EXPECT_EQ(x.partner->lastName, y.partner->lastName);
            EXPECT_EQ(x.partner->gender, y.partner->gender);
        }
    }
    EXPECT_EQ(a.Options(), b.Options());
    EXPECT_EQ(a.ScheduleType(), b.ScheduleType());
    EXPECT_EQ(a.DisparityThreshold(), b.DisparityThreshold());
    EXPECT_EQ(a.DiversityLimit(), b.DiversityLimit());
    EXPECT_EQ(a.Heading(), b.Heading());
    for (int n = 1; n <= 5; ++n)
        EXPECT_EQ(a.Note(n), b.Note(n)) << n;
    EXPECT_EQ(a.EmailSubject(), b.EmailSubject());
}

TEST(PlanFileProperty, RandomPlansOpenAgainUnchanged) {
    const unsigned seed = std::random_device()();
    std::cout << "seed " << seed << "\n";
    SCOPED_TRACE("seed " + std::to_string(seed));
    std::mt19937 random(seed);
    TempFolder scratch;
    for (int i = 0; i < 200; ++i) {
        SCOPED_TRACE(i);
        Matches plan;
        RandomPlan(random, plan);
        if (HasFatalFailure()) return;
        ASSERT_TRUE(plan.Save(scratch.File("plan.rxd")));
        EXPECT_EQ(plan.State(), StateSaved);
        Matches again;
        ASSERT_EQ(again.Load(scratch.File("plan.rxd")), rcOk);
        ExpectSamePlan(plan, again);
        ASSERT_TRUE(again.Save(scratch.File("again.rxd")));
        ASSERT_EQ(ReadFile(scratch.File("again.rxd")), ReadFile(scratch.File("plan.rxd")));
    }
}

} // namespace

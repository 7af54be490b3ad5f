// Ladder files beyond the golden cases: what a load refuses and what it
// keeps then, the limits, the online text form, and saves that fail.
#include "tests/ladder/LadderPlayers.h"
#include "tests/ladder/OnlineForm.h"
#include "tests/support/Scratch.h"
#include "unified/ladder/Ladder.h"

#include <algorithm>
#include <filesystem>
#include <gtest/gtest.h>
#include <limits>
#include <string>
#include <vector>

namespace {

std::string Lines(const std::vector<std::string>& lines) {
    std::string text;
    for (const std::string& line : lines)
        text += line + "\r\n";
    return text;
}

// A tree file: the version leaf, players 1 and 2, a result between them,
// then the case's own lines.
std::string TreeFile(const std::vector<std::string>& extra, const std::string& version = "*2.1") {
    std::vector<std::string> lines = {"Ladder{"};
    if (!version.empty()) lines.push_back(" v=" + version);
    for (const char* line :
         {" P{", "  f=Ann", "  l=Baker", "  n=1", " }", " P{", "  f=Bob", "  l=Cole", "  n=2", " }",
          " R{", "  s=6-1", "  d=20090101", "  w=2", "  l=1", "  i=-1", " }"})
        lines.push_back(line);
    lines.insert(lines.end(), extra.begin(), extra.end());
    lines.push_back("}");
    return Lines(lines);
}

// A "*2.0" file: two players and a result, and each part a case may change.
struct OlderFile {
    std::string options = "S 0 25 5 4";
    std::string issue = "1";
    std::string count = "3";
    std::string third = "/3/Cy/Dunn////////// 0 0 0 3 0 0";
    std::string result = "/6-2/ 20090102 3 1 -1";
    bool endsAfterPlayers = false;

    std::string Text() const {
        std::vector<std::string> lines = {"*2.0",
                                          options,
                                          issue,
                                          "Heading",
                                          "",
                                          "",
                                          "",
                                          "",
                                          "",
                                          count,
                                          "/1/Ann/Baker////////// 0 0 0 1 0 0",
                                          "/2/Bob/Cole////////// 0 0 0 2 0 0",
                                          third};
        if (!endsAfterPlayers) lines.insert(lines.end(), {"/6-1/ 20090101 2 1 -1", result});
        return Lines(lines);
    }
};

// After any load, the next player added gets an id that no player and no
// result holds yet.
void ExpectNextIdIsNew(Ladder& ladder) {
    int highest = 0;
    for (int p = 1; p <= ladder.PlayerCount(); ++p)
        highest = std::max(highest, ladder.Player(p)->number);
    for (int n = 1; n <= ladder.ResultCount(); ++n) {
        const LResult& r = *ladder.Result(n);
        highest = std::max({highest, r.winner, r.loser, r.winnerPartner, r.loserPartner});
    }
    ASSERT_EQ(ladder.AddPlayer(Named("New", "Comer"), nullptr), rcOk);
    EXPECT_EQ(ladder.Player(ladder.PlayerCount())->number, highest + 1);
}

class LadderLoad : public testing::Test {
protected:
    short Load(const std::string& bytes) {
        WriteFile(scratch.File("in.lad"), bytes);
        return ladder.Load(scratch.File("in.lad"));
    }
    void TearDown() override { ErrorLocation.clear(); }
    TempFolder scratch;
    Ladder ladder;
};

} // namespace

TEST_F(LadderLoad, FirstLineChoosesTheForm) {
    EXPECT_EQ(ladder.Load(scratch.File("missing.lad")), rcCannotOpen);
    EXPECT_EQ(ladder.Load(scratch.Path()), rcCannotOpen); // a folder reads as no file
    EXPECT_EQ(Load(""), rcBadData);
    EXPECT_EQ(Load("Tournament{\r\n v=*2.1\r\n}\r\n"), rcBadData);
    EXPECT_EQ(Load("*2.0 \r\nS 0 25 5 4\r\n"), rcBadData); // compared exactly
    EXPECT_EQ(Load("Ladder{\r\n v=*2.1\r\n no value\r\n}\r\n"), rcInternal);
    EXPECT_NE(ErrorLocation.find("ladderIO"), std::string::npos);
    EXPECT_EQ(Load("Ladder{\n v=*2.1\n P{\n  f=Ann\n  n=1\n }\n}\n"), rcOk); // line feeds alone
    EXPECT_EQ(ladder.PlayerCount(), 1);
}

TEST_F(LadderLoad, TreeRefusesBadDataAndKeepsWhatWasRead) {
    struct Case {
        const char* what;
        std::vector<std::string> extra;
        std::string version;
        short code;
        int players;
    };
    const std::string sixty(60, 'h');
    const Case cases[] = {
        {"texts at their limits",
         {" h=" + sixty, " n=" + sixty, " j=" + sixty, " R{", "  m=800", "  p=0", " }"},
         "*2.1",
         0,
         2},
        {"no version, read to the end", {" P{", "  l=Dunn", "  n=3", " }"}, "", 5, 3},
        {"an older version", {}, "*2.0", 5, 2},
        {"a heading over 60 characters", {" h=" + sixty + "h"}, "*2.1", 5, 2},
        {"a note over 60 characters", {" n=" + sixty + "\xC3\xA9"}, "*2.1", 5, 2},
        {"a subject over 60 characters", {" j=" + std::string(9996, 'j')}, "*2.1", 5, 2},
        {"a position over 3 characters", {" R{", "  o=1000", " }"}, "*2.1", 5, 2},
        {"a player without an id", {" P{", "  l=Dunn", " }"}, "*2.1", 5, 2},
        {"a player id past the map", {" P{", "  l=Dunn", "  n=801", " }"}, "*2.1", 5, 2},
        {"two players with one id", {" P{", "  l=Dunn", "  n=2", " }"}, "*2.1", 5, 2},
        {"a player text over its limit",
         {" P{", "  f=" + std::string(31, 'f'), "  n=3", " }"},
         "*2.1",
         5,
         2},
        {"a result id past the map", {" R{", "  w=801", "  l=1", " }"}, "*2.1", 5, 2},
        {"a result id below 0", {" R{", "  w=1", "  l=2", "  z=-1", " }"}, "*2.1", 5, 2},
        {"a score over 50 characters", {" R{", "  s=" + std::string(51, '6'), " }"}, "*2.1", 5, 2},
        {"a date over 10 characters", {" R{", "  d=20090101000", " }"}, "*2.1", 5, 2},
        {"a flag that is no number", {" o=all"}, "*2.1", 5, 2},
        {"a number past the integer range", {" i=99999999999"}, "*2.1", 5, 2},
        {"a number with more after it", {" r=12x"}, "*2.1", 5, 2},
        {"a real that is no number", {" M{", "  p=half", " }"}, "*2.1", 5, 2},
        {"a real past the 32-bit range", {" M{", "  m=1e39", " }"}, "*2.1", 5, 2},
        {"a result id that is no number", {" R{", "  w=two", " }"}, "*2.1", 5, 2},
        {"an issue number with no room to count up", {" i=2147483647"}, "*2.1", 5, 2},
        {"a negative issue number", {" i=-2"}, "*2.1", 5, 2},
        {"a result's issue past any issue",
         {" R{", "  w=1", "  l=2", "  i=2147483647", " }"},
         "*2.1",
         5,
         2},
        {"a player counter that is no number",
         {" P{", "  l=Dunn", "  n=3", "  z=many", " }"},
         "*2.1",
         5,
         2},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        Ladder fresh;
        WriteFile(scratch.File("in.lad"), TreeFile(c.extra, c.version));
        EXPECT_EQ(fresh.Load(scratch.File("in.lad")), c.code);
        EXPECT_EQ(fresh.PlayerCount(), c.players);
        EXPECT_EQ(fresh.State(), c.code == rcOk ? StateSaved : StateClean);
        for (int p = 1; p <= fresh.PlayerCount(); ++p)
            EXPECT_EQ(fresh.PositionOfId(fresh.Player(p)->number), p);
        ExpectNextIdIsNew(fresh);
    }
}

TEST_F(LadderLoad, OlderFormsRefuseBadLinesAndKeepWhatWasRead) {
    struct Case {
        const char* what;
        OlderFile file;
        short code;
        int players;
        int results;
    };
    const std::string thirty(30, 'n');
    const Case cases[] = {
        {"the file as it stands", {}, 0, 3, 2},
        {"an options line short of numbers", {.options = "S 0 25"}, 5, 0, 0},
        {"an issue that is no number", {.issue = "first"}, 5, 0, 0},
        {"a player count that is no number", {.count = "three"}, 5, 0, 0},
        {"a first name over 30 characters",
         {.third = "/3/" + thirty + "n/Dunn////////// 0 0 0 3 0 0"},
         5,
         2,
         0},
        {"an id past 800", {.third = "/801/Cy/Dunn////////// 0 0 0 3 0 0"}, 5, 2, 0},
        {"an id that is no number", {.third = "/3a/Cy/Dunn////////// 0 0 0 3 0 0"}, 5, 2, 0},
        {"two players with one id", {.third = "/2/Cy/Dunn////////// 0 0 0 3 0 0"}, 5, 2, 0},
        {"a line that ends before its fields", {.third = "/3/Cy/Dunn//////"}, 5, 2, 0},
        {"a number missing", {.third = "/3/Cy/Dunn////////// 0 0 0 3 0"}, 5, 2, 0},
        {"a number that is no number", {.third = "/3/Cy/Dunn////////// 0 0 zero 3 0 0"}, 5, 2, 0},
        {"an empty player line", {.third = ""}, 3, 2, 0},
        {"a player line too long to read",
         {.third = "/3/Cy/Dunn////////// 0 0 0 3 0 0 " + std::string(970, ' ')},
         400,
         2,
         0},
        {"the file ending before its players", {.count = "4", .endsAfterPlayers = true}, 400, 3, 0},
        {"a score without its closing separator", {.result = "/6-2 20090102 3 1 -1"}, 5, 3, 1},
        {"a score over 50 characters",
         {.result = "/" + std::string(51, '6') + "/ 20090102 3 1 -1"},
         5,
         3,
         1},
        {"three values after the score", {.result = "/6-2/ 20090102 3 1"}, 5, 3, 1},
        {"a date over 10 characters", {.result = "/6-2/ 2009010200000 3 1 -1"}, 5, 3, 1},
        {"a result issue that is no number", {.result = "/6-2/ 20090102 3 1 next"}, 5, 3, 1},
        {"a winner id past 800", {.result = "/6-2/ 20090102 801 1 -1"}, 5, 3, 1},
        {"values past the 80th character",
         {.result = "/6-2/" + std::string(70, ' ') + "20090102 3 1 -1"},
         5,
         3,
         1},
        {"a deleted player's id", {.result = "/6-2/ 20090102 799 1 -1"}, 0, 3, 2},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        Ladder fresh;
        WriteFile(scratch.File("in.lad"), c.file.Text());
        ErrorLocation.clear();
        EXPECT_EQ(fresh.Load(scratch.File("in.lad")), c.code);
        EXPECT_EQ(fresh.PlayerCount(), c.players);
        EXPECT_EQ(fresh.ResultCount(), c.results);
        EXPECT_EQ(ErrorLocation.empty(), c.code != rcNotFound);
        for (int p = 1; p <= fresh.PlayerCount(); ++p)
            EXPECT_EQ(fresh.PositionOfId(fresh.Player(p)->number), p);
        ExpectNextIdIsNew(fresh);
    }
}

// A real that rounds to a finite float reads as that float: the largest
// floats, as the writer puts them, open again.
TEST_F(LadderLoad, RealsReadAsTheFloatTheyRoundTo) {
    const float kMax = std::numeric_limits<float>::max();
    const float kTiny = std::numeric_limits<float>::denorm_min();
    const std::vector<std::pair<std::string, float>> read = {
        {"3.40282346638529e+38", kMax},
        {"-3.40282346638529e+38", -kMax},
        {"3.4028235677973e+38", kMax},
        {"1.40129846432482e-45", kTiny},
        {"1e-50", 0.0f},
        {"0.1", 0.1f},
    };
    for (const auto& [text, value] : read) {
        ASSERT_EQ(Load(TreeFile({" M{", "  p=" + text, " }"})), rcOk) << text;
        EXPECT_EQ(ladder.PerPosAdvanced(), value) << text;
    }
    for (const char* text : {"3.4028236e+38", "1e39", "inf", "nan", "1e-400"})
        EXPECT_EQ(Load(TreeFile({" M{", std::string("  t=") + text, " }"})), rcBadData) << text;

    ladder.SetPointsOptions(0, 0, 0, 0, kMax, -kMax, kTiny);
    ASSERT_TRUE(ladder.Save(scratch.File("saved.lad")));
    Ladder back;
    ASSERT_EQ(back.Load(scratch.File("saved.lad")), rcOk);
    EXPECT_EQ(back.PerPosAdvanced(), kMax);
    EXPECT_EQ(back.PerPctAdvanced(), -kMax);
    EXPECT_EQ(back.PerScoreMargin(), kTiny);
    ASSERT_TRUE(back.Save(scratch.File("again.lad")));
    EXPECT_EQ(ReadFile(scratch.File("again.lad")), ReadFile(scratch.File("saved.lad")));
}

// The older forms take only a type the tree form keeps; any other reads as
// singles, so that the tree saved from them saves the same again.
TEST_F(LadderLoad, OlderFormsTakeOnlyATypeTheTreeKeeps) {
    const std::vector<std::pair<std::string, char>> types = {
        {"D", 'D'}, {"~", '~'},    {std::string(1, '\0'), 'S'}, {"\x01", 'S'}, {"\x7F", 'S'},
        {"é", 'S'}, {"\x80", 'S'}, // Windows-1252: a euro sign
    };
    const std::string v1Tail = "\r\n0\r\n\r\n\r\n\r\n\r\n\r\n\r\n1\r\n/1/Ann/Baker/// 0 0 0 1\r\n";
    for (const auto& [type, kept] : types) {
        for (const std::string& file : {OlderFile{.options = type + " 0 25 5 4"}.Text(),
                                        "*1.0\r\n" + type + " 0 25 5 4" + v1Tail}) {
            SCOPED_TRACE(file.substr(0, 4) + " type " + std::to_string(type[0] & 0xFF));
            Ladder fresh;
            WriteFile(scratch.File("in.lad"), file);
            ASSERT_EQ(fresh.Load(scratch.File("in.lad")), rcOk);
            EXPECT_EQ(fresh.TypeChar(), kept);
            ASSERT_TRUE(fresh.Save(scratch.File("saved.lad")));
            Ladder back;
            ASSERT_EQ(back.Load(scratch.File("saved.lad")), rcOk);
            EXPECT_EQ(back.TypeChar(), kept);
            ASSERT_TRUE(back.Save(scratch.File("again.lad")));
            EXPECT_EQ(ReadFile(scratch.File("again.lad")), ReadFile(scratch.File("saved.lad")));
        }
    }
}

// A carriage return inside a line of an older file is no part of a text:
// the tree writer could not write it back.
TEST_F(LadderLoad, OlderFormsDropLineBreaksInsideTheirTexts) {
    OlderFile file{.result = "/6-2\r/ 20090102 3 1 -1"};
    std::string text = file.Text();
    text.replace(text.find("Heading"), 7, "Head\ring\r");
    ASSERT_EQ(Load(text), rcOk);
    EXPECT_EQ(ladder.Heading(), "Heading");
    EXPECT_EQ(ladder.Result(2)->score, "6-2");
}

TEST_F(LadderLoad, ResultsOfDeletedPlayersKeepTheirIds) {
    // Players 1 and 2 are left; 7 and 5 were deleted after their results.
    ASSERT_EQ(Load(TreeFile({" R{", "  s=6-0", "  d=20090102", "  w=7", "  l=1", "  i=-1", " }",
                             " R{", "  d=20090103", "  w=2", "  l=1", "  i=-1", "  x=5", " }"})),
              0);
    EXPECT_EQ(ladder.MaxId(), 7);
    ASSERT_EQ(ladder.AddPlayer(Named("New", "Comer"), nullptr), rcOk);
    EXPECT_EQ(ladder.PlayerIdByName("Comer, New"), 8);
    EXPECT_EQ(ladder.ResultText(2), "01/02/2009 *Deleted* d. Ann Baker 6-0");
    ASSERT_EQ(ladder.PostResults(false), rcOk);
    EXPECT_EQ(ladder.Player(ladder.PositionOfId(2))->wins, 2);
    EXPECT_EQ(ladder.Player(ladder.PositionOfId(1))->losses, 3);
    EXPECT_EQ(ladder.Player(ladder.PositionOfId(8))->wins, 0);
}

TEST_F(LadderLoad, PenaltyCycleFromAFileIsAtLeastOne) {
    for (const char* cycle : {"0", "-4"}) {
        ASSERT_EQ(Load(TreeFile({std::string(" z=") + cycle, " p=50", " y=0"})), rcOk);
        EXPECT_EQ(ladder.PenaltyCycle(), 1);
        EXPECT_EQ(ladder.GenerateIssue(), rcOk); // the drop rule divides by it
    }
}

TEST_F(LadderLoad, NoMoreThanTheResultLimitIsRead) {
    std::vector<std::string> nodes;
    std::string lines;
    for (int n = 1; n <= 1600; ++n) {
        const std::string score = std::to_string(n) + "-0";
        nodes.insert(nodes.end(), {" R{", "  s=" + score, "  w=1", "  l=2", " }"});
        lines += "/" + score + "/ 20090101 1 2 -1\r\n";
    }
    for (const std::string& text : {TreeFile(nodes), OlderFile{}.Text() + lines}) {
        ASSERT_EQ(Load(text), rcOk);
        ASSERT_EQ(ladder.ResultCount(), MaxLadderResults);
        const int last = text[0] == 'L' ? 1499 : 1498; // after the file's own results
        EXPECT_EQ(ladder.Result(MaxLadderResults)->score, std::to_string(last) + "-0");
    }
}

TEST(LadderText, DownloadReplacesTheLadderOnlyWhenItReadsWhole) {
    Ladder ladder;
    ladder.SetDoubles();
    ladder.SetLadderSystem(1);
    ladder.SetDisplayFlags(Ladder::ResultsBottom);
    Fill(ladder, 3);
    ASSERT_EQ(ladder.EnterResult("1/2/09", Name(2), Name(1), "6-3", false), rcOk);
    std::string before;
    ladder.SaveToText(before);

    const std::vector<std::pair<std::string, short>> failures = {
        {"Ladder{\r\n v=*2.1\r\n P{\r\n  n=1\r\n }\r\n P{\r\n  n=900\r\n }\r\n}\r\n", 5},
        {"Ladder{\r\n v=*2.1\r\n i=soon\r\n}\r\n", 5},
        {"Ladder{\r\n v=*2.1\r\n j=" + std::string(61, 'j') + "\r\n}\r\n", 5},
        {"Ladder{\r\n v=*2.1\r\n R{\r\n  m=1234\r\n }\r\n}\r\n", 5},
        {"Ladder{\r\n v=*2.0\r\n}\r\n", 5},
        {"Ladder{\r\n v=*2.1\r\n broken line\r\n}\r\n", 10},
        {"status=FILENOTFOUND\r\n", 10},
        {"", 10},
    };
    for (const auto& [text, code] : failures) {
        SCOPED_TRACE(text);
        EXPECT_EQ(ladder.LoadFromText(text), code);
        EXPECT_EQ(ErrorLocation.empty(), code != rcInternal);
        ErrorLocation.clear();
        std::string after;
        ladder.SaveToText(after);
        EXPECT_EQ(after, before);
        EXPECT_TRUE(ladder.IsModified());
    }

    // What the text leaves out and a load keeps: type, flags, system.
    ASSERT_EQ(ladder.LoadFromText("Ladder{\r\n v=*2.1\r\n P{\r\n  f=Zed\r\n  n=4\r\n }\r\n}\r\n\r\n"
                                  "after the empty line\r\n"),
              0);
    EXPECT_EQ(ladder.State(), StateSaved);
    EXPECT_TRUE(ladder.IsDoubles());
    EXPECT_TRUE(ladder.IsPointsSystem());
    EXPECT_EQ(ladder.DisplayFlags(), Ladder::ResultsBottom);
    EXPECT_EQ(ladder.ChallengePercent(), 100);
    EXPECT_EQ(ladder.ResultCount(), 0);
    ASSERT_EQ(ladder.PlayerCount(), 1);
    EXPECT_EQ(ladder.PositionOfId(4), 1);
    EXPECT_EQ(ladder.PositionOfId(1), 0);
    ExpectNextIdIsNew(ladder);
}

// Every text the ladder writes, at its limit and ending in "{", opens again
// as it was: the blank the writer puts after the brace is not counted.
TEST(LadderSave, TextsAtTheirLimitsEndingInABraceOpenAgain) {
    const auto braced = [](int limit) {
        std::string text;
        for (int n = 1; n < limit; ++n)
            text += n % 2 ? "é" : "x";
        return text + "{";
    };
    TempFolder scratch;
    // A date as an older file may hold it: any word of up to 10 characters.
    WriteFile(scratch.File("old.lad"), "*2.0\r\nS 0 25 5 4\r\n0\r\n\r\n\r\n\r\n\r\n\r\n\r\n"
                                       "2\r\n/1/A/B////////// 0 0 0 1 0 0\r\n"
                                       "/2/C/D////////// 0 0 0 2 0 0\r\n"
                                       "/6-0/ 200901010{ 1 2 -1\r\n");
    Ladder ladder;
    ASSERT_EQ(ladder.Load(scratch.File("old.lad")), rcOk);
    ladder.SetHeading(braced(60));
    for (int n = 1; n <= 5; ++n)
        ladder.SetNote(n, braced(60));
    ladder.SetEmailSubject(braced(60));
    ::Player player;
    for (std::size_t i = 0; i < 13; ++i)
        *PlayerTexts(player)[i] = braced(kPlayerTextLimits[i]);
    ::Player partner = player;
    partner.firstName = "{";
    ASSERT_EQ(ladder.AddPlayer(player, &partner), rcOk);
    ASSERT_EQ(ladder.EnterResult("1/2/09", ladder.PlayerDisplayName(3), ladder.PlayerDisplayName(1),
                                 braced(50), false),
              rcOk);
    ASSERT_TRUE(ladder.Save(scratch.File("saved.lad")));

    Ladder back;
    ASSERT_EQ(back.Load(scratch.File("saved.lad")), rcOk);
    EXPECT_EQ(back.Heading(), braced(60));
    for (int n = 1; n <= 5; ++n)
        EXPECT_EQ(back.Note(n), braced(60)) << n;
    EXPECT_EQ(back.EmailSubject(), braced(60));
    ASSERT_EQ(back.PlayerCount(), 3);
    for (std::size_t i = 0; i < 13; ++i)
        EXPECT_EQ(*PlayerTexts(*back.Player(3))[i], braced(kPlayerTextLimits[i])) << i;
    ASSERT_TRUE(back.Player(3)->partner);
    EXPECT_EQ(back.Player(3)->partner->firstName, "{");
    ASSERT_EQ(back.ResultCount(), 2);
    EXPECT_EQ(back.Result(1)->date, "200901010{");
    EXPECT_EQ(back.Result(2)->score, braced(50));
    ASSERT_TRUE(back.Save(scratch.File("again.lad")));
    EXPECT_EQ(ReadFile(scratch.File("again.lad")), ReadFile(scratch.File("saved.lad")));
}

// An empty note before a filled one keeps the later notes in their places,
// in the file and in the online text; notes without such a gap are written
// as they always were.
TEST(LadderSave, NotesKeepTheirPlaces) {
    TempFolder scratch;
    const std::vector<std::vector<std::string>> cases = {
        {"one", "", "three", "", ""},
        {"", "", "", "", "five"},
        {"one", "two", "", "", ""},
    };
    for (const auto& notes : cases) {
        Ladder ladder;
        for (int n = 1; n <= 5; ++n)
            ladder.SetNote(n, notes[n - 1]);
        ASSERT_TRUE(ladder.Save(scratch.File("notes.lad")));
        const bool gap = notes[0].empty() || notes[1].empty();
        EXPECT_EQ(ReadFile(scratch.File("notes.lad")).find(" n=") == std::string::npos, gap);
        Ladder back;
        ASSERT_EQ(back.Load(scratch.File("notes.lad")), rcOk);
        std::string form;
        ladder.SaveToText(form);
        Ladder online;
        ASSERT_EQ(online.LoadFromText(Downloaded(form)), rcOk);
        for (int n = 1; n <= 5; ++n) {
            EXPECT_EQ(back.Note(n), notes[n - 1]) << n;
            EXPECT_EQ(online.Note(n), notes[n - 1]) << n;
        }
    }
}

TEST(LadderSave, FailedSaveKeepsTheOldFileAndTheState) {
    TempFolder scratch;
    Ladder ladder;
    Fill(ladder, 2);
    const std::string path = scratch.File("club.lad");
    ASSERT_TRUE(ladder.Save(path));
    EXPECT_EQ(ladder.State(), StateSaved);
    const std::string saved = ReadFile(path);

    // A line the reader could not take back is not written at all.
    ladder.SetEmailSubject(std::string(10000, 's'));
    EXPECT_FALSE(ladder.Save(path));
    EXPECT_EQ(ReadFile(path), saved);
    EXPECT_TRUE(ladder.IsModified());
    EXPECT_FALSE(ladder.Save(scratch.File("no such folder/club.lad")));
    EXPECT_FALSE(ladder.ExportPlayersVer1(scratch.File("no such folder/club.txt")));
    EXPECT_EQ(std::distance(std::filesystem::directory_iterator(scratch.Path()), {}), 1);
}

TEST(LadderModel, EnteredTextsLoseTheirLineBreaks) {
    Ladder ladder;
    ::Player player = Named("Ann\r\n", "Bak\ner");
    player.email = "ann@example.org\r\n";
    ::Player partner = Named("Eve", "Part\r\nner");
    ASSERT_EQ(ladder.AddPlayer(player, &partner), rcOk);
    EXPECT_EQ(ladder.PlayerDisplayName(1), "Baker, Ann");
    EXPECT_EQ(ladder.Player(1)->email, "ann@example.org");
    EXPECT_EQ(ladder.Player(1)->partner->lastName, "Partner");
    EXPECT_EQ(ladder.AddPlayer(Named("\r\nAnn", "Baker"), nullptr),
              rcDuplicateName); // the same name
    EXPECT_EQ(ladder.AddPlayer(Named("\r\n", " \n"), nullptr), rcNoName);
}

TEST(SampleLadder, IsASoundLadderTheProgramWrote) {
    const std::string path = std::string(LADDER_TEST_DIR) + "/../../dist/sample/Sample.lad";
    Ladder ladder;
    ASSERT_EQ(ladder.Load(path), rcOk);
    ASSERT_GE(ladder.PlayerCount(), 10);
    std::vector<int> wins(MaxLadderPlayers + 1), losses(MaxLadderPlayers + 1),
        ties(MaxLadderPlayers + 1);
    int pending = 0;
    for (int n = 1; n <= ladder.ResultCount(); ++n) {
        const LResult& r = *ladder.Result(n);
        EXPECT_GT(ladder.PositionOfId(r.winner), 0) << n; // no one was deleted
        EXPECT_GT(ladder.PositionOfId(r.loser), 0) << n;
        std::string date =
            r.date.substr(4, 2) + "/" + r.date.substr(6, 2) + "/" + r.date.substr(0, 4);
        EXPECT_TRUE(Ladder::ParseResultDate(date) && date == r.date) << r.date;
        EXPECT_LE(r.issue, ladder.IssueNumber() + 1);
        if (r.issue == -1) {
            ++pending;
            continue;
        }
        ++(r.tie ? ties[r.winner] : wins[r.winner]);
        ++(r.tie ? ties[r.loser] : losses[r.loser]);
    }
    EXPECT_GT(pending, 0);
    EXPECT_GT(ladder.CountResultsOfIssue(ladder.IssueNumber() + 1), 0);
    for (int issue = 1; issue <= ladder.IssueNumber(); ++issue)
        EXPECT_GT(ladder.CountResultsOfIssue(issue), 0) << issue;
    for (int p = 1; p <= ladder.PlayerCount(); ++p) {
        const ::Player& player = *ladder.Player(p);
        EXPECT_EQ(ladder.PositionOfId(player.number), p);
        EXPECT_EQ(player.wins, wins[player.number]) << player.lastName;
        EXPECT_EQ(player.losses, losses[player.number]) << player.lastName;
        EXPECT_EQ(player.ties, ties[player.number]) << player.lastName;
    }
    TempFolder scratch;
    ASSERT_TRUE(ladder.Save(scratch.File("again.lad")));
    EXPECT_EQ(ReadFile(scratch.File("again.lad")), ReadFile(path));
}

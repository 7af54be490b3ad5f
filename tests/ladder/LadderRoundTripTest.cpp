// Every file form of the ladder opens again with the same data: whatever the
// ladder holds after a successful load (of a tree file, an online text or an
// older "*2.0" or "*1.0" file), or after the operations the dialogs use,
// saves, opens again with code 0 into the same ladder, and saves again to the
// same bytes; and the same through the online text form as the service hands
// it back. The ladders are seeded random ones: texts at and below their
// limits, ending in "{" or "{ ", with blanks at both ends and letters outside
// ASCII, empty notes between filled ones, counters and reals at their
// extremes, issue numbers up to the last.
#include "tests/ladder/OnlineForm.h"
#include "tests/support/FullEvents.h"
#include "tests/support/Scratch.h"
#include "unified/ladder/Ladder.h"

#include <algorithm>
#include <cfloat>
#include <climits>
#include <cmath>
#include <cstdint>
#include <cstdio>
#include <cstring>
#include <gtest/gtest.h>
#include <iterator>
#include <random>
#include <sstream>
#include <string>
#include <vector>

namespace {

using Rng = std::mt19937;

int Below(Rng& rng, int n) {
    return static_cast<int>(rng() % static_cast<unsigned>(n));
}

bool OneIn(Rng& rng, int n) {
    return Below(rng, n) == 0;
}

// What a text is made of: letters and digits, the file syntax's own
// characters, a blank and a tab, control bytes, and letters of two, three
// and four bytes.
const char* const kChars[] = {"a", "Z",  "7", " ", "{",    "}",    "=", "&", "%",  "+", ";",
                              "/", "\t", "*", "-", "\x01", "\x7F", "é", "ß", "日", "😀"};

// A text of at most `limit` characters, none of them in `without`: often at
// its limit or one below, or empty; now and then ending in "{" or "{ ", or
// with blanks at both ends (where `without` allows).
std::string RandomText(Rng& rng, int limit, const std::string& without = "") {
    const int lengths[] = {limit, std::max(limit - 1, 0), 0, Below(rng, limit + 1)};
    const int length = lengths[Below(rng, 4)];
    std::vector<std::string> chars;
    while (static_cast<int>(chars.size()) < length) {
        const std::string c = kChars[Below(rng, static_cast<int>(std::size(kChars)))];
        if (without.find(c) == std::string::npos) chars.push_back(c);
    }
    const int ending = without.find_first_of("{ ") == std::string::npos ? Below(rng, 5) : 4;
    if (length >= 1 && ending == 0) chars.back() = "{";
    if (length >= 2 && ending == 1) {
        chars[length - 2] = "{";
        chars.back() = " ";
    }
    if (length >= 2 && ending == 2) {
        chars.front() = " ";
        chars.back() = " ";
    }
    std::string text;
    for (const std::string& c : chars)
        text += c;
    return text;
}

// A word for the older forms' date: no white space, at most `limit`
// characters, at least one.
std::string RandomWord(Rng& rng, int limit) {
    std::string word;
    do
        word = RandomText(rng, limit, " \t");
    while (word.empty());
    return word;
}

int RandomInt(Rng& rng) {
    const int picks[] = {INT_MAX, INT_MIN, 0, -1, Below(rng, 10), static_cast<int>(rng())};
    return picks[Below(rng, 6)];
}

int RandomIssue(Rng& rng) {
    const int picks[] = {MaxIssueNumber, MaxIssueNumber - 1, Below(rng, 20), Below(rng, 20)};
    return picks[Below(rng, 4)];
}

float RandomFloat(Rng& rng) {
    float any = 0;
    do {
        const std::uint32_t bits = rng();
        std::memcpy(&any, &bits, sizeof any);
    } while (!std::isfinite(any));
    const float picks[] = {FLT_MAX, -FLT_MAX, FLT_TRUE_MIN, -0.0f, 0.5f, any, any};
    return picks[Below(rng, 7)];
}

// A real as a file may hold it: the forms the writer gives, and others that
// round to a float.
std::string RandomReal(Rng& rng) {
    char any[40];
    std::snprintf(any, sizeof any, "%.9g", static_cast<double>(RandomFloat(rng)));
    const std::string picks[] = {
        "3.40282346638529e+38", "-3.40282346638529e+38", "1e-50", "2.5", any, any};
    return picks[Below(rng, 6)];
}

// Every value a ladder file keeps, in one text: two ladders that give the
// same text hold the same data. The spare counter and a partner's counters
// are left out: no file form keeps them, and nothing reads them; so is the
// highest id given out, which a load takes from the ids the file holds.
std::string Dump(Ladder& ladder) {
    std::ostringstream out;
    out << std::hexfloat;
    const LadderSettings& s = *ladder.SystemSettings();
    out << "type " << static_cast<int>(ladder.TypeChar()) << " flags " << ladder.DisplayFlags()
        << " range " << ladder.ChallengePercent() << "/" << ladder.ChallengePositions()
        << " penalty " << ladder.PenaltyDist() << "/" << ladder.PenaltyStart() << "/"
        << ladder.PenaltyCycle() << "/" << ladder.TopNoDrop() << " points " << ladder.PointsWinner()
        << "/" << ladder.PointsLoser() << "/" << ladder.PointsTie() << "/" << ladder.ChalWins()
        << "/" << ladder.PerPosAdvanced() << "/" << ladder.PerPctAdvanced() << "/"
        << ladder.PerScoreMargin() << " issue " << ladder.IssueNumber() << "/"
        << ladder.PostedThisIssue() << " system " << static_cast<int>(s.ladderSystem) << "/"
        << static_cast<int>(s.displayResults) << "/" << s.issueMask << "\n";
    const PrintOptions& print = ladder.PrintOpts();
    out << "print " << print.leftMargin << "/" << print.rightMargin << "/" << print.topMargin << "/"
        << print.bottomMargin << "/" << print.playersPerPage << "/" << print.roundsPerPage << "/"
        << static_cast<int>(print.orientation) << "/" << print.fontSize << "\n";
    out << "[" << ladder.Heading() << "]";
    for (int n = 1; n <= 5; ++n)
        out << "[" << ladder.Note(n) << "]";
    out << "[" << ladder.EmailSubject() << "]\n";
    const auto texts = [&](const ::Player& p) {
        for (const std::string* text : PlayerTexts(p))
            out << "[" << *text << "]";
        out << " gender " << static_cast<int>(p.gender);
    };
    for (int n = 1; n <= ladder.PlayerCount(); ++n) {
        const ::Player& p = *ladder.Player(n);
        out << "player " << p.number << " " << p.inactivity << "/" << p.wins << "/" << p.losses
            << "/" << p.ties << "/" << p.prevPosition << "/" << p.points;
        texts(p);
        if (p.partner) {
            out << " partner";
            texts(*p.partner);
        }
        out << "\n";
    }
    for (int n = 1; n <= ladder.ResultCount(); ++n) {
        const LResult& r = *ladder.Result(n);
        out << "result " << r.winner << "/" << r.loser << "/" << r.winnerPartner << "/"
            << r.loserPartner << " issue " << r.issue << " tie " << static_cast<int>(r.tie) << " ["
            << r.score << "][" << r.date << "][" << r.winnerPos << "][" << r.loserPos << "]["
            << r.winnerPartnerPos << "][" << r.loserPartnerPos << "]\n";
    }
    return out.str();
}

// The property: saved, the ladder opens again as it was and saves the same
// bytes; sent as the online text and read back, likewise.
void ExpectOpensAgain(Ladder& ladder, const TempFolder& scratch) {
    const std::string before = Dump(ladder);
    ASSERT_TRUE(ladder.Save(scratch.File("saved.lad")));
    const std::string saved = ReadFile(scratch.File("saved.lad"));
    Ladder back;
    ASSERT_EQ(back.Load(scratch.File("saved.lad")), rcOk) << saved;
    EXPECT_EQ(Dump(back), before);
    ASSERT_TRUE(back.Save(scratch.File("again.lad")));
    EXPECT_EQ(ReadFile(scratch.File("again.lad")), saved);

    std::string form;
    ladder.SaveToText(form);
    Ladder online;
    ASSERT_EQ(online.LoadFromText(Downloaded(form)), rcOk) << form;
    EXPECT_EQ(Dump(online), before);
    std::string again;
    online.SaveToText(again);
    EXPECT_EQ(again, form);
}

// A tree as an older version, another writer or a hand may have made it:
// the keys in the writer's order, each now and then absent, values that end
// in "{ " (which older writers wrote for a final "{"), notes by position or
// by place, the points at root level, and now and then one value over its
// limit or an issue past the last, which the load refuses.
std::string RandomTree(Rng& rng) {
    std::vector<std::string> lines = {"Ladder{"};
    const auto leaf = [&](int depth, const std::string& key, const std::string& value) {
        if (OneIn(rng, 12)) return; // absent
        std::string written = value;
        // A line ending in "{" would open a node; older writers added a blank.
        if (!written.empty() && written.back() == '{') written += ' ';
        lines.push_back(std::string(depth, ' ') + key + "=" + written);
    };
    const auto text = [&](int limit) {
        return RandomText(rng, OneIn(rng, 60) ? limit + 1 : limit);
    };
    const auto number = [&] { return std::to_string(RandomInt(rng)); };
    const auto id = [&] { return std::to_string(OneIn(rng, 4) ? 0 : 1 + Below(rng, 12)); };

    lines.push_back(OneIn(rng, 40) ? " v=*2.0" : " v=*2.1");
    const char* const types[] = {"S", "D", "~", "é", "\x01", "Dx"};
    leaf(1, "t", types[Below(rng, 6)]);
    for (const char* key : {"o", "r", "s", "p", "y", "z", "d"})
        leaf(1, key, number());
    if (OneIn(rng, 4))
        for (const char* key : {"w", "l", "e"})
            leaf(1, key, number());
    lines.push_back(" M{");
    for (const char* key : {"w", "l", "e", "c"})
        leaf(2, key, number());
    for (const char* key : {"p", "t", "m"})
        leaf(2, key, RandomReal(rng));
    lines.push_back(" }");
    leaf(1, "i", std::to_string(OneIn(rng, 40) ? MaxIssueNumber + 1 : RandomIssue(rng)));
    leaf(1, "a", number());
    lines.push_back(" T{");
    for (const char* key : {"b", "t", "l", "r"})
        leaf(2, key, RandomReal(rng));
    for (const char* key : {"p", "u", "o", "f"})
        leaf(2, key, number());
    lines.push_back(" }");
    leaf(1, "h", text(60));
    if (OneIn(rng, 2)) {
        for (int n = 0; n < Below(rng, 7); ++n)
            leaf(1, "n", text(60));
    } else {
        for (int n = 1; n <= 5; ++n)
            leaf(1, "n" + std::to_string(1 + Below(rng, 6)), text(60));
    }
    leaf(1, "j", text(60));
    leaf(1, "u", number());
    lines.push_back(" S{");
    for (const char* key : {"l", "d", "p"})
        leaf(2, key, number());
    lines.push_back(" }");
    const auto playerTexts = [&] {
        for (std::size_t i = 0; i < 13; ++i)
            leaf(2, std::string(1, "flwhe3412cspy"[i]), text(kPlayerTextLimits[i]));
        leaf(2, "g", RandomText(rng, 1));
    };
    std::vector<int> ids(12);
    for (int i = 0; i < 12; ++i)
        ids[i] = i + 1;
    std::shuffle(ids.begin(), ids.end(), rng);
    const int players = Below(rng, 13);
    for (int p = 0; p < players; ++p) {
        lines.push_back(" P{");
        playerTexts();
        lines.push_back("  n=" + std::to_string(ids[p]));
        for (const char* key : {"i", "z", "o", "x", "v", "t"})
            leaf(2, key, number());
        lines.push_back(" }");
        if (OneIn(rng, 3)) {
            lines.push_back(" A{");
            playerTexts();
            lines.push_back(" }");
        }
    }
    const int results = Below(rng, 13);
    for (int n = 0; n < results; ++n) {
        lines.push_back(" R{");
        leaf(2, "s", text(50));
        leaf(2, "d", text(10));
        for (const char* key : {"w", "l"})
            leaf(2, key, id());
        const int issue = OneIn(rng, 2) ? -1 : RandomIssue(rng) + Below(rng, 2);
        leaf(2, "i", std::to_string(issue));
        leaf(2, "t", OneIn(rng, 2) ? "1" : "yes");
        for (const char* key : {"x", "z"})
            leaf(2, key, id());
        for (const char* key : {"m", "n", "o", "p"})
            leaf(2, key, text(3));
        lines.push_back(" }");
    }
    lines.push_back("}");
    std::string tree;
    for (const std::string& line : lines)
        tree += line + "\r\n";
    return tree;
}

// An older file made from random data within its form's limits: "*2.0" or
// "*1.0", each line as the old program wrote it; now and then written in
// Windows-1252, as files of older versions were.
std::string RandomOlderFile(Rng& rng, bool version2) {
    std::vector<std::string> lines = {version2 ? "*2.0" : "*1.0"};
    const char* const types[] = {"S", "D", "~", "é", "\x01", "\x7F"};
    std::string options = std::string(types[Below(rng, 6)]);
    for (int k = 0; k < 4; ++k)
        options += " " + std::to_string(RandomInt(rng));
    if (version2 && OneIn(rng, 2))
        options += " " + std::to_string(RandomInt(rng)) + " " + std::to_string(RandomInt(rng));
    lines.push_back(options);
    lines.push_back(std::to_string(RandomIssue(rng)));
    for (int n = 0; n < 6; ++n)
        lines.push_back(RandomText(rng, OneIn(rng, 8) ? 70 : 60)); // cut at 60 on reading
    const int players = Below(rng, 13);
    lines.push_back(std::to_string(players));
    std::vector<int> ids(12);
    for (int i = 0; i < 12; ++i)
        ids[i] = 1 + i * 66;
    std::shuffle(ids.begin(), ids.end(), rng);
    const char* const separators[] = {"/", "|", "é", "\x07"};
    const int textLimits[] = {30, 30, 14, 14, 100, 100, 100, 100, 100, 100, 100};
    for (int p = 0; p < players; ++p) {
        const std::string separator = separators[Below(rng, 4)];
        std::string line = separator + " " + std::to_string(ids[p]) + separator;
        for (int i = 0; i < (version2 ? 11 : 4); ++i)
            line += RandomText(rng, textLimits[i], separator) + separator;
        for (int k = 0; k < (version2 ? 6 : 4); ++k)
            line += " " + std::to_string(RandomInt(rng));
        lines.push_back(line);
    }
    const int results = Below(rng, 13);
    for (int n = 0; n < results; ++n) {
        if (OneIn(rng, 6)) lines.push_back("");
        const std::string separator = separators[Below(rng, 4)];
        const int issue = OneIn(rng, 2) ? -1 : RandomIssue(rng) + Below(rng, 2);
        lines.push_back(separator + RandomText(rng, 50, separator) + separator + " " +
                        RandomWord(rng, 10) + " " + std::to_string(Below(rng, 801)) + " " +
                        std::to_string(Below(rng, 801)) + " " + std::to_string(issue));
    }
    std::string file;
    for (const std::string& line : lines)
        file += line + "\r\n";
    if (OneIn(rng, 4)) {
        // Windows-1252: the bytes of é and ß, and two that it leaves undefined.
        const std::pair<std::string, std::string> bytes[] = {
            {"é", "\xE9"}, {"ß", "\xDF"}, {"日", "\x81"}, {"😀", "\x9D"}};
        for (const auto& [utf8, old] : bytes)
            for (std::size_t at = file.find(utf8); at != std::string::npos;
                 at = file.find(utf8, at + old.size()))
                file.replace(at, utf8.size(), old);
    }
    return file;
}

// After a load, the ladder goes on now and then: a posting or an issue.
void MaybePost(Rng& rng, Ladder& ladder) {
    if (OneIn(rng, 3)) ladder.PostResults(false);
    if (OneIn(rng, 4)) ladder.GenerateIssue();
}

constexpr unsigned kSeeds = 300;

} // namespace

TEST(LadderRoundTrip, WhatATreeFileLoadsOpensAgainTheSame) {
    TempFolder scratch;
    unsigned loaded = 0;
    for (unsigned seed = 1; seed <= kSeeds; ++seed) {
        SCOPED_TRACE("seed " + std::to_string(seed));
        Rng rng(seed);
        WriteFile(scratch.File("in.lad"), RandomTree(rng));
        Ladder ladder;
        if (ladder.Load(scratch.File("in.lad")) != rcOk) continue;
        ++loaded;
        MaybePost(rng, ladder);
        ExpectOpensAgain(ladder, scratch);
        if (HasFatalFailure()) return;
    }
    // Most files load; the rest hold a value that the reader refuses.
    EXPECT_GT(loaded, kSeeds / 2);
}

TEST(LadderRoundTrip, WhatAnOnlineTextLoadsOpensAgainTheSame) {
    TempFolder scratch;
    unsigned loaded = 0;
    for (unsigned seed = 1; seed <= kSeeds; ++seed) {
        SCOPED_TRACE("seed " + std::to_string(seed));
        Rng rng(seed + 10000);
        Ladder ladder;
        if (ladder.LoadFromText(RandomTree(rng)) != rcOk) continue;
        ++loaded;
        MaybePost(rng, ladder);
        ExpectOpensAgain(ladder, scratch);
        if (HasFatalFailure()) return;
    }
    EXPECT_GT(loaded, kSeeds / 2);
}

TEST(LadderRoundTrip, WhatAnOlderFileLoadsOpensAgainTheSame) {
    TempFolder scratch;
    for (unsigned seed = 1; seed <= kSeeds; ++seed) {
        for (const bool version2 : {true, false}) {
            SCOPED_TRACE("seed " + std::to_string(seed) + (version2 ? " *2.0" : " *1.0"));
            Rng rng(seed + (version2 ? 20000 : 30000));
            const std::string file = RandomOlderFile(rng, version2);
            WriteFile(scratch.File("in.lad"), file);
            Ladder ladder;
            ASSERT_EQ(ladder.Load(scratch.File("in.lad")), rcOk) << file;
            MaybePost(rng, ladder);
            ExpectOpensAgain(ladder, scratch);
            if (HasFatalFailure()) return;
        }
    }
}

// The operations the dialogs and commands use, with texts at and below the
// limits the dialogs keep and options at the extremes of their types.
TEST(LadderRoundTrip, WhatTheModelOperationsMakeOpensAgainTheSame) {
    TempFolder scratch;
    for (unsigned seed = 1; seed <= 40; ++seed) {
        SCOPED_TRACE("seed " + std::to_string(seed));
        Rng rng(seed + 40000);
        Ladder ladder;
        const auto someone = [&] {
            return ladder.PlayerDisplayName(1 + Below(rng, std::max(ladder.PlayerCount(), 1)));
        };
        const auto player = [&] {
            ::Player p;
            for (std::size_t i = 0; i < 13; ++i)
                *PlayerTexts(p)[i] = RandomText(rng, kPlayerTextLimits[i]);
            const char genders[] = {'M', 'F', ' '};
            p.gender = genders[Below(rng, 3)];
            p.points = RandomInt(rng);
            return p;
        };
        for (int step = 1; step <= 60; ++step) {
            switch (Below(rng, 12)) {
            case 0:
            case 1: {
                const ::Player partner = player();
                ladder.AddPlayer(player(), OneIn(rng, 2) ? &partner : nullptr);
                break;
            }
            case 2: {
                const std::string name = someone();
                const ::Player* old = ladder.Player(ladder.FindPlayerByName(name));
                const ::Player partner = player();
                ladder.UpdatePlayer(name, player(), old && old->partner ? &partner : nullptr);
                break;
            }
            case 3:
                if (OneIn(rng, 3)) ladder.DeletePlayer(1 + Below(rng, ladder.PlayerCount() + 1));
                break;
            case 4:
            case 5: {
                const std::string date = std::to_string(1 + Below(rng, 12)) + "/" +
                                         std::to_string(1 + Below(rng, 28)) + "/" +
                                         std::to_string(Below(rng, 100));
                const bool pairs = OneIn(rng, 3);
                ladder.EnterResult(date, someone(), someone(), RandomText(rng, 50), OneIn(rng, 5),
                                   pairs ? someone() : "", pairs ? someone() : "");
                break;
            }
            case 6:
                ladder.CancelPendingResult(1 + Below(rng, ladder.PendingResultCount() + 1));
                break;
            case 7:
                if (OneIn(rng, 2))
                    ladder.PostResults(false);
                else
                    ladder.GenerateIssue();
                if (OneIn(rng, 20)) ladder.ClearResults(OneIn(rng, 2));
                break;
            case 8:
                ladder.SetHeading(RandomText(rng, 60));
                ladder.SetNote(1 + Below(rng, 5), RandomText(rng, 60));
                ladder.SetEmailSubject(RandomText(rng, 60));
                break;
            case 9:
                ladder.SetChallengePercent(RandomInt(rng));
                if (OneIn(rng, 2)) ladder.SetChallengePositions(RandomInt(rng));
                ladder.SetPenaltyDist(RandomInt(rng));
                ladder.SetPenaltyStart(RandomInt(rng));
                ladder.SetPenaltyCycle(RandomInt(rng));
                ladder.SetTopNoDrop(RandomInt(rng));
                ladder.SetDisplayFlags(RandomInt(rng));
                ladder.ClearDisplayFlags(RandomInt(rng));
                break;
            case 10:
                ladder.SetLadderSystem(Below(rng, 2));
                ladder.SetDisplayResults(Below(rng, 3));
                ladder.SetIssueMask(Below(rng, 8));
                ladder.SetPointsOptions(RandomInt(rng), RandomInt(rng), RandomInt(rng),
                                        RandomInt(rng), RandomFloat(rng), RandomFloat(rng),
                                        RandomFloat(rng));
                break;
            default: {
                PrintOptions print;
                print.leftMargin = RandomFloat(rng);
                print.bottomMargin = RandomFloat(rng);
                print.playersPerPage = RandomInt(rng);
                print.orientation = static_cast<std::int8_t>(Below(rng, 3));
                print.fontSize = RandomInt(rng);
                ladder.SetPrintOptions(print);
                if (OneIn(rng, 2))
                    ladder.SetDoubles();
                else
                    ladder.SetSingles();
            }
            }
            ErrorLocation.clear();
            if (step % 10 == 0) {
                SCOPED_TRACE("step " + std::to_string(step));
                ExpectOpensAgain(ladder, scratch);
                if (HasFatalFailure()) return;
            }
        }
    }
}

TEST(LadderRoundTrip, TheLargestLadderOpensAgainTheSame) {
    TempFolder scratch;
    Ladder ladder;
    BuildLargestLadder(ladder);
    ASSERT_EQ(ladder.PlayerCount(), MaxPlayers);
    ASSERT_EQ(ladder.ResultCount(), MaxLadderResults);
    ExpectOpensAgain(ladder, scratch);
}

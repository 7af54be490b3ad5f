#include "tests/support/FullEvents.h"

#include "unified/draw/Draw.h"
#include "unified/ladder/Ladder.h"

#include <random>

std::string FullText(const std::string& start, int limit) {
    std::string text = start + " & 10% + a=b; ";
    while (static_cast<int>(text.size()) < limit)
        text += static_cast<char>('a' + text.size() % 26);
    return text.substr(0, static_cast<std::size_t>(limit));
}

Player FullPlayer(int n, const std::string& role) {
    Player p;
    const std::string id = role + std::to_string(n);
    const auto texts = PlayerTexts(p);
    for (std::size_t i = 0; i < texts.size(); ++i)
        *texts[i] = FullText(id, kPlayerTextLimits[i]);
    p.number = n;
    p.wins = n % 17;
    p.losses = n % 13;
    p.gender = n % 2 ? 'M' : 'F';
    return p;
}

void BuildLargestLadder(Ladder& ladder) {
    constexpr int kPosted = 1200;
    constexpr int kPerIssue = 300;
    ladder.SetDoubles();
    ladder.SetHeading(FullText("Heading", kReportTextLimit));
    for (int n = 1; n <= 5; ++n)
        ladder.SetNote(n, FullText("Note " + std::to_string(n), kReportTextLimit));
    ladder.SetEmailSubject(FullText("Subject", kReportTextLimit));
    for (int i = 1; i <= MaxPlayers; ++i) {
        const Player partner = FullPlayer(i, "A");
        ladder.AddPlayer(FullPlayer(i, "P"), &partner);
    }
    std::mt19937 rng(7);
    for (int n = 0; n < MaxLadderResults; ++n) {
        const int loser = 1 + static_cast<int>(rng() % (MaxPlayers - 5));
        const int winner = loser + 1 + static_cast<int>(rng() % 5);
        const std::string date =
            std::to_string(1 + rng() % 12) + "/" + std::to_string(1 + rng() % 28) + "/09";
        ladder.EnterResult(date, ladder.PlayerDisplayName(winner), ladder.PlayerDisplayName(loser),
                           FullText("6-3, 4-6, 7-6(5)", 50), rng() % 20 == 0);
        if (n < kPosted && n % kPerIssue == kPerIssue - 1) ladder.GenerateIssue();
    }
}

std::string FullLadderName(int i) {
    return "Player" + std::to_string(i) + ", F";
}

void BuildFullLadder(Ladder& ladder, bool points) {
    constexpr int kActive = 500;
    if (points) {
        ladder.SetLadderSystem(1);
        ladder.SetPointsOptions(3, 1, 2, 2, 0.5f, 0.25f, 1.0f);
    }
    ladder.SetPenaltyStart(4);
    ladder.SetPenaltyCycle(2);
    for (int i = 1; i <= MaxPlayers; ++i) {
        Player p;
        p.firstName = "F";
        p.lastName = "Player" + std::to_string(i);
        ladder.AddPlayer(p, nullptr);
        ladder.Player(i)->inactivity = i > kActive ? i % 9 : 0;
    }
    std::mt19937 rng(7);
    for (int n = 0; n < MaxLadderResults; ++n) {
        const int loser = 1 + static_cast<int>(rng() % (kActive - 5));
        const int winner = loser + 1 + static_cast<int>(rng() % 5);
        const bool upset = rng() % 4 != 0;
        const std::string date =
            std::to_string(1 + rng() % 12) + "/" + std::to_string(1 + rng() % 28) + "/09";
        ladder.EnterResult(date, FullLadderName(upset ? winner : loser),
                           FullLadderName(upset ? loser : winner), "6-3, 4-6, 7-6(5)",
                           rng() % 20 == 0);
    }
}

void AddFullDrawPlayers(Draw& draw) {
    draw.SetDoubles();
    draw.SetHeading(FullText("Heading", kReportTextLimit));
    for (int n = 1; n <= 5; ++n)
        draw.SetNote(n, FullText("Note " + std::to_string(n), kReportTextLimit));
    draw.SetEmailSubject(FullText("Subject", kReportTextLimit));
    for (int i = 1; i <= MaxPlayers; ++i) {
        const Player partner = FullPlayer(i, "A");
        draw.AddPlayer(FullPlayer(i, "P"), &partner);
    }
}

void EnterEveryResult(Draw& draw) {
    for (int r = 1; r <= draw.RoundCount(); ++r)
        for (int m = 1; m <= draw.MatchesInRound(r); ++m) {
            const TResult match = draw.GetMatch(r, m);
            if (match.first == 0 || match.second == 0) continue; // a bye, advanced
            draw.EnterResult(r, m, FullText("Sat 10:00", 24), FullText("Court", 24),
                             FullText("6-3, 4-6, 7-6(5)", 28), m % 2 == 1 ? 1 : 2);
        }
}

void BuildFullDraw(Draw& draw) {
    AddFullDrawPlayers(draw);
    draw.SetOption(Draw::ByesToSeeded);
    draw.CreateDraw(draw.DefaultSeedCount());
    EnterEveryResult(draw);
}

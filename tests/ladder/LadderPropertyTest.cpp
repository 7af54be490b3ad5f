// Ladder invariants over seeded random sequences of operations: players
// added and deleted, results entered (valid or not), cancelled and posted,
// issues generated, results cleared, options changed, the ladder saved and
// loaded again.
#include "tests/ladder/OnlineForm.h"
#include "tests/support/Scratch.h"
#include "unified/ladder/Ladder.h"

#include <algorithm>
#include <functional>
#include <gtest/gtest.h>
#include <map>
#include <memory>
#include <ostream>
#include <random>
#include <string>
#include <vector>

namespace {

struct PlayerState {
    int id, wins, losses, ties, points, inactivity, prev;
    std::string name;
    bool operator==(const PlayerState&) const = default;
};

struct ResultState {
    int winner, loser, winnerPartner, loserPartner, issue, tie;
    std::string date, score;
    bool operator==(const ResultState&) const = default;
};

struct State {
    std::vector<PlayerState> players;
    std::vector<ResultState> results;
    int issue, maxId;
    bool posted;
    bool operator==(const State&) const = default;
};

void PrintTo(const State& s, std::ostream* out) {
    *out << "issue " << s.issue << (s.posted ? " posted" : "") << ", players";
    for (const auto& p : s.players)
        *out << " " << p.id << "(" << p.wins << "-" << p.losses << "-" << p.ties << " " << p.points
             << "pt " << p.inactivity << "i prev " << p.prev << ")";
    *out << ", results";
    for (const auto& r : s.results)
        *out << " " << r.winner << ">" << r.loser << "@" << r.date << "#" << r.issue;
}

State Capture(const Ladder& ladder) {
    State s{{}, {}, ladder.IssueNumber(), ladder.MaxId(), ladder.PostedThisIssue()};
    for (int p = 1; p <= ladder.PlayerCount(); ++p) {
        const ::Player& x = *ladder.Player(p);
        s.players.push_back({x.number, x.wins, x.losses, x.ties, x.points, x.inactivity,
                             x.prevPosition, x.lastName + ", " + x.firstName});
    }
    for (int n = 1; n <= ladder.ResultCount(); ++n) {
        const LResult& r = *ladder.Result(n);
        s.results.push_back(
            {r.winner, r.loser, r.winnerPartner, r.loserPartner, r.issue, r.tie, r.date, r.score});
    }
    return s;
}

enum class Op {
    Add,
    Delete,
    Enter,
    EnterBad,
    EnterCancel,
    Cancel,
    Post,
    Generate,
    Repost,
    Clear,
    Options,
    Reload
};

struct Step {
    Op op;
    State before;
    std::string textBefore; // a reload: the ladder's online text before it
};

std::string Text(Ladder& ladder) {
    std::string text;
    ladder.SaveToText(text);
    return text;
}

using Check = std::function<void(const Step&, Ladder&)>;

// Runs the same sequences for every property; a failure names the seed
// and the step.
void RunSequences(const Check& check) {
    static const char* const kScores[] = {"6-3", "6-4, 3-6, 7-6(4)", "7-5 (ret)", "w/o",
                                          "6-x", "10-8,2-6",         "",          "99999999999-1"};
    TempFolder scratch;
    for (unsigned seed = 1; seed <= 60; ++seed) {
        std::mt19937 rng(seed);
        const auto below = [&](int n) { return static_cast<int>(rng() % n); };
        auto owner = std::make_unique<Ladder>();
        for (int step = 0; step < 200; ++step) {
            SCOPED_TRACE("seed " + std::to_string(seed) + " step " + std::to_string(step));
            Ladder& ladder = *owner;
            const int n = ladder.PlayerCount();
            const auto someone = [&] { return ladder.PlayerDisplayName(1 + below(n)); };
            const auto date = [&] {
                return std::to_string(1 + below(3)) + "/" + std::to_string(1 + below(4)) + "/09";
            };
            const int roll = below(100);
            Step s{Op::Add, Capture(ladder), {}};
            if (roll < 14 || n < 4) {
                ::Player p;
                p.firstName =
                    below(8) == 0 ? " " : std::string(1, static_cast<char>('a' + below(4)));
                p.lastName = below(8) == 0 ? "" : "N" + std::to_string(below(30));
                p.points = below(n + 3);
                ::Player partner;
                partner.lastName = "Mate";
                ladder.AddPlayer(p, below(3) == 0 ? &partner : nullptr);
            } else if (roll < 18) {
                s.op = Op::Delete;
                ladder.DeletePlayer(1 + below(n));
            } else if (roll < 50) {
                s.op = Op::Enter;
                // Now and then a long batch, so that many share a date.
                for (int k = below(6) == 0 ? 30 : 1; k > 0; --k) {
                    std::vector<std::string> four;
                    while (four.size() < 4) {
                        const std::string name = someone();
                        if (std::find(four.begin(), four.end(), name) == four.end())
                            four.push_back(name);
                    }
                    const bool pairs = below(3) == 0;
                    EXPECT_EQ(ladder.EnterResult(date(), four[0], four[1], kScores[below(8)],
                                                 below(8) == 0, pairs ? four[2] : "",
                                                 pairs ? four[3] : ""),
                              0);
                }
            } else if (roll < 56) {
                s.op = Op::EnterBad;
                const int kind = below(3);
                EXPECT_NE(ladder.EnterResult(kind == 0 ? "2/30/09" : date(),
                                             kind == 1 ? "Nobody, X" : someone(), someone(),
                                             kind == 2 ? std::string(51, '6') : "6-0", false),
                          0);
            } else if (roll < 62) {
                s.op = Op::EnterCancel;
                if (ladder.EnterResult(date(), someone(), someone(), "6-1", false) == 0) {
                    EXPECT_EQ(ladder.CancelPendingResult(ladder.PendingResultCount()), rcOk);
                }
            } else if (roll < 67) {
                s.op = Op::Cancel;
                ladder.CancelPendingResult(below(ladder.PendingResultCount() + 2));
            } else if (roll < 82) {
                s.op = below(2) == 0 ? Op::Post : Op::Generate;
                EXPECT_EQ(s.op == Op::Post ? ladder.PostResults(false) : ladder.GenerateIssue(),
                          rcOk);
            } else if (roll < 84) {
                s.op = Op::Clear;
                ladder.ClearResults(below(2) == 0);
            } else if (roll < 88) {
                // As a file into a new ladder, or as the online text into
                // this one.
                s.op = Op::Reload;
                s.textBefore = Text(ladder);
                if (below(2) == 0) {
                    ASSERT_TRUE(ladder.Save(scratch.File("ladder.lad")));
                    owner = std::make_unique<Ladder>();
                    ASSERT_EQ(owner->Load(scratch.File("ladder.lad")), rcOk);
                } else {
                    ASSERT_EQ(ladder.LoadFromText(Downloaded(s.textBefore)), rcOk);
                }
            } else {
                s.op = Op::Options;
                switch (below(5)) {
                case 0:
                    ladder.SetLadderSystem(below(2));
                    ladder.SetDisplayResults(below(3));
                    ladder.SetChallengePercent(below(40));
                    break;
                case 1:
                    ladder.SetPenaltyDist(below(4) * 10);
                    break;
                case 2:
                    ladder.SetPenaltyStart(below(4));
                    break;
                case 3:
                    ladder.SetPenaltyCycle(below(4));
                    ladder.SetTopNoDrop(below(4));
                    break;
                default:
                    ladder.SetPointsOptions(below(4), below(2), below(3), below(3), below(3) * 0.5f,
                                            below(2) * 0.25f, below(2) * 1.0f);
                }
            }
            ErrorLocation.clear();
            Ladder& now = *owner;
            for (int r = 1; r <= now.ResultCount(); ++r)
                now.ResultText(r); // every line can be written
            check(s, now);
            if (s.op == Op::Post || s.op == Op::Generate) {
                Step again{Op::Repost, Capture(now), {}};
                EXPECT_EQ(now.PostResults(false), rcOk);
                check(again, now);
            }
        }
    }
}

bool IsPosting(const Step& s) {
    return s.op == Op::Post || s.op == Op::Generate;
}

// The list after the date sort, done the plain way: each pending result in
// turn swaps in the earliest pending result from there on.
std::vector<ResultState> DateSorted(std::vector<ResultState> r) {
    for (std::size_t a = 0; a < r.size(); ++a) {
        if (r[a].issue != -1) continue;
        std::size_t best = a;
        for (std::size_t j = a + 1; j < r.size(); ++j)
            if (r[j].issue == -1 && r[j].date < r[best].date) best = j;
        std::rotate(r.begin() + a, r.begin() + best, r.begin() + best + 1);
    }
    return r;
}

// The traditional ladder as a plain list of ids: a winner takes the place
// of a loser who stood above.
std::vector<int> OrderAfterResults(const State& before) {
    std::vector<int> order;
    for (const auto& p : before.players)
        order.push_back(p.id);
    for (const auto& r : DateSorted(before.results)) {
        if (r.issue != -1 || r.tie) continue;
        const auto w = std::find(order.begin(), order.end(), r.winner);
        const auto l = std::find(order.begin(), order.end(), r.loser);
        if (w == order.end() || l == order.end() || l > w) continue;
        std::rotate(l, w, w + 1);
    }
    return order;
}

struct DropRule {
    int distance, start, cycle, top;
    std::map<int, int> idle; // by id, after the results were counted
    bool Drops(int position, int id) const {
        const int i = std::max(idle.at(id), 0);
        return position > top && i >= start && (i - start) % cycle == 0;
    }
};

DropRule Rule(const State& before, const Ladder& ladder) {
    DropRule rule{std::max(static_cast<int>(before.players.size()) * ladder.PenaltyDist() / 100, 1),
                  ladder.PenaltyStart(),
                  ladder.PenaltyCycle(),
                  ladder.TopNoDrop(),
                  {}};
    for (const auto& p : before.players)
        rule.idle[p.id] = p.inactivity;
    for (const auto& r : before.results)
        if (r.issue == -1)
            for (const int id : {r.winner, r.loser, r.winnerPartner, r.loserPartner})
                if (rule.idle.count(id)) rule.idle[id] = -1;
    return rule;
}

std::vector<int> Ids(const Ladder& ladder) {
    std::vector<int> ids;
    for (int p = 1; p <= ladder.PlayerCount(); ++p)
        ids.push_back(ladder.Player(p)->number);
    return ids;
}

bool DropsApply(const Step& s, const Ladder& ladder) {
    return s.op == Op::Generate && !ladder.IsPointsSystem() && ladder.PenaltyDist() > 0;
}

} // namespace

TEST(LadderProperties, IdMapMatchesPlayerOrder) {
    RunSequences([](const Step& s, const Ladder& ladder) {
        // Ids are never given out twice: a reload keeps every id that a
        // player or a result holds.
        if (s.op == Op::Reload) {
            for (const auto& r : s.before.results)
                EXPECT_GE(ladder.MaxId(),
                          std::max({r.winner, r.loser, r.winnerPartner, r.loserPartner}));
        } else {
            EXPECT_GE(ladder.MaxId(), s.before.maxId);
        }
        std::vector<int> seen(MaxLadderPlayers + 1, 0);
        for (int p = 1; p <= ladder.PlayerCount(); ++p) {
            const int id = ladder.Player(p)->number;
            ASSERT_TRUE(id >= 1 && id <= ladder.MaxId()) << id;
            EXPECT_EQ(seen[id]++, 0) << "id " << id << " twice";
            EXPECT_EQ(ladder.PositionOfId(id), p);
        }
        for (int id = 0; id <= MaxLadderPlayers; ++id)
            if (!seen[id]) {
                EXPECT_EQ(ladder.PositionOfId(id), 0) << id;
            }
    });
}

TEST(LadderProperties, PostingKeepsEveryPlayerOnce) {
    RunSequences([](const Step& s, const Ladder& ladder) {
        if (!IsPosting(s)) return;
        auto before = s.before.players;
        auto after = Capture(ladder).players;
        const auto byId = [](const auto& a, const auto& b) { return a.id < b.id; };
        std::sort(before.begin(), before.end(), byId);
        std::sort(after.begin(), after.end(), byId);
        ASSERT_EQ(after.size(), before.size());
        for (std::size_t i = 0; i < after.size(); ++i)
            EXPECT_EQ(after[i].name, before[i].name);
    });
}

TEST(LadderProperties, PostedResultsKeptInStableDateOrderUnderTheNextIssue) {
    RunSequences([](const Step& s, const Ladder& ladder) {
        if (!IsPosting(s)) return;
        auto expected = DateSorted(s.before.results);
        for (auto& r : expected)
            if (r.issue == -1) r.issue = s.before.issue + 1;
        EXPECT_EQ(Capture(ladder).results, expected);
    });
}

TEST(LadderProperties, CountersMatchPostedResults) {
    RunSequences([](const Step&, const Ladder& ladder) {
        const State now = Capture(ladder);
        for (const auto& p : now.players) {
            int wins = 0, losses = 0, ties = 0;
            for (const auto& r : now.results) {
                if (r.issue == -1) continue;
                const bool won = r.winner == p.id || r.winnerPartner == p.id;
                const bool lost = r.loser == p.id || r.loserPartner == p.id;
                ties += r.tie && (won || lost);
                wins += !r.tie && won;
                losses += !r.tie && lost;
            }
            EXPECT_EQ(p.wins, wins) << p.name;
            EXPECT_EQ(p.losses, losses) << p.name;
            EXPECT_EQ(p.ties, ties) << p.name;
        }
    });
}

TEST(LadderProperties, TraditionalOrderFollowsTheListModel) {
    RunSequences([](const Step& s, const Ladder& ladder) {
        if (!IsPosting(s) || ladder.IsPointsSystem()) return;
        std::vector<int> order = OrderAfterResults(s.before);
        if (DropsApply(s, ladder)) {
            const DropRule rule = Rule(s.before, ladder);
            const std::vector<int> visit = order;
            int staying = 0;
            for (int p = static_cast<int>(visit.size()); p >= 1; --p) {
                if (!rule.Drops(p, visit[p - 1])) {
                    ++staying;
                    continue;
                }
                const auto at = std::find(order.begin(), order.end(), visit[p - 1]);
                const int d = std::min(rule.distance, staying);
                std::rotate(at, at + 1, at + d + 1);
            }
        }
        EXPECT_EQ(Ids(ladder), order);
    });
}

TEST(LadderProperties, DropsStayWithinTheirBounds) {
    RunSequences([](const Step& s, const Ladder& ladder) {
        if (!DropsApply(s, ladder)) return;
        const DropRule rule = Rule(s.before, ladder);
        const std::vector<int> was = OrderAfterResults(s.before);
        const std::vector<int> now = Ids(ladder);
        int staying = 0; // players below that do not drop
        for (int from = static_cast<int>(was.size()); from >= 1; --from) {
            const int id = was[from - 1];
            const int to =
                static_cast<int>(std::find(now.begin(), now.end(), id) - now.begin()) + 1;
            if (rule.Drops(from, id)) {
                EXPECT_LE(to - from, std::min(rule.distance, staying)) << id;
            } else {
                ++staying;
                EXPECT_LE(to, from) << id; // moves up only, past those dropping
            }
            if (from <= rule.top) {
                EXPECT_EQ(to, from) << id;
            }
        }
    });
}

TEST(LadderProperties, PointsNeverRiseDownTheLadder) {
    RunSequences([](const Step& s, const Ladder& ladder) {
        if (!IsPosting(s) || !ladder.IsPointsSystem()) return;
        for (int p = 2; p <= ladder.PlayerCount(); ++p)
            EXPECT_GE(ladder.Player(p - 1)->points, ladder.Player(p)->points) << p;
    });
}

TEST(LadderProperties, RefusedOrCancelledEntryLeavesTheList) {
    RunSequences([](const Step& s, const Ladder& ladder) {
        if (s.op == Op::EnterBad || s.op == Op::EnterCancel) {
            EXPECT_EQ(Capture(ladder), s.before);
        }
    });
}

TEST(LadderProperties, SecondPostingChangesNothing) {
    RunSequences([](const Step& s, const Ladder& ladder) {
        if (s.op != Op::Repost) return;
        State expected = s.before;
        // Only the first posting of an issue sets the previous positions.
        expected.posted = true;
        for (std::size_t i = 0; i < expected.players.size(); ++i)
            if (!s.before.posted) expected.players[i].prev = static_cast<int>(i) + 1;
        EXPECT_EQ(Capture(ladder), expected);
    });
}

TEST(LadderProperties, ReloadGivesTheSameLadder) {
    RunSequences([](const Step& s, Ladder& ladder) {
        if (s.op != Op::Reload) return;
        State expected = s.before;
        expected.maxId = ladder.MaxId();
        EXPECT_EQ(Capture(ladder), expected);
        EXPECT_EQ(ladder.State(), StateSaved);
        EXPECT_EQ(Text(ladder), s.textBefore);
    });
}

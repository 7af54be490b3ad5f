// Posting results into the next issue, and generating issues.
#include "unified/ladder/Ladder.h"

#include <algorithm>
#include <climits>
#include <cmath>
#include <new>
#include <vector>

namespace {

int Clamped(long long value) {
    return static_cast<int>(std::clamp<long long>(value, INT_MIN, INT_MAX));
}

// Counters stop at the largest value rather than wrap round.
void CountUp(std::int32_t& counter) {
    if (counter < INT_MAX) ++counter;
}

// trunc(x + 0.5), kept inside the integer range whatever the options hold.
int RoundedPoints(long double x) {
    const long double r = std::trunc(x + 0.5L);
    if (std::isnan(r)) return 0;
    if (r >= static_cast<long double>(INT_MAX)) return INT_MAX;
    if (r <= static_cast<long double>(INT_MIN)) return INT_MIN;
    return static_cast<int>(r);
}

// A count of games: digits only, within the integer range.
bool ReadGames(const std::string& text, int& games) {
    if (text.empty()) return false;
    long long v = 0;
    for (const char c : text) {
        if (c < '0' || c > '9') return false;
        v = v * 10 + (c - '0');
        if (v > INT_MAX) return false;
    }
    games = static_cast<int>(v);
    return true;
}

} // namespace

short Ladder::PostResults(bool generate) {
    // Working positions are kept both ways: the id map, and for each working
    // position the list position the player stood at before this posting.
    std::vector<std::int16_t> workMap;
    std::vector<int> slot;
    std::vector<int> resultOrder;
    std::vector<LResult> movedResults;
    std::vector<::Player> movedPlayers;
    // Everything that needs memory is taken first, so that a posting either
    // runs whole or changes nothing.
    try {
        workMap.assign(maxId + 1, 0);
        slot.assign(playerCount + 1, 0);
        movedResults.resize(resultCount + 1);
        movedPlayers.resize(playerCount + 1);
        OrderPendingByDate(resultOrder);
    } catch (const std::bad_alloc&) {
        return rcNoMemory;
    }
    for (int p = 1; p <= playerCount; ++p) {
        const int id = players.Item(p)->number;
        // Ids that do not fit the map would lose players in the moves below.
        if (id < 1 || id > maxId || workMap[id] != 0) {
            SetErrorLocation();
            return rcInternal;
        }
        workMap[id] = static_cast<std::int16_t>(p);
        slot[p] = p;
    }
    const auto idAt = [&](int position) { return players.Item(slot[position])->number; };
    const auto workPos = [&](int id) {
        return id < 0 || id > maxId ? 0 : static_cast<int>(workMap[id]);
    };
    const auto place = [&](int from, int to) {
        for (int q = from; q <= to; ++q)
            workMap[idAt(q)] = static_cast<std::int16_t>(q);
    };

    // The previous position is where a player stood before the first
    // posting of the issue.
    if (postedThisIssue == 0)
        for (int p = 1; p <= playerCount; ++p)
            players.Item(p)->prevPosition = p;
    postedThisIssue = 1;

    for (int n = 1; n <= resultCount; ++n)
        movedResults[n] = std::move(*results.Item(resultOrder[n - 1]));
    for (int n = 1; n <= resultCount; ++n)
        *results.Item(n) = std::move(movedResults[n]);

    for (int n = 1; n <= resultCount; ++n) {
        LResult& r = *results.Item(n);
        if (r.issue != -1) continue;
        ScoreResult(r);
        if (!IsPointsSystem()) {
            // The winner takes the place of a loser who stood above; those
            // in between move down one.
            const int w = workPos(r.winner);
            const int l = workPos(r.loser);
            if (w != 0 && l != 0 && l < w && !r.tie) {
                std::rotate(slot.begin() + l, slot.begin() + w, slot.begin() + w + 1);
                place(l, w);
            }
        }
        r.issue = issueNumber + 1;
    }

    if (IsPointsSystem()) {
        // Most points first; of equal points the one higher up stays higher.
        std::stable_sort(slot.begin() + 1, slot.end(), [&](int a, int b) {
            return players.Item(a)->points > players.Item(b)->points;
        });
        place(1, playerCount);
    }

    if (generate && !IsPointsSystem() && penaltyDist > 0) {
        const std::vector<int> visit = slot;
        const long long cycle = std::max(penaltyCycle, 1);
        const int distance =
            std::max(Clamped(static_cast<long long>(playerCount) * penaltyDist / 100), 1);
        int staying = 0; // players met so far below that do not drop
        for (int p = playerCount; p >= 1; --p) {
            const ::Player& player = *players.Item(visit[p]);
            const long long idle = std::max(player.inactivity, 0);
            if (p <= topNoDrop || idle < penaltyStart || (idle - penaltyStart) % cycle != 0) {
                ++staying;
                continue;
            }
            const int s = workMap[player.number];
            const int d = std::min(distance, staying);
            std::rotate(slot.begin() + s, slot.begin() + s + 1, slot.begin() + s + d + 1);
            place(s, s + d);
        }
    }

    for (int p = 1; p <= playerCount; ++p)
        movedPlayers[p] = std::move(*players.Item(slot[p]));
    for (int p = 1; p <= playerCount; ++p)
        *players.Item(p) = std::move(movedPlayers[p]);
    RebuildPositionMap();
    state = StateChanged;
    return rcOk;
}

// The list order after the date sort: going down the list, a pending result
// gives its place to the earliest pending one not yet placed (by date text,
// equal dates in list order), and a posted result keeps its place among the
// rest. The order is given as old list indexes.
void Ladder::OrderPendingByDate(std::vector<int>& order) const {
    std::vector<int> pending;
    for (int n = 1; n <= resultCount; ++n)
        if (results.Item(n)->issue == -1) pending.push_back(n);
    std::stable_sort(pending.begin(), pending.end(),
                     [&](int a, int b) { return results.Item(a)->date < results.Item(b)->date; });
    std::vector<char> placed(resultCount + 2, 0);
    order.clear();
    order.reserve(resultCount);
    std::size_t next = 0;
    int front = 1;
    for (int k = 0; k < resultCount; ++k) {
        while (placed[front])
            ++front;
        const int take = results.Item(front)->issue == -1 ? pending[next++] : front;
        placed[take] = 1;
        order.push_back(take);
    }
}

short Ladder::GenerateIssue() {
    if (!CanGenerateIssue()) return rcIssueLimit;
    const short code = PostResults(true);
    // A failed posting leaves the issue as it was.
    if (code != rcOk) return code;
    for (int p = 1; p <= playerCount; ++p)
        CountUp(players.Item(p)->inactivity);
    ++issueNumber;
    postedThisIssue = 0;
    return rcOk;
}

int Ladder::UpdatePlayerCounts(int position, bool tie, bool win) {
    ::Player* p = Player(position);
    if (p == nullptr) return 0;
    p->inactivity = -1;
    int points;
    if (tie) {
        CountUp(p->ties);
        points = pointsTie;
    } else if (win) {
        CountUp(p->wins);
        points = pointsWinner;
    } else {
        CountUp(p->losses);
        points = pointsLoser;
    }
    p->points = Clamped(static_cast<long long>(p->points) + points);
    return points;
}

void Ladder::ScoreResult(const LResult& result) {
    const int winner = PositionOfId(result.winner);
    const int winnerPartner = PositionOfId(result.winnerPartner);
    const int loser = PositionOfId(result.loser);
    const int loserPartner = PositionOfId(result.loserPartner);
    const bool tie = result.tie != 0;
    UpdatePlayerCounts(winner, tie, true);
    UpdatePlayerCounts(winnerPartner, tie, true);
    UpdatePlayerCounts(loser, tie, false);
    UpdatePlayerCounts(loserPartner, tie, false);

    const auto onLadder = [&](int position) { return position >= 1 && position <= playerCount; };
    int d = winner;
    if (onLadder(winnerPartner) && winnerPartner < d) d = winnerPartner;
    int e = loser;
    if (onLadder(loserPartner) && loserPartner > e) e = loserPartner;

    long long bonus = 0;
    // Beating a side that has no one left on the ladder is no climb.
    if (e >= 1 && e < d) {
        const long double between = d - e;
        bonus += chalWins;
        bonus += RoundedPoints(static_cast<long double>(perPosAdvanced) * between);
        bonus += RoundedPoints(static_cast<long double>(perPctAdvanced) * 100 * between /
                               (playerCount - 1));
    }
    int winnerGames = 0;
    int loserGames = 0;
    if (ParseScore(result.score, winnerGames, loserGames) && loserGames < winnerGames)
        bonus += RoundedPoints(static_cast<long double>(perScoreMargin) *
                               (static_cast<long double>(winnerGames) - loserGames));
    if (bonus == 0) return;
    for (const int position : {winner, winnerPartner})
        if (::Player* p = Player(position))
            p->points = Clamped(static_cast<long long>(p->points) + bonus);
}

bool Ladder::ParseScore(const std::string& score, int& winnerGames, int& loserGames) {
    std::string text;
    for (const char c : score)
        if (c != ' ') text += c;
    long long winnerSum = 0;
    long long loserSum = 0;
    std::size_t from = 0;
    while (true) {
        const std::size_t comma = text.find(',', from);
        int w = 0;
        int l = 0;
        if (!ParseSetScore(text.substr(from, comma - from), w, l)) return false;
        winnerSum += w;
        loserSum += l;
        if (winnerSum > INT_MAX || loserSum > INT_MAX) return false;
        if (comma == std::string::npos) break;
        from = comma + 1;
    }
    winnerGames = static_cast<int>(winnerSum);
    loserGames = static_cast<int>(loserSum);
    return true;
}

bool Ladder::ParseSetScore(const std::string& set, int& winnerGames, int& loserGames) {
    std::string text = set;
    const std::size_t open = text.find('(');
    if (open != std::string::npos) {
        // A tiebreak score in brackets is left out.
        if (text.back() != ')') return false;
        text.erase(open);
    }
    const std::size_t dash = text.find('-');
    if (dash == std::string::npos) return false;
    return ReadGames(text.substr(0, dash), winnerGames) &&
           ReadGames(text.substr(dash + 1), loserGames);
}

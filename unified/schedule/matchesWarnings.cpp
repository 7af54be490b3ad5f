// The plan's warnings and its match analysis: a summary and details of what
// the enabled checks found, and a plain-text chart of who met whom, who
// played on which court and who hosted.
#include "unified/schedule/Matches.h"

#include "unified/core/rxProgram.h"

#include <algorithm>
#include <cstdint>
#include <cstdio>
#include <new>
#include <stdexcept>
#include <string>
#include <vector>

namespace {

constexpr const char* kOutOfMemory = "Ran out of memory checking for warnings";
// A list of players stops growing once its line has this many characters.
constexpr std::size_t kSpreadLineLimit = 100;
// The analysis' chart holds fewer players than this.
constexpr int kAnalysisPlayers = 100;

std::string Format(const char* format, int a, int b = 0, int c = 0, int d = 0) {
    char text[160];
    std::snprintf(text, sizeof text, format, a, b, c, d);
    return text;
}

const char* Plural(int n) {
    return n == 1 ? "" : "s";
}

// One pair of players in one box. Courts reach 255, so round and court are
// kept unsigned.
struct PairRecord {
    std::int16_t first;
    std::int16_t second;
    std::uint8_t round;
    std::uint8_t court;
};

} // namespace

bool Matches::CheckWarnings(std::vector<std::string>& summary, std::vector<std::string>& details) {
    summaryList = &summary;
    summary.clear();
    summaryCount = 0;
    details.clear();
    if (manuallyModified) {
        for (const char* line :
             {"** NOTE **", "An automatically generated plan has been manually modified.",
              "    Various warnings may be meaningless unless you have",
              "    specifically set the Warning Options as desired.", "  "})
            AddSummaryLine(line);
    }
    AddSummaryLine("  ** WARNINGS SUMMARY **  ");
    details.push_back("  ** WARNINGS DETAILS **  ");
    bool found = false;
    if (HasOption(RoundsPerPlayer | SinglesPerPlayer)) found |= CheckRoundsAndSingles(details);
    if (HasOption(GenderImbal)) found |= CheckGenders(details);
    if (HasOption(SkillDisparity | ScheduleDiversity)) found |= CheckSkillAndDiversity(details);
    if (HasOption(Gaps)) found |= CheckGaps(details);
    summaryList = nullptr;
    return found;
}

void Matches::AddSummaryLine(const std::string& line) {
    if (summaryList == nullptr) return;
    summaryList->push_back(line);
    ++summaryCount;
}

bool Matches::OutOfMemory(std::vector<std::string>& details) {
    AddSummaryLine(kOutOfMemory);
    details.push_back(kOutOfMemory);
    return true;
}

bool Matches::CheckRoundsAndSingles(std::vector<std::string>& details) {
    std::vector<int> played, singles;
    try {
        played.assign(static_cast<std::size_t>(playerCount) + 1, 0);
        singles.assign(played.size(), 0);
    } catch (const std::bad_alloc&) {
        return OutOfMemory(details);
    }
    const auto count = [&](std::vector<int>& table, int n) {
        if (n > 0 && n <= playerCount) ++table[n];
    };
    for (int r = 1; r <= rounds; ++r)
        for (int c = 1; c <= courts; ++c) {
            count(played, GetSlot(r, c, 1));
            count(played, GetSlot(r, c, 3));
            if (GetSlot(r, c, 2) == 0) {
                count(singles, GetSlot(r, c, 1));
                count(singles, GetSlot(r, c, 3));
            } else {
                count(played, GetSlot(r, c, 2));
                count(played, GetSlot(r, c, 4));
            }
        }
    bool found = false;
    const auto spread = [&](const std::vector<int>& table, std::uint32_t option,
                            const char* summaryFormat, const char* word) {
        if (playerCount < 1 || !HasOption(option)) return;
        const auto [least, most] = std::minmax_element(table.begin() + 1, table.end());
        if (*least == *most) return;
        AddSummaryLine(Format(summaryFormat, *least, *most));
        ReportSpread(table, word, details);
        found = true;
    };
    spread(played, RoundsPerPlayer, "Some players have more rounds than others, min=%d, max=%d.",
           "total");
    spread(singles, SinglesPerPlayer, "Some players have more singles than others, min=%d, max=%d.",
           "singles");
    return found;
}

void Matches::ReportSpread(const std::vector<int>& counts, const char* word,
                           std::vector<std::string>& details) const {
    // A player placed twice in a round (an engine's slip) may count past the
    // rounds; the table reaches the highest count.
    int highest = rounds;
    for (int i = 1; i <= playerCount; ++i)
        highest = std::max(highest, counts[i]);
    std::vector<int> players(static_cast<std::size_t>(highest) + 1, 0);
    for (int i = 1; i <= playerCount; ++i)
        ++players[counts[i]];
    // The value most players have; on a tie the lowest.
    int predominant = 0;
    for (int v = 1; v <= highest; ++v)
        if (players[v] > players[predominant]) predominant = v;
    details.push_back("The predominant number of " + std::string(word) + " assignments is " +
                      std::to_string(predominant) + ".");
    for (int v = 0; v <= highest; ++v) {
        if (v == predominant || players[v] == 0) continue;
        details.push_back("The following players have " + std::to_string(v) + " " + word +
                          " assignment" + Plural(v) + ":");
        std::string line;
        for (int i = 1; i <= playerCount; ++i) {
            if (counts[i] != v) continue;
            if (line.size() >= kSpreadLineLimit) {
                line += " Too many warnings!";
                break;
            }
            line += " " + std::to_string(i);
        }
        details.push_back(line);
    }
}

bool Matches::CheckGenders(std::vector<std::string>& details) {
    bool found = false;
    int men = 0, women = 0, others = 0;
    GenderCounts(men, women, others);
    if ((men > 0 || women > 0) && others > 0) {
        AddSummaryLine("Some players' genders are unspecified");
        details.push_back("Some players' genders are unspecified");
        found = true;
    }
    const auto gender = [&](int n) {
        const ::Player* player = n > 0 ? Player(n) : nullptr;
        return player != nullptr ? player->gender : ' ';
    };
    int unbalanced = 0;
    for (int r = 1; r <= rounds; ++r)
        for (int c = 1; c <= courts; ++c) {
            int sideMen[2] = {0, 0}, sideWomen[2] = {0, 0};
            for (int p = 1; p <= 4; ++p) {
                const char g = gender(GetSlot(r, c, p));
                sideMen[(p - 1) / 2] += g == 'M';
                sideWomen[(p - 1) / 2] += g == 'F';
            }
            if (sideMen[0] != sideMen[1] || sideWomen[0] != sideWomen[1]) {
                details.push_back(Format("Genders unbalanced in round %d court %d", r, c));
                ++unbalanced;
            }
        }
    if (unbalanced > 0) {
        AddSummaryLine(Format(unbalanced == 1 ? "%d match has a gender imbalance"
                                              : "%d matches have a gender imbalance",
                              unbalanced));
        found = true;
    }
    return found;
}

bool Matches::CheckSkillAndDiversity(std::vector<std::string>& details) {
    std::vector<PairRecord> pairs;
    std::vector<int> met;
    const std::size_t n = static_cast<std::size_t>(playerCount) + 1;
    try {
        pairs.reserve(static_cast<std::size_t>(rounds) * static_cast<std::size_t>(courts) * 6);
        met.assign(n * n, 0);
    } catch (const std::bad_alloc&) {
        return OutOfMemory(details);
    } catch (const std::length_error&) {
        return OutOfMemory(details);
    }
    static constexpr int kDoublesPairs[][2] = {{1, 2}, {1, 4}, {2, 3}, {2, 4}, {3, 4}};
    for (int r = 1; r <= rounds; ++r)
        for (int c = 1; c <= courts; ++c) {
            const auto add = [&](int p, int q) {
                const int a = GetSlot(r, c, p), b = GetSlot(r, c, q);
                // A complete plan has both; an empty position pairs nobody.
                if (a > 0 && b > 0)
                    pairs.push_back({static_cast<std::int16_t>(a), static_cast<std::int16_t>(b),
                                     static_cast<std::uint8_t>(r), static_cast<std::uint8_t>(c)});
            };
            if (GetSlot(r, c, 1) == 0) continue;
            add(1, 3);
            if (GetSlot(r, c, 2) != 0)
                for (const auto& pq : kDoublesPairs)
                    add(pq[0], pq[1]);
        }

    bool found = false;
    int widest = 0;
    for (const PairRecord& pair : pairs) {
        const int distance = SkillDistance(pair.first, pair.second);
        widest = std::max(widest, distance);
        if (distance > disparityThreshold)
            details.push_back(Format("skill disparity: round %d court %d players %d & %d",
                                     pair.round, pair.court, pair.first, pair.second));
    }
    if (HasOption(SkillDisparity) && widest > disparityThreshold) {
        AddSummaryLine(Format("Some matches have a high skill disparity, max=%d%%", widest));
        found = true;
    }

    for (const PairRecord& pair : pairs)
        if (pair.first <= playerCount && pair.second <= playerCount) {
            ++met[pair.first * n + pair.second];
            if (pair.first != pair.second) ++met[pair.second * n + pair.first];
        }
    int lacking = 0;
    for (int i = 1; i <= playerCount; ++i) {
        // The count of i with itself is among them, so the least is 0.
        int least = met[i * n + i], most = least;
        for (int j = 1; j <= playerCount; ++j) {
            least = std::min(least, met[i * n + j]);
            most = std::max(most, met[i * n + j]);
        }
        if (most - least <= diversityLimit) continue;
        ++lacking;
        for (int j = i + 1; j <= playerCount; ++j) {
            const int times = met[i * n + j];
            if (times > diversityLimit + least)
                details.push_back(Format("player %d with player %d - %d time", i, j, times) +
                                  Plural(times));
        }
    }
    if (HasOption(ScheduleDiversity) && lacking > 0) {
        AddSummaryLine(Format(lacking == 1 ? "%d player may lack match diversity"
                                           : "%d players may lack match diversity",
                              lacking));
        found = true;
    }
    return found;
}

bool Matches::CheckGaps(std::vector<std::string>& details) {
    ComputeGapThreshold();
    bool found = false;
    for (int i = 1; i <= playerCount; ++i) {
        int idle = 1;
        for (int r = 1; r <= rounds; ++r) {
            idle = CourtOfPlayer(r, i) != 0 ? 0 : idle + 1;
            if (idle > gapThreshold) {
                details.push_back(Format("player %d has a long gap between assignments", i));
                found = true;
                break;
            }
        }
    }
    if (found)
        AddSummaryLine(
            Format("Some players have long schedule gaps, more than %d rounds", gapThreshold));
    return found;
}

void Matches::WriteAnalysis(std::vector<std::string>& list) const {
    WriteAnalysis(list, Settings.ZSwitch());
}

void Matches::WriteAnalysis(std::vector<std::string>& list, bool trace) const {
    list.clear();
    list.push_back("  ** MATCH ANALYSIS **  ");
    if (playerCount >= kAnalysisPlayers) {
        list.push_back("sorry, too many players for analysis");
        return;
    }
    const int n = playerCount + 1;
    // Partners below the diagonal, opponents above it; the court chart has a
    // row for each of the plan's courts.
    std::vector<int> chart(static_cast<std::size_t>(n * n), 0);
    std::vector<int> onCourt(static_cast<std::size_t>((courts + 1) * n), 0);
    std::vector<int> hosted(static_cast<std::size_t>(n), 0);
    const auto known = [&](int p) { return p > 0 && p <= playerCount; };
    const auto meet = [&](int a, int b, bool partners) {
        if (!known(a) || !known(b)) return;
        const int low = std::min(a, b), high = std::max(a, b);
        if (partners)
            ++chart[high * n + low];
        else
            ++chart[low * n + high];
    };
    for (int r = 1; r <= rounds; ++r)
        for (int c = 1; c <= courts; ++c) {
            const int box[5] = {0, GetSlot(r, c, 1), GetSlot(r, c, 2), GetSlot(r, c, 3),
                                GetSlot(r, c, 4)};
            meet(box[1], box[2], true);
            meet(box[3], box[4], true);
            for (const int a : {1, 2})
                for (const int b : {3, 4})
                    meet(box[a], box[b], false);
            for (int p = 1; p <= 4; ++p)
                if (known(box[p])) ++onCourt[c * n + box[p]];
            if (known(box[1])) ++hosted[box[1]];
        }

    list.push_back("partnering in lower left of chart");
    list.push_back("opposing in upper right of chart");
    for (int i = 1; i <= playerCount; ++i) {
        std::string line;
        for (int j = 1; j <= playerCount; ++j)
            line += i == j ? "* " : std::to_string(chart[i * n + j]) + " ";
        list.push_back(line);
    }
    list.push_back("");
    list.push_back("number of appearances on each court");
    for (int c = 1; c <= courts; ++c) {
        std::string line;
        for (int i = 1; i <= playerCount; ++i)
            line += std::to_string(onCourt[c * n + i]) + " ";
        list.push_back(line);
    }
    list.push_back("");
    list.push_back("number of host assignments (if applicable)");
    std::string line;
    for (int i = 1; i <= playerCount; ++i)
        line += std::to_string(hosted[i]) + " ";
    list.push_back(line);
    list.push_back("");
    if (trace) {
        list.push_back("detailed trace information....");
        list.insert(list.end(), traceList.begin(), traceList.end());
    }
}

#pragma once
// Match plans for the warning and report tests, built from a case's script
// ("plan"):
//
//   heading|text            note|n|text
//   options|word            (the whole option word, hex or decimal)
//   threshold|percent       diversity|times       type|schedule type
//   courts|DDS...           (one type letter a court)
//   rounds|n|notation 1|notation 2 ...
//   player|first|last|gender|work phone|home phone|e-mail|other 1|other 2
//   players|n|genders       ("F1 L1" ... "Fn Ln", genders one letter each)
//   round|r|box of court 1|box of court 2 ...
//                           (a box is its numbers in position order, two
//                            of them a singles match on positions 1 and 3;
//                            empty or "-" for an empty box)
//   fill|r|first player     (every court of round r, in number order)
//   modified                (edited by hand after an engine made it)
//   trace|text              (a line of the assignment run's trace)
//   zswitch                 (the program runs with "-Z": the analysis shows
//                            the trace)

#include "tests/support/Golden.h"
#include "unified/schedule/Matches.h"

#include <cstdlib>
#include <sstream>
#include <string>
#include <vector>

// A plan and whether its analysis is asked for as under "-Z".
class ScriptedPlan : public Matches {
public:
    bool zSwitch = false;
};

inline void PlayPlanScript(const std::string& script, ScriptedPlan& plan) {
    for (const ScriptLine& line : ScriptLines(script)) {
        const std::string& op = line.Op();
        if (op == "heading") {
            plan.SetHeading(line.Arg(1));
        } else if (op == "note") {
            plan.SetNote(line.Num(1), line.Arg(2));
        } else if (op == "options") {
            plan.ClearOptions(0xFFFFFFFFu);
            plan.SetOptions(
                static_cast<std::uint32_t>(std::strtoul(line.Arg(1).c_str(), nullptr, 0)));
        } else if (op == "threshold") {
            plan.SetDisparityThreshold(line.Num(1));
        } else if (op == "diversity") {
            plan.SetDiversityLimit(line.Num(1));
        } else if (op == "type") {
            plan.SetScheduleType(line.Num(1));
        } else if (op == "courts") {
            const std::string types = " " + line.Arg(1);
            EXPECT_TRUE(plan.SetCourtTypes(static_cast<int>(types.size()) - 1, types.c_str()))
                << line.Text();
        } else if (op == "rounds") {
            std::vector<std::string> notations(static_cast<std::size_t>(line.Num(1)) + 1);
            for (std::size_t r = 1; r < notations.size(); ++r)
                notations[r] = line.Arg(r + 1);
            EXPECT_TRUE(plan.SetRounds(line.Num(1), notations.data())) << line.Text();
        } else if (op == "player") {
            ::Player p;
            p.firstName = line.Arg(1);
            p.lastName = line.Arg(2);
            p.gender = line.Arg(3).empty() ? ' ' : line.Arg(3)[0];
            p.workPhone = line.Arg(4);
            p.homePhone = line.Arg(5);
            p.email = line.Arg(6);
            p.other1 = line.Arg(7);
            p.other2 = line.Arg(8);
            EXPECT_EQ(plan.AddPlayer(p, nullptr), rcOk) << line.Text();
        } else if (op == "players") {
            const std::string genders = line.Arg(2);
            for (int i = 1; i <= line.Num(1); ++i) {
                ::Player p;
                p.firstName = "F" + std::to_string(i);
                p.lastName = "L" + std::to_string(i);
                p.gender = i <= static_cast<int>(genders.size()) ? genders[i - 1] : ' ';
                EXPECT_EQ(plan.AddPlayer(p, nullptr), rcOk) << line.Text();
            }
        } else if (op == "round") {
            for (std::size_t c = 2; c < line.FieldCount(); ++c) {
                std::istringstream in(line.Arg(c));
                std::vector<int> numbers;
                for (std::string n; in >> n && n != "-";)
                    numbers.push_back(std::atoi(n.c_str()));
                // Two numbers are a singles match: positions 1 and 3.
                for (std::size_t i = 0; i < numbers.size(); ++i) {
                    const int p = numbers.size() == 2 && i == 1 ? 3 : static_cast<int>(i) + 1;
                    EXPECT_EQ(plan.SetSlot(line.Num(1), static_cast<int>(c) - 1, p, numbers[i]),
                              rcOk)
                        << line.Text();
                }
            }
        } else if (op == "fill") {
            int n = line.Num(2);
            for (int c = 1; c <= plan.CourtCount(); ++c)
                for (int p = 1; p <= plan.PlayersPerCourt(c); ++p)
                    EXPECT_EQ(plan.SetSlot(line.Num(1), c,
                                           p == 2 && plan.PlayersPerCourt(c) == 2 ? 3 : p, n++),
                              rcOk)
                        << line.Text();
        } else if (op == "modified") {
            plan.SetManuallyModified();
        } else if (op == "zswitch") {
            plan.zSwitch = true;
        } else if (op == "trace") {
            plan.AddTrace(line.Arg(1));
        } else {
            ADD_FAILURE() << "unknown script line: " << line.Text();
        }
    }
}

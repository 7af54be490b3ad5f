#include "unified/ladder/Ladder.h"

#include <cstdio>
#include <gtest/gtest.h>
#include <sstream>
#include <string>

namespace {

std::string Stored(const std::string& typed) {
    std::string date = typed;
    return Ladder::ParseResultDate(date) ? date : "FAIL";
}

// What a command prints; empty when it cannot run or fails.
std::string Output(const std::string& command) {
    std::string out;
    FILE* pipe = popen(command.c_str(), "r");
    if (pipe == nullptr) return out;
    char buffer[4096];
    std::size_t n;
    while ((n = std::fread(buffer, 1, sizeof buffer, pipe)) > 0)
        out.append(buffer, n);
    return pclose(pipe) == 0 ? out : std::string();
}

} // namespace

TEST(ParseResultDate, LeapYearsTwoDigitYearsAndSeparators) {
    EXPECT_EQ(Stored("2/29/2000"), "20000229");
    EXPECT_EQ(Stored("2/29/1900"), "19000229"); // no century rule
    EXPECT_EQ(Stored("2/29/04"), "20040229");
    EXPECT_EQ(Stored("2/29/2001"), "FAIL");
    EXPECT_EQ(Stored("2/30/2004"), "FAIL");
    EXPECT_EQ(Stored("7-4-50"), "20500704");
    EXPECT_EQ(Stored("7.4.51"), "19510704");
    EXPECT_EQ(Stored("7/4/150"), "FAIL");
    EXPECT_EQ(Stored("7/4/1776"), "17760704");
    EXPECT_EQ(Stored("  7/4/2007 at the club"), "20070704");
    EXPECT_EQ(Stored("7-4/2007"), "FAIL");
    EXPECT_EQ(Stored("7/4/99999999999999999999"), "FAIL");
}

// The same rules over many typed dates, each checked against Python's
// calendar (see dates.py for the two rules the ladder adds to it).
TEST(ParseResultDate, AgreesWithPythonDatetime) {
    for (const int seed : {1, 2, 3}) {
        SCOPED_TRACE("seed " + std::to_string(seed));
        const std::string table = Output("/usr/bin/python3 " LADDER_TEST_DIR "/dates.py " +
                                         std::to_string(seed) + " 6000");
        std::istringstream lines(table);
        std::string line;
        int cases = 0;
        while (std::getline(lines, line)) {
            const std::size_t tab = line.find('\t');
            ASSERT_NE(tab, std::string::npos) << line;
            const std::string typed = line.substr(tab + 1);
            EXPECT_EQ(Stored(typed), line.substr(0, tab)) << "typed \"" << typed << "\"";
            ++cases;
        }
        EXPECT_GT(cases, 6000);
    }
}

#include "installer/freedesktop.h"

#include <gtest/gtest.h>

namespace {

TEST(MergeMimeApps, AddsOurLinesAndNeverReplacesTheUsers) {
    const std::vector<std::pair<std::string, std::string>> ours = {
        {"application/x-rostrix-ladder", "Rostrix.ChallengeLadder.1.desktop"},
        {"application/x-rostrix-schedule", "Rostrix.MatchScheduling.1.desktop"},
    };
    const struct {
        const char* name;
        std::string before, after;
    } cases[] = {
        {"no file", "",
         "[Added Associations]\n"
         "application/x-rostrix-ladder=Rostrix.ChallengeLadder.1.desktop;\n"
         "application/x-rostrix-schedule=Rostrix.MatchScheduling.1.desktop;\n"
         "\n"
         "[Default Applications]\n"
         "application/x-rostrix-ladder=Rostrix.ChallengeLadder.1.desktop\n"
         "application/x-rostrix-schedule=Rostrix.MatchScheduling.1.desktop\n"},
        {"the user's own choices stay",
         "# mine\n[Default Applications]\ntext/html=firefox.desktop\n"
         "application/x-rostrix-ladder = ladders.desktop\n\n"
         "[Added Associations]\napplication/x-rostrix-ladder=ladders.desktop\n\n"
         "[Removed Associations]\nimage/png=gimp.desktop;\n",
         "# mine\n[Default Applications]\ntext/html=firefox.desktop\n"
         "application/x-rostrix-ladder = ladders.desktop\n"
         "application/x-rostrix-schedule=Rostrix.MatchScheduling.1.desktop\n\n"
         "[Added Associations]\n"
         "application/x-rostrix-ladder=ladders.desktop;Rostrix.ChallengeLadder.1.desktop;\n"
         "application/x-rostrix-schedule=Rostrix.MatchScheduling.1.desktop;\n\n"
         "[Removed Associations]\nimage/png=gimp.desktop;\n"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        const std::string merged = MergeMimeApps(c.before, ours);
        EXPECT_EQ(merged, c.after);
        // A second install changes nothing.
        EXPECT_EQ(MergeMimeApps(merged, ours), merged);
    }
}

} // namespace

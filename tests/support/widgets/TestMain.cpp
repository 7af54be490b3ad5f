// The main of the widget test programs: the program's application object on
// the offscreen platform (no display needed), with the Qt back ends it
// installs, and strict box and dialog responders.

#include "platform/widgets/Application.h"
#include "tests/support/Responders.h"

#include <cstdlib>
#include <gtest/gtest.h>

namespace {

class StrictResponders : public testing::EmptyTestEventListener {
    void OnTestStart(const testing::TestInfo&) override {
        InstallStrictResponders();
        InstallStrictDialogResponder();
    }
};

} // namespace

int main(int argc, char** argv) {
    setenv("QT_QPA_PLATFORM", "offscreen", 0);
    testing::InitGoogleTest(&argc, argv);
    Application application(argc, argv);
    testing::UnitTest::GetInstance()->listeners().Append(new StrictResponders);
    return RUN_ALL_TESTS();
}

// The main of the model's test programs: a core application object (no
// window system) and strict box and dialog responders.

#include "tests/support/Responders.h"

#include <QCoreApplication>
#include <gtest/gtest.h>

namespace {

class StrictResponders : public testing::EmptyTestEventListener {
    void OnTestStart(const testing::TestInfo&) override { InstallStrictResponders(); }
};

} // namespace

int main(int argc, char** argv) {
    testing::InitGoogleTest(&argc, argv);
    QCoreApplication application(argc, argv);
    testing::UnitTest::GetInstance()->listeners().Append(new StrictResponders);
    return RUN_ALL_TESTS();
}

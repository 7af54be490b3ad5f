#include "unified/core/rxerrors.h"
#include "platform/MessageBox.h"
#include "tests/support/Responders.h"
#include "unified/core/RXEvent.h"

#include <gtest/gtest.h>

TEST(ErrorTable, EveryCodeHasItsMessage) {
    const std::pair<short, const char*> table[] = {
        {1, "Error attempting to open file."},
        {4, "Cannot allocate enough memory."},
        {5, "Bad data in file."},
        {7, "Maximum number of players allowed."},
        {8, "Duplicate player name not allowed."},
        {9, "Bad data - first or last name must be provided for every player."},
        {200, "Cannot add/delete players after draw is created.  You must clear the draw first."},
        {201, "Cannot update result; next round has already been decided."},
        {202, "Cannot update result; previous round not yet decided."},
        {203, "Cannot update result for a bye round."},
        {300, "Some gender indications are missing."},
        {304, "Too few rounds are planned to allow this many per player."},
        {305, "Too few courts are available for round robin schedule."},
        {306, "Round robin schedule is supported for only 2 to 100 players."},
        {307, "Doubles round robin schedule is supported for only 4 to 24 players."},
        {308, "Round robin scheduling only applies to singles configuration."},
        {309, "Doubles round robin scheduling only applies to doubles configuration, and number "
              "of players must be a multiple of four."},
        {310, "Number of players must be multiple of 4 for doubles round robin."},
        {311, "Number of players must be multiple of 2 for fixed-partner round robin."},
    };
    BoxScript boxes;
    for (const auto& [code, message] : table)
        boxes.Expect("Error", message, MB_OK | MB_ICONEXCLAMATION);
    for (const auto& [code, message] : table)
        ShowErrorMessage(code);
}

TEST(ErrorTable, InternalAndUnknownCodesCarryTheLocationOnce) {
    BoxScript boxes;
    SetErrorLocation();
    const std::string location = ErrorLocation;
    EXPECT_EQ(location.rfind(" at tests/core/rxerrorsTest.cpp ", 0), 0u) << location;
    boxes
        .Expect("Error", "Internal processing error, err=10" + location, MB_OK | MB_ICONEXCLAMATION)
        .Expect("Error", "Internal processing error, err=10", MB_OK | MB_ICONEXCLAMATION);
    ShowErrorMessage(10);
    EXPECT_EQ(ErrorLocation, "");
    // A second box of the same code no longer says where.
    ShowErrorMessage(10);

    ErrorLocation = " at somewhere.cpp 12";
    boxes.Expect("Error", "Unknown error:  999 at somewhere.cpp 12", MB_OK | MB_ICONEXCLAMATION)
        .Expect("Error", "Unknown error:  400", MB_OK | MB_ICONEXCLAMATION)
        .Expect("Error", "Unknown error:  -1", MB_OK | MB_ICONEXCLAMATION);
    ShowErrorMessage(999);
    EXPECT_EQ(ErrorLocation, "");
    ShowErrorMessage(400); // a code handled by callers, reaching the table
    ShowErrorMessage(-1);
}

TEST(MessageBoxes, CaptionsButtonsAndIcons) {
    BoxScript boxes;
    boxes.Expect("Information", "Saved.", MB_OK | MB_ICONINFORMATION)
        .Expect("Warning", "Careful.", MB_OK | MB_ICONEXCLAMATION)
        .Expect("Confirmation", "Go on?", MB_OKCANCEL | MB_ICONQUESTION, IDOK)
        .Expect("Confirmation", "Go on?", MB_OKCANCEL | MB_ICONQUESTION, IDCANCEL)
        .Expect("Debugging", "a", MB_OK | MB_ICONEXCLAMATION)
        .Expect("Debugging", "a  b", MB_OK | MB_ICONEXCLAMATION);
    EXPECT_EQ(ShowInformation("Saved."), IDOK);
    EXPECT_EQ(ShowWarning("Careful."), IDOK);
    EXPECT_TRUE(AskConfirmation("Go on?"));
    EXPECT_FALSE(AskConfirmation("Go on?"));
    ShowDebugMessage("a");
    ShowDebugMessage2("a", "b");
}

TEST(EmptyForZero, IntegersAndReals) {
    EXPECT_EQ(IntToTextOrEmpty(0), "");
    EXPECT_EQ(IntToTextOrEmpty(42), "42");
    EXPECT_EQ(IntToTextOrEmpty(-3), "-3");
    EXPECT_EQ(FloatToTextOrEmpty(0.0, FloatFormat::Fixed, 15, 2), "");
    EXPECT_EQ(FloatToTextOrEmpty(-0.0, FloatFormat::General, 15, 0), "");
    EXPECT_EQ(FloatToTextOrEmpty(0.5, FloatFormat::Fixed, 15, 2), "0.50");
    EXPECT_EQ(FloatToTextOrEmpty(1e-9, FloatFormat::Fixed, 15, 2), "0.00");
}

TEST(FloatFormats, GeneralFixedNumberAndExponent) {
    EXPECT_EQ(FormatFloat(1.0, FloatFormat::General, 15, 0), "1");
    EXPECT_EQ(FormatFloat(2.5, FloatFormat::General, 15, 0), "2.5");
    EXPECT_EQ(FormatFloat(0.1, FloatFormat::General, 7, 0), "0.1");
    EXPECT_EQ(FormatFloat(123456.0, FloatFormat::General, 4, 0), "1.235E+5");
    EXPECT_EQ(FormatFloat(0.000001, FloatFormat::General, 15, 2), "1E-06");
    EXPECT_EQ(FormatFloat(99.96, FloatFormat::General, 3, 0), "100");
    EXPECT_EQ(FormatFloat(3.14159, FloatFormat::Fixed, 15, 2), "3.14");
    EXPECT_EQ(FormatFloat(2.0, FloatFormat::Fixed, 15, 1), "2.0");
    EXPECT_EQ(FormatFloat(-0.75, FloatFormat::Fixed, 15, 1), "-0.8");
    EXPECT_EQ(FormatFloat(123.456, FloatFormat::Fixed, 4, 2), "123.50");
    EXPECT_EQ(FormatFloat(12345.0, FloatFormat::Fixed, 3, 2), "1.23E+4");
    EXPECT_EQ(FormatFloat(1234567.891, FloatFormat::Number, 15, 2), "1,234,567.89");
    EXPECT_EQ(FormatFloat(-1234.6, FloatFormat::Number, 15, 0), "-1,235");
    EXPECT_EQ(FormatFloat(123.0, FloatFormat::Number, 15, 1), "123.0");
    EXPECT_EQ(FormatFloat(1234.5, FloatFormat::Exponent, 3, 2), "1.23E+03");
    EXPECT_EQ(FormatFloat(0.00125, FloatFormat::Exponent, 2, 0), "1.3E-3");
}

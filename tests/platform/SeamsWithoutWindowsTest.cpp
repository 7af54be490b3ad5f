// The platform's base as the model and the network layer run it: under a
// core application object, with no widgets part to install the back ends.
// Every seam must still answer, and answer safely.

#include "platform/ApplicationState.h"
#include "platform/FileDialog.h"
#include "platform/MessageBox.h"
#include "platform/RecordingPrinter.h"
#include "platform/ShellOpen.h"
#include "tests/support/Scratch.h"

#include <gtest/gtest.h>

TEST(SeamsWithoutWindows, EachTakesItsSafeAnswer) {
    const MessageBoxResponder boxes = SetMessageBoxResponder({});
    const FileDialogResponder files = SetFileDialogResponder({});
    const ShellOpenResponder shell = SetShellOpenResponder({});

    // A box is said on the error output; only a box of OK alone says OK.
    const struct {
        unsigned flags;
        int answer;
    } cases[] = {
        {MB_OK | MB_ICONSTOP, IDOK},
        {MB_OKCANCEL | MB_ICONQUESTION, IDCANCEL},
        {MB_YESNOCANCEL | MB_ICONQUESTION, IDCANCEL},
        {MB_YESNO | MB_ICONINFORMATION, IDCANCEL},
    };
    for (const auto& c : cases) {
        testing::internal::CaptureStderr();
        EXPECT_EQ(MessageBox("Overwrite it?", "File exists!", c.flags), c.answer) << c.flags;
        EXPECT_EQ(testing::internal::GetCapturedStderr(), "File exists!: Overwrite it?\n");
    }

    // A file dialog is cancelled and keeps what it was asked.
    FileDialog dialog{"Open", "/tmp", "*.lad", "Ladders|*.lad", "lad"};
    EXPECT_FALSE(ExecuteOpenDialog(dialog));
    EXPECT_FALSE(ExecuteSaveDialog(dialog));
    EXPECT_EQ(dialog.fileName, "*.lad");

    // Nothing has a handler, but a missing file is still told apart.
    TempFolder folder;
    WriteFile(folder.File("index.html"), "<html></html>");
    EXPECT_EQ(ShellOpen("index.html", folder.Path()), SE_ERR_NOASSOC);
    EXPECT_EQ(ShellOpen("https://example.org/", ""), SE_ERR_NOASSOC);
    EXPECT_EQ(ShellOpen("missing.html", folder.Path()), SE_ERR_FNF);

    // No system printer, and no dialog for another one.
    EXPECT_EQ(NewSystemPrinter(), nullptr);
    RecordingPrinter recording;
    EXPECT_FALSE(PrintDialog(recording));
    EXPECT_FALSE(PrinterSetupDialog(recording));

    // The icon's file is kept for the window that may come.
    WriteFile(folder.File("rostrix.ico"), "icon");
    EXPECT_TRUE(SetApplicationIcon(folder.File("rostrix.ico")));
    EXPECT_EQ(ApplicationIconPath(), folder.File("rostrix.ico"));
    SetMainWindowCaption("Rostrix");

    SetMessageBoxResponder(boxes);
    SetFileDialogResponder(files);
    SetShellOpenResponder(shell);
}

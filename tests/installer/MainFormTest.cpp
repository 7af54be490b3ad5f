#include "installer/MainForm.h"
#include "platform/Environment.h"
#include "tests/installer/InstallerFixture.h"

#include <QCheckBox>
#include <QCoreApplication>
#include <QLabel>
#include <QLineEdit>
#include <QProgressBar>
#include <QPushButton>
#include <QRadioButton>
#include <QTest>
#include <filesystem>
#include <gtest/gtest.h>

namespace {

const unsigned kError = MB_OK | MB_ICONSTOP;
const unsigned kInformation = MB_OK | MB_ICONINFORMATION;

using InstallerWindow = ScratchHome;

TEST_F(InstallerWindow, TheCommandLineChoosesTheMode) {
    WriteProductKey("/opt/club/Rostrix", "Club");
    const struct {
        std::vector<std::string> arguments;
        int mode;
    } cases[] = {
        {{}, 1},
        {{"-C"}, 0},
        {{"-U"}, 3},
        {{"-C", "-U"}, 3},
        {{"-U", "-C"}, 0},
        {{"-c"}, 1},
        {{"-u", "x", "--C"}, 1},
    };
    for (const auto& c : cases) {
        BoxScript boxes;
        auto form = Start(boxes, c.arguments);
        EXPECT_EQ(form->InstallFrom->ItemIndex(), c.mode) << testing::PrintToString(c.arguments);
        EXPECT_EQ(boxes.Seen().size(), 1u);
    }
}

TEST_F(InstallerWindow, EachModeFillsAndEnablesItsFields) {
    WriteProductKey("/opt/club/Rostrix", "Club/Rostrix");
    BoxScript boxes;
    auto form = Start(boxes);
    const std::string install = Home() + "/.local/share/Palomet Software/Rostrix";
    const struct {
        int mode;
        QString source, dest, folder, caption;
        bool sourceOn, destOn, folderOn, associations;
    } cases[] = {
        {0, QCoreApplication::applicationDirPath(), QString::fromStdString(install), "Rostrix",
         "Ins&tall", true, true, true, true},
        {1, "", QString::fromStdString(install), "Rostrix", "Ins&tall", false, true, true, true},
        {2, "", QString::fromStdString(Home() + "/Rostrix CD"), "", "Make CD", false, true, false,
         false},
        {3, "", "/opt/club/Rostrix", "Club/Rostrix", "Unins&tall", false, false, false, false},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.mode);
        // Typing is lost on a mode change.
        form->SourceDir->setText("typed");
        form->CheckBoxTrn->setChecked(!c.associations);
        form->InstallFrom->SetItemIndex(c.mode);
        EXPECT_EQ(form->SourceDir->text(), c.source);
        EXPECT_EQ(form->DestDir->text(), c.dest);
        EXPECT_EQ(form->ProgFolder->text(), c.folder);
        EXPECT_EQ(form->Install->text(), c.caption);
        EXPECT_EQ(form->SourceDir->isEnabled(), c.sourceOn);
        EXPECT_EQ(form->sdLabel->isEnabled(), c.sourceOn);
        EXPECT_EQ(form->DestDir->isEnabled(), c.destOn);
        EXPECT_EQ(form->ddLabel->isEnabled(), c.destOn);
        EXPECT_EQ(form->ProgFolder->isEnabled(), c.folderOn);
        EXPECT_EQ(form->pfLabel->isEnabled(), c.folderOn);
        for (QCheckBox* box : {form->CheckBoxLad, form->CheckBoxRxd, form->CheckBoxTrn}) {
            EXPECT_EQ(box->isEnabled(), c.associations);
            EXPECT_EQ(box->isChecked(), c.associations);
        }
    }
    // The user's click runs the same handler.
    form->InstallFrom->Button(2)->click();
    EXPECT_EQ(form->Install->text(), "Make CD");
}

TEST_F(InstallerWindow, UninstallWithoutTheProductKeyKeepsTheFields) {
    BoxScript boxes;
    auto form = Start(boxes);
    const QString dest = form->DestDir->text();
    boxes.Expect("Error", "Error occurred attempting to find the software!", kError);
    form->InstallFrom->Button(3)->click();
    EXPECT_EQ(form->DestDir->text(), dest);
    EXPECT_EQ(form->Install->text(), "Ins&tall");
    // Install removes nothing without a folder read from the registry.
    boxes.Expect("Error", "Error occurred attempting to find the software!", kError);
    form->Install->click();
    EXPECT_TRUE(form->isVisible());
    EXPECT_EQ(boxes.Seen().size(), 3u);
}

// Every refusal before a sequence: the box, the field that gets the focus,
// and nothing written anywhere.
TEST_F(InstallerWindow, FieldChecksAndUninstallRefusals) {
    const std::string cd = Home() + "/cd";
    std::filesystem::create_directories(cd);
    const std::string dest = Home() + "/Rostrix";
    // No folder can be made below a file.
    const std::string unmade = Home() + "/plain/Rostrix";
    WriteFile(Home() + "/plain", "");
    const std::string noSource = "Source Directory name is required.";
    auto badSource = [](const std::string& s) {
        return "Error occurred in accessing the source directory, " + s +
               ".  Please verify your entry and try again.";
    };
    const std::string badDest = "Destination Directory name is required, and must include a "
                                "drive letter and a full path name.  For example:  C:\\Rostrix";
    const std::string badCdDest =
        "Destination Directory name is required, and must include at least a drive letter and "
        "colon.  It may also include a full path name.  For example:  D:  or  C:\\Rostrix";
    const std::string noFolder = "Program Folder name (for the Start Menu) is required.";
    const std::string badFolder = "Program Folder name must be a folder name below the Start "
                                  "Menu, without \".\" or \"..\" parts.";
    const std::string notFound = "Error occurred attempting to find the software!";
    enum Focus { None, Source, Dest, Folder };
    const struct {
        int mode;
        std::string source, dest, folder;
        std::string message;
        Focus focus;
    } cases[] = {
        {0, "", dest, "Rostrix", noSource, Source},
        {0, "cd", dest, "Rostrix", badSource("cd"), Source},
        {0, cd + "/missing", dest, "Rostrix", badSource(cd + "/missing"), Source},
        {0, cd + "/../cd", dest, "Rostrix", badSource(cd + "/../cd"), Source},
        {0, cd + "\n", dest, "Rostrix", badSource(cd + "\n"), Source},
        {0, cd, "", "Rostrix", badDest, Dest},
        {0, cd, "Rostrix", "Rostrix", badDest, Dest},
        {0, cd, "/", "Rostrix", badDest, Dest},
        {1, "", "//", "Rostrix", badDest, Dest},
        {1, "", Home() + "/./Rostrix", "Rostrix", badDest, Dest},
        {1, "", Home() + "/x/../../etc", "Rostrix", badDest, Dest},
        {1, "", Home() + "/Ro\tstrix", "Rostrix", badDest, Dest},
        {1, "", Home() + "/Ro\x7fstrix", "Rostrix", badDest, Dest},
        {0, cd, dest, "", noFolder, Folder},
        {1, "", dest, "../../.config/autostart", badFolder, Folder},
        {1, "", dest, "Club/../..", badFolder, Folder},
        {1, "", dest, "/etc/xdg", badFolder, Folder},
        {1, "", dest, ".", badFolder, Folder},
        {1, "", dest, "Club\x1b", badFolder, Folder},
        {2, "", "", "", badCdDest, Dest},
        {2, "", "cd", "", badCdDest, Dest},
        {2, "", "/", "", badCdDest, Dest},
        {2, "", Home() + "/../cd", "", badCdDest, Dest},
        {1, "", unmade, "Rostrix", "Error occurred in creating destination directory, " + unmade,
         Dest},
        {2, "", unmade, "", "Error occurred in creating destination directory, " + unmade, Dest},
    };
    BoxScript boxes;
    auto form = Start(boxes);
    const std::set<std::string> before = Tree();
    for (const auto& c : cases) {
        SCOPED_TRACE(c.message + " / " + c.source + " / " + c.dest + " / " + c.folder);
        form->InstallFrom->SetItemIndex(c.mode);
        form->SourceDir->setText(QString::fromStdString(c.source));
        form->DestDir->setText(QString::fromStdString(c.dest));
        form->ProgFolder->setText(QString::fromStdString(c.folder));
        boxes.Expect("Error", c.message, kError);
        form->Install->click();
        QLineEdit* focus = c.focus == Source ? form->SourceDir
                           : c.focus == Dest ? form->DestDir
                                             : form->ProgFolder;
        EXPECT_EQ(form->focusWidget(), focus);
        EXPECT_EQ(form->Progress(), 0);
        EXPECT_EQ(Tree(), before);
    }

    // The uninstall takes its folders from the registry: a missing, relative
    // or root folder, or one that climbs out, removes nothing.
    WriteFile(Home() + "/rostrix", "not the installer's");
    const struct {
        std::string installed, folder;
    } stored[] = {
        {"", "Rostrix"},
        {"/", "Rostrix"},
        {"Rostrix", "Rostrix"},
        {Home() + "/..", ""},
        {Home() + "/x/..", "Rostrix"},
        {Home(), "../../.."},
        {Home(), "/etc/xdg"},
    };
    for (const auto& s : stored) {
        SCOPED_TRACE(s.installed + " / " + s.folder);
        WriteProductKey(s.installed, s.folder);
        form->InstallFrom->SetItemIndex(1);
        form->InstallFrom->SetItemIndex(3);
        boxes.Expect("Error", notFound, kError);
        form->Install->click();
        EXPECT_TRUE(ProductKeyExists());
        EXPECT_TRUE(FileExists(Home() + "/rostrix"));
        EXPECT_TRUE(form->isVisible());
    }
}

TEST_F(InstallerWindow, EscapeInAFieldIsExit) {
    BoxScript boxes;
    auto form = Start(boxes);
    form->DestDir->setFocus();
    QTest::keyClick(form->DestDir, Qt::Key_Escape);
    EXPECT_FALSE(form->isVisible());
}

TEST_F(InstallerWindow, ProgressOnlyGrowsWithinItsLimit) {
    BoxScript boxes;
    auto form = Start(boxes);
    EXPECT_EQ(form->ProgressLabel->text(), "Progress");
    form->SetProgress(40);
    EXPECT_EQ(form->ProgressLabel->text(), "Progress:  40%");
    form->RaiseProgress(30);
    form->StepProgress(5, 44);
    EXPECT_EQ(form->Progress(), 40);
    EXPECT_EQ(form->ProgressBar1->value(), 40);
    form->StepProgress(5, 45);
    EXPECT_EQ(form->ProgressLabel->text(), "Progress:  45%");
    EXPECT_EQ(form->ProgressBar1->value(), 45);
}

} // namespace

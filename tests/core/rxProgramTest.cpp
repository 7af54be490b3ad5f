#include "unified/core/rxProgram.h"
#include "platform/ApplicationState.h"
#include "platform/Environment.h"
#include "platform/Registry.h"
#include "tests/support/Scratch.h"

#include <cctype>
#include <filesystem>
#include <gtest/gtest.h>

namespace {

// Settings as they stand at start: no installation folder in the registry.
class CommandLine : public testing::Test {
protected:
    TempFolder registryFolder;
    ScopedEnv registry{"ROSTRIX_REGISTRY", registryFolder.Path()};
    rxProgram settings;
};

void WriteInstallDirectory(const std::string& value) {
    TRegistry reg;
    reg.SetRootKey(HKEY_LOCAL_MACHINE);
    ASSERT_TRUE(reg.OpenKey("Software\\Palomet Software\\Rostrix", true));
    reg.WriteString("installDirectory", value);
}

} // namespace

TEST_F(CommandLine, NoArgumentsGiveASinglesMatchSchedule) {
    ParseCommandLine(settings, {});
    EXPECT_TRUE(settings.IsMatchPlan());
    EXPECT_FALSE(settings.doubles);
    EXPECT_EQ(settings.eventFile, "");
    EXPECT_EQ(settings.importFile, "");
    EXPECT_EQ(settings.ProductTitle(), "Rostrix");
    EXPECT_EQ(ApplicationTitle(), "Rostrix");
    EXPECT_EQ(settings.VersionText(), "2.3.1");
    EXPECT_EQ(settings.YearsText(), "1997-2007");
}

TEST_F(CommandLine, TheLastKindSwitchWinsAndOtherWordsNameTheEventFile) {
    ParseCommandLine(settings, {"-L", "-P", "club.lad"});
    EXPECT_TRUE(settings.IsMatchPlan());
    EXPECT_EQ(settings.eventFile, "club.lad");

    ParseCommandLine(settings, {"-T", "first.trn", "-L", "second.lad"});
    EXPECT_TRUE(settings.IsLadder());
    EXPECT_EQ(settings.eventFile, "second.lad");

    ParseCommandLine(settings, {"-T"});
    EXPECT_TRUE(settings.IsDraw());
    // The kind carries over to the next parse when no switch names one.
    ParseCommandLine(settings, {"-u"});
    EXPECT_TRUE(settings.IsDraw());
    EXPECT_TRUE(settings.doubles);
}

TEST_F(CommandLine, SwitchesAreCaseSensitive) {
    ParseCommandLine(settings, {"-l"});
    EXPECT_TRUE(settings.IsMatchPlan());
    EXPECT_EQ(settings.eventFile, "-l");
    ParseCommandLine(settings, {"-U", "-z"});
    EXPECT_FALSE(settings.doubles);
    EXPECT_FALSE(settings.ZSwitch());
    EXPECT_EQ(settings.eventFile, "-z");
}

TEST_F(CommandLine, ImportTakesTheNextArgumentUnlessItIsLast) {
    ParseCommandLine(settings, {"-i", "players.txt", "club.rxd"});
    EXPECT_EQ(settings.importFile, "players.txt");
    EXPECT_EQ(settings.eventFile, "club.rxd");

    // "-i" as the last argument is a file name like any other.
    ParseCommandLine(settings, {"club.rxd", "-i"});
    EXPECT_EQ(settings.importFile, "");
    EXPECT_EQ(settings.eventFile, "-i");

    // A parse starts from nothing: no import or file left from before.
    ParseCommandLine(settings, {"-L"});
    EXPECT_EQ(settings.importFile, "");
    EXPECT_EQ(settings.eventFile, "");
}

TEST_F(CommandLine, ZMakesTheCurrentFolderTheInstallationAndDataFolder) {
    TempFolder here;
    ScopedCurrentDir in(here.Path());
    const std::string current = GetCurrentDir();
    ParseCommandLine(settings, {"-Z"});
    EXPECT_TRUE(settings.ZSwitch());
    EXPECT_EQ(settings.InstallDirectory(), current);
    EXPECT_EQ(settings.DataDirectory(), current);
}

TEST_F(CommandLine, StartedInTheInstallationFolderTheDataFolderIsTheUsersDocuments) {
    TempFolder home;
    ScopedEnv h("HOME", home.Path());
    ScopedEnv c("XDG_CONFIG_HOME", std::nullopt);
    std::filesystem::create_directories(home.File("install"));
    ScopedCurrentDir in(home.File("install"));
    // The installation folder as the registry holds it, in other case.
    std::string upper = GetCurrentDir();
    for (char& ch : upper)
        ch = static_cast<char>(std::toupper(static_cast<unsigned char>(ch)));
    WriteInstallDirectory(upper);
    rxProgram installed;

    ParseCommandLine(installed, {});
    EXPECT_EQ(installed.DataDirectory(), home.Path()); // no Documents folder yet

    std::filesystem::create_directories(home.File("Documents"));
    ParseCommandLine(installed, {});
    EXPECT_EQ(installed.DataDirectory(), home.File("Documents"));

    {
        ScopedEnv noHome("HOME", std::nullopt);
        ParseCommandLine(installed, {});
        EXPECT_EQ(installed.DataDirectory(), GetCurrentDir());
    }
    {
        ScopedEnv goneHome("HOME", home.File("gone"));
        ParseCommandLine(installed, {});
        EXPECT_EQ(installed.DataDirectory(), "/");
    }
    // Started elsewhere, the data folder is where it was started.
    ScopedCurrentDir elsewhere(home.Path());
    ParseCommandLine(installed, {});
    EXPECT_EQ(installed.DataDirectory(), GetCurrentDir());
}

TEST_F(CommandLine, TheKindSetsItsIconFromTheInstallationFolder) {
    TempFolder install;
    WriteFile(install.File("Challad.ico"), "icon");
    WriteInstallDirectory(install.Path());
    rxProgram installed;
    installed.SetEventKind(0);
    EXPECT_EQ(ApplicationIconPath(), install.File("Challad.ico"));
    installed.SetEventKind(1); // no tournament icon: the icon stays
    EXPECT_EQ(ApplicationIconPath(), install.File("Challad.ico"));
    installed.SetEventKind(7);
    EXPECT_EQ(installed.VersionText(), "Unknown");
    EXPECT_EQ(installed.YearsText(), "1997-2007");
    EXPECT_EQ(installed.ProductTitle(), "Rostrix");
}

TEST_F(CommandLine, ReadsTheInstallationFolderFromTheRegistry) {
    std::string value = "unchanged";
    EXPECT_FALSE(ReadRegistryValue("", "installDirectory", value));
    EXPECT_EQ(value, "unchanged");
    EXPECT_EQ(settings.InstallDirectory(), "");

    WriteInstallDirectory(std::string(99, 'd'));
    EXPECT_TRUE(ReadRegistryValue("", "installDirectory", value));
    EXPECT_EQ(value, std::string(99, 'd'));
    EXPECT_FALSE(ReadRegistryValue("", "otherValue", value));
    EXPECT_FALSE(ReadRegistryValue("missing", "installDirectory", value));

    // 100 characters need 101 bytes with the closing NUL: too long.
    value = "unchanged";
    WriteInstallDirectory(std::string(100, 'd'));
    EXPECT_FALSE(ReadRegistryValue("", "installDirectory", value));
    EXPECT_EQ(value, "unchanged");
    EXPECT_EQ(rxProgram().InstallDirectory(), "");
}

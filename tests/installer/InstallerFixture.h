#pragma once
// A scratch home for the installer's tests: HOME, the XDG folders and the
// registry all point into a new folder, so that nothing the installer writes
// reaches the user's own files. Helpers lay out a CD folder by hand and
// start the window as the program does.

#include "installer/MainForm.h"
#include "tests/support/Responders.h"
#include "tests/support/Scratch.h"

#include <gtest/gtest.h>
#include <memory>
#include <set>
#include <string>
#include <vector>

extern const char* const kIntroductionText;

class ScratchHome : public testing::Test {
protected:
    ScratchHome();

    std::string Home() const { return home.Path(); }
    std::string DataHome() const { return home.Path() + "/.local/share"; }
    std::string ConfigHome() const { return home.Path() + "/.config"; }
    std::string Applications() const { return DataHome() + "/applications"; }

    // A CD folder with every file of the file table: the samples, icons and
    // manual from dist/, and for the two programs small scripts that write
    // the arguments they were started with to $ROSTRIX_ARGS_OUT.
    std::string MakeCd(const std::string& folder) const;

    // The window as the program starts it, the introduction answered.
    std::unique_ptr<TMainForm> Start(BoxScript& boxes,
                                     const std::vector<std::string>& arguments = {});

    // The registry's product key with these values.
    void WriteProductKey(const std::string& installDirectory, const std::string& progFolder);
    bool ProductKeyExists() const;

    // Every file, folder and link below the home, relative to it.
    std::set<std::string> Tree() const;
    std::set<std::string> Tree(const std::string& root) const;

    TempFolder home;

private:
    ScopedHome homeVars;
    ScopedEnv registry;
    // No test reaches the real server: without a server of its own, a
    // download meets a closed port of this machine.
    ScopedEnv ftpUrl;
};

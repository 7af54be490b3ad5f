#include "platform/FileDialog.h"
#include "tests/support/Scratch.h"

#include <QApplication>
#include <QFileDialog>
#include <QTimer>
#include <gtest/gtest.h>

TEST(FileDialogFilter, PairsBecomeEntriesWithTheirPatterns) {
    const struct {
        const char* filter;
        const char* platform;
    } cases[] = {
        {"Text files (*.txt)|*.txt|All files (*.*)|*.*", "Text files (*.txt);;All files (*)"},
        {"HTML files (*.html)|*.html|HTML files (*.htm)|*.htm",
         "HTML files (*.html);;HTML files (*.htm)"},
        // Several patterns, and a description that names none.
        {"Event files|*.lad;*.trn; *.rxd", "Event files (*.lad *.trn *.rxd)"},
        // The patterns used win over the ones the description shows.
        {"Ladders (*.lad)|*.LAD", "Ladders (*.LAD)"},
        {"Notes (read me)|*.txt", "Notes (read me) (*.txt)"},
        // A description without its pattern is dropped.
        {"Text files (*.txt)|*.txt|Orphan", "Text files (*.txt)"},
        {"", ""},
    };
    for (const auto& c : cases)
        EXPECT_EQ(PlatformFileFilter(c.filter), c.platform) << c.filter;
}

namespace {

// Runs the real dialog: `act` gets it once it is on screen. A dialog still
// open a while later (a question nobody expected) fails the test and is
// closed.
template <typename Run> bool WithRealDialog(Run run, std::function<void(QFileDialog&)> act) {
    const FileDialogResponder saved = SetFileDialogResponder({});
    QTimer::singleShot(0, [act] {
        auto* dialog = qobject_cast<QFileDialog*>(QApplication::activeModalWidget());
        if (dialog == nullptr) {
            ADD_FAILURE() << "no file dialog on screen";
            return;
        }
        act(*dialog);
    });
    QTimer watchdog;
    watchdog.setSingleShot(true);
    QObject::connect(&watchdog, &QTimer::timeout, [] {
        while (QWidget* modal = QApplication::activeModalWidget()) {
            ADD_FAILURE() << "left open: " << modal->metaObject()->className();
            modal->close();
        }
    });
    watchdog.start(3000);
    const bool result = run();
    SetFileDialogResponder(saved);
    return result;
}

} // namespace

TEST(FileDialogWindow, SaveTakesAnExistingFileWithoutAskingAndAddsTheExtension) {
    TempFolder folder;
    WriteFile(folder.File("club.txt"), "old");
    FileDialog save{"Print to File", folder.Path(), "club.txt",
                    "Text files (*.txt)|*.txt|All files (*.*)|*.*", "txt"};
    const bool chosen = WithRealDialog(
        [&] { return ExecuteSaveDialog(save); },
        [&](QFileDialog& d) {
            EXPECT_EQ(d.windowTitle(), "Print to File");
            EXPECT_EQ(d.directory().absolutePath().toStdString(), folder.Path());
            EXPECT_EQ(d.nameFilters(), QStringList({"Text files (*.txt)", "All files (*)"}));
            EXPECT_EQ(d.defaultSuffix(), "txt");
            static_cast<QDialog&>(d).accept();
        });
    EXPECT_TRUE(chosen);
    EXPECT_EQ(save.fileName, folder.File("club.txt"));

    // A name typed without its extension gets the default one; the next
    // dialog without a start folder opens where this one was left.
    TempFolder other;
    FileDialog typed{"Export Player List", other.Path(), "", "Text files (*.txt)|*.txt", "txt"};
    EXPECT_TRUE(WithRealDialog([&] { return ExecuteSaveDialog(typed); },
                               [&](QFileDialog& d) {
                                   d.selectFile("players");
                                   static_cast<QDialog&>(d).accept();
                               }));
    EXPECT_EQ(typed.fileName, other.File("players.txt"));
    FileDialog open{"", "", "*.txt", "Text files (*.txt)|*.txt", "txt"};
    EXPECT_FALSE(WithRealDialog([&] { return ExecuteOpenDialog(open); },
                                [&](QFileDialog& d) {
                                    EXPECT_EQ(d.directory().absolutePath().toStdString(),
                                              other.Path());
                                    EXPECT_EQ(d.fileMode(), QFileDialog::ExistingFile);
                                    d.reject();
                                }));
    EXPECT_EQ(open.fileName, "*.txt");
}

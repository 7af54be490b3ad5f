// The installer window in each mode as the X server shows it: run under
// Xvfb by its own ctest entry (InstallerWindow.ScreenshotOfEachModeUnderXvfb),
// which names the folder for the pictures.

#include "installer/MainForm.h"
#include "platform/Environment.h"
#include "tests/installer/InstallerFixture.h"

#include <QGuiApplication>
#include <QImage>
#include <QLineEdit>
#include <QScreen>
#include <QSet>
#include <QTest>
#include <gtest/gtest.h>
#include <vector>

namespace {

using InstallerScreenshots = ScratchHome;

TEST_F(InstallerScreenshots, EachModeUnderXvfb) {
    const auto folder = GetEnvironmentVariable("ROSTRIX_SCREENSHOTS");
    ASSERT_EQ(QGuiApplication::platformName(), "xcb") << "run under an X server";
    ASSERT_TRUE(folder && !folder->empty()) << "ROSTRIX_SCREENSHOTS names no folder";
    WriteProductKey(Home() + "/Apps/Rostrix", "Rostrix");
    const char* const names[] = {"cd", "internet", "make-cd", "uninstall"};
    BoxScript boxes;
    auto form = Start(boxes);
    std::vector<QImage> shots;
    ASSERT_TRUE(QTest::qWaitForWindowExposed(form.get()));
    QTest::qWait(200);
    // The window opens in the download mode.
    QImage previous = form->screen()->grabWindow(form->winId()).toImage();
    for (int mode = 0; mode < 4; ++mode) {
        form->InstallFrom->SetItemIndex(mode);
        // The X server shows the change once it has been painted: wait for a
        // picture other than the mode's before.
        QImage image;
        for (int tries = 0; tries < 100; ++tries) {
            QTest::qWait(50);
            image = form->screen()->grabWindow(form->winId()).toImage();
            if (image != previous) break;
        }
        ASSERT_FALSE(image.isNull()) << names[mode];
        EXPECT_GE(image.width(), form->width() * image.devicePixelRatio() - 1) << names[mode];
        // Text and frames drawn: far more than a blank window's colours.
        QSet<QRgb> colours;
        for (int y = 0; y < image.height(); y += 2)
            for (int x = 0; x < image.width(); x += 2)
                colours.insert(image.pixel(x, y));
        EXPECT_GT(colours.size(), 8) << names[mode];
        const QString file = QString::fromStdString(*folder + "/installer-" + names[mode] + ".png");
        EXPECT_TRUE(image.save(file)) << file.toStdString();
        shots.push_back(image);
        previous = image;
    }
    // Each mode shows its own fields and caption: no two pictures alike.
    for (std::size_t a = 0; a < shots.size(); ++a)
        for (std::size_t b = a + 1; b < shots.size(); ++b)
            EXPECT_NE(shots[a], shots[b]) << names[a] << " and " << names[b];
}

} // namespace

// The progress box of work done on the program's own thread: it is painted
// at each report, while nothing else the program would do meanwhile runs.
#include "unified/dialogparts/ProgressBox.h"

#include "platform/WindowMessages.h"

#include <QApplication>
#include <QMouseEvent>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QTimer>
#include <gtest/gtest.h>

namespace {

// A button whose clicks are counted, in a window of its own.
struct Clicked {
    QPushButton button{"&Go"};
    int clicks = 0;
    Clicked() {
        QObject::connect(&button, &QPushButton::clicked, [this] { ++clicks; });
        button.show();
    }
};

// Counts the paints of the box's memo.
struct PaintCounter : QObject {
    int count = 0;
    explicit PaintCounter(TProgressBox& box) { box.Memo1->viewport()->installEventFilter(this); }
    bool eventFilter(QObject*, QEvent* e) override {
        if (e->type() == QEvent::Paint) ++count;
        return false;
    }
};

void PostClick(QWidget* target) {
    const QPointF at(5, 5);
    for (const QEvent::Type type : {QEvent::MouseButtonPress, QEvent::MouseButtonRelease})
        QCoreApplication::postEvent(target, new QMouseEvent(type, at, target->mapToGlobal(at),
                                                            Qt::LeftButton, Qt::LeftButton,
                                                            Qt::NoModifier));
}

} // namespace

TEST(ProgressBox, WhileWorkRunsOnlyPaintingAndTheBoxsOwnEventsAreTaken) {
    TProgressBox box;
    Clicked other;
    QCoreApplication::processEvents();

    // What a user or a queued command would start during the work.
    int queued = 0;
    QTimer::singleShot(0, &other.button, [&queued] { ++queued; });
    PostClick(&other.button);
    box.BeginWork("Working", "starting");
    EXPECT_TRUE(box.isVisible());
    EXPECT_TRUE(box.IsWorking());
    EXPECT_EQ(box.windowTitle(), "Working");
    PaintCounter paints(box);
    for (int step = 1; step <= 3; ++step)
        box.SetProgressText("step " + std::to_string(step));
    EXPECT_EQ(box.Memo1->toPlainText(), "step 3");
    EXPECT_GE(paints.count, 3) << "each report painted";
    EXPECT_EQ(queued, 0);
    EXPECT_EQ(other.clicks, 0);
    box.EndWork();
    EXPECT_FALSE(box.isVisible());

    // Afterwards the program takes its events again; those of the work's
    // time are gone.
    QCoreApplication::processEvents();
    EXPECT_EQ(queued, 0);
    EXPECT_EQ(other.clicks, 0);
    QTimer::singleShot(0, &other.button, [&queued] { ++queued; });
    PostClick(&other.button);
    QCoreApplication::processEvents();
    EXPECT_EQ(queued, 1);
    EXPECT_EQ(other.clicks, 1);
}

// Reports that come faster than it is worth painting: the first after the
// work begins and each new one asked for at once are painted, the others
// only once the interval has passed since the last one shown.
TEST(ProgressBox, ReportsArePaintedOnTheClock) {
    TProgressBox box;
    PaintCounter paints(box);
    const auto report = [&](DWORD tick, const std::string& text, bool now) {
        SetTickCount(tick);
        const int before = paints.count;
        box.ReportProgress(text, now);
        return paints.count > before;
    };
    for (int work = 1; work <= 2; ++work) {
        box.BeginWork("Working", "starting");
        EXPECT_TRUE(report(1000, "court 1", false)) << "the first report, work " << work;
        EXPECT_FALSE(report(1000 + TProgressBox::RepaintInterval - 1, "court 2", false));
        EXPECT_EQ(box.Memo1->toPlainText(), "court 1");
        EXPECT_TRUE(report(1010, "phase 2", true));
        EXPECT_FALSE(report(1015, "phase 2", true)) << "said again, it waits as any other";
        EXPECT_FALSE(report(1020, "court 3", false));
        EXPECT_TRUE(report(1010 + TProgressBox::RepaintInterval, "court 4", false));
        EXPECT_EQ(box.Memo1->toPlainText(), "court 4");
        // Across the wrap of the tick count.
        EXPECT_TRUE(report(0xFFFFFFE0u, "phase 3", true));
        EXPECT_FALSE(report(0x5u, "court 5", false));
        EXPECT_TRUE(report(0xFFFFFFE0u + TProgressBox::RepaintInterval, "court 6", false));
        box.EndWork();
    }
}

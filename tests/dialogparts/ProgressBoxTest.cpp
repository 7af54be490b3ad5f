// The progress box of work done on the program's own thread: it is painted
// at each report, while nothing else the program would do meanwhile runs.
#include "unified/dialogparts/ProgressBox.h"

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
    int paints = 0;
    struct PaintCounter : QObject {
        int& count;
        explicit PaintCounter(int& c) : count(c) {}
        bool eventFilter(QObject*, QEvent* e) override {
            if (e->type() == QEvent::Paint) ++count;
            return false;
        }
    } counter(paints);
    box.Memo1->viewport()->installEventFilter(&counter);
    for (int step = 1; step <= 3; ++step)
        box.SetProgressText("step " + std::to_string(step));
    EXPECT_EQ(box.Memo1->toPlainText(), "step 3");
    EXPECT_GE(paints, 3) << "each report painted";
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

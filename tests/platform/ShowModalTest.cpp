#include "platform/ShowModal.h"
#include "tests/support/Responders.h"

#include <QApplication>
#include <QDialog>
#include <QLineEdit>
#include <QPushButton>
#include <QTimer>
#include <QVBoxLayout>
#include <gtest/gtest.h>

namespace {

// A dialog with an on-show step, a field and OK/Cancel buttons, as the
// program's dialogs are built.
class SampleDialog : public QDialog {
public:
    SampleDialog() {
        auto* layout = new QVBoxLayout(this);
        layout->addWidget(field = new QLineEdit);
        layout->addWidget(ok = new QPushButton("OK"));
        layout->addWidget(cancel = new QPushButton("Cancel"));
        connect(ok, &QPushButton::clicked, this, [this] {
            if (!field->text().isEmpty()) done(mrOk);
        });
        connect(cancel, &QPushButton::clicked, this, [this] { done(mrCancel); });
    }
    int shows = 0;
    QLineEdit* field;
    QPushButton* ok;
    QPushButton* cancel;

protected:
    void showEvent(QShowEvent*) override {
        ++shows;
        field->clear();
    }
};

} // namespace

TEST(ShowModalResponder, RunsTheOnShowStepAndReturnsTheButtonPressed) {
    SampleDialog dialog;
    DialogScript dialogs;
    dialogs
        .Expect<SampleDialog>([](SampleDialog& d) {
            EXPECT_EQ(d.shows, 1);
            d.ok->click(); // refused: the field is empty, the dialog stays
            EXPECT_TRUE(d.isVisible());
            d.field->setText("x");
            d.ok->click();
        })
        .Expect<SampleDialog>([](SampleDialog& d) {
            EXPECT_EQ(d.shows, 2);
            EXPECT_TRUE(d.field->text().isEmpty()); // cleared by the on-show step
            d.cancel->click();
        })
        .Expect<SampleDialog>([](SampleDialog&) {}); // left open: cancelled
    EXPECT_EQ(ShowModal(dialog), mrOk);
    EXPECT_EQ(ShowModal(dialog), mrCancel);
    EXPECT_EQ(ShowModal(dialog), mrCancel);
    EXPECT_FALSE(dialog.isVisible());
}

TEST(ShowModalResponder, NestedDialogsAreAnsweredInTurn) {
    SampleDialog outer, inner;
    QObject::connect(outer.ok, &QPushButton::pressed, &outer, [&] {
        if (ShowModal(inner) == mrOk) outer.field->setText("from inner");
    });
    DialogScript dialogs;
    dialogs.Expect<SampleDialog>([](SampleDialog& d) { d.ok->click(); })
        .Expect<SampleDialog>([](SampleDialog& d) {
            d.field->setText("y");
            d.ok->click();
        });
    EXPECT_EQ(ShowModal(outer), mrOk);
    EXPECT_EQ(outer.field->text(), "from inner");
}

TEST(ShowModalWindow, RunsAModalLoopUntilTheDialogEnds) {
    const ModalResponder saved = SetModalResponder({});
    SampleDialog dialog;
    QTimer::singleShot(0, [&] {
        dialog.field->setText("z");
        dialog.ok->click();
    });
    EXPECT_EQ(ShowModal(dialog), mrOk);
    QTimer::singleShot(0, [&] { dialog.reject(); }); // Escape or the close box
    EXPECT_EQ(ShowModal(dialog), mrCancel);
    SetModalResponder(saved);
}

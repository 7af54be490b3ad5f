#include "unified/window/NewEventBox.h"

#include "platform/MessageBox.h"
#include "platform/ShowModal.h"
#include "unified/core/RXEvent.h"
#include "unified/core/rxProgram.h"
#include "unified/dialogparts/RadioGroup.h"
#include "unified/dialogparts/dialogParts.h"
#include "unified/window/eventFactory.h"

#include <QDialogButtonBox>
#include <QLabel>
#include <QPushButton>
#include <QShowEvent>
#include <QVBoxLayout>

TNewEventBox* NewEventBox = nullptr;

namespace {
constexpr int kMatchPlan = 2;        // the kind's index in EventProg
enum { kSingles = 0, kDoubles = 1 }; // EventType's items
} // namespace

TNewEventBox::TNewEventBox(QWidget* parent) : QDialog(parent) {
    setWindowTitle("New");
    EventProg = new RadioGroup("Program", {"Challenge &Ladder", "&Tournament Draw",
                                           "&Match Schedule (mixer, round robin, league)"});
    EventType = new RadioGroup("", {"&Singles", "&Doubles"});
    auto* layout = new QVBoxLayout(this);
    layout->addWidget(EventProg);
    layout->addWidget(new QLabel("For Ladder and Tournament:  *"));
    layout->addWidget(EventType);
    layout->addWidget(new QLabel("* Note:  Event Type for Mixer/RR is specified later."));
    layout->addWidget(OkCancelButtons(this, OKBtn, CancelBtn));

    connect(EventProg, &RadioGroup::Clicked, this, &TNewEventBox::EventProgClick);
    connect(OKBtn, &QPushButton::clicked, this, &TNewEventBox::OKBtnClick);
}

void TNewEventBox::showEvent(QShowEvent* event) {
    QDialog::showEvent(event);
    if (event->spontaneous()) return;
    // Choosing the kind counts as its click, as it did in the old group.
    EventProg->SetItemIndex(Settings.EventKind());
    EventProgClick();
    if (!Settings.IsMatchPlan()) {
        const bool doubles = IsEventUsable() && CurrentEvent->IsDoubles();
        EventType->SetItemIndex(doubles ? kDoubles : kSingles);
    }
}

void TNewEventBox::EventProgClick() {
    // A schedule's singles or doubles is set up with its courts.
    if (EventProg->ItemIndex() == kMatchPlan) {
        EventType->SetItemIndex(-1);
        EventType->setEnabled(false);
    } else {
        EventType->setEnabled(true);
    }
}

void TNewEventBox::OKBtnClick() {
    const int kind = EventProg->ItemIndex();
    if (kind < 0) {
        MessageBox("Please select program type", "Error", MB_OK | MB_ICONEXCLAMATION);
        EventProg->setFocus();
        return;
    }
    if (kind != kMatchPlan && EventType->ItemIndex() < 0) {
        MessageBox("Event Type defaults to 'Singles'", "Note", MB_OK | MB_ICONEXCLAMATION);
        EventType->setFocus();
    }
    if (kind != Settings.EventKind()) Settings.SetEventKind(kind);
    const bool doubles = EventType->ItemIndex() == kDoubles;
    DestroyCurrentEvent();
    CreateEvent(doubles);
    done(mrOk);
}

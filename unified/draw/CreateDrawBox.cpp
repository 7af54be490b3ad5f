#include "unified/draw/CreateDrawBox.h"

#include "platform/MessageBox.h"
#include "platform/ShowModal.h"
#include "unified/core/rxerrors.h"
#include "unified/dialogparts/dialogParts.h"
#include "unified/dialogparts/editChecks.h"
#include "unified/dialogparts/eventViews.h"
#include "unified/draw/Draw.h"

#include <QDialogButtonBox>
#include <QGridLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QShowEvent>

TCreateDrawBox* CreateDrawBox = nullptr;

TCreateDrawBox::TCreateDrawBox(QWidget* parent) : QDialog(parent) {
    setObjectName("CreateDrawBox");
    setWindowTitle("Create Draw");
    NumberOfSeeds = NumberField(3);
    NumberOfSeeds->setObjectName("NumberOfSeeds");

    auto* layout = new QGridLayout(this);
    layout->addWidget(LabelFor("&Number of Seeds", NumberOfSeeds), 0, 0);
    layout->addWidget(NumberOfSeeds, 0, 1);
    layout->addWidget(OkCancelButtons(this, OK, Cancel), 1, 0, 1, 2);

    connect(OK, &QPushButton::clicked, this, &TCreateDrawBox::OKClick);
}

void TCreateDrawBox::showEvent(QShowEvent* event) {
    QDialog::showEvent(event);
    if (!event->spontaneous()) FormShow();
}

void TCreateDrawBox::FormShow() {
    const auto* draw = dynamic_cast<const Draw*>(CurrentEvent);
    NumberOfSeeds->setText(QString::number(draw == nullptr ? 0 : draw->SeedCount()));
    NumberOfSeeds->setFocus();
}

void TCreateDrawBox::OKClick() {
    auto* draw = dynamic_cast<Draw*>(CurrentEvent);
    if (draw == nullptr) return;
    int seeds = 0;
    if (!ValidateIntegerEdit(NumberOfSeeds, seeds, 0, draw->PlayerCount() / 2, false)) return;
    const short code = draw->CreateDraw(seeds);
    if (code != rcOk) {
        ShowErrorMessage(code);
        return;
    }
    done(mrOk);
    RefreshEventViews();
}

bool ConfirmAutomaticDraw() {
    if (CurrentEvent == nullptr || !CurrentEvent->IsManualMode()) return true;
    if (MessageBox("Automatic draw will replace manual draw", "Warning",
                   MB_OKCANCEL | MB_ICONQUESTION) != IDOK)
        return false;
    CurrentEvent->ClearManualMode();
    return true;
}

#include "unified/ladder/CancelResultBox.h"

#include "platform/MessageBox.h"
#include "platform/ShowModal.h"
#include "unified/core/rxerrors.h"
#include "unified/dialogparts/dialogParts.h"
#include "unified/dialogparts/eventViews.h"
#include "unified/ladder/Ladder.h"

#include <QComboBox>
#include <QDialogButtonBox>
#include <QLabel>
#include <QPushButton>
#include <QVBoxLayout>

TCancelResultBox* CancelResultBox = nullptr;

TCancelResultBox::TCancelResultBox(QWidget* parent) : QDialog(parent) {
    setObjectName("CancelResultBox");
    setWindowTitle("Cancel Pending Result");
    CanRes = new QComboBox;
    CanRes->setMinimumWidth(300);
    auto* layout = new QVBoxLayout(this);
    layout->addWidget(LabelFor("&Select the result to be canceled:", CanRes));
    layout->addWidget(CanRes);
    layout->addStretch();
    layout->addWidget(OkCancelButtons(this, OK, Cancel));

    connect(OK, &QPushButton::clicked, this, &TCancelResultBox::OKClick);
}

void TCancelResultBox::OKClick() {
    if (CurrentLadder == nullptr) return;
    const int chosen = CanRes->currentIndex();
    if (chosen < 0) {
        MessageBox("Select a result to be canceled.", "Error", MB_OK | MB_ICONEXCLAMATION);
        CanRes->setFocus();
        return;
    }
    const short code = CurrentLadder->CancelPendingResult(chosen + 1);
    if (code != rcOk) {
        ShowErrorMessage(code);
        return;
    }
    done(mrOk);
    RefreshEventViews();
}

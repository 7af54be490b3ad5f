#include "unified/draw/OptionsTournBox.h"

#include "platform/ShowModal.h"
#include "unified/dialogparts/dialogParts.h"
#include "unified/dialogparts/eventViews.h"
#include "unified/draw/Draw.h"

#include <QCheckBox>
#include <QDialogButtonBox>
#include <QPushButton>
#include <QShowEvent>
#include <QVBoxLayout>

TOptionsTournBox* OptionsTournBox = nullptr;

TOptionsTournBox::TOptionsTournBox(QWidget* parent) : QDialog(parent) {
    setObjectName("OptionsTournBox");
    setWindowTitle("Options");
    ByesToSeeded = new QCheckBox("&Assign byes to seeded players first");
    ByesToSeeded->setObjectName("ByesToSeeded");

    auto* layout = new QVBoxLayout(this);
    layout->addWidget(ByesToSeeded);
    layout->addWidget(OkCancelButtons(this, OK, Cancel));

    connect(OK, &QPushButton::clicked, this, &TOptionsTournBox::OKClick);
}

void TOptionsTournBox::showEvent(QShowEvent* event) {
    QDialog::showEvent(event);
    if (!event->spontaneous()) FormShow();
}

void TOptionsTournBox::FormShow() {
    const auto* draw = dynamic_cast<const Draw*>(CurrentEvent);
    ByesToSeeded->setChecked(draw != nullptr && draw->HasOption(Draw::ByesToSeeded));
}

void TOptionsTournBox::OKClick() {
    if (auto* draw = dynamic_cast<Draw*>(CurrentEvent)) {
        if (ByesToSeeded->isChecked())
            draw->SetOption(Draw::ByesToSeeded);
        else
            draw->ClearOption(Draw::ByesToSeeded);
    }
    done(mrOk);
    RefreshEventViews();
}

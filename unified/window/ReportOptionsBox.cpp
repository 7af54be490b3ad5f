#include "unified/window/ReportOptionsBox.h"

#include "platform/ShowModal.h"
#include "unified/core/RXEvent.h"
#include "unified/dialogparts/dialogParts.h"
#include "unified/dialogparts/editChecks.h"
#include "unified/window/eventFactory.h"

#include <QDialogButtonBox>
#include <QGridLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QShowEvent>

TReportOptionsBox* ReportOptionsBox = nullptr;

namespace {

QLineEdit* LimitedField() {
    auto* edit = new QLineEdit;
    LimitEditLength(edit, TReportOptionsBox::MaxTextChars);
    edit->setMinimumWidth(edit->fontMetrics().averageCharWidth() * 45);
    return edit;
}

std::string TextOf(const QLineEdit* edit) {
    return edit->text().toStdString();
}

} // namespace

TReportOptionsBox::TReportOptionsBox(QWidget* parent) : QDialog(parent) {
    setWindowTitle("Report Options");
    Heading = LimitedField();
    Note1 = LimitedField();
    Note2 = LimitedField();
    Note3 = LimitedField();
    Note4 = LimitedField();
    Note5 = LimitedField();
    EmailSubject = LimitedField();
    auto* layout = new QGridLayout(this);
    layout->addWidget(LabelFor("&Heading:", Heading), 0, 0);
    layout->addWidget(Heading, 0, 1);
    layout->addWidget(LabelFor("Additional &Notes:", Note1), 1, 0);
    for (int n = 1; n <= 5; ++n)
        layout->addWidget(Note(n), n, 1);
    layout->addWidget(LabelFor("&E-mail Subject:", EmailSubject), 6, 0);
    layout->addWidget(EmailSubject, 6, 1);
    layout->addWidget(OkCancelButtons(this, OKBtn, CancelBtn), 7, 0, 1, 2);

    connect(OKBtn, &QPushButton::clicked, this, &TReportOptionsBox::OKBtnClick);
}

QLineEdit* TReportOptionsBox::Note(int n) const {
    QLineEdit* const notes[] = {Note1, Note2, Note3, Note4, Note5};
    return notes[n - 1];
}

void TReportOptionsBox::showEvent(QShowEvent* event) {
    QDialog::showEvent(event);
    if (event->spontaneous()) return;
    const bool usable = IsEventUsable();
    Heading->setText(usable ? QString::fromStdString(CurrentEvent->Heading()) : QString());
    for (int n = 1; n <= 5; ++n)
        Note(n)->setText(usable ? QString::fromStdString(CurrentEvent->Note(n)) : QString());
    EmailSubject->setText(usable ? QString::fromStdString(CurrentEvent->EmailSubject())
                                 : QString());
}

void TReportOptionsBox::OKBtnClick() {
    if (IsEventUsable()) {
        CurrentEvent->SetHeading(TextOf(Heading));
        for (int n = 1; n <= 5; ++n)
            CurrentEvent->SetNote(n, TextOf(Note(n)));
        CurrentEvent->SetEmailSubject(TextOf(EmailSubject));
    }
    done(mrOk);
}

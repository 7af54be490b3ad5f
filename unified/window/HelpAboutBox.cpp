#include "unified/window/HelpAboutBox.h"

#include "platform/ShowModal.h"
#include "unified/core/rxProgram.h"

#include <QApplication>
#include <QGridLayout>
#include <QLabel>
#include <QPushButton>
#include <QShowEvent>

THelpAboutBox* HelpAboutBox = nullptr;

THelpAboutBox::THelpAboutBox(QWidget* parent) : QDialog(parent) {
    setWindowTitle("About Rostrix");
    Image1 = new QLabel;
    ProgName1 = new QLabel;
    ProgName2 = new QLabel;
    Copyright = new QLabel;
    Company = new QLabel("Palomet Software");
    OKBtn = new QPushButton("&OK");
    OKBtn->setDefault(true);

    auto* layout = new QGridLayout(this);
    layout->addWidget(Image1, 0, 0, 4, 1, Qt::AlignTop);
    layout->addWidget(ProgName1, 0, 1);
    layout->addWidget(ProgName2, 1, 1);
    layout->addWidget(Copyright, 2, 1);
    layout->addWidget(Company, 3, 1);
    layout->addWidget(OKBtn, 4, 0, 1, 2, Qt::AlignHCenter);
    connect(OKBtn, &QPushButton::clicked, this, [this] { done(mrOk); });
}

void THelpAboutBox::showEvent(QShowEvent* event) {
    QDialog::showEvent(event);
    if (event->spontaneous()) return;
    ProgName1->setText(
        QString::fromStdString(Settings.ProductTitle() + " " + Settings.VersionText()));
    const char* program = Settings.IsLadder()      ? "Challenge Ladder program"
                          : Settings.IsDraw()      ? "Tournament Draw program"
                          : Settings.IsMatchPlan() ? "Match Scheduling program"
                                                   : "unknown program";
    ProgName2->setText(program);
    Copyright->setText(QString::fromStdString("Copyright \u00A9 " + Settings.YearsText()));
    // The kind's icon, which the settings gave the application.
    Image1->setPixmap(QApplication::windowIcon().pixmap(32, 32));
}

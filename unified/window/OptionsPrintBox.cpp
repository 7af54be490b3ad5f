#include "unified/window/OptionsPrintBox.h"

#include "platform/MessageBox.h"
#include "platform/ShowModal.h"
#include "unified/core/RXEvent.h"
#include "unified/core/rxProgram.h"
#include "unified/dialogparts/RadioGroup.h"
#include "unified/dialogparts/dialogParts.h"
#include "unified/dialogparts/editChecks.h"
#include "unified/window/MainForm.h"
#include "unified/window/eventFactory.h"

#include <QComboBox>
#include <QDialogButtonBox>
#include <QGridLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QShowEvent>
#include <algorithm>
#include <bit>
#include <cmath>
#include <cstdio>

TOptionsPrintBox* OptionsPrintBox = nullptr;

namespace {

constexpr int kPlayerChoices = 4; // 4, 8, 16 or 32 players a page
constexpr int kRoundChoices = 5;  // 1 to 5 rounds a page

// "0.0": one decimal, a half rounded away from zero.
QString MarginText(float inches) {
    char text[32];
    std::snprintf(text, sizeof text, "%.1f", std::round(static_cast<double>(inches) * 10) / 10);
    return text;
}

// The choice of a page's players: log2 of the count less 2. Counts read from
// a file that the list does not offer take the nearest choice.
int PlayersChoice(int playersPerPage) {
    if (playersPerPage <= 0) return 0;
    const int log2 = std::bit_width(static_cast<unsigned>(playersPerPage)) - 1;
    return std::clamp(log2 - 2, 0, kPlayerChoices - 1);
}

int RoundsChoice(int roundsPerPage) {
    return std::clamp(roundsPerPage, 1, kRoundChoices) - 1; // no overflow at the lowest value
}

QLineEdit* MarginField() {
    auto* edit = new QLineEdit;
    edit->setMaximumWidth(edit->fontMetrics().averageCharWidth() * 8);
    return edit;
}

} // namespace

TOptionsPrintBox::TOptionsPrintBox(QWidget* parent) : QDialog(parent) {
    setWindowTitle("Print Options");
    TopMargin = MarginField();
    BottomMargin = MarginField();
    LeftMargin = MarginField();
    RightMargin = MarginField();
    FontSize = MarginField();
    LimitEditLength(FontSize, 2);
    Orientation = new RadioGroup("Orientation", {"&System", "Portr&ait", "Lan&dscape"});
    PlayersPerPage = new QComboBox;
    for (int choice = 0; choice < kPlayerChoices; ++choice)
        PlayersPerPage->addItem(QString::number(4 << choice));
    RoundsPerPage = new QComboBox;
    for (int choice = 0; choice < kRoundChoices; ++choice)
        RoundsPerPage->addItem(QString::number(choice + 1));

    auto* layout = new QGridLayout(this);
    layout->addWidget(new QLabel("Margins (inches):"), 0, 0, 1, 4);
    layout->addWidget(LabelFor("&Top", TopMargin), 1, 0);
    layout->addWidget(TopMargin, 1, 1);
    layout->addWidget(LabelFor("&Bottom", BottomMargin), 1, 2);
    layout->addWidget(BottomMargin, 1, 3);
    layout->addWidget(LabelFor("&Left", LeftMargin), 2, 0);
    layout->addWidget(LeftMargin, 2, 1);
    layout->addWidget(RightLabel = LabelFor("R&ight", RightMargin), 2, 2);
    layout->addWidget(RightMargin, 2, 3);
    layout->addWidget(LabelFor("&Font size:", FontSize), 3, 0);
    layout->addWidget(FontSize, 3, 1);
    layout->addWidget(Orientation, 4, 0, 1, 4);
    layout->addWidget(PerPageLabel = new QLabel("Per Page:"), 5, 0, 1, 4);
    layout->addWidget(PlayersLabel = LabelFor("&Players", PlayersPerPage), 6, 0);
    layout->addWidget(PlayersPerPage, 6, 1);
    layout->addWidget(RoundsLabel = LabelFor("&Rounds", RoundsPerPage), 6, 2);
    layout->addWidget(RoundsPerPage, 6, 3);
    layout->addWidget(OkCancelButtons(this, OKBtn, CancelBtn), 7, 0, 1, 4);

    connect(OKBtn, &QPushButton::clicked, this, &TOptionsPrintBox::OKBtnClick);
}

void TOptionsPrintBox::showEvent(QShowEvent* event) {
    QDialog::showEvent(event);
    if (event->spontaneous()) return;
    const PrintOptions options = IsEventUsable() ? CurrentEvent->PrintOpts() : PrintOptions();
    TopMargin->setText(MarginText(options.topMargin));
    BottomMargin->setText(MarginText(options.bottomMargin));
    LeftMargin->setText(MarginText(options.leftMargin));
    RightMargin->setText(MarginText(options.rightMargin));
    FontSize->setText(QString::number(options.fontSize));
    Orientation->SetItemIndex(options.orientation);

    // The ladder's report has no use for a right margin, and only the
    // draw's bracket is printed so many players and rounds a page.
    RightMargin->setVisible(!Settings.IsLadder());
    RightLabel->setVisible(!Settings.IsLadder());
    for (QWidget* perPage : std::initializer_list<QWidget*>{
             PerPageLabel, PlayersLabel, PlayersPerPage, RoundsLabel, RoundsPerPage})
        perPage->setVisible(Settings.IsDraw());
    if (Settings.IsDraw()) {
        PlayersPerPage->setCurrentIndex(PlayersChoice(options.playersPerPage));
        RoundsPerPage->setCurrentIndex(RoundsChoice(options.roundsPerPage));
    }
    TopMargin->setFocus();
}

void TOptionsPrintBox::OKBtnClick() {
    PrintOptions options = IsEventUsable() ? CurrentEvent->PrintOpts() : PrintOptions();
    if (Settings.IsDraw()) {
        const int players = 4 << std::max(0, PlayersPerPage->currentIndex());
        const int rounds = std::max(0, RoundsPerPage->currentIndex()) + 1;
        const int needed = 1 << rounds;
        if (needed > players) {
            MessageBox("For " + std::to_string(rounds) + " rounds per page, must show at least " +
                           std::to_string(needed) + " players per page." +
                           "  Please increase Players Per Page," + " or decrease Rounds Per Page.",
                       "Error", MB_OK | MB_ICONEXCLAMATION);
            return;
        }
        options.playersPerPage = players;
        options.roundsPerPage = rounds;
    }

    double left = 0, right = options.rightMargin, top = 0, bottom = 0;
    int fontSize = 0;
    if (!ValidateRealEdit(LeftMargin, left, 0, 4, false)) return;
    // A hidden field cannot be mended: the ladder keeps its right margin.
    if (!Settings.IsLadder() && !ValidateRealEdit(RightMargin, right, 0, 4, false)) return;
    if (!ValidateRealEdit(TopMargin, top, 0, 4, false)) return;
    if (!ValidateRealEdit(BottomMargin, bottom, 0, 4, false)) return;
    if (!ValidateIntegerEdit(FontSize, fontSize, 8, 20, false)) return;

    options.leftMargin = static_cast<float>(left);
    options.rightMargin = static_cast<float>(right);
    options.topMargin = static_cast<float>(top);
    options.bottomMargin = static_cast<float>(bottom);
    options.fontSize = fontSize;
    options.orientation = static_cast<std::int8_t>(Orientation->ItemIndex());
    if (IsEventUsable()) CurrentEvent->SetPrintOptions(options);
    done(mrOk);
    if (MainForm != nullptr) MainForm->RefreshViews();
}

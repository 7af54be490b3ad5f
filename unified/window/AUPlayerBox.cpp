#include "unified/window/AUPlayerBox.h"

#include "platform/MessageBox.h"
#include "platform/ShowModal.h"
#include "unified/core/RXEvent.h"
#include "unified/core/rxProgram.h"
#include "unified/core/rxerrors.h"
#include "unified/dialogparts/dialogParts.h"
#include "unified/dialogparts/editChecks.h"
#include "unified/ladder/Ladder.h"
#include "unified/schedule/Matches.h"
#include "unified/window/MainForm.h"

#include <QComboBox>
#include <QGridLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QShowEvent>

TAUPlayerBox* AUPlayerBox = nullptr;

namespace {

bool IsPointsLadder() {
    return CurrentLadder != nullptr && CurrentLadder->IsPointsSystem();
}

bool IsDoublesEvent() {
    return CurrentEvent != nullptr && CurrentEvent->IsDoubles();
}

// The kinds that keep a gender for their players.
bool KeepsGenders() {
    return Settings.IsLadder() || Settings.IsMatchPlan();
}

QLineEdit* NewEdit(const char* name, int limit) {
    auto* edit = new QLineEdit;
    edit->setObjectName(name);
    LimitEditLength(edit, limit);
    return edit;
}

QLabel* NewLabel(const char* text, QWidget* buddy) {
    auto* label = new QLabel(text);
    label->setBuddy(buddy);
    return label;
}

bool HasAnyText(const Player& player) {
    for (const std::string* text : PlayerTexts(player))
        if (text->find_first_not_of(' ') != std::string::npos) return true;
    return false;
}

std::string MovedListWarning(const std::string& kind) {
    return " Caution -- the " + kind + " is based on the originally ordered player list.\n" +
           " You may want to re-do your " + kind + " after moving players in the list.";
}

} // namespace

TAUPlayerBox::TAUPlayerBox(QWidget* parent) : QDialog(parent) {
    setObjectName("AUPlayerBox");
    BuildControls();
}

void TAUPlayerBox::BuildControls() {
    DoublesFlag = new QLabel;
    DoublesFlag->setObjectName("DoublesFlag");
    FirstName = NewEdit("FirstName", 30);
    LastName = NewEdit("LastName", 30);
    GenderSel = new QComboBox;
    GenderSel->setObjectName("GenderSel");
    GenderSel->addItems({"N/A", "Female", "Male"});
    WorkPhone = NewEdit("WorkPhone", 14);
    HomePhone = NewEdit("HomePhone", 14);
    Points_Position = NewEdit("Points_Position", 4);
    EmailAddress = NewEdit("EmailAddress", 50);
    OtherContact1 = NewEdit("OtherContact1", 50);
    OtherContact2 = NewEdit("OtherContact2", 50);
    Address1 = NewEdit("Address1", 50);
    Address2 = NewEdit("Address2", 50);
    City = NewEdit("City", 50);
    State = NewEdit("State", 50);
    PostalCode = NewEdit("PostalCode", 50);
    Country = NewEdit("Country", 50);
    LabelGender = NewLabel("&Gender", GenderSel);
    LabelGender->setObjectName("LabelGender");
    LabelPointsPos = NewLabel("&Position", Points_Position);
    LabelPointsPos->setObjectName("LabelPointsPos");
    OKBtn = NewDialogButton("OKBtn", "&OK");
    AddBtn = NewDialogButton("AddBtn", "&Add");
    CancelBtn = NewDialogButton("CancelBtn", "&Cancel");

    auto* grid = new QGridLayout;
    int row = 0;
    const auto pair = [&](const char* label, QWidget* field, int column, int span = 1) {
        grid->addWidget(NewLabel(label, field), row, column);
        grid->addWidget(field, row, column + 1, 1, span);
    };
    grid->addWidget(DoublesFlag, row++, 1, 1, 3);
    pair("&First Name:", FirstName, 0);
    pair("&Last Name:", LastName, 2);
    ++row;
    grid->addWidget(LabelGender, row, 0);
    grid->addWidget(GenderSel, row, 1);
    grid->addWidget(LabelPointsPos, row, 2);
    grid->addWidget(Points_Position, row++, 3);
    pair("&Work Phone:", WorkPhone, 0);
    pair("&Home Phone:", HomePhone, 2);
    ++row;
    pair("&E-mail:", EmailAddress, 0, 3);
    ++row;
    grid->addWidget(new QLabel("Other Contacts:"), row++, 0, 1, 2);
    pair("&1", OtherContact1, 0, 3);
    ++row;
    pair("&2", OtherContact2, 0, 3);
    ++row;
    pair("Add&ress:", Address1, 0, 3);
    ++row;
    grid->addWidget(Address2, row++, 1, 1, 3);
    pair("Ci&ty:", City, 0);
    pair("&State:", State, 2);
    ++row;
    pair("Postal Co&de:", PostalCode, 0);
    pair("Co&untry:", Country, 2);
    grid->setColumnStretch(1, 1);
    grid->setColumnStretch(3, 1);

    auto* layout = new QGridLayout(this);
    layout->addLayout(grid, 0, 0);
    layout->addLayout(ButtonRow({OKBtn, AddBtn, CancelBtn}), 1, 0);

    QWidget* order[] = {FirstName,       LastName,     GenderSel,     WorkPhone,     HomePhone,
                        Points_Position, EmailAddress, OtherContact1, OtherContact2, Address1,
                        Address2,        City,         State,         PostalCode,    Country,
                        OKBtn,           AddBtn,       CancelBtn};
    for (std::size_t i = 1; i < std::size(order); ++i)
        setTabOrder(order[i - 1], order[i]);

    connect(OKBtn, &QPushButton::clicked, this, &TAUPlayerBox::OKBtnClick);
    connect(AddBtn, &QPushButton::clicked, this, &TAUPlayerBox::AddBtnClick);
    connect(CancelBtn, &QPushButton::clicked, this, [this] { done(mrCancel); });
}

void TAUPlayerBox::PrepareAdd() {
    updating = false;
    for (QLineEdit* edit : TextFields())
        edit->clear();
    Points_Position->setText(IsPointsLadder() ? "0" : "");
    GenderSel->setCurrentIndex(0);
    setWindowTitle("Add Player");
    AddBtn->setVisible(true);
    AddBtn->setDefault(true);
    OKBtn->setDefault(false);
    FirstName->setFocus();
}

bool TAUPlayerBox::PrepareUpdate(const std::string& name) {
    updating = true;
    oldName = name;
    const short code = CurrentEvent->GetPlayerByName(name, oldPlayer, oldNumber);
    if (code != rcOk) {
        ShowErrorMessage(code);
        return false;
    }
    // A pair read from a file may lack its partner record: its screen then
    // starts empty.
    hasPartner = static_cast<bool>(oldPlayer.partner);
    partnerRecord = hasPartner ? *oldPlayer.partner : Player();
    FillFields(oldPlayer);
    oldValue = IsPointsLadder() ? oldPlayer.points : oldNumber;
    Points_Position->setText(QString::number(oldValue));
    setWindowTitle(QString::fromStdString("Update Player - " + name));
    AddBtn->setVisible(false);
    AddBtn->setDefault(false);
    OKBtn->setDefault(true);
    SelectAllAndFocus(FirstName);
    return true;
}

void TAUPlayerBox::showEvent(QShowEvent* event) {
    QDialog::showEvent(event);
    // A window restored from the task bar is shown again: not a new use.
    if (event->spontaneous()) return;
    LabelPointsPos->setText(IsPointsLadder() ? "&Points" : "&Position");
    const bool genders = Settings.IsMatchPlan() || (Settings.IsLadder() && !IsPointsLadder());
    GenderSel->setVisible(genders);
    LabelGender->setVisible(genders);
    ShowScreen(false);
}

void TAUPlayerBox::ShowScreen(bool second) {
    const bool doubles = IsDoublesEvent();
    secondScreen = doubles && second;
    DoublesFlag->setText(!doubles ? "" : secondScreen ? "Player #2" : "Player #1");
    Points_Position->setEnabled(!secondScreen);
    LabelPointsPos->setEnabled(!secondScreen);
}

std::array<QLineEdit*, 13> TAUPlayerBox::TextFields() const {
    return {FirstName, LastName, WorkPhone, HomePhone, EmailAddress, OtherContact1, OtherContact2,
            Address1,  Address2, City,      State,     PostalCode,   Country};
}

void TAUPlayerBox::FillFields(const Player& player) {
    const auto fields = TextFields();
    const auto texts = PlayerTexts(player);
    for (std::size_t i = 0; i < fields.size(); ++i)
        fields[i]->setText(QString::fromStdString(*texts[i]));
    if (KeepsGenders())
        GenderSel->setCurrentIndex(player.gender == 'F' ? 1 : player.gender == 'M' ? 2 : 0);
}

Player TAUPlayerBox::ReadFields(const Player& base) const {
    Player record = base;
    const auto fields = TextFields();
    const auto texts = PlayerTexts(record);
    for (std::size_t i = 0; i < fields.size(); ++i) {
        *texts[i] = fields[i]->text().toStdString();
        StripLineBreaks(*texts[i]);
    }
    // A draw has no gender to choose; an added player gets none.
    if (KeepsGenders() || !updating) {
        const int gender = KeepsGenders() ? GenderSel->currentIndex() : 0;
        record.gender = gender == 1 ? 'F' : gender == 2 ? 'M' : ' ';
    }
    return record;
}

bool TAUPlayerBox::Accepted(short code) {
    if (code == rcOk) return true;
    if (code == rcDuplicateName || code == rcNoName) {
        MessageBox(code == rcDuplicateName
                       ? "Name already exists in this file; names must be unique."
                       : "Either a first name or last name is required.",
                   "Error", MB_OK | MB_ICONEXCLAMATION);
        SelectAllAndFocus(FirstName);
    } else {
        ShowErrorMessage(code);
    }
    return false;
}

bool TAUPlayerBox::AddEntry() {
    int number = 0;
    // The number field is checked for every kind: a points ladder needs
    // points, the other kinds may leave the wanted place blank.
    if (Points_Position->isEnabled() &&
        !ValidateIntegerEdit(Points_Position, number, 0, 9999, !IsPointsLadder()))
        return false;
    Player record = ReadFields(Player());
    record.points = number;
    const bool doubles = IsDoublesEvent();
    if (doubles && !secondScreen) {
        pendingFirst = record;
        return true;
    }
    const short code = doubles ? CurrentEvent->AddPlayer(pendingFirst, &record)
                               : CurrentEvent->AddPlayer(record, nullptr);
    if (!Accepted(code)) return false;
    if (MainForm != nullptr) MainForm->RefreshViews();
    return true;
}

void TAUPlayerBox::AddBtnClick() {
    if (!AddEntry()) return;
    ShowScreen(!secondScreen);
    SelectAllAndFocus(FirstName);
}

void TAUPlayerBox::OKBtnClick() {
    if (updating) {
        UpdateEntry();
        return;
    }
    if (!AddEntry()) return;
    if (IsDoublesEvent() && !secondScreen) {
        ShowScreen(true);
        SelectAllAndFocus(FirstName);
        return;
    }
    done(mrOk);
}

void TAUPlayerBox::UpdateEntry() {
    const bool points = IsPointsLadder();
    int number = oldValue;
    if (Points_Position->isEnabled()) {
        const std::string text = Points_Position->text().toStdString();
        if (text.find_first_not_of(' ') != std::string::npos) {
            if (!ValidateIntegerEdit(Points_Position, number, points ? 0 : 1, 9999, false)) return;
        } else if (points) {
            number = 0;
        }
        // A blank position leaves the player where it is.
    }
    const bool doubles = IsDoublesEvent();
    if (doubles && !secondScreen) {
        pendingFirst = ReadFields(oldPlayer);
        firstNumber = number;
        ShowScreen(true);
        FillFields(partnerRecord);
        setWindowTitle("Update Player");
        SelectAllAndFocus(FirstName);
        return;
    }
    if (doubles) number = firstNumber;
    Player record = ReadFields(doubles ? partnerRecord : oldPlayer);
    Player& player = doubles ? pendingFirst : record;
    const bool changed = number != oldValue;
    if (points && changed) {
        if (CurrentEvent->ResultCount() > 0)
            ShowWarning(std::string(" Caution -- you are changing the player's points, ") +
                        "which may affect the position in the ladder ranking.");
        player.points = number;
    }

    const Player* partner = doubles && hasPartner ? &record : nullptr;
    if (!Accepted(CurrentEvent->UpdatePlayer(oldName, player, partner))) return;
    if (doubles && !hasPartner && HasAnyText(record)) {
        record.partner.Reset();
        CurrentEvent->AttachPartner(oldNumber, record);
    }

    if (changed && !points) {
        if (Settings.IsLadder()) {
            if (CurrentEvent->ResultCount() > 0)
                ShowWarning(std::string(" Caution -- you are changing the player's ") +
                            "position in the ladder ranking.");
        } else if (auto* plan = dynamic_cast<Matches*>(CurrentEvent)) {
            if (plan->HasMatchesInRounds(1, plan->RoundCount()))
                ShowWarning(MovedListWarning("match schedule"));
            plan->SetScheduleType(0);
        } else if (Settings.IsDraw() && CurrentEvent->ResultCount() > 0) {
            ShowWarning(MovedListWarning("tournament draw"));
        }
        CurrentEvent->MovePlayer(oldNumber, number);
        // The ladder finds its players' positions through its id map.
        if (CurrentLadder != nullptr) CurrentLadder->RebuildPositionMap();
    }
    if (MainForm != nullptr) MainForm->RefreshViews();
    done(mrOk);
}

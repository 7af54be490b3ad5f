#pragma once
// Adds players to the current event and updates one player. A doubles pair
// is entered on two screens: player #1, then its partner as player #2.

#include "unified/core/Player.h"

#include <QDialog>
#include <array>
#include <string>

class QComboBox;
class QLabel;
class QLineEdit;
class QPushButton;

class TAUPlayerBox : public QDialog {
    Q_OBJECT

public:
    explicit TAUPlayerBox(QWidget* parent = nullptr);

    // Empties the fields for new players.
    void PrepareAdd();
    // Fills the fields from the named player ("last, first"); false, after
    // the error box, when there is no such player.
    bool PrepareUpdate(const std::string& name);

    QLabel* DoublesFlag = nullptr;
    QLineEdit* FirstName = nullptr;
    QLineEdit* LastName = nullptr;
    QLabel* LabelGender = nullptr;
    QComboBox* GenderSel = nullptr;
    QLineEdit* WorkPhone = nullptr;
    QLineEdit* HomePhone = nullptr;
    QLabel* LabelPointsPos = nullptr;
    QLineEdit* Points_Position = nullptr;
    QLineEdit* EmailAddress = nullptr;
    QLineEdit* OtherContact1 = nullptr;
    QLineEdit* OtherContact2 = nullptr;
    QLineEdit* Address1 = nullptr;
    QLineEdit* Address2 = nullptr;
    QLineEdit* City = nullptr;
    QLineEdit* State = nullptr;
    QLineEdit* PostalCode = nullptr;
    QLineEdit* Country = nullptr;
    QPushButton* OKBtn = nullptr;
    QPushButton* AddBtn = nullptr;
    QPushButton* CancelBtn = nullptr;

protected:
    void showEvent(QShowEvent* event) override;

private slots:
    void OKBtnClick();
    void AddBtnClick();

private:
    void BuildControls();
    // Shows player #1's or player #2's screen; the number belongs to the
    // pair and is entered on the first.
    void ShowScreen(bool second);
    // The 13 text fields in the order of the player's texts.
    std::array<QLineEdit*, 13> TextFields() const;
    void FillFields(const Player& player);
    // The fields over a copy of `base`, whose other fields stay.
    Player ReadFields(const Player& base) const;
    // Adds what the screen holds; false when it was refused.
    bool AddEntry();
    void UpdateEntry();
    // Shows a refused add or update; true for success.
    bool Accepted(short code);

    bool updating = false;
    bool secondScreen = false;
    std::string oldName;
    int oldNumber = 0; // place in the list of the player being updated
    Player oldPlayer;
    Player pendingFirst;
    int oldValue = 0;    // position, or points on a points ladder
    int firstNumber = 0; // entered on player #1's screen
    Player partnerRecord;
    bool hasPartner = false;
};

extern TAUPlayerBox* AUPlayerBox;

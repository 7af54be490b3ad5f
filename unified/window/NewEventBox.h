#pragma once
// File > New: the kind of the new event (ladder, tournament draw or match
// schedule) and, for the first two, singles or doubles. Its OK makes the
// new event in place of the current one.

#include <QDialog>

class QPushButton;
class RadioGroup;

class TNewEventBox : public QDialog {
    Q_OBJECT

public:
    explicit TNewEventBox(QWidget* parent = nullptr);

    RadioGroup* EventProg;
    RadioGroup* EventType;
    QPushButton* OKBtn;
    QPushButton* CancelBtn;

protected:
    void showEvent(QShowEvent* event) override;

private:
    void EventProgClick();
    void OKBtnClick();
};

extern TNewEventBox* NewEventBox;

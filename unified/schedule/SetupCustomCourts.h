#pragma once
// The type of each court of a shape lent by the courts-and-rounds or the
// assignment dialog: checked a doubles court, unchecked a singles court.
// OK changes only the lent record.

#include <QDialog>

class QListWidget;
class QPushButton;
struct SetupDataCR;

class TSetupCustomCourts : public QDialog {
    Q_OBJECT

public:
    explicit TSetupCustomCourts(QWidget* parent = nullptr);

    // The record the next show edits.
    void Lend(SetupDataCR* record) { setup = record; }

    QListWidget* CourtTypes = nullptr;
    QPushButton* OK = nullptr;
    QPushButton* Cancel = nullptr;

protected:
    void showEvent(QShowEvent* event) override;

private:
    void FormShow();
    void OKClick();

    SetupDataCR* setup = nullptr;
};

extern TSetupCustomCourts* SetupCustomCourts;

#pragma once
// Tools > Cancel Pending Result: removes one result not yet posted. The
// main window fills the list with the pending results' short lines, in
// result order.

#include <QDialog>

class QComboBox;
class QPushButton;

class TCancelResultBox : public QDialog {
    Q_OBJECT

public:
    explicit TCancelResultBox(QWidget* parent = nullptr);

    QComboBox* CanRes = nullptr;
    QPushButton* OK = nullptr;
    QPushButton* Cancel = nullptr;

private:
    void OKClick();
};

extern TCancelResultBox* CancelResultBox;

#pragma once
// The online prompt: the password, and the online file name when the
// request needs one. The fields keep their contents between uses.

#include <QDialog>
#include <string>

class QLabel;
class QLineEdit;
class QPushButton;

class TInternetUploadBox : public QDialog {
    Q_OBJECT

public:
    explicit TInternetUploadBox(QWidget* parent = nullptr);

    // Why an online file name is refused, or empty for a good one.
    static std::string FileNameFault(const std::string& name);

    QLineEdit* Password;
    QLabel* fnLabel;
    QLineEdit* FileName;
    QPushButton* OKBtn;
    QPushButton* CancelBtn;

protected:
    void showEvent(QShowEvent* event) override;

private:
    void OKClick();
};

extern TInternetUploadBox* InternetUploadBox;

#pragma once
// Internet > Configure: the user id for the online service, kept in the
// registry; its Register button opens the service's registration page.

#include <QDialog>
#include <functional>
#include <string>

class QLineEdit;
class QPlainTextEdit;
class QPushButton;

class TConfigureOnlineBox : public QDialog {
    Q_OBJECT

public:
    explicit TConfigureOnlineBox(QWidget* parent = nullptr);

    // Opens a web page; the main window supplies it.
    std::function<void(const std::string&)> OpenWebPage;

    QPlainTextEdit* Note;
    QPushButton* RegisterBtn;
    QLineEdit* UserID;
    QPushButton* OKBtn;
    QPushButton* CancelBtn;

protected:
    void showEvent(QShowEvent* event) override;

private:
    void RegisterBtnClick();
    void OKBtnClick();
};

extern TConfigureOnlineBox* ConfigureOnlineBox;

#include "unified/online/InternetUploadBox.h"

#include "platform/MessageBox.h"
#include "platform/ShowModal.h"
#include "unified/dialogparts/dialogParts.h"

#include <QDialogButtonBox>
#include <QGridLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QShowEvent>

TInternetUploadBox* InternetUploadBox = nullptr;

namespace {

constexpr const char* kNameChars =
    "0123456789abcdefghijklmnopqrstuvwxyzABCDEFGHIJKLMNOPQRSTUVWXYZ-_.";

void ShowFault(const std::string& text, QLineEdit* field) {
    MessageBox(text, "Error", MB_OK | MB_ICONEXCLAMATION);
    field->setFocus();
}

} // namespace

TInternetUploadBox::TInternetUploadBox(QWidget* parent) : QDialog(parent) {
    setWindowTitle("Rostrix Online");
    Password = new QLineEdit;
    Password->setEchoMode(QLineEdit::Password);
    FileName = new QLineEdit;
    fnLabel = LabelFor("&File Name", FileName);
    auto* layout = new QGridLayout(this);
    layout->addWidget(LabelFor("&Password", Password), 0, 0);
    layout->addWidget(Password, 0, 1);
    layout->addWidget(fnLabel, 1, 0);
    layout->addWidget(FileName, 1, 1);
    layout->addWidget(OkCancelButtons(this, OKBtn, CancelBtn), 2, 0, 1, 2);
    connect(OKBtn, &QPushButton::clicked, this, &TInternetUploadBox::OKClick);
}

void TInternetUploadBox::showEvent(QShowEvent* event) {
    QDialog::showEvent(event);
    if (!event->spontaneous()) Password->setFocus();
}

std::string TInternetUploadBox::FileNameFault(const std::string& name) {
    if (name.empty()) return "File Name is required.";
    if (name.size() <= 4 || name.compare(name.size() - 4, 4, ".lad") != 0)
        return "Online file name must end in .lad\n(lower case)";
    if (name.find_first_not_of(kNameChars) != std::string::npos)
        return "Online file name may only contain\nletters, numbers, and the following special "
               "characters:\nhyphen, underscore, period.\n(Blanks are not allowed.)";
    return "";
}

void TInternetUploadBox::OKClick() {
    if (Password->text().isEmpty()) {
        ShowFault("Password is required.", Password);
        return;
    }
    if (FileName->isEnabled()) {
        const std::string fault = FileNameFault(FileName->text().toStdString());
        if (!fault.empty()) {
            ShowFault(fault, FileName);
            return;
        }
    }
    done(mrOk);
}

#include "unified/dialogparts/dialogParts.h"

#include "platform/ShowModal.h"
#include "unified/dialogparts/editChecks.h"

#include <QDialog>
#include <QDialogButtonBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <algorithm>

QLabel* LabelFor(const char* text, QWidget* field) {
    auto* label = new QLabel(text);
    label->setBuddy(field);
    return label;
}

QLineEdit* NumberField(int characters) {
    auto* edit = new QLineEdit;
    if (characters > 0) LimitEditLength(edit, characters);
    edit->setMaximumWidth(edit->fontMetrics().averageCharWidth() * (std::max(characters, 2) + 4));
    return edit;
}

QDialogButtonBox* OkCancelButtons(QDialog* dialog, QPushButton*& ok, QPushButton*& cancel) {
    ok = new QPushButton("&OK");
    ok->setDefault(true);
    cancel = new QPushButton("&Cancel");
    auto* buttons = new QDialogButtonBox;
    buttons->addButton(ok, QDialogButtonBox::AcceptRole);
    buttons->addButton(cancel, QDialogButtonBox::RejectRole);
    QObject::connect(cancel, &QPushButton::clicked, dialog, [dialog] { dialog->done(mrCancel); });
    return buttons;
}

QPushButton* NewDialogButton(const char* name, const char* caption) {
    auto* button = new QPushButton(caption);
    button->setObjectName(name);
    button->setAutoDefault(false);
    return button;
}

QHBoxLayout* ButtonRow(std::initializer_list<QPushButton*> buttons) {
    auto* row = new QHBoxLayout;
    row->addStretch();
    for (QPushButton* button : buttons)
        row->addWidget(button);
    return row;
}

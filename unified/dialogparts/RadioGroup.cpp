#include "unified/dialogparts/RadioGroup.h"

#include <QButtonGroup>
#include <QRadioButton>
#include <QVBoxLayout>
#include <algorithm>

RadioGroup::RadioGroup(const std::string& caption, const std::vector<std::string>& items,
                       QWidget* parent)
    : QGroupBox(QString::fromStdString(caption), parent), group(new QButtonGroup(this)) {
    auto* layout = new QVBoxLayout(this);
    for (const std::string& item : items) {
        auto* button = new QRadioButton(QString::fromStdString(item));
        group->addButton(button, static_cast<int>(buttons.size()));
        layout->addWidget(button);
        buttons.push_back(button);
    }
    if (!buttons.empty()) setFocusProxy(buttons.front());
    connect(group, &QButtonGroup::idClicked, this, &RadioGroup::Clicked);
}

int RadioGroup::ItemIndex() const {
    return group->checkedId();
}

void RadioGroup::SetItemIndex(int index) {
    index = std::min(index, Count() - 1);
    if (index >= 0) {
        buttons[static_cast<std::size_t>(index)]->setChecked(true);
        return;
    }
    // An exclusive group keeps one button checked unless told otherwise.
    group->setExclusive(false);
    for (QRadioButton* button : buttons)
        button->setChecked(false);
    group->setExclusive(true);
}

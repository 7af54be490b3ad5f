#pragma once
// A captioned group of radio buttons of which at most one is chosen, known
// by its item index: -1 when none is. Setting the index from code does not
// count as a click; the dialogs that need the click call their handler.

#include <QGroupBox>
#include <string>
#include <vector>

class QButtonGroup;
class QRadioButton;

class RadioGroup : public QGroupBox {
    Q_OBJECT

public:
    RadioGroup(const std::string& caption, const std::vector<std::string>& items,
               QWidget* parent = nullptr);

    int ItemIndex() const;
    // An index past the last item chooses the last one, and one below -1
    // chooses none, as the old group did.
    void SetItemIndex(int index);
    int Count() const { return static_cast<int>(buttons.size()); }
    QRadioButton* Button(int index) const { return buttons.at(static_cast<std::size_t>(index)); }

signals:
    // The user chose item `index` with the mouse or the keyboard.
    void Clicked(int index);

private:
    QButtonGroup* group;
    std::vector<QRadioButton*> buttons;
};

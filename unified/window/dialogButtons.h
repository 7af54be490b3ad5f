#pragma once
// The push buttons along the bottom of a dialog.

#include <initializer_list>

class QHBoxLayout;
class QPushButton;

// A named button that Enter presses only when it is made the default.
QPushButton* NewDialogButton(const char* name, const char* caption);

// The buttons side by side at the right.
QHBoxLayout* ButtonRow(std::initializer_list<QPushButton*> buttons);

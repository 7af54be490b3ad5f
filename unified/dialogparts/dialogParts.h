#pragma once
// Pieces the dialogs are built of.

#include <initializer_list>

class QDialog;
class QDialogButtonBox;
class QHBoxLayout;
class QLabel;
class QLineEdit;
class QPlainTextEdit;
class QPushButton;
class QWidget;

// A label whose mnemonic focuses the field.
QLabel* LabelFor(const char* text, QWidget* field);

// An edit for a short number: at most `characters` characters typed (no
// limit for 0), and about as wide as that.
QLineEdit* NumberField(int characters);

// A memo that holds a fixed note, once its text is set: made as big as its
// lines, so that it shows them whole, unwrapped and without scrolling.
void FitNoteToText(QPlainTextEdit* note);

// "&OK", the default button, whose click the dialog handles, and "&Cancel",
// which ends the dialog with mrCancel.
QDialogButtonBox* OkCancelButtons(QDialog* dialog, QPushButton*& ok, QPushButton*& cancel);

// A named push button that Enter presses only when it is made the default.
QPushButton* NewDialogButton(const char* name, const char* caption);

// Push buttons side by side at the right.
QHBoxLayout* ButtonRow(std::initializer_list<QPushButton*> buttons);

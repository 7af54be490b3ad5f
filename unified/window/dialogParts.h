#pragma once
// Pieces the dialogs are built of.

class QDialog;
class QDialogButtonBox;
class QLabel;
class QPushButton;
class QWidget;

// A label whose mnemonic focuses the field.
QLabel* LabelFor(const char* text, QWidget* field);

// "&OK", the default button, whose click the dialog handles, and "&Cancel",
// which ends the dialog with mrCancel.
QDialogButtonBox* OkCancelButtons(QDialog* dialog, QPushButton*& ok, QPushButton*& cancel);

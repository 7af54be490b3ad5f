#pragma once
// Numeric checks of edit fields, run when a dialog is confirmed. On failure
// the range message is shown, the field's text selected and focused, and the
// dialog stays open.

class QLineEdit;

bool ValidateIntegerEdit(QLineEdit* edit, int& value, int low, int high, bool blankAllowed);
bool ValidateRealEdit(QLineEdit* edit, double& value, double low, double high, bool blankAllowed);
void SelectAllAndFocus(QLineEdit* edit);

// Lets the user type at most `characters` characters (code points) into the
// field; what is typed or pasted past the limit is left out. A longer text
// that the program put there is kept as it is; the user may only shorten it.
void LimitEditLength(QLineEdit* edit, int characters);

#pragma once
// Limits what the user can type into a field to a number of characters
// (code points, not bytes). A text set by the program is shown whole, and
// what the user types or pastes past the limit is left out, as the old
// fields did.

class QLineEdit;

void SetMaxChars(QLineEdit* edit, int chars);

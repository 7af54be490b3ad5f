#pragma once
// The Qt back ends of the platform's seams: the message box, modal dialogs,
// the open and save dialogs, the desktop's handlers for shell open, the
// system printer with its dialogs, and the window icon and main window
// caption. The application object installs them when it is made and removes
// them when it goes, so that a seam used without it takes its safe answer
// instead of reaching for a widget.

class QWidget;

void InstallWidgetBackEnds();
void RemoveWidgetBackEnds();

// The main window, which carries the caption that the settings object sets.
void SetMainWindow(QWidget* window);

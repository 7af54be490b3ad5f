#pragma once
// The application object: title, icon, the main window's caption, and the
// standard exception box. An exception that escapes a command is shown in
// that box and the program carries on, as the event dispatch catches it.

#include <QApplication>
#include <exception>
#include <string>

class Application : public QApplication {
public:
    Application(int& argc, char** argv);

    bool notify(QObject* receiver, QEvent* event) override;
};

// The application title; boxes of escaped exceptions carry it as caption.
const std::string& ApplicationTitle();
void SetApplicationTitle(const std::string& title);

// Loads the application icon from a file; returns false and leaves the icon
// as it is when the file does not exist.
bool SetApplicationIcon(const std::string& path);
const std::string& ApplicationIconPath();

// The main window, whose caption the settings object sets.
void SetMainWindow(QWidget* window);
void SetMainWindowCaption(const std::string& caption);

// The standard exception box: the message, with a closing "." added when it
// ends in anything else, captioned with the application title, stop icon.
void ShowException(const std::exception& error);
void ShowUnknownException();

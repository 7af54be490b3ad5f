#pragma once
// The application as every part of the program sees it: its title, its
// icon's file, the main window's caption, and the standard exception box.
// On screen the icon and the caption are shown by the widgets part once it is
// installed; without it they are only kept.

#include <exception>
#include <functional>
#include <string>

// The application title; boxes of escaped exceptions carry it as caption.
const std::string& ApplicationTitle();
void SetApplicationTitle(const std::string& title);

// Loads the application icon from a file; returns false and leaves the icon
// as it is when the file does not exist.
bool SetApplicationIcon(const std::string& path);
const std::string& ApplicationIconPath();

// The main window's caption, which the settings object sets.
void SetMainWindowCaption(const std::string& caption);

// The standard exception box: the message, with a closing "." added when it
// ends in anything else, captioned with the application title, stop icon.
void ShowException(const std::exception& error);
void ShowUnknownException();

// How the icon and the caption reach the screen; an empty back end (the
// default) shows nothing.
struct ApplicationBackEnd {
    std::function<void(const std::string& iconPath)> showIcon;
    std::function<void(const std::string& caption)> showCaption;
};
void SetApplicationBackEnd(ApplicationBackEnd backEnd);

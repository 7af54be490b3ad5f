#pragma once
// The program's entry: the application object, every window created once in
// its fixed order, and the message loop.

#include <string>
#include <vector>

// Creates every window of the program, the main window first.
void CreateWindows(const std::vector<std::string>& arguments);
// Destroys them again, the main window last.
void DestroyWindows();

int RostrixMain(int argc, char** argv);

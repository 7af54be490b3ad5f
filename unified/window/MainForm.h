#pragma once
// The main window.

#include <QMainWindow>
#include <string>
#include <vector>

class TMainForm : public QMainWindow {
    Q_OBJECT

public:
    // Parses the command line (the arguments after the program's name),
    // makes the first event and opens or imports the file it names.
    explicit TMainForm(const std::vector<std::string>& arguments);

    // Stores the current file name and shows it in the caption.
    void SetCurrentFileName(const std::string& name);
    const std::string& CurrentFileName() const { return currentFileName; }
    // The current file name without its folder.
    std::string CurrentFileNameOnly() const;

private:
    float splitterRatio = 0.5f;
    int selectionKind = 0; // 0 nothing, 1 a pending ladder result, 2 a player
    int selectedNumber = 0;
    std::string currentFileName;
};

extern TMainForm* MainForm;

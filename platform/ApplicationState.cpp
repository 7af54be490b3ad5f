#include "platform/ApplicationState.h"

#include "platform/Environment.h"
#include "platform/MessageBox.h"

namespace {

std::string& Title() {
    static std::string title;
    return title;
}

std::string& IconPath() {
    static std::string path;
    return path;
}

ApplicationBackEnd& BackEnd() {
    static ApplicationBackEnd backEnd;
    return backEnd;
}

void ShowExceptionText(std::string text) {
    if (!text.empty() && text.back() != '.') text += '.';
    MessageBox(text, Title(), MB_OK | MB_ICONSTOP);
}

} // namespace

const std::string& ApplicationTitle() {
    return Title();
}

void SetApplicationTitle(const std::string& title) {
    Title() = title;
}

bool SetApplicationIcon(const std::string& path) {
    if (!FileExists(path)) return false;
    IconPath() = path;
    if (BackEnd().showIcon) BackEnd().showIcon(path);
    return true;
}

const std::string& ApplicationIconPath() {
    return IconPath();
}

void SetMainWindowCaption(const std::string& caption) {
    if (BackEnd().showCaption) BackEnd().showCaption(caption);
}

void ShowException(const std::exception& error) {
    ShowExceptionText(error.what());
}

void ShowUnknownException() {
    ShowExceptionText("Unknown exception");
}

void SetApplicationBackEnd(ApplicationBackEnd backEnd) {
    BackEnd() = std::move(backEnd);
}

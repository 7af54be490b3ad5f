#include "tests/support/Responders.h"

#include "platform/ShellOpen.h"

BoxScript::BoxScript()
    : previous_(
          SetMessageBoxResponder([this](const MessageBoxCall& call) { return Answer(call); })) {
}

BoxScript::~BoxScript() {
    SetMessageBoxResponder(previous_);
    for (const Expected& e : expected_)
        ADD_FAILURE() << "expected box never shown: [" << e.call.caption << "] " << e.call.text;
}

BoxScript& BoxScript::Expect(const std::string& caption, const std::string& text, unsigned flags,
                             int answer) {
    expected_.push_back({{text, caption, flags}, answer});
    return *this;
}

int BoxScript::Answer(const MessageBoxCall& call) {
    seen_.push_back(call);
    if (expected_.empty()) {
        ADD_FAILURE() << "unexpected box: [" << call.caption << "] " << call.text;
        return IDCANCEL;
    }
    const Expected e = expected_.front();
    expected_.pop_front();
    EXPECT_EQ(e.call.caption, call.caption) << "box text: " << call.text;
    EXPECT_EQ(e.call.text, call.text);
    EXPECT_EQ(e.call.flags, call.flags) << "box text: " << call.text;
    return e.answer;
}

FileDialogScript::FileDialogScript()
    : previous_(SetFileDialogResponder([this](const FileDialogCall& call) {
          seen_.push_back(call);
          if (answers_.empty()) {
              ADD_FAILURE() << "unexpected file dialog " << call.dialog.title;
              return std::optional<std::string>();
          }
          const std::optional<std::string> answer = answers_.front();
          answers_.pop_front();
          return answer;
      })) {
}

FileDialogScript::~FileDialogScript() {
    SetFileDialogResponder(previous_);
    if (!answers_.empty()) ADD_FAILURE() << answers_.size() << " file dialog(s) never shown";
}

FileDialogScript& FileDialogScript::Answer(std::optional<std::string> path) {
    answers_.push_back(std::move(path));
    return *this;
}

ShellOpenScript::ShellOpenScript()
    : previous_(SetShellOpenResponder([this](const ShellOpenCall& call) {
          seen_.push_back(call);
          if (answers_.empty()) {
              ADD_FAILURE() << "unexpected shell open of " << call.target;
              return static_cast<int>(SE_ERR_NOASSOC);
          }
          const int answer = answers_.front();
          answers_.pop_front();
          return answer;
      })) {
}

ShellOpenScript::~ShellOpenScript() {
    SetShellOpenResponder(previous_);
    if (!answers_.empty()) ADD_FAILURE() << answers_.size() << " shell open(s) never asked";
}

ShellOpenScript& ShellOpenScript::Answer(int result) {
    answers_.push_back(result);
    return *this;
}

void InstallStrictResponders() {
    SetMessageBoxResponder([](const MessageBoxCall& call) {
        ADD_FAILURE() << "unexpected box: [" << call.caption << "] " << call.text;
        return IDCANCEL;
    });
    SetModalResponder([](QDialog&) { ADD_FAILURE() << "unexpected dialog"; });
    SetFileDialogResponder([](const FileDialogCall& call) {
        ADD_FAILURE() << "unexpected file dialog " << call.dialog.title;
        return std::optional<std::string>();
    });
    SetShellOpenResponder([](const ShellOpenCall& call) {
        ADD_FAILURE() << "unexpected shell open of " << call.target;
        return SE_ERR_NOASSOC;
    });
}

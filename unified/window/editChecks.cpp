#include "unified/window/editChecks.h"

#include "platform/MessageBox.h"

#include <QLineEdit>
#include <QValidator>
#include <charconv>
#include <cstdio>
#include <string>

namespace {

// The field's text; a text of blanks only is emptied in the field too.
std::string FieldText(QLineEdit* edit) {
    std::string text = edit->text().toStdString();
    if (!text.empty() && text.find_first_not_of(' ') == std::string::npos) {
        edit->clear();
        text.clear();
    }
    return text;
}

bool OnlyOf(const std::string& text, const char* allowed) {
    return !text.empty() && text.find_first_not_of(allowed) == std::string::npos;
}

template <typename Number>
bool Refuse(QLineEdit* edit, const char* format, Number low, Number high) {
    char message[128];
    std::snprintf(message, sizeof message, format, low, high);
    MessageBox(message, "Error", MB_OK | MB_ICONEXCLAMATION);
    SelectAllAndFocus(edit);
    return false;
}

// Counts code points, where a plain length limit would count UTF-16 units.
// The edit shows the text under validation already, so the length before
// the change is kept from the last accepted one.
class CharacterLimit : public QValidator {
public:
    CharacterLimit(QLineEdit* edit, int characters) : QValidator(edit), characters_(characters) {
        connect(edit, &QLineEdit::textChanged, this,
                [this](const QString& text) { accepted_ = text.toUcs4().size(); });
    }

    State validate(QString& input, int&) const override {
        const qsizetype length = input.toUcs4().size();
        return length <= characters_ || length <= accepted_ ? Acceptable : Invalid;
    }

private:
    qsizetype characters_;
    qsizetype accepted_ = 0;
};

} // namespace

void LimitEditLength(QLineEdit* edit, int characters) {
    edit->setValidator(new CharacterLimit(edit, characters));
}

void SelectAllAndFocus(QLineEdit* edit) {
    edit->selectAll();
    edit->setFocus();
}

bool ValidateIntegerEdit(QLineEdit* edit, int& value, int low, int high, bool blankAllowed) {
    const std::string text = FieldText(edit);
    if (text.empty() && blankAllowed) {
        value = 0;
        return true;
    }
    if (OnlyOf(text, "0123456789")) {
        // Digits that overflow an int are a conversion failure: refused,
        // the value left as it was.
        int number = 0;
        const auto [end, error] = std::from_chars(text.data(), text.data() + text.size(), number);
        if (error == std::errc() && end == text.data() + text.size()) {
            value = number;
            if (number >= low && number <= high) return true;
        }
    }
    return Refuse(edit, "Must be numeric from %d to %d.", low, high);
}

bool ValidateRealEdit(QLineEdit* edit, double& value, double low, double high, bool blankAllowed) {
    const std::string text = FieldText(edit);
    if (text.empty() && blankAllowed) {
        value = 0;
        return true;
    }
    // "2." and ".5" are numbers; "." and "1.2.3" are not.
    if (OnlyOf(text, "0123456789.") && text.find_first_of("0123456789") != std::string::npos &&
        text.find('.') == text.rfind('.')) {
        double number = 0;
        const auto [end, error] = std::from_chars(text.data(), text.data() + text.size(), number);
        if (error == std::errc() && end == text.data() + text.size()) {
            value = number;
            if (number >= low && number <= high) return true;
        }
    }
    return Refuse(edit, "Must be numeric from %.1f to %.1f.", low, high);
}

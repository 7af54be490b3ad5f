#include "unified/dialogparts/editChecks.h"

#include "platform/MessageBox.h"

#include <QLineEdit>
#include <algorithm>
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

int CodePoints(const QString& text) {
    int count = 0;
    for (const QChar c : text)
        if (!c.isLowSurrogate()) ++count;
    return count;
}

// Watches the user's edits only: a text the program sets is never cut.
class CharLimit : public QObject {
public:
    CharLimit(QLineEdit* edit, int chars)
        : QObject(edit), edit_(edit), chars_(chars), before_(edit->text()) {
        connect(edit, &QLineEdit::textEdited, this, &CharLimit::Edited);
        // The edit's own text: an edit cut below reports the uncut one.
        connect(edit, &QLineEdit::textChanged, this, [this] { before_ = edit_->text(); });
    }

private:
    void Edited(const QString& text) {
        const int length = CodePoints(text);
        const int before = CodePoints(before_);
        // Shortening a text that was set longer than the limit is allowed.
        if (length <= chars_ || length < before) return;
        int pos = edit_->cursorPosition();
        QString kept = text;
        if (before > chars_) {
            pos = std::max(0, pos - static_cast<int>(text.size() - before_.size()));
            kept = before_;
        } else {
            // The excess of what was just typed or pasted, before the cursor.
            for (int excess = length - chars_; excess > 0 && pos > 0; --excess) {
                int start = pos - 1;
                if (start > 0 && kept[start].isLowSurrogate() && kept[start - 1].isHighSurrogate())
                    --start;
                kept.remove(start, pos - start);
                pos = start;
            }
        }
        edit_->setText(kept);
        edit_->setCursorPosition(pos);
    }

    QLineEdit* edit_;
    int chars_;
    QString before_;
};

} // namespace

void LimitEditLength(QLineEdit* edit, int characters) {
    new CharLimit(edit, characters);
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

#include "unified/window/fieldLimit.h"

#include <QLineEdit>
#include <algorithm>

namespace {

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

void SetMaxChars(QLineEdit* edit, int chars) {
    new CharLimit(edit, chars);
}

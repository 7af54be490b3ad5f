#include "unified/dialogparts/dialogParts.h"

#include "platform/ShowModal.h"
#include "unified/dialogparts/editChecks.h"

#include <QAbstractTextDocumentLayout>
#include <QDialog>
#include <QDialogButtonBox>
#include <QEvent>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QTextBlock>
#include <QTextDocument>
#include <QtMath>
#include <algorithm>

namespace {

// A button that has the focus is the default while it has it: Enter presses
// the button the user is on. The default goes back to OK when the focus
// moves on, but not when the dialog closes from that button; so each new
// showing starts as the first did, away from any button and with OK the
// default, whatever its on-show logic then focuses.
class DefaultAtEveryShowing : public QObject {
public:
    DefaultAtEveryShowing(QDialog* dialog, QPushButton* ok)
        : QObject(dialog), dialog_(dialog), ok_(ok) {
        dialog->installEventFilter(this);
    }

    bool eventFilter(QObject* watched, QEvent* event) override {
        // A showing restored by the window system is the same use.
        if (watched == dialog_ && event->type() == QEvent::Show && !event->spontaneous()) {
            if (auto* button = qobject_cast<QPushButton*>(dialog_->focusWidget()))
                button->clearFocus();
            ok_->setDefault(true);
        }
        return false;
    }

private:
    QDialog* dialog_;
    QPushButton* ok_;
};

} // namespace

QLabel* LabelFor(const char* text, QWidget* field) {
    auto* label = new QLabel(text);
    label->setBuddy(field);
    return label;
}

QLineEdit* NumberField(int characters) {
    auto* edit = new QLineEdit;
    if (characters > 0) LimitEditLength(edit, characters);
    edit->setMaximumWidth(edit->fontMetrics().averageCharWidth() * (std::max(characters, 2) + 4));
    return edit;
}

void FitNoteToText(QPlainTextEdit* note) {
    note->setLineWrapMode(QPlainTextEdit::NoWrap);
    // Scroll bars taken on while the memo was small would keep each other.
    note->setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    note->setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    QTextDocument* text = note->document();
    QAbstractTextDocumentLayout* layout = text->documentLayout();
    // Each block's rectangle lays it out, after which the document knows its
    // widest line, margins included.
    qreal height = 0;
    for (QTextBlock block = text->begin(); block.isValid(); block = block.next())
        height += layout->blockBoundingRect(block).height();
    const int frame = 2 * note->frameWidth();
    note->setFixedSize(qCeil(layout->documentSize().width()) + frame,
                       qCeil(height + 2 * text->documentMargin()) + frame);
}

QDialogButtonBox* OkCancelButtons(QDialog* dialog, QPushButton*& ok, QPushButton*& cancel) {
    ok = new QPushButton("&OK");
    ok->setDefault(true);
    cancel = new QPushButton("&Cancel");
    auto* buttons = new QDialogButtonBox;
    buttons->addButton(ok, QDialogButtonBox::AcceptRole);
    buttons->addButton(cancel, QDialogButtonBox::RejectRole);
    QObject::connect(cancel, &QPushButton::clicked, dialog, [dialog] { dialog->done(mrCancel); });
    new DefaultAtEveryShowing(dialog, ok);
    return buttons;
}

QPushButton* NewDialogButton(const char* name, const char* caption) {
    auto* button = new QPushButton(caption);
    button->setObjectName(name);
    button->setAutoDefault(false);
    return button;
}

QHBoxLayout* ButtonRow(std::initializer_list<QPushButton*> buttons) {
    auto* row = new QHBoxLayout;
    row->addStretch();
    for (QPushButton* button : buttons)
        row->addWidget(button);
    return row;
}

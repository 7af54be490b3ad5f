#pragma once
// A small window that shows how a long piece of work goes, without
// blocking: its user sets the caption and the text and shows it.

#include <QDialog>
#include <string>

class QPlainTextEdit;

class TProgressBox : public QDialog {
    Q_OBJECT

public:
    explicit TProgressBox(QWidget* parent = nullptr);

    // The whole text of the memo, painted at once: the work that reports it
    // keeps the event loop from painting until it ends.
    void SetProgressText(const std::string& text);

    QPlainTextEdit* Memo1;
};

extern TProgressBox* ProgressBox;

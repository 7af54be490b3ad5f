#pragma once
// A small window that shows how a long piece of work goes, without
// blocking: its user sets the caption and the text and shows it.

#include <QDialog>
#include <cstdint>
#include <string>

class QPlainTextEdit;

class TProgressBox : public QDialog {
    Q_OBJECT

public:
    explicit TProgressBox(QWidget* parent = nullptr);

    // The whole text of the memo, painted at once: the work that reports it
    // keeps the event loop from painting until it ends.
    void SetProgressText(const std::string& text);
    // A report of work that reports more often than it is worth painting:
    // the text is shown when it is the first report since BeginWork, when
    // `now` is set and the text is not the one shown, or once
    // RepaintInterval has passed since the last one shown; other reports
    // cost next to nothing.
    void ReportProgress(const std::string& text, bool now = false);
    static constexpr std::uint32_t RepaintInterval = 50; // milliseconds

    // Shows the box for work done on this thread. Until EndWork the program
    // paints but takes no other event, except the box's own: a command
    // started meanwhile (a second OK, File > Open) could re-enter the work
    // or replace what it works on. Input waits for EndWork; other events
    // that arrive meanwhile are dropped.
    void BeginWork(const std::string& caption, const std::string& text);
    void EndWork();
    bool IsWorking() const { return working; }

    QPlainTextEdit* Memo1;

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    bool working = false;
    bool reported = false;
    std::uint32_t lastShown = 0; // the tick count of the last report shown
    std::string shownText;
};

extern TProgressBox* ProgressBox;

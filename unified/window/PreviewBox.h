#pragma once
// The text preview, shown without blocking: the current event's report
// (mode 0, Tools > Preview Issue) or the match schedule's warnings and
// analysis (mode 1). A typed character closes it; moving about does not.

#include <QDialog>
#include <functional>
#include <string>
#include <vector>

class QPlainTextEdit;

class TPreviewBox : public QDialog {
    Q_OBJECT

public:
    enum : int { IssuePreview = 0, WarningsAndAnalysis = 1 };

    explicit TPreviewBox(QWidget* parent = nullptr);

    // Sets the mode and starts the text anew: the summary lines and an empty
    // line, then (when given) the details lines and an empty line. Without a
    // summary neither list is taken.
    void SetContent(int mode, const std::vector<std::string>* summary,
                    const std::vector<std::string>* details);
    int Mode() const { return mode; }

    // Writes the match schedule's analysis into the list; mode 1 shows it
    // after the warnings. The schedule's analysis plugs in here.
    std::function<void(std::vector<std::string>&)> WriteAnalysis;

    QPlainTextEdit* Preview;

protected:
    void showEvent(QShowEvent* event) override;
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    int mode = IssuePreview;
    std::vector<std::string> lines;
};

extern TPreviewBox* PreviewBox;

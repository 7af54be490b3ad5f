#include "unified/window/PreviewBox.h"

#include "unified/core/RXEvent.h"
#include "unified/core/rxreport.h"
#include "unified/window/eventFactory.h"

#include <QFontDatabase>
#include <QKeyEvent>
#include <QPlainTextEdit>
#include <QShowEvent>
#include <QVBoxLayout>

TPreviewBox* PreviewBox = nullptr;

namespace {

void Append(std::vector<std::string>& to, const std::vector<std::string>& from) {
    to.insert(to.end(), from.begin(), from.end());
}

} // namespace

TPreviewBox::TPreviewBox(QWidget* parent) : QDialog(parent) {
    setWindowTitle("Preview Issue");
    Preview = new QPlainTextEdit;
    Preview->setObjectName("Preview");
    Preview->setReadOnly(true);
    Preview->setLineWrapMode(QPlainTextEdit::NoWrap);
    Preview->setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOn);
    Preview->setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOn);
    Preview->installEventFilter(this);
    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->addWidget(Preview);
    resize(640, 480);
}

void TPreviewBox::SetContent(int newMode, const std::vector<std::string>* summary,
                             const std::vector<std::string>* details) {
    mode = newMode;
    lines.clear();
    if (summary == nullptr) return;
    Append(lines, *summary);
    lines.emplace_back();
    if (details != nullptr) {
        Append(lines, *details);
        lines.emplace_back();
    }
}

void TPreviewBox::showEvent(QShowEvent* event) {
    QDialog::showEvent(event);
    if (event->spontaneous()) return;
    if (mode == IssuePreview) {
        setWindowTitle("Preview Issue");
        if (IsEventUsable()) {
            rxReport report(lines);
            CurrentEvent->PrintReport(report);
        }
    } else {
        setWindowTitle("Warnings and Match Analysis");
        std::vector<std::string> analysis;
        if (WriteAnalysis) WriteAnalysis(analysis);
        Append(lines, analysis);
        setWindowState(windowState() & ~(Qt::WindowMinimized | Qt::WindowMaximized));
    }
    QStringList text;
    for (const std::string& line : lines)
        text << QString::fromStdString(line);
    Preview->setPlainText(text.join('\n'));
    // Report columns line up only in a fixed-pitch face.
    Preview->setFont(QFontDatabase::systemFont(QFontDatabase::FixedFont));
}

bool TPreviewBox::eventFilter(QObject* watched, QEvent* event) {
    // A key that types a character (Enter and Escape too) closes the
    // preview; arrows, paging and bare modifiers type none.
    if (watched == Preview && event->type() == QEvent::KeyPress &&
        !static_cast<QKeyEvent*>(event)->text().isEmpty()) {
        close();
        return true;
    }
    return QDialog::eventFilter(watched, event);
}

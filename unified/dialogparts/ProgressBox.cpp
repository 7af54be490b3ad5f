#include "unified/window/ProgressBox.h"

#include <QCoreApplication>
#include <QPlainTextEdit>
#include <QVBoxLayout>

TProgressBox* ProgressBox = nullptr;

TProgressBox::TProgressBox(QWidget* parent) : QDialog(parent) {
    Memo1 = new QPlainTextEdit;
    Memo1->setReadOnly(true);
    auto* layout = new QVBoxLayout(this);
    layout->addWidget(Memo1);
    resize(320, 120);
}

void TProgressBox::SetProgressText(const std::string& text) {
    Memo1->setPlainText(QString::fromStdString(text));
    if (!isVisible()) return;
    Memo1->viewport()->repaint();
    repaint();
    QCoreApplication::processEvents(QEventLoop::ExcludeUserInputEvents);
}

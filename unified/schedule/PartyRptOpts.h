#pragma once
// Options > Report Layout Options: how the plan report lays out its match
// chart and player charts.

#include <QDialog>

class QCheckBox;
class QPushButton;

class TPartyRptOpts : public QDialog {
    Q_OBJECT

public:
    explicit TPartyRptOpts(QWidget* parent = nullptr);

    QCheckBox* OptimizeLayout = nullptr;
    QCheckBox* ShowNames = nullptr;
    QCheckBox* TwoColumn = nullptr;
    QCheckBox* SkipUnsched = nullptr;
    QPushButton* OK = nullptr;
    QPushButton* Cancel = nullptr;

protected:
    void showEvent(QShowEvent* event) override;

private:
    void FormShow();
    void OKClick();
};

extern TPartyRptOpts* PartyRptOpts;

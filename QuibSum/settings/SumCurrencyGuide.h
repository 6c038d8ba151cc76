#pragma once
// SumCurrencyGuide: "How to convert currencies", a dialog over the settings window that shows
// how conversions are written, one example line and its explanation at a time.

#include <QDialog>

namespace quibsum {

class SumCurrencyGuide : public QDialog {
    Q_OBJECT
public:
    explicit SumCurrencyGuide(QWidget* parent = nullptr);
};

}  // namespace quibsum

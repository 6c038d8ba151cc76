#pragma once
// SumCurrencyGuide: "How to convert currencies", a dialog over the settings window that shows
// how conversions are written, one example line and its explanation at a time, with figures in
// the number style the sheets use.

#include <QDialog>

#include "QuibSumCore/NumberStyle.h"

namespace quibsum {

class SumCurrencyGuide : public QDialog {
    Q_OBJECT
public:
    explicit SumCurrencyGuide(NumberStyle style, QWidget* parent = nullptr);
};

}  // namespace quibsum

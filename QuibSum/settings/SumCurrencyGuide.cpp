#include "QuibSum/settings/SumCurrencyGuide.h"

#include <QDialogButtonBox>
#include <QFontDatabase>
#include <QLabel>
#include <QScrollArea>
#include <QVBoxLayout>

#include "QuibSum/settings/CurrencyGuideContent.h"

namespace quibsum {

namespace {

QLabel* wrappedLabel(const QString& text, QWidget* parent) {
    auto* label = new QLabel(text, parent);
    label->setWordWrap(true);
    label->setTextInteractionFlags(Qt::TextSelectableByMouse);
    return label;
}

}  // namespace

SumCurrencyGuide::SumCurrencyGuide(NumberStyle style, QWidget* parent) : QDialog(parent) {
    setWindowTitle(tr("How to convert currencies"));
    setObjectName(QStringLiteral("currencyGuide"));
    resize(520, 600);

    auto* content = new QWidget;
    auto* column = new QVBoxLayout(content);
    column->setSpacing(6);
    QLabel* tip = wrappedLabel(CurrencyGuideContent::translated(CurrencyGuideContent::tip()), content);
    tip->setObjectName(QStringLiteral("tip"));
    column->addWidget(tip);

    QFont exampleFont = QFontDatabase::systemFont(QFontDatabase::FixedFont);
    for (const CurrencyGuideSection& section : CurrencyGuideContent::sections()) {
        auto* title = new QLabel(CurrencyGuideContent::translated(section.title), content);
        QFont bold = title->font();
        bold.setBold(true);
        bold.setPointSizeF(bold.pointSizeF() * 1.15);
        title->setFont(bold);
        column->addSpacing(10);
        column->addWidget(title);
        for (const CurrencyGuideItem& item : section.items) {
            QLabel* example = wrappedLabel(CurrencyGuideContent::example(item, style), content);
            example->setObjectName(QStringLiteral("example"));
            example->setFont(exampleFont);
            example->setContentsMargins(12, 4, 0, 0);
            column->addWidget(example);
            QLabel* explanation = wrappedLabel(CurrencyGuideContent::explanation(item, style), content);
            explanation->setContentsMargins(12, 0, 0, 0);
            column->addWidget(explanation);
        }
        if (section.note) column->addWidget(wrappedLabel(CurrencyGuideContent::translated(section.note), content));
    }
    column->addStretch();

    auto* scroll = new QScrollArea(this);
    scroll->setWidgetResizable(true);
    scroll->setFrameShape(QFrame::NoFrame);
    scroll->setWidget(content);
    auto* buttons = new QDialogButtonBox(QDialogButtonBox::Close, this);
    connect(buttons, &QDialogButtonBox::rejected, this, &QDialog::reject);
    auto* layout = new QVBoxLayout(this);
    layout->addWidget(scroll);
    layout->addWidget(buttons);
}

}  // namespace quibsum

#include "QuibSum/editor/LargeSheetView.h"

#include <QCoreApplication>
#include <QLabel>
#include <QPointer>
#include <QThreadPool>
#include <QVBoxLayout>
#include <atomic>

#include "QuibSumCore/LineEnds.h"

namespace quibsum {

namespace {

constexpr int statusSideMargin = 14;
constexpr int statusEndMargin = 4;

}  // namespace

bool LargeSheetView::isTooLargeToEdit(QStringView text) {
    if (text.size() > maxEditableLength) return true;
    // Lines as the sheet counts them: "\r\n" is one line end, as is a lone "\r".
    qsizetype lines = 1;
    const qsizetype size = text.size();
    for (qsizetype i = 0; i < size; ++i) {
        const char16_t unit = text[i].unicode();
        if (unit == u'\n' ||
            (LineEnds::isOtherLineEnd(unit) && !(unit == u'\r' && i + 1 < size && text[i + 1] == u'\n')))
            if (++lines > maxEditableLines) return true;
    }
    return false;
}

LargeSheetView::LargeSheetView(QString text, Engine engine, const EditorTheme& theme, QWidget* parent)
    : QWidget(parent),
      text_(std::make_shared<const LineIndexedText>(std::move(text))),
      results_(std::make_shared<const CompactResults>()),
      engine_(std::move(engine)),
      theme_(theme),
      lines_(new LargeSheetLines(text_, theme, this)),
      status_(new QLabel(this)),
      latest_(std::make_shared<std::atomic<std::uint64_t>>(0)) {
    // The status stands below the scroll area, so that its scroll bars end above it.
    auto* column = new QVBoxLayout(this);
    column->setContentsMargins(0, 0, 0, 0);
    column->setSpacing(0);
    column->addWidget(lines_, 1);
    column->addWidget(status_);
    setFocusProxy(lines_);
    lines_->setAccessibleName(tr("Calculator sheet, read-only"));
    connect(lines_, &LargeSheetLines::cancelRequested, this, &LargeSheetView::cancelRequested);
    status_->setTextFormat(Qt::PlainText);
    status_->setWordWrap(true);
    status_->setContentsMargins(statusSideMargin, statusEndMargin, statusSideMargin, statusEndMargin);
    setTheme(theme);
    evaluate();
}

LargeSheetView::~LargeSheetView() {
    // A run under way finds a newer one announced and stops.
    latest_->store(~std::uint64_t{0});
}

// ---- Text and evaluation -----------------------------------------------------------------

void LargeSheetView::evaluate() {
    latest_->store(++run_);
    evaluating_ = true;
    updateStatus();
    QPointer<LargeSheetView> self(this);
    QThreadPool::globalInstance()->start([self, text = text_, engine = *engine_, run = run_, latest = latest_] {
        std::optional<CompactResults> results =
            CompactResults::evaluate(*text, engine, [&] { return latest->load() != run; });
        if (!results) return;
        QMetaObject::invokeMethod(
            qApp,
            [self, run, shared = std::make_shared<const CompactResults>(std::move(*results))]() mutable {
                if (self) self->applyResults(run, std::move(shared));
            },
            Qt::QueuedConnection);
    });
}

void LargeSheetView::applyResults(std::uint64_t run, std::shared_ptr<const CompactResults> results) {
    if (run != run_) return;
    results_ = std::move(results);
    lines_->setResults(results_);
    evaluating_ = false;
    updateStatus();
    emit evaluated();
}

void LargeSheetView::replaceText(QString text) {
    text_ = std::make_shared<const LineIndexedText>(std::move(text));
    // The old results belong to another text: none are shown until the new ones are back.
    results_ = std::make_shared<const CompactResults>();
    lines_->setText(text_, results_);
    evaluate();
}

void LargeSheetView::appendText(const QString& added) {
    if (added.isEmpty()) return;
    // A run may be reading the text shown: the longer one is a text of its own. The lines
    // above keep their results meanwhile, as lines below never change them.
    auto longer = std::make_shared<LineIndexedText>(*text_);
    longer->append(added);
    text_ = std::move(longer);
    lines_->setText(text_, results_);
    evaluate();
}

void LargeSheetView::setEngine(Engine engine) {
    engine_.emplace(std::move(engine));
    evaluate();
}

void LargeSheetView::applyRateVersion(std::int64_t version) {
    // The first version is the one the view was made with.
    const bool first = !rateVersion_;
    if (rateVersion_ == version) return;
    rateVersion_ = version;
    if (!first) evaluate();
}

// ---- Status ------------------------------------------------------------------------------

void LargeSheetView::setReadOnlyReason(const std::optional<QString>& reason) {
    readOnlyReason_ = reason;
    updateStatus();
}

void LargeSheetView::setSheetFile(const QString& path) {
    sheetFile_ = path;
    updateStatus();
}

void LargeSheetView::updateStatus() {
    QString text;
    if (readOnlyReason_) text = *readOnlyReason_ + u'\n';
    text += tr("This sheet has %L1 lines, more than can be edited here: it is shown read-only and never changed.")
                .arg(lineCount());
    text += u' ';
    text += tr("“quibsum sheet %1” prints it with its results; “quibsum append” adds lines to the quick sheet.")
                .arg(sheetFile_.isEmpty() ? tr("FILE") : sheetFile_);
    if (evaluating_) text += u' ' + tr("Working out the results…");
    statusText_ = text;
    status_->setText(text);
    status_->setToolTip(text);
    QPalette palette = status_->palette();
    palette.setColor(QPalette::WindowText,
                     theme_.color(readOnlyReason_ ? PaletteRole::error : PaletteRole::footerText));
    status_->setPalette(palette);
}

void LargeSheetView::setTheme(const EditorTheme& theme) {
    theme_ = theme;
    setPalette(theme.sheetPalette());
    setAutoFillBackground(true);
    lines_->setTheme(theme);
    updateStatus();
}

}  // namespace quibsum

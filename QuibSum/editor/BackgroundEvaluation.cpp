#include "QuibSum/editor/BackgroundEvaluation.h"

#include <QCoreApplication>
#include <QPointer>
#include <QThreadPool>
#include <utility>

namespace quibsum {

namespace {

// One thread for every editor's background runs: they queue behind each other, and a run
// that is no longer the newest when its turn comes skips its work.
QThreadPool& largeSheetPool() {
    static QThreadPool* pool = [] {
        auto* p = new QThreadPool(qApp);
        p->setMaxThreadCount(1);
        p->setExpiryTimeout(-1);
        return p;
    }();
    return *pool;
}

}  // namespace

BackgroundEvaluation::BackgroundEvaluation(QObject* parent)
    : QObject(parent), latest_(std::make_shared<std::atomic<std::uint64_t>>(0)) {}

BackgroundEvaluation::~BackgroundEvaluation() {
    // Any run still queued finds a newer one announced and skips its work.
    latest_->store(~std::uint64_t{0});
    release(std::move(sheet_));
}

void BackgroundEvaluation::release(std::shared_ptr<const Sheet> sheet) {
    if (sheet) largeSheetPool().start([sheet = std::move(sheet)]() mutable { sheet.reset(); });
}

void BackgroundEvaluation::start(const Engine& engine, const QString& text) {
    latest_->store(++run_);
    active_ = true;
    auto sheet = std::make_shared<Sheet>(engine);
    QPointer<BackgroundEvaluation> self(this);
    largeSheetPool().start([self, sheet, text, run = run_, latest = latest_] {
        if (latest->load() != run) return;
        sheet->setText(text.toStdString());
        if (latest->load() != run) return;
        PageTotal total = sheet->total();
        QMetaObject::invokeMethod(
            qApp,
            [self, sheet, run, total = std::move(total)]() mutable {
                if (self)
                    self->apply(run, std::move(sheet), std::move(total));
                else
                    release(std::move(sheet));
            },
            Qt::QueuedConnection);
    });
}

void BackgroundEvaluation::stop() {
    latest_->store(++run_);
    active_ = false;
    release(std::move(sheet_));
}

void BackgroundEvaluation::apply(std::uint64_t run, std::shared_ptr<const Sheet> sheet, PageTotal total) {
    if (run != run_ || !active_) return release(std::move(sheet));
    release(std::exchange(sheet_, std::move(sheet)));
    total_ = std::move(total);
    emit finished();
}

}  // namespace quibsum

#include "QuibSum/shell/SumRuntime.h"

#include <QSettings>

#include <chrono>

#include "QuibSum/cli/RateStatus.h"
#include "QuibSum/editor/EditorView.h"
#include "QuibSum/storage/AppPaths.h"
#include "QuibSumRates/CurlRateRequester.h"
#include "QuibSumRates/LiveRateStore.h"
#include "QuibSumRates/RateCache.h"

namespace quibsum {

SumRuntime::SumRuntime(QObject* parent)
    : QObject(parent),
      storage_(AppPaths::openSettings()),
      settings_(std::make_unique<SumSettings>(*storage_)),
      requester_(std::make_shared<CurlRateRequester>()),
      rates_(std::make_shared<LiveRateStore>(RateCache::defaultLocation(), requester_)) {
    // Overlapping refreshes are the store's to sort out; two threads are plenty.
    refreshPool_.setMaxThreadCount(2);
    updateRateStatus();
}

SumRuntime::~SumRuntime() {
    // A download in flight would hold the exit for up to its time-out.
    requester_->cancel();
    refreshPool_.waitForDone();
}

Engine SumRuntime::makeEngine() const {
    return Engine(rates_, settings_->engineNumberStyle(), settings_->defaultVNDKind());
}

void SumRuntime::registerEditor(EditorView* editor) {
    std::erase_if(subscribers_, [](const QPointer<EditorView>& e) { return e.isNull(); });
    subscribers_.emplace_back(editor);
    editor->applyRateVersion(rates_->version());
}

void SumRuntime::refreshRates(bool force) {
    refreshPool_.start([this, store = rates_, force] {
        store->refresh(std::chrono::time_point_cast<std::chrono::seconds>(std::chrono::system_clock::now()), force);
        QMetaObject::invokeMethod(this, [this] { deliverVersion(); }, Qt::QueuedConnection);
    });
}

void SumRuntime::deliverVersion() {
    const std::int64_t version = rates_->version();
    std::erase_if(subscribers_, [](const QPointer<EditorView>& e) { return e.isNull(); });
    for (const QPointer<EditorView>& editor : subscribers_) editor->applyRateVersion(version);
    updateRateStatus();
    emit ratesRefreshed(version);
}

void SumRuntime::updateRateStatus() {
    settings_->setRateStatus(RateStatus::text(*rates_, settings_->defaultVNDKind()));
}

}  // namespace quibsum

#include "QuibSum/shell/SumRuntime.h"

#include <QCoreApplication>
#include <QDBusConnection>
#include <QNetworkInformation>
#include <QSettings>
#include <chrono>

#include "QuibSum/common/RateFeedOptions.h"
#include "QuibSum/common/RateStatus.h"
#include "QuibSum/editor/EditorView.h"
#include "QuibSum/storage/AppPaths.h"
#include "QuibSumRates/CurlRateRequester.h"

namespace quibsum {

std::unique_ptr<SumRuntime> SumRuntime::standard() {
    std::optional<QString> refusal;
    std::unique_ptr<QSettings> storage = AppPaths::openSettings(refusal);
    auto requester = std::make_shared<CurlRateRequester>();
    auto runtime = std::make_unique<SumRuntime>(*storage, requester, AppPaths::rateCacheFile(),
                                                RateFeedOptions::fromEnvironment());
    runtime->ownStorage_ = std::move(storage);
    if (refusal) {
        // In the log, and in the settings window, where the choices it could not read are.
        qWarning("%s", qUtf8Printable(*refusal));
        runtime->settings().setLastError(refusal);
    }
    runtime->cancelDownloads_ = [requester] { requester->cancel(); };
    return runtime;
}

SumRuntime::SumRuntime(QSettings& storage, std::shared_ptr<RateRequester> requester,
                       std::filesystem::path cacheLocation, LiveRateStore::Options options, const Clock& clock,
                       QObject* parent)
    : QObject(parent),
      clock_(clock),
      settings_(std::make_unique<SumSettings>(storage)),
      rates_(std::make_shared<LiveRateStore>(std::move(cacheLocation), std::move(requester), std::move(options))) {
    // Overlapping refreshes are the store's to sort out; two threads are plenty.
    refreshPool_.setMaxThreadCount(2);
    updateRateStatus();
}

SumRuntime::~SumRuntime() {
    // A download in flight would hold the exit for up to its time-out.
    if (cancelDownloads_) cancelDownloads_();
    refreshPool_.waitForDone();
}

void SumRuntime::waitForRefreshes() {
    refreshPool_.waitForDone();
    QCoreApplication::sendPostedEvents(this);
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
        store->refresh(clock_.seconds(), force);
        QMetaObject::invokeMethod(
            this, [this] { deliverVersion(); }, Qt::QueuedConnection);
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

void SumRuntime::watchForRefreshMoments() {
    if (QNetworkInformation::loadBackendByFeatures(QNetworkInformation::Feature::Reachability)) {
        connect(QNetworkInformation::instance(), &QNetworkInformation::reachabilityChanged, this,
                [this](QNetworkInformation::Reachability reachability) {
                    if (reachability == QNetworkInformation::Reachability::Online) refreshRates(false);
                });
    }
    // logind tells before the computer sleeps (true) and after it wakes (false).
    QDBusConnection::systemBus().connect(QStringLiteral("org.freedesktop.login1"),
                                         QStringLiteral("/org/freedesktop/login1"),
                                         QStringLiteral("org.freedesktop.login1.Manager"),
                                         QStringLiteral("PrepareForSleep"), this, SLOT(prepareForSleep(bool)));
}

void SumRuntime::prepareForSleep(bool sleeping) {
    if (!sleeping) refreshRates(false);
}

}  // namespace quibsum

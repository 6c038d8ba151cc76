#pragma once
// SumRuntime: the long-lived objects of the desktop application and what ties them: the
// settings, the live rate store and its refreshes, and the engine every editor is built with.
// Refreshes run on worker threads; their outcome reaches the registered editors on the main
// thread as a new rate version, and the settings' rate status. It also listens for the
// moments a refresh may be due: the network coming back and the computer waking up. Main
// thread only (but for the refresh work itself).

#include <QObject>
#include <QPointer>
#include <QThreadPool>
#include <filesystem>
#include <functional>
#include <memory>
#include <vector>

#include "QuibSum/storage/SumSettings.h"
#include "QuibSumCore/Clock.h"
#include "QuibSumCore/Engine.h"
#include "QuibSumRates/LiveRateStore.h"

class QSettings;

namespace quibsum {

class EditorView;
class RateRequester;

class SumRuntime : public QObject {
    Q_OBJECT
public:
    // The user's settings and rate cache, the real feeds. Throws std::exception when neither
    // the rate cache nor the built-in seed can be used.
    static std::unique_ptr<SumRuntime> standard();

    // `storage` and `clock` (which dates the refreshes) must outlive the runtime. Throws as
    // LiveRateStore's constructor does.
    SumRuntime(QSettings& storage, std::shared_ptr<RateRequester> requester, std::filesystem::path cacheLocation,
               LiveRateStore::Options options = {}, const Clock& clock = Clock::system(), QObject* parent = nullptr);
    ~SumRuntime() override;

    SumSettings& settings() { return *settings_; }
    const std::shared_ptr<LiveRateStore>& rates() const { return rates_; }

    // The engine for a new editor: the rate store, the number style and the default VND rate.
    Engine makeEngine() const;
    // Sends every new rate version to the editor from now on, starting with the current one.
    void registerEditor(EditorView* editor);
    std::size_t subscriberCount() const { return subscribers_.size(); }
    // Starts a refresh on a worker thread; the store decides what is due (`force` fetches
    // whatever is not already being fetched).
    void refreshRates(bool force);
    // Refreshes (unforced) when the network becomes reachable and when the computer wakes.
    void watchForRefreshMoments();
    // Lets every refresh under way end (they are cancelled first when `cancel` is set).
    void waitForRefreshes();

signals:
    // After a refresh ended, on the main thread, with the store's version then.
    void ratesRefreshed(qint64 version);

private slots:
    void prepareForSleep(bool sleeping);

private:
    void deliverVersion();
    void updateRateStatus();

    const Clock& clock_;
    std::unique_ptr<QSettings> ownStorage_;  // the standard runtime's
    std::function<void()> cancelDownloads_;  // the standard runtime's: ends downloads in flight at once
    std::unique_ptr<SumSettings> settings_;
    std::shared_ptr<LiveRateStore> rates_;
    std::vector<QPointer<EditorView>> subscribers_;
    QThreadPool refreshPool_;
};

}  // namespace quibsum

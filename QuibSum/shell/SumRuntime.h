#pragma once
// SumRuntime: the long-lived objects of the desktop application and what ties them: the
// settings, the live rate store and its refreshes, and the engine every editor is built with.
// Refreshes run on a worker thread; their outcome reaches the registered editors on the main
// thread as a new rate version. Main thread only (but for the refresh work itself).

#include <QObject>
#include <QPointer>
#include <QThreadPool>

#include <memory>
#include <vector>

#include "QuibSum/storage/SumSettings.h"
#include "QuibSumCore/Engine.h"

class QSettings;

namespace quibsum {

class CurlRateRequester;
class EditorView;
class LiveRateStore;

class SumRuntime : public QObject {
    Q_OBJECT
public:
    // Reads the stored settings and opens the rate store (the cache, else the built-in seed).
    // Throws std::exception when neither can be used.
    explicit SumRuntime(QObject* parent = nullptr);
    ~SumRuntime() override;

    SumSettings& settings() { return *settings_; }
    const std::shared_ptr<LiveRateStore>& rates() const { return rates_; }

    // The engine for a new editor: the rate store, the number style and the default VND rate.
    Engine makeEngine() const;
    // Sends every new rate version to the editor from now on, starting with the current one.
    void registerEditor(EditorView* editor);
    // Starts a refresh on the worker thread; the store decides what is due (`force` fetches
    // whatever is not already being fetched).
    void refreshRates(bool force);

signals:
    // After a refresh ended, on the main thread, with the store's version then.
    void ratesRefreshed(qint64 version);

private:
    void deliverVersion();
    void updateRateStatus();

    std::unique_ptr<QSettings> storage_;
    std::unique_ptr<SumSettings> settings_;
    std::shared_ptr<CurlRateRequester> requester_;
    std::shared_ptr<LiveRateStore> rates_;
    std::vector<QPointer<EditorView>> subscribers_;
    QThreadPool refreshPool_;
};

}  // namespace quibsum

#pragma once
// BackgroundEvaluation: a large sheet evaluated whole, in a fresh sheet, on a background
// thread, so that the main thread never waits for it. Each run is numbered; a run that is no
// longer the newest when its turn comes skips its work, and its results are dropped when they
// arrive, so stale results are never shown. The newest finished run's sheet stays here, read
// only, until the next one replaces it. Main thread only.

#include <QObject>
#include <QString>
#include <atomic>
#include <cstdint>
#include <memory>

#include "QuibSumCore/Engine.h"
#include "QuibSumCore/PageTotal.h"
#include "QuibSumCore/Sheet.h"

namespace quibsum {

class BackgroundEvaluation : public QObject {
    Q_OBJECT
public:
    explicit BackgroundEvaluation(QObject* parent = nullptr);
    ~BackgroundEvaluation() override;

    // Evaluates `text` with `engine`; runs started before are dropped.
    void start(const Engine& engine, const QString& text);
    // Drops the runs under way and the last run's sheet: the sheet is small again.
    void stop();

    // Started and not stopped since.
    bool isActive() const { return active_; }
    // The newest finished run's sheet and its total; null before the first is back.
    const Sheet* sheet() const { return sheet_.get(); }
    const PageTotal& total() const { return total_; }

    // Freeing a sheet of many thousand lines takes long enough to be felt: it is done on the
    // background thread.
    static void release(std::shared_ptr<const Sheet> sheet);

signals:
    // A run is back: sheet() and total() are its.
    void finished();

private:
    void apply(std::uint64_t run, std::shared_ptr<const Sheet> sheet, PageTotal total);

    std::uint64_t run_ = 0;
    // The newest run, readable by the runs so that a stale one skips its work.
    std::shared_ptr<std::atomic<std::uint64_t>> latest_;
    std::shared_ptr<const Sheet> sheet_;
    PageTotal total_;
    bool active_ = false;
};

}  // namespace quibsum

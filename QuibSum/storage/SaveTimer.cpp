#include "QuibSum/storage/SaveTimer.h"

#include <QTimer>

namespace quibsum {
namespace {

class QtSaveTimer final : public SaveTimer {
public:
    QtSaveTimer() {
        timer_.setSingleShot(true);
        timer_.setTimerType(Qt::PreciseTimer);
        connect(&timer_, &QTimer::timeout, this, &SaveTimer::timeout);
    }

    void start(std::chrono::milliseconds delay) override { timer_.start(delay); }
    void stop() override { timer_.stop(); }
    bool isActive() const override { return timer_.isActive(); }

private:
    QTimer timer_;
};

}  // namespace

std::unique_ptr<SaveTimer> SaveTimer::standard() { return std::make_unique<QtSaveTimer>(); }

}  // namespace quibsum

#pragma once
// HotKeyBinding: keeps the global hot key in step with the settings. It registers the stored
// combination at once and again whenever the settings record another; a combination the
// desktop refuses rolls the settings back to the previous one, with the reason shown in the
// settings, as is a hot key that stops working later. Where the desktop lets no program own a
// key, a recorded combination is kept all the same: the user binds it in the desktop's own
// settings, and the advice shown names it.

#include <QObject>

namespace quibsum {

class HotKey;
class SumSettings;

class HotKeyBinding : public QObject {
    Q_OBJECT
public:
    HotKeyBinding(SumSettings& settings, HotKey& hotKey);

    // Whether the hot key is in force now.
    bool isWorking() const { return working_; }

signals:
    void workingChanged(bool working);

private:
    void setWorking(bool working);

    bool working_ = false;
};

}  // namespace quibsum

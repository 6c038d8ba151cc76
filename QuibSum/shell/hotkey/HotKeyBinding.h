#pragma once
// HotKeyBinding: keeps the global hot key in step with the settings. It registers the stored
// combination at once and again whenever the settings record another; a combination the
// desktop refuses rolls the settings back to the previous one, with the reason shown in the
// settings, as is a hot key that stops working later.

#include <QObject>

namespace quibsum {

class HotKey;
class SumSettings;

class HotKeyBinding : public QObject {
    Q_OBJECT
public:
    HotKeyBinding(SumSettings& settings, HotKey& hotKey);
};

}  // namespace quibsum

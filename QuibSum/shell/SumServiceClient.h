#pragma once
// SumServiceClient: a `quibsum` command talking to the running application (SumService), and
// starting it when the command needs a window and none runs. Needs no display; never starts a
// bus.

#include <QDBusConnection>
#include <QString>
#include <QVariantList>
#include <chrono>
#include <optional>

namespace quibsum {

class SumServiceClient {
public:
    struct Reply {
        enum class Status {
            ok,
            noBus,       // the session has no bus
            noInstance,  // nothing serves this data folder's name
            failed,      // the instance answered with an error, or not in time
        };
        Status status = Status::noBus;
        QString value;      // the method's string result, when it has one
        QString errorName;  // for `failed`
        QString message;    // for `failed`: meant for a person
    };

    // How long a call waits for the instance. Appending a large text, or an instance busy
    // opening a large sheet, takes a while; a hung instance must not hold a command forever.
    static constexpr std::chrono::milliseconds defaultTimeout{10000};

    // Connects to the session bus, when there is one, for this process's data folder.
    SumServiceClient();
    SumServiceClient(std::optional<QDBusConnection> bus, QString serviceName);

    bool hasBus() const { return bus_.has_value(); }
    const QString& serviceName() const { return serviceName_; }

    // Calls `method` of the running instance with `arguments`.
    Reply call(const QString& method, const QVariantList& arguments = {},
               std::chrono::milliseconds timeout = defaultTimeout) const;
    // Waits until some process serves the name, or `timeout` passed.
    bool waitForInstance(std::chrono::milliseconds timeout) const;

    // Starts this program as the desktop application, detached, so it outlives the command.
    // Returns false (with `error` set) when it cannot be started.
    static bool startInstance(bool hidden, QString& error);
    // Whether a window can be opened here: a reachable X11 or Wayland display.
    static bool hasDisplay();

private:
    std::optional<QDBusConnection> bus_;
    QString serviceName_;
};

}  // namespace quibsum

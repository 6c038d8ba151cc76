#pragma once
// SumServiceClient: a `quibsum` command talking to the running application (SumService), and
// starting it when the command needs a window and none runs. Needs no display; never starts a
// bus. Every call, the connection to the bus included, ends within its time-out.

#include <QDBusConnection>
#include <QDeadlineTimer>
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
            failed,      // the instance answered with an error
            noAnswer,    // the bus or the instance did not answer within the time-out
        };
        Status status = Status::noBus;
        QString value;      // the method's string result, when it has one
        QString errorName;  // for `failed`
        QString message;    // for `failed`: meant for a person
    };

    // How long a call waits for an answer, connecting to the bus included. A window that
    // answers at all answers within milliseconds; one that does not is hung or stopped.
    static constexpr std::chrono::milliseconds answerTimeout{5000};
    // AppendText carries the text both ways and waits for it to be written: the usual time-out,
    // and one second more for every 1,048,576 characters of text.
    static std::chrono::milliseconds appendTimeout(qsizetype textLength);

    // This process's session bus, when there is one, connected at the first call, for this
    // process's data folder.
    SumServiceClient();
    SumServiceClient(std::optional<QDBusConnection> bus, QString serviceName);

    const QString& serviceName() const { return serviceName_; }

    // Calls `method` of the running instance with `arguments`.
    Reply call(const QString& method, const QVariantList& arguments = {},
               std::chrono::milliseconds timeout = answerTimeout) const;
    // Waits until some process serves the name, or `timeout` passed.
    bool waitForInstance(std::chrono::milliseconds timeout) const;

    // Whether a call of this process was given up while the bus library still held it. Its
    // thread may then never end, and QtDBus waits for it at exit: the process must end with
    // std::_Exit once it has said why.
    static bool callAbandoned();

    // Starts this program as the desktop application, detached, so it outlives the command,
    // and waits until it (or another instance) serves the name, or it ends, or `wait` passed.
    // Returns why it did not come up: its own error output when it ended without serving the
    // name. Its output after that is not the command's (the command may be piped into
    // something that waits for the end of the output).
    std::optional<QString> startInstance(bool hidden, std::chrono::milliseconds wait) const;
    // Whether a window can be opened here: a reachable X11 or Wayland display.
    static bool hasDisplay();

private:
    // Connects to the session bus the first time; false when it did not answer in time.
    bool connectBy(const QDeadlineTimer& deadline) const;
    // Whether some process serves the name; nothing when the bus did not answer in time.
    std::optional<bool> nameHasOwner(const QDeadlineTimer& deadline) const;

    mutable std::optional<QDBusConnection> bus_;
    mutable bool connected_ = false;  // bus_ is final: given, or the session's, or none
    QString serviceName_;
};

}  // namespace quibsum

#include "QuibSum/shell/SumServiceClient.h"

#include <QCoreApplication>
#include <QDBusMessage>
#include <QDeadlineTimer>
#include <QFileInfo>
#include <QProcess>
#include <QThread>
#include <algorithm>
#include <atomic>
#include <condition_variable>
#include <functional>
#include <limits>
#include <memory>
#include <mutex>
#include <thread>
#include <utility>

#include "QuibSum/cli/ProgramFiles.h"
#include "QuibSum/shell/SumBusAddress.h"

namespace quibsum {

namespace {

std::atomic<bool> abandoned{false};

// QtDBus's own time-out ends a call that the bus accepted; this much later, the call is given
// up on from outside.
constexpr std::chrono::milliseconds grace{1000};

// Runs `work` on a thread of its own and waits for its result until `limit` passed. libdbus
// has no time-out for the handshake of a new connection, nor QtDBus for the greeting that
// follows: a bus that accepts the connection and never answers would hold the caller forever.
// A thread given up on stays behind, blocked, and callAbandoned() says so. `work` owns all it
// uses: it may outlive the caller.
template <typename Result>
std::optional<Result> within(std::chrono::milliseconds limit, std::function<Result()> work) {
    struct Shared {
        std::mutex mutex;
        std::condition_variable ended;
        std::optional<Result> result;
    };
    auto shared = std::make_shared<Shared>();
    std::thread([shared, work = std::move(work)] {
        Result result = work();
        std::lock_guard lock(shared->mutex);
        shared->result = std::move(result);
        shared->ended.notify_all();
    }).detach();
    std::unique_lock lock(shared->mutex);
    if (shared->ended.wait_for(lock, limit, [&] { return shared->result.has_value(); }))
        return std::move(shared->result);
    abandoned = true;
    return std::nullopt;
}

std::chrono::milliseconds remaining(const QDeadlineTimer& deadline) {
    return std::chrono::milliseconds(std::max<qint64>(deadline.remainingTime(), 0));
}

// QtDBus takes its time-out in milliseconds, and takes none (its default) for 0 or less.
int milliseconds(const QDeadlineTimer& deadline) {
    return static_cast<int>(std::clamp<qint64>(deadline.remainingTime(), 1, std::numeric_limits<int>::max()));
}

bool isTimeout(const QString& errorName) {
    return errorName == QLatin1String("org.freedesktop.DBus.Error.NoReply") ||
           errorName == QLatin1String("org.freedesktop.DBus.Error.Timeout") ||
           errorName == QLatin1String("org.freedesktop.DBus.Error.TimedOut");
}

}  // namespace

std::chrono::milliseconds SumServiceClient::appendTimeout(qsizetype textLength) {
    constexpr qsizetype mebi = 1024 * 1024;
    return answerTimeout + std::chrono::seconds(std::max<qsizetype>(textLength, 0) / mebi);
}

SumServiceClient::SumServiceClient() : serviceName_(SumBusAddress::serviceName()) {}

SumServiceClient::SumServiceClient(std::optional<QDBusConnection> bus, QString serviceName)
    : bus_(std::move(bus)), connected_(true), serviceName_(std::move(serviceName)) {}

bool SumServiceClient::callAbandoned() { return abandoned; }

bool SumServiceClient::connectBy(const QDeadlineTimer& deadline) const {
    if (connected_) return true;
    std::optional<std::optional<QDBusConnection>> bus =
        within<std::optional<QDBusConnection>>(remaining(deadline), [] { return SumBusAddress::sessionBus(); });
    if (!bus) return false;
    bus_ = std::move(*bus);
    connected_ = true;
    return true;
}

SumServiceClient::Reply SumServiceClient::call(const QString& method, const QVariantList& arguments,
                                               std::chrono::milliseconds timeout) const {
    Reply reply;
    const QDeadlineTimer deadline(timeout);
    if (!connectBy(deadline)) {
        reply.status = Reply::Status::noAnswer;
        return reply;
    }
    if (!bus_) return reply;
    QDBusMessage request = QDBusMessage::createMethodCall(serviceName_, QString::fromLatin1(SumBusAddress::objectPath),
                                                          QString::fromLatin1(SumBusAddress::interfaceName), method);
    request.setArguments(arguments);
    // No auto-start: nothing is installed to be activated, and a command decides itself
    // whether starting the application is wanted.
    request.setAutoStartService(false);
    const std::optional<QDBusMessage> answer = within<QDBusMessage>(
        remaining(deadline) + grace,
        [bus = *bus_, request, deadline] { return bus.call(request, QDBus::Block, milliseconds(deadline)); });
    if (!answer) {
        reply.status = Reply::Status::noAnswer;
        return reply;
    }
    if (answer->type() == QDBusMessage::ReplyMessage) {
        reply.status = Reply::Status::ok;
        if (!answer->arguments().isEmpty()) reply.value = answer->arguments().constFirst().toString();
        return reply;
    }
    reply.errorName = answer->errorName();
    reply.message = answer->errorMessage();
    if (reply.errorName == QLatin1String("org.freedesktop.DBus.Error.ServiceUnknown") ||
        reply.errorName == QLatin1String("org.freedesktop.DBus.Error.NameHasNoOwner"))
        reply.status = Reply::Status::noInstance;
    else if (isTimeout(reply.errorName))
        reply.status = Reply::Status::noAnswer;
    else
        reply.status = Reply::Status::failed;
    return reply;
}

bool SumServiceClient::waitForInstance(std::chrono::milliseconds timeout) const {
    const QDeadlineTimer deadline(timeout);
    if (!connectBy(deadline) || !bus_) return false;
    QDBusMessage request =
        QDBusMessage::createMethodCall(QStringLiteral("org.freedesktop.DBus"), QStringLiteral("/org/freedesktop/DBus"),
                                       QStringLiteral("org.freedesktop.DBus"), QStringLiteral("NameHasOwner"));
    request.setArguments({serviceName_});
    for (;;) {
        const std::optional<QDBusMessage> answer = within<QDBusMessage>(
            remaining(deadline) + grace,
            [bus = *bus_, request, deadline] { return bus.call(request, QDBus::Block, milliseconds(deadline)); });
        if (!answer) return false;
        if (answer->type() == QDBusMessage::ReplyMessage && !answer->arguments().isEmpty() &&
            answer->arguments().constFirst().toBool())
            return true;
        if (deadline.hasExpired()) return false;
        QThread::msleep(20);
    }
}

bool SumServiceClient::startInstance(bool hidden, QString& error) {
    QStringList arguments;
    if (hidden) arguments << QStringLiteral("--hidden");
    QProcess process;
    // The program people run, so that the instance looks like one they started; a test
    // program that is none of Quib Sum's starts itself.
    const std::filesystem::path program = ProgramFiles::publicProgram();
    process.setProgram(program.empty() ? QCoreApplication::applicationFilePath()
                                       : QString::fromStdString(program.string()));
    process.setArguments(arguments);
    // Its own output is not the command's: the command may be piped into something that
    // waits for the end of the output.
    process.setStandardOutputFile(QProcess::nullDevice());
    process.setStandardErrorFile(QProcess::nullDevice());
    process.setStandardInputFile(QProcess::nullDevice());
    if (process.startDetached()) return true;
    error = process.errorString();
    return false;
}

bool SumServiceClient::hasDisplay() {
    const QString runtime = qEnvironmentVariable("XDG_RUNTIME_DIR");
    if (const QString wayland = qEnvironmentVariable("WAYLAND_DISPLAY"); !wayland.isEmpty()) {
        const QString socket = wayland.startsWith(u'/') ? wayland : runtime + u'/' + wayland;
        if (QFileInfo::exists(socket)) return true;
    }
    const QString display = qEnvironmentVariable("DISPLAY");
    if (display.isEmpty()) return false;
    // ":N" and ":N.S" are a local socket; anything else (a host, a path) is trusted as set.
    if (!display.startsWith(u':')) return true;
    const QString number = display.mid(1).section(u'.', 0, 0);
    return QFileInfo::exists(QStringLiteral("/tmp/.X11-unix/X") + number);
}

}  // namespace quibsum

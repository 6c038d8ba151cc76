#include "QuibSum/bus/SumServiceClient.h"

#include <fcntl.h>
#include <poll.h>
#include <sys/wait.h>
#include <unistd.h>
#include <QCoreApplication>
#include <QDBusMessage>
#include <QDeadlineTimer>
#include <QFile>
#include <QFileInfo>
#include <QThread>

#include <algorithm>
#include <atomic>
#include <cerrno>
#include <condition_variable>
#include <cstring>
#include <functional>
#include <limits>
#include <memory>
#include <mutex>
#include <string>
#include <thread>
#include <utility>
#include <vector>

#include "QuibSum/bus/SumBusAddress.h"
#include "QuibSum/common/ProgramFiles.h"

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

// A program started detached (in a session of its own, not this process's child), whose
// error output comes here through a pipe until this process stops reading. Its standard input
// and output are /dev/null.
struct StartedProgram {
    QByteArray output;   // the first of its error output
    QString error;       // why it could not be started
    bool ended = false;  // its error output has ended: it has, or is about to
    int errors = -1;

    // Only async-signal-safe calls between fork and exec: this process may have threads.
    static StartedProgram start(const std::vector<char*>& argv, const QByteArray& cannotRun) {
        StartedProgram started;
        int pipe[2];
        const int null = ::open("/dev/null", O_RDWR | O_CLOEXEC);
        if (null < 0 || ::pipe2(pipe, O_CLOEXEC) != 0) {
            started.error = QString::fromLocal8Bit(std::strerror(errno));
            if (null >= 0) ::close(null);
            return started;
        }
        const pid_t child = ::fork();
        if (child == 0) {
            ::setsid();
            if (::fork() != 0) ::_exit(0);  // the program is nobody's child: nothing to reap
            ::dup2(null, STDIN_FILENO);
            ::dup2(null, STDOUT_FILENO);
            ::dup2(pipe[1], STDERR_FILENO);
            ::execv(argv[0], argv.data());
            [[maybe_unused]] const ssize_t written = ::write(STDERR_FILENO, cannotRun.constData(), cannotRun.size());
            ::_exit(127);
        }
        ::close(pipe[1]);
        ::close(null);
        if (child < 0) {
            started.error = QString::fromLocal8Bit(std::strerror(errno));
            ::close(pipe[0]);
            return started;
        }
        int status = 0;
        while (::waitpid(child, &status, 0) < 0 && errno == EINTR) {
        }
        started.errors = pipe[0];
        return started;
    }

    StartedProgram() = default;
    StartedProgram(StartedProgram&& other) noexcept
        : output(std::move(other.output)),
          error(std::move(other.error)),
          ended(other.ended),
          errors(std::exchange(other.errors, -1)) {}
    StartedProgram& operator=(StartedProgram&&) = delete;
    // Once this process stops reading, the program's writes there fail (it ignores SIGPIPE).
    ~StartedProgram() {
        if (errors >= 0) ::close(errors);
    }

    // Reads what it wrote, waiting at most `limit` for something to come.
    void readFor(std::chrono::milliseconds limit) {
        if (ended) return;
        pollfd ready{errors, POLLIN, 0};
        if (::poll(&ready, 1, static_cast<int>(limit.count())) <= 0) return;
        char buffer[4096];
        const ssize_t got = ::read(errors, buffer, sizeof buffer);
        if (got == 0) ended = true;
        // Enough to say why; the rest is read and dropped, so that it never blocks.
        if (got > 0 && output.size() < 16384) output.append(buffer, std::min<qsizetype>(got, 16384 - output.size()));
    }
};

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

std::optional<bool> SumServiceClient::nameHasOwner(const QDeadlineTimer& deadline) const {
    if (!connectBy(deadline) || !bus_) return std::nullopt;
    QDBusMessage request =
        QDBusMessage::createMethodCall(QStringLiteral("org.freedesktop.DBus"), QStringLiteral("/org/freedesktop/DBus"),
                                       QStringLiteral("org.freedesktop.DBus"), QStringLiteral("NameHasOwner"));
    request.setArguments({serviceName_});
    const std::optional<QDBusMessage> answer = within<QDBusMessage>(
        remaining(deadline) + grace,
        [bus = *bus_, request, deadline] { return bus.call(request, QDBus::Block, milliseconds(deadline)); });
    if (!answer || answer->type() != QDBusMessage::ReplyMessage || answer->arguments().isEmpty()) return std::nullopt;
    return answer->arguments().constFirst().toBool();
}

bool SumServiceClient::waitForInstance(std::chrono::milliseconds timeout) const {
    const QDeadlineTimer deadline(timeout);
    for (;;) {
        const std::optional<bool> owned = nameHasOwner(deadline);
        if (!owned) return false;
        if (*owned) return true;
        if (deadline.hasExpired()) return false;
        QThread::msleep(20);
    }
}

std::optional<QString> SumServiceClient::startInstance(bool hidden, std::chrono::milliseconds wait) const {
    // The program people run, so that the instance looks like one they started; a test
    // program that is none of Quib Sum's starts itself.
    const std::filesystem::path publicProgram = ProgramFiles::publicProgram();
    QByteArray program = publicProgram.empty() ? QFile::encodeName(QCoreApplication::applicationFilePath())
                                               : QByteArray(publicProgram.c_str());
    QByteArray hiddenOption("--hidden");
    std::vector<char*> argv{program.data()};
    if (hidden) argv.push_back(hiddenOption.data());
    argv.push_back(nullptr);
    const QByteArray cannotRun = "cannot run " + program + '\n';

    StartedProgram started = StartedProgram::start(argv, cannotRun);
    if (!started.error.isEmpty()) return started.error;

    // Its name is the sign that it runs; the end of its error output, that it has ended.
    const QDeadlineTimer deadline(wait);
    for (;;) {
        const std::optional<bool> owned = nameHasOwner(deadline);
        if (owned.value_or(false)) return std::nullopt;
        if (started.ended) break;
        if (deadline.hasExpired())
            return QStringLiteral("it did not come up within %1 seconds")
                .arg(std::chrono::duration_cast<std::chrono::seconds>(wait).count());
        started.readFor(std::chrono::milliseconds(20));
    }
    const QString said = QString::fromLocal8Bit(started.output).trimmed();
    return said.isEmpty() ? QStringLiteral("it ended at start without saying why") : said;
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

#include "QuibSum/shell/SumServiceClient.h"

#include <QCoreApplication>
#include <QDBusConnectionInterface>
#include <QDBusMessage>
#include <QDBusReply>
#include <QDeadlineTimer>
#include <QFileInfo>
#include <QProcess>
#include <QThread>
#include <utility>

#include "QuibSum/cli/ProgramFiles.h"
#include "QuibSum/shell/SumBusAddress.h"

namespace quibsum {

SumServiceClient::SumServiceClient() : SumServiceClient(SumBusAddress::sessionBus(), SumBusAddress::serviceName()) {}

SumServiceClient::SumServiceClient(std::optional<QDBusConnection> bus, QString serviceName)
    : bus_(std::move(bus)), serviceName_(std::move(serviceName)) {}

SumServiceClient::Reply SumServiceClient::call(const QString& method, const QVariantList& arguments,
                                               std::chrono::milliseconds timeout) const {
    Reply reply;
    if (!bus_) return reply;
    QDBusMessage request = QDBusMessage::createMethodCall(serviceName_, QString::fromLatin1(SumBusAddress::objectPath),
                                                          QString::fromLatin1(SumBusAddress::interfaceName), method);
    request.setArguments(arguments);
    // No auto-start: nothing is installed to be activated, and a command decides itself
    // whether starting the application is wanted.
    request.setAutoStartService(false);
    const QDBusMessage answer = bus_->call(request, QDBus::Block, static_cast<int>(timeout.count()));
    if (answer.type() == QDBusMessage::ReplyMessage) {
        reply.status = Reply::Status::ok;
        if (!answer.arguments().isEmpty()) reply.value = answer.arguments().constFirst().toString();
        return reply;
    }
    reply.errorName = answer.errorName();
    reply.message = answer.errorMessage();
    reply.status = reply.errorName == QLatin1String("org.freedesktop.DBus.Error.ServiceUnknown") ||
                           reply.errorName == QLatin1String("org.freedesktop.DBus.Error.NameHasNoOwner")
                       ? Reply::Status::noInstance
                       : Reply::Status::failed;
    return reply;
}

bool SumServiceClient::waitForInstance(std::chrono::milliseconds timeout) const {
    if (!bus_) return false;
    QDeadlineTimer deadline(timeout);
    for (;;) {
        const QDBusReply<bool> owned = bus_->interface()->isServiceRegistered(serviceName_);
        if (owned.isValid() && owned.value()) return true;
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

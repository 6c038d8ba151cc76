#include "QuibSum/bus/SumService.h"

#include <dlfcn.h>

#include <QDBusConnectionInterface>
#include <QDBusMessage>
#include <QDBusReply>
#include <QTimer>
#include <exception>
#include <utility>

#include "QuibSum/bus/SumBusAddress.h"

namespace quibsum {

namespace {

// libdbus stops reading a connection while its unprocessed messages pass 63 MiB, and resumes
// from the thread that frees them: here the main thread, from which QtDBus cannot turn its
// socket watch back on. One large AppendText would leave the instance deaf for good. Raised
// beyond the protocol's largest message (128 MiB), no single caller can get there. QtDBus
// links libdbus but does not expose the setting; when the symbol is missing, nothing changes.
void raiseReceiveLimit(const QDBusConnection& bus) {
    using SetMaxReceivedSize = void (*)(void* connection, long size);
    static const auto set =
        reinterpret_cast<SetMaxReceivedSize>(dlsym(RTLD_DEFAULT, "dbus_connection_set_max_received_size"));
    if (set && bus.internalPointer()) set(bus.internalPointer(), 1024L * 1024 * 1024);
}

QString starting() { return SumService::tr("Quib Sum is still starting; try again in a moment."); }

}  // namespace

SumService::SumService(QObject* parent) : QObject(parent) {}

SumService::~SumService() { unregister(); }

SumService::Registration SumService::registerOn(QDBusConnection bus, const QString& serviceName) {
    unregister();
    registrationError_.clear();
    // The object first: a caller that sees the name must find the object behind it.
    if (!bus.registerObject(QString::fromLatin1(SumBusAddress::objectPath), this, QDBusConnection::ExportAllSlots)) {
        registrationError_ = tr("the object path %1 is taken").arg(QString::fromLatin1(SumBusAddress::objectPath));
        return Registration::failed;
    }
    // Queueing would make this process wait to serve sheets another one is serving, and
    // replacement would let two processes write them: neither.
    const QDBusReply<QDBusConnectionInterface::RegisterServiceReply> reply = bus.interface()->registerService(
        serviceName, QDBusConnectionInterface::DontQueueService, QDBusConnectionInterface::DontAllowReplacement);
    if (reply.isValid() && reply.value() == QDBusConnectionInterface::ServiceRegistered) {
        raiseReceiveLimit(bus);
        bus_ = bus;
        serviceName_ = serviceName;
        return Registration::registered;
    }
    bus.unregisterObject(QString::fromLatin1(SumBusAddress::objectPath));
    if (reply.isValid()) return Registration::nameTaken;
    registrationError_ = reply.error().message();
    return Registration::failed;
}

void SumService::unregister() {
    if (serviceName_.isEmpty()) return;
    bus_.unregisterService(serviceName_);
    bus_.unregisterObject(QString::fromLatin1(SumBusAddress::objectPath));
    serviceName_.clear();
}

void SumService::fail(const char* name, const QString& message) {
    if (calledFromDBus())
        sendErrorReply(QString::fromLatin1(name), message);
    else
        qWarning("%s: %s", name, qUtf8Printable(message));
}

void SumService::Show() {
    if (!hooks_.show) return fail(SumBusAddress::unavailableError, starting());
    hooks_.show();
}

void SumService::Hide() {
    if (!hooks_.hide) return fail(SumBusAddress::unavailableError, starting());
    hooks_.hide();
}

void SumService::Toggle() {
    if (!hooks_.toggle) return fail(SumBusAddress::unavailableError, starting());
    hooks_.toggle();
}

void SumService::takeActivationToken(const QVariantMap& platformData) {
    const QVariant token = platformData.value(QStringLiteral("activation-token"));
    if (hooks_.useActivationToken && token.metaType() == QMetaType::fromType<QString>() && !token.toString().isEmpty())
        hooks_.useActivationToken(token.toString());
}

void SumService::ShowWith(const QVariantMap& platformData) {
    takeActivationToken(platformData);
    Show();
}

void SumService::ToggleWith(const QVariantMap& platformData) {
    takeActivationToken(platformData);
    Toggle();
}

QString SumService::AppendText(const QString& text) {
    if (!hooks_.appendText) {
        fail(SumBusAddress::unavailableError, starting());
        return {};
    }
    if (text.isEmpty()) {
        fail(SumBusAddress::invalidArgsError, tr("There is no text to append."));
        return {};
    }
    // UTF-8 takes at most three bytes per UTF-16 unit: most texts need no counting.
    if (text.size() > maxTextBytes / 3 && text.toUtf8().size() > maxTextBytes) {
        fail(SumBusAddress::invalidArgsError, tr("The text is larger than the 64 MiB a sheet can hold."));
        return {};
    }
    try {
        return hooks_.appendText(text);
    } catch (const std::exception& e) {
        fail(SumBusAddress::storageError, QString::fromUtf8(e.what()));
        return {};
    }
}

QString SumService::AppendTextBefore(const QString& text, qlonglong deadline) {
    // A call that waited here (a stopped or busy window) past the time its caller gave up has
    // already been reported as failed; adding the text now would surprise a script that
    // retries, with the line twice.
    if (clock_->millisecondsSinceEpoch() > deadline) {
        fail(SumBusAddress::expiredError, tr("The text arrived after its sender stopped waiting; it was not added."));
        return {};
    }
    return AppendText(text);
}

QString SumService::AppendSelectionWith(const QVariantMap& platformData) {
    if (!hooks_.readSelection || !hooks_.appendText) {
        fail(SumBusAddress::unavailableError, starting());
        return {};
    }
    takeActivationToken(platformData);
    if (!calledFromDBus()) return {};
    // The answer waits for the window to get the keyboard, without holding anything else up.
    setDelayedReply(true);
    hooks_.readSelection([this, request = message(), bus = connection()](const QString& text) {
        auto error = [&](const char* name, const QString& message) {
            bus.send(request.createErrorReply(QString::fromLatin1(name), message));
        };
        if (!hooks_.appendText) return error(SumBusAddress::unavailableError, starting());
        if (text.isEmpty()) return error(SumBusAddress::noSelectionError, tr("No text is selected or copied."));
        if (text.size() > maxTextBytes / 3 && text.toUtf8().size() > maxTextBytes)
            return error(SumBusAddress::invalidArgsError,
                         tr("The selection is larger than the 64 MiB a sheet can hold."));
        try {
            bus.send(request.createReply(hooks_.appendText(text)));
        } catch (const std::exception& e) {
            error(SumBusAddress::storageError, QString::fromUtf8(e.what()));
        }
    });
    return {};
}

QString SumService::Calculate(const QString& expression) {
    if (!hooks_.calculate) {
        fail(SumBusAddress::unavailableError, starting());
        return {};
    }
    if (expression.size() > maxExpressionLength) {
        fail(SumBusAddress::invalidArgsError,
             tr("The expression is longer than %1 characters.").arg(maxExpressionLength));
        return {};
    }
    if (hooks_.prepareCalculation) hooks_.prepareCalculation();

    // The answer waits for the refresh's head start on a timer, not in a nested loop: the
    // window and other callers are served meanwhile.
    auto answer = [this, expression = expression.toStdString()](const QDBusMessage& request, QDBusConnection bus) {
        if (!hooks_.calculate) {
            bus.send(request.createErrorReply(QString::fromLatin1(SumBusAddress::unavailableError), starting()));
            return;
        }
        auto outcome = hooks_.calculate(expression);
        if (const auto* display = std::get_if<std::string>(&outcome)) {
            bus.send(request.createReply(QString::fromStdString(*display)));
            return;
        }
        const auto& failure = std::get<QuickCalculator::Failure>(outcome);
        const char* name = failure.kind == QuickCalculator::Failure::Kind::engine ? SumBusAddress::engineError
                                                                                  : SumBusAddress::notExpressionError;
        bus.send(request.createErrorReply(QString::fromLatin1(name), QString::fromStdString(failure.description())));
    };
    if (!calledFromDBus()) return {};
    setDelayedReply(true);
    QTimer::singleShot(calculationDelay_, this,
                       [answer, request = message(), bus = connection()] { answer(request, bus); });
    return {};
}

}  // namespace quibsum

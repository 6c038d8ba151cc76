#include "QuibSum/shell/SingleInstance.h"

#include <QDBusConnection>
#include <cstdio>

#include "QuibSum/bus/SumBusAddress.h"
#include "QuibSum/bus/SumService.h"
#include "QuibSum/bus/SumServiceClient.h"

namespace quibsum {

std::optional<int> claimSingleInstance(SumService& service, bool hidden) {
    const std::optional<QDBusConnection> bus = SumBusAddress::sessionBus();
    if (!bus) {
        std::fputs(
            "quibsum: warning: no D-Bus session bus; running without the check for another Quib Sum, "
            "and 'quibsum show', 'toggle' and 'append' cannot reach this window\n",
            stderr);
        return std::nullopt;
    }
    const QString name = SumBusAddress::serviceName();
    // A start that races another one may find the name taken and then, a moment later,
    // released by a start-up that failed: claim again rather than leave nothing running.
    for (int attempt = 0; attempt < 3; ++attempt) {
        switch (service.registerOn(*bus, name)) {
            case SumService::Registration::registered:
                return std::nullopt;
            case SumService::Registration::failed:
                std::fprintf(stderr, "quibsum: warning: cannot claim %s on the session bus (%s); running without it\n",
                             qUtf8Printable(name), qUtf8Printable(service.registrationError()));
                return std::nullopt;
            case SumService::Registration::nameTaken:
                break;
        }
        if (hidden) return 0;
        const SumServiceClient::Reply reply = SumServiceClient(bus, name).call(QStringLiteral("Show"));
        if (reply.status == SumServiceClient::Reply::Status::ok) return 0;
        if (reply.status == SumServiceClient::Reply::Status::failed) {
            std::fprintf(stderr, "quibsum: another Quib Sum is running but did not show its window: %s\n",
                         qUtf8Printable(reply.message));
            return 1;
        }
    }
    std::fputs("quibsum: another Quib Sum is starting and ending again; try once more\n", stderr);
    return 1;
}

}  // namespace quibsum

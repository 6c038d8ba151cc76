// Times the desktop's search against the running application over the session bus, calling
// exactly as GNOME Shell (GetInitialResultSet) and KRunner (Match) call: a currency conversion
// and a plain sum, RUNS calls each (default 200), median and 95th percentile. With --once,
// one call of each, for a cold start by D-Bus activation (bench/search_time.sh drives both).

#include <QCoreApplication>
#include <QDBusConnection>
#include <QDBusMessage>
#include <QElapsedTimer>
#include <algorithm>
#include <cstdio>
#include <cstring>
#include <vector>

namespace {

const QString service = QStringLiteral("org.quibsum.QuibSum");

QDBusMessage gnomeCall(const QString& query) {
    QDBusMessage call = QDBusMessage::createMethodCall(service, QStringLiteral("/org/quibsum/QuibSum/SearchProvider"),
                                                       QStringLiteral("org.gnome.Shell.SearchProvider2"),
                                                       QStringLiteral("GetInitialResultSet"));
    call << query.split(u' ');
    return call;
}

QDBusMessage krunnerCall(const QString& query) {
    QDBusMessage call = QDBusMessage::createMethodCall(service, QStringLiteral("/org/quibsum/QuibSum/KRunner"),
                                                       QStringLiteral("org.kde.krunner1"), QStringLiteral("Match"));
    call << query;
    return call;
}

// Milliseconds per call; a call without a result counts as a failure.
std::vector<double> time(const QDBusMessage& call, int runs, int& failures) {
    std::vector<double> times;
    for (int i = 0; i < runs; ++i) {
        QElapsedTimer timer;
        timer.start();
        const QDBusMessage reply = QDBusConnection::sessionBus().call(call, QDBus::Block, 30000);
        times.push_back(double(timer.nsecsElapsed()) / 1e6);
        const QVariant first = reply.arguments().value(0);
        if (reply.type() != QDBusMessage::ReplyMessage ||
            (first.canConvert<QStringList>() && first.toStringList().isEmpty() && !first.isNull()))
            ++failures;
    }
    std::sort(times.begin(), times.end());
    return times;
}

}  // namespace

int main(int argc, char** argv) {
    QCoreApplication app(argc, argv);
    const bool once = argc > 1 && std::strcmp(argv[1], "--once") == 0;
    const int runs = once ? 1 : qEnvironmentVariableIntValue("RUNS") > 0 ? qEnvironmentVariableIntValue("RUNS") : 200;
    const struct {
        const char* name;
        QDBusMessage call;
    } cases[] = {
        {"GetInitialResultSet 100 USD to VND", gnomeCall(QStringLiteral("100 USD to VND"))},
        {"GetInitialResultSet 1200 + 345 * 2", gnomeCall(QStringLiteral("1200 + 345 * 2"))},
        {"Match 100 USD to VND", krunnerCall(QStringLiteral("100 USD to VND"))},
        {"Match 1200 + 345 * 2", krunnerCall(QStringLiteral("1200 + 345 * 2"))},
    };
    int failures = 0;
    for (const auto& c : cases) {
        const std::vector<double> times = time(c.call, runs, failures);
        if (once)
            std::printf("%-36s %8.2f ms\n", c.name, times.front());
        else
            std::printf("%-36s median %6.2f ms   p95 %6.2f ms   (%d calls)\n", c.name, times[times.size() / 2],
                        times[times.size() * 95 / 100], runs);
    }
    if (failures) std::fprintf(stderr, "%d calls gave no result\n", failures);
    return failures ? 1 : 0;
}

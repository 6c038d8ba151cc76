// SumService on a private bus with fake hooks, called as other programs call it: through the
// bus, from another connection, with SumServiceClient.

#include <gtest/gtest.h>

#include <QCoreApplication>
#include <QDBusConnection>
#include <QDBusConnectionInterface>
#include <QDBusMessage>
#include <QDBusPendingCall>
#include <QDBusReply>
#include <QDeadlineTimer>
#include <QEventLoop>
#include <QProcess>
#include <QThread>
#include <QTimer>
#include <chrono>
#include <mutex>
#include <stdexcept>
#include <string>
#include <vector>

#include "../../support/TestRates.h"
#include "PrivateBus.h"
#include "QuibSum/bus/SumBusAddress.h"
#include "QuibSum/bus/SumService.h"
#include "QuibSum/bus/SumServiceClient.h"
#include "QuibSum/common/QuickCalculator.h"
#include "QuibSum/storage/StorageError.h"
#include "tests/support/ManualClock.h"

namespace quibsum {
namespace {

using namespace std::chrono_literals;
using Status = SumServiceClient::Reply::Status;

const QString name = QStringLiteral("org.quibsum.QuibSum.Test");

QDBusConnection connectNew() {
    static int count = 0;
    return QDBusConnection::connectToBus(testing::PrivateBus::instance()->address(),
                                         QStringLiteral("test-%1").arg(++count));
}

// What the hooks were asked to do; they run on the service's thread.
struct Record {
    std::mutex mutex;
    std::vector<std::string> calls;
    std::vector<QString> appended;
    int prepared = 0;

    void add(std::string call) {
        std::lock_guard lock(mutex);
        calls.push_back(std::move(call));
    }
};

class ServiceTest : public ::testing::Test {
protected:
    void SetUp() override {
        if (!testing::PrivateBus::instance() || !testing::PrivateBus::instance()->isRunning())
            GTEST_SKIP() << "dbus-daemon is not installed";
        serviceBus = connectNew();
        clientBus = connectNew();
        ASSERT_TRUE(serviceBus.isConnected() && clientBus.isConnected());
    }

    void TearDown() override {
        if (service) {
            QMetaObject::invokeMethod(
                service, [this] { delete service; }, Qt::BlockingQueuedConnection);
            thread.quit();
            thread.wait();
        }
        QDBusConnection::disconnectFromBus(serviceBus.name());
        QDBusConnection::disconnectFromBus(clientBus.name());
    }

    SumService::Hooks fakeHooks() {
        SumService::Hooks hooks;
        hooks.show = [this] { record.add("show"); };
        hooks.hide = [this] { record.add("hide"); };
        hooks.toggle = [this] { record.add("toggle"); };
        hooks.appendText = [this](const QString& text) {
            std::lock_guard lock(record.mutex);
            record.appended.push_back(text);
            return QStringLiteral("1+1\n") + text;
        };
        hooks.prepareCalculation = [this] {
            std::lock_guard lock(record.mutex);
            ++record.prepared;
        };
        hooks.calculate = [rates = testing::testRates()](const std::string& expression) {
            return QuickCalculator::evaluate(expression, rates, NumberStyle::en, RateKind::transfer);
        };
        return hooks;
    }

    // Serves `hooks` from a thread of its own, so that this thread may block in its calls.
    void serve(SumService::Hooks hooks, std::chrono::milliseconds delay = 0ms) {
        service = new SumService;
        service->setHooks(std::move(hooks));
        service->setCalculationDelay(delay);
        service->setClock(clock);
        service->moveToThread(&thread);
        thread.start();
        ASSERT_EQ(service->registerOn(serviceBus, name), SumService::Registration::registered);
    }

    SumServiceClient::Reply call(const QString& method, const QVariantList& arguments = {}) {
        return SumServiceClient(clientBus, name).call(method, arguments);
    }

    QDBusConnection serviceBus{QString()};
    QDBusConnection clientBus{QString()};
    QThread thread;
    testing::ManualClock clock;  // the instance's wall clock
    SumService* service = nullptr;
    Record record;
};

TEST_F(ServiceTest, WindowMethodsReachTheirHooks) {
    serve(fakeHooks());
    const std::vector<std::pair<QString, std::string>> cases = {
        {QStringLiteral("Show"), "show"}, {QStringLiteral("Hide"), "hide"}, {QStringLiteral("Toggle"), "toggle"}};
    std::vector<std::string> expected;
    for (const auto& [method, hook] : cases) {
        const auto reply = call(method);
        EXPECT_EQ(reply.status, Status::ok) << method.toStdString() << ": " << reply.message.toStdString();
        expected.push_back(hook);
    }
    EXPECT_EQ(record.calls, expected);
}

TEST_F(ServiceTest, AppendTextHandsOverTheTextAndAnswersTheWholeSheet) {
    serve(fakeHooks());
    // Whatever valid text crosses the bus arrives unchanged: line ends are the store's to
    // normalise, and replacement characters, noncharacters and astral letters are text.
    const std::vector<QString> cases = {
        QStringLiteral("2+2"),
        QStringLiteral("a\r\nb\n"),
        QStringLiteral("100 đô sang VND"),
        QStringLiteral("1\uFFFD2 \uFFFF \U0001F600"),
        QString(100000, u'9'),
    };
    for (const QString& text : cases) {
        const auto reply = call(QStringLiteral("AppendText"), {text});
        ASSERT_EQ(reply.status, Status::ok) << reply.message.toStdString();
        EXPECT_EQ(reply.value, QStringLiteral("1+1\n") + text);
    }
    EXPECT_EQ(record.appended, cases);
}

// The window reads the selection once it has the keyboard, later than the call arrives: the
// answer waits for it, and the caller's token is in place before the window is shown.
TEST_F(ServiceTest, AppendSelectionAnswersWhenTheWindowHasReadTheSelection) {
    SumService::Hooks hooks = fakeHooks();
    QString selection;
    hooks.useActivationToken = [this](const QString& token) { record.add("token " + token.toStdString()); };
    hooks.readSelection = [&](std::function<void(const QString&)> done) {
        record.add("read");
        QTimer::singleShot(20ms, [done = std::move(done), text = selection] { done(text); });
    };
    serve(std::move(hooks));
    QVariantMap platformData{{QStringLiteral("activation-token"), QStringLiteral("t-1")}};

    selection = QStringLiteral("2+2");
    auto reply = call(QStringLiteral("AppendSelectionWith"), {platformData});
    ASSERT_EQ(reply.status, Status::ok) << reply.message.toStdString();
    EXPECT_EQ(reply.value, QStringLiteral("1+1\n2+2"));

    selection.clear();
    reply = call(QStringLiteral("AppendSelectionWith"), {QVariantMap{}});
    EXPECT_EQ(reply.status, Status::failed);
    EXPECT_EQ(reply.errorName, QLatin1String(SumBusAddress::noSelectionError));
    EXPECT_EQ(reply.message, QStringLiteral("No text is selected or copied."));

    EXPECT_EQ(record.calls, (std::vector<std::string>{"token t-1", "read", "read"}));
    EXPECT_EQ(record.appended, std::vector<QString>{QStringLiteral("2+2")});
}

TEST_F(ServiceTest, AppendTextRefusesWhatNoSheetCanHoldAndKeepsServing) {
    serve(fakeHooks());
    const qsizetype limit = SumService::maxTextBytes;
    // Over the bus, the largest refusal a caller can cause: a sheet's limit and one byte.
    const std::vector<std::pair<const char*, QString>> cases = {
        {"empty", QString()},
        {"one byte over the limit", QString(limit + 1, u'1')},
    };
    for (const auto& [what, text] : cases) {
        const auto reply = SumServiceClient(clientBus, name).call(QStringLiteral("AppendText"), {text}, 120s);
        EXPECT_EQ(reply.status, Status::failed) << what;
        EXPECT_EQ(reply.errorName, QLatin1String(SumBusAddress::invalidArgsError)) << what;
        EXPECT_FALSE(reply.message.isEmpty()) << what;
    }
    EXPECT_TRUE(record.appended.empty());
    // Another caller is served as before. (A fresh connection: QtDBus leaves the one that sent
    // the huge message from a blocking call unable to send again; a command sends once.)
    QDBusConnection other = connectNew();
    EXPECT_EQ(SumServiceClient(other, name).call(QStringLiteral("AppendText"), {QStringLiteral("3")}).status,
              Status::ok);
    QDBusConnection::disconnectFromBus(other.name());
}

TEST(SumServiceLimits, TheLimitIsASheetsSizeInUtf8Bytes) {
    const qsizetype limit = SumService::maxTextBytes;
    struct Case {
        const char* what;
        QString text;
        bool taken;
    };
    const QChar threeBytes(0x1EC7);  // "ệ"
    const std::vector<Case> cases = {
        {"ASCII at the limit", QString(limit, u'1'), true},
        {"ASCII over it", QString(limit + 1, u'1'), false},
        {"three-byte letters at the limit", QString(limit / 3, threeBytes), true},
        {"three-byte letters over it", QString(limit / 3 + 1, threeBytes), false},
    };
    for (const Case& c : cases) {
        bool called = false;
        SumService service;
        SumService::Hooks hooks;
        hooks.appendText = [&called](const QString& text) {
            called = true;
            return text;
        };
        service.setHooks(std::move(hooks));
        service.AppendText(c.text);
        EXPECT_EQ(called, c.taken) << c.what;
    }
}

TEST_F(ServiceTest, AnAppendHandledAfterItsDeadlineAddsNothing) {
    // The instance's wall clock, stopped at a known instant.
    constexpr qint64 now = 1'700'000'000'000;
    clock.set(std::chrono::system_clock::time_point(std::chrono::milliseconds(now)));
    serve(fakeHooks());
    struct Case {
        const char* what;
        qlonglong deadline;
        bool added;
    };
    const std::vector<Case> cases = {
        {"deadline ahead", now + 5000, true},
        {"deadline this very millisecond", now, true},
        {"deadline a millisecond ago", now - 1, false},
        {"deadline long gone", 0, false},
    };
    std::vector<QString> expected;
    for (const Case& c : cases) {
        const QString text = QString::fromLatin1(c.what);
        const auto reply = call(QStringLiteral("AppendTextBefore"), {text, QVariant::fromValue(c.deadline)});
        if (c.added) {
            EXPECT_EQ(reply.status, Status::ok) << c.what << ": " << reply.message.toStdString();
            EXPECT_EQ(reply.value, QStringLiteral("1+1\n") + text) << c.what;
            expected.push_back(text);
        } else {
            EXPECT_EQ(reply.status, Status::failed) << c.what;
            EXPECT_EQ(reply.errorName, QLatin1String(SumBusAddress::expiredError)) << c.what;
            EXPECT_FALSE(reply.message.isEmpty()) << c.what;
        }
    }
    // Callers from before deadlines are served as they were.
    EXPECT_EQ(call(QStringLiteral("AppendText"), {QStringLiteral("old")}).status, Status::ok);
    expected.push_back(QStringLiteral("old"));
    EXPECT_EQ(record.appended, expected);
}

TEST_F(ServiceTest, AFailedAppendAnswersWithTheStoresReason) {
    SumService::Hooks hooks = fakeHooks();
    hooks.appendText = [](const QString&) -> QString {
        throw StorageError(StorageError::Kind::file, QStringLiteral("Cannot write /sheets/quick.txt: disk full"));
    };
    serve(std::move(hooks));
    const auto reply = call(QStringLiteral("AppendText"), {QStringLiteral("2+2")});
    EXPECT_EQ(reply.status, Status::failed);
    EXPECT_EQ(reply.errorName, QLatin1String(SumBusAddress::storageError));
    EXPECT_EQ(reply.message, QStringLiteral("Cannot write /sheets/quick.txt: disk full"));
}

TEST_F(ServiceTest, CalculateAnswersTheDisplayOrTheReason) {
    serve(fakeHooks());
    struct Case {
        QString expression;
        QString errorName;  // empty: a value
        QString text;       // the display, or the error's message
    };
    const QString engine = QLatin1String(SumBusAddress::engineError);
    const QString notExpression = QLatin1String(SumBusAddress::notExpressionError);
    const QString cannot = QStringLiteral("Cannot calculate this expression");
    const std::vector<Case> cases = {
        {QStringLiteral("2+3"), {}, QStringLiteral("5")},
        {QStringLiteral("100 USD to VND"), {}, QStringLiteral("2,510,000 ₫")},
        {QStringLiteral("1/0"), engine, QStringLiteral("Không thể chia cho 0")},
        {QStringLiteral("2 +"), notExpression, cannot},
        {QStringLiteral("1\n2"), notExpression, cannot},
        {QStringLiteral("1\u20282"), notExpression, cannot},
        {QString(), notExpression, cannot},
    };
    for (const Case& c : cases) {
        const auto reply = call(QStringLiteral("Calculate"), {c.expression});
        if (c.errorName.isEmpty()) {
            EXPECT_EQ(reply.status, Status::ok) << c.expression.toStdString() << ": " << reply.message.toStdString();
            EXPECT_EQ(reply.value, c.text) << c.expression.toStdString();
        } else {
            EXPECT_EQ(reply.status, Status::failed) << c.expression.toStdString();
            EXPECT_EQ(reply.errorName, c.errorName) << c.expression.toStdString();
            EXPECT_EQ(reply.message, c.text) << c.expression.toStdString();
        }
    }
    EXPECT_EQ(record.prepared, static_cast<int>(cases.size()));
}

TEST_F(ServiceTest, AnOverlongExpressionIsRefusedBeforeAnyWork) {
    serve(fakeHooks());
    const auto reply = call(QStringLiteral("Calculate"), {QString(SumService::maxExpressionLength + 1, u'1')});
    EXPECT_EQ(reply.status, Status::failed);
    EXPECT_EQ(reply.errorName, QLatin1String(SumBusAddress::invalidArgsError));
    EXPECT_EQ(record.prepared, 0);
}

TEST_F(ServiceTest, ACalculationWaitingForRatesLeavesOtherCallersServed) {
    serve(fakeHooks(), std::chrono::hours(1));
    QDBusMessage request =
        QDBusMessage::createMethodCall(name, QString::fromLatin1(SumBusAddress::objectPath),
                                       QString::fromLatin1(SumBusAddress::interfaceName), QStringLiteral("Calculate"));
    request << QStringLiteral("2+3");
    QDBusPendingCall pending = clientBus.asyncCall(request);
    EXPECT_EQ(call(QStringLiteral("Show")).status, Status::ok);
    EXPECT_FALSE(pending.isFinished());
    EXPECT_EQ(record.calls, std::vector<std::string>{"show"});
}

TEST_F(ServiceTest, WithoutHooksEveryMethodSaysTheApplicationIsStarting) {
    serve({});
    const std::vector<std::pair<QString, QVariantList>> cases = {
        {QStringLiteral("Show"), {}},
        {QStringLiteral("Hide"), {}},
        {QStringLiteral("Toggle"), {}},
        {QStringLiteral("AppendText"), {QStringLiteral("1")}},
        {QStringLiteral("Calculate"), {QStringLiteral("1")}},
    };
    for (const auto& [method, arguments] : cases) {
        const auto reply = call(method, arguments);
        EXPECT_EQ(reply.status, Status::failed) << method.toStdString();
        EXPECT_EQ(reply.errorName, QLatin1String(SumBusAddress::unavailableError)) << method.toStdString();
    }
}

TEST_F(ServiceTest, TheNameIsHeldOnceAndFreedWhenItsHolderIsKilled) {
    // Another process holds the name, as a running application does.
    QProcess holder;
    holder.start(QCoreApplication::applicationFilePath(), {QStringLiteral("--hold-name"), name});
    ASSERT_TRUE(holder.waitForReadyRead(10000));
    ASSERT_EQ(holder.readLine().trimmed(), "held");

    SumService second;
    EXPECT_EQ(second.registerOn(clientBus, name), SumService::Registration::nameTaken);
    // The loser leaves nothing behind on its connection.
    EXPECT_EQ(clientBus.objectRegisteredAt(QString::fromLatin1(SumBusAddress::objectPath)), nullptr);

    // A crash: no chance to release the name. The bus drops it with the connection.
    holder.kill();
    holder.waitForFinished();
    QDeadlineTimer deadline(10s);
    SumService::Registration outcome = SumService::Registration::nameTaken;
    while (outcome == SumService::Registration::nameTaken && !deadline.hasExpired()) {
        outcome = second.registerOn(clientBus, name);
        if (outcome == SumService::Registration::nameTaken) QThread::msleep(20);
    }
    EXPECT_EQ(outcome, SumService::Registration::registered);
    const QDBusReply<QString> owner = serviceBus.interface()->serviceOwner(name);
    EXPECT_EQ(owner.value(), clientBus.baseService());
}

TEST_F(ServiceTest, TheClientTellsAbsentInstanceFromAbsentBus) {
    EXPECT_EQ(call(QStringLiteral("Show")).status, Status::noInstance);
    EXPECT_FALSE(SumServiceClient(clientBus, name).waitForInstance(0ms));
    EXPECT_EQ(SumServiceClient(std::nullopt, name).call(QStringLiteral("Show")).status, Status::noBus);
}

TEST(SumBusAddress, EachDataFolderHasANameOfItsOwn) {
    const QByteArray saved = qgetenv("QUIBSUM_DATA_DIR");
    qunsetenv("QUIBSUM_DATA_DIR");
    EXPECT_EQ(SumBusAddress::serviceName(QStringLiteral("/home/a/.local/share/QuibSum")),
              QLatin1String("org.quibsum.QuibSum"));
    qputenv("QUIBSUM_DATA_DIR", "/tmp/x");
    const QString a = SumBusAddress::serviceName(QStringLiteral("/tmp/x"));
    EXPECT_EQ(a, SumBusAddress::serviceName(QStringLiteral("/tmp/./x/")));
    EXPECT_NE(a, SumBusAddress::serviceName(QStringLiteral("/tmp/y")));
    EXPECT_NE(a, QLatin1String("org.quibsum.QuibSum"));
    // A valid bus name: elements of letters, digits and "_", none starting with a digit.
    for (const QString& element : a.split(u'.')) {
        ASSERT_FALSE(element.isEmpty());
        EXPECT_FALSE(element.front().isDigit()) << a.toStdString();
        for (QChar c : element) EXPECT_TRUE(c.isLetterOrNumber() || c == u'_') << a.toStdString();
    }
    if (saved.isNull())
        qunsetenv("QUIBSUM_DATA_DIR");
    else
        qputenv("QUIBSUM_DATA_DIR", saved);
}

}  // namespace
}  // namespace quibsum

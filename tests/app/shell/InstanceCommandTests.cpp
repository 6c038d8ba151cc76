// The `quibsum` commands that reach the running application, run as a user runs them on a
// private bus, against a fake instance serving the test's data folder (or none, or no bus).

#include <gtest/gtest.h>
#include <sys/socket.h>
#include <sys/un.h>
#include <unistd.h>
#include <csignal>

#include <QDBusConnection>
#include <QDBusConnectionInterface>
#include <QDBusReply>
#include <QDateTime>
#include <QElapsedTimer>
#include <QFile>
#include <QProcess>
#include <QTemporaryDir>
#include <QThread>
#include <chrono>
#include <cstring>
#include <future>
#include <map>
#include <memory>
#include <mutex>
#include <stdexcept>
#include <string>
#include <thread>
#include <vector>

#include "PrivateBus.h"
#include "QuibSum/bus/SumBusAddress.h"
#include "QuibSum/bus/SumService.h"
#include "QuibSum/bus/SumServiceClient.h"
#include "tests/support/ManualClock.h"

namespace quibsum {
namespace {

const QString rates = QStringLiteral(QUIBSUM_SOURCE_DIR "/tests/fixtures/app/rates.json");

struct Outcome {
    int status = -1;
    std::string out;
    std::string err;
};

// A bus that takes every connection and never says a word, as a hung bus daemon does.
class SilentBus {
public:
    explicit SilentBus(const QString& path) {
        listener_ = ::socket(AF_UNIX, SOCK_STREAM | SOCK_CLOEXEC, 0);
        sockaddr_un address{};
        address.sun_family = AF_UNIX;
        const QByteArray native = path.toLocal8Bit();
        std::strncpy(address.sun_path, native.constData(), sizeof address.sun_path - 1);
        if (::bind(listener_, reinterpret_cast<const sockaddr*>(&address), sizeof address) != 0 ||
            ::listen(listener_, 16) != 0)
            throw std::runtime_error("cannot listen on " + native.toStdString());
        acceptor_ = std::thread([this] {
            for (int client; (client = ::accept(listener_, nullptr, nullptr)) >= 0;) clients_.push_back(client);
        });
    }
    ~SilentBus() {
        ::shutdown(listener_, SHUT_RDWR);  // ends the blocked accept
        acceptor_.join();
        for (int client : clients_) ::close(client);
        ::close(listener_);
    }

private:
    int listener_ = -1;
    std::vector<int> clients_;  // held open, unanswered
    std::thread acceptor_;
};

class InstanceCommandTest : public ::testing::Test {
protected:
    void SetUp() override {
        if (!testing::PrivateBus::instance() || !testing::PrivateBus::instance()->isRunning())
            GTEST_SKIP() << "dbus-daemon is not installed";
        bus = QDBusConnection::connectToBus(testing::PrivateBus::instance()->address(), QStringLiteral("fake"));
        ASSERT_TRUE(bus.isConnected());
        ASSERT_TRUE(runtime.isValid());
    }

    void TearDown() override {
        if (service) {
            QMetaObject::invokeMethod(
                service, [this] { delete service; }, Qt::BlockingQueuedConnection);
            thread.quit();
            thread.wait();
        }
        QDBusConnection::disconnectFromBus(QStringLiteral("fake"));
    }

    QString data() const { return home.path() + QStringLiteral("/data"); }
    QString quickSheet() const { return data() + QStringLiteral("/Sheets/00000000-0000-0000-0000-000000000001.txt"); }

    // A fake application serving the test's data folder, as `quibsum` would.
    void serve(SumService::Hooks hooks) {
        qputenv("QUIBSUM_DATA_DIR", data().toUtf8());
        const QString name = SumBusAddress::serviceName(data());
        qunsetenv("QUIBSUM_DATA_DIR");
        service = new SumService;
        service->setHooks(std::move(hooks));
        service->moveToThread(&thread);
        thread.start();
        ASSERT_EQ(service->registerOn(bus, name), SumService::Registration::registered);
    }

    SumService::Hooks recordingHooks() {
        SumService::Hooks hooks;
        hooks.show = [this] { add("show"); };
        hooks.hide = [this] { add("hide"); };
        hooks.toggle = [this] { add("toggle"); };
        hooks.useActivationToken = [this](const QString& token) { add("token " + token.toStdString()); };
        hooks.appendText = [this](const QString& text) {
            add("append " + text.toStdString());
            return QStringLiteral("x = 6\n") + text;
        };
        return hooks;
    }

    void add(std::string call) {
        std::lock_guard lock(mutex);
        calls.push_back(std::move(call));
    }

    QProcessEnvironment commandEnvironment() const {
        QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
        env.insert("HOME", home.path());
        env.insert("QUIBSUM_DATA_DIR", data());
        env.insert("QUIBSUM_CONFIG_DIR", home.path() + QStringLiteral("/config"));
        env.insert("QUIBSUM_ERAPI_URL", "http://127.0.0.1:9/");
        env.insert("QUIBSUM_VCB_URL", "http://127.0.0.1:9/");
        env.insert("XDG_RUNTIME_DIR", runtime.path());
        // No display: these commands must do without one, or say that they need one.
        env.remove("DISPLAY");
        env.remove("WAYLAND_DISPLAY");
        env.remove("XDG_ACTIVATION_TOKEN");
        for (const auto& [name, value] : environment) env.insert(name, value);
        return env;
    }

    Outcome run(const QStringList& args, const QByteArray& input = {}) {
        QProcess process;
        process.setProcessEnvironment(commandEnvironment());
        process.start(QStringLiteral(QUIBSUM_PROGRAM), args);
        process.write(input);
        process.closeWriteChannel();
        if (!process.waitForFinished(60000)) {
            process.kill();
            process.waitForFinished();
            return {};
        }
        return {process.exitStatus() == QProcess::NormalExit ? process.exitCode() : -1,
                process.readAllStandardOutput().toStdString(), process.readAllStandardError().toStdString()};
    }

    QString fileText(const QString& path) {
        QFile file(path);
        return file.open(QIODevice::ReadOnly) ? QString::fromUtf8(file.readAll()) : QString();
    }

    QTemporaryDir home;
    QTemporaryDir runtime;
    std::map<QString, QString> environment;
    QDBusConnection bus{QString()};
    QThread thread;
    testing::ManualClock clock;
    SumService* service = nullptr;
    std::mutex mutex;
    std::vector<std::string> calls;
};

TEST_F(InstanceCommandTest, CommandsReachTheRunningInstance) {
    serve(recordingHooks());
    for (const char* command : {"show", "hide", "toggle"}) {
        const Outcome result = run({command});
        EXPECT_EQ(result.status, 0) << command << ": " << result.err;
        EXPECT_EQ(result.err, "") << command;
    }
    // The instance writes the sheet and answers its whole text; the command prints the new
    // lines' results from it, with its own rates.
    const Outcome appended = run({"append", "--rates", rates, "x * 7"});
    EXPECT_EQ(appended.status, 0) << appended.err;
    EXPECT_EQ(appended.out, "42\n");
    EXPECT_FALSE(QFile::exists(quickSheet())) << "the command wrote the sheet beside the instance";
    EXPECT_EQ(calls, (std::vector<std::string>{"show", "hide", "toggle", "append x * 7"}));
}

// The desktop's activation token reaches the instance before the window comes forward.
TEST_F(InstanceCommandTest, ShowAndToggleHandTheCallersActivationTokenOver) {
    serve(recordingHooks());
    environment["XDG_ACTIVATION_TOKEN"] = QStringLiteral("kwin-42");
    for (const char* command : {"show", "hide", "toggle"}) {
        const Outcome result = run({command});
        EXPECT_EQ(result.status, 0) << command << ": " << result.err;
    }
    EXPECT_EQ(calls, (std::vector<std::string>{"token kwin-42", "show", "hide", "token kwin-42", "toggle"}));
}

TEST_F(InstanceCommandTest, BrokenUtf8IsSentAsReplacementCharacters) {
    serve(recordingHooks());
    const Outcome result = run({"append", "--rates", rates}, "1\xff+\xc3\n2\r\n");
    EXPECT_EQ(result.status, 0) << result.err;
    EXPECT_EQ(calls, std::vector<std::string>{"append 1\uFFFD+\uFFFD\n2"});
}

TEST_F(InstanceCommandTest, AnInstanceThatCannotAppendIsReportedAndNotWorkedAround) {
    SumService::Hooks hooks = recordingHooks();
    hooks.appendText = [](const QString&) -> QString { throw std::runtime_error("Cannot write the quick sheet"); };
    serve(std::move(hooks));
    const Outcome result = run({"append", "--rates", rates, "1+1"});
    EXPECT_EQ(result.status, 1);
    EXPECT_NE(result.err.find("Cannot write the quick sheet"), std::string::npos) << result.err;
    // Writing it here too could add the line twice once the instance recovers.
    EXPECT_FALSE(QFile::exists(quickSheet()));
}

TEST_F(InstanceCommandTest, ASilentBusEndsEveryCommandInTimeAndAppendWritesNothing) {
    const SilentBus silent(runtime.path() + QStringLiteral("/silent"));
    environment["DBUS_SESSION_BUS_ADDRESS"] = QStringLiteral("unix:path=") + runtime.path() + QStringLiteral("/silent");
    // All at once: each waits out its own time-out.
    const std::vector<QStringList> commands = {
        {QStringLiteral("append"), QStringLiteral("--rates"), rates, QStringLiteral("1+1")},
        {QStringLiteral("show")},
        {QStringLiteral("hide")},
        {QStringLiteral("toggle")},
    };
    std::vector<std::unique_ptr<QProcess>> processes;
    QElapsedTimer clock;
    clock.start();
    for (const QStringList& args : commands) {
        processes.push_back(std::make_unique<QProcess>());
        processes.back()->setProcessEnvironment(commandEnvironment());
        processes.back()->start(QStringLiteral(QUIBSUM_PROGRAM), args);
    }
    // The time-out, and room for starting the program on a busy machine.
    const auto bound = SumServiceClient::answerTimeout + std::chrono::seconds(10);
    for (std::size_t i = 0; i < commands.size(); ++i) {
        const std::string command = commands[i].constFirst().toStdString();
        QProcess& process = *processes[i];
        const bool ended = process.waitForFinished(static_cast<int>(bound.count() - clock.elapsed()));
        if (!ended) process.kill();
        ASSERT_TRUE(ended) << command << " still runs after " << clock.elapsed() << " ms";
        EXPECT_EQ(process.exitCode(), 1) << command;
        const std::string err = process.readAllStandardError().toStdString();
        EXPECT_NE(err.find("quibsum " + command + ": the running Quib Sum window did not answer within 5 seconds"),
                  std::string::npos)
            << err;
        if (command == "append") {
            EXPECT_NE(err.find("the text was not added"), std::string::npos) << err;
        }
    }
    EXPECT_FALSE(QFile::exists(quickSheet())) << "append wrote the sheet behind the window's back";
}

TEST_F(InstanceCommandTest, AnAppendTheCallerGaveUpOnIsNotAddedWhenTheInstanceWakes) {
    serve(recordingHooks());
    // The instance is stopped, as by kill -STOP: its thread waits here until released.
    std::promise<void> wake;
    QMetaObject::invokeMethod(service, [woken = wake.get_future().share()] { woken.wait(); });
    // Told when the woken instance looks at the append's deadline.
    auto checked = std::make_shared<std::promise<void>>();
    clock.whenRead([checked] { checked->set_value(); });
    QMetaObject::invokeMethod(
        service, [this] { service->setClock(clock); }, Qt::QueuedConnection);

    const Outcome appended = run({"append", "--rates", rates, "late = 1"});
    EXPECT_EQ(appended.status, 1);
    EXPECT_NE(appended.err.find("did not answer within 5 seconds; the text was not added"), std::string::npos)
        << appended.err;

    // The instance wakes after its caller gave up.
    clock.set(std::chrono::system_clock::now());
    wake.set_value();
    ASSERT_EQ(checked->get_future().wait_for(std::chrono::seconds(30)), std::future_status::ready)
        << "the woken instance never handled the append";
    QMetaObject::invokeMethod(
        service, [] {}, Qt::BlockingQueuedConnection);  // the handler has ended
    EXPECT_TRUE(calls.empty()) << "the append the caller was told failed was applied: " << calls.front();
    EXPECT_FALSE(QFile::exists(quickSheet()));
}

TEST_F(InstanceCommandTest, WithoutAnInstanceOnlyAppendAndHideHaveWorkToDo) {
    const Outcome appended = run({"append", "--rates", rates, "x = 6"});
    EXPECT_EQ(appended.status, 0) << appended.err;
    EXPECT_EQ(fileText(quickSheet()), QStringLiteral("x = 6"));

    EXPECT_EQ(run({"hide"}).status, 0);
    for (const char* command : {"show", "toggle"}) {
        const Outcome result = run({command});
        EXPECT_EQ(result.status, 1) << command;
        EXPECT_NE(result.err.find("no display"), std::string::npos) << result.err;
    }
}

// The window they start must be up (serving the name) when show and toggle end, and a window
// that fails at start is their failure, with its reason.
TEST_F(InstanceCommandTest, ShowAndToggleWaitForTheWindowTheyStartAndReportItsFailure) {
    QFile display(runtime.path() + QStringLiteral("/wayland-test"));
    ASSERT_TRUE(display.open(QIODevice::WriteOnly));  // a display, as far as the commands can tell
    environment["WAYLAND_DISPLAY"] = QStringLiteral("wayland-test");
    qputenv("QUIBSUM_DATA_DIR", data().toUtf8());
    const QString name = SumBusAddress::serviceName(data());
    qunsetenv("QUIBSUM_DATA_DIR");
    auto served = [&] { return bus.interface()->isServiceRegistered(name).value(); };

    environment["QT_QPA_PLATFORM"] = QStringLiteral("nonexistent");
    for (const char* command : {"show", "toggle"}) {
        const Outcome result = run({command});
        EXPECT_EQ(result.status, 1) << command;
        EXPECT_EQ(result.err.rfind(std::string("quibsum ") + command + ": Quib Sum could not start: ", 0), 0u)
            << result.err;
        EXPECT_NE(result.err.find("\"nonexistent\""), std::string::npos) << result.err;
        EXPECT_FALSE(served());
    }

    environment["QT_QPA_PLATFORM"] = QStringLiteral("offscreen");
    const Outcome shown = run({"show"});
    EXPECT_EQ(shown.status, 0) << shown.err;
    EXPECT_TRUE(served());
    const QDBusReply<uint> pid = bus.interface()->servicePid(name);
    ASSERT_TRUE(pid.isValid());
    ::kill(static_cast<pid_t>(pid.value()), SIGTERM);
    QElapsedTimer clock;
    clock.start();
    while (served() && clock.elapsed() < 30000) QThread::msleep(20);
    EXPECT_FALSE(served());
}

TEST_F(InstanceCommandTest, WithoutASessionBusAppendStillWritesAndTheRestSaySo) {
    environment["DBUS_SESSION_BUS_ADDRESS"] = QString();
    const Outcome appended = run({"append", "--rates", rates, "2+2"});
    EXPECT_EQ(appended.status, 0) << appended.err;
    EXPECT_EQ(appended.out, "4\n");
    EXPECT_EQ(fileText(quickSheet()), QStringLiteral("2+2"));
    for (const char* command : {"show", "hide", "toggle"}) {
        const Outcome result = run({command});
        EXPECT_EQ(result.status, 1) << command;
        EXPECT_NE(result.err.find("no D-Bus session bus"), std::string::npos) << result.err;
    }
}

TEST_F(InstanceCommandTest, AppendSelectionWithoutADisplaySaysSoAndChangesNothing) {
    const Outcome result = run({"append-selection"});
    EXPECT_EQ(result.status, 1);
    EXPECT_NE(result.err.find("no display"), std::string::npos) << result.err;
    EXPECT_FALSE(QFile::exists(quickSheet()));
}

TEST_F(InstanceCommandTest, EachCommandHasHelpAndTakesNoOperands) {
    for (const char* command : {"show", "hide", "toggle", "append-selection"}) {
        const Outcome help = run({command, "--help"});
        EXPECT_EQ(help.status, 0) << command;
        EXPECT_EQ(help.out.rfind(std::string("Usage: quibsum ") + command, 0), 0u) << help.out;
        for (const char* extra : {"now", "--now"}) {
            const Outcome wrong = run({command, extra});
            EXPECT_EQ(wrong.status, 2) << command << ' ' << extra;
            EXPECT_NE(wrong.err.find("Try 'quibsum " + std::string(command) + " --help'"), std::string::npos)
                << wrong.err;
        }
    }
    EXPECT_TRUE(calls.empty());
}

}  // namespace
}  // namespace quibsum

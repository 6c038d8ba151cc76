// GNOME Shell's search provider and KRunner's runner on a private bus, called from another
// connection with the argument types the Shell and KRunner send, the answers read back with
// the types they expect.

#include <gtest/gtest.h>

#include <QDBusArgument>
#include <QDBusConnection>
#include <QDBusMessage>
#include <QDBusMetaType>
#include <QTemporaryDir>
#include <QThread>
#include <QTimeZone>
#include <atomic>
#include <mutex>
#include <optional>
#include <vector>

#include "../../support/TestRates.h"
#include "../shell/PrivateBus.h"
#include "QuibSum/search/GnomeSearchProvider.h"
#include "QuibSum/search/KRunnerRunner.h"
#include "QuibSum/search/SearchAnswer.h"
#include "QuibSum/storage/SheetStore.h"

namespace quibsum {
namespace {

const QString service = QStringLiteral("org.quibsum.QuibSum.SearchTest");

QDBusConnection connectNew() {
    static int count = 0;
    return QDBusConnection::connectToBus(testing::PrivateBus::instance()->address(),
                                         QStringLiteral("search-%1").arg(++count));
}

// Holds both objects on a thread of their own, so that the test may block in its calls.
class Providers : public QObject {
public:
    Providers(const SearchActions& actions) : gnome(actions, this), krunner(actions, this) {}
    GnomeSearchProvider gnome;
    KRunnerRunner krunner;
};

class SearchProviderTest : public ::testing::Test {
protected:
    void SetUp() override {
        if (!testing::PrivateBus::instance() || !testing::PrivateBus::instance()->isRunning())
            GTEST_SKIP() << "dbus-daemon is not installed";
        ASSERT_TRUE(storeFolder.isValid());
        store = std::make_unique<SheetStore>(storeFolder.path());
        serviceBus = connectNew();
        clientBus = connectNew();
        ASSERT_TRUE(serviceBus.isConnected() && clientBus.isConnected());

        SearchActions actions;
        actions.answer = [this](const QString& expression) {
            return SearchAnswer::find(expression, rates, style.load(), RateKind::transfer, QTimeZone::utc());
        };
        actions.copy = [this](const QString& text) {
            std::lock_guard lock(mutex);
            copied.push_back(text);
        };
        actions.open = [this](const QString& expression) {
            std::lock_guard lock(mutex);
            store->appendToQuickSheet(expression);
        };
        providers = new Providers(actions);
        providers->moveToThread(&thread);
        thread.start();
        ASSERT_TRUE(providers->gnome.registerOn(serviceBus));
        ASSERT_TRUE(providers->krunner.registerOn(serviceBus));
        ASSERT_TRUE(serviceBus.registerService(service));
    }

    void TearDown() override {
        if (providers) {
            QMetaObject::invokeMethod(
                providers, [this] { delete providers; }, Qt::BlockingQueuedConnection);
            thread.quit();
            thread.wait();
        }
        QDBusConnection::disconnectFromBus(serviceBus.name());
        QDBusConnection::disconnectFromBus(clientBus.name());
    }

    QDBusMessage call(const char* path, const char* interface, const char* method, const QVariantList& arguments) {
        QDBusMessage message = QDBusMessage::createMethodCall(
            service, QString::fromLatin1(path), QString::fromLatin1(interface), QString::fromLatin1(method));
        message.setArguments(arguments);
        return clientBus.call(message, QDBus::Block, 5000);
    }

    QDBusMessage gnome(const char* method, const QVariantList& arguments) {
        return call(GnomeSearchProvider::objectPath, "org.gnome.Shell.SearchProvider2", method, arguments);
    }

    QDBusMessage krunner(const char* method, const QVariantList& arguments) {
        return call(KRunnerRunner::objectPath, "org.kde.krunner1", method, arguments);
    }

    // GetInitialResultSet's identifiers, checking the reply's type.
    QStringList initialResults(const QStringList& terms) {
        const QDBusMessage reply = gnome("GetInitialResultSet", {QVariant::fromValue(terms)});
        EXPECT_EQ(reply.type(), QDBusMessage::ReplyMessage) << reply.errorMessage().toStdString();
        EXPECT_EQ(reply.signature(), QStringLiteral("as"));
        return reply.arguments().value(0).toStringList();
    }

    QList<QVariantMap> metas(const QStringList& identifiers) {
        const QDBusMessage reply = gnome("GetResultMetas", {QVariant::fromValue(identifiers)});
        EXPECT_EQ(reply.signature(), QStringLiteral("aa{sv}"));
        QList<QVariantMap> metas;
        reply.arguments().value(0).value<QDBusArgument>() >> metas;
        return metas;
    }

    QList<KRunnerMatch> matches(const QString& query) {
        const QDBusMessage reply = krunner("Match", {query});
        EXPECT_EQ(reply.type(), QDBusMessage::ReplyMessage) << reply.errorMessage().toStdString();
        EXPECT_EQ(reply.signature(), QStringLiteral("a(sssida{sv})"));
        QList<KRunnerMatch> matches;
        reply.arguments().value(0).value<QDBusArgument>() >> matches;
        return matches;
    }

    std::vector<QString> copiedTexts() {
        std::lock_guard lock(mutex);
        return copied;
    }

    QString quickSheet() {
        std::lock_guard lock(mutex);
        return store->text(SheetStore::quickSheetID);
    }

    std::shared_ptr<const RateStore> rates = testing::testRates();
    std::atomic<NumberStyle> style{NumberStyle::en};
    QTemporaryDir storeFolder;
    std::unique_ptr<SheetStore> store;
    std::mutex mutex;
    std::vector<QString> copied;
    QDBusConnection serviceBus{QString()};
    QDBusConnection clientBus{QString()};
    QThread thread;
    Providers* providers = nullptr;
};

QString repeated(const QString& piece, int times) {
    QString text;
    for (int i = 0; i < times; ++i) text += piece;
    return text;
}

struct Case {
    const char* what;
    QStringList terms;  // as the Shell splits what was typed
    NumberStyle style;
    std::optional<QString> result;  // none: no result at all
};

std::vector<Case> cases() {
    // 9,999 characters: the longest line the engine calculates.
    const QString longSum = QStringLiteral("1") + QString(9995, u' ') + QStringLiteral("+ 1");
    // A line this long is a note, not a calculation.
    const QString longestQuery = repeated(QStringLiteral("1+"), 50000);
    return {
        {"plain sum", {"1", "+", "1"}, NumberStyle::en, "2"},
        {"conversion", {"100", "USD", "to", "VND"}, NumberStyle::en, "2,510,000 ₫"},
        {"Vietnamese conversion", {"đổi", "100", "đô", "sang", "đồng"}, NumberStyle::en, "2,510,000 ₫"},
        {"Vietnamese conversion, Vietnamese style",
         {"đổi", "100", "đô", "sang", "đồng"},
         NumberStyle::vi,
         "2.510.000 ₫"},
        {"discount, Vietnamese style", {"15%", "off", "1.200.000", "₫"}, NumberStyle::vi, "1.020.000 ₫"},
        {"discount, English style", {"15%", "off", "1,200,000", "₫"}, NumberStyle::en, "1,020,000 ₫"},
        {"decimal comma", {"1,5", "+", "1"}, NumberStyle::vi, "2,5"},
        {"decimal point", {"1.5+1"}, NumberStyle::en, "2.5"},
        {"bare number", {"42"}, NumberStyle::en, std::nullopt},
        {"bare grouped number", {"1.200.000"}, NumberStyle::vi, std::nullopt},
        {"bare number regrouped", {"1200000"}, NumberStyle::en, std::nullopt},
        {"negative number", {"-7"}, NumberStyle::en, std::nullopt},
        {"word", {"hello"}, NumberStyle::en, std::nullopt},
        {"words", {"what", "is", "this"}, NumberStyle::en, std::nullopt},
        {"empty", {}, NumberStyle::en, std::nullopt},
        {"empty term", {""}, NumberStyle::en, std::nullopt},
        {"division by zero", {"1/0"}, NumberStyle::en, std::nullopt},
        {"unfinished", {"1", "+"}, NumberStyle::en, std::nullopt},
        {"unknown currency", {"100", "XYZ", "to", "VND"}, NumberStyle::en, std::nullopt},
        {"long sum", {longSum}, NumberStyle::en, "2"},
        {"just beyond a line's length", {longSum + QStringLiteral("+1")}, NumberStyle::en, std::nullopt},
        {"100,000 characters", {longestQuery}, NumberStyle::en, std::nullopt},
        {"100,000 characters, split", longestQuery.split(u'+'), NumberStyle::en, std::nullopt},
        // Bytes that are not UTF-8 arrive as replacement characters.
        {"invalid UTF-8", {QString::fromUtf8("\xC3\x28 1+1")}, NumberStyle::en, std::nullopt},
        {"invalid UTF-8 alone", {QString::fromUtf8("\xff\xfe")}, NumberStyle::en, std::nullopt},
        {"two lines", {"1+1\n2+2"}, NumberStyle::en, std::nullopt},
    };
}

TEST_F(SearchProviderTest, BothInterfacesAnswerTheSameTable) {
    for (const Case& c : cases()) {
        SCOPED_TRACE(c.what);
        style = c.style;
        const QString expression = c.terms.join(u' ').trimmed();

        const QStringList ids = initialResults(c.terms);
        const QDBusMessage sub =
            gnome("GetSubsearchResultSet", {QVariant::fromValue(QStringList{}), QVariant::fromValue(c.terms)});
        EXPECT_EQ(sub.signature(), QStringLiteral("as"));
        EXPECT_EQ(sub.arguments().value(0).toStringList(), ids);
        const QList<KRunnerMatch> found = matches(c.terms.join(u' '));

        if (!c.result) {
            EXPECT_TRUE(ids.isEmpty()) << ids.value(0).left(80).toStdString();
            EXPECT_TRUE(found.isEmpty()) << found.value(0).text.toStdString();
            continue;
        }
        ASSERT_EQ(ids, QStringList{expression});
        const QList<QVariantMap> shown = metas(ids);
        ASSERT_EQ(shown.size(), 1);
        EXPECT_EQ(shown[0].value("id").toString(), expression);
        EXPECT_EQ(shown[0].value("name").toString(), *c.result);
        EXPECT_EQ(shown[0].value("gicon").toString(), QStringLiteral("quibsum"));
        EXPECT_TRUE(shown[0].value("description").toString().startsWith(expression.left(80)));

        ASSERT_EQ(found.size(), 1);
        EXPECT_EQ(found[0].id, expression);
        EXPECT_EQ(found[0].text, *c.result);
        EXPECT_EQ(found[0].iconName, QStringLiteral("quibsum"));
        EXPECT_EQ(found[0].type, KRunnerRunner::exactMatch);
        EXPECT_EQ(found[0].properties.value("subtext").toString(), shown[0].value("description").toString());
    }
}

TEST_F(SearchProviderTest, DescriptionNamesTheRateOfAConversion) {
    const QList<QVariantMap> shown = metas({QStringLiteral("100 USD to VND"), QStringLiteral("2*3")});
    ASSERT_EQ(shown.size(), 2);
    EXPECT_TRUE(shown[0]
                    .value("description")
                    .toString()
                    .startsWith(QStringLiteral("100 USD to VND · Vietcombank transfer rate · ")))
        << shown[0].value("description").toString().toStdString();
    // A plain sum has no rate to name.
    EXPECT_EQ(shown[1].value("description").toString(), QStringLiteral("2*3"));
    EXPECT_EQ(shown[1].value("name").toString(), QStringLiteral("6"));
}

TEST_F(SearchProviderTest, MetasLeaveOutWhatHasNoAnswer) {
    const QList<QVariantMap> shown = metas({QStringLiteral("hello"), QStringLiteral("3+4")});
    ASSERT_EQ(shown.size(), 1);
    EXPECT_EQ(shown[0].value("id").toString(), QStringLiteral("3+4"));
}

TEST_F(SearchProviderTest, LongExpressionIsShortenedInTheDescription) {
    const QString sum = repeated(QStringLiteral("1+"), 100) + QStringLiteral("1");
    const QList<QVariantMap> shown = metas({sum});
    ASSERT_EQ(shown.size(), 1);
    EXPECT_EQ(shown[0].value("description").toString(), sum.left(80) + QChar(0x2026));
}

TEST_F(SearchProviderTest, ActivatingCopiesTheResult) {
    const QDBusMessage reply = gnome("ActivateResult", {QStringLiteral("100 USD to VND"),
                                                        QVariant::fromValue(QStringList{"100", "USD", "to", "VND"}),
                                                        QVariant::fromValue(uint(1234))});
    EXPECT_EQ(reply.type(), QDBusMessage::ReplyMessage) << reply.errorMessage().toStdString();
    krunner("Run", {QStringLiteral("2*3"), QString()});
    krunner("Run", {QStringLiteral("2*4"), QStringLiteral("copy")});
    // Nothing to copy for what has no answer, nor for an action the runner never offered.
    krunner("Run", {QStringLiteral("hello"), QString()});
    krunner("Run", {QStringLiteral("2*5"), QStringLiteral("unknown")});
    EXPECT_EQ(copiedTexts(), (std::vector<QString>{QStringLiteral("2,510,000 ₫"), "6", "8"}));
}

TEST_F(SearchProviderTest, LaunchingAppendsTheExpressionToTheQuickSheet) {
    const QDBusMessage reply = gnome("LaunchSearch", {QVariant::fromValue(QStringList{"15%", "off", "1,200,000", "₫"}),
                                                      QVariant::fromValue(uint(0))});
    EXPECT_EQ(reply.type(), QDBusMessage::ReplyMessage) << reply.errorMessage().toStdString();
    krunner("Run", {QStringLiteral("100 USD to VND"), QStringLiteral("open")});
    // An empty search opens nothing.
    gnome("LaunchSearch", {QVariant::fromValue(QStringList{}), QVariant::fromValue(uint(0))});
    EXPECT_TRUE(quickSheet().endsWith(QStringLiteral("15% off 1,200,000 ₫\n100 USD to VND")))
        << quickSheet().toStdString();
    EXPECT_TRUE(copiedTexts().empty());
}

TEST_F(SearchProviderTest, RunnerOffersCopyAndOpen) {
    const QDBusMessage reply = krunner("Actions", {});
    EXPECT_EQ(reply.signature(), QStringLiteral("a(sss)"));
    QList<KRunnerAction> actions;
    reply.arguments().value(0).value<QDBusArgument>() >> actions;
    ASSERT_EQ(actions.size(), 2);
    EXPECT_EQ(actions[0].id, QStringLiteral("copy"));
    EXPECT_EQ(actions[0].text, QStringLiteral("Copy result"));
    EXPECT_EQ(actions[1].id, QStringLiteral("open"));
    EXPECT_EQ(actions[1].text, QStringLiteral("Open in Quib Sum"));
}

// The introspection data is what the Shell's and KRunner's proxies are checked against.
TEST_F(SearchProviderTest, IntrospectionShowsTheShellsSignatures) {
    const auto introspect = [this](const char* path) {
        return call(path, "org.freedesktop.DBus.Introspectable", "Introspect", {}).arguments().value(0).toString();
    };
    const QString gnomeXml = introspect(GnomeSearchProvider::objectPath);
    for (const char* expected :
         {R"(<method name="GetResultMetas">)", R"(<arg type="aa{sv}" direction="out"/>)",
          R"(<arg name="timestamp" type="u" direction="in"/>)", R"(<arg name="previousResults" type="as")"})
        EXPECT_TRUE(gnomeXml.contains(QLatin1String(expected))) << expected;
    const QString runnerXml = introspect(KRunnerRunner::objectPath);
    for (const char* expected : {R"x(<arg type="a(sssida{sv})" direction="out"/>)x",
                                 R"x(<arg type="a(sss)" direction="out"/>)x", R"(<method name="Run">)"})
        EXPECT_TRUE(runnerXml.contains(QLatin1String(expected))) << expected;
}

}  // namespace
}  // namespace quibsum

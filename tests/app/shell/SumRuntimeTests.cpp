// The runtime's refreshes with fake feeds: what each trigger fetches, the rate status it
// leaves in the settings, and which editors hear of a new version.

#include <gtest/gtest.h>

#include <QFile>
#include <QFileInfo>
#include <QSignalSpy>
#include <QTemporaryDir>
#include <QTest>

#include "QuibSum/editor/EditorView.h"
#include "QuibSum/shell/SumRuntime.h"
#include "QuibSum/storage/SettingsFile.h"
#include "tests/app/shell/ShellTestSupport.h"

namespace quibsum {
namespace {

// Tables published a minute ago, so that nothing is due again right after fetching them.
const Instant published =
    std::chrono::time_point_cast<std::chrono::seconds>(std::chrono::system_clock::now()) - std::chrono::minutes(1);
const std::string goodVCBBody =
    testing::vcbBody(testing::bankTime(published), testing::exrate("USD", "26,098.00", "26,128.00", "26,398.00"));
const std::string goodERAPIBody =
    testing::erapiBody("\"USD\":1,\"EUR\":0.8612,\"VND\":26348", std::to_string(published.time_since_epoch().count()));

class SumRuntimeTest : public ::testing::Test, protected testing::ShellFixture {
protected:
    void SetUp() override { qputenv("LC_ALL", "en_US.UTF-8"); }
    std::vector<std::string> refresh(bool force) {
        runtime.refreshRates(force);
        runtime.waitForRefreshes();
        return feeds->takeURLs();
    }
    QStringList statusLines() { return runtime.settings().rateStatus().split(u'\n'); }
};

TEST_F(SumRuntimeTest, AFirstRefreshFetchesBothTablesAndTellsTheEditors) {
    feeds->answer("vcb", 200, goodVCBBody);
    feeds->answer("erapi", 200, goodERAPIBody);
    EditorView editor(QStringLiteral("100 USD in VND"), runtime.makeEngine());
    runtime.registerEditor(&editor);
    const QStringList seedStatus = statusLines();
    ASSERT_EQ(seedStatus.size(), 2);
    EXPECT_TRUE(seedStatus[0].startsWith("Bundled rates · ")) << seedStatus[0].toStdString();

    EXPECT_EQ(refresh(false), (std::vector<std::string>{"vcb", "erapi"}));
    EXPECT_EQ(runtime.rates()->version(), 2);
    EXPECT_EQ(testing::shown(editor.results()[0]), "2,612,800 ₫");  // the fetched transfer rate
    const QStringList status = statusLines();
    ASSERT_EQ(status.size(), 2);
    EXPECT_TRUE(status[0].startsWith("Vietcombank · ")) << status[0].toStdString();
    EXPECT_TRUE(status[1].startsWith("ExchangeRate-API · ")) << status[1].toStdString();

    // Unforced triggers (the window shown, the hot key, waking) find nothing due now; the
    // footer's "Update rates" forces the mid-market table (the bank's was fetched too lately).
    EXPECT_TRUE(refresh(false).empty());
    EXPECT_EQ(refresh(true), (std::vector<std::string>{"erapi"}));
}

TEST_F(SumRuntimeTest, OnlyTheMidMarketTableFetchedLeavesTheBankOnTheSeed) {
    feeds->answer("erapi", 200, goodERAPIBody);  // the bank does not answer
    refresh(false);
    const QStringList status = statusLines();
    ASSERT_EQ(status.size(), 2);
    EXPECT_TRUE(status[0].startsWith("Bundled rates · ")) << status[0].toStdString();
    EXPECT_TRUE(status[1].startsWith("ExchangeRate-API · ")) << status[1].toStdString();
}

TEST_F(SumRuntimeTest, AClosedEditorHearsNothingMore) {
    feeds->answer("erapi", 200, goodERAPIBody);
    auto closed = std::make_unique<EditorView>(QStringLiteral("1"), runtime.makeEngine());
    EditorView open(QStringLiteral("1 EUR in USD"), runtime.makeEngine());
    runtime.registerEditor(closed.get());
    runtime.registerEditor(&open);
    closed.reset();
    QSignalSpy evaluations(&open, &EditorView::evaluated);
    refresh(false);
    EXPECT_EQ(runtime.subscriberCount(), 1u);
    // The open editor took the fetched mid-market table in.
    EXPECT_EQ(evaluations.count(), 1);
    EXPECT_EQ(testing::shown(open.results()[0]), "1.16 USD");
}

TEST(SumRuntimeStandard, ASettingsFileBeyondItsLimitIsShownAsTheSettingsError) {
    QTemporaryDir home;
    const QByteArray savedConfig = qgetenv("QUIBSUM_CONFIG_DIR");
    const QByteArray savedData = qgetenv("QUIBSUM_DATA_DIR");
    qputenv("QUIBSUM_CONFIG_DIR", QFile::encodeName(home.path()));
    qputenv("QUIBSUM_DATA_DIR", QFile::encodeName(home.path() + "/data"));
    QFile file(home.path() + "/QuibSum.conf");
    ASSERT_TRUE(file.open(QIODevice::WriteOnly));
    file.write("[General]\nappearance=light\n;");
    file.close();
    ASSERT_TRUE(file.resize(SettingsFile::maxBytes + 1));
    {
        const std::unique_ptr<SumRuntime> runtime = SumRuntime::standard();
        EXPECT_EQ(runtime->settings().appearance(), "dark");
        ASSERT_TRUE(runtime->settings().lastError().has_value());
        EXPECT_TRUE(runtime->settings().lastError()->contains("larger than the 1 MiB limit"))
            << runtime->settings().lastError()->toStdString();
    }
    EXPECT_EQ(QFileInfo(file.fileName()).size(), SettingsFile::maxBytes + 1);
    qputenv("QUIBSUM_CONFIG_DIR", savedConfig);
    qputenv("QUIBSUM_DATA_DIR", savedData);
}

TEST_F(SumRuntimeTest, EnginesFollowTheSettings) {
    runtime.settings().setNumberStyle(QStringLiteral("vi"));
    runtime.settings().setRateKind(QStringLiteral("sell"));
    const Engine engine = runtime.makeEngine();
    EXPECT_EQ(engine.style(), NumberStyle::vi);
    EXPECT_EQ(engine.defaultVNDKind(), RateKind::sell);
}

}  // namespace
}  // namespace quibsum

#include <gtest/gtest.h>

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QTemporaryDir>

#include <sys/stat.h>
#include <unistd.h>

#include <chrono>
#include <memory>

#include "QuibSum/storage/SheetStore.h"
#include "tests/app/LockHolder.h"
#include "tests/support/FailingDevice.h"
#include "tests/support/ManualClock.h"

namespace quibsum {
namespace {

const QString quickFile = QStringLiteral("00000000-0000-0000-0000-000000000001.txt");

QByteArray readFile(const QString& path) {
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray("<missing>");
}

void writeFile(const QString& path, const QByteArray& bytes) {
    QFile file(path);
    ASSERT_TRUE(file.open(QIODevice::WriteOnly | QIODevice::Truncate));
    file.write(bytes);
}

class SheetStoreTest : public ::testing::Test {
protected:
    QString folder() const { return root.path() + QStringLiteral("/QuibSum/Sheets"); }
    QString path(const QString& name) const { return folder() + u'/' + name; }
    void prepareFolder() const { ASSERT_TRUE(QDir().mkpath(folder())); }

    QTemporaryDir root;
};

TEST_F(SheetStoreTest, FirstLaunchCreatesAPrivateFolderWithTheQuickSheet) {
    SheetStore store(folder());

    struct stat info {};
    ASSERT_EQ(::stat(QFile::encodeName(folder()).constData(), &info), 0);
    EXPECT_EQ(info.st_mode & 0777, 0700u);
    EXPECT_EQ(readFile(path(quickFile)), QByteArray());

    QByteArray index = readFile(path(QStringLiteral("index.json")));
    EXPECT_TRUE(index.startsWith(R"([{"id":"00000000-0000-0000-0000-000000000001","title":"Quick","created":)"))
        << index.constData();
    EXPECT_TRUE(index.endsWith(R"(,"order":-1}])")) << index.constData();
    ASSERT_EQ(store.records().size(), 1u);
    EXPECT_EQ(store.records()[0].id, SheetStore::quickSheetID);
    EXPECT_EQ(store.lastError(), std::nullopt);
}

TEST_F(SheetStoreTest, AnExistingFolderOpenToOthersIsMadePrivate) {
    prepareFolder();
    ::chmod(QFile::encodeName(folder()).constData(), 0755);
    SheetStore store(folder());
    struct stat info {};
    ASSERT_EQ(::stat(QFile::encodeName(folder()).constData(), &info), 0);
    EXPECT_EQ(info.st_mode & 0777, 0700u);
}

TEST_F(SheetStoreTest, RecordsLoadSortedByOrderKeepingTiesInFileOrder) {
    prepareFolder();
    writeFile(path(QStringLiteral("index.json")), R"([
        {"id":"AAAAAAAA-0000-0000-0000-000000000003","title":"three","created":0,"modified":0,"order":3},
        {"id":"AAAAAAAA-0000-0000-0000-000000000000","title":"zero","created":0,"modified":0,"order":0},
        {"id":"AAAAAAAA-0000-0000-0000-000000000002","title":"two a","created":0,"modified":0,"order":2},
        {"id":"aaaaaaaa-0000-0000-0000-00000000000b","title":"two b","created":0,"modified":0,"order":2},
        {"id":"00000000-0000-0000-0000-000000000001","title":"Quick","created":0.5,"modified":1e9,"order":-1}])");
    SheetStore store(folder());
    QStringList titles;
    for (const auto& r : store.records()) titles << r.title;
    EXPECT_EQ(titles, (QStringList{"Quick", "zero", "two a", "two b", "three"}));
    EXPECT_EQ(store.records()[0].created.toMSecsSinceEpoch(), 978307200500);
}

TEST_F(SheetStoreTest, UntitledSheetsTakeTheFirstFreeNumberAndTheNextOrder) {
    SheetStore store(folder());
    QUuid first = store.createSheet();
    EXPECT_EQ(store.record(first)->order, 0);
    EXPECT_EQ(store.record(first)->title, "Sheet 1");
    QUuid third = store.createSheet(QStringLiteral("Sheet 3"));
    EXPECT_EQ(store.record(third)->order, 1);
    EXPECT_EQ(store.record(store.createSheet())->title, "Sheet 2");
    EXPECT_EQ(store.record(store.createSheet())->title, "Sheet 4");
    // Saved at once, and read back the same by a new store.
    SheetStore reopened(folder());
    EXPECT_EQ(reopened.records(), store.records());
    EXPECT_EQ(readFile(path(SheetStore::idText(first) + ".txt")), QByteArray());
}

TEST_F(SheetStoreTest, LineEndsAreNormalisedInMemoryAndOnDisk) {
    SheetStore store(folder());
    store.setText(QStringLiteral("a\r\nb\rc"), SheetStore::quickSheetID);
    EXPECT_EQ(store.text(SheetStore::quickSheetID), "a\nb\nc");
    store.save();
    EXPECT_EQ(readFile(path(quickFile)), "a\nb\nc");
    writeFile(path(quickFile), "x\r\ny");
    EXPECT_EQ(SheetStore(folder()).text(SheetStore::quickSheetID), "x\ny");
}

// A save timer the test fires itself: it records how it was started.
class ManualSaveTimer final : public SaveTimer {
public:
    struct State {
        int starts = 0;
        std::chrono::milliseconds delay{};
        bool active = false;
    };
    explicit ManualSaveTimer(State& state) : state_(state) {}
    void start(std::chrono::milliseconds delay) override {
        ++state_.starts;
        state_.delay = delay;
        state_.active = true;
    }
    void stop() override { state_.active = false; }
    bool isActive() const override { return state_.active; }
    // What the event loop does when the delay has passed.
    void fire() {
        if (!state_.active) return;
        state_.active = false;
        emit timeout();
    }

private:
    State& state_;
};

TEST_F(SheetStoreTest, ABurstOfEditsIsWrittenOnceAfterTheLastEdit) {
    ManualSaveTimer::State timer;
    auto owned = std::make_unique<ManualSaveTimer>(timer);
    ManualSaveTimer& saveTimer = *owned;
    SheetStore store(folder(), Clock::system(), std::move(owned));
    int saves = 0;
    QObject::connect(&store, &SheetStore::saveStateChanged, [&] { ++saves; });

    for (int i = 1; i <= 10; ++i) store.setText(QStringLiteral("edit %1").arg(i), SheetStore::quickSheetID);
    // Each edit restarts the wait: the save comes half a second after the last one.
    EXPECT_EQ(timer.starts, 10);
    EXPECT_EQ(timer.delay, SheetStore::saveDelay);
    EXPECT_TRUE(store.isSaveScheduled());
    EXPECT_EQ(saves, 0);
    EXPECT_EQ(readFile(path(quickFile)), QByteArray());
    EXPECT_EQ(store.text(SheetStore::quickSheetID), "edit 10");
    EXPECT_TRUE(store.hasPendingChanges());

    saveTimer.fire();
    EXPECT_EQ(saves, 1);
    EXPECT_EQ(readFile(path(quickFile)), "edit 10");
    EXPECT_FALSE(store.hasPendingChanges());
    EXPECT_FALSE(store.isSaveScheduled());
}

TEST_F(SheetStoreTest, ASaveAtOnceCancelsTheWaitingOne) {
    ManualSaveTimer::State timer;
    SheetStore store(folder(), Clock::system(), std::make_unique<ManualSaveTimer>(timer));
    store.setText(QStringLiteral("typed"), SheetStore::quickSheetID);
    ASSERT_TRUE(timer.active);
    store.createSheet();  // writes everything now
    EXPECT_FALSE(timer.active);
    EXPECT_EQ(readFile(path(quickFile)), "typed");
    EXPECT_FALSE(store.hasPendingChanges());
}

TEST_F(SheetStoreTest, ALockHeldElsewhereNeverBlocksTheDelayedSaveWhichLandsWhenItIsFree) {
    ManualSaveTimer::State timer;
    auto owned = std::make_unique<ManualSaveTimer>(timer);
    ManualSaveTimer& saveTimer = *owned;
    SheetStore store(folder(), Clock::system(), std::move(owned));
    const QString lockFile = path(QStringLiteral("index.lock"));
    testing::LockHolder other(lockFile);
    ASSERT_TRUE(other.held());

    store.setText(QStringLiteral("typed while locked"), SheetStore::quickSheetID);
    saveTimer.fire();  // returns at once: the lock is only tried
    EXPECT_EQ(readFile(path(quickFile)), "");
    EXPECT_TRUE(store.hasPendingChanges());
    ASSERT_TRUE(store.lastError().has_value());
    EXPECT_TRUE(store.lastError()->contains(lockFile)) << store.lastError()->toStdString();
    EXPECT_TRUE(timer.active);  // tried again soon
    EXPECT_EQ(timer.delay, SheetStore::lockRetryDelay);

    // A change that must happen now waits no longer than the store's lock wait, then says so.
    store.setLockWait(std::chrono::milliseconds(50));
    try {
        store.createSheet();
        ADD_FAILURE() << "created while locked";
    } catch (const StorageError& e) {
        EXPECT_EQ(e.kind(), StorageError::Kind::locked);
        EXPECT_TRUE(e.message().contains(lockFile)) << e.what();
    }
    EXPECT_EQ(store.records().size(), 1u);

    other.release();
    saveTimer.fire();
    EXPECT_EQ(readFile(path(quickFile)), "typed while locked");
    EXPECT_FALSE(store.hasPendingChanges());
    EXPECT_EQ(store.lastError(), std::nullopt);
    EXPECT_FALSE(timer.active);
}

TEST_F(SheetStoreTest, AppendingStartsANewLineAndSavesAtOnce) {
    struct Case {
        const char* before;
        const char* appended;
        const char* after;
    };
    for (const Case& c : {Case{"1+1", "2+2", "1+1\n2+2"}, Case{"1+1\n", "2+2", "1+1\n2+2"}, Case{"", "2+2", "2+2"},
                          Case{"1", "a\r\nb\rc", "1\na\nb\nc"}, Case{"1\n\n", "2", "1\n\n2"}}) {
        QTemporaryDir dir;
        QString sheets = dir.path() + QStringLiteral("/Sheets");
        SheetStore store(sheets);
        store.setText(QString::fromUtf8(c.before), SheetStore::quickSheetID);
        store.save();
        EXPECT_EQ(store.appendToQuickSheet(QString::fromUtf8(c.appended)), QString::fromUtf8(c.after)) << c.before;
        EXPECT_EQ(readFile(sheets + u'/' + quickFile), QByteArray(c.after)) << c.before;
    }
}

TEST_F(SheetStoreTest, TheQuickSheetCannotBeDeleted) {
    SheetStore store(folder());
    QUuid other = store.createSheet(QStringLiteral("Other"));
    auto records = store.records();
    QByteArray index = readFile(path(QStringLiteral("index.json")));
    try {
        store.deleteSheet(SheetStore::quickSheetID);
        FAIL() << "deleted the quick sheet";
    } catch (const StorageError& e) {
        EXPECT_EQ(e.kind(), StorageError::Kind::protectedSheet);
    }
    EXPECT_EQ(store.records(), records);
    EXPECT_EQ(readFile(path(QStringLiteral("index.json"))), index);
    EXPECT_TRUE(QFile::exists(path(quickFile)));

    store.deleteSheet(other);
    EXPECT_EQ(store.record(other), nullptr);
    EXPECT_FALSE(QFile::exists(path(SheetStore::idText(other) + ".txt")));
    EXPECT_EQ(SheetStore(folder()).records().size(), 1u);
}

TEST_F(SheetStoreTest, AFailedWriteIsReportedKeptPendingAndClearedByTheNextSave) {
    SheetStore store(folder());
    std::vector<std::optional<QString>> reports;
    QObject::connect(&store, &SheetStore::saveStateChanged,
                     [&](const std::optional<QString>& e) { reports.push_back(e); });

    ASSERT_TRUE(QDir(folder()).removeRecursively());
    store.setText(QStringLiteral("keep me"), SheetStore::quickSheetID);
    EXPECT_THROW(store.save(), StorageError);
    ASSERT_EQ(reports.size(), 1u);
    ASSERT_TRUE(reports[0].has_value());
    EXPECT_TRUE(reports[0]->contains(folder())) << reports[0]->toStdString();
    EXPECT_EQ(store.lastError(), reports[0]);

    ASSERT_TRUE(QDir().mkpath(folder()));
    store.save();
    ASSERT_EQ(reports.size(), 2u);
    EXPECT_EQ(reports[1], std::nullopt);
    EXPECT_EQ(store.lastError(), std::nullopt);
    EXPECT_EQ(readFile(path(quickFile)), "keep me");
}

TEST_F(SheetStoreTest, FilesAreReplacedNotRewrittenInPlace) {
    SheetStore store(folder());
    store.setText(QStringLiteral("old"), SheetStore::quickSheetID);
    store.save();
    // A hard link still names the old file after an atomic replacement; an in-place write
    // would change it too.
    QString link = root.path() + QStringLiteral("/link.txt");
    ASSERT_EQ(::link(QFile::encodeName(path(quickFile)).constData(), QFile::encodeName(link).constData()), 0);
    store.setText(QStringLiteral("new"), SheetStore::quickSheetID);
    store.save();
    EXPECT_EQ(readFile(link), "old");
    EXPECT_EQ(readFile(path(quickFile)), "new");
    EXPECT_EQ(QDir(folder()).entryList(QDir::Files | QDir::Hidden),
              (QStringList{quickFile, QStringLiteral("index.json"), QStringLiteral("index.lock")}));
}

TEST_F(SheetStoreTest, AFailedAppendLeavesTheIndexExactlyAsItWas) {
    // A clock that moves: any rewrite of the index would carry a new modification date.
    testing::ManualClock clock(std::chrono::system_clock::time_point(std::chrono::milliseconds(1796547601000)));
    SheetStore store(folder(), clock);
    store.appendToQuickSheet(QStringLiteral("n = 1"));
    const QString indexFile = path(QStringLiteral("index.json"));
    const QByteArray index = readFile(indexFile);
    const QDateTime indexTime = QFileInfo(indexFile).lastModified();

    // Full at once, and full midway through the text: the text write fails, so nothing else
    // is written.
    for (std::size_t capacity : {std::size_t{0}, std::size_t{4}}) {
        clock.advance(std::chrono::seconds(1));
        testing::FailingDevice full(capacity);
        store.setFileDevice(full);
        try {
            store.appendToQuickSheet(QStringLiteral("x = 2"));
            ADD_FAILURE() << capacity;
        } catch (const StorageError& e) {
            EXPECT_EQ(e.message(), QStringLiteral("Could not save “%1”: No space left on device").arg(path(quickFile)))
                << capacity;
            EXPECT_EQ(store.lastError(), e.message());
        }
        EXPECT_EQ(readFile(path(quickFile)), "n = 1") << capacity;
        EXPECT_EQ(readFile(indexFile), index) << capacity;
        EXPECT_EQ(QFileInfo(indexFile).lastModified(), indexTime) << capacity;
        EXPECT_EQ(QDir(folder()).entryList(QDir::Files).size(), 3) << capacity;  // no temporaries
        EXPECT_FALSE(store.hasPendingChanges()) << capacity;                     // nothing left to appear later
    }

    // Room for the text but not the index: the line is saved, so the append stands (a retry
    // would add it twice); the index keeps its old date until the next save writes it.
    clock.advance(std::chrono::seconds(1));
    testing::FailingDevice almost(std::string_view("n = 1\nx = 2").size());
    store.setFileDevice(almost);
    EXPECT_EQ(store.appendToQuickSheet(QStringLiteral("x = 2")), "n = 1\nx = 2");
    EXPECT_EQ(readFile(path(quickFile)), "n = 1\nx = 2");
    EXPECT_EQ(readFile(indexFile), index);
    ASSERT_TRUE(store.lastError().has_value());
    EXPECT_TRUE(store.lastError()->contains(indexFile)) << store.lastError()->toStdString();
    EXPECT_TRUE(store.hasPendingChanges());

    store.setFileDevice(FileDevice::system());
    store.save();
    EXPECT_EQ(store.lastError(), std::nullopt);
    EXPECT_EQ(readFile(path(quickFile)), "n = 1\nx = 2");
    EXPECT_EQ(SheetStore(folder()).records(), store.records());
}

TEST_F(SheetStoreTest, TwoStoresOnOneFolderKeepEachOthersChanges) {
    // Two programs with the folder open: each change starts from what the other saved.
    SheetStore window(folder());
    SheetStore command(folder());
    QUuid budget = window.createSheet(QStringLiteral("Budget"));
    command.appendToQuickSheet(QStringLiteral("a = 1"));
    window.appendToQuickSheet(QStringLiteral("b = 2"));
    QUuid second = command.createSheet();
    window.setText(QStringLiteral("rent 100"), budget);
    window.save();
    command.deleteSheet(second);

    SheetStore fresh(folder());
    QStringList titles;
    for (const auto& r : fresh.records()) titles << r.title;
    EXPECT_EQ(titles, (QStringList{"Quick", "Budget"}));
    EXPECT_EQ(fresh.text(SheetStore::quickSheetID), QStringLiteral("a = 1\nb = 2"));
    EXPECT_EQ(fresh.text(budget), QStringLiteral("rent 100"));
    EXPECT_EQ(window.records().size(), 3u);  // its last save learnt of the sheet made elsewhere
}

TEST_F(SheetStoreTest, StoredFilesThatAreNotRegularFilesAreRefusedAtOnce) {
    { SheetStore store(folder()); }
    const QString quick = path(quickFile);
    ASSERT_TRUE(QFile::remove(quick));
    ASSERT_EQ(::mkfifo(QFile::encodeName(quick).constData(), 0600), 0);
    SheetStore store(folder());
    try {
        store.appendToQuickSheet(QStringLiteral("1"));
        ADD_FAILURE();
    } catch (const StorageError& e) {
        EXPECT_EQ(e.message(), QStringLiteral("Could not read the sheet “%1”: it is not a regular file").arg(quick));
    }

    const QString index = path(QStringLiteral("index.json"));
    ASSERT_TRUE(QFile::remove(index));
    ASSERT_EQ(::mkfifo(QFile::encodeName(index).constData(), 0600), 0);
    try {
        SheetStore again(folder());
        ADD_FAILURE();
    } catch (const StorageError& e) {
        EXPECT_EQ(e.message(),
                  QStringLiteral("Could not read the sheet index “%1”: it is not a regular file").arg(index));
    }
}

TEST_F(SheetStoreTest, AnAppendBeyondTheSizeLimitIsRefusedWhole) {
    SheetStore store(folder());
    store.appendToQuickSheet(QString(SheetStore::maxTextBytes - 10, u'1'));
    try {
        store.appendToQuickSheet(QStringLiteral("+ 1234567890"));
        ADD_FAILURE();
    } catch (const StorageError& e) {
        EXPECT_EQ(e.message(),
                  QStringLiteral("Could not add to the quick sheet: it would be larger than the 64 MiB limit"));
    }
    EXPECT_EQ(QFileInfo(path(quickFile)).size(), static_cast<qint64>(SheetStore::maxTextBytes - 10));
}

TEST_F(SheetStoreTest, ADamagedIndexStopsConstructionAndIsLeftAsItWas) {
    const char* const bad[] = {
        "",
        "[{",
        "{}",
        R"([{"title":"t","created":0,"modified":0,"order":0}])",
        R"([{"id":"not-a-uuid","title":"t","created":0,"modified":0,"order":0}])",
        R"([{"id":"AAAAAAAA-0000-0000-0000-000000000001","title":7,"created":0,"modified":0,"order":0}])",
        R"([{"id":"AAAAAAAA-0000-0000-0000-000000000001","title":"t","created":"today","modified":0,"order":0}])",
        R"([{"id":"AAAAAAAA-0000-0000-0000-000000000001","title":"t","created":0,"modified":0,"order":1.5}])",
        R"([{"id":"AAAAAAAA-0000-0000-0000-000000000001","title":"t","created":0,"modified":1e300,"order":0}])",
        R"([7])",
    };
    for (const char* bytes : bad) {
        QTemporaryDir dir;
        QString sheets = dir.path() + QStringLiteral("/Sheets");
        ASSERT_TRUE(QDir().mkpath(sheets));
        writeFile(sheets + QStringLiteral("/index.json"), bytes);
        try {
            SheetStore store(sheets);
            ADD_FAILURE() << "accepted: " << bytes;
        } catch (const StorageError& e) {
            EXPECT_EQ(e.kind(), StorageError::Kind::damagedIndex) << bytes;
            EXPECT_TRUE(e.message().contains(sheets + QStringLiteral("/index.json"))) << e.what();
        }
        EXPECT_EQ(readFile(sheets + QStringLiteral("/index.json")), QByteArray(bytes));
        EXPECT_FALSE(QFile::exists(sheets + u'/' + quickFile)) << bytes;
    }
}

TEST_F(SheetStoreTest, ALostQuickRecordKeepsTheQuickSheetsText) {
    prepareFolder();
    writeFile(path(quickFile), "my notes\n12 * 3");
    SheetStore store(folder());
    EXPECT_EQ(store.text(SheetStore::quickSheetID), "my notes\n12 * 3");
    EXPECT_EQ(readFile(path(quickFile)), "my notes\n12 * 3");
    ASSERT_NE(store.record(SheetStore::quickSheetID), nullptr);
    EXPECT_EQ(SheetStore(folder()).records().size(), 1u);
}

TEST_F(SheetStoreTest, AMissingTextFileFailsOnlyWhenRead) {
    SheetStore store(folder());
    QUuid id = store.createSheet();
    ASSERT_TRUE(QFile::remove(path(SheetStore::idText(id) + ".txt")));
    SheetStore reopened(folder());
    EXPECT_THROW(reopened.text(id), StorageError);
    EXPECT_EQ(reopened.text(SheetStore::quickSheetID), "");
}

TEST(SheetStoreIndex, RecordsSurviveTheRoundTripAndSlashesAreEscaped) {
    std::vector<SheetStore::Record> records = {
        {SheetStore::quickSheetID, "Quick", QDateTime::fromMSecsSinceEpoch(978307200000, Qt::UTC),
         QDateTime::fromMSecsSinceEpoch(1796515351123, Qt::UTC), -1},
        {QUuid::createUuid(), QString::fromUtf8("Chi tiêu 1/2 \"Tết\"\n\t✓"),
         QDateTime::fromMSecsSinceEpoch(0, Qt::UTC), QDateTime::fromMSecsSinceEpoch(-5, Qt::UTC),
         std::numeric_limits<std::int64_t>::max()},
    };
    QByteArray json = SheetStore::encodeIndex(records);
    EXPECT_TRUE(json.contains(R"(Chi tiêu 1\/2 \"Tết\"\n\t✓)")) << json.constData();
    EXPECT_TRUE(json.contains(R"("created":0,"modified":818208151.123,"order":-1})")) << json.constData();
    EXPECT_EQ(SheetStore::decodeIndex(json), records);
}

}  // namespace
}  // namespace quibsum

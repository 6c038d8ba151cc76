// The sheet store sharing its folder with other writers: the built `quibsum append` run as a
// second process, a second store (another session on the same data folder), and a program
// that rewrites a sheet's file. Lines added at the end are merged; any other change is kept,
// never written over; texts that are not UTF-8 are never written.

#include <gtest/gtest.h>

#include <QDir>
#include <QFile>
#include <QSaveFile>
#include <QTemporaryDir>

#include <vector>

#include "QuibSum/storage/SheetStore.h"
#include "tests/app/SecondWriter.h"

namespace quibsum {
namespace {

using Kind = SheetStore::OutsideChange::Kind;

QByteArray readFile(const QString& path) {
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray("<missing>");
}

// As an editor saves: a new file renamed over the old one.
void replaceFile(const QString& path, const QByteArray& bytes) {
    QSaveFile file(path);
    ASSERT_TRUE(file.open(QIODevice::WriteOnly));
    file.write(bytes);
    ASSERT_TRUE(file.commit());
}

class SheetStoreSharingTest : public ::testing::Test {
protected:
    QString data() const { return root.path() + QStringLiteral("/QuibSum"); }
    QString folder() const { return data() + QStringLiteral("/Sheets"); }
    QString quickPath() const { return folder() + QStringLiteral("/00000000-0000-0000-0000-000000000001.txt"); }

    void appendElsewhere(const QString& text) { testing::appendElsewhere(data(), text); }

    void watch(SheetStore& store) {
        QObject::connect(&store, &SheetStore::changedOutside,
                         [this](const SheetStore::OutsideChange& c) { changes.push_back(c); });
    }

    QTemporaryDir root;
    std::vector<SheetStore::OutsideChange> changes;
};

TEST_F(SheetStoreSharingTest, LinesAppendedElsewhereAreMergedIntoTheNextSave) {
    struct Case {
        const char* stored;    // what the window loaded
        const char* typed;     // what it shows when it saves
        const char* appended;  // by `quibsum append`
        const char* saved;
        const char* added;  // what the window is told to add at its end
    };
    const Case cases[] = {
        {"win = 1", "win = 1 + 1", "from cron = 2", "win = 1 + 1\nfrom cron = 2", "\nfrom cron = 2"},
        {"a\n", "a\nb", "c", "a\nb\nc", "\nc"},
        {"", "typed", "x\ny", "typed\nx\ny", "\nx\ny"},
        {"a", "", "z", "z", "z"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.typed);
        ASSERT_TRUE(QDir(data()).removeRecursively());
        changes.clear();
        SheetStore window(folder());
        window.setText(QString::fromUtf8(c.stored), SheetStore::quickSheetID);
        window.save();
        watch(window);
        window.setText(QString::fromUtf8(c.typed), SheetStore::quickSheetID);

        appendElsewhere(QString::fromUtf8(c.appended));
        window.save();

        EXPECT_EQ(readFile(quickPath()), QByteArray(c.saved));
        ASSERT_EQ(changes.size(), 1u);
        EXPECT_EQ(changes[0].kind, Kind::appended);
        EXPECT_EQ(changes[0].id, SheetStore::quickSheetID);
        EXPECT_EQ(changes[0].text, QString::fromUtf8(c.added));
        EXPECT_EQ(window.text(SheetStore::quickSheetID), QString::fromUtf8(c.saved));
        EXPECT_EQ(window.records().size(), 1u);
    }
}

TEST_F(SheetStoreSharingTest, AnotherChangeIsKeptAsASheetOfItsOwnNeverWrittenOver) {
    const QByteArray others[] = {
        "b = 5",              // rewritten
        "x\nwin = 1",         // a line added at the top, not the end
        "win = 12",           // text added to the last line, not a new line
        "Caf\xE9 = 3\n",      // not UTF-8: kept byte for byte
        "win = 1\n\xFF\xFE",  // an "append" that is not text
    };
    for (const QByteArray& other : others) {
        SCOPED_TRACE(other.toStdString());
        ASSERT_TRUE(QDir(data()).removeRecursively());
        changes.clear();
        SheetStore window(folder());
        window.setText(QStringLiteral("win = 1"), SheetStore::quickSheetID);
        window.save();
        watch(window);
        window.setText(QStringLiteral("win = 1 + 1"), SheetStore::quickSheetID);

        replaceFile(quickPath(), other);
        window.save();

        EXPECT_EQ(readFile(quickPath()), "win = 1 + 1");
        ASSERT_EQ(changes.size(), 1u);
        EXPECT_EQ(changes[0].kind, Kind::keptApart);
        const QUuid kept = changes[0].keptAs;
        ASSERT_NE(window.record(kept), nullptr);
        EXPECT_EQ(window.record(kept)->title, "Quick (changed elsewhere)");
        EXPECT_EQ(readFile(folder() + u'/' + SheetStore::idText(kept) + QStringLiteral(".txt")), other);
        // Saved with the index, so another program sees both.
        SheetStore fresh(folder());
        ASSERT_EQ(fresh.records().size(), 2u);
        EXPECT_EQ(fresh.records()[1].id, kept);
    }
}

TEST_F(SheetStoreSharingTest, TwoSessionsOnOneFolderKeepBothSessionsLines) {
    SheetStore first(folder());
    SheetStore second(folder());
    first.setText(QStringLiteral("base"), SheetStore::quickSheetID);
    first.save();
    EXPECT_EQ(second.text(SheetStore::quickSheetID), "base");
    watch(second);

    first.setText(QStringLiteral("base\nfrom first"), SheetStore::quickSheetID);
    first.save();
    second.setText(QStringLiteral("base + 1"), SheetStore::quickSheetID);
    second.save();
    EXPECT_EQ(readFile(quickPath()), "base + 1\nfrom first");
    ASSERT_EQ(changes.size(), 1u);
    EXPECT_EQ(changes[0].kind, Kind::appended);

    // The first session edits what it last saw, which the second has changed since: the
    // second session's text is kept beside the first's.
    first.setText(QStringLiteral("base\nfrom first, edited"), SheetStore::quickSheetID);
    first.save();
    EXPECT_EQ(readFile(quickPath()), "base\nfrom first, edited");
    SheetStore fresh(folder());
    ASSERT_EQ(fresh.records().size(), 2u);
    EXPECT_EQ(fresh.text(fresh.records()[1].id), "base + 1\nfrom first");
}

TEST_F(SheetStoreSharingTest, ACheckReportsChangesMadeWhileNothingIsUnsaved) {
    SheetStore window(folder());
    window.setText(QStringLiteral("a = 1"), SheetStore::quickSheetID);
    window.save();
    watch(window);
    window.checkForOutsideChanges();
    EXPECT_TRUE(changes.empty());

    appendElsewhere(QStringLiteral("b = 2"));
    window.checkForOutsideChanges();
    window.checkForOutsideChanges();  // reported once
    ASSERT_EQ(changes.size(), 1u);
    EXPECT_EQ(changes[0].kind, Kind::appended);
    EXPECT_EQ(changes[0].text, "\nb = 2");

    replaceFile(quickPath(), "c = 3\r\nd");
    window.checkForOutsideChanges();
    ASSERT_EQ(changes.size(), 2u);
    EXPECT_EQ(changes[1].kind, Kind::replaced);
    EXPECT_EQ(changes[1].text, "c = 3\nd");

    replaceFile(quickPath(), "\xC3(");
    window.checkForOutsideChanges();
    ASSERT_EQ(changes.size(), 3u);
    EXPECT_EQ(changes[2].kind, Kind::notText);
    EXPECT_TRUE(changes[2].text.contains(quickPath())) << changes[2].text.toStdString();
    EXPECT_FALSE(window.hasPendingChanges());
    EXPECT_EQ(readFile(quickPath()), "\xC3(");

    // A sheet with unsaved changes is saved at once: the merge happens there.
    replaceFile(quickPath(), "e = 5");
    window.checkForOutsideChanges();
    window.setText(QStringLiteral("e = 5 + 1"), SheetStore::quickSheetID);
    appendElsewhere(QStringLiteral("f = 6"));
    window.checkForOutsideChanges();
    EXPECT_FALSE(window.hasPendingChanges());
    EXPECT_EQ(readFile(quickPath()), "e = 5 + 1\nf = 6");
}

TEST_F(SheetStoreSharingTest, ATextThatIsNotUtf8IsReportedByNameAndNeverWritten) {
    const QByteArray bad[] = {
        "Caf\xE9 = 3\n",     // Latin-1
        "1 + 1\n\xC3",       // cut short
        "\xED\xA0\x80 = 1",  // a UTF-16 surrogate
        "\xC0\xAF",          // overlong
    };
    for (const QByteArray& bytes : bad) {
        SCOPED_TRACE(bytes.toHex().toStdString());
        ASSERT_TRUE(QDir(data()).removeRecursively());
        { SheetStore created(folder()); }
        replaceFile(quickPath(), bytes);
        SheetStore store(folder());
        try {
            store.text(SheetStore::quickSheetID);
            ADD_FAILURE() << "read as text";
        } catch (const StorageError& e) {
            EXPECT_EQ(e.kind(), StorageError::Kind::notText);
            EXPECT_TRUE(e.message().contains(quickPath())) << e.what();
        }
        EXPECT_THROW(store.appendToQuickSheet(QStringLiteral("b = 4")), StorageError);
        EXPECT_EQ(store.readOnlyText(SheetStore::quickSheetID), QString::fromUtf8(bytes));
        // Even a text handed to it for that sheet is refused, not written over it.
        store.setText(QStringLiteral("b = 4"), SheetStore::quickSheetID);
        EXPECT_THROW(store.save(), StorageError);
        EXPECT_EQ(readFile(quickPath()), bytes);
    }
    // UTF-8 (a byte-order mark included) is text.
    replaceFile(quickPath(),
                "\xEF\xBB\xBF"
                "Caf\xC3\xA9 = 3");
    EXPECT_EQ(SheetStore(folder()).text(SheetStore::quickSheetID), QStringLiteral("\uFEFFCafé = 3"));
}

}  // namespace
}  // namespace quibsum

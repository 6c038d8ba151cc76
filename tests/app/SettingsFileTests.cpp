// The settings file: private whatever the umask, replaced whole at each write, and refused
// unread and untouched when it is too large.

#include <gtest/gtest.h>
#include <sys/stat.h>

#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QSettings>
#include <QTemporaryDir>

#include <memory>
#include <optional>

#include "QuibSum/storage/SettingsFile.h"
#include "QuibSum/storage/SumSettings.h"

namespace quibsum {
namespace {

// Sets the process's umask for one test.
class Umask {
public:
    explicit Umask(mode_t mask) : saved_(::umask(mask)) {}
    ~Umask() { ::umask(saved_); }

private:
    mode_t saved_;
};

struct stat statOf(const QString& path) {
    struct stat info {};
    EXPECT_EQ(::stat(QFile::encodeName(path).constData(), &info), 0) << path.toStdString();
    return info;
}

mode_t modeOf(const QString& path) { return statOf(path).st_mode & 07777; }

const QLocale english(QLocale::English, QLocale::UnitedStates);

class SettingsFileTest : public ::testing::Test {
protected:
    QString folder() const { return dir.path() + QStringLiteral("/config/QuibSum") + suffix; }
    QString path() const { return folder() + QStringLiteral("/QuibSum.conf"); }

    std::unique_ptr<QSettings> open() { return SettingsFile::open(path(), refusal); }

    void write(const QByteArray& bytes, mode_t mode) {
        ASSERT_TRUE(QDir().mkpath(folder()));
        QFile file(path());
        ASSERT_TRUE(file.open(QIODevice::WriteOnly));
        file.write(bytes);
        file.close();
        ASSERT_EQ(::chmod(QFile::encodeName(path()).constData(), mode), 0);
    }

    QTemporaryDir dir;
    QString suffix;  // QSettings shares what it holds of a file among its objects: a case each
    std::optional<QString> refusal;
};

TEST_F(SettingsFileTest, FoldersAndFileAreCreatedPrivateWhateverTheUmask) {
    const Umask open000(0);
    // QSettings writes on its update event in a running application, or at the end without one.
    for (const bool eventLoop : {true, false}) {
        ASSERT_TRUE(QDir(dir.path() + QStringLiteral("/config")).removeRecursively());
        auto storage = open();
        EXPECT_FALSE(refusal);
        SumSettings(*storage, english).setNumberStyle(QStringLiteral("vi"));
        if (eventLoop) {
            QCoreApplication::sendPostedEvents(storage.get());
            ASSERT_TRUE(QFile::exists(path())) << "the update event did not write";
        }
        storage.reset();
        EXPECT_EQ(modeOf(dir.path() + QStringLiteral("/config")), 0700u) << eventLoop;
        EXPECT_EQ(modeOf(folder()), 0700u) << eventLoop;
        EXPECT_EQ(modeOf(path()), 0600u) << eventLoop;
        EXPECT_EQ(QSettings(path(), QSettings::IniFormat).value("numberStyle"), "vi") << eventLoop;
    }
}

TEST_F(SettingsFileTest, AFileOpenToOthersIsNarrowedAndReplacedWhole) {
    const Umask open000(0);
    write("[General]\nrateKind=sell\n", 0666);
    const ino_t before = statOf(path()).st_ino;
    {
        auto storage = open();
        SumSettings settings(*storage, english);
        EXPECT_EQ(settings.rateKind(), "sell");
        settings.setAppearance(QStringLiteral("light"));
    }
    EXPECT_EQ(modeOf(path()), 0600u);
    // A new file renamed into place: a reader never sees half of it.
    EXPECT_NE(statOf(path()).st_ino, before);
    const QSettings written(path(), QSettings::IniFormat);
    EXPECT_EQ(written.value("rateKind"), "sell");
    EXPECT_EQ(written.value("appearance"), "light");
}

TEST_F(SettingsFileTest, AFileBeyondTheLimitIsNeitherReadNorWritten) {
    const QByteArray stored = "[General]\nnumberStyle=vi\n;";
    struct Case {
        const char* what;
        qint64 size;
        bool read;
    };
    const Case cases[] = {
        {"at the limit", SettingsFile::maxBytes, true},
        {"one byte over", SettingsFile::maxBytes + 1, false},
        {"3 GiB", 3LL << 30, false},
    };
    for (const Case& c : cases) {
        suffix = QString::fromLatin1(c.what);
        // A comment fills the file to its size: spaces that are read, or a hole that is not.
        write(c.read ? stored + QByteArray(c.size - stored.size(), ' ') : stored, 0600);
        ASSERT_TRUE(QFile::resize(path(), c.size));
        {
            auto storage = open();
            SumSettings settings(*storage, english);
            EXPECT_EQ(settings.numberStyle(), QLatin1String(c.read ? "vi" : "en")) << c.what;
            EXPECT_EQ(refusal.has_value(), !c.read) << c.what;
            if (c.read) continue;
            EXPECT_TRUE(refusal->contains(QStringLiteral("1 MiB limit"))) << refusal->toStdString();
            EXPECT_TRUE(refusal->contains(path())) << refusal->toStdString();
            settings.setNumberStyle(QStringLiteral("vi"));  // in force, never stored
            EXPECT_EQ(settings.numberStyle(), "vi");
            QCoreApplication::sendPostedEvents(storage.get());
        }
        EXPECT_EQ(QFileInfo(path()).size(), c.size) << c.what;
        QFile file(path());
        ASSERT_TRUE(file.open(QIODevice::ReadOnly));
        EXPECT_EQ(file.read(stored.size()), stored) << c.what;
    }
}

TEST_F(SettingsFileTest, AFileThatGrowsBeyondTheLimitWhileOpenIsLeftAlone) {
    write("[General]\nnumberStyle=vi\n", 0600);
    auto storage = open();
    SumSettings settings(*storage, english);
    ASSERT_EQ(settings.numberStyle(), "vi");
    ASSERT_TRUE(QFile::resize(path(), 3LL << 30));
    settings.setNumberStyle(QStringLiteral("en"));
    QCoreApplication::sendPostedEvents(storage.get());
    EXPECT_EQ(settings.numberStyle(), "en");
    EXPECT_EQ(QFileInfo(path()).size(), 3LL << 30);
    ASSERT_TRUE(QFile::resize(path(), 0));  // so that the end of the test has nothing to read
}

}  // namespace
}  // namespace quibsum

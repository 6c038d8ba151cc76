// The autostart entry in a scratch folder: written with its exact text, read back, removed,
// and failures reported with their reason.

#include <gtest/gtest.h>
#include <sys/stat.h>

#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <stdexcept>

#include "QuibSum/settings/LaunchAtLogin.h"

using namespace quibsum;

namespace {

QString readAll(const QString& path) {
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly)) return {};
    return QString::fromUtf8(file.readAll());
}

TEST(LaunchAtLogin, WritesTheEntryAndRemovesIt) {
    QTemporaryDir home;
    LaunchAtLogin login(home.path() + "/config/autostart");  // the folder does not exist yet
    EXPECT_FALSE(login.isEnabled());

    login.setEnabled(true);
    EXPECT_TRUE(login.isEnabled());
    EXPECT_EQ(login.filePath(), home.path() + "/config/autostart/quibsum.desktop");
    // The entry is the one the package ships, which starts the window hidden.
    const QString written = readAll(login.filePath());
    EXPECT_EQ(written, readAll(QStringLiteral(QUIBSUM_SOURCE_DIR "/packaging/quibsum-autostart.desktop")));
    EXPECT_TRUE(written.contains(QStringLiteral("\nExec=quibsum --hidden\n"))) << written.toStdString();

    login.setEnabled(true);  // again: still one entry
    EXPECT_TRUE(login.isEnabled());
    login.setEnabled(false);
    EXPECT_FALSE(QFile::exists(login.filePath()));
    EXPECT_FALSE(login.isEnabled());
    login.setEnabled(false);  // nothing to remove is no failure
}

TEST(LaunchAtLogin, TheEntryAndTheFoldersMadeForItArePrivateWhateverTheUmask) {
    QTemporaryDir home;
    struct Umask {
        mode_t saved = ::umask(0);
        ~Umask() { ::umask(saved); }
    } open000;
    auto modeOf = [](const QString& path) {
        struct stat info {};
        EXPECT_EQ(::stat(QFile::encodeName(path).constData(), &info), 0) << path.toStdString();
        return info.st_mode & 07777;
    };
    // ~/.config exists, as a desktop made it; autostart/ does not.
    ASSERT_TRUE(QDir().mkpath(home.path() + "/config"));
    ::chmod(QFile::encodeName(home.path() + "/config").constData(), 0755);
    LaunchAtLogin login(home.path() + "/config/autostart");
    login.setEnabled(true);
    EXPECT_EQ(modeOf(home.path() + "/config/autostart"), 0700u);
    EXPECT_EQ(modeOf(login.filePath()), 0600u);
    EXPECT_EQ(modeOf(home.path() + "/config"), 0755u);  // not Quib Sum's to change

    // An entry an earlier version left writable by anyone is replaced by a private one.
    ::chmod(QFile::encodeName(login.filePath()).constData(), 0666);
    login.setEnabled(true);
    EXPECT_EQ(modeOf(login.filePath()), 0600u);
    EXPECT_EQ(readAll(login.filePath()), LaunchAtLogin::entryText());
}

TEST(LaunchAtLogin, EntryDisabledByTheDesktopCountsAsOff) {
    QTemporaryDir home;
    LaunchAtLogin login(home.path());
    for (const char* line : {"Hidden=true", "X-GNOME-Autostart-enabled=false"}) {
        QFile file(login.filePath());
        ASSERT_TRUE(file.open(QIODevice::WriteOnly));
        file.write(QByteArray("[Desktop Entry]\nExec=quibsum --hidden\n") + line + "\n");
        file.close();
        EXPECT_FALSE(login.isEnabled()) << line;
    }
}

// Whatever sits at the entry's path is read only as far as an entry could go: a link to a
// device that never ends is an entry without a line that turns it off.
TEST(LaunchAtLogin, AnEndlessFileAtTheEntrysPathIsReadNoFurtherThanAnEntry) {
    QTemporaryDir home;
    LaunchAtLogin login(home.path());
    ASSERT_TRUE(QFile::link(QStringLiteral("/dev/zero"), login.filePath()));
    EXPECT_TRUE(login.isEnabled());
}

TEST(LaunchAtLogin, FolderThatCannotBeMadeFailsWithItsName) {
    QTemporaryDir home;
    QFile blocker(home.path() + "/autostart");
    ASSERT_TRUE(blocker.open(QIODevice::WriteOnly));  // a file where the folder should be
    blocker.close();
    LaunchAtLogin login(blocker.fileName());
    try {
        login.setEnabled(true);
        FAIL() << "no error";
    } catch (const std::runtime_error& e) {
        EXPECT_TRUE(QString::fromUtf8(e.what()).contains(QDir::toNativeSeparators(blocker.fileName()))) << e.what();
    }
    EXPECT_FALSE(login.isEnabled());
}

TEST(LaunchAtLogin, StandardFolderHonoursXdgConfigHome) {
    const QByteArray saved = qgetenv("XDG_CONFIG_HOME");
    qputenv("XDG_CONFIG_HOME", "/tmp/cfg");
    EXPECT_EQ(LaunchAtLogin::standardFolder(), "/tmp/cfg/autostart");
    qputenv("XDG_CONFIG_HOME", "relative/cfg");  // not absolute: ignored, as the XDG rules say
    EXPECT_EQ(LaunchAtLogin::standardFolder(), QDir::homePath() + "/.config/autostart");
    qunsetenv("XDG_CONFIG_HOME");
    EXPECT_EQ(LaunchAtLogin::standardFolder(), QDir::homePath() + "/.config/autostart");
    if (!saved.isNull()) qputenv("XDG_CONFIG_HOME", saved);
}

}  // namespace

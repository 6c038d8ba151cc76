#include <gtest/gtest.h>

#include <QDir>
#include <QFile>
#include <QTemporaryDir>

#include "QuibSum/shell/hotkey/GnomeShortcut.h"

namespace quibsum {
namespace {

constexpr std::uint32_t space = 49;
constexpr std::uint32_t k = 40;
constexpr std::uint32_t ctrlAlt = HotKeyCombination::controlMask | HotKeyCombination::optionMask;
const QString program = QStringLiteral("/opt/Quib Sum/bin/quibsum");
const QString userEntry = QStringLiteral("/org/gnome/settings-daemon/plugins/media-keys/custom-keybindings/custom0/");

// A `gsettings` on PATH that keeps each key's value in a file of its own and records its
// calls, so the real runner is what is tested.
class FakeGsettings {
public:
    FakeGsettings() {
        const QString script = dir_.filePath(QStringLiteral("gsettings"));
        QFile file(script);
        EXPECT_TRUE(file.open(QIODevice::WriteOnly));
        file.write(R"sh(#!/bin/sh
store="$FAKE_GSETTINGS_STORE"
echo "$*" >> "$store/calls"
file="$store/$(printf '%s' "$2.$3" | tr '/:' '__')"
case "$1" in
  get) if [ -f "$file" ]; then cat "$file"; elif [ "$3" = custom-keybindings ]; then echo '@as []'; else echo "''"; fi ;;
  set) printf '%s\n' "$4" > "$file" ;;
  *) echo "unknown command $1" >&2; exit 1 ;;
esac
)sh");
        file.close();
        file.setPermissions(QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner);
        oldPath_ = qgetenv("PATH");
        qputenv("PATH", dir_.path().toUtf8() + ':' + oldPath_);
        qputenv("FAKE_GSETTINGS_STORE", dir_.path().toUtf8());
    }
    ~FakeGsettings() {
        qputenv("PATH", oldPath_);
        qunsetenv("FAKE_GSETTINGS_STORE");
    }

    void set(const QString& schema, const QString& key, const QString& value) {
        QFile file(fileFor(schema, key));
        ASSERT_TRUE(file.open(QIODevice::WriteOnly));
        file.write(value.toUtf8() + '\n');
    }
    QString get(const QString& schema, const QString& key) const {
        QFile file(fileFor(schema, key));
        if (!file.open(QIODevice::ReadOnly)) return {};
        return QString::fromUtf8(file.readAll()).trimmed();
    }
    QString entry(const QString& path, const QString& key) const {
        return get(GnomeShortcut::entrySchema + u':' + path, key);
    }
    QStringList list() const {
        if (get(GnomeShortcut::listSchema, QStringLiteral("custom-keybindings")).isEmpty()) return {};
        return GnomeShortcut::parseStrings(get(GnomeShortcut::listSchema, QStringLiteral("custom-keybindings")))
            .value_or(QStringList{QStringLiteral("unreadable")});
    }

private:
    QString fileFor(QString schema, const QString& key) const {
        QString name = schema + u'.' + key;
        name.replace(u'/', u'_').replace(u':', u'_');
        return dir_.filePath(name);
    }

    QTemporaryDir dir_;
    QByteArray oldPath_;
};

TEST(GnomeShortcut, AddsItsOwnEntryBesideTheUsersShortcuts) {
    FakeGsettings gsettings;
    gsettings.set(GnomeShortcut::listSchema, QStringLiteral("custom-keybindings"),
                  u'[' + GnomeShortcut::quoted(userEntry) + u']');
    gsettings.set(GnomeShortcut::entrySchema + u':' + userEntry, QStringLiteral("binding"),
                  QStringLiteral("'<Super>t'"));
    const GnomeShortcut shortcut(program);
    EXPECT_FALSE(shortcut.isAdded());

    EXPECT_EQ(shortcut.write({space, ctrlAlt}), std::nullopt);

    EXPECT_TRUE(shortcut.isAdded());
    EXPECT_EQ(gsettings.list(), (QStringList{userEntry, GnomeShortcut::entryPath}));
    EXPECT_EQ(gsettings.entry(GnomeShortcut::entryPath, QStringLiteral("binding")), "'<Control><Alt>space'");
    EXPECT_EQ(gsettings.entry(GnomeShortcut::entryPath, QStringLiteral("command")),
              R"('\'/opt/Quib Sum/bin/quibsum\' toggle')");
    EXPECT_EQ(gsettings.entry(GnomeShortcut::entryPath, QStringLiteral("name")), "'Quib Sum'");
    EXPECT_EQ(gsettings.entry(userEntry, QStringLiteral("binding")), "'<Super>t'")
        << "the user's shortcut is untouched";
}

TEST(GnomeShortcut, FollowsANewCombinationWithoutAddingASecondEntry) {
    FakeGsettings gsettings;
    const GnomeShortcut shortcut(QStringLiteral("/usr/bin/quibsum"));
    EXPECT_EQ(shortcut.follow({k, ctrlAlt}), std::nullopt);
    EXPECT_TRUE(gsettings.list().isEmpty()) << "following adds nothing that the user did not add";

    ASSERT_EQ(shortcut.write({space, ctrlAlt}), std::nullopt);
    EXPECT_EQ(shortcut.follow({k, ctrlAlt}), std::nullopt);

    EXPECT_EQ(gsettings.list(), QStringList{GnomeShortcut::entryPath});
    EXPECT_EQ(gsettings.entry(GnomeShortcut::entryPath, QStringLiteral("binding")), "'<Control><Alt>k'");
    EXPECT_EQ(gsettings.entry(GnomeShortcut::entryPath, QStringLiteral("command")), "'/usr/bin/quibsum toggle'");
}

TEST(GnomeShortcut, AnEntryAtItsPathThatRunsSomethingElseIsLeftAlone) {
    FakeGsettings gsettings;
    gsettings.set(GnomeShortcut::listSchema, QStringLiteral("custom-keybindings"),
                  u'[' + GnomeShortcut::quoted(GnomeShortcut::entryPath) + u']');
    gsettings.set(GnomeShortcut::entrySchema + u':' + GnomeShortcut::entryPath, QStringLiteral("command"),
                  QStringLiteral("'gnome-calculator'"));
    const GnomeShortcut shortcut(program);
    EXPECT_FALSE(shortcut.isAdded());

    const std::optional<QString> error = shortcut.write({space, ctrlAlt});

    ASSERT_TRUE(error);
    EXPECT_TRUE(error->contains(QStringLiteral("gnome-calculator"))) << error->toStdString();
    EXPECT_EQ(gsettings.entry(GnomeShortcut::entryPath, QStringLiteral("command")), "'gnome-calculator'");
    EXPECT_EQ(gsettings.entry(GnomeShortcut::entryPath, QStringLiteral("binding")), "");
}

TEST(GnomeShortcut, FailuresAreReportedAndNothingIsListed) {
    int calls = 0;
    const GnomeShortcut broken(program, [&](const QStringList& arguments) {
        ++calls;
        if (arguments.value(0) == QStringLiteral("get")) return GnomeShortcut::Outcome{true, QStringLiteral("@as []")};
        return GnomeShortcut::Outcome{false, QStringLiteral("No such schema")};
    });
    EXPECT_EQ(broken.write({space, ctrlAlt}), QStringLiteral("No such schema"));
    EXPECT_EQ(calls, 2) << "it stops at the first failed write, before the list";

    const GnomeShortcut unreadable(program, [](const QStringList&) {
        return GnomeShortcut::Outcome{true, QStringLiteral("['unterminated")};
    });
    EXPECT_TRUE(unreadable.write({space, ctrlAlt}));
    EXPECT_FALSE(unreadable.isAdded());
}

TEST(GnomeShortcut, ReadsGVariantStringArrays) {
    struct Row {
        const char* text;
        std::optional<QStringList> expected;
    };
    for (const Row& row : {
             Row{"@as []", QStringList{}},
             Row{"[]", QStringList{}},
             Row{"['/a/', '/b/']", QStringList{"/a/", "/b/"}},
             Row{R"(["it's", 'x\'y'])", QStringList{"it's", "x'y"}},
             Row{"['a',]", std::nullopt},
             Row{"['a' 'b']", std::nullopt},
             Row{"['a", std::nullopt},
             Row{"nothing", std::nullopt},
         })
        EXPECT_EQ(GnomeShortcut::parseStrings(QString::fromUtf8(row.text)), row.expected) << row.text;
    const QString odd = QStringLiteral(R"(a'b\c)");
    EXPECT_EQ(GnomeShortcut::parseStrings(u'[' + GnomeShortcut::quoted(odd) + u']'), QStringList{odd});
}

}  // namespace
}  // namespace quibsum

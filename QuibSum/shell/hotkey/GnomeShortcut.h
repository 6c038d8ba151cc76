#pragma once
// GnomeShortcut: Quib Sum's custom shortcut in GNOME's keyboard settings (the media-keys
// plugin's custom keybindings), which runs `quibsum toggle` on GNOME, where no program may own
// a global key. It lives at a path of its own in the list of custom keybindings, so the
// shortcuts the user made are never read for writing, renamed or replaced; an entry at that
// path that runs another command is the user's and is left alone. It goes through the
// `gsettings` tool, so it works with whichever backend GNOME uses.

#include <QString>
#include <QStringList>
#include <functional>
#include <optional>

#include "QuibSum/storage/HotKeyCombination.h"

namespace quibsum {

class GnomeShortcut {
public:
    struct Outcome {
        bool ok = false;
        QString output;  // standard output, or the error's text when not ok
    };
    // Runs `gsettings` with these arguments.
    using Runner = std::function<Outcome(const QStringList& arguments)>;

    static const QString listSchema;   // org.gnome.settings-daemon.plugins.media-keys
    static const QString entrySchema;  // its relocatable custom-keybinding schema
    static const QString entryPath;    // Quib Sum's own entry

    // `program` is the absolute path of `quibsum`: GNOME runs the command through no shell
    // and without the user's PATH of a terminal.
    explicit GnomeShortcut(QString program, Runner run = standardRunner());

    // Whether the list of custom shortcuts holds Quib Sum's entry (running its toggle).
    bool isAdded() const;
    // Adds the entry for the combination, or changes the one there to it. Returns what went
    // wrong, for the user, or nothing.
    std::optional<QString> write(const HotKeyCombination& combination) const;
    // Changes the entry's combination when it is there; does nothing otherwise.
    std::optional<QString> follow(const HotKeyCombination& combination) const;

    QString command() const;

    // GVariant text of a string array ("@as []", "['a', 'b']"), and of one string.
    static std::optional<QStringList> parseStrings(const QString& text);
    static QString quoted(const QString& value);
    // The standard runner: the `gsettings` on PATH, bounded in time.
    static Runner standardRunner();

private:
    std::optional<QStringList> list(QString* error) const;
    std::optional<QString> entryValue(const QString& key) const;
    QString entrySchemaAtPath() const { return entrySchema + QLatin1Char(':') + entryPath; }

    QString program_;
    Runner run_;
};

}  // namespace quibsum

#pragma once
// LaunchAtLogin: whether the desktop starts Quib Sum, hidden, when the user logs in. Kept as
// an XDG autostart entry, "quibsum.desktop" in the autostart folder, which every desktop that
// follows the freedesktop autostart rules reads.

#include <QString>

namespace quibsum {

class LaunchAtLogin {
public:
    static constexpr const char* fileName = "quibsum.desktop";

    // `$XDG_CONFIG_HOME/autostart`, or `~/.config/autostart` when that is unset or not absolute.
    static QString standardFolder();
    // The entry's full text.
    static QString entryText();

    explicit LaunchAtLogin(QString folder = standardFolder());

    const QString& folder() const { return folder_; }
    QString filePath() const;
    // An entry exists and is not hidden (a desktop's own settings may disable it that way).
    bool isEnabled() const;
    // Writes or removes the entry. Throws std::runtime_error with a user-facing description.
    void setEnabled(bool enabled);

private:
    QString folder_;
};

}  // namespace quibsum

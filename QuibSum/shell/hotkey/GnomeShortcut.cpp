#include "QuibSum/shell/hotkey/GnomeShortcut.h"

#include <QCoreApplication>
#include <QProcess>

#include "QuibSum/shell/hotkey/HotKeyAdvice.h"

namespace quibsum {

namespace {

QString tr(const char* text) { return QCoreApplication::translate("GnomeShortcut", text); }

// A path GNOME's own dialog never makes (it numbers its entries custom0, custom1, …).
constexpr const char* ownPath = "/org/gnome/settings-daemon/plugins/media-keys/custom-keybindings/quibsum/";

// The program as one word of a command line that GNOME splits like a shell.
QString shellWord(const QString& word) {
    static const QString plain = QStringLiteral("/._-+:@%,=");
    bool needsQuotes = word.isEmpty();
    for (QChar c : word)
        if (!c.isLetterOrNumber() && !plain.contains(c)) needsQuotes = true;
    if (!needsQuotes) return word;
    QString text = word;
    text.replace(QLatin1String("'"), QLatin1String("'\\''"));
    return QLatin1Char('\'') + text + QLatin1Char('\'');
}

}  // namespace

const QString GnomeShortcut::listSchema = QStringLiteral("org.gnome.settings-daemon.plugins.media-keys");
const QString GnomeShortcut::entrySchema =
    QStringLiteral("org.gnome.settings-daemon.plugins.media-keys.custom-keybinding");
const QString GnomeShortcut::entryPath = QString::fromLatin1(ownPath);

GnomeShortcut::GnomeShortcut(QString program, Runner run) : program_(std::move(program)), run_(std::move(run)) {}

QString GnomeShortcut::command() const { return shellWord(program_) + QStringLiteral(" toggle"); }

GnomeShortcut::Runner GnomeShortcut::standardRunner() {
    return [](const QStringList& arguments) {
        QProcess process;
        process.start(QStringLiteral("gsettings"), arguments);
        // gsettings answers at once; a stuck one must not hold the window for long.
        if (!process.waitForFinished(3000)) {
            process.kill();
            process.waitForFinished(1000);
            if (process.error() == QProcess::FailedToStart)
                return Outcome{false, tr("GNOME's “gsettings” tool is not installed.")};
            return Outcome{false, tr("GNOME's settings did not answer.")};
        }
        if (process.exitStatus() != QProcess::NormalExit || process.exitCode() != 0)
            return Outcome{false, QString::fromUtf8(process.readAllStandardError()).trimmed()};
        return Outcome{true, QString::fromUtf8(process.readAllStandardOutput()).trimmed()};
    };
}

std::optional<QStringList> GnomeShortcut::parseStrings(const QString& text) {
    QString rest = text.trimmed();
    if (rest.startsWith(QLatin1String("@as"))) rest = rest.mid(3).trimmed();
    if (!rest.startsWith(QLatin1Char('[')) || !rest.endsWith(QLatin1Char(']'))) return std::nullopt;
    QStringList strings;
    qsizetype i = 1;
    const qsizetype end = rest.size() - 1;
    bool expectItem = true;
    while (i < end) {
        const QChar c = rest[i];
        if (c.isSpace()) {
            ++i;
        } else if (c == QLatin1Char(',') && !expectItem) {
            expectItem = true;
            ++i;
        } else if ((c == QLatin1Char('\'') || c == QLatin1Char('"')) && expectItem) {
            QString item;
            ++i;
            while (i < end && rest[i] != c) {
                if (rest[i] == QLatin1Char('\\') && i + 1 < end) ++i;
                item += rest[i++];
            }
            if (i >= end) return std::nullopt;  // unterminated
            ++i;
            strings << item;
            expectItem = false;
        } else {
            return std::nullopt;
        }
    }
    if (expectItem && !strings.isEmpty()) return std::nullopt;  // a trailing comma
    return strings;
}

QString GnomeShortcut::quoted(const QString& value) {
    QString text = value;
    text.replace(QLatin1String("\\"), QLatin1String("\\\\"));
    text.replace(QLatin1String("'"), QLatin1String("\\'"));
    return QLatin1Char('\'') + text + QLatin1Char('\'');
}

std::optional<QStringList> GnomeShortcut::list(QString* error) const {
    const Outcome got = run_({QStringLiteral("get"), listSchema, QStringLiteral("custom-keybindings")});
    if (!got.ok) {
        if (error) *error = got.output;
        return std::nullopt;
    }
    std::optional<QStringList> paths = parseStrings(got.output);
    if (!paths && error) *error = tr("GNOME's list of custom shortcuts could not be read.");
    return paths;
}

std::optional<QString> GnomeShortcut::entryValue(const QString& key) const {
    const Outcome got = run_({QStringLiteral("get"), entrySchemaAtPath(), key});
    if (!got.ok) return std::nullopt;
    const std::optional<QStringList> value = parseStrings(QLatin1Char('[') + got.output + QLatin1Char(']'));
    if (!value || value->size() != 1) return std::nullopt;
    return value->front();
}

bool GnomeShortcut::isAdded() const {
    const std::optional<QStringList> paths = list(nullptr);
    if (!paths || !paths->contains(entryPath)) return false;
    const std::optional<QString> command = entryValue(QStringLiteral("command"));
    return command && command->endsWith(QLatin1String(" toggle")) && command->contains(QLatin1String("quibsum"));
}

std::optional<QString> GnomeShortcut::write(const HotKeyCombination& combination) const {
    const std::optional<QString> binding = HotKeyAdvice::gnomeBinding(combination);
    if (!binding) return tr("GNOME cannot bind %1.").arg(combination.label());
    QString error;
    std::optional<QStringList> paths = list(&error);
    if (!paths) return error;
    if (paths->contains(entryPath)) {
        // Someone made an entry at this path by hand; it is theirs.
        const std::optional<QString> existing = entryValue(QStringLiteral("command"));
        if (existing && !existing->isEmpty() &&
            !(existing->endsWith(QLatin1String(" toggle")) && existing->contains(QLatin1String("quibsum"))))
            return tr("GNOME already has a custom shortcut of the same name that runs “%1”; it was left as it is.")
                .arg(*existing);
    }
    // The entry first, the list last: GNOME never sees a listed entry without its command.
    const std::pair<QString, QString> values[] = {
        {QStringLiteral("name"), QStringLiteral("Quib Sum")},
        {QStringLiteral("command"), command()},
        {QStringLiteral("binding"), *binding},
    };
    for (const auto& [key, value] : values) {
        const Outcome set = run_({QStringLiteral("set"), entrySchemaAtPath(), key, quoted(value)});
        if (!set.ok) return set.output;
    }
    if (paths->contains(entryPath)) return std::nullopt;
    paths->append(entryPath);
    QStringList items;
    for (const QString& path : *paths) items << quoted(path);
    const Outcome set = run_({QStringLiteral("set"), listSchema, QStringLiteral("custom-keybindings"),
                              QLatin1Char('[') + items.join(QStringLiteral(", ")) + QLatin1Char(']')});
    if (!set.ok) return set.output;
    return std::nullopt;
}

std::optional<QString> GnomeShortcut::follow(const HotKeyCombination& combination) const {
    if (!isAdded()) return std::nullopt;
    return write(combination);
}

}  // namespace quibsum

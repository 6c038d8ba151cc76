#pragma once
// SumBusAddress: where the running Quib Sum is found on the session bus, and the names of the
// errors it answers with. One instance serves one data folder: a folder chosen with
// QUIBSUM_DATA_DIR (AppPaths::dataDirectoryChosen) gets a name of its own, so a program started on a scratch folder (a
// test, a script) never reaches, or blocks, the instance that holds the user's sheets.

#include <QDBusConnection>
#include <QString>
#include <optional>

namespace quibsum::SumBusAddress {

inline constexpr char defaultServiceName[] = "org.quibsum.QuibSum";
inline constexpr char objectPath[] = "/org/quibsum/QuibSum";
inline constexpr char interfaceName[] = "org.quibsum.QuibSum1";

// The engine refused the expression; the message is the engine's.
inline constexpr char engineError[] = "org.quibsum.QuibSum1.Error.Engine";
// The text is not one expression with a value.
inline constexpr char notExpressionError[] = "org.quibsum.QuibSum1.Error.NotExpression";
// The quick sheet could not be written; the message names the file and the problem.
inline constexpr char storageError[] = "org.quibsum.QuibSum1.Error.Storage";
// The instance is still starting (or failed to start) and has no window to act on.
inline constexpr char unavailableError[] = "org.quibsum.QuibSum1.Error.Unavailable";
// The call came after the deadline its caller set; nothing was done.
inline constexpr char expiredError[] = "org.quibsum.QuibSum1.Error.Expired";
// append-selection found no selected or copied text.
inline constexpr char noSelectionError[] = "org.quibsum.QuibSum1.Error.NoSelection";
inline constexpr char invalidArgsError[] = "org.freedesktop.DBus.Error.InvalidArgs";

// The well-known name for the sheets in `dataDirectory` (AppPaths::dataDirectory()).
QString serviceName(const QString& dataDirectory);
// The well-known name for this process's data folder, or the default one when there is no
// home folder to find it in.
QString serviceName();

// The session bus, when the session has one. Never starts a bus: without an address in
// DBUS_SESSION_BUS_ADDRESS or a socket at $XDG_RUNTIME_DIR/bus there is none, rather than a
// private daemon started behind the user's back that would outlive the command.
std::optional<QDBusConnection> sessionBus();

}  // namespace quibsum::SumBusAddress

#pragma once
// Ends the application's event loop, as a quit from its menu would, when the process is asked
// to terminate (SIGTERM, SIGINT, SIGHUP: a logout, a service manager, Ctrl+C in a terminal),
// so that what was typed in the last half second is saved before the process ends.

class QObject;

namespace quibsum {

// Installs the handlers; the loop is told through a pipe, the only safe way out of a handler.
void quitOnTerminationSignals(QObject* parent);

}  // namespace quibsum

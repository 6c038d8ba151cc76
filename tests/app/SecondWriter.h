#pragma once
// The built `quibsum append TEXT` run as cron or ssh runs it: no session bus and no display, so
// it writes the quick sheet of `dataFolder` itself, through its own store, under the folder's
// lock. A real second writer for the tests of the store and the window.

#include <gtest/gtest.h>

#include <QProcess>
#include <QString>

namespace quibsum::testing {

inline void appendElsewhere(const QString& dataFolder, const QString& text) {
    QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
    for (const char* name : {"DBUS_SESSION_BUS_ADDRESS", "DISPLAY", "WAYLAND_DISPLAY"}) env.remove(name);
    // Where a session bus would otherwise be looked for.
    env.insert(QStringLiteral("XDG_RUNTIME_DIR"), dataFolder);
    env.insert(QStringLiteral("HOME"), dataFolder);
    env.insert(QStringLiteral("QUIBSUM_DATA_DIR"), dataFolder);
    env.insert(QStringLiteral("QUIBSUM_CONFIG_DIR"), dataFolder + QStringLiteral("/config"));
    QProcess program;
    program.setProcessEnvironment(env);
    program.start(QStringLiteral(QUIBSUM_PROGRAM),
                  {QStringLiteral("append"), QStringLiteral("--rates"),
                   QStringLiteral(QUIBSUM_SOURCE_DIR "/tests/fixtures/app/rates.json"), text});
    ASSERT_TRUE(program.waitForFinished(60000));
    ASSERT_EQ(program.exitCode(), 0) << program.readAllStandardError().toStdString();
}

}  // namespace quibsum::testing

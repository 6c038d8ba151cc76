#pragma once
// A desktop application's long-lived objects on temporary folders: the sheet store, the
// settings and a runtime whose rate feeds are answered by a fake.

#include <QSettings>
#include <QStringList>
#include <QTemporaryDir>

#include <memory>

#include "QuibSum/shell/SumRuntime.h"
#include "QuibSum/storage/SheetStore.h"
#include "tests/support/RateTestSupport.h"

namespace quibsum::testing {

// Lines "N * 1" for N from `first`, `count` of them, joined by line feeds.
inline QString numberedLines(int first, int count) {
    QStringList lines;
    for (int n = first; n < first + count; ++n) lines << QStringLiteral("%1 * 1").arg(n);
    return lines.join(u'\n');
}

struct ShellFixture {
    QTemporaryDir dir;
    QSettings settings{dir.path() + QStringLiteral("/QuibSum.conf"), QSettings::IniFormat};
    std::shared_ptr<FakeRateRequester> feeds = std::make_shared<FakeRateRequester>();
    SheetStore store{dir.path() + QStringLiteral("/Sheets")};
    SumRuntime runtime{settings, feeds, std::filesystem::path(dir.path().toStdString()) / "rates.json",
                       LiveRateStore::Options{"vcb", "erapi", std::chrono::milliseconds(1000)}};
};

}  // namespace quibsum::testing

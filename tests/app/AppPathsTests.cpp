#include <gtest/gtest.h>

#include "QuibSum/storage/AppPaths.h"
#include "tests/support/RateTestSupport.h"

namespace quibsum {
namespace {

// The sheets, the rate cache and the session bus's name all follow the one data folder, under
// every combination of the variables that choose it.
TEST(AppPaths, TheDataFolderFollowsItsVariables) {
    struct Case {
        const char* name;
        const char* dataDir;
        const char* dataHome;
        const char* expected;
        bool chosen;
    };
    const Case cases[] = {
        {"chosen folder first", "/tmp/qs", "/xdg", "/tmp/qs", true},
        {"an empty choice counts as none", "", "/xdg", "/xdg/QuibSum", false},
        {"the desktop's data folder", nullptr, "/xdg", "/xdg/QuibSum", false},
        {"a relative data home is ignored", nullptr, "relative/path", "/home/someone/.local/share/QuibSum", false},
        {"the home folder last", nullptr, nullptr, "/home/someone/.local/share/QuibSum", false},
    };
    testing::ScopedEnvironment home("HOME", "/home/someone");
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        testing::ScopedEnvironment data("QUIBSUM_DATA_DIR", c.dataDir), xdg("XDG_DATA_HOME", c.dataHome);
        EXPECT_EQ(AppPaths::dataDirectory(), QString::fromUtf8(c.expected));
        EXPECT_EQ(AppPaths::sheetsDirectory(), QString::fromUtf8(c.expected) + QStringLiteral("/Sheets"));
        EXPECT_EQ(AppPaths::rateCacheFile(), std::filesystem::path(c.expected) / "rates.json");
        EXPECT_EQ(AppPaths::dataDirectoryChosen(), c.chosen);
    }
}

}  // namespace
}  // namespace quibsum

#include <gtest/gtest.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>
#include <utime.h>

#include <fstream>
#include <sstream>

#include "QuibSumFiles/StoredFile.h"
#include "QuibSumRates/RateCache.h"
#include "tests/support/FailingDevice.h"
#include "tests/support/RateTestSupport.h"

namespace quibsum {
namespace {

std::string contents(const std::filesystem::path& path) {
    std::ifstream in(path, std::ios::binary);
    std::stringstream text;
    text << in.rdbuf();
    return text.str();
}

std::vector<std::string> entries(const std::filesystem::path& folder) {
    std::vector<std::string> names;
    for (const auto& entry : std::filesystem::directory_iterator(folder)) names.push_back(entry.path().filename());
    std::sort(names.begin(), names.end());
    return names;
}

mode_t modeOf(const std::filesystem::path& path) {
    struct stat info {};
    EXPECT_EQ(::stat(path.c_str(), &info), 0) << path;
    return info.st_mode & 07777;
}

TEST(StoredFile, AFailingDeviceNeverReplacesTheOldFile) {
    struct Case {
        const char* name;
        testing::FailingDevice device;
        std::string reason;
    };
    const std::string bytes(5000, 'x');
    Case cases[] = {
        {"full before the first byte", testing::FailingDevice(0), "No space left on device"},
        {"full midway", testing::FailingDevice(1234), "No space left on device"},
        {"input/output error", testing::FailingDevice(10, EIO), "Input/output error"},
        {"sync fails after every byte", testing::FailingDevice(1 << 20, EIO, true), "Input/output error"},
        {"quota", testing::FailingDevice(4999, EDQUOT), "Disk quota exceeded"},
    };
    for (Case& c : cases) {
        testing::TempDir dir;
        const auto path = dir.path() / "index.json";
        StoredFile::replace(path, "the user's text");
        try {
            StoredFile::replace(path, bytes, 0600, c.device);
            ADD_FAILURE() << c.name << ": no error";
        } catch (const StoredFileError& e) {
            EXPECT_EQ(e.what(), "cannot write " + path.string() + ": " + c.reason) << c.name;
            EXPECT_EQ(e.reason(), c.reason) << c.name;
        }
        EXPECT_EQ(contents(path), "the user's text") << c.name;
        EXPECT_EQ(entries(dir.path()), std::vector<std::string>{"index.json"}) << c.name;
    }
}

TEST(StoredFile, ShortWritesStillWriteEverythingPrivately) {
    testing::TempDir dir;
    const auto path = dir.path() / "rates.json";
    const mode_t previous = ::umask(0);  // a permissive umask must not widen the file
    testing::FailingDevice slow(1 << 20, ENOSPC, false, 3);
    StoredFile::replace(path, "0123456789abcdef", 0600, slow);
    ::umask(previous);
    EXPECT_EQ(contents(path), "0123456789abcdef");
    EXPECT_EQ(modeOf(path), 0600u);
    EXPECT_EQ(slow.written(), 16u);
}

TEST(StoredFile, ReadingRefusesWhatIsNotARegularFileWithoutWaiting) {
    testing::TempDir dir;
    const auto fifo = dir.path() / "fifo";
    ASSERT_EQ(::mkfifo(fifo.c_str(), 0600), 0);
    struct Case {
        std::filesystem::path path;
        std::string reason;
    };
    for (const Case& c : {Case{fifo, "it is not a regular file"}, Case{dir.path(), "it is a folder"},
                          Case{"/dev/zero", "it is not a regular file"}}) {
        try {
            StoredFile::read(c.path, 1000);
            ADD_FAILURE() << c.path;
        } catch (const StoredFileError& e) {
            EXPECT_EQ(e.kind(), StoredFileError::Kind::notRegular);
            EXPECT_EQ(e.what(), "cannot read " + c.path.string() + ": " + c.reason);
        }
    }
    EXPECT_EQ(StoredFile::read(dir.path() / "missing", 1000), std::nullopt);
}

TEST(StoredFile, ReadingStopsAtTheLimit) {
    testing::TempDir dir;
    const auto path = dir.path() / "big";
    StoredFile::replace(path, std::string(2 * 1024 * 1024 + 1, 'a'));
    try {
        StoredFile::read(path, 2 * 1024 * 1024);
        ADD_FAILURE();
    } catch (const StoredFileError& e) {
        EXPECT_EQ(e.kind(), StoredFileError::Kind::tooLarge);
        EXPECT_EQ(e.reason(), "it is larger than the 2 MiB limit");
    }
    EXPECT_EQ(StoredFile::read(path, 2 * 1024 * 1024 + 1)->size(), 2u * 1024 * 1024 + 1);
}

// A device that never returns: the process is killed while the new content is half written.
class KilledDevice : public FileDevice {
public:
    ssize_t write(int fd, const char* data, std::size_t size) override {
        FileDevice::write(fd, data, size / 2);
        ::_exit(9);
    }
};

TEST(StoredFile, AProcessKilledMidSaveLeavesNothingBehind) {
    testing::TempDir dir;
    const auto path = dir.path() / "rates.json";
    StoredFile::replace(path, "old");
    pid_t child = ::fork();
    ASSERT_GE(child, 0);
    if (child == 0) {
        KilledDevice device;
        StoredFile::replace(path, std::string(100000, 'n'), 0600, device);
        ::_exit(0);
    }
    int status = 0;
    ASSERT_EQ(::waitpid(child, &status, 0), child);
    EXPECT_EQ(WEXITSTATUS(status), 9);
    EXPECT_EQ(contents(path), "old");
    EXPECT_EQ(entries(dir.path()), std::vector<std::string>{"rates.json"});
}

TEST(StoredFile, OldLeftoversOfKilledSavesAreRemovedAtTheNextSave) {
    testing::TempDir dir;
    const auto path = dir.path() / "rates.json";
    for (const char* name : {"rates.json.Ab3dE9", "rates.json.young1", "rates.json.toolong7", "other.json.Ab3dE9"}) {
        std::ofstream(dir.path() / name) << "partial";
        if (std::string(name) == "rates.json.young1") continue;
        const time_t old = std::time(nullptr) - StoredFile::staleSeconds - 5;
        utimbuf times{old, old};
        ASSERT_EQ(::utime((dir.path() / name).c_str(), &times), 0);
    }
    StoredFile::replace(path, "new");
    EXPECT_EQ(entries(dir.path()), (std::vector<std::string>{"other.json.Ab3dE9", "rates.json", "rates.json.toolong7",
                                                             "rates.json.young1"}));
}

TEST(RateCacheFiles, TheCacheIsPrivateAndAFailedSaveKeepsThePreviousOne) {
    testing::TempDir dir;
    const auto location = dir.path() / "new" / "QuibSum" / "rates.json";
    const mode_t previous = ::umask(022);
    RateCache::save(RateCache::seed(), location);
    ::umask(previous);
    EXPECT_EQ(modeOf(location), 0600u);
    EXPECT_EQ(modeOf(location.parent_path()), 0700u);
    EXPECT_EQ(modeOf(location.parent_path().parent_path()), 0700u);

    const std::string saved = contents(location);
    RateSnapshot other = RateCache::seed();
    other.vcbIsSeed = false;
    testing::FailingDevice full(100);
    EXPECT_THROW(
        {
            try {
                RateCache::save(other, location, full);
            } catch (const StoredFileError& e) {
                EXPECT_EQ(e.reason(), "No space left on device");
                throw;
            }
        },
        StoredFileError);
    EXPECT_EQ(contents(location), saved);
}

TEST(RateCacheFiles, AFifoInPlaceOfTheCacheIsRefusedAtOnce) {
    testing::TempDir dir;
    const auto location = dir.path() / "rates.json";
    ASSERT_EQ(::mkfifo(location.c_str(), 0600), 0);
    EXPECT_THROW(RateCache::load(location), StoredFileError);
}

}  // namespace
}  // namespace quibsum

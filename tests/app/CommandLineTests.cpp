// The built `quibsum` program, run with a private data and configuration folder, fixed rates
// and a network that answers nowhere (or a loopback server of the test's own).

#include <gtest/gtest.h>

#include <QDateTime>
#include <QDir>
#include <QFile>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QProcess>
#include <QRegularExpression>
#include <QTemporaryDir>

#include <sys/mount.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <cstring>
#include <map>
#include <memory>
#include <set>

#include "tests/app/LockHolder.h"
#include "tests/support/LoopbackServer.h"
#include "tests/support/RateTestSupport.h"

namespace quibsum {
namespace {

const QString fixtures = QStringLiteral(QUIBSUM_SOURCE_DIR "/tests/fixtures/app");
const QString rates = fixtures + QStringLiteral("/rates.json");
const QString unreachable = QStringLiteral("http://127.0.0.1:9/");

struct Outcome {
    int status = -1;
    std::string out;
    std::string err;
};

class ProgramTest : public ::testing::Test {
protected:
    QString data() const { return home.path() + QStringLiteral("/data"); }
    QString config() const { return home.path() + QStringLiteral("/config"); }
    QString sheets() const { return data() + QStringLiteral("/Sheets"); }

    QProcessEnvironment processEnvironment() const {
        QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
        env.insert("HOME", home.path());
        env.insert("QUIBSUM_DATA_DIR", data());
        env.insert("QUIBSUM_CONFIG_DIR", config());
        env.insert("QUIBSUM_ERAPI_URL", unreachable);
        env.insert("QUIBSUM_VCB_URL", unreachable);
        env.insert("LC_ALL", "en_GB.UTF-8");
        env.insert("LANGUAGE", "en_GB");
        env.insert("TZ", "UTC");
        for (const auto& [name, value] : environment) env.insert(name, value);
        return env;
    }

    Outcome run(const QStringList& args, const QByteArray& input = {}, int timeoutMs = 60000,
                const QString& outputFile = {}) {
        QProcess process;
        process.setProcessEnvironment(processEnvironment());
        if (!outputFile.isEmpty()) process.setStandardOutputFile(outputFile);
        process.start(QStringLiteral(QUIBSUM_PROGRAM), args);
        if (!process.waitForStarted()) return {};
        process.write(input);
        process.closeWriteChannel();
        if (!process.waitForFinished(timeoutMs)) {
            process.kill();
            process.waitForFinished();
            return {};
        }
        return {process.exitStatus() == QProcess::NormalExit ? process.exitCode() : -1,
                process.readAllStandardOutput().toStdString(), process.readAllStandardError().toStdString()};
    }

    void writeFile(const QString& path, const QByteArray& bytes) {
        QDir().mkpath(QFileInfo(path).path());
        QFile file(path);
        ASSERT_TRUE(file.open(QIODevice::WriteOnly));
        file.write(bytes);
    }

    QTemporaryDir home;
    std::map<QString, QString> environment;
};

TEST_F(ProgramTest, CalcPrintsTheDisplayOrTheReason) {
    struct Case {
        QStringList args;
        int status;
        std::string out;
        std::string err;
    };
    const QStringList r = {"calc", "--rates", rates};
    const Case cases[] = {
        {r + QStringList{"2", "+", "2"}, 0, "4\n", ""},
        {r + QStringList{"-5", "+", "3"}, 0, "-2\n", ""},
        {r + QStringList{"100 USD to VND"}, 0, "2,510,000 ₫\n", ""},
        {r + QStringList{"--kind", "buy", "100", "USD", "to", "VND"}, 0, "2,500,000 ₫\n", ""},
        {QStringList{"calc", "--style=vi", "--rates=" + rates, "1.234,5 + 1"}, 0, "1.235,5\n", ""},
        {r + QStringList{"12 / 0"}, 1, "", "Không thể chia cho 0\n"},
        {r + QStringList{"2 +"}, 1, "", "Cannot calculate this expression\n"},
        {r + QStringList{""}, 1, "", "Cannot calculate this expression\n"},
        {r + QStringList{"1\n+ 1"}, 1, "", "Cannot calculate this expression\n"},
        {r + QStringList{QString::fromUtf8("1 \u2028+ 1")}, 1, "", "Cannot calculate this expression\n"},
    };
    for (const Case& c : cases) {
        Outcome result = run(c.args);
        EXPECT_EQ(result.status, c.status) << c.args.join(' ').toStdString();
        EXPECT_EQ(result.out, c.out) << c.args.join(' ').toStdString();
        EXPECT_EQ(result.err, c.err) << c.args.join(' ').toStdString();
    }
}

TEST_F(ProgramTest, UsageErrorsExitWithTwo) {
    const QStringList cases[] = {
        {"frobnicate"},
        {"calc", "--rates", rates},
        {"calc", "--style", "fr", "1"},
        {"calc", "--kind", "mid", "1"},
        {"calc", "--bogus", "1"},
        {"calc", "--rates"},
        {"sheet", "--json=yes"},
        {"sheet", "a.txt", "b.txt"},
        {"sheets", "extra"},
        {"rates", "--style", "vi"},
    };
    for (const QStringList& args : cases) {
        Outcome result = run(args);
        EXPECT_EQ(result.status, 2) << args.join(' ').toStdString();
        EXPECT_EQ(result.out, "") << args.join(' ').toStdString();
        EXPECT_NE(result.err.find("Try 'quibsum"), std::string::npos) << result.err;
    }
}

TEST_F(ProgramTest, EveryCommandHasHelp) {
    for (const char* command : {"", "calc", "sheet", "sheets", "append", "rates"}) {
        QStringList args;
        if (*command != '\0') args << command;
        Outcome result = run(args + QStringList{"--help"});
        EXPECT_EQ(result.status, 0) << command;
        std::string expected = std::string("Usage: quibsum ") + (*command ? command : "[--hidden]");
        EXPECT_EQ(result.out.rfind(expected, 0), 0u) << result.out;
    }
    EXPECT_EQ(run({"--version"}).out.rfind("quibsum (Quib Sum) ", 0), 0u);
}

// The commands speak the window's language: Vietnamese when the desktop's first language is.
TEST_F(ProgramTest, TheCommandsSpeakVietnameseWhenTheDesktopDoes) {
    environment = {{"LANGUAGE", "vi_VN:en"}};
    for (const char* command : {"", "calc", "sheet", "sheets", "append", "rates"}) {
        QStringList args;
        if (*command != '\0') args << command;
        Outcome result = run(args + QStringList{"--help"});
        EXPECT_EQ(result.status, 0) << command;
        const std::string expected = std::string("Cách dùng: quibsum ") + (*command ? command : "[--hidden]");
        EXPECT_EQ(result.out.rfind(expected, 0), 0u) << result.out;
        EXPECT_EQ(result.out.find("display this help"), std::string::npos) << result.out;
    }
    const struct {
        QStringList args;
        int status;
        std::string err;
    } errors[] = {
        {{"frobnicate"}, 2, "quibsum: không có lệnh 'frobnicate'\nChạy 'quibsum --help' để biết thêm.\n"},
        {{"calc", "--style", "fr", "1"},
         2,
         "quibsum calc: kiểu số không hợp lệ 'fr' (dùng en hoặc vi)\nChạy 'quibsum calc --help' để biết thêm.\n"},
        {{"calc", "--rates", rates}, 2, "quibsum calc: thiếu biểu thức\nChạy 'quibsum calc --help' để biết thêm.\n"},
        {{"calc", "--rates", rates, "2 +"}, 1, "Không tính được biểu thức này\n"},
        {{"calc", "--rates", rates, "12 / 0"}, 1, "Không thể chia cho 0\n"},
        {{"sheet", "--rates", rates, home.path() + "/missing.txt"},
         1,
         "quibsum sheet: không đọc được '" + (home.path() + "/missing.txt").toStdString() +
             "': No such file or directory\n"},
    };
    for (const auto& e : errors) {
        Outcome result = run(e.args);
        EXPECT_EQ(result.status, e.status) << e.args.join(' ').toStdString();
        EXPECT_EQ(result.err, e.err);
    }
    Outcome sheet = run({"sheet", "--rates", rates}, "2 km + 3 km\n1 kg + 1 km\n");
    EXPECT_NE(sheet.out.find("Tổng:"), std::string::npos) << sheet.out;
    ASSERT_TRUE(QDir().mkpath(data()));
    ASSERT_TRUE(QFile::copy(rates, data() + "/rates.json"));
    EXPECT_EQ(run({"rates"}).out,
              "Vietcombank · 1 Dec 2026, 01:30 · 3 loại tiền\nExchangeRate-API · 1 Dec 2026, 00:00 · 5 loại tiền\n");
    // A later language does not decide.
    environment = {{"LANGUAGE", "en_US:vi"}};
    EXPECT_EQ(run({"--help"}).out.rfind("Usage: quibsum", 0), 0u);
}

// The commands work over ssh and in scripts: a display that cannot be reached is never asked.
TEST_F(ProgramTest, CommandsNeverConnectToADisplay) {
    environment = {{"DISPLAY", ":97"}, {"WAYLAND_DISPLAY", "quibsum-test-no-such-display"}, {"QT_QPA_PLATFORM", "xcb"}};
    Outcome result = run({"calc", "--rates", rates, "2 + 3"});
    EXPECT_EQ(result.status, 0) << result.err;
    EXPECT_EQ(result.out, "5\n");
    EXPECT_EQ(run({"sheet", "--rates", rates, fixtures + "/budget.txt"}).status, 0);
}

// Without a display the window cannot start: one line says why, and the status is 1 (Qt's
// own way out would be an abort).
TEST_F(ProgramTest, TheWindowWithoutADisplayExitsWithOneLine) {
    struct Case {
        const char* name;
        std::map<QString, QString> set;
        std::string says;
    };
    const Case cases[] = {
        {"nothing set", {}, "no display"},
        {"X display unreachable", {{"DISPLAY", ":97"}}, "cannot connect to the X display \":97\""},
        {"xcb chosen, nothing set", {{"QT_QPA_PLATFORM", "xcb"}}, "DISPLAY is not set"},
        {"Wayland socket missing", {{"WAYLAND_DISPLAY", "quibsum-test-no-such-display"}}, "cannot connect"},
    };
    for (const Case& c : cases) {
        for (const QStringList& args : {QStringList{}, QStringList{"--hidden"}}) {
            QProcessEnvironment env = processEnvironment();
            for (const char* name : {"DISPLAY", "WAYLAND_DISPLAY", "QT_QPA_PLATFORM"}) env.remove(name);
            for (const auto& [name, value] : c.set) env.insert(name, value);
            QProcess process;
            process.setProcessEnvironment(env);
            process.start(QStringLiteral(QUIBSUM_PROGRAM), args);
            ASSERT_TRUE(process.waitForFinished(30000)) << c.name;
            const std::string err = process.readAllStandardError().toStdString();
            EXPECT_EQ(process.exitStatus(), QProcess::NormalExit) << c.name;
            EXPECT_EQ(process.exitCode(), 1) << c.name;
            EXPECT_EQ(err.rfind("quibsum: ", 0), 0u) << c.name << ": " << err;
            EXPECT_NE(err.find(c.says), std::string::npos) << c.name << ": " << err;
            EXPECT_EQ(std::count(err.begin(), err.end(), '\n'), 1) << c.name << ": " << err;
        }
    }
}

TEST_F(ProgramTest, StoredSettingsChooseStyleAndKindUnlessOverridden) {
    writeFile(config() + "/QuibSum.conf", "[General]\nnumberStyle=vi\nrateKind=sell\n");
    EXPECT_EQ(run({"calc", "--rates", rates, "100 USD to VND"}).out, "2.540.000 ₫\n");
    EXPECT_EQ(run({"calc", "--rates", rates, "--style", "en", "--kind", "transfer", "100 USD to VND"}).out,
              "2,510,000 ₫\n");
}

TEST_F(ProgramTest, ASettingsFileBeyondItsLimitIsSkippedWithAWarning) {
    // Sparse: 3 GiB on the disk's books, nothing on the disk.
    writeFile(config() + "/QuibSum.conf", "[General]\nnumberStyle=vi\n;");
    ASSERT_TRUE(QFile::resize(config() + "/QuibSum.conf", 3LL << 30));
    const Outcome result = run({"calc", "--rates", rates, "1234.5 * 2"}, {}, 10000);
    EXPECT_EQ(result.status, 0) << result.err;
    EXPECT_EQ(result.out, "2,469\n");  // the default number style
    EXPECT_NE(result.err.find("quibsum calc: warning: Could not read the settings"), std::string::npos) << result.err;
    EXPECT_NE(result.err.find("larger than the 1 MiB limit"), std::string::npos) << result.err;
    EXPECT_EQ(QFileInfo(config() + "/QuibSum.conf").size(), 3LL << 30);
}

TEST_F(ProgramTest, SheetPrintsLinesWithAlignedResultsAndTheTotal) {
    Outcome result = run({"sheet", "--rates", rates, fixtures + "/budget.txt"});
    EXPECT_EQ(result.status, 0) << result.err;
    EXPECT_EQ(result.out,
              "Rent: 8,500,000 VND                       8,500,000 ₫\n"
              "Groceries: 2,400,000 VND                  2,400,000 ₫\n"
              "100 USD to VND                            2,510,000 ₫\n"
              "20% of 1,250                                      250\n"
              "12 / 0                    error: Không thể chia cho 0\n"
              "# a comment\n"
              "─────────────────────────────────────────────────────\n"
              "Total:                                   13,410,250 ₫\n");
    // The same text from standard input, with CR LF line ends, reads the same.
    QFile file(fixtures + "/budget.txt");
    ASSERT_TRUE(file.open(QIODevice::ReadOnly));
    QByteArray crlf = file.readAll().replace("\n", "\r\n");
    EXPECT_EQ(run({"sheet", "--rates", rates}, crlf).out, result.out);
    EXPECT_EQ(run({"sheet", "--rates", rates, "-"}, crlf).out, result.out);
}

TEST_F(ProgramTest, SheetJsonCarriesExactValuesUnitsAndTheTotal) {
    Outcome result = run({"sheet", "--json", "--rates", rates}, "1,234.5 + 0.25\n5 km to m\n20%\n1/0\nhello\nx = 2\n");
    ASSERT_EQ(result.status, 0) << result.err;
    QJsonParseError error{};
    QJsonObject root = QJsonDocument::fromJson(QByteArray::fromStdString(result.out), &error).object();
    ASSERT_EQ(error.error, QJsonParseError::NoError) << result.out;
    QJsonArray lines = root["lines"].toArray();
    ASSERT_EQ(lines.size(), 6);
    EXPECT_EQ(
        lines[0].toObject(),
        (QJsonObject{{"result", "value"}, {"display", "1,234.75"}, {"value", "1234.75"}, {"unit", QJsonValue::Null}}));
    EXPECT_EQ(lines[1].toObject(),
              (QJsonObject{{"result", "value"}, {"display", "5,000 m"}, {"value", "5000"}, {"unit", "m"}}));
    EXPECT_EQ(lines[2].toObject()["value"], "0.2");
    EXPECT_EQ(lines[2].toObject()["unit"], "%");
    EXPECT_EQ(lines[3].toObject(), (QJsonObject{{"result", "error"}, {"message", "Không thể chia cho 0"}}));
    EXPECT_EQ(lines[4].toObject(), (QJsonObject{{"result", "note"}}));
    EXPECT_EQ(result.out.rfind(R"({"lines":[{"result":"value","display":"1,234.75")", 0), 0u) << result.out;

    auto total = [&](const QByteArray& sheet) {
        Outcome r = run({"sheet", "--json", "--rates", rates}, sheet);
        return QJsonDocument::fromJson(QByteArray::fromStdString(r.out)).object()["total"].toObject();
    };
    EXPECT_EQ(total("1\n2\nsum\n"), (QJsonObject{{"result", "value"}, {"display", "3"}, {"count", 2}}));
    EXPECT_EQ(total("# nothing\n10%\n"), (QJsonObject{{"result", "empty"}}));
    EXPECT_EQ(total("5 km\n3 kg\n"), (QJsonObject{{"result", "incompatible"}}));
    EXPECT_EQ(total(""), (QJsonObject{{"result", "empty"}}));
}

TEST_F(ProgramTest, InvalidUtf8IsReadWithReplacementCharacters) {
    Outcome result = run({"sheet", "--json", "--rates", rates},
                         "\xEF\xBB\xBF"
                         "1 + 1\n\xFF\xFE + 2\nx\xC3 = 4\n");
    ASSERT_EQ(result.status, 0);
    QJsonParseError error{};
    QJsonDocument document = QJsonDocument::fromJson(QByteArray::fromStdString(result.out), &error);
    ASSERT_EQ(error.error, QJsonParseError::NoError) << result.out;
    EXPECT_EQ(document.object()["lines"].toArray()[0].toObject()["display"], "2");
    EXPECT_EQ(document.object()["lines"].toArray().size(), 3);

    Outcome plain = run({"sheet", "--rates", rates}, "\xFF\xFE + 2\n");
    EXPECT_EQ(plain.status, 0);
    EXPECT_NE(plain.out.find("\xEF\xBF\xBD\xEF\xBF\xBD + 2"), std::string::npos) << plain.out;
}

TEST_F(ProgramTest, UnreadableInputFailsNamingTheFile) {
    for (const QString& path : {home.path() + "/missing.txt", home.path()}) {
        Outcome result = run({"sheet", "--rates", rates, path});
        EXPECT_EQ(result.status, 1);
        EXPECT_EQ(result.out, "");
        EXPECT_NE(result.err.find(path.toStdString()), std::string::npos) << result.err;
    }
    for (const QString& file : {home.path() + "/missing.json", fixtures + "/rates-damaged.json"}) {
        Outcome result = run({"calc", "--rates", file, "1"});
        EXPECT_EQ(result.status, 1);
        EXPECT_NE(result.err.find(file.toStdString()), std::string::npos) << result.err;
    }
}

TEST_F(ProgramTest, AppendGoesThroughTheStoreAndPrintsTheNewLinesResults) {
    Outcome first = run({"append", "--rates", rates, "x = 6"});
    EXPECT_EQ(first.status, 0) << first.err;
    EXPECT_EQ(first.out, "6\n");
    Outcome second = run({"append", "--rates", rates}, "x * 7\r\nnote\n1/0\n");
    EXPECT_EQ(second.status, 0) << second.err;
    EXPECT_EQ(second.out, "42\n\nerror: Không thể chia cho 0\n");

    QFile quick(sheets() + "/00000000-0000-0000-0000-000000000001.txt");
    ASSERT_TRUE(quick.open(QIODevice::ReadOnly));
    EXPECT_EQ(quick.readAll(), "x = 6\nx * 7\nnote\n1/0");

    Outcome list = run({"sheets"});
    EXPECT_EQ(list.status, 0);
    EXPECT_TRUE(QRegularExpression(R"(^Quick  00000000-0000-0000-0000-000000000001  \d{4}-\d\d-\d\d \d\d:\d\d\n$)")
                    .match(QString::fromStdString(list.out))
                    .hasMatch())
        << list.out;

    EXPECT_EQ(run({"append", "--rates", rates}, "").status, 1);
}

TEST_F(ProgramTest, AppendToASheetThatIsNotUtf8FailsNamingItAndWritesNothing) {
    EXPECT_EQ(run({"append", "--rates", rates, "a = 1"}).status, 0);
    const QString quick = sheets() + "/00000000-0000-0000-0000-000000000001.txt";
    writeFile(quick, "Caf\xE9 = 3\n");
    const QByteArray index = [&] {
        QFile file(sheets() + "/index.json");
        return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
    }();
    Outcome result = run({"append", "--rates", rates, "b = 4"});
    EXPECT_EQ(result.status, 1);
    EXPECT_NE(result.err.find(quick.toStdString()), std::string::npos) << result.err;
    EXPECT_NE(result.err.find("UTF-8"), std::string::npos) << result.err;
    QFile file(quick);
    ASSERT_TRUE(file.open(QIODevice::ReadOnly));
    EXPECT_EQ(file.readAll(), "Caf\xE9 = 3\n");
    QFile indexFile(sheets() + "/index.json");
    ASSERT_TRUE(indexFile.open(QIODevice::ReadOnly));
    EXPECT_EQ(indexFile.readAll(), index);
}

TEST_F(ProgramTest, AppendWaitsAFewSecondsForALockHeldElsewhereThenFailsNamingIt) {
    EXPECT_EQ(run({"append", "--rates", rates, "a = 1"}).status, 0);
    const QString lock = sheets() + "/index.lock";
    testing::LockHolder other(lock);
    ASSERT_TRUE(other.held());
    Outcome result = run({"append", "--rates", rates, "b = 2"});
    EXPECT_EQ(result.status, 1);
    EXPECT_NE(result.err.find(lock.toStdString()), std::string::npos) << result.err;
    other.release();
    QFile quick(sheets() + "/00000000-0000-0000-0000-000000000001.txt");
    ASSERT_TRUE(quick.open(QIODevice::ReadOnly));
    EXPECT_EQ(quick.readAll(), "a = 1");
    EXPECT_EQ(run({"append", "--rates", rates, "b = 2"}).status, 0);
}

TEST_F(ProgramTest, ADamagedIndexIsReportedAndNeverOverwritten) {
    const QByteArray damaged = R"([{"id":"00000000-0000-0000-0000-000000000001","title":"Quick")";
    writeFile(sheets() + "/index.json", damaged);
    for (const QStringList& args : {QStringList{"sheets"}, QStringList{"append", "--rates", rates, "1+1"}}) {
        Outcome result = run(args);
        EXPECT_EQ(result.status, 1) << args.join(' ').toStdString();
        EXPECT_NE(result.err.find((sheets() + "/index.json").toStdString()), std::string::npos) << result.err;
        EXPECT_NE(result.err.find("damaged"), std::string::npos) << result.err;
    }
    QFile index(sheets() + "/index.json");
    ASSERT_TRUE(index.open(QIODevice::ReadOnly));
    EXPECT_EQ(index.readAll(), damaged);
    EXPECT_FALSE(QFile::exists(sheets() + "/00000000-0000-0000-0000-000000000001.txt"));
}

TEST_F(ProgramTest, WithoutARatesFileTheCacheOrTheSeedIsUsed) {
    Outcome seed = run({"calc", "1 USD to VND"});
    EXPECT_EQ(seed.status, 0) << seed.err;
    EXPECT_NE(seed.out.find("₫"), std::string::npos);

    ASSERT_TRUE(QDir().mkpath(data()));
    ASSERT_TRUE(QFile::copy(rates, data() + "/rates.json"));
    EXPECT_EQ(run({"calc", "100 USD to VND"}).out, "2,510,000 ₫\n");
    EXPECT_EQ(run({"rates"}).out,
              "Vietcombank · 1 Dec 2026, 01:30 · 3 currencies\nExchangeRate-API · 1 Dec 2026, 00:00 · 5 currencies\n");
}

// The libraries a command maps, by the dynamic loader's own account (LD_DEBUG=files): a
// calculation must load neither the window's libraries nor the network's unless it downloads.
TEST_F(ProgramTest, CommandsLoadOnlyThePiecesTheyUse) {
    const char* const heavy[] = {"libQt6Widgets", "libQt6Gui", "libQt6DBus", "libQt6Network", "libcurl"};
    auto loaded = [&](const std::string& log) {
        std::set<std::string> found;
        for (const char* name : heavy)
            if (log.find(std::string("file=") + name) != std::string::npos ||
                log.find(std::string("/") + name) != std::string::npos)
                found.insert(name);
        return found;
    };
    // A cache of the fixture's rates, dated now: no refresh is due.
    auto writeFreshCache = [&] {
        QFile file(rates);
        ASSERT_TRUE(file.open(QIODevice::ReadOnly));
        QJsonObject cache = QJsonDocument::fromJson(file.readAll()).object();
        const QString now = QDateTime::currentDateTimeUtc().toString(Qt::ISODate);
        for (const char* table : {"erapi", "vcb"}) {
            QJsonObject object = cache[table].toObject();
            object["asOf"] = now;
            cache[table] = object;
        }
        writeFile(data() + "/rates.json", QJsonDocument(cache).toJson());
    };
    const std::set<std::string> none;
    const std::set<std::string> window = {"libQt6Widgets", "libQt6Gui", "libQt6DBus", "libQt6Network", "libcurl"};
    struct Case {
        QStringList args;
        bool freshCache;
        std::set<std::string> expected;
    };
    const Case cases[] = {
        {{"calc", "1+1"}, true, none},
        {{"calc", "--rates", rates, "100 USD to VND"}, false, none},
        {{"sheet", "--rates", rates, fixtures + "/budget.txt"}, false, none},
        {{"sheet", "--json", fixtures + "/budget.txt"}, true, none},
        {{"rates"}, true, none},
        {{"sheets"}, false, none},
        {{"--help"}, false, none},
        // A refresh that is due loads the network, and only it.
        {{"calc", "1+1"}, false, {"libcurl"}},
        // The commands that talk to the running application load D-Bus, and only it.
        {{"show", "--help"}, false, {"libQt6DBus"}},
        {{"append", "1+1"}, true, {"libQt6DBus"}},
        // Reading the selection takes the window program, which has everything.
        {{"append-selection", "--help"}, false, window},
    };
    for (const Case& c : cases) {
        QDir(data()).removeRecursively();
        if (c.freshCache) writeFreshCache();
        environment["LD_DEBUG"] = "files";
        Outcome result = run(c.args);
        environment.erase("LD_DEBUG");
        EXPECT_EQ(result.status, 0) << c.args.join(' ').toStdString();
        EXPECT_EQ(loaded(result.err), c.expected) << c.args.join(' ').toStdString();
    }
}

// `quibsum` without the pieces installed beside it still computes, and says what is missing
// when it needs one.
TEST_F(ProgramTest, AProgramWithoutItsPiecesSaysWhatIsMissing) {
    const QString alone = home.path() + "/bin/quibsum";
    ASSERT_TRUE(QDir().mkpath(home.path() + "/bin"));
    ASSERT_TRUE(QFile::copy(QStringLiteral(QUIBSUM_PROGRAM), alone));
    QProcessEnvironment env = processEnvironment();
    auto runAlone = [&](const QStringList& args) {
        QProcess process;
        process.setProcessEnvironment(env);
        process.start(alone, args);
        process.closeWriteChannel();
        EXPECT_TRUE(process.waitForFinished(60000));
        return Outcome{process.exitCode(), process.readAllStandardOutput().toStdString(),
                       process.readAllStandardError().toStdString()};
    };
    Outcome calc = runAlone({"calc", "--rates", rates, "2 + 2"});
    EXPECT_EQ(calc.status, 0) << calc.err;
    EXPECT_EQ(calc.out, "4\n");
    const std::pair<const char*, const char*> handedOver[] = {{"show", "quibsum-bus"},
                                                              {"append", "quibsum-bus"},
                                                              {"append-selection", "quibsum-window"},
                                                              {"", "quibsum-window"}};
    for (const auto& [command, program] : handedOver) {
        Outcome result = runAlone(*command ? QStringList{command, "1"} : QStringList{});
        EXPECT_EQ(result.status, 1) << command;
        EXPECT_EQ(result.err, std::string("quibsum: cannot find ") + program +
                                  " beside the program; the installation is incomplete\n");
    }
    // A due refresh fails like a download that found no server, and the seed stays in force.
    Outcome refresh = runAlone({"rates", "--refresh"});
    EXPECT_EQ(refresh.status, 1);
    EXPECT_EQ(refresh.out.rfind("Not updated: Vietcombank table: could not reach ", 0), 0u) << refresh.out;
    EXPECT_NE(refresh.out.find(": cannot find libquibsum-network.so beside the program\n"), std::string::npos)
        << refresh.out;
    Outcome seed = runAlone({"calc", "1 USD to VND"});
    EXPECT_EQ(seed.status, 0) << seed.err;
}

TEST_F(ProgramTest, ASlowRateServerNeverHoldsUpACalculation) {
    testing::LoopbackServer server;
    server.route("/bank", {200, testing::goodVCBBody, std::chrono::milliseconds(20000)});
    environment["QUIBSUM_VCB_URL"] = QString::fromStdString(server.url("/bank"));
    Outcome result = run({"calc", "2 * 21"}, {}, 10000);
    EXPECT_EQ(result.status, 0);
    EXPECT_EQ(result.out, "42\n");
}

TEST_F(ProgramTest, RatesRefreshSaysWhichTablesChanged) {
    testing::LoopbackServer server;
    server.route("/bank", {500, "unavailable"});
    server.route("/mid", {200, testing::goodERAPIBody});
    environment["QUIBSUM_VCB_URL"] = QString::fromStdString(server.url("/bank"));
    environment["QUIBSUM_ERAPI_URL"] = QString::fromStdString(server.url("/mid"));
    Outcome partial = run({"rates", "--refresh"});
    EXPECT_EQ(partial.status, 0) << partial.err;  // something new is in force
    EXPECT_EQ(partial.out.substr(0, partial.out.find("Bundled")),
              "Not updated: Vietcombank table: HTTP status 500\nUpdated: ExchangeRate-API table\n");
    EXPECT_NE(partial.out.find("\nExchangeRate-API · 6 Dec 2026, 00:02 · 4 currencies\n"), std::string::npos)
        << partial.out;

    server.route("/bank", {200, testing::goodVCBBody});
    Outcome full = run({"rates", "--refresh"});
    EXPECT_EQ(full.status, 0) << full.err;
    EXPECT_EQ(full.out,
              "Updated: Vietcombank table\nUnchanged: ExchangeRate-API table\n"
              "Vietcombank · 5 Dec 2026, 01:30 · 3 currencies\nExchangeRate-API · 6 Dec 2026, 00:02 · 4 currencies\n");
    EXPECT_TRUE(QFile::exists(data() + "/rates.json"));
    EXPECT_EQ(run({"calc", "100 USD to VND"}).out, "2,612,800 ₫\n");
}

TEST_F(ProgramTest, RatesRefreshFailsWhenNothingNewCouldBeFetchedOrSaved) {
    Outcome dead = run({"rates", "--refresh"});
    EXPECT_EQ(dead.status, 1);
    EXPECT_NE(dead.out.find("Not updated: Vietcombank table: could not reach http://127.0.0.1:9/"), std::string::npos)
        << dead.out;
    EXPECT_NE(dead.out.find("Not updated: ExchangeRate-API table: could not reach http://127.0.0.1:9/"),
              std::string::npos)
        << dead.out;

    // A working server, and a cache that cannot be written (a folder where the file should be:
    // read-only permissions would not stop root).
    testing::LoopbackServer server;
    server.route("/bank", {200, testing::goodVCBBody});
    server.route("/mid", {200, testing::goodERAPIBody});
    environment["QUIBSUM_VCB_URL"] = QString::fromStdString(server.url("/bank"));
    environment["QUIBSUM_ERAPI_URL"] = QString::fromStdString(server.url("/mid"));
    ASSERT_TRUE(QDir().mkpath(data() + "/rates.json"));
    Outcome unsaved = run({"rates", "--refresh"});
    EXPECT_EQ(unsaved.status, 1);
    EXPECT_NE(unsaved.out.find("Updated but not saved: Vietcombank table: cannot replace " + data().toStdString() +
                               "/rates.json: Is a directory"),
              std::string::npos)
        << unsaved.out;
}

TEST_F(ProgramTest, RatesTellsOfEachTableWhateverCurrenciesItHolds) {
    // A bank table without USD was reported as absent when only USD rates were asked for.
    ASSERT_TRUE(QDir().mkpath(data()));
    QFile fixture(rates);
    ASSERT_TRUE(fixture.open(QIODevice::ReadOnly));
    QByteArray cache = fixture.readAll().replace("\"USD\"", "\"NZD\"");
    writeFile(data() + "/rates.json", cache);
    Outcome result = run({"rates"});
    EXPECT_EQ(result.status, 0) << result.err;
    EXPECT_EQ(result.out,
              "Vietcombank · 1 Dec 2026, 01:30 · 3 currencies\nExchangeRate-API · 1 Dec 2026, 00:00 · 5 currencies\n");
}

TEST_F(ProgramTest, ConcurrentAppendsKeepEveryLineOnce) {
    ASSERT_EQ(run({"append", "--rates", rates, "first = 0"}).status, 0);
    std::vector<std::unique_ptr<QProcess>> processes;
    for (int i = 1; i <= 20; ++i) {
        auto process = std::make_unique<QProcess>();
        process->setProcessEnvironment(processEnvironment());
        process->start(QStringLiteral(QUIBSUM_PROGRAM),
                       {"append", "--rates", rates, QStringLiteral("line%1 = %1").arg(i)});
        processes.push_back(std::move(process));
    }
    for (auto& process : processes) {
        ASSERT_TRUE(process->waitForFinished(60000));
        EXPECT_EQ(process->exitCode(), 0) << process->readAllStandardError().toStdString();
    }
    QFile quick(sheets() + "/00000000-0000-0000-0000-000000000001.txt");
    ASSERT_TRUE(quick.open(QIODevice::ReadOnly));
    QStringList lines = QString::fromUtf8(quick.readAll()).split(u'\n');
    EXPECT_EQ(lines.size(), 21) << lines.join(u'|').toStdString();
    for (int i = 1; i <= 20; ++i) EXPECT_EQ(lines.count(QStringLiteral("line%1 = %1").arg(i)), 1) << i;
}

// A real full file system: a tmpfs of 64 KiB mounted for the test. Needs root and a kernel
// that lets this process mount.
TEST_F(ProgramTest, AFullFileSystemLosesNothingAndFails) {
    if (::geteuid() != 0) GTEST_SKIP() << "mounting a small tmpfs needs root";
    ASSERT_TRUE(QDir().mkpath(data()));
    if (::mount("tmpfs", QFile::encodeName(data()).constData(), "tmpfs", 0, "size=64k,mode=0700") != 0)
        GTEST_SKIP() << "cannot mount a tmpfs here: " << std::strerror(errno);
    struct Unmount {
        QByteArray path;
        ~Unmount() { ::umount2(path.constData(), MNT_DETACH); }
    } unmount{QFile::encodeName(data())};

    ASSERT_EQ(run({"append", "--rates", rates, "n = 1"}).status, 0);
    const QString index = sheets() + "/index.json";
    const QString quick = sheets() + "/00000000-0000-0000-0000-000000000001.txt";
    auto contents = [](const QString& path) {
        QFile file(path);
        return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray("<missing>");
    };
    const QByteArray indexBefore = contents(index);

    // Fill what is left of the file system.
    {
        QFile filler(data() + "/filler");
        ASSERT_TRUE(filler.open(QIODevice::WriteOnly));
        const QByteArray block(1024, 'f');
        while (filler.write(block) == block.size() && filler.flush()) {
        }
    }
    for (const char* line : {"x = 2", "y = 3"}) {
        Outcome full = run({"append", "--rates", rates, line});
        EXPECT_EQ(full.status, 1) << full.out;
        EXPECT_NE(full.err.find("No space left on device"), std::string::npos) << full.err;
        EXPECT_EQ(contents(index), indexBefore);
        EXPECT_EQ(contents(quick), "n = 1");
    }

    ASSERT_TRUE(QFile::remove(data() + "/filler"));
    Outcome freed = run({"append", "--rates", rates, "x = 2"});
    EXPECT_EQ(freed.status, 0) << freed.err;
    EXPECT_EQ(contents(quick), "n = 1\nx = 2");
}

TEST_F(ProgramTest, AFifoWhereAStoredFileShouldBeNeverHangsACommand) {
    struct Case {
        QString fifo;  // within the home folder
        QStringList args;
        int status;
        std::string message;
    };
    const QString quick = QStringLiteral("data/Sheets/00000000-0000-0000-0000-000000000001.txt");
    const Case cases[] = {
        {"data/rates.json", {"calc", "1 USD to VND"}, 0, ""},  // the seed stands in
        {"data/Sheets/index.json", {"sheets"}, 1, "it is not a regular file"},
        {quick, {"append", "--rates", rates, "1"}, 1, "it is not a regular file"},
        {"config/QuibSum.conf", {"calc", "1+1"}, 1, "it is not a regular file"},
    };
    for (const Case& c : cases) {
        QDir(data()).removeRecursively();
        QDir(config()).removeRecursively();
        if (c.fifo == quick) {
            ASSERT_EQ(run({"append", "--rates", rates, "0"}).status, 0);
        }
        const QString fifo = home.path() + u'/' + c.fifo;
        QFile::remove(fifo);
        ASSERT_TRUE(QDir().mkpath(QFileInfo(fifo).path()));
        ASSERT_EQ(::mkfifo(QFile::encodeName(fifo).constData(), 0600), 0) << fifo.toStdString();
        Outcome result = run(c.args, {}, 10000);
        EXPECT_EQ(result.status, c.status) << fifo.toStdString() << ": " << result.err;
        EXPECT_NE(result.err.find(c.message), std::string::npos) << result.err;
        if (!c.message.empty()) {
            EXPECT_NE(result.err.find(fifo.toStdString()), std::string::npos) << result.err;
        }
    }
}

TEST_F(ProgramTest, InputBeyondTheSizeLimitIsRefusedNamingTheLimit) {
    Outcome zero = run({"sheet", "--rates", rates, "/dev/zero"}, {}, 30000);
    EXPECT_EQ(zero.status, 1);
    EXPECT_EQ(zero.err, "quibsum sheet: cannot read '/dev/zero': it is larger than the 64 MiB limit\n");
    Outcome piped = run({"append", "--rates", rates}, QByteArray(64 * 1024 * 1024 + 1, '1'), 30000);
    EXPECT_EQ(piped.status, 1);
    EXPECT_EQ(piped.err, "quibsum append: cannot read standard input: it is larger than the 64 MiB limit\n");
}

TEST_F(ProgramTest, AFailedWriteToStandardOutputFailsTheCommand) {
    for (const QStringList& args : {QStringList{"calc", "--rates", rates, "1+1"}, QStringList{"--help"},
                                    QStringList{"sheet", "--json", "--rates", rates}}) {
        Outcome result = run(args, "1\n2\n", 60000, "/dev/full");
        EXPECT_EQ(result.status, 1) << args.join(' ').toStdString();
        EXPECT_EQ(result.err, "quibsum: write error: No space left on device\n") << args.join(' ').toStdString();
    }
}

TEST_F(ProgramTest, ControlCharactersInWhatWasTypedNeverReachTheTerminal) {
    const QString escape = QStringLiteral("\x1b]0;owned\x07\x1b[2J");
    for (const QStringList& args :
         {QStringList{"calc", "--" + escape}, QStringList{"sheet", "--rates", rates, home.path() + "/" + escape},
          QStringList{escape}, QStringList{"sheets", escape}}) {
        Outcome result = run(args);
        EXPECT_NE(result.status, 0);
        EXPECT_EQ(result.err.find('\x1b'), std::string::npos) << result.err;
        EXPECT_EQ(result.err.find('\x07'), std::string::npos) << result.err;
        EXPECT_NE(result.err.find(" ]0;owned  [2J"), std::string::npos) << result.err;
    }
}

}  // namespace
}  // namespace quibsum

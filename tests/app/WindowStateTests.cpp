#include <gtest/gtest.h>

#include <QSettings>
#include <QTemporaryDir>

#include "QuibSum/storage/SheetStore.h"
#include "QuibSum/storage/WindowState.h"

namespace quibsum {
namespace {

TEST(WindowState, DefaultsEncodeCompactlyInDeclarationOrder) {
    EXPECT_EQ(
        WindowState::defaults().encode(),
        R"({"frame":[[-1000000,-1000000],[560,360]],"pinned":false,"sheetID":"00000000-0000-0000-0000-000000000001"})");
    WindowState state{QRectF(12.5, -30, 400.25, 300), true,
                      QUuid::fromString(QStringLiteral("6f1c1d2e-0000-4000-8000-00000000abcd"))};
    EXPECT_EQ(WindowState::decode(state.encode()), state);
    EXPECT_TRUE(state.encode().contains("6F1C1D2E-0000-4000-8000-00000000ABCD"));
}

TEST(WindowState, IncompleteOrMalformedDataCountsAsAbsent) {
    const char* const bad[] = {
        "",
        "[]",
        R"({"pinned":false,"sheetID":"00000000-0000-0000-0000-000000000001"})",
        R"({"frame":[[0,0],[560,360]],"sheetID":"00000000-0000-0000-0000-000000000001"})",
        R"({"frame":[[0,0],[560,360]],"pinned":false})",
        R"({"frame":[[0,0],[560]],"pinned":false,"sheetID":"00000000-0000-0000-0000-000000000001"})",
        R"({"frame":[0,0,560,360],"pinned":false,"sheetID":"00000000-0000-0000-0000-000000000001"})",
        R"({"frame":[["0",0],[560,360]],"pinned":false,"sheetID":"00000000-0000-0000-0000-000000000001"})",
        R"({"frame":[[0,0],[560,360]],"pinned":"no","sheetID":"00000000-0000-0000-0000-000000000001"})",
        R"({"frame":[[0,0],[560,360]],"pinned":false,"sheetID":"{00000000-0000-0000-0000-000000000001}"})",
        R"({"frame":[[0,0],[560,360]],"pinned":false,"sheetID":"quick"})",
    };
    for (const char* json : bad) EXPECT_EQ(WindowState::decode(json), std::nullopt) << json;
}

TEST(WindowState, SavedAndLoadedThroughTheSettingsFile) {
    QTemporaryDir dir;
    QString file = dir.path() + QStringLiteral("/QuibSum.conf");
    WindowState state{QRectF(100, 200, 640, 480), true, QUuid::createUuid()};
    {
        QSettings settings(file, QSettings::IniFormat);
        EXPECT_EQ(WindowState::load(settings), std::nullopt);
        state.save(settings);
    }
    QSettings settings(file, QSettings::IniFormat);
    EXPECT_EQ(WindowState::load(settings), state);
    settings.setValue(WindowState::settingsKey, QStringList{"x"});
    EXPECT_EQ(WindowState::load(settings), std::nullopt);
}

TEST(WindowState, ADeletedSheetReopensAsTheQuickSheet) {
    QTemporaryDir dir;
    SheetStore store(dir.path() + QStringLiteral("/Sheets"));
    WindowState state = WindowState::defaults();
    state.sheetID = store.createSheet();
    EXPECT_EQ(state.sheetToShow(store), state.sheetID);
    store.deleteSheet(state.sheetID);
    EXPECT_EQ(state.sheetToShow(store), SheetStore::quickSheetID);
}

TEST(WindowState, PlacementFitsTheFrameToTheScreens) {
    const QRectF left(0, 0, 1440, 875);
    const QRectF right(1440, 0, 1920, 1055);
    struct Case {
        const char* name;
        QRectF frame;
        QList<QRectF> screens;
        QPointF mouse;
        QRectF expected;
    };
    const Case cases[] = {
        {"first launch: centred on the pointer's screen",
         WindowState::defaults().frame,
         {left, right},
         QPointF(2000, 500),
         QRectF(1440 + 960 - 280, 527.5 - 180, 560, 360)},
        {"pointer on no screen: the first one",
         WindowState::defaults().frame,
         {left, right},
         QPointF(-50, -50),
         QRectF(720 - 280, 437.5 - 180, 560, 360)},
        {"saved on a display that is gone: centred, shrunk to fit",
         QRectF(5000, 0, 1600, 500),
         {left},
         QPointF(10, 10),
         QRectF(0, 437.5 - 250, 1440, 500)},
        {"larger than the screen: the screen's size",
         QRectF(-100, -50, 3000, 2000),
         {left},
         QPointF(0, 0),
         QRectF(0, 0, 1440, 875)},
        {"too small: the minimum size", QRectF(100, 100, 200, 100), {left}, QPointF(0, 0), QRectF(100, 100, 360, 220)},
        {"straddling: onto the screen with the larger part",
         QRectF(1300, 100, 560, 360),
         {left, right},
         QPointF(0, 0),
         QRectF(1440, 100, 560, 360)},
        {"straddling the other way",
         QRectF(1000, 100, 560, 360),
         {left, right},
         QPointF(0, 0),
         QRectF(1440 - 560, 100, 560, 360)},
        {"equal parts: the first screen wins",
         QRectF(1160, 100, 560, 360),
         {left, right},
         QPointF(0, 0),
         QRectF(880, 100, 560, 360)},
        {"below the bottom edge: moved up",
         QRectF(100, 700, 560, 360),
         {left},
         QPointF(0, 0),
         QRectF(100, 875 - 360, 560, 360)},
        {"no screens: only the minimum size", QRectF(-7, 3, 100, 500), {}, QPointF(0, 0), QRectF(-7, 3, 360, 500)},
    };
    for (const Case& c : cases) EXPECT_EQ(WindowState::place(c.frame, c.screens, c.mouse), c.expected) << c.name;
}

}  // namespace
}  // namespace quibsum

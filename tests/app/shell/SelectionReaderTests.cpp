// Reading the selection for a window once it has the keyboard, on the offscreen platform.

#include <gtest/gtest.h>

#include <QClipboard>
#include <QGuiApplication>
#include <QTest>
#include <optional>

#include "QuibSum/desktop/SelectionReader.h"

namespace quibsum {
namespace {

using namespace std::chrono_literals;

struct Reading {
    bool keyboard = false;
    QString offered;
    int reads = 0;
    std::optional<QString> result;

    void start(std::chrono::milliseconds focusLimit = 5000ms, std::chrono::milliseconds offerLimit = 5000ms) {
        SelectionReader::Hooks hooks;
        hooks.hasKeyboard = [this] { return keyboard; };
        hooks.read = [this] {
            ++reads;
            return offered;
        };
        reader = new SelectionReader(hooks, focusLimit, offerLimit);
        reader->start([this](const QString& text) { result = text; });
    }
    SelectionReader* reader = nullptr;
};

TEST(SelectionReader, ReadsOnlyOnceTheWindowHasTheKeyboard) {
    Reading r;
    r.offered = QStringLiteral("2+2");
    r.start();
    EXPECT_FALSE(r.result);
    EXPECT_EQ(r.reads, 0) << "what a window without the keyboard reads is not the selection";

    r.keyboard = true;
    r.reader->check();  // as the focus change does
    ASSERT_TRUE(r.result);
    EXPECT_EQ(*r.result, "2+2");
}

TEST(SelectionReader, TheOfferThatFollowsTheKeyboardIsTaken) {
    Reading r;
    r.keyboard = true;
    r.start();
    EXPECT_FALSE(r.result) << "nothing offered yet";
    r.offered = QStringLiteral("3*3");
    QGuiApplication::clipboard()->setText(QStringLiteral("3*3"));
    QTRY_VERIFY(r.result.has_value());
    EXPECT_EQ(*r.result, "3*3");
}

TEST(SelectionReader, WithNothingToReadItAnswersEmptyWithinItsLimits) {
    Reading focused;
    focused.keyboard = true;
    focused.start(5000ms, 10ms);
    QTRY_VERIFY(focused.result.has_value());
    EXPECT_EQ(*focused.result, "");

    Reading never;
    never.offered = QStringLiteral("kept from another window");
    never.start(10ms, 5000ms);
    QTRY_VERIFY(never.result.has_value());
    // Past the wait it reads what it can: on X11 the selection is there without the keyboard.
    EXPECT_EQ(*never.result, "kept from another window");
}

}  // namespace
}  // namespace quibsum

// The memory an open sheet holds in the editor (text view, layout, highlighting, results and
// the sheet's evaluation) grows with its lines: twice the lines cost about twice the memory,
// whatever the lines hold. Measured as the heap in use while the editor is open, which is the
// same from run to run on one thread.

#include <QTest>

#include <malloc.h>

#include "tests/app/editor/EditorTestSupport.h"

namespace quibsum {
namespace {

double heapInUse() {
    const struct mallinfo2 info = mallinfo2();
    return static_cast<double>(info.uordblks + info.hblkhd);
}

// The heap an editor holds with `count` lines made by `line` (given the line's number), once
// evaluated, and laid out at a second width.
double heldFor(int count, QString (*line)(int)) {
    QStringList lines;
    for (int i = 1; i <= count; ++i) lines.append(line(i));
    const QString text = lines.join(u'\n');
    const double before = heapInUse();
    auto editor = testing::shownEditor(text);
    EXPECT_FALSE(editor->textView()->isReadOnly());  // all of it is in
    EXPECT_EQ(editor->results().size(), static_cast<std::size_t>(count));
    editor->resize(620, 360);
    QCoreApplication::processEvents();
    return heapInUse() - before;
}

TEST(EditorMemory, GrowsWithTheLinesNotWithTheirSquare) {
    struct Case {
        const char* what;
        QString (*line)(int);
    };
    const Case cases[] = {
        // Every line could read every name above it under the first word "item".
        {"names with spaces", [](int i) { return QStringLiteral("item %1 = %1").arg(i); }},
        {"plain values", [](int i) { return QStringLiteral("%1 km").arg(i); }},
        {"single-word names read below", [](int i) { return QStringLiteral("v%1 = v%2 + 1").arg(i).arg(i - 1); }},
    };
    for (const Case& c : cases) {
        heldFor(50, c.line);  // fonts, glyphs and the engine's working storage, made once
        // What the lines add beyond the editor's own: 800 lines more cost twice what 400 more
        // do (four times, were a line's cost to grow with the lines above it).
        const double small = heldFor(400, c.line);
        const double medium = heldFor(800, c.line);
        const double large = heldFor(1600, c.line);
        const double more = medium - small, twiceMore = large - medium;
        EXPECT_GT(twiceMore / more, 1.5) << c.what;
        EXPECT_LT(twiceMore / more, 2.6) << c.what << ": " << more << " bytes for 400 lines more, " << twiceMore
                                         << " for 800 more";
        EXPECT_LT(twiceMore / 800, 4000) << c.what << ": bytes per line";
    }
}

}  // namespace
}  // namespace quibsum

#pragma once
// What the editor's tests share: an editor on the fixed test rates, shown at a usual size, and
// the fresh evaluation every incremental one must equal.

#include <gtest/gtest.h>

#include <QTest>
#include <QTextBlock>
#include <QTextCursor>

#include <memory>
#include <string>
#include <vector>

#include "QuibSum/editor/EditorView.h"
#include "QuibSum/editor/SumTextView.h"
#include "QuibSumCore/Sheet.h"
#include "tests/support/TestRates.h"
#include "tests/support/TestValues.h"

namespace quibsum::testing {

inline Engine testEngine(NumberStyle style = NumberStyle::en) { return Engine(testRates(), style, RateKind::transfer); }

inline std::unique_ptr<EditorView> shownEditor(const QString& text, Engine engine = testEngine()) {
    auto editor = std::make_unique<EditorView>(text, std::move(engine), EditorTheme(false));
    editor->resize(560, 360);
    editor->show();
    EXPECT_TRUE(QTest::qWaitForWindowExposed(editor.get()));
    return editor;
}

inline QString documentText(const EditorView& editor) {
    return editor.textView()->document()->toRawText().replace(QChar::ParagraphSeparator, u'\n');
}

// The results a sheet made afresh from the editor's text shows.
inline std::vector<std::string> freshColumn(const EditorView& editor) {
    Sheet fresh(editor.engine());
    fresh.setText(documentText(editor).toStdString());
    std::vector<std::string> out;
    for (const LineResult& r : fresh.results()) out.push_back(shown(r));
    return out;
}

inline std::vector<std::string> column(const EditorView& editor) {
    std::vector<std::string> out;
    for (const LineResult& r : editor.results()) out.push_back(shown(r));
    return out;
}

inline QString lines(int count, const QString& line) {
    QStringList all;
    for (int i = 0; i < count; ++i) all.append(line);
    return all.join(u'\n');
}

// Waits for a background run to be applied.
inline bool waitForResults(EditorView& editor, std::size_t lineCount) {
    return QTest::qWaitFor([&] { return editor.results().size() == lineCount; }, 10000);
}

}  // namespace quibsum::testing

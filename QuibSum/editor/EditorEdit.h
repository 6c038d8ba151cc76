#pragma once
// EditorEdit: one change of the editor's text in whole lines: lines [lower, upper) of the old
// text (never empty: the lines holding the change's start and end) became `replacement`
// (at least one line).

#include <QStringList>

namespace quibsum {

struct EditorEdit {
    int lower = 0;
    int upper = 0;
    QStringList replacement;

    friend bool operator==(const EditorEdit&, const EditorEdit&) = default;
};

}  // namespace quibsum

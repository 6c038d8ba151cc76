#pragma once
// QtWidgetTexts: the texts of Qt's own widgets that the windows show (a text field's context
// menu, the buttons of dialogs and alerts), marked here under Qt's contexts so that the
// program's own translations carry them: Debian ships no Vietnamese translation of Qt.

#include <span>

namespace quibsum::QtWidgetTexts {

struct Text {
    const char* context;
    const char* source;
};

std::span<const Text> all();

}  // namespace quibsum::QtWidgetTexts

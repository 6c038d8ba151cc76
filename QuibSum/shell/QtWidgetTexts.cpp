#include "QuibSum/shell/QtWidgetTexts.h"

#include <QtGlobal>
#include <array>

namespace quibsum::QtWidgetTexts {

namespace {

// The context menus of the sheet's text view and of the settings' fields, and the buttons of
// dialogs and alerts.
constexpr std::array texts{
    Text{"QWidgetTextControl", QT_TRANSLATE_NOOP("QWidgetTextControl", "&Undo")},
    Text{"QWidgetTextControl", QT_TRANSLATE_NOOP("QWidgetTextControl", "&Redo")},
    Text{"QWidgetTextControl", QT_TRANSLATE_NOOP("QWidgetTextControl", "Cu&t")},
    Text{"QWidgetTextControl", QT_TRANSLATE_NOOP("QWidgetTextControl", "&Copy")},
    Text{"QWidgetTextControl", QT_TRANSLATE_NOOP("QWidgetTextControl", "&Paste")},
    Text{"QWidgetTextControl", QT_TRANSLATE_NOOP("QWidgetTextControl", "Delete")},
    Text{"QWidgetTextControl", QT_TRANSLATE_NOOP("QWidgetTextControl", "Select All")},
    Text{"QWidgetTextControl", QT_TRANSLATE_NOOP("QWidgetTextControl", "Copy &Link Location")},
    Text{"QLineEdit", QT_TRANSLATE_NOOP("QLineEdit", "&Undo")},
    Text{"QLineEdit", QT_TRANSLATE_NOOP("QLineEdit", "&Redo")},
    Text{"QLineEdit", QT_TRANSLATE_NOOP("QLineEdit", "Cu&t")},
    Text{"QLineEdit", QT_TRANSLATE_NOOP("QLineEdit", "&Copy")},
    Text{"QLineEdit", QT_TRANSLATE_NOOP("QLineEdit", "&Paste")},
    Text{"QLineEdit", QT_TRANSLATE_NOOP("QLineEdit", "Delete")},
    Text{"QLineEdit", QT_TRANSLATE_NOOP("QLineEdit", "Select All")},
    Text{"QPlatformTheme", QT_TRANSLATE_NOOP("QPlatformTheme", "OK")},
    Text{"QPlatformTheme", QT_TRANSLATE_NOOP("QPlatformTheme", "Close")},
    Text{"QPlatformTheme", QT_TRANSLATE_NOOP("QPlatformTheme", "Cancel")},
    Text{"QPlatformTheme", QT_TRANSLATE_NOOP("QPlatformTheme", "Save")},
    Text{"QPlatformTheme", QT_TRANSLATE_NOOP("QPlatformTheme", "Discard")},
    Text{"QPlatformTheme", QT_TRANSLATE_NOOP("QPlatformTheme", "&Yes")},
    Text{"QPlatformTheme", QT_TRANSLATE_NOOP("QPlatformTheme", "&No")},
};

}  // namespace

std::span<const Text> all() { return texts; }

}  // namespace quibsum::QtWidgetTexts

#pragma once
// EditorTheme: the colours and fonts of the sheet window for one appearance, light or dark.
// Every role has a variant for each; "System" resolves to one of them by asking the desktop.

#include <QColor>
#include <QFont>
#include <QPalette>

#include "QuibSum/storage/SumSettings.h"

namespace quibsum {

enum class PaletteRole {
    background,  // the window and the results column
    text,        // plain text and the caret
    keyword,     // operators and keywords
    unit,
    currency,
    result,  // results in the column
    heading,
    comment,  // comments and labels
    variable,
    error,  // failed lines, error results, the save status, the footer's errors
    footerText,
    separator,
    selection,
    selectionText,
};

class EditorTheme {
public:
    explicit EditorTheme(bool dark = false);
    // The theme for an appearance setting; System asks the desktop (see prefersDark).
    static EditorTheme forAppearance(Appearance appearance);
    // The desktop's colour-scheme preference: the freedesktop appearance setting over D-Bus
    // when a portal answers quickly, else the lightness of the application's palette.
    static bool desktopPrefersDark();

    bool isDark() const { return dark_; }
    QColor color(PaletteRole role) const;
    // A whole widget palette in these colours, for the surfaces Qt draws itself: menus,
    // buttons, fields. Every text role reads at 4.5:1 or more on the background it is drawn on.
    QPalette palette() const;
    // The palette of the sheet's own surfaces (the text, the results, the large-sheet view):
    // palette() with the field and window colours in the sheet's background.
    QPalette sheetPalette() const;
    // A thin scroll bar in the sheet's own colours (the platform's would be light on a dark
    // sheet), as a style sheet for QScrollBar.
    QString scrollBarStyleSheet() const;
    // The contrast ratio of two colours (1 to 21), as the accessibility guidelines measure it.
    static double contrast(const QColor& a, const QColor& b);
    // The desktop's fixed-width font, and a larger bold one for headings.
    const QFont& textFont() const { return textFont_; }
    const QFont& headingFont() const { return headingFont_; }

    friend bool operator==(const EditorTheme& a, const EditorTheme& b) { return a.dark_ == b.dark_; }

private:
    bool dark_;
    QFont textFont_;
    QFont headingFont_;
};

}  // namespace quibsum

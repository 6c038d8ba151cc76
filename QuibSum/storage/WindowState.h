#pragma once
// WindowState: where the sheet window was, whether it was pinned and which sheet it showed,
// kept as one small JSON value in the settings database, and the placement that fits a saved
// frame to the screens that exist now so the window always comes back fully visible.

#include <QByteArray>
#include <QList>
#include <QPointF>
#include <QRectF>
#include <QSizeF>
#include <QUuid>

#include <optional>

class QSettings;

namespace quibsum {

class SheetStore;

struct WindowState {
    static constexpr const char* settingsKey = "sum.window";
    static constexpr QSizeF minimumSize{360, 220};
    static constexpr QSizeF defaultSize{560, 360};

    QRectF frame;
    bool pinned = false;
    QUuid sheetID;

    // Nothing stored: an origin on no screen (so placement centres the window), 560 × 360,
    // not pinned, the quick sheet.
    static WindowState defaults();

    // {"frame":[[x,y],[w,h]],"pinned":b,"sheetID":"UPPER-CASE-UUID"}, compact.
    QByteArray encode() const;
    // Every key is required; anything else gives none.
    static std::optional<WindowState> decode(const QByteArray& json);

    void save(QSettings& settings) const;
    static std::optional<WindowState> load(const QSettings& settings);

    // Fits `frame` to the screens' available areas (in their order): onto the screen holding
    // most of it, or centred on the screen under `mouse` (else the first) when it is on none;
    // no larger than that screen, no smaller than the minimum size, and inside it.
    static QRectF place(const QRectF& frame, const QList<QRectF>& screens, const QPointF& mouse);

    // The sheet to reopen: the saved one while it still exists, else the quick sheet.
    QUuid sheetToShow(const SheetStore& store) const;

    friend bool operator==(const WindowState&, const WindowState&) = default;
};

}  // namespace quibsum

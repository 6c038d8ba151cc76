#include "QuibSum/editor/EditorTheme.h"

#include <QDBusConnection>
#include <QDBusMessage>
#include <QDBusVariant>
#include <QFontDatabase>
#include <QGuiApplication>
#include <QPalette>
#include <array>

namespace quibsum {

namespace {

struct RoleColours {
    QRgb light;
    QRgb dark;
};

// Indexed by PaletteRole. Every pair keeps at least 4.5:1 contrast with its background.
constexpr std::array<RoleColours, 14> colours = {{
    {0xFBFAF7, 0x1E1F22},  // background
    {0x24262B, 0xE4E4E7},  // text
    {0x8A3FB8, 0xC792EA},  // keyword
    {0x0B6E8A, 0x5CC8E8},  // unit
    {0x1D7A3A, 0x7FD18B},  // currency
    {0x1F4F9E, 0x8AB4F8},  // result
    {0x111318, 0xFFFFFF},  // heading
    {0x6B6F76, 0x9AA0A6},  // comment
    {0xA2570B, 0xF0B35A},  // variable
    {0xC42B1C, 0xFF7B72},  // error
    {0x5A5E66, 0xA8ADB4},  // footerText
    {0xDCDAD5, 0x3A3C41},  // separator
    {0xBBD6FB, 0x264F78},  // selection
    {0x111318, 0xFFFFFF},  // selectionText
}};

// org.freedesktop.appearance color-scheme: 1 prefers dark, 2 prefers light, 0 no preference.
std::optional<bool> portalPrefersDark() {
    QDBusConnection bus = QDBusConnection::sessionBus();
    if (!bus.isConnected()) return std::nullopt;
    QDBusMessage call = QDBusMessage::createMethodCall(
        QStringLiteral("org.freedesktop.portal.Desktop"), QStringLiteral("/org/freedesktop/portal/desktop"),
        QStringLiteral("org.freedesktop.portal.Settings"), QStringLiteral("Read"));
    call << QStringLiteral("org.freedesktop.appearance") << QStringLiteral("color-scheme");
    // A desktop without a portal must not delay the window.
    QDBusMessage reply = bus.call(call, QDBus::Block, 300);
    if (reply.type() != QDBusMessage::ReplyMessage || reply.arguments().isEmpty()) return std::nullopt;
    QVariant value = reply.arguments().first();
    // The answer is a variant that may itself hold a variant.
    while (value.canConvert<QDBusVariant>()) value = value.value<QDBusVariant>().variant();
    bool ok = false;
    uint scheme = value.toUInt(&ok);
    if (!ok || scheme == 0) return std::nullopt;
    return scheme == 1;
}

}  // namespace

EditorTheme::EditorTheme(bool dark) : dark_(dark) {
    textFont_ = QFontDatabase::systemFont(QFontDatabase::FixedFont);
    headingFont_ = textFont_;
    headingFont_.setBold(true);
    if (headingFont_.pointSizeF() > 0)
        headingFont_.setPointSizeF(headingFont_.pointSizeF() * 1.2);
    else
        headingFont_.setPixelSize(headingFont_.pixelSize() * 6 / 5);
}

EditorTheme EditorTheme::forAppearance(Appearance appearance) {
    switch (appearance) {
        case Appearance::dark:
            return EditorTheme(true);
        case Appearance::light:
            return EditorTheme(false);
        case Appearance::system:
            break;
    }
    return EditorTheme(desktopPrefersDark());
}

bool EditorTheme::desktopPrefersDark() {
    if (auto portal = portalPrefersDark()) return *portal;
    const QPalette palette = QGuiApplication::palette();
    return palette.color(QPalette::Window).lightness() < palette.color(QPalette::WindowText).lightness();
}

QColor EditorTheme::color(PaletteRole role) const {
    const RoleColours& pair = colours[static_cast<std::size_t>(role)];
    return QColor::fromRgb(dark_ ? pair.dark : pair.light);
}

}  // namespace quibsum
